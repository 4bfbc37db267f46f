#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "shell/KernelSimulation.h"
#include "shell/RunController.h"
#include "support/ReportCapture.h"
#include "support/TestFolder.h"
#include "views/LaneColors.h"
#include "views/ui/FormContours.h"
#include "views/ui/FormTrajectories.h"

// The trajectory and contour windows over ten minutes of the ramp metering example.

namespace {

struct MeteredRun {
  std::unique_ptr<KDConfig> config;
  OutputFileSettings outputs;
  std::unique_ptr<RunController> run;
  MeteredRun() {
    EXPECT_TRUE(
        LoadConfig(std::string(KAVRO_SOURCE_DIR) + "/examples/ramp-metering.kav", config).ok);
    config->SetMaxTime(600);
    run = std::make_unique<RunController>(std::make_unique<KernelSimulation>(), outputs);
    run->SetConfiguration(config.get());
    run->Continue();
    for (int i = 0; i < 100000 && run->State().Running; ++i) run->RunOneStep();
  }
  DiagramData Data() const {
    DiagramData data;
    data.tracks = &run->Tracks().Tracks();
    data.stepsPerSecond = run->State().StepsPerSecond;
    data.stepCount = run->State().StepCount;
    data.length = config->Length();
    data.maxTime = config->MaxTime();
    data.laneCount = config->LanesUsed();
    return data;
  }
};

MeteredRun& Metered() {
  static MeteredRun run;
  return run;
}

// A mouse button pressed or released at a point of the diagram's image.
void Mouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button, QPoint at) {
  QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button,
                    type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton,
                    Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}
void Press(QWidget* widget, Qt::MouseButton button, QPoint at) {
  Mouse(widget, QEvent::MouseButtonPress, button, at);
}
void Release(QWidget* widget, Qt::MouseButton button, QPoint at) {
  Mouse(widget, QEvent::MouseButtonRelease, button, at);
}

// Ten ticks of the 100 ms timer: the contents are drawn.
void Tick(TFormDiagram& form, int ticks = 10) {
  for (int i = 0; i < ticks; ++i) form.TimerStartDrawContentsTimer();
}

template <class Form>
std::unique_ptr<Form> Shown() {
  auto form = std::make_unique<Form>();
  // The test ticks the countdown itself: a slow machine must not let the real timer tick.
  form->TimerStartDrawContents->stop();
  form->SetSource([] { return Metered().Data(); });
  if constexpr (std::is_same_v<Form, TFormContours>) form->SetDiagramType('u');
  form->resize(900, 650);
  form->show();
  QApplication::processEvents();
  return form;
}

TEST(FormTrajectories, ContentsFollowOneSecondOfQuiet) {
  auto form = Shown<TFormTrajectories>();
  EXPECT_EQ(form->windowTitle().toStdString(), "Trajectories");
  EXPECT_EQ(form->RedrawCountdown(), 10);
  EXPECT_TRUE(form->ImageTimeOut->isVisibleTo(form.get()));
  Tick(*form, 9);
  EXPECT_FALSE(form->ContentsVisible());
  EXPECT_EQ(form->StatusBar->currentMessage().toStdString(), "Update pending ...");
  Tick(*form, 1);
  EXPECT_TRUE(form->ContentsVisible());
  EXPECT_GT(form->PointsDrawn(), 10000);
  EXPECT_FALSE(form->ImageTimeOut->isVisibleTo(form.get()));
  // One lane box per lane used, each with the lane's hint.
  ASSERT_EQ(form->CheckBoxLanes.size(), static_cast<size_t>(Metered().config->LanesUsed()));
  EXPECT_EQ(form->CheckBoxLanes[2]->toolTip().toStdString(),
            "Show or hide trajectories for lane 3");
}

TEST(FormTrajectories, OneLaneShownColoursByFollowStateWithLegend) {
  auto form = Shown<TFormTrajectories>();
  form->CheckBoxLanes[0]->click();
  form->CheckBoxLanes[1]->click();
  EXPECT_FALSE(form->Lanes().Shown(0));
  EXPECT_EQ(form->RedrawCountdown(), 10);
  Tick(*form);
  ASSERT_TRUE(form->ContentsVisible());
  EXPECT_TRUE(form->PanelColorFollowStateFree->isVisibleTo(form.get()));
  const QImage picture = form->Picture();
  int follow = 0, lane = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) {
      QRgb p = picture.pixel(x, y);
      if (p == qRgb(255, 255, 0) || p == qRgb(255, 0, 0)) ++follow;
      if (p == qRgb(128, 0, 0)) ++lane;  // lane 1's colour
    }
  EXPECT_GT(follow, 100);
  EXPECT_EQ(lane, 0);
}

TEST(FormTrajectories, ClickReadsOutPositionAndTime) {
  auto form = Shown<TFormTrajectories>();
  Tick(*form);
  const DiagramMapping* m = form->Mapping();
  ASSERT_NE(m, nullptr);
  QPoint at(m->X(2000), m->Y(300));
  Press(form->ImageFrame, Qt::LeftButton, at);
  ASSERT_TRUE(form->PanelCursorPos->isVisible());
  const QStringList parts = form->PanelCursorPos->text().split(", ");
  ASSERT_EQ(parts.size(), 2);
  EXPECT_NEAR(parts[0].toInt(), 2000, 10);
  EXPECT_NEAR(parts[1].toInt(), 300, 3);
  Release(form->ImageFrame, Qt::LeftButton, at);
  EXPECT_FALSE(form->PanelCursorPos->isVisible());
}

