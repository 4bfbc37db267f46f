#include "shell/TextTable.h"

#include "config/ProgramError.h"

namespace {

// Default texts of the labels of the main window.
const std::pair<const char*, const char*> kDefaultTexts[] = {
    {"LabelBadArgument", "Bad program argument: \"%s\""},
    {"LabelBatchOff", "BatchMode switched off"},
    {"LabelError", "Error"},
    {"LabelKavro", "KAVRO"},
    {"LabelDovel", "DOVEL"},
    {"LabelSpeedSuppression", "Speed suppression|%"},
    {"LabelTrucksAllowed", "Closed for overtaking trucks| "},
    {"LabelSpeedLimit", "Speed limit|km/h"},
    {"LabelOutOfMemory", "Out of memory"},
    {"LabelModified", " (modified)"},
    {"LabelUnnamedConfig", " (unnamed configuration)"},
    {"LabelLoadedFile", "Loaded file"},
    {"LabelUndoCaption", "&Undo"},
    {"LabelRedoCaption", "&Redo"},
    // Undo point labels: the Edit menu names the edit Undo and Redo take back or repeat.
    {"LabelSetSectionLength", "set section length"},
    {"LabelInsertSectionBoundary", "insert section boundary"},
    {"LabelDeleteSectionBoundary", "delete section boundary"},
    {"LabelSectionResize", "section resize"},
    {"LabelSetBeginOfSection", "set begin of section"},
    {"LabelSetEndOfSection", "set end of section"},
    {"LabelSetLaneSurfaceType", "set lane surface type"},
    {"LabelSetKAVROSurfaceDetail", "set surface parameter"},
    {"LabelCut", "cut"},
    {"LabelPaste", "paste"},
    {"LabelNewDetector", "new detector"},
    {"LabelRemoveDetector", "remove detector"},
    {"LabelDeleteAllDetectors", "delete all detectors"},
    {"LabelMoveDetector", "move detector"},
    {"LabelAddDetectors", "add detectors"},
    {"LabelNewTrafficLight", "new traffic light"},
    {"LabelChangeTrafficLight", "change traffic light"},
    {"LabelDeleteTrafficLight", "delete traffic light"},
    {"LabelRebuildLaneChangeAreas", "rebuild lane change areas"},
    {"LabelChangeAllLaneChangeRequired", "change all lane change required area"},
    {"LabelEditLaneChangeArea", "edit lane change area"},
    {"LabelChangeProbability", "change probability"},
    {"LabelFlowChange", "flow change"},
    {"LabelChangeFlowTime", "change flow time"},
    {"LabelChangeSourceName", "change source name"},
    {"LabelChangeSinkName", "change sink name"},
    {"LabelChangeVDCParam", "change vehicle driver parameter"},
    {"LabelAddVDC", "add vehicle driver combination"},
    {"LabelDeleteVDC", "delete vehicle driver combination"},
    {"LabelResetAllVDCParams", "reset all vehicle driver parameters"},
    {"LabelSimulationStepsPerSecond", "simulation steps per second"},
    {"LabelSetRandomSeed", "random seed"},
    {"LabelDetectorTime", "detector time"},
    {"LabelStopSimulationTime", "stop simulation time"},
    {"LabelCannotWrite", "Cannot write to file \"%s\": %s."},
    {"LabelKavroFilter", "Kavro configuration files (*.kav)|*.KAV|All files (*.*)|*.*"},
    {"LabelKSRFilter", "Kavro simulation result files (*.ksr)|*.KSR|All files (*.*)|*.*"},
    {"LabelKSXFilter", "Kavro extended simulation result files (*.ksx)|*.KSX|All files (*.*)|*.*"},
    {"LabelKBRFilter", "Kavro Batch Results (*.kbr)|*.KBR|All Files (*.*)|*.*"},
    {"LabelTRCFilter", "Kavro detection trace files (*.trc)|*.trc|All files (*.*)|*.*"},
    {"LabelDDTFilter",
     "Kavro detector to detector travel time trace files (*.ddt)|*.ddt|All files (*.*)|*.*"},
    {"LabelODTFilter",
     "Kavro Origin Destination travel time trace files (*.odt)|*.odt|All files (*.*)|*.*"},
    {"LabelLCTFilter", "Kavro lane change trace files (*.lct)|*.lct|All files (*.*)|*.*"},
    {"LabelDetectorLC", "detector"},
    {"LabelMaximumSimulationSpeed", "Maximum"},
    {"LabelEveryStep", "Every step"},
    {"LabelEveryNSteps", "Per %d steps"},
    {"LabelColorDenotes", "Color identifies"},
    // The colour schemes of the run page, in list order; the follow state entry reads "Merge
    // intention" and "ICC equipped" is added in DOVEL mode.
    {"LabelSchemeSpeed", "speed"},
    {"LabelSchemeAcceleration", "acceleration"},
    {"LabelSchemeFollowState", "follow state"},
    {"LabelSchemeMergeIntention", "Merge intention"},
    {"LabelSchemeVehicleType", "vehicle type"},
    {"LabelSchemeDestination", "destination"},
    {"LabelSchemeRouteChoice", "route choice"},
    {"LabelSchemeIccEquipped", "ICC equipped"},
    // The lane list of the traffic light page, filled with 1 .. 12.
    {"LabelTrafficLightLane", "Lane %d"},
    {"LabelCurrentTime", "Simulator time:"},
    {"LabelRun", "Run"},
    {"LabelSeed", "Seed"},
    {"LabelStarted", "Started"},
    {"LabelFinished", "Finished"},
    {"LabelStatus", "Status"},
    {"LabelKernelProgramError", "Program Error"},
    {"LabelKernelError", "Error"},
    {"LabelKernelKavroConfigurationError", "Kavro Configuration Error"},
    {"LabelKernelKavroSimulatorError", "Kavro Simulator Error"},
    {"LabelKernelKavroSimulatorWarning", "Kavro Simulator Warning"},
    {"LabelKernelTime", "Time"},
    {"LabelKernelFlowLimitExceeded", "Requested flow too high"},
    {"LabelKernelDeficitLimitExceeded", "Downstream congestion reaches traffic source %s"},
    {"LabelKernelTaperTooShort", "Taper too short, minimum length is %dm"},
    {"LabelKernelDestinationNotReached",
     "Vehicle %d reached destination %s instead of destination %s"},
};

}  // namespace

TextTable::TextTable() {
  for (const auto& [label, text] : kDefaultTexts) texts_.emplace(label, text);
}

const std::string& TextTable::Text(const std::string& label) const {
  static const std::string empty;
  auto found = texts_.find(label);
  if (found == texts_.end()) {
    ProgramError(Format("TextTable::Text: Unknown label \"%s\"", label.c_str()));
    return empty;
  }
  return found->second;
}

void TextTable::SetText(const std::string& label, const std::string& text) {
  auto found = texts_.find(label);
  if (found == texts_.end()) {
    ProgramError(Format("TextTable::SetText: Unknown label \"%s\"", label.c_str()));
    return;
  }
  found->second = text;
}

std::vector<std::pair<std::string, std::string>> TextTable::Entries() const {
  return {texts_.begin(), texts_.end()};
}

std::string FillStringDirectives(const std::string& format,
                                 const std::vector<std::string>& values) {
  std::string result;
  size_t filled = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size()) {
      if (format[i + 1] == '%') {
        result += '%';
        ++i;
        continue;
      }
      if (format[i + 1] == 's' && filled < values.size()) {
        result += values[filled++];
        ++i;
        continue;
      }
    }
    result += format[i];
  }
  return result;
}
