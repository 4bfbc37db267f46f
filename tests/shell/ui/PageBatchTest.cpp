// The batch page in the main window on the on-ramp example: a batch of five short runs from the
// page, Stop and Resume in the middle of a run, the batch results file, the capacity window,
// and the result and trace entries of the File menu.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "shell/DetectorValues.h"
#include "shell/RunController.h"
#include "shell/RunObserverFanOut.h"
#include "shell/ui/FormMain.h"
#include "shell/ui/PageBatch.h"
#include "shell/ui/PageSettings.h"
#include "support/ReportCapture.h"
#include "support/TestFolder.h"
#include "views/ui/FormCapacity.h"
#include "views/ui/FormGraph.h"

namespace {

const std::string kExample = std::string(KAVRO_SOURCE_DIR) + "/examples/on-ramp-taper.kav";

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Calls `action` from the event loop once run `run` of the batch reaches step `at`.
struct ActAtStep : RunObserver {
  RunController* run = nullptr;
  int batchRun = 0;
  int at = 0;
  QObject* context = nullptr;
  std::function<void()> action;
  bool done = false;
  void StepCountChanged(int n) override {
    if (n != at || done || run->State().BatchRun != batchRun) return;
    done = true;
    QTimer::singleShot(0, context, action);
  }
};

class PageBatchInForm : public ::testing::Test {
 protected:
  PageBatchInForm() : form(StartupInfo{"/x/kavro", "/unused/", {kExample}}) {
    form.resize(1200, 800);
    form.show();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    // Short runs: 240 s, detector outputs every 60 s.
    form.ItemSetModeClick(form.PageItem("ItemSettings"));
    form.SettingsPage()->EditStopAt->setText("240");
    form.SettingsPage()->EditStopAtChange("240");
    form.ItemSetModeClick(form.PageItem("ItemBatch"));
    page = form.BatchPage();
    page->Runner().SetClock([] { return std::string("12:00:00"); });
  }
  ~PageBatchInForm() override { SetProgramMode(KAVRO); }

  void TypeRuns(const char* runs) {
    page->EditNumberOfRuns->clear();
    QTest::keyClicks(page->EditNumberOfRuns, runs);
  }
  QString Cell(int row, int column) {
    QTableWidgetItem* item = page->StringGridBatch->item(row, column);
    return item ? item->text() : QString();
  }

  TFormMain form;
  TPageBatch* page = nullptr;
};

TEST_F(PageBatchInForm, ShowsItsControlsAndGrid) {
  EXPECT_EQ(page->EditNumberOfRuns->text(), "10");
  EXPECT_EQ(page->StringGridBatch->rowCount(), 10);
  EXPECT_EQ(page->StringGridBatch->columnCount(), 5);
  EXPECT_TRUE(page->StringGridBatch->isVisible()) << "the grid replaces the road view";
  const int detectors = form.Config().DetectorCount();
  EXPECT_EQ(page->ComboBoxStopSpeed->count(), detectors + 1);
  EXPECT_EQ(page->ComboBoxStopSpeed->itemText(0), "any detector");
  EXPECT_EQ(page->ComboBoxReportFlowAt->count(), detectors);
  EXPECT_EQ(page->ComboBoxReportFlowAt->itemText(0), "detector 1");
  EXPECT_EQ(page->ComboBoxUpToLane->currentText(), "12");
  // Seeds two apart from the configuration's seed.
  EXPECT_EQ(Cell(2, 1).toInt(), form.Config().Seed() + 4);
}

TEST_F(PageBatchInForm, NumberOfRunsKeepsDigitsAndItsRange) {
  ReportCapture capture;
  TypeRuns("3x");
  EXPECT_EQ(page->EditNumberOfRuns->text(), "3");
  EXPECT_EQ(page->StringGridBatch->rowCount(), 3);
  TypeRuns("20000");
  EXPECT_EQ(capture.OnlyText(), "The valid range is 1..10000");
  EXPECT_EQ(page->EditNumberOfRuns->text(), "10000");
  EXPECT_EQ(page->StringGridBatch->rowCount(), 10000);
}

TEST_F(PageBatchInForm, FiveRunsStopResumeSaveAndCapacity) {
  TypeRuns("5");
  page->EditDropSpeedLimit->setText("80");
  ActAtStep stopper;
  stopper.run = &form.Run();
  stopper.batchRun = 2;
  stopper.at = 100;
  stopper.context = page;
  stopper.action = [this] { QTest::mouseClick(page->BitBtnBatchStop, Qt::LeftButton); };
  form.RunFollowers().Add(&stopper);
  QTest::mouseClick(page->BitBtnStart, Qt::LeftButton);
  form.RunFollowers().Remove(&stopper);
  // Stopped in run 2: run 1 is done, run 2 is marked, Resume is offered.
  EXPECT_EQ(form.Run().State().BatchRun, 2);
  EXPECT_EQ(Cell(1, 4), " Aborted by user");
  EXPECT_FALSE(Cell(0, 4).isEmpty());
  EXPECT_TRUE(page->BitBtnResume->isVisible());
  EXPECT_TRUE(page->BitBtnStart->isVisible());
  EXPECT_FALSE(page->PanelProgress->isVisible());
  EXPECT_EQ(form.Run().State().StepCount, 100);

  QTest::mouseClick(page->BitBtnResume, Qt::LeftButton);
  EXPECT_TRUE(form.Run().State().BatchFinished);
  for (int row = 0; row < 5; ++row) {
    SCOPED_TRACE(row);
    EXPECT_NE(Cell(row, 4), " Aborted by user");
    EXPECT_NE(Cell(row, 4), " Resumed ...");
    EXPECT_FALSE(Cell(row, 4).trimmed().isEmpty());
    EXPECT_EQ(Cell(row, 3), "12:00:00");
  }
  EXPECT_FALSE(page->BitBtnResume->isVisible());
  EXPECT_FALSE(page->Observations().empty());

  // Save Batch Results As: the proposed name is the configuration's with .kbr.
  const std::filesystem::path folder = FreshTestFolder("page-batch");
  std::string proposed;
  form.SetFileChooser([&](const FileDialogRequest& request, std::string& name) {
    proposed = name;
    EXPECT_EQ(request.DefaultExtension, "kbr");
    name = (folder / "out.kbr").string();
    return true;
  });
  form.ItemSaveBatchResultsAsClick();
  EXPECT_TRUE(proposed.ends_with("/on-ramp-taper.kbr")) << proposed;
  const std::string saved = ReadAll((folder / "out.kbr").string());
  EXPECT_EQ(saved.find("Run\tSeed\tStarted\tFinished\tStatus\n1\t"), 0u) << saved;
  EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 6);

