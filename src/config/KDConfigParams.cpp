#include <algorithm>
#include <utility>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/fg_params.h"
#include "config/fs_params.h"

namespace {

ModelParamInfoSource& InfoSource() {
  static ModelParamInfoSource source;
  return source;
}

bool KindHasTypes(int kind) { return kind != VDC_DOVELGENERAL && kind != VDC_DOVELICC; }

bool IsDovelVehicleKind(int kind) {
  return kind == VDC_DOVELVEHICLE || kind == VDC_DOVELVEHICLESUB || kind == VDC_DOVELVEHICLEDIST;
}

// Editors and readers may hand in a probability a hair outside 0 .. 1 after rounding.
float ClampProbability(float p) {
  if (p > -0.01f && p < 0) return 0;
  if (p > 1 && p < 1.01f) return 1;
  return p;
}

// The editor metadata of a DOVEL parameter, from the external model's description.
void DovelInfo(int kind, int param, VDCParamInfo& info) {
  ModelParamInfo model;
  int cls = 0;
  int id = 0;
  if (DovelParamAddress(kind, param, cls, id) && InfoSource()) InfoSource()(cls, id, model);
  info.displayName = model.name;
  info.fileName = model.name;
  info.description = model.description;
  info.format = model.format;
  info.low = model.minimum;
  // A parameter without a range still needs a slider: give it 100 units above its minimum.
  const bool ranged = model.step != 0 || model.maximum != model.minimum;
  info.high = ranged ? model.maximum : model.minimum + 100;
  info.steps = model.step != 0
                   ? static_cast<int>((model.maximum - model.minimum) / model.step + 0.1f)
                   : 1000;
  info.defaultValue = 0;
}

void KavroInfo(int type, int param, VDCParamInfo& info) {
  const VDCEntry& row = FSParam(param);
  info.displayName = row.displayName;
  info.fileName = row.fileName;
  info.low = row.low;
  info.high = row.high;
  info.steps = row.steps;
  info.format = row.format;
  info.description = row.description;
  info.defaultValue = FSDefault(param, type);
}

}  // namespace

ModelParamInfoSource SetModelParamInfoSource(ModelParamInfoSource source) {
  return std::exchange(InfoSource(), std::move(source));
}

bool AskModelParamInfo(int cls, int id, ModelParamInfo& info) {
  if (!InfoSource()) return false;
  ModelParamInfo answer;
  if (!InfoSource()(cls, id, answer)) return false;
  info = std::move(answer);
  return true;
}

bool DovelParamAddress(int kind, int param, int& cls, int& id) {
  switch (kind) {
    case VDC_DOVELGENERAL:
      cls = 1, id = param + 2;
      return true;
    case VDC_DOVELVEHICLE: {
      // Ids 5 and 26 of the vehicle class hold the sub-parameters and the distribution.
      int k = param + 1;
      if (k > 3) k = k + 1;
      if (k > 24) k = k + 1;
      cls = 3, id = k + 1;
      return true;
    }
    case VDC_DOVELVEHICLESUB:
      cls = 3, id = 5;
      return true;
    case VDC_DOVELVEHICLEDIST:
      cls = 3, id = 26;
      return true;
    case VDC_DOVELDRIVER:
      cls = 4, id = param + 2;
      return true;
    case VDC_DOVELICC:
      cls = 6, id = param + 1;
      return true;
    default:
      return false;
  }
}

int KDConfig::VDCTypeCount(int kind) const {
  switch (kind) {
    case VDC_KAVRO: {
      int count = 0;
      while (count < MAXVEHICLETYPE && kavroParams_[count][FS_max_delta_a] != 0) ++count;
      return count;
    }
    case VDC_DOVELVEHICLE:
    case VDC_DOVELVEHICLESUB:
    case VDC_DOVELVEHICLEDIST:
      return dovelVehicleCount_;
    case VDC_DOVELDRIVER:
      return dovelDriverCount_;
    default:
      return -1;
  }
}

