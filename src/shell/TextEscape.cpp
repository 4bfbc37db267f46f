#include "shell/TextEscape.h"

#include <utility>

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string EscapeName(std::string_view name) {
  static const char kHex[] = "0123456789abcdef";
  std::string text;
  text.reserve(name.size());
  for (char c : name) {
    const unsigned char byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\t':
        text += "\\t";
        break;
      case '\r':
        text += "\\r";
        break;
      case '\n':
        text += "\\n";
        break;
      case '"':
        text += "\\\"";
        break;
      case '\\':
        text += "\\\\";
        break;
      default:
        if (byte < 32 || byte == 127) {
          text += "\\x";
          text += kHex[byte >> 4];
          text += kHex[byte & 15];
        } else {
          text += c;
        }
    }
  }
  return text;
}

bool UnescapeName(std::string_view escaped, std::string& name) {
  std::string text;
  text.reserve(escaped.size());
  for (size_t i = 0; i < escaped.size(); ++i) {
    if (escaped[i] != '\\') {
      text += escaped[i];
      continue;
    }
    if (++i == escaped.size()) return false;
    switch (escaped[i]) {
      case 't':
        text += '\t';
        break;
      case 'r':
        text += '\r';
        break;
      case 'n':
        text += '\n';
        break;
      case '"':
        text += '"';
        break;
      case '\\':
        text += '\\';
        break;
      case 'x': {
        const int high = i + 1 < escaped.size() ? HexDigit(escaped[i + 1]) : -1;
        const int low = i + 2 < escaped.size() ? HexDigit(escaped[i + 2]) : -1;
        if (high < 0 || low < 0) return false;
        text += static_cast<char>(high * 16 + low);
        i += 2;
        break;
      }
      default:
        return false;
    }
  }
  name = std::move(text);
  return true;
}
