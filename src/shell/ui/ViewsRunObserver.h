#pragma once

#include "shell/RunController.h"
#include "shell/ui/FormMain.h"

// Follows the run for the analysis windows: a new run redraws their frames, every step
// restarts their countdowns and refreshes the vehicle data windows.
class ViewsRunObserver : public RunObserver {
 public:
  explicit ViewsRunObserver(TFormMain& form) : form_(form) {}
  void RunStarted() override { form_.RunStartedForViews(); }
  void VehiclesSampled(int stepCount) override { form_.VehiclesSampledForViews(stepCount); }

 private:
  TFormMain& form_;
};