int KDConfig::VDCParamCount(int kind, int type) const {
  switch (kind) {
    case VDC_KAVRO:
      return FS_COUNT;
    case VDC_DOVELGENERAL:
      return DOVEL_GENERAL_PARAMS;
    case VDC_DOVELVEHICLE:
      return DOVEL_VEHICLE_PARAMS;
    case VDC_DOVELDRIVER:
      return DOVEL_DRIVER_PARAMS;
    case VDC_DOVELICC:
      return DOVEL_ICC_PARAMS;
    case VDC_DOVELVEHICLESUB: {
      // The vehicle type's parameter 2 says how many sub-parameters it has.
      if (type < 0 || type >= MAXDOVELTYPE) return 0;
      const float declared = dovelVehicle_[type][2];
      if (!(declared > 0)) return 0;
      return declared >= DOVEL_VEHICLESUB_SLOTS ? DOVEL_VEHICLESUB_SLOTS
                                                : static_cast<int>(declared);
    }
    case VDC_DOVELVEHICLEDIST:
      return DOVEL_VEHICLEDIST_PARAMS;
    default:
      return -1;
  }
}

int KDConfig::MaxVDCTypes(int kind) {
  if (kind == VDC_KAVRO) return MAXVEHICLETYPE;
  if (IsDovelVehicleKind(kind) || kind == VDC_DOVELDRIVER) return MAXDOVELTYPE;
  return -1;
}

const float* KDConfig::DovelSlot(int kind, int type, int param) const {
  if (!KindHasTypes(kind)) {
    if (type != -1 || param < 0) return nullptr;
    if (kind == VDC_DOVELGENERAL && param < DOVEL_GENERAL_PARAMS) return &dovelGeneral_[param];
    if (kind == VDC_DOVELICC && param < DOVEL_ICC_PARAMS) return &dovelIcc_[param];
    return nullptr;
  }
  if (type < 0 || type >= MAXDOVELTYPE || param < 0) return nullptr;
  switch (kind) {
    case VDC_DOVELVEHICLE:
      return param < DOVEL_VEHICLE_SLOTS ? &dovelVehicle_[type][param] : nullptr;
    case VDC_DOVELDRIVER:
      return param < DOVEL_DRIVER_SLOTS ? &dovelDriver_[type][param] : nullptr;
    case VDC_DOVELVEHICLESUB:
      return param < DOVEL_VEHICLESUB_SLOTS ? &dovelVehicleSub_[type][param] : nullptr;
    case VDC_DOVELVEHICLEDIST:
      return param < DOVEL_VEHICLEDIST_PARAMS ? &dovelVehicleDist_[type][param] : nullptr;
    default:
      return nullptr;
  }
}

float* KDConfig::DovelSlot(int kind, int type, int param) {
  return const_cast<float*>(std::as_const(*this).DovelSlot(kind, type, param));
}

bool KDConfig::GetVDCParam(int kind, int type, int param, float* value, VDCParamInfo* info) const {
  const int count = VDCParamCount(kind, type);
  const bool typeOk = KindHasTypes(kind) ? type >= 0 : type == -1;
  if (count < 0 || param < 0 || param >= count || !typeOk) {
    ProgramError(Format("%s=%d%s=%d%s=%d", "KDConfig::GetVDCParam: Kind", kind, "\r\nVDCType", type,
                        "\r\nParamNo", param));
    return false;
  }
  if (kind == VDC_KAVRO) {
    if (info) KavroInfo(type, param, *info);
    if (type >= MAXVEHICLETYPE) return false;
    if (value) *value = kavroParams_[type][param];
    return kavroParams_[type][FS_max_delta_a] != 0;
  }
  int cls = 0;
  int id = 0;
  if (!DovelParamAddress(kind, param, cls, id)) {
    ProgramError("GetVDCParam: Bad Kind");
    return false;
  }
  if (info) DovelInfo(kind, param, *info);
  // Types beyond the storage read nothing; the caller learns it from the result.
  const float* slot = DovelSlot(kind, type, param);
  if (value && slot) *value = *slot;
  return !KindHasTypes(kind) || (slot && type < VDCTypeCount(kind));
}

void KDConfig::SetVDCParam(int kind, int type, int param, float value) {
  const int count = VDCParamCount(kind, type);
  bool valid = count >= 0 && param >= 0 && param < count;
  if (KindHasTypes(kind)) {
    valid = valid && type >= 0 && type < VDCTypeCount(kind);
  } else {
    valid = valid && type == -1;
  }
  // Parameter 0 = 0 marks a free type slot; storing it would silently delete the type and
  // break the contiguity of the types behind it.
  if (kind == VDC_KAVRO && param == FS_max_delta_a && value == 0) valid = false;
  if (!valid) {
    ProgramError(Format("KDConfig::SetVDCParam: bad VDCType (%d) or ParamNo (%d)", type, param));
    return;
  }
  if (kind == VDC_KAVRO) {
    kavroParams_[type][param] = value;
  } else {
    *DovelSlot(kind, type, param) = value;
    if (kind == VDC_DOVELVEHICLEDIST) FixVehicleDistribution(type, param);
  }
  if (ProgramMode() == DOVEL) SendVDCValueToModel(kind, type, param);
  Touch();
}

