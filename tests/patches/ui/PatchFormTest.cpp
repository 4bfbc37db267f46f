// Applying interface text patches to windows: components found by their object names, what
// each kind of component does with Left, Hint and Caption, the messages of malformed lines, and
// windows patched once when first shown.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <fstream>
#include <memory>

#include "patches/ui/PatchForm.h"
#include "support/ReportCapture.h"
#include "support/TestFolder.h"

namespace {

// A window with one component of every kind, placed at fixed positions.
class TestWindow : public QWidget {
 public:
  explicit TestWindow(const char* name = "FormTrajectories") {
    setObjectName(name);
    auto make = [this](QWidget* widget, const char* objectName, int x) {
      widget->setObjectName(objectName);
      widget->move(x, 10);
      return widget;
    };
    Panel = static_cast<QFrame*>(make(new QFrame(this), "PanelTop", 10));
    Label = static_cast<QLabel*>(make(new QLabel("Distance", Panel), "LabelXM", 100));
    Radio = static_cast<QRadioButton*>(make(new QRadioButton("Lane 1", this), "RadioButton1", 100));
    Button = static_cast<QPushButton*>(make(new QPushButton("&Erase", this), "BitBtnErase", 100));
    Combo = static_cast<QComboBox*>(make(new QComboBox(this), "ComboBoxLane", 100));
    Edit = static_cast<QLineEdit*>(make(new QLineEdit(this), "EditFrom", 100));
    Group = static_cast<QGroupBox*>(make(new QGroupBox("Show", this), "RadioGroupShow", 100));
    Check = static_cast<QCheckBox*>(make(new QCheckBox("Grid", this), "CheckBoxGrid", 100));
    Menu = new QMenu("&View", this);
    Menu->setObjectName("MenuView");
    Refresh = Menu->addAction("&Refresh");
    Refresh->setObjectName("ItemRefresh");
  }
  QFrame* Panel;
  QLabel* Label;
  QRadioButton* Radio;
  QPushButton* Button;
  QComboBox* Combo;
  QLineEdit* Edit;
  QGroupBox* Group;
  QCheckBox* Check;
  QMenu* Menu;
  QAction* Refresh;
};

class PatchFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = FreshTestFolder("patch-form");
    InstallPatchOnShow();
  }
  void TearDown() override { SetPatchFile(""); }

  void UsePatches(const std::string& text) {
    std::ofstream(PatchPath(), std::ios::binary) << text;
    SetPatchFile(PatchPath());
  }
  std::string PatchPath() const { return (folder_ / "kavro.tre").string(); }
  // A message as PatchForm shows it: the text, then the file and line.
  std::string At(const std::string& text, int line) const {
    return text + "\r\n" + PatchPath() + "(line " + std::to_string(line) + ")";
  }

  std::filesystem::path folder_;
};

}  // namespace

TEST_F(PatchFormTest, CaptionsHintsAndMovesByKind) {
  UsePatches(
      "[FormTrajectories]\n"
      "/FormTrajectories/LabelXM:Caption=Weg [km]\n"
      "/FormTrajectories/LabelXM:Left=-20\n"
      "/FormTrajectories/LabelXM:Hint=Die Achse des Weges\n"
      "/FormTrajectories/RadioButton1:Caption=Spur 1\n"
      "/FormTrajectories/BitBtnErase:Caption=&L\xF6schen\n"
      "/FormTrajectories/BitBtnErase:Left=5\n"
      "/FormTrajectories/RadioGroupShow:Caption=Zeigen\n"
      "/FormTrajectories/RadioGroupShow:Left=50\n"
      "/FormTrajectories/MenuView:Caption=&Ansicht\n"
      "/FormTrajectories/ItemRefresh:Caption=&Neu zeichnen\n"
      "/FormTrajectories/ItemRefresh:Hint=Zeichnet alles neu\n"
      "/FormTrajectories/CheckBoxGrid:Left=30\n"
      "/FormTrajectories/CheckBoxGrid:Hint=Gitter\n"
      "/FormTrajectories/PanelTop:Caption=ignored\n"
      "/FormTrajectories/PanelTop:Left=1\n");
  TestWindow window;
  ReportCapture capture;
  PatchForm(window.Label);
  EXPECT_TRUE(capture.Empty()) << capture.Reports().front().text;
  EXPECT_TRUE(IsPatched(&window));
  EXPECT_EQ(window.Label->text(), "Weg [km]");
  EXPECT_EQ(window.Label->x(), 80);
  EXPECT_EQ(window.Label->toolTip(), "Die Achse des Weges");
  EXPECT_EQ(window.Radio->text(), "Spur 1");
  EXPECT_EQ(window.Button->text(), QString::fromUtf8("&L\xC3\xB6schen"));
  EXPECT_EQ(window.Button->x(), 105);
  EXPECT_EQ(window.Group->title(), "Zeigen");
  EXPECT_EQ(window.Group->x(), 100);  // a radio group does not move
  EXPECT_EQ(window.Menu->title(), "&Ansicht");
  EXPECT_EQ(window.Refresh->text(), "&Neu zeichnen");
  EXPECT_EQ(window.Refresh->statusTip(), "Zeichnet alles neu");
  EXPECT_EQ(window.Check->x(), 100);  // a check box does not move either
  EXPECT_EQ(window.Check->toolTip(), "Gitter");
  EXPECT_EQ(window.Panel->x(), 11);
}

