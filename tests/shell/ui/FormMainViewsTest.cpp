#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <filesystem>

#include "config/ProgramMode.h"
#include "kernel/Kernel.h"
#include "kernel/RoadObject.h"
#include "shell/GoldenFile.h"
#include "shell/KernelSimulation.h"
#include "shell/PageCatalogue.h"
#include "shell/RunController.h"
#include "shell/ui/FormMain.h"
#include "shell/ui/PageRun.h"
#include "support/ReportCapture.h"
#include "support/TestFolder.h"
#include "views/ObjectListTable.h"
#include "views/ui/FormContours.h"
#include "views/ui/FormObjectList.h"
#include "views/ui/FormTrajectories.h"
#include "views/ui/FormVehicleData.h"

namespace {

const std::string kExample = std::string(KAVRO_SOURCE_DIR) + "/examples/on-ramp-taper.kav";

class FormMainViews : public ::testing::Test {
 protected:
  FormMainViews() : form(StartupInfo{"/x/kavro", "/unused/", {kExample}}) {
    form.resize(1200, 800);
    form.show();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
  }
  ~FormMainViews() override { SetProgramMode(KAVRO); }
  void ShowPage(const char* item) { form.ItemSetModeClick(form.PageItem(item)); }
  void Steps(int n) {
    ShowPage("ItemRun");
    for (int i = 0; i < n; ++i) form.RunPage()->BitBtnStep->click();
  }
  const Kernel& TheKernel() { return form.Simulation().GetKernel(); }
  ReportCapture capture;
  TFormMain form;
};

TEST_F(FormMainViews, ViewEntriesFollowThePageAndTheGraphs) {
  form.ViewMenuOpened();
  EXPECT_TRUE(form.ViewItem("ItemTrajectories")->isEnabled());
  EXPECT_TRUE(form.ViewItem("ItemUContourGraph")->isEnabled());
  EXPECT_TRUE(form.ViewItem("ItemListObjects")->isVisible());
  EXPECT_FALSE(form.ViewItem("ItemCapacityDistribution")->isEnabled());
  EXPECT_FALSE(form.ViewItem("ItemDeleteAllDetectorGraphs")->isVisible());
  ShowPage("ItemBatch");
  form.ViewMenuOpened();
  EXPECT_FALSE(form.ViewItem("ItemTrajectories")->isEnabled());
  EXPECT_FALSE(form.ViewItem("ItemUContourGraph")->isEnabled());

  // A detector graph window gets an entry below the separator; deleting them all closes it.
  QPointer<QWidget> graph = new QWidget(&form, Qt::Window);
  graph->setWindowTitle("Detector 1 q-t");
  QAction* entry = form.AddDetectorGraphEntry(graph);
  form.ViewMenuOpened();
  EXPECT_EQ(entry->text().toStdString(), "Detector 1 q-t");
  EXPECT_TRUE(form.ViewItem("ItemDeleteAllDetectorGraphs")->isVisible());
  entry->trigger();
  EXPECT_TRUE(graph->isVisible());
  form.ItemDeleteAllDetectorGraphsClick();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(graph.isNull());
  EXPECT_TRUE(form.DetectorGraphEntries().empty());
  form.ViewMenuOpened();
  EXPECT_FALSE(form.ViewItem("ItemDeleteAllDetectorGraphs")->isVisible());
}

TEST_F(FormMainViews, CapacityEntryRebuildsTheWindowWhenBatchResultsExist) {
  QWidget capacity(nullptr, Qt::Window);
  bool results = false;
  form.SetCapacityWindow(&capacity, [&] { return results; });
  form.ViewMenuOpened();
  EXPECT_FALSE(form.ViewItem("ItemCapacityDistribution")->isEnabled());
  results = true;
  form.ViewMenuOpened();
  EXPECT_TRUE(form.ViewItem("ItemCapacityDistribution")->isEnabled());
  form.ViewItem("ItemCapacityDistribution")->trigger();
  EXPECT_TRUE(capacity.isVisible());
}

TEST_F(FormMainViews, DiagramWindowsFollowTheRun) {
  EXPECT_EQ(form.Contours(), nullptr);
  form.ViewItem("ItemTrajectories")->trigger();
  form.ViewItem("ItemUContourGraph")->trigger();
  ASSERT_NE(form.Contours(), nullptr);
  EXPECT_EQ(form.Contours()->DiagramType(), 'u');
  EXPECT_TRUE(form.Trajectories()->isVisible());
  EXPECT_TRUE(form.Contours()->isVisible());
  Steps(20);
  EXPECT_EQ(form.Trajectories()->RedrawCountdown(), 10);
  EXPECT_EQ(form.Contours()->RedrawCountdown(), 10);
  for (int i = 0; i < 10; ++i) {
    form.Trajectories()->TimerStartDrawContentsTimer();
    form.Contours()->TimerStartDrawContentsTimer();
  }
  EXPECT_TRUE(form.Trajectories()->ContentsVisible());
  EXPECT_TRUE(form.Contours()->ContentsVisible());
  EXPECT_EQ(form.DiagramRunData().stepCount, 20);
  EXPECT_FALSE(form.DiagramRunData().tracks->empty());
  // The same entry again shows the same contour window.
  TFormContours* contours = form.Contours();
  form.ViewItem("ItemUContourGraph")->trigger();
  EXPECT_EQ(form.Contours(), contours);
}

TEST_F(FormMainViews, ObjectListIsASnapshotOfTheKernel) {
  Steps(200);
  form.ViewItem("ItemListObjects")->trigger();
  ASSERT_EQ(form.ObjectLists().size(), 1u);
  TFormObjectList* list = form.ObjectLists().back();
  EXPECT_TRUE(list->isVisible());
  const std::vector<ObjectListRow> now = ObjectListRows(TheKernel());
  EXPECT_EQ(list->Rows(), now);
  ASSERT_EQ(list->StringGridObjects->rowCount(), static_cast<int>(now.size()));
  EXPECT_EQ(list->StringGridObjects->horizontalHeaderItem(10)->text().toStdString(), "Prev. pos.");
  EXPECT_EQ(list->StatusText().toStdString(),
            "Time 100 s, " + std::to_string(now.size()) + " objects used.");
  // Later steps do not change it.
  Steps(5);
  EXPECT_EQ(list->Rows(), now);

  // Jump to the leader of the first vehicle with one.
  int row = 0;
  while (row < static_cast<int>(now.size()) &&
         (!IsVehicleRow(now[row]) || GotoLeaderRow(now, row) < 0))
    ++row;
  ASSERT_LT(row, static_cast<int>(now.size()));
  list->GridRightClick(row, QPoint(10, 10), false);
  EXPECT_TRUE(list->ItemGotoLeader->isEnabled());
  list->ItemGotoLeader->trigger();
  EXPECT_EQ(list->CurrentRow(), GotoLeaderRow(now, row));
  EXPECT_EQ(list->StatusText().toStdString(), "Time 100 s, " + std::to_string(now.size()) +
                                                  " objects used, object" +
                                                  now[list->CurrentRow()][OL_NUMBER] + " selected");

  // Find a vehicle; one that left the road is reported.
  auto [low, high] = VehicleNumberRange(now);
  int asked = 0;
  list->SetValueAsker([&](const std::string& caption, const std::string& prompt, int current,
                          int from, int to, QPoint) -> std::optional<int> {
    EXPECT_EQ(caption, "Search vehicle by number");
    EXPECT_EQ(prompt, "Enter vehicle number");
    EXPECT_EQ(from, low);
    EXPECT_EQ(to, high);
    EXPECT_GE(current, low);
    return ++asked == 1 ? high : low - 1;
  });
  list->ItemFindVehicle->trigger();
  EXPECT_EQ(list->Rows()[list->CurrentRow()][OL_NUMBER], std::to_string(high));
  capture.Clear();
  list->ItemFindVehicle->trigger();
  ASSERT_EQ(capture.Reports().size(), 1u);
  EXPECT_EQ(capture.Reports()[0].caption, "Vehicle not found");
  EXPECT_EQ(capture.Reports()[0].text,
            "Vehicle " + std::to_string(low - 1) + " has driven out of the simulation");
}

TEST_F(FormMainViews, ObjectListSavesItsRowsUnderTheStepCount) {
  Steps(125);
  form.ViewItem("ItemListObjects")->trigger();
  TFormObjectList* list = form.ObjectLists().back();
  std::filesystem::path dir = FreshTestFolder("object-list");
  std::string proposed;
  list->SetFileChooser([&](const std::string&, std::string& name) {
    proposed = name;
    name = (dir / name).string();
    return true;
  });
  list->ItemSaveAsClick();
  EXPECT_EQ(proposed, "00125.lst");
  std::vector<ObjectListRow> all{{"Number", "Type", "Leader", "Follower", "Lane", "Destination",
                                  "State", "Position", "Speed", "Acceleration", "Prev. pos.",
                                  "Prev. speed"}};
  all.insert(all.end(), list->Rows().begin(), list->Rows().end());
  EXPECT_EQ(ReadWholeFile((dir / "00125.lst").string()), ObjectListText(all));
  std::filesystem::remove_all(dir);
}

TEST_F(FormMainViews, VehicleDataFollowsItsVehicleEveryStep) {
  Steps(100);
  RoadObject* vehicle = TheKernel().FirstObject();
  while (vehicle && !vehicle->IsVehicle()) vehicle = vehicle->Next();
  ASSERT_NE(vehicle, nullptr);
  const int number = vehicle->Number();
  form.OpenVehicleData(*vehicle);
  TFormVehicleData* window = form.VehicleDataWindow(number);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_EQ(window->windowTitle().toStdString(),
            "Vehicle " + std::to_string(number) + ": time 50.0s");
  Steps(1);
  EXPECT_EQ(window->windowTitle().toStdString(),
            "Vehicle " + std::to_string(number) + ": time 50.5s");
  const RoadObject* now = TheKernel().FirstObject();
  while (now && now->Number() != number) now = now->Next();
  ASSERT_NE(now, nullptr);
  EXPECT_EQ(window->StringGridValues->rowCount(), 8);
  EXPECT_EQ(window->StringGridValues->item(2, 1)->text().toStdString(),
            Format("%4.1fm", double(now->Position())));
  EXPECT_EQ(window->StringGridValues->item(3, 1)->text().toStdString(),
            Format("%4.1f km/h", double(now->Vehicle()->speed * 3.6)));
  // The same vehicle again shows the same window; closing lets go of the vehicle.
  form.OpenVehicleData(*const_cast<RoadObject*>(now));
  EXPECT_EQ(form.VehicleDataWindows().size(), 1u);
  window->close();
  EXPECT_EQ(window->VehicleNumber(), -1);
  EXPECT_EQ(form.VehicleDataWindow(number), nullptr);
}

TEST(FormMainViewsDovel, ListObjectsIsHiddenInDovelMode) {
  std::filesystem::path dir = FreshTestFolder("views-dovel");
  std::filesystem::create_symlink(FAKE_UDOV_LIBRARY, dir / "libudov.so");
  ReportCapture capture;
  {
    TFormMain form(StartupInfo{(dir / "dovel").string(), dir.string() + "/", {}});
    EXPECT_FALSE(form.ViewItem("ItemListObjects")->isVisible());
  }
  SetProgramMode(KAVRO);
  std::filesystem::remove_all(dir);
}

}  // namespace