// The changed value stays; the other two, in order, are cut so that the running sum stays
// within 1, and the last of them takes what is missing to 1. Three values that already form a
// distribution are left alone, so a reader storing them one by one keeps them as read.
void KDConfig::FixVehicleDistribution(int type, int changed) {
  float* dist = dovelVehicleDist_[type];
  const float sum = dist[0] + dist[1] + dist[2];
  if (sum >= 0.9999f && sum <= 1.0001f) return;
  const int last = changed == 2 ? 1 : 2;
  float running = dist[changed];
  for (int i = 0; i < DOVEL_VEHICLEDIST_PARAMS; ++i) {
    if (i == changed) continue;
    const float room = std::max(0.0f, 1 - running);
    dist[i] = i == last ? room : std::clamp(dist[i], 0.0f, room);
    running += dist[i];
  }
}

int KDConfig::AddVDCType(int kind) {
  if (kind == VDC_KAVRO) {
    int slot = 0;
    while (slot < MAXVEHICLETYPE && kavroParams_[slot][FS_max_delta_a] != 0) ++slot;
    if (slot == MAXVEHICLETYPE) {
      ProgramError("AddVDCType: array full");
      return -1;
    }
    for (int p = 0; p < FS_COUNT; ++p) kavroParams_[slot][p] = FSDefault(p, slot);
    Touch();
    return VDCTypeCount(VDC_KAVRO);
  }
  int* count = nullptr;
  if (IsDovelVehicleKind(kind)) count = &dovelVehicleCount_;
  if (kind == VDC_DOVELDRIVER) count = &dovelDriverCount_;
  if (!count) {
    ProgramError("AddVDCType: Bad Kind");
    return -1;
  }
  // The storage holds 20 types of each; a 21st would be written past it.
  if (*count >= MAXDOVELTYPE) {
    ProgramError("AddVDCType: array full");
    return -1;
  }
  ++*count;
  if (ProgramMode() == DOVEL) SendVDCTypesToModel(kind);
  Touch();
  return *count;
}

void KDConfig::DeleteVDCType(int kind, int type) {
  if (kind != VDC_KAVRO && kind != VDC_DOVELVEHICLE && kind != VDC_DOVELDRIVER) {
    ProgramError("DeleteVDCType: Bad Kind");
    return;
  }
  const int count = VDCTypeCount(kind);
  if (type < 0 || type >= count) {
    ProgramError(Format("DeleteVDCType: Bad VDCType (%d)", type));
    return;
  }
  if (count == 1) {
    ProgramError("DeleteVDCType: Cannot delete last one");
    return;
  }
  for (int t = type; t < count - 1; ++t) {
    if (kind == VDC_KAVRO) {
      std::copy_n(kavroParams_[t + 1], KAVRO_PARAM_SLOTS, kavroParams_[t]);
    } else if (kind == VDC_DOVELDRIVER) {
      std::copy_n(dovelDriver_[t + 1], DOVEL_DRIVER_SLOTS, dovelDriver_[t]);
    } else {
      std::copy_n(dovelVehicle_[t + 1], DOVEL_VEHICLE_SLOTS, dovelVehicle_[t]);
      std::copy_n(dovelVehicleSub_[t + 1], VDCParamCount(VDC_DOVELVEHICLESUB, t + 1),
                  dovelVehicleSub_[t]);
      std::copy_n(dovelVehicleDist_[t + 1], DOVEL_VEHICLEDIST_PARAMS, dovelVehicleDist_[t]);
    }
  }
  if (kind == VDC_KAVRO) kavroParams_[count - 1][FS_max_delta_a] = 0;
  if (kind == VDC_DOVELVEHICLE) --dovelVehicleCount_;
  if (kind == VDC_DOVELDRIVER) --dovelDriverCount_;
  if (ProgramMode() == DOVEL) SendVDCTypesToModel(kind);
  Touch();
}

