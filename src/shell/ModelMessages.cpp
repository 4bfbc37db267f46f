#include "shell/ModelMessages.h"

#include "config/ProgramError.h"

std::string StripTrailingNonPrintable(std::string text) {
  // Texts are Windows-1252: bytes from 0x80 up are printable characters.
  while (!text.empty()) {
    unsigned char last = static_cast<unsigned char>(text.back());
    if (last >= 0x20 && last != 0x7F) break;
    text.pop_back();
  }
  return text;
}

void ReportModelMessage(ModelMessageView& view, int severity, const std::string& text,
                        const std::string& caption) {
  std::string line = StripTrailingNonPrintable(text);
  view.AppendMessageLine(line);
  if (severity == 0 || severity == 1) {
    view.SetStatusText(severity == 0 ? std::string() : caption + ": " + line);
    view.ProcessEvents();
  }
  if (severity > 2) UserMessage(ReportKind::Warning, caption, line);
  if (severity > 3 && view.DebugMenuVisible())
    view.OfferSaveDebugOutput("U-KA-DOV log files (*.log)|*.LOG|All files (*.*)|*.*");
  if (severity == kModelFatalSeverity) view.FatalStop();
}
