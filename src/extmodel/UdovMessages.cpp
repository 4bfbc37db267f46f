#include "extmodel/UdovMessages.h"

#include "config/ProgramError.h"
#include "extmodel/DovelCalls.h"

namespace {

// The library offers no user data with its handler, so the sink is kept here; the library
// itself is one per process.
ModelMessageSink& Sink() {
  static ModelMessageSink sink;
  return sink;
}
bool suppressMessages = false;
std::string* capture = nullptr;

}  // namespace

void SetModelMessageSink(ModelMessageSink sink) { Sink() = std::move(sink); }
void SetSuppressModelMessages(bool suppress) { suppressMessages = suppress; }
bool SuppressModelMessages() { return suppressMessages; }
void CaptureModelMessages(std::string* into) { capture = into; }

void ReportModelFailure(int severity, const std::string& text, const std::string& caption) {
  if (Sink()) Sink()(severity, text, caption);
}

extern "C" void UdovMessage(int32_t severity, const char* message, float time) {
  std::string text = message ? message : "";
  Dovel::LogModelCall("UdovMessage severity=%d, message=\"%s\", time=%f\n", severity, text.c_str(),
                      static_cast<double>(time));
  if (capture) *capture += (capture->empty() ? "" : "\r\n") + text;
  std::string caption = Format("Message severity %d", severity);
  std::string line = time >= 0 ? Format("time %.1f s: %s\n", time, text.c_str()) : text + "\n";
  if (!suppressMessages && Sink()) Sink()(severity, line, caption);
}
