// The undo history: edits undone one by one give back the configuration as it was, byte for
// byte; redone, the final one; the labels name the edits; the history holds eleven points.

#include <gtest/gtest.h>

#include "config/ConfigCopyTestSupport.h"
#include "shell/UndoHistory.h"
#include "support/ReportCapture.h"

namespace {

// A history over a current configuration, used the way the main window uses it.
struct Editing {
  explicit Editing(std::unique_ptr<KDConfig> config) : current(std::move(config)) {}

  std::unique_ptr<KDConfig> current;
  UndoHistory history;

  void Edit(const std::string& label, const std::function<void(KDConfig&)>& change) {
    history.Record(label, *current);
    change(*current);
  }
  bool Undo() {
    std::unique_ptr<KDConfig> restored = history.Undo(*current);
    if (!restored) return false;
    current = std::move(restored);
    return true;
  }
  bool Redo() {
    std::unique_ptr<KDConfig> restored = history.Redo();
    if (!restored) return false;
    current = std::move(restored);
    return true;
  }
};

// Edits of several kinds on the on-ramp example, each with its label.
void EditRamp(Editing& e, std::vector<std::string>& states) {
  states.push_back(SavedText(*e.current));
  e.Edit("insert section boundary",
         [](KDConfig& c) { c.InsertBoundary(c.SectionPos(0, WHENCE_END) - 100); });
  states.push_back(SavedText(*e.current));
  e.Edit("set lane surface type",
         [](KDConfig& c) { c.SetPhysicalSectionProperty(0, 1, PP_LANETYPE, LANETYPE_BLOCKED); });
  states.push_back(SavedText(*e.current));
  e.Edit("new detector", [](KDConfig& c) { c.AddDetector(123); });
  states.push_back(SavedText(*e.current));
  e.Edit("random seed", [](KDConfig& c) { c.SetSeed(77); });
  states.push_back(SavedText(*e.current));
  e.Edit("set section length", [](KDConfig& c) { c.SetSectionLength(0, 50); });
  states.push_back(SavedText(*e.current));
}

TEST(UndoHistory, UndoneOneByOneGivesBackEveryStateRedoneTheFinalOne) {
  Editing e{LoadSourceConfig("examples/on-ramp-taper.kav")};
  ASSERT_NE(e.current, nullptr);
  std::vector<std::string> states;
  EditRamp(e, states);
  ASSERT_EQ(states.size(), 6u);
  for (int i = 4; i >= 0; --i) {
    ASSERT_TRUE(e.Undo());
    EXPECT_EQ(SavedText(*e.current), states[i]) << "after undoing edit " << i + 1;
  }
  EXPECT_FALSE(e.history.CanUndo());
  for (int i = 1; i <= 5; ++i) {
    ASSERT_TRUE(e.Redo());
    EXPECT_EQ(SavedText(*e.current), states[i]) << "after redoing edit " << i;
  }
  EXPECT_FALSE(e.history.CanRedo());
}

TEST(UndoHistory, LabelsNameTheEditsUndoAndRedoWouldTakeBack) {
  Editing e{std::make_unique<KDConfig>()};
  EXPECT_EQ(UndoMenuCaption("&Undo", e.history.CanUndo(), e.history.UndoLabel()), "&Undo");
  e.Edit("new detector", [](KDConfig& c) { c.AddDetector(100); });
  e.Edit("random seed", [](KDConfig& c) { c.SetSeed(5); });
  EXPECT_EQ(UndoMenuCaption("&Undo", e.history.CanUndo(), e.history.UndoLabel()),
            "&Undo random seed");
  EXPECT_FALSE(e.history.CanRedo());
  ASSERT_TRUE(e.Undo());
  EXPECT_EQ(e.history.UndoLabel(), "new detector");
  EXPECT_EQ(UndoMenuCaption("&Redo", e.history.CanRedo(), e.history.RedoLabel()),
            "&Redo random seed");
  ASSERT_TRUE(e.Redo());
  EXPECT_EQ(e.current->Seed(), 5);
  EXPECT_EQ(e.history.UndoLabel(), "random seed");
  EXPECT_FALSE(e.history.CanRedo());
}

TEST(UndoHistory, TenEditsCanAllBeUndoneAfterElevenOnlyTen) {
  for (int edits : {10, 11}) {
    SCOPED_TRACE(edits);
    Editing e{std::make_unique<KDConfig>()};
    for (int i = 1; i <= edits; ++i)
      e.Edit("new detector", [i](KDConfig& c) { c.AddDetector(100 * i); });
    int undone = 0;
    while (e.Undo()) ++undone;
    EXPECT_EQ(undone, 10);
    EXPECT_EQ(e.current->DetectorCount(), edits - 10);
  }
}

TEST(UndoHistory, AnEditAfterUndoEndsRedoAndKeepsTheEdit) {
  Editing e{std::make_unique<KDConfig>()};
  e.Edit("edit A", [](KDConfig& c) { c.AddDetector(100); });
  e.Edit("edit B", [](KDConfig& c) { c.AddDetector(200); });
  e.Edit("edit C", [](KDConfig& c) { c.AddDetector(300); });
  ASSERT_TRUE(e.Undo());
  ASSERT_TRUE(e.Undo());
  e.Edit("edit D", [](KDConfig& c) { c.AddDetector(400); });
  const std::string afterD = SavedText(*e.current);
  // Redo would leave D's state for one that does not follow from it.
  EXPECT_FALSE(e.history.CanRedo());
  EXPECT_FALSE(e.Redo());
  ASSERT_TRUE(e.Undo());
  EXPECT_EQ(e.current->DetectorCount(), 1);
  ASSERT_TRUE(e.Redo());
  EXPECT_EQ(SavedText(*e.current), afterD);
}

TEST(UndoHistory, ClearLeavesNothingToUndoOrRedo) {
  Editing e{std::make_unique<KDConfig>()};
  e.Edit("edit A", [](KDConfig& c) { c.AddDetector(100); });
  e.Edit("edit B", [](KDConfig& c) { c.AddDetector(200); });
  ASSERT_TRUE(e.Undo());
  e.history.Clear();
  EXPECT_FALSE(e.history.CanUndo());
  EXPECT_FALSE(e.history.CanRedo());
  EXPECT_EQ(e.history.MemoryBytes(), 0u);
  EXPECT_EQ(e.history.Undo(*e.current), nullptr);
}

TEST(UndoHistory, StoredCopiesAreNotTheCurrentConfiguration) {
  Editing e{std::make_unique<KDConfig>()};
  e.Edit("edit A", [](KDConfig& c) { c.AddDetector(100); });
  ASSERT_TRUE(e.Undo());
  // Editing the restored configuration must not change what Redo brings back.
  e.current->AddDetector(300);
  ASSERT_TRUE(e.Redo());
  EXPECT_EQ(e.current->DetectorCount(), 1);
  EXPECT_EQ(e.current->DetectorPosition(0), 100);
}

}  // namespace
