#include "shell/HeadlessPlatform.h"

namespace {

bool IsSet(const char* value) { return value != nullptr && value[0] != '\0'; }

}  // namespace

bool NeedsOffscreenPlatform(const std::vector<std::string>& parameters, const char* display,
                            const char* waylandDisplay, const char* platform) {
  // A platform chosen by the user is kept.
  if (IsSet(platform) || IsSet(display) || IsSet(waylandDisplay)) return false;
  return parameters.size() >= 2;
}
