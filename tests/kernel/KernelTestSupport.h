#pragma once

#include <vector>

#include "kernel/Kernel.h"

// Records what the kernel decides to show, as the desktop program's boxes and messages
// window would receive it.
class RecordingSink : public KernelMessageSink {
 public:
  void Show(const KernelReport& report) override { reports.push_back(report); }
  std::vector<KernelReport> reports;
};

// Descriptions of the global list from the head, e.g. {"dummy 1", "source 3", ...}.
inline std::vector<std::string> ListOrder(const Kernel& kernel) {
  std::vector<std::string> order;
  for (RoadObject* object = kernel.FirstObject(); object; object = object->Next())
    order.push_back(object->Describe());
  return order;
}
