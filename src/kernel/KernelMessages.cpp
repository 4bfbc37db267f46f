#include "kernel/KernelMessages.h"

#include <cstdio>

#include "config/PrintfFormat.h"
#include "config/ProgramError.h"
#include "kernel/Kernel.h"

namespace {

constexpr int kCauseCount = 5;

std::string VFormat(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (size <= 0) return std::string();
  std::string result(size, '\0');
  std::vsnprintf(result.data(), result.size() + 1, format, args);
  return result;
}

// The kernel texts in the order of KernelTexts::LabelNames; the last four are formats.
std::string& TextOfLabel(KernelTexts& texts, std::size_t index) {
  switch (index) {
    case 5:
      return texts.timeWord;
    case 6:
      return texts.flowLimitExceeded;
    case 7:
      return texts.deficitLimitExceeded;
    case 8:
      return texts.taperTooShort;
    case 9:
      return texts.destinationNotReached;
    default:
      return texts.KAV_error_types[index];
  }
}

constexpr std::size_t kFirstFormatLabel = 6;

}  // namespace

const std::array<const char*, 10>& KernelTexts::LabelNames() {
  static const std::array<const char*, 10> names = {"LabelKernelProgramError",
                                                    "LabelKernelError",
                                                    "LabelKernelKavroConfigurationError",
                                                    "LabelKernelKavroSimulatorError",
                                                    "LabelKernelKavroSimulatorWarning",
                                                    "LabelKernelTime",
                                                    "LabelKernelFlowLimitExceeded",
                                                    "LabelKernelDeficitLimitExceeded",
                                                    "LabelKernelTaperTooShort",
                                                    "LabelKernelDestinationNotReached"};
  return names;
}

bool KernelTexts::SetByLabel(const std::string& label, const std::string& caption) {
  const auto& names = LabelNames();
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (label != names[i]) continue;
    if (i >= kFirstFormatLabel) {
      KernelTexts defaults;
      if (PrintfConversions(caption) != PrintfConversions(TextOfLabel(defaults, i))) return false;
    }
    TextOfLabel(*this, i) = caption;
    return true;
  }
  return false;
}

void HookKernelMessageSink::Show(const KernelReport& report) {
  ReportKind kind = ReportKind::Error;
  if (report.cause == KernelCause::ProgramError) kind = ReportKind::ProgramError;
  if (report.cause == KernelCause::SimulatorWarning) kind = ReportKind::Warning;
  Deliver({kind, report.caption, report.text, report.cause == KernelCause::ProgramError});
}

HookKernelMessageSink& HookKernelMessageSink::Instance() {
  static HookKernelMessageSink sink;
  return sink;
}

void Kernel::SetMessageSink(KernelMessageSink* sink) {
  sink_ = sink ? sink : &HookKernelMessageSink::Instance();
}

int Kernel::KernelMessage(KernelCause cause, const char* where, const char* format, ...) {
  va_list args;
  va_start(args, format);
  KernelMessageV(cause, where, format, args);
  va_end(args);
  return 0;
}

std::string Kernel::TimePrefix() const {
  // A kernel that was never set up has no time step; its reports still need a time.
  int perSecond = stepsPerSecond_ > 0 ? stepsPerSecond_ : 1;
  return Format("%s %d.%d: ", texts_.timeWord.c_str(), stepCount_ / perSecond,
                (stepCount_ % perSecond) * 10 / perSecond);
}

int Kernel::KernelMessageV(KernelCause cause, const char* where, const char* format, va_list args) {
  int index = static_cast<int>(cause);
  if (!KAVRO_ASSERT(index >= 0 && index < kCauseCount)) return 0;
  std::string message = VFormat(format, args);
  const std::string& kind = texts_.KAV_error_types[index];
  std::string text = stepCount_ >= 0 ? TimePrefix() : std::string();
  text += Format("%s in %s: ", kind.c_str(), where);
  text += message;

  // The kernel state changes before anything is shown: a modal box lets events run.
  if (cause != KernelCause::SimulatorWarning) RecordError(message);

  bool inSetUp = stepCount_ < 0;
  if (inSetUp || cause == KernelCause::ProgramError || cause == KernelCause::Error ||
      (cause == KernelCause::ConfigurationError && runLabel_.empty())) {
    sink_->Show({cause, KernelRoute::MessageBox, kind, text});
  } else if (cause == KernelCause::SimulatorError || cause == KernelCause::SimulatorWarning) {
    std::string line = runLabel_.empty() ? text : runLabel_ + ": " + text;
    sink_->Show({cause, KernelRoute::MessagesWindow, kind, line});
  }
  // A configuration error of a batch run is shown nowhere: the batch records ErrorText.
  return 0;
}

void Kernel::RecordError(const std::string& message) {
  ready_ = false;
  if (!firstError_) firstError_ = message;
}

void Kernel::AssertionFailed(const char* condition, const char* file, int line) {
  ready_ = false;
  ::AssertionFailed(condition, file, line);
}
