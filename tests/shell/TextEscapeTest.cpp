// Names in the program's files: escaped so that they read back whole, unchanged when nothing in
// them needs it.

#include <gtest/gtest.h>

#include "shell/TextEscape.h"

TEST(TextEscape, NamesReadBackWhole) {
  struct Case {
    std::string name;
    std::string escaped;
  } cases[] = {
      {"on-ramp A1 (Caf\xe9).ksr", "on-ramp A1 (Caf\xe9).ksr"},
      {"a\tb\r\nc", "a\\tb\\r\\nc"},
      {"say \"hi\" C:\\out", "say \\\"hi\\\" C:\\\\out"},
      {std::string("\x01\x1f\x7f", 3) + std::string(1, '\0'), "\\x01\\x1f\\x7f\\x00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.escaped);
    EXPECT_EQ(EscapeName(c.name), c.escaped);
    std::string read;
    ASSERT_TRUE(UnescapeName(c.escaped, read));
    EXPECT_EQ(read, c.name);
  }
  for (const char* bad : {"end\\", "\\q", "\\x4", "\\xg0"}) {
    SCOPED_TRACE(bad);
    std::string read = "kept";
    EXPECT_FALSE(UnescapeName(bad, read));
    EXPECT_EQ(read, "kept");
  }
}