  // The capacity window reads the grid.
  form.ItemCapacityDistributionClick();
  TFormCapacity* capacity = form.CapacityWindow();
  EXPECT_TRUE(capacity->isVisible());
  EXPECT_FALSE(capacity->Picture().isNull());
  capacity->ItemShowEstimate->setChecked(true);
  EXPECT_FALSE(capacity->EstimateText().empty());
  capacity->close();
  std::filesystem::remove_all(folder);
}

TEST_F(PageBatchInForm, LeavingThePageStopsTheBatchAsItsStopButtonDoes) {
  TypeRuns("2");
  ActAtStep leaver;
  leaver.run = &form.Run();
  leaver.batchRun = 1;
  leaver.at = 20;
  leaver.context = page;
  leaver.action = [this] { form.ItemSetModeClick(form.PageItem("ItemRun")); };
  form.RunFollowers().Add(&leaver);
  QTest::mouseClick(page->BitBtnStart, Qt::LeftButton);
  form.RunFollowers().Remove(&leaver);
  EXPECT_EQ(form.Run().State().StepCount, 20);
  EXPECT_EQ(Cell(0, 4), " Aborted by user");
}

TEST_F(PageBatchInForm, DetectorGraphFollowsTheRunAndIsOpenedOnce) {
  form.ItemSetModeClick(form.PageItem("ItemRun"));
  TFormGraph* graph = form.ItemDetectorGraphClick(0, "qt");
  ASSERT_NE(graph, nullptr);
  EXPECT_EQ(graph->windowTitle(), "Detector 1 q(t)");
  EXPECT_EQ(form.ItemDetectorGraphClick(0, "qt"), graph);
  EXPECT_EQ(form.DetectorGraphs().size(), 1u);
  EXPECT_EQ(form.ItemDetectorGraphClick(0, "xx"), nullptr);
  form.Run().Continue();
  form.Run().RunLoop();  // to the stop time
  const int periods = form.Run().State().PeriodCount;
  ASSERT_GT(periods, 1);
  EXPECT_EQ(graph->Series().Periods, periods);
  // The aggregate of a q(t) graph is the cross-section flow of the store.
  float lanes[12];
  const DetectorValueContext context = DetectorContext(form.Config(), 0);
  const float flow =
      ComputeDetectorValues(form.Run().Samples(), 'q', periods - 1, 0, lanes, graph->Divisor(),
                            graph->Series().Lanes, context.Interval, context);
  EXPECT_FLOAT_EQ(graph->Series().Y[graph->Series().Lanes][periods - 1], flow);
  EXPECT_FLOAT_EQ(graph->Series().X[0][periods - 1],
                  static_cast<float>(form.Config().DetectorTime(periods - 1)));
  form.ItemDeleteAllDetectorGraphsClick();
  EXPECT_TRUE(form.DetectorGraphs().empty());
}

TEST_F(PageBatchInForm, TraceEntriesTickAndUntick) {
  const std::filesystem::path folder = FreshTestFolder("page-batch-trace");
  QAction* entry = nullptr;
  for (QAction* action : form.findChildren<QAction*>())
    if (action->objectName() == "ItemDetectionTraceFile") entry = action;
  ASSERT_NE(entry, nullptr);
  form.SetFileChooser([&](const FileDialogRequest& request, std::string& name) {
    EXPECT_EQ(request.DefaultExtension, "trc");
    name = (folder / "d.trc").string();
    return true;
  });
  entry->trigger();
  EXPECT_TRUE(entry->isChecked());
  EXPECT_EQ(form.OutputFiles().DetectionTraceFile, (folder / "d.trc").string());
  entry->trigger();
  EXPECT_FALSE(entry->isChecked());
  EXPECT_TRUE(form.OutputFiles().DetectionTraceFile.empty());
  std::filesystem::remove_all(folder);
}

}  // namespace
