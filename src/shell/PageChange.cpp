#include "shell/PageChange.h"

#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "extmodel/DovelCalls.h"
#include "shell/PageCatalogue.h"
#include "shell/RunController.h"

RunControllerPages::RunControllerPages(RunController& controller) : controller_(controller) {}

int RunControllerPages::StepCount() const { return controller_.State().StepCount; }

void RunControllerPages::StopRunning() { controller_.Halt(); }

void RunControllerPages::Stop() { controller_.Stop(); }

// The external model is set up anew with the next run, so its run ends with step 0.
void RunControllerPages::ResetModelRun() {
  Dovel::Reset_simulation();
  controller_.SetStepCount(0);
}

void RunControllerPages::RefreshStepCount() {
  controller_.SetStepCount(controller_.State().StepCount);
}

bool RunControllerPages::BatchResumable() const { return false; }

void RunControllerPages::ConfigurationReplaced(const KDConfig& config) {
  controller_.SetConfiguration(&config);
}

PageChangePlan PlanPageChange(int programMode, int shownPage, int newPage, bool otherEntry,
                              int stepCount) {
  PageChangePlan plan;
  bool dovel = programMode == DOVEL;
  plan.AskToTerminate = dovel && shownPage == kRunPage && stepCount > 0 && otherEntry;
  // An entry whose number no page carries leaves the shown page.
  int page = PageTitle(newPage).empty() ? shownPage : newPage;
  plan.StopFirst = shownPage == kBatchPage && page != kBatchPage;
  bool runPages = page == kRunPage || page == kBatchPage;
  plan.ResetModelRun = dovel && !runPages && stepCount > 0;
  plan.RefreshStepCount = runPages;
  plan.Lower = page == kParameterPage ? LowerArea::ParameterGrid
               : page == kBatchPage   ? LowerArea::BatchGrid
                                      : LowerArea::RoadView;
  plan.Popup = page == kPhysicalRoadLayoutPage ? RoadPopup::LaneTypes
               : page == kSpeedLimitPage       ? RoadPopup::SpeedLimits
                                               : RoadPopup::None;
  return plan;
}