float KDConfig::GetKavroGeneralParam(int n) const {
  if (ProgramMode() != KAVRO || n < 0 || n >= FG_COUNT) {
    ProgramError(Format("KDConfig::GetKavroGeneralParam: Bad ProgramMode (%d) or ParamNo (%d)",
                        ProgramMode(), n));
    return 0;
  }
  return kavroGeneral_[n];
}

void KDConfig::SetKavroGeneralParam(int n, float value) {
  const bool valid = ProgramMode() == KAVRO && n >= 0 && n < FG_COUNT && value >= FGParam(n).low &&
                     value <= FGParam(n).high;
  if (!valid) {
    ProgramError(
        Format("KDConfig::SetKavroGeneralParam: Bad ProgramMode (%d) or ParamNo (%d) or Value (%f)",
               ProgramMode(), n, value));
    return;
  }
  kavroGeneral_[n] = value;
  Touch();
}

void KDConfig::SetDefaultParamValues() {
  for (int t = 0; t < MAXVEHICLETYPE; ++t) {
    for (int p = 0; p < KAVRO_PARAM_SLOTS; ++p) {
      kavroParams_[t][p] = t < FS_BUILTIN_TYPES && p < FS_COUNT ? FSDefault(p, t) : 0;
    }
  }
  if (ProgramMode() == KAVRO) {
    for (int n = 0; n < FG_COUNT; ++n) kavroGeneral_[n] = FGParam(n).newDefault;
  }
}

void KDConfig::SetDefaultParams() {
  SetDefaultParamValues();
  Touch();
}

void KDConfig::InitParameters() {
  SetDefaultParamValues();
  seed_ = 1;
  timeStep_ = 0.5f;
  maxTime_ = 7200;
}

void KDConfig::SetSeed(int seed) {
  if (ProgramMode() == KAVRO && (seed <= 0 || seed % 2 == 0)) {
    ProgramError(
        Format("KDConfig::SetSeed: bad Seed (%d) %s", seed, "(must be a positive, odd, integer)"));
    return;
  }
  seed_ = seed;
  if (ProgramMode() == DOVEL) SendSeedToModel();
  Touch();
}

float KDConfig::TimeStep() const {
  return ProgramMode() == DOVEL ? dovelGeneral_[DOVEL_GENERAL_TIMESTEP] : timeStep_;
}

void KDConfig::SetTimeStep(float dt) {
  if (!(dt >= 0.1f && dt <= 1)) {
    ProgramError(Format("KDConfig::SetTimeStep: bad TimeStep (%f)", dt));
    return;
  }
  timeStep_ = dt;
  Touch();
}

int KDConfig::MaxTime() const {
  if (ProgramMode() != DOVEL) return maxTime_;
  return static_cast<int>(dovelGeneral_[DOVEL_GENERAL_MAXTIME]) * 60;
}

void KDConfig::SetMaxTime(int t) {
  if (ProgramMode() != KAVRO || t <= 0) {
    ProgramError(
        Format("KDConfig::SetMaxTime: bad MaxTime (%d) or ProgramMode (%d)", t, ProgramMode()));
    return;
  }
  maxTime_ = t;
  Touch();
}

void KDConfig::SetVDProbability(int v, int d, float p) {
  p = ClampProbability(p);
  const bool valid =
      v >= 0 && v < dovelVehicleCount_ && d >= 0 && d < dovelDriverCount_ && p >= 0 && p <= 1;
  if (!valid) {
    ProgramError(
        Format("KDConfig::SetVDProbability: bad V(ehicle type) (%d) or D(river type) "
               "(%d), or Probability (%f)",
               v, d, p));
    return;
  }
  // Frequencies are kept in whole hundredths.
  vdFrequency_[v][d] = 0.01f * static_cast<float>(static_cast<int>(p * 100 + 0.5f));
  if (ProgramMode() == DOVEL) SendVDRowToModel(v);
  Touch();
}

float KDConfig::VDProbability(int v, int d, bool raw) {
  if (v < 0 || v >= dovelVehicleCount_ || d < 0 || d >= dovelDriverCount_) return 0;
  if (!raw) {
    float* row = vdFrequency_[v];
    float running = 0;
    for (int i = 0; i < dovelDriverCount_ - 1; ++i) {
      row[i] = std::min(row[i], 1 - running);
      running += row[i];
    }
    row[dovelDriverCount_ - 1] = 1 - running;
  }
  return vdFrequency_[v][d];
}
