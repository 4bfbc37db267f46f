// Reading interface text patch files: which lines apply to which window, and how a patch line
// is taken apart, with the messages a malformed line gets.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sstream>
#include <string>

#include "patches/Tree.h"

namespace {

Tree Read(const std::string& text) {
  std::istringstream in(text);
  Tree tree;
  tree.Read(in);
  return tree;
}

std::vector<std::string> Texts(const std::vector<PatchLine>& lines) {
  std::vector<std::string> texts;
  for (const PatchLine& line : lines) texts.push_back(line.Text);
  return texts;
}

using Texts_ = std::vector<std::string>;

}  // namespace

TEST(PatchTreeSections, ASectionNameIsAPrefixOfTheWindowNamesInAnyCase) {
  EXPECT_TRUE(Tree::SectionApplies("formtrajectories", "FormTrajectories"));
  EXPECT_TRUE(Tree::SectionApplies("FormGraph", "FormGraph"));
  EXPECT_TRUE(Tree::SectionApplies("FormGraph", "FormGraph3"));
  EXPECT_TRUE(Tree::SectionApplies("Form", "FormMain"));
  EXPECT_TRUE(Tree::SectionApplies("", "FormMain"));
  EXPECT_FALSE(Tree::SectionApplies("FormMainWindow", "FormMain"));
  EXPECT_FALSE(Tree::SectionApplies("FormValue", "FormMain"));
}

TEST(PatchTreeSections, LinesOfEveryApplyingSectionInFileOrder) {
  Tree tree = Read(
      "/FormMain/LabelA:Caption=before any section\n"
      "[FormMain]\n"
      "/FormMain/LabelA:Caption=one\n"
      "[FormTrajectories]\n"
      "/FormTrajectories/LabelXM:Caption=two\n"
      "[form]\n"
      "/FormMain/LabelB:Caption=three\n"
      "[FormMAIN]\n"
      "/FormMain/LabelC:Caption=four\n");
  EXPECT_EQ(Texts(tree.LinesFor("FormMain")),
            (Texts_{"/FormMain/LabelA:Caption=one", "/FormMain/LabelB:Caption=three",
                    "/FormMain/LabelC:Caption=four"}));
  EXPECT_EQ(Texts(tree.LinesFor("FormTrajectories")),
            (Texts_{"/FormTrajectories/LabelXM:Caption=two", "/FormMain/LabelB:Caption=three"}));
  EXPECT_TRUE(tree.LinesFor("Other").empty());
  std::vector<PatchLine> lines = tree.LinesFor("FormMain");
  EXPECT_EQ(lines[0].LineNo, 3);
  EXPECT_EQ(lines[2].LineNo, 9);
}

TEST(PatchTreeSections, CarriageReturnsBlankLinesAndComments) {
  Tree tree = Read(
      "; a comment before the sections\r\n"
      "[FormMain]\r\n"
      "\r\n"
      "   \r\n"
      "; Caption of the run button\r\n"
      "/FormMain/BitBtnRun:Caption=&Start \r\n");
  // A patch line ends at its carriage return; the blank before it belongs to the value.
  EXPECT_EQ(Texts(tree.LinesFor("FormMain")), (Texts_{"/FormMain/BitBtnRun:Caption=&Start "}));
}

TEST(PatchTreeSections, ABracketAloneNamesNoWindowAndEmptyBracketsAll) {
  Tree none = Read("[\n/FormMain/LabelA:Caption=x\n");
  EXPECT_TRUE(none.LinesFor("FormMain").empty());
  Tree all = Read("[]\n/FormMain/LabelA:Caption=x\n");
  EXPECT_EQ(all.LinesFor("FormValue").size(), 1u);
  // Blanks after the closing bracket do not count.
  Tree trailing = Read("[FormMain]  \n/FormMain/LabelA:Caption=x\n");
  EXPECT_EQ(trailing.LinesFor("FormMain").size(), 1u);
}

TEST(PatchTreeSections, AVeryLongLineIsReadInPieces) {
  std::string value(Tree::kMaxPiece + 5, 'v');
  Tree tree =
      Read("[FormMain]\n/FormMain/LabelA:Caption=" + value + "\n/FormMain/LabelB:Caption=b\n");
  std::vector<PatchLine> lines = tree.LinesFor("FormMain");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].Text.size(), Tree::kMaxPiece);
  // The rest of the line is a line of its own, in the same line of the file.
  EXPECT_EQ(lines[1].LineNo, 2);
  EXPECT_EQ(lines[1].Text, std::string(value.size() + 25 - Tree::kMaxPiece, 'v'));
  EXPECT_EQ(lines[2].LineNo, 3);
}

