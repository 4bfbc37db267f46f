#include <gtest/gtest.h>

#include <QComboBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <filesystem>

#include "config/KDConfig.h"
#include "kernel/Kernel.h"
#include "roadview/ui/RoadView.h"
#include "shell/KernelSimulation.h"
#include "shell/RunSettings.h"
#include "shell/RunTestSupport.h"
#include "shell/TextTable.h"
#include "shell/ui/PageRun.h"
#include "support/TestFolder.h"

// The on-ramp example animated on the run page: vehicles appear on the road, Stop halts the
// run mid-way and a screen dump of the road view is written and readable. With
// KAVRO_SCREENSHOT=<file.png> the window is also saved there to look at.
TEST(PageRunKernel, AnimatesTheOnRampExampleAndDumpsTheRoadView) {
  std::unique_ptr<KDConfig> config = LoadOnRampExample();
  ASSERT_TRUE(config);
  config->SetDetectorTimes(0, 0);
  config->SetMaxTime(600);
  OutputFileSettings outputs;
  auto* simulation = new KernelSimulation;
  RunController run(std::unique_ptr<RunSimulation>(simulation), outputs);
  run.SetConfiguration(config.get());
  run.SetCurrentFileName("on-ramp-taper.kav");
  TextTable texts;

  QWidget window;
  window.resize(1200, 420);
  auto* layout = new QHBoxLayout(&window);
  auto* page = new TPageRun(run, texts, &window);
  auto* roadView = new TRoadView(&window);
  layout->addWidget(page);
  layout->addWidget(roadView, 1);
  roadView->SetConfig(config.get());
  window.show();
  roadView->RedrawRoad();

  page->SetTrafficDrawer([&] { return roadView->RedrawVehicles(simulation->GetKernel(), {}); });
  page->SetRoadPicture([&] { return roadView->ImageRoad()->grab().toImage(); });
  page->SetColorSchemeName([] { return std::string("Speed"); });
  const auto dir = FreshTestFolder("kernel-dumps");
  page->SetScreenDumpPattern((dir / "ramp.jpg").string());
  run.SetScreenDumpEvery(300);
  page->ComboBoxRedraw->setCurrentIndex(1);  // every 10 steps, as at full speed
  page->ComboBoxRedrawChange(1);

  // Stop once the run is past the dump, as a user would between two steps.
  int stoppedAt = 0;
  struct StopAfter : RunObserver {
    QPushButton* stop;
    int* at;
    void StepCountChanged(int n) override {
      if (n == 450) {
        *at = n;
        stop->click();
      }
    }
  } stopper;
  stopper.stop = page->BitBtnStop;
  stopper.at = &stoppedAt;
  page->SetNextObserver(&stopper);
  page->BitBtnRun->click();

  EXPECT_EQ(stoppedAt, 450);
  EXPECT_EQ(run.State().StepCount, 450);
  EXPECT_GT(page->LabelVehicleCount->text().toInt(), 5);
  EXPECT_EQ(page->LabelSimulatorTime->text(), "225.0");  // two steps per second
  QImage dump;
  ASSERT_TRUE(dump.load(QString::fromStdString((dir / "ramp00030.jpg").string()), "JPEG"));
  EXPECT_EQ(dump.width(), roadView->ImageRoad()->width());
  if (const char* shot = std::getenv("KAVRO_SCREENSHOT")) window.grab().save(shot);
}
