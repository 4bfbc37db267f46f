// Damaged patch files: reading never fails, every patch line is taken apart or refused with a
// message that quotes it, and sections still apply by their names. KAVRO_FUZZ_ROUNDS sets the
// number of files (default 2000).

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "patches/Tree.h"
#include "support/XorShiftRandom.h"

namespace {

class PatchMutator : public XorShiftRandom {
 public:
  using XorShiftRandom::XorShiftRandom;

  void Mutate(std::string& text) {
    if (text.empty()) return;
    // A line longer than the pieces the file is read in; it outlives the table below.
    static const std::string kLongLine(10050, 'x');
    static const char* const tokens[] = {"/",
                                         ":",
                                         "=",
                                         "[",
                                         "]",
                                         "\r",
                                         "\n",
                                         "\r\n",
                                         ";",
                                         "Left=",
                                         "Caption=",
                                         "Hint=",
                                         "-99999999999",
                                         "%s",
                                         "\x80",
                                         "\xFF",
                                         " ",
                                         kLongLine.c_str()};
    const int tokenCount = sizeof tokens / sizeof tokens[0];
    size_t at = Below(static_cast<int>(text.size()));
    switch (Below(5)) {
      case 0:
        text[at] = static_cast<char>(Next());
        break;
      case 1:
        // Now and then a line longer than the pieces the file is read in.
        text.insert(at,
                    at % 7 == 0 ? std::string(10050, 'x') : std::string(tokens[Below(tokenCount)]));
        break;
      case 2:
        text.erase(at, 1 + Below(40));
        break;
      case 3:
        text.resize(at);
        break;
      default: {
        // A line moves elsewhere.
        size_t end = text.find('\n', at);
        std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        text.erase(at, line.size());
        text.insert(Below(static_cast<int>(text.size()) + 1), line);
        break;
      }
    }
  }
};

int Rounds() {
  const char* text = std::getenv("KAVRO_FUZZ_ROUNDS");
  int rounds = text ? std::atoi(text) : 0;
  return rounds > 0 ? rounds : 2000;
}

}  // namespace

TEST(PatchTreeFuzz, DamagedFilesReadAndEveryLineIsTakenApartOrRefused) {
  std::ifstream in(std::string(KAVRO_SOURCE_DIR) + "/examples/kavro-de.tre", std::ios::binary);
  std::stringstream original;
  original << in.rdbuf();
  ASSERT_FALSE(original.str().empty());
  PatchMutator mutator(0x7e1ee5ULL);
  int refused = 0;
  int parsed = 0;
  for (int round = 0; round < Rounds(); round++) {
    std::string text = original.str();
    for (int m = 1 + mutator.Below(4); m > 0; m--) mutator.Mutate(text);
    if (mutator.Below(3) == 0) {
      std::string crlf;
      for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
      text = crlf;
    }
    std::istringstream stream(text);
    Tree tree;
    tree.Read(stream);
    for (const char* window : {"FormMain", "FormSetupScreenDumps", "FormSplash", "FormValue"}) {
      for (const PatchLine& line : tree.LinesFor(window)) {
        ASSERT_GE(line.LineNo, 1);
        ASSERT_LE(line.Text.size(), Tree::kMaxPiece);
        ASSERT_EQ(line.Text.find_first_of("\r\n"), std::string::npos);
        ParsedPatch patch = ParsePatchLine(line.Text);
        const std::string& error = !patch.PathError.empty() ? patch.PathError : patch.PropertyError;
        if (error.empty()) {
          parsed++;
          ASSERT_FALSE(patch.Path.empty()) << line.Text;
        } else {
          refused++;
          // The message quotes the whole line, so the user finds it in the file.
          ASSERT_EQ(error.substr(0, 12), "PatchObject:") << error;
          ASSERT_EQ(error.substr(error.size() - line.Text.size()), line.Text);
        }
      }
    }
  }
  EXPECT_GT(parsed, 0);
  EXPECT_GT(refused, 0);
}