TEST(PatchTreeSections, AMissingFileOrAPipeIsNoPatchFile) {
  const std::string pipe = testing::TempDir() + "/patch-pipe.tre";
  ::unlink(pipe.c_str());
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  // A pipe without a writer would block a plain read for ever.
  for (const std::string& name : {testing::TempDir() + "/no-such-patch-file.tre", pipe}) {
    SCOPED_TRACE(name);
    Tree tree;
    EXPECT_FALSE(tree.ReadFile(name));
    EXPECT_TRUE(tree.LinesFor("FormMain").empty());
  }
  ::unlink(pipe.c_str());
}

TEST(PatchLineParse, ReadsPathPropertyAndValue) {
  ParsedPatch patch = ParsePatchLine("/FormTrajectories/PanelTop/LabelXM:Caption=Weg = Zeit");
  EXPECT_EQ(patch.PathError, "");
  EXPECT_EQ(patch.PropertyError, "");
  EXPECT_EQ(patch.Path, (std::vector<std::string>{"PanelTop", "LabelXM"}));
  EXPECT_EQ(patch.Property, PatchProperty::Caption);
  // Everything after the first "=", blanks and later "=" included.
  EXPECT_EQ(patch.Value, "Weg = Zeit");
}

TEST(PatchLineParse, TheWindowPartIsNotExamined) {
  ParsedPatch patch = ParsePatchLine("anything/LabelA:hint=tip");
  EXPECT_EQ(patch.PathError, "");
  EXPECT_EQ(patch.Path, (std::vector<std::string>{"LabelA"}));
  EXPECT_EQ(patch.Property, PatchProperty::Hint);
}

TEST(PatchLineParse, PropertiesAreKnownByTheirFirstLettersInAnyCase) {
  EXPECT_EQ(ParsePatchLine("/F/A:CAPTIONS=x").Property, PatchProperty::Caption);
  EXPECT_EQ(ParsePatchLine("/F/A:hintText=x").Property, PatchProperty::Hint);
  ParsedPatch left = ParsePatchLine("/F/A:Leftward=  -20 pixels");
  EXPECT_EQ(left.Property, PatchProperty::Left);
  EXPECT_EQ(left.Left, -20);
  EXPECT_EQ(ParsePatchLine("/F/A:Left=+7").Left, 7);
  EXPECT_EQ(ParsePatchLine("/F/A:Capt=x").PropertyError,
            "PatchObject: Unknown property in /F/A:Capt=x");
}

TEST(PatchLineParse, MalformedLinesGetTheirMessages) {
  struct Case {
    const char* line;
    const char* pathError;
    const char* propertyError;
  };
  const Case cases[] = {
      {":Caption=x", "PatchObject: Cannot find 2nd '/' in :Caption=x", ""},
      {"/FormMain:Caption=x", "PatchObject: Cannot find 2nd '/' in /FormMain:Caption=x", ""},
      {"/", "PatchObject: Cannot find 2nd '/' in /", ""},
      {"/FormMain/LabelA", "PatchObject: Cannot find '/' or ':' in /FormMain/LabelA", ""},
      {"/FormMain/LabelA:Caption", "", "PatchObject: Cannot find '=' in /FormMain/LabelA:Caption"},
      {"/FormMain/LabelA:Width=3", "", "PatchObject: Unknown property in /FormMain/LabelA:Width=3"},
      {"/FormMain/LabelA:Left=ten", "",
       "PatchObject: Cannot convert number in /FormMain/LabelA:Left=ten"},
      {"/FormMain/LabelA:Left=99999999999", "",
       "PatchObject: Cannot convert number in /FormMain/LabelA:Left=99999999999"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    ParsedPatch patch = ParsePatchLine(c.line);
    EXPECT_EQ(patch.PathError, c.pathError);
    EXPECT_EQ(patch.PropertyError, c.propertyError);
  }
  EXPECT_EQ(MissingComponentMessage("LabelXM", "/FormMain/LabelXM:Caption=x"),
            "PatchObject: Cannot find LabelXM specified in /FormMain/LabelXM:Caption=x");
}

TEST(PatchText, Windows1252BecomesUtf8) {
  EXPECT_EQ(Windows1252ToUtf8("Stra\xDF"
                              "e \x80 \x84"
                              "a\x93"),
            "Stra\xC3\x9F"
            "e \xE2\x82\xAC \xE2\x80\x9E"
            "a\xE2\x80\x9C");
  EXPECT_EQ(Windows1252ToUtf8("plain"), "plain");
}
