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

/// The handler registered with the library: caption "Message severity %d", text
/// "time %.1f s: %s\n" when the time [s] is known, else "%s\n".
extern "C" void UdovMessage(int32_t severity, const char* message, float time);