TEST_F(PatchFormTest, CaptionsOfEditsAndListsAreRefused) {
  UsePatches(
      "[FormTrajectories]\n"
      "/FormTrajectories/EditFrom:Caption=x\n"
      "/FormTrajectories/ComboBoxLane:Caption=y\n"
      "/FormTrajectories/CheckBoxGrid:Caption=z\n");
  TestWindow window;
  ReportCapture capture;
  PatchForm(&window);
  ASSERT_EQ(capture.Reports().size(), 3u);
  int line = 2;
  for (const Report& report : capture.Reports()) {
    EXPECT_EQ(report.text, At("What's this ?", line++));
    EXPECT_EQ(report.caption, "");
    EXPECT_EQ(report.kind, ReportKind::Warning);
    EXPECT_FALSE(report.stop);
  }
  EXPECT_EQ(window.Check->text(), "Grid");
}

TEST_F(PatchFormTest, MalformedLinesAreReportedAndSkipped) {
  UsePatches(
      "[FormTrajectories]\n"
      "/FormTrajectories:Caption=x\n"
      "/FormTrajectories/LabelYM:Caption=x\n"
      "/FormTrajectories/LabelXM:Caption\n"
      "/FormTrajectories/LabelXM:Colour=red\n"
      "/FormTrajectories/LabelXM:Left=far\n"
      "/FormTrajectories/PanelTop/LabelXM:Caption=found through its panel\n");
  TestWindow window;
  ReportCapture capture;
  PatchForm(&window);
  std::vector<std::string> texts;
  for (const Report& report : capture.Reports()) {
    EXPECT_EQ(report.caption, "Error");
    EXPECT_EQ(report.kind, ReportKind::Error);
    texts.push_back(report.text);
  }
  EXPECT_EQ(texts,
            (std::vector<std::string>{
                At("PatchObject: Cannot find 2nd '/' in /FormTrajectories:Caption=x", 2),
                At("PatchObject: Cannot find LabelYM specified in "
                   "/FormTrajectories/LabelYM:Caption=x",
                   3),
                At("PatchObject: Cannot find '=' in /FormTrajectories/LabelXM:Caption", 4),
                At("PatchObject: Unknown property in /FormTrajectories/LabelXM:Colour=red", 5),
                At("PatchObject: Cannot convert number in /FormTrajectories/LabelXM:Left=far", 6),
            }));
  // PatchObject alone has no file line to name.
  capture.Clear();
  PatchObject(&window, "/FormTrajectories/LabelNone:Caption=x");
  EXPECT_EQ(
      capture.OnlyText(),
      "PatchObject: Cannot find LabelNone specified in /FormTrajectories/LabelNone:Caption=x");
  EXPECT_EQ(window.Label->text(), "found through its panel");
  EXPECT_EQ(window.Label->x(), 100);
}

