#pragma once

#include <functional>
#include <string>

#include "extmodel/UdovInterface.h"

// Messages the external model reports while it works are handed to the program's message sink
// as (severity, text, caption).
using ModelMessageSink =
    std::function<void(int severity, const std::string& text, const std::string& caption)>;

/// Installs the sink the model's messages go to; an empty sink drops them.
void SetModelMessageSink(ModelMessageSink sink);

/// While set, the model's messages are dropped (a default model file is being read).
void SetSuppressModelMessages(bool suppress);
bool SuppressModelMessages();

/// While `into` is set, the texts of the model's messages are also appended to it.
void CaptureModelMessages(std::string* into);

/// The program's own failures around the model go to the same sink, never suppressed.
void ReportModelFailure(int severity, const std::string& text, const std::string& caption);
/// Severity of a failure that ends the program.
constexpr int kUdovFatalSeverity = 999;

/// The handler registered with the library: caption "Message severity %d", text
/// "time %.1f s: %s\n" when the time [s] is known, else "%s\n".
extern "C" void UdovMessage(int32_t severity, const char* message, float time);
