#pragma once

#include <array>
#include <string>

#include "kernel/KernelTypes.h"

// Texts of the kernel's reports. Each has a built-in default; the desktop program replaces
// them at start-up by the captions of its text labels, so that interface text patches can
// translate them.
struct KernelTexts {
  // Captions of the five report kinds, indexed by KernelCause.
  std::string KAV_error_types[5] = {"Program Error", "Error", "Kavro Configuration Error",
                                    "Kavro Simulator Error", "Kavro Simulator Warning"};
  std::string timeWord = "Time";
  std::string flowLimitExceeded = "Requested flow too high";
  std::string deficitLimitExceeded = "Downstream congestion reaches traffic source %s";
  std::string taperTooShort = "Taper too short, minimum length is %dm";
  std::string destinationNotReached = "Vehicle %d reached destination %s instead of destination %s";

  /// Names of the labels whose captions replace the texts above.
  static const std::array<const char*, 10>& LabelNames();

  /// Replaces the text belonging to `label` by `caption`. Returns false, keeping the text,
  /// when the label is not a kernel text or when the caption's printf conversions differ
  /// from the default's (a patched "%s" where a number is passed would crash the formatter).
  bool SetByLabel(const std::string& label, const std::string& caption);
};

// Where a kernel report is shown.
enum class KernelRoute {
  MessageBox,      // a modal box with an OK button, titled with the caption
  MessagesWindow,  // the non-modal messages window is shown and the text appended as a line
};

struct KernelReport {
  KernelCause cause = KernelCause::ProgramError;
  KernelRoute route = KernelRoute::MessageBox;
  std::string caption;  // the kind's text
  std::string text;     // the whole text (or line) to show
};

// Receives the reports the kernel decides to show. The desktop program implements it with
// message boxes and its messages window; after a report of cause ProgramError it must ask
// the application to terminate.
class KernelMessageSink {
 public:
  virtual ~KernelMessageSink() = default;
  virtual void Show(const KernelReport& report) = 0;
};

// The sink of builds without a user interface: every report goes to the program's reporting
// hook with its caption and text; program errors are stops, the others errors or warnings.
class HookKernelMessageSink : public KernelMessageSink {
 public:
  void Show(const KernelReport& report) override;
  /// The shared stateless instance every kernel starts with.
  static HookKernelMessageSink& Instance();
};
