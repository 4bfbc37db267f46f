#include <gtest/gtest.h>
#include <sys/stat.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <map>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "shell/ConfigDocument.h"
#include "shell/DocumentSettings.h"
#include "shell/PageCatalogue.h"
#include "shell/PageChange.h"
#include "shell/TextTable.h"
#include "support/FakeHosts.h"
#include "support/ReportCapture.h"

namespace {

namespace fs = std::filesystem;

class ConfigDocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProgramMode(KAVRO);
    dir = fs::temp_directory_path() /
          ("kavro_document_" +
           std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string File(const char* name) const { return (dir / name).string(); }

  fs::path dir;
  TextTable texts;
  ScriptedDocumentHost host;
};

TEST(LastUsedFilesOrder, KeepsNewestFirstWithoutDuplicatesAndAtMostSix) {
  LastUsedFiles files;
  for (const char* name : {"a.kav", "b.kav", "c.kav"}) files.Add(name);
  files.Add("A.KAV");  // the same file in other letters moves to the top
  EXPECT_EQ(files.Entries(), (std::vector<std::string>{"A.KAV", "c.kav", "b.kav"}));
  files.Add("A.KAV");
  EXPECT_EQ(files.Entries().size(), 3u) << "reopening the top file leaves the list";
  for (const char* name : {"d", "e", "f", "g"}) files.Add(name);
  EXPECT_EQ(files.Entries(), (std::vector<std::string>{"g", "f", "e", "d", "A.KAV", "c.kav"}));
}

TEST(LastUsedFilesShown, HidesTheOpenFileAndShowsAtMostFour) {
  LastUsedFiles files;
  for (const char* name : {"f", "e", "d", "c", "b", "a"}) files.Add(name);
  struct Case {
    const char* current;
    std::vector<int> shown;
  } cases[] = {{"", {0, 1, 2, 3}}, {"A", {1, 2, 3, 4}}, {"c", {0, 1, 3, 4}}, {"f", {0, 1, 2, 3}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.current);
    EXPECT_EQ(files.ShownEntries(c.current), c.shown);
  }
}

TEST(DocumentCaptionRule, NamesModeFileAndModification) {
  TextTable texts;
  struct Case {
    int mode;
    const char* file;
    bool modified;
    std::string caption;
  } cases[] = {
      {KAVRO, "", false, ModeBanner(KAVRO) + " - U-KA-DOV"},
      {DOVEL, "", false, ModeBanner(DOVEL) + " - U-KA-DOV"},
      {KAVRO, "", true, "KAVRO (unnamed configuration) (modified) - U-KA-DOV"},
      {KAVRO, "/c/a.kav", false, "KAVRO: /c/a.kav - U-KA-DOV"},
      {DOVEL, "/c/a.dov", true, "DOVEL: /c/a.dov (modified) - U-KA-DOV"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    EXPECT_EQ(DocumentCaption(texts, c.mode, c.file, c.modified), c.caption);
  }
  EXPECT_NE(ModeBanner(KAVRO), ModeBanner(DOVEL));
}

TEST(DialogFilterText, EachEntryShowsOnePatternList) {
  EXPECT_EQ(DialogFilterText("Kavro configuration files (*.kav)|*.KAV|All files (*.*)|*.*"),
            "Kavro configuration files (*.KAV *.kav);;All files (*)");
  EXPECT_EQ(DialogFilterText("Traces|*.trc"), "Traces (*.trc)");
}

TEST(DialogFilterSplit, PairsDescriptionsWithBothLetterCases) {
  auto parts = SplitDialogFilter("Kavro configuration files (*.kav)|*.KAV|All files (*.*)|*.*");
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[0].first, "Kavro configuration files (*.kav)");
  EXPECT_EQ(parts[0].second, "*.KAV *.kav");
  EXPECT_EQ(parts[1].second, "*");
  EXPECT_EQ(SplitDialogFilter("Traces|*.trc;*.TRC")[0].second, "*.trc *.TRC *.trc");
}

TEST_F(ConfigDocumentTest, EditShowsModifiedAndSaveAsReopensTheSameConfiguration) {
  ConfigDocument doc(texts, host);
  doc.New();
  EXPECT_FALSE(doc.Modified());
  doc.Config().SetLength(7000);
  doc.SetDocumentName(doc.CurrentFileName());
  EXPECT_EQ(host.caption, "KAVRO (unnamed configuration) (modified) - U-KA-DOV");

  host.files = {File("road.kav")};
  ASSERT_TRUE(doc.Save()) << "an unnamed configuration is saved through Save As";
  EXPECT_FALSE(doc.Modified());
  EXPECT_EQ(host.caption, "KAVRO: " + File("road.kav") + " - U-KA-DOV");
  EXPECT_EQ(host.dialogs.back().DefaultExtension, "kav");
  EXPECT_TRUE(host.dialogs.back().Save);
  std::string saved = KavroConfigText(doc.Config(), "date\n");

  doc.New();
  EXPECT_EQ(doc.Config().Length(), 5000);
  ASSERT_TRUE(doc.OpenLastFile(File("road.kav")));
  EXPECT_EQ(doc.Config().Length(), 7000);
  EXPECT_EQ(KavroConfigText(doc.Config(), "date\n"), saved);
  EXPECT_EQ(host.status, "Loaded file " + File("road.kav"));
  EXPECT_EQ(host.opened, 1);
}

TEST_F(ConfigDocumentTest, CancelOnTheSaveQuestionKeepsTheModifiedDocument) {
  ConfigDocument doc(texts, host);
  doc.Config().SetLength(6000);
  KDConfig* before = &doc.Config();
  host.answers = {Answer::Cancel};
  EXPECT_FALSE(doc.New());
  ASSERT_EQ(host.asked.size(), 1u);
  EXPECT_EQ(host.asked[0].Text, "Save modified configuration ?");
  EXPECT_EQ(host.asked[0].Caption, "Warning");
  EXPECT_EQ(&doc.Config(), before);
  EXPECT_TRUE(doc.Modified());
  EXPECT_EQ(host.replaced, 0);
}

TEST_F(ConfigDocumentTest, YesWithAFailingSaveKeepsTheUserInTheDocument) {
  ConfigDocument doc(texts, host);
  doc.Config().SetLength(6000);
  host.answers = {Answer::Yes};
  host.files = {File("missing-folder/road.kav")};
  ReportCapture capture;
  EXPECT_FALSE(doc.New());
  EXPECT_EQ(capture.Reports().at(0).caption, "Error");
  EXPECT_EQ(capture.Reports().at(0).text.rfind(
                "Cannot write to file \"" + File("missing-folder/road.kav") + "\": ", 0),
            0u);
  EXPECT_TRUE(doc.Modified());
  EXPECT_EQ(doc.Config().Length(), 6000);
  // The failed name is still remembered as a file the user worked with.
  EXPECT_EQ(doc.LastUsed().Entries().at(0), File("missing-folder/road.kav"));
}

TEST_F(ConfigDocumentTest, NoDiscardsTheChangesAndUntouchedDocumentsAreNotQuestioned) {
  ConfigDocument doc(texts, host);
  doc.Config().SetLength(6000);
  host.answers = {Answer::No};
  EXPECT_TRUE(doc.New());
  EXPECT_EQ(doc.Config().Length(), 5000);
  EXPECT_TRUE(doc.New());
  EXPECT_EQ(host.asked.size(), 1u);
}

TEST_F(ConfigDocumentTest, FailedOpenKeepsConfigurationNameAndList) {
  ConfigDocument doc(texts, host);
  host.files = {File("a.kav")};
  ASSERT_TRUE(doc.SaveAs());
  doc.Config().SetLength(6500);
  const KDConfig* before = &doc.Config();
  int stamp = doc.Config().ChangeStamp();
  std::ofstream(File("bad.kav")) << "this is no configuration\n";
  ASSERT_EQ(::mkfifo(File("pipe.kav").c_str(), 0600), 0);
  struct Case {
    const char* file;
    std::string start;
  } cases[] = {{"bad.kav", File("bad.kav") + "(line 1)"},
               {"none.kav", "Cannot open file \"" + File("none.kav") + "\" for reading: "},
               // A pipe would wait for a writer that never comes.
               {"pipe.kav", "Cannot open file \"" + File("pipe.kav") +
                                "\" for reading: it is not a regular file"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ReportCapture capture;
    host.answers = {Answer::No};
    EXPECT_FALSE(doc.OpenLastFile(File(c.file)));
    ASSERT_FALSE(capture.Empty());
    EXPECT_EQ(capture.Reports().back().text.rfind(c.start, 0), 0u) << capture.Reports().back().text;
    EXPECT_EQ(&doc.Config(), before);
    EXPECT_EQ(doc.Config().ChangeStamp(), stamp);
    EXPECT_EQ(doc.CurrentFileName(), File("a.kav"));
    EXPECT_EQ(doc.LastUsed().Entries(), std::vector<std::string>{File("a.kav")});
  }
}

TEST_F(ConfigDocumentTest, CancelledSaveDialogChangesNothing) {
  ConfigDocument doc(texts, host);
  doc.Config().SetLength(6000);
  doc.SetDocumentName("");
  host.files = {""};
  EXPECT_FALSE(doc.Save());
  EXPECT_EQ(doc.CurrentFileName(), "");
  EXPECT_TRUE(doc.Modified());
  EXPECT_TRUE(doc.LastUsed().Entries().empty());
  EXPECT_EQ(host.caption, "KAVRO (unnamed configuration) (modified) - U-KA-DOV");
}

// A settings store in memory; `failFlush` makes writing fail.
class MemoryStore : public SettingsStore {
 public:
  std::map<std::string, std::string> values;
  bool failFlush = false;
  bool ReadInteger(const std::string& name, int& value) override {
    auto found = values.find(name);
    if (found == values.end()) return false;
    value = std::stoi(found->second);
    return true;
  }
  bool ReadText(const std::string& name, std::string& value) override {
    auto found = values.find(name);
    if (found == values.end()) return false;
    value = found->second;
    return true;
  }
  void WriteInteger(const std::string& name, int value) override {
    values[name] = std::to_string(value);
  }
  void WriteText(const std::string& name, const std::string& value) override {
    values[name] = value;
  }
  bool Flush() override { return !failFlush; }
};

TEST(DocumentSettingsStore, KeyPathNamesProgramAndVersion) {
  EXPECT_EQ(SettingsKeyPath("Kavro", {5, 1, 7}), "Software\\Marvenk\\Kavro5.1");
}

TEST(DocumentSettingsStore, ListSurvivesARestartInOrderAndLength) {
  MemoryStore store;
  LastUsedFiles files;
  for (const char* name : {"1", "2", "3", "4", "5", "6"}) files.Add(name);
  EXPECT_TRUE(WriteStoredSettings(store, {10, 20, 800}, files, true, "/work"));
  LastUsedFiles restored;
  StoredSettings read = ReadStoredSettings(store, true, restored);
  EXPECT_EQ(restored.Entries(), (std::vector<std::string>{"6", "5", "4", "3", "2"}));
  EXPECT_TRUE(read.HasPlacement);
  EXPECT_EQ(read.Placement.Width, 800);
  EXPECT_EQ(read.CurrentDir, "/work");

  // A shorter list later must not bring back the older names.
  LastUsedFiles two;
  two.Add("x");
  two.Add("y");
  WriteStoredSettings(store, {0, 0, 1}, two, true, "");
  LastUsedFiles again;
  ReadStoredSettings(store, true, again);
  EXPECT_EQ(again.Entries(), (std::vector<std::string>{"y", "x"}));
}

TEST(DocumentSettingsStore, MissingPlacementEndsReadingAndParametersKeepTheDirectory) {
  MemoryStore store;
  store.values = {{"Left", "1"}, {"Top", "2"}, {"LastFile_0", "a"}, {"CurrentDir", "/d"}};
  LastUsedFiles files;
  StoredSettings read = ReadStoredSettings(store, true, files);
  EXPECT_FALSE(read.HasPlacement);
  EXPECT_TRUE(files.Entries().empty());
  EXPECT_EQ(read.CurrentDir, "");

  store.values["Width"] = "3";
  store.values["LastFile_1"] = "0";  // written by old versions for an empty entry
  read = ReadStoredSettings(store, false, files);
  EXPECT_EQ(files.Entries(), std::vector<std::string>{"a"});
  EXPECT_EQ(read.CurrentDir, "") << "a program started with a file keeps its directory";
  store.failFlush = true;
  EXPECT_FALSE(WriteStoredSettings(store, {}, files, false, ""));
}

TEST(PageChangePlanRules, StopsResetsAndChoosesTheLowerArea) {
  struct Case {
    const char* name;
    int mode, shown, page;
    bool other;
    int steps;
    bool ask, stop, reset;
    LowerArea lower;
  } cases[] = {
      {"dovel run page left after steps", DOVEL, kRunPage, 1, true, 5, true, false, true,
       LowerArea::RoadView},
      {"dovel run page chosen again", DOVEL, kRunPage, kRunPage, false, 5, false, false, false,
       LowerArea::RoadView},
      {"dovel before any step", DOVEL, kRunPage, 1, true, 0, false, false, false,
       LowerArea::RoadView},
      {"kavro run page left", KAVRO, kRunPage, kParameterPage, true, 5, false, false, false,
       LowerArea::ParameterGrid},
      {"batch page left", KAVRO, kBatchPage, kRunPage, true, 5, false, true, false,
       LowerArea::RoadView},
      {"batch page shown", KAVRO, kRunPage, kBatchPage, true, 5, false, false, false,
       LowerArea::BatchGrid},
      {"entry without page keeps the batch page", DOVEL, kBatchPage, 15, true, 0, false, false,
       false, LowerArea::BatchGrid},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PageChangePlan plan = PlanPageChange(c.mode, c.shown, c.page, c.other, c.steps);
    EXPECT_EQ(plan.AskToTerminate, c.ask);
    EXPECT_EQ(plan.StopFirst, c.stop);
    EXPECT_EQ(plan.ResetModelRun, c.reset);
    EXPECT_EQ(plan.Lower, c.lower);
  }
}

}  // namespace