TEST_F(PatchFormTest, OnlyTheSectionsOfTheWindowApply) {
  UsePatches(
      "[FormMain]\n"
      "/FormMain/LabelXM:Caption=not here\n"
      "[formtraj]\n"
      "/FormTrajectories/LabelXM:Caption=here\n");
  TestWindow main("FormMain");
  TestWindow trajectories;
  ReportCapture capture;
  PatchForm(&main);
  PatchForm(&trajectories);
  // The main window has a LabelXM too in this test; the line is in its section.
  EXPECT_EQ(main.Label->text(), "not here");
  EXPECT_EQ(trajectories.Label->text(), "here");
  EXPECT_TRUE(capture.Empty());
}

TEST_F(PatchFormTest, AWindowIsPatchedOnce) {
  UsePatches("[FormTrajectories]\n/FormTrajectories/LabelXM:Left=-20\n");
  TestWindow window;
  PatchForm(&window);
  PatchForm(&window);
  window.show();
  EXPECT_EQ(window.Label->x(), 80);
}

TEST_F(PatchFormTest, WindowsArePatchedWhenFirstShown) {
  UsePatches("[Form]\n/Form/LabelXM:Caption=Weg\n");
  TestWindow window("FormContours");
  EXPECT_EQ(window.Label->text(), "Distance");
  window.show();
  EXPECT_EQ(window.Label->text(), "Weg");
  // A dialog owned by another window is a window of its own.
  TestWindow owner("FormMain");
  auto* dialog = new QDialog(&owner);
  dialog->setObjectName("FormValue");
  auto* prompt = new QLabel("Value", dialog);
  prompt->setObjectName("LabelXM");
  PatchForm(&owner);
  EXPECT_EQ(prompt->text(), "Value");
  dialog->show();
  EXPECT_EQ(prompt->text(), "Weg");
  dialog->hide();
}

TEST_F(PatchFormTest, ControlsPlacedByALayoutStayWhereTheLayoutPutsThem) {
  UsePatches("[FormTrajectories]\n/FormTrajectories/BitBtnLaidOut:Left=-40\n");
  QWidget window;
  window.setObjectName("FormTrajectories");
  auto* layout = new QHBoxLayout(&window);
  auto* button = new QPushButton("Laid out", &window);
  button->setObjectName("BitBtnLaidOut");
  layout->addWidget(button);
  window.show();
  const int x = button->x();
  PatchForm(&window);
  EXPECT_EQ(button->x(), x);
  window.hide();
}

TEST_F(PatchFormTest, OfTwoComponentsOfOneNameTheLaterIsPatched) {
  UsePatches("[FormTrajectories]\n/FormTrajectories/LabelTwice:Caption=patched\n");
  QWidget window;
  window.setObjectName("FormTrajectories");
  auto* first = new QLabel("first", &window);
  first->setObjectName("LabelTwice");
  auto* second = new QLabel("second", &window);
  second->setObjectName("LabelTwice");
  PatchForm(&window);
  EXPECT_EQ(first->text(), "first");
  EXPECT_EQ(second->text(), "patched");
}

TEST_F(PatchFormTest, PatchFormPartAppliesTheLinesInsideThePartFirst) {
  UsePatches(
      "[FormMain]\n"
      "/FormMain/LabelXM:Caption=text label\n"
      "/FormMain/BitBtnErase:Left=5\n"
      "/FormMain/BitBtnLater:Caption=made later\n");
  TestWindow window("FormMain");
  ReportCapture capture;
  std::vector<int> applied = PatchFormPart(&window, window.Panel);
  EXPECT_EQ(applied, (std::vector<int>{2}));
  EXPECT_EQ(window.Label->text(), "text label");
  EXPECT_EQ(window.Button->x(), 100);
  auto* later = new QPushButton("later", &window);
  later->setObjectName("BitBtnLater");
  window.Label->setText("changed since");
  PatchForm(&window, applied);
  EXPECT_TRUE(capture.Empty());
  EXPECT_EQ(window.Label->text(), "changed since");
  EXPECT_EQ(window.Button->x(), 105);
  EXPECT_EQ(later->text(), "made later");
}

TEST_F(PatchFormTest, NoFileChangesNothing) {
  SetPatchFile((folder_ / "missing.tre").string());
  TestWindow window;
  ReportCapture capture;
  PatchForm(&window);
  EXPECT_TRUE(capture.Empty());
  EXPECT_EQ(window.Label->text(), "Distance");
}
