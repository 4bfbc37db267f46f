#pragma once

#include <string>

// Where messages of the external vehicle model end up. The desktop program implements this with
// its messages window and status bar; kavro-batch collects the lines for the log.
class ModelMessageView {
 public:
  virtual ~ModelMessageView() = default;
  /// Appends a line to the messages window and shows it; skipped while it does not exist yet.
  virtual void AppendMessageLine(const std::string& line) = 0;
  virtual void SetStatusText(const std::string&) {}
  /// Lets the user interface process pending events.
  virtual void ProcessEvents() {}
  virtual bool DebugMenuVisible() const { return false; }
  /// Offers to save the debug output to a file chosen with a save dialog using `filter`.
  virtual void OfferSaveDebugOutput(const std::string&) {}
  /// Ends the program after a fatal error, once the current handler has returned.
  virtual void FatalStop() = 0;
};

/// Severity of the program's own fatal errors around the external model: the program ends.
constexpr int kModelFatalSeverity = 999;

/// The sink for messages of the external model: 0 clears the status bar, 1 shows
/// caption + ": " + text there, 2 only collects the line, above 2 also shows a message box, above
/// 3 offers to save the debug output while the debug menu is visible, 999 ends the program.
void ReportModelMessage(ModelMessageView& view, int severity, const std::string& text,
                        const std::string& caption);

/// `text` without its trailing non-printable characters.
std::string StripTrailingNonPrintable(std::string text);
