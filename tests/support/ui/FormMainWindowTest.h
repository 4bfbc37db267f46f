#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <memory>
#include <string>
#include <vector>

#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "roadview/RoadGeometry.h"
#include "roadview/ui/RoadView.h"
#include "shell/ui/FormMain.h"

// The main window shown offscreen for window tests that drive its pages and its road view:
// settings in a folder of their own, every question answered No, and the small gestures the
// tests share (typing, clicking, dragging over the road, reading the Undo caption).
class FormMainWindowTest : public ::testing::Test {
 protected:
  explicit FormMainWindowTest(std::vector<std::string> arguments = {}, int height = 760)
      : arguments_(std::move(arguments)), height_(height) {}

  void SetUp() override {
    ASSERT_TRUE(settingsDir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    form = std::make_unique<TFormMain>(StartupInfo{executable_, directory_, arguments_});
    form->SetQuestionAsker([](const Question&) { return Answer::No; });
    form->resize(1000, height_);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QApplication::processEvents();
  }
  void TearDown() override { SetProgramMode(KAVRO); }

  KDConfig& Config() { return form->Config(); }
  void ShowPage(const char* item) { form->ItemSetModeClick(form->PageItem(item)); }
  TRoadImage* Image() { return form->RoadView()->ImageRoad(); }
  int X(int position) {
    return PositionToPixel(form->RoadView()->Viewport(), static_cast<float>(position));
  }
  static int Y(int lane) { return LaneTop(static_cast<float>(lane)) + 12; }

  // A left-button drag over the road from (position, lane) to (position, lane).
  void Drag(int fromPosition, int fromLane, int toPosition, int toLane) {
    const QPoint from(X(fromPosition), Y(fromLane));
    const QPoint to(X(toPosition), Y(toLane));
    QTest::mousePress(Image(), Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(Image(), (from + to) / 2);
    QTest::mouseMove(Image(), to);
    QTest::mouseRelease(Image(), Qt::LeftButton, Qt::NoModifier, to);
  }
  QString UndoCaption() {
    for (QAction* action : form->EditMenu()->actions())
      if (action->objectName() == "ItemUndo") return action->text();
    return {};
  }
  void Type(QLineEdit* field, const QString& text) {
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
  }
  void Click(QPushButton* button) {
    ASSERT_TRUE(button->isVisible() && button->isEnabled()) << button->objectName().toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
  }

  QTemporaryDir settingsDir;
  std::unique_ptr<TFormMain> form;
  // The program as started (its name decides the mode) and its folder, with a final "/".
  std::string executable_ = "/opt/kavro/kavro";
  std::string directory_ = "/unused/";

 private:
  std::vector<std::string> arguments_;
  int height_;
};
