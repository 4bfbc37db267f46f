#include "shell/ui/QtText.h"

namespace {

// Unicode of the bytes 0x80 to 0x9F; the five bytes the code page leaves undefined map to the
// C1 control of the same value, so every byte survives a round trip.
const char16_t kHighControls[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

QString FromText(const std::string& text) {
  QString result;
  result.reserve(static_cast<qsizetype>(text.size()));
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    result.append(byte >= 0x80 && byte < 0xA0 ? QChar(kHighControls[byte - 0x80]) : QChar(byte));
  }
  return result;
}

std::string ToText(const QString& text) {
  std::string result;
  result.reserve(static_cast<size_t>(text.size()));
  for (QChar ch : text) {
    char16_t unicode = ch.unicode();
    if (unicode < 0x80 || (unicode >= 0xA0 && unicode < 0x100)) {
      result += static_cast<char>(unicode);
      continue;
    }
    char byte = '?';
    for (int i = 0; i < 32; ++i)
      if (kHighControls[i] == unicode) byte = static_cast<char>(0x80 + i);
    result += byte;
  }
  return result;
}
