#include "extmodel/UdovMessages.h"

#include "config/ProgramError.h"

namespace {

// The library offers no user data with its handler, so the sink is kept here; the library
// itself is one per process.
ModelMessageSink& Sink() {
  static ModelMessageSink sink;
  return sink;
}
bool suppressMessages = false;

}  // namespace

void SetModelMessageSink(ModelMessageSink sink) { Sink() = std::move(sink); }
void SetSuppressModelMessages(bool suppress) { suppressMessages = suppress; }
bool SuppressModelMessages() { return suppressMessages; }

extern "C" void UdovMessage(int32_t severity, const char* message, float time) {
  std::string text = message ? message : "";
  std::string caption = Format("Message severity %d", severity);
  std::string line = time >= 0 ? Format("time %.1f s: %s\n", time, text.c_str()) : text + "\n";
  if (!suppressMessages && Sink()) Sink()(severity, line, caption);
}