TEST(FormTrajectories, RightButtonRectangleZoomsIntoIt) {
  auto form = Shown<TFormTrajectories>();
  Tick(*form);
  const DiagramMapping* m = form->Mapping();
  QPoint from(m->X(1200), m->Y(200)), to(m->X(1500), m->Y(100));
  Press(form->ImageFrame, Qt::RightButton, from);
  QMouseEvent move(QEvent::MouseMove, QPointF(to), form->ImageFrame->mapToGlobal(QPointF(to)),
                   Qt::NoButton, Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(form->ImageFrame, &move);
  EXPECT_FALSE(form->Selection().isEmpty());
  Release(form->ImageFrame, Qt::RightButton, to);
  EXPECT_GT(form->TrackBarZoomX->value(), 0);
  EXPECT_LT(form->TrackBarZoomY->value(), DIAGRAM_ZOOM_Y_MAX);
  EXPECT_TRUE(form->ScrollBarScrollX->isEnabled());
  m = form->Mapping();
  EXPECT_LE(m->PositionAt(m->Margins().left), 1201);
  EXPECT_GE(m->PositionAt(m->Width() - m->Margins().right), 1499);
  EXPECT_LE(m->TimeAt(m->AxisY()), 101);
  EXPECT_GE(m->TimeAt(m->AxisY() - m->PlotHeight()), 199);
  EXPECT_EQ(form->RedrawCountdown(), 10);
}

// A step arriving while the trajectories are drawn abandons the drawing; the countdown draws
// them anew.
TEST(FormTrajectories, AChangeDuringTheRedrawInterruptsIt) {
  auto form = Shown<TFormTrajectories>();
  Tick(*form, 9);
  bool fired = false;
  QTimer::singleShot(0, form.get(), [&] {
    fired = true;
    form->SetRedrawCountdown(10);
  });
  Tick(*form, 1);
  EXPECT_TRUE(fired);
  EXPECT_FALSE(form->ContentsVisible());
  EXPECT_EQ(form->RedrawCountdown(), 10);
  Tick(*form);
  EXPECT_TRUE(form->ContentsVisible());
}

TEST(FormTrajectories, PressWhilePendingDrawsAtOnce) {
  auto form = Shown<TFormTrajectories>();
  const DiagramMapping* m = form->Mapping();
  Press(form->ImageFrame, Qt::LeftButton, QPoint(m->X(100), m->Y(100)));
  EXPECT_TRUE(form->ContentsVisible());
  EXPECT_EQ(form->RedrawCountdown(), 0);
}

TEST(FormTrajectories, SavesThePictureAsPngAndSvg) {
  std::filesystem::path dir = FreshTestFolder("diagram-pictures");
  auto form = Shown<TFormTrajectories>();
  Tick(*form);
  ReportCapture capture;
  ASSERT_TRUE(form->SavePicture((dir / "t.png").string()));
  QImage png((dir / "t.png").c_str());
  EXPECT_EQ(png.size(), form->ImageFrame->size());
  EXPECT_EQ(png.pixel(png.width() / 2, png.height() / 2),
            form->Picture().pixel(png.width() / 2, png.height() / 2));
  form->SetFileChooser([&](const std::string& filter, std::string& name) {
    EXPECT_NE(filter.find("*.svg"), std::string::npos);
    name = (dir / "t.svg").string();
    return true;
  });
  form->ItemSavePictureAsClick();
  std::string svg;
  {
    std::ifstream in(dir / "t.svg");
    std::stringstream text;
    text << in.rdbuf();
    svg = text.str();
  }
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find(QString("viewBox=\"0 0 %1 %2\"")
                         .arg(form->ImageFrame->width())
                         .arg(form->ImageFrame->height())
                         .toStdString()),
            std::string::npos)
      << svg.substr(0, 600);
  // A folder cannot be written over.
  EXPECT_FALSE(form->SavePicture(dir.string()));
  EXPECT_EQ(capture.Reports().size(), 1u);
  std::filesystem::remove_all(dir);
}

TEST(FormContours, ReadOutAddsTheCellSpeed) {
  auto form = Shown<TFormContours>();
  EXPECT_EQ(form->windowTitle().toStdString(), "U contour graph");
  EXPECT_TRUE(form->CheckBoxLanes[0]->icon().isNull());
  EXPECT_EQ(form->CheckBoxLanes[0]->toolTip().toStdString(), "Include or exclude data of lane 1");
  Tick(*form);
  ASSERT_TRUE(form->ContentsVisible());
  const DiagramMapping* m = form->Mapping();
  QPoint at(m->X(3000), m->Y(400));
  Press(form->ImageFrame, Qt::LeftButton, at);
  const std::string text = form->PanelCursorPos->text().toStdString();
  EXPECT_NE(text.find(", v = "), std::string::npos) << text;
  EXPECT_NE(text.find(" km/h"), std::string::npos) << text;
  Release(form->ImageFrame, Qt::LeftButton, at);
}

TEST(FormContours, NoFrameWithoutADiagramType) {
  TFormContours form;
  form.SetSource([] { return Metered().Data(); });
  form.resize(600, 400);
  form.show();
  QApplication::processEvents();
  EXPECT_EQ(form.Mapping(), nullptr);
  EXPECT_EQ(form.RedrawCountdown(), 0);
}

}  // namespace
