#include "config/ConfigParamRows.h"

#include "config/fg_params.h"
#include "config/fs_params.h"

namespace {

const VDCEntry& Row(bool specific, int row) { return specific ? FSParam(row) : FGParam(row); }

}  // namespace

int ParamRowCount(bool specific) { return specific ? FS_COUNT : FG_COUNT; }

int FindParamRow(bool specific, const std::string& name) {
  return specific ? FindVDCEntryByFileName(FSParams(), name)
                  : FindVDCEntryByFileName(FGParams(), name);
}

const std::string& ParamFileName(bool specific, int row) { return Row(specific, row).fileName; }

float ParamLow(bool specific, int row) { return Row(specific, row).low; }

float ParamHigh(bool specific, int row) { return Row(specific, row).high; }

std::string ParamNumberFormat(bool specific, int row) {
  std::string format = NumericFormat(Row(specific, row));
  return format.empty() ? "%g" : format;
}
