#include "shell/DetectorSample.h"

#include <new>

void DetectorSampleStore::StartRun(int numDetectors) {
  numDetectors_ = numDetectors < 0 ? 0 : numDetectors;
  periodCount_ = 0;
}

bool DetectorSampleStore::AddPeriod() {
  std::size_t needed = static_cast<std::size_t>(periodCount_ + 1) * numDetectors_;
  try {
    records_.resize(needed);
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (std::size_t i = static_cast<std::size_t>(periodCount_) * numDetectors_; i < needed; ++i)
    records_[i] = DetectorSample();
  ++periodCount_;
  return true;
}

const DetectorSample* DetectorSampleStore::Record(int period, int detector) const {
  if (period < 0 || period >= periodCount_ || detector < 0 || detector >= numDetectors_)
    return nullptr;
  return &records_[static_cast<std::size_t>(period) * numDetectors_ + detector];
}

DetectorSample* DetectorSampleStore::Record(int period, int detector) {
  const DetectorSampleStore& self = *this;
  return const_cast<DetectorSample*>(self.Record(period, detector));
}
