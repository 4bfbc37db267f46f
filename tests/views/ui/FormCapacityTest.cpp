// The capacity distribution window, checked on its rendered picture: axes, markers, the
// summary and the overlay of the estimate with runs without breakdown.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QImage>

#include "views/CapacityPicture.h"
#include "views/ui/FormCapacity.h"

namespace {

std::string Report(int flow) {
  return "Time 1800: U[1]=35.2 km/h, Time 1500: Q[1]=" + std::to_string(flow) + " veh/h {}";
}

const QRgb kNavy = qRgb(0, 0, 128);

class FormCapacityPicture : public ::testing::Test {
 protected:
  FormCapacityPicture() {
    form.resize(700, 500);
    form.SetStatusSource([this] { return statuses; });
    form.SetObservationSource([this] { return observations; });
    form.show();
    QApplication::processEvents();
  }
  const QImage& Draw() {
    form.Redraw();
    return form.Picture();
  }
  CapacityMapping Map(int min, int max) {
    return {form.Picture().width(), form.Picture().height(), min, max};
  }
  // Navy marker pixels in the picture.
  int NavyPixels() {
    const QImage& image = form.Picture();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == kNavy;
    return count;
  }
  bool NavyAt(const CapacityMapping& map, int flow, double probability) {
    return form.Picture().pixel(map.X(flow), map.Y(probability)) == kNavy;
  }

  TFormCapacity form;
  std::vector<std::string> statuses;
  std::vector<CapacityObservation> observations;
};

TEST_F(FormCapacityPicture, NoReportDrawsAxesOnly) {
  statuses = {"Maximum simulation time reached", "Aborted by user"};
  const QImage& image = Draw();
  EXPECT_EQ(NavyPixels(), 0);
  const int hp = image.height() - 60;
  // The axes meet at (40, Hp + 20); the probability ticks run left to x = 35.
  EXPECT_EQ(image.pixel(40, hp + 20), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(36, 20), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(image.width() - 25, hp + 20), qRgb(0, 0, 0));
  // The 1500 veh/h grid line of an axis from 1000 to 2000 is gray.
  const CapacityMapping map = Map(1000, 2000);
  EXPECT_EQ(image.pixel(map.X(1500), hp / 2), qRgb(128, 128, 128));
}

TEST_F(FormCapacityPicture, OneReportStandsAtHalf) {
  statuses = {Report(4100)};
  Draw();
  const CapacityMapping map = Map(4000, 5000);
  EXPECT_TRUE(NavyAt(map, 4100, 0.5));
  // One rounded square of about 9 x 9 pixels.
  EXPECT_GT(NavyPixels(), 50);
  EXPECT_LT(NavyPixels(), 130);
}

TEST_F(FormCapacityPicture, ThreeReportsAtQuarters) {
  statuses = {Report(4300), "Running ...", Report(3900), Report(4100)};
  Draw();
  const CapacityMapping map = Map(3000, 5000);
  EXPECT_TRUE(NavyAt(map, 3900, 0.25));
  EXPECT_TRUE(NavyAt(map, 4100, 0.5));
  EXPECT_TRUE(NavyAt(map, 4300, 0.75));
  EXPECT_FALSE(NavyAt(map, 4300, 0.25));
  // The summary right-aligned above the plot: dark text pixels just left of W - 25.
  const QImage& image = form.Picture();
  int ink = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = image.width() - 120; x < image.width() - 25; ++x)
      ink += qGray(image.pixel(x, y)) < 128;
  EXPECT_GT(ink, 20);
}

TEST_F(FormCapacityPicture, OverlayIsOffByDefaultAndAddsTheEstimate) {
  statuses = {Report(3900), Report(4100), Report(4300)};
  observations = {{1, 1, 300, 3000, false}, {1, 1, 600, 3800, true},  {2, 3, 300, 3200, false},
                  {2, 3, 600, 4200, true},  {3, 5, 300, 3500, false}, {3, 5, 600, 4300, false},
                  {4, 7, 300, 4050, true}};
  const QImage plain = Draw();
  EXPECT_FALSE(form.ItemShowEstimate->isChecked());
  EXPECT_TRUE(form.EstimateText().empty());
  form.ItemShowEstimate->setChecked(true);  // redraws
  const QImage overlay = form.Picture();
  EXPECT_NE(plain, overlay);
  EXPECT_EQ(form.EstimateText().find("Median capacity "), 0u) << form.EstimateText();
  // The product-limit steps are green.
  int green = 0;
  for (int y = 0; y < overlay.height(); ++y)
    for (int x = 0; x < overlay.width(); ++x) green += overlay.pixel(x, y) == qRgb(0, 128, 0);
  EXPECT_GT(green, 50);
  form.ItemShowEstimate->setChecked(false);
  EXPECT_EQ(form.Picture(), plain) << "unticked, the picture is the plain one again";
}

TEST_F(FormCapacityPicture, RefreshReadsTheGridAgainAndCopyTakesThePicture) {
  statuses = {};
  Draw();
  EXPECT_EQ(NavyPixels(), 0);
  statuses = {Report(4100)};
  form.ItemRefresh->trigger();
  EXPECT_GT(NavyPixels(), 50);
  EXPECT_EQ(form.ItemRefresh->shortcut(), QKeySequence(Qt::Key_F5));
  form.ItemCopy->trigger();
  EXPECT_EQ(QApplication::clipboard()->image().size(), form.Picture().size());
}

}  // namespace
