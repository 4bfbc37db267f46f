#pragma once

#include <algorithm>
#include <vector>

#include "shell/RunController.h"

// Passes the hooks of a run on to several followers (the batch page, the detector graphs, the
// trajectory windows), in the order they were added.
class RunObserverFanOut : public RunObserver {
 public:
  void Add(RunObserver* observer) { observers_.push_back(observer); }
  void Remove(RunObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
  }

  void StepCountChanged(int stepCount) override {
    for (RunObserver* o : observers_) o->StepCountChanged(stepCount);
  }
  void BatchProgress(int batchRun) override {
    for (RunObserver* o : observers_) o->BatchProgress(batchRun);
  }
  void DetectorsSetUp(int numDetectors) override {
    for (RunObserver* o : observers_) o->DetectorsSetUp(numDetectors);
  }
  void RunStarted() override {
    for (RunObserver* o : observers_) o->RunStarted();
  }
  void RedrawVehicles() override {
    for (RunObserver* o : observers_) o->RedrawVehicles();
  }
  void VehiclesSampled(int stepCount) override {
    for (RunObserver* o : observers_) o->VehiclesSampled(stepCount);
  }
  void DetectorsSampled(int periodCount) override {
    for (RunObserver* o : observers_) o->DetectorsSampled(periodCount);
  }

 private:
  std::vector<RunObserver*> observers_;
};
