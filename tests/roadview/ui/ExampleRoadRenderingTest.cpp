#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "config/KDConfig.h"
#include "roadview/RoadColors.h"
#include "roadview/RoadDrawFlags.h"
#include "roadview/ui/RenderingTestSupport.h"
#include "roadview/ui/RoadPainter.h"

// Every example road drawn off-screen at several zoom and scroll settings; the pixels that the
// geometry fixes are worked out here from the road's data and compared. Text is not compared.

using namespace rendering;

namespace {

constexpr int kTaper = LANE_TAPERON | LANE_TAPEROFF;

// One drawn picture with what the checks need to know about it.
class RoadCheck {
 public:
  RoadCheck(const KDConfig& config, Setting setting, bool tapers, std::uint32_t flags = 0)
      : config_(config), setting_(setting), tapers_(tapers) {
    DrawRoadLayout(config, image_, &header_, flags | (tapers ? RDF_DRAW_TAPERS : 0u), setting.zoom,
                   setting.scroll, &areas_);
    x0_ = Col(0);
    CollectBusyBoxes();
  }

  const QImage& Image() const { return image_; }
  const RoadDisplayAreas& Areas() const { return areas_; }
  const std::vector<HeaderItem>& Header() const { return header_; }
  int Col(double position) const { return Column(position, config_.Length(), setting_); }

  int Type(int s, int l) const {
    if (s < 0 || s > config_.Boundaries() || l < 0 || l >= MAX_KAVROLANE) return 0;
    return config_.IntPhysicalSectionProperty(s, l, PP_LANETYPE);
  }
  // The columns a section's lanes keep after the later (upstream) sections are drawn.
  int OwnedFirst(int s) const {
    return s == config_.Boundaries() ? 0
                                     : std::max(0, Col(config_.SectionPos(s, WHENCE_BEGIN)) + 1);
  }
  int OwnedLast(int s) const {
    return s == 0 ? kWidth - 1 : std::min(kWidth - 1, Col(config_.SectionPos(s, WHENCE_END)));
  }
  // The section's own column range as the markings use it.
  int Left(int s) const {
    if (s == config_.Boundaries()) return 0;
    const int x = Col(config_.SectionPos(s, WHENCE_BEGIN));
    return x > kWidth ? kWidth + 1 : std::max(x, 0);
  }
  int Right(int s) const { return s == 0 ? kWidth + 1 : Col(config_.SectionPos(s, WHENCE_END)); }

  bool Busy(int x, int y) const {
    return std::any_of(busy_.begin(), busy_.end(), [&](const Box& b) { return b.Contains(x, y); });
  }

  // The colour the lane fills give pixel (x, y) of lane l: every section fills its own
  // columns and both boundary columns; the later (more upstream) section paints over the
  // earlier one where it paints at all. None where a taper figure decides the pixel.
  std::optional<RgbColor> Fill(int l, int x, int y) const {
    RgbColor color = RoadColor::Green;
    for (int s = 0; s <= config_.Boundaries(); ++s) {
      if (x < Left(s) || x > Right(s)) continue;
      const int type = Type(s, l);
      if (tapers_ && ((type & kTaper) || (Type(s, l - 1) & kTaper))) return std::nullopt;
      if (!(type & LANE_PAVED)) continue;
      const int dy = y - Top(l);
      const auto onLine = [](int v) { return ((v % 4) + 4) % 4 == 0; };
      // Merge lanes are hatched at 45 degrees, a line every 4 pixels from x0 along the top.
      if (((type & LANE_MERGELEFT) && onLine(x - x0_ + dy)) ||
          ((type & LANE_MERGERIGHT) && onLine(x - x0_ - dy)))
        color = RoadColor::White;
      else
        color = (type & LANE_ICC) ? RoadColor::Navy : RoadColor::Black;
    }
    return color;
  }

  // Compares a pixel, counting mismatches; the first few are reported.
  void Expect(int x, int y, RgbColor expected, const std::string& what) {
    if (x < 0 || x >= kWidth || y < 0 || y >= kHeight || Busy(x, y)) return;
    ++checked_;
    const RgbColor actual = At(image_, x, y);
    if (actual == expected) return;
    if (++failures_ <= 5)
      ADD_FAILURE() << what << " at (" << x << "," << y << "): " << Name(actual) << " instead of "
                    << Name(expected);
  }
  int Checked() const { return checked_; }

 private:
  void CollectBusyBoxes() {
    for (int i = 0; i < config_.DetectorCount(); ++i) {
      const int x = Col(config_.DetectorPosition(i));
      busy_.push_back({x, 0, x, kHeight});
    }
    for (int i = 0; i < MAXSOURCE && config_.Source(i); ++i) {
      const int s = config_.SourceSection(i);
      int x = Col(config_.SectionPos(s, WHENCE_BEGIN));
      if (s != config_.Boundaries()) x = std::clamp(x, -21, kWidth + 21);
      busy_.push_back(
          {x - 19, Top(config_.SourceFromLane(i)), x + 1, Top(config_.SourceToLane(i) + 1)});
    }
    for (int i = 0; i < MAXSINK && config_.Sink(i); ++i) {
      const int x = Col(config_.SectionPos(config_.SinkSection(i), WHENCE_END));
      busy_.push_back(
          {x - 1, Top(config_.SinkFromLane(i)), x + 22, Top(config_.SinkToLane(i) + 1)});
    }
    for (int i = 0; i < config_.TrafficLightCount(); ++i) {
      const int x = Col(config_.TrafficLightPosition(i));
      const int t = Top(config_.TrafficLightLane(i));
      busy_.push_back({x - 14, t, x + 14, t + 24});
    }
    for (int i = 0; i < config_.LaneDetectorCount(); ++i) {
      const int p = config_.LaneDetectorPosition(i);
      const int t = Top(config_.LaneDetectorLane(i));
      busy_.push_back({Col(p - config_.LaneDetectorLength(i)) - 2, t + 2, Col(p) + 2, t + 22});
    }
  }

  const KDConfig& config_;
  Setting setting_;
  bool tapers_;
  QImage image_{kWidth, kHeight, QImage::Format_RGB32};
  std::vector<HeaderItem> header_;
  RoadDisplayAreas areas_;
  int x0_ = 0;
  std::vector<Box> busy_;
  int checked_ = 0;
  int failures_ = 0;
};

// Columns spread over first .. last, both ends included.
std::vector<int> Spread(int first, int last, int count = 7) {
  std::vector<int> xs;
  if (last < first) return xs;
  for (int i = 0; i < count; ++i) xs.push_back(first + (last - first) * i / (count - 1));
  // Next to both ends as well: the boundary columns.
  xs.push_back(std::min(first + 1, last));
  xs.push_back(std::max(last - 1, first));
  return xs;
}

bool Disagree(int upper, int lower) {
  return ((lower & LANE_NOCHANGELEFT) != 0) != ((upper & LANE_NOCHANGERIGHT) != 0) ||
         ((lower & LANE_CHANGELEFT) != 0) != ((upper & LANE_CHANGERIGHT) != 0);
}

std::string Trace(const std::string& name, Setting s, bool tapers) {
  std::ostringstream out;
  out << name << " zoom " << s.zoom << " scroll " << s.scroll << (tapers ? " tapers" : "");
  return out.str();
}

// Each lane of each section in its fill colour over the section's columns, both boundary
// columns included: the lane rows and the section boundaries at this setting.
void CheckLaneFills(const KDConfig& config, RoadCheck& check) {
  for (int s = 0; s <= config.Boundaries(); ++s)
    for (int l = 0; l < MAX_KAVROLANE; ++l)
      for (const int x : Spread(check.OwnedFirst(s) - 1, check.OwnedLast(s) + 1, 9))
        for (const int dy : {4, 8, 12, 15, 19}) {
          const int y = Top(l) + dy;
          if (const auto color = check.Fill(l, x, y))
            check.Expect(x, y, *color,
                         "fill of section " + std::to_string(s) + " lane " + std::to_string(l));
        }
}

// The edge lines: solid 3-pixel lines, 3-in-12 dashes phased with x0, each 2 pixels inside
// its lane where paved neighbours disagree.
void CheckMarkings(const KDConfig& config, RoadCheck& check, bool tapers) {
  const int x0 = check.Col(0);
  for (int s = 0; s <= config.Boundaries(); ++s) {
    const int first = std::max(check.OwnedFirst(s), check.Left(s) + 1) + 1;
    const int last = std::min(check.OwnedLast(s), check.Right(s) - 2) - 1;
    for (int l = 0; l < MAX_KAVROLANE; ++l) {
      const int type = check.Type(s, l);
      const int above = check.Type(s, l - 1);
      const int below = check.Type(s, l + 1);
      const int upper = Top(l) + (l >= 1 && (above & LANE_PAVED) && Disagree(above, type) ? 2 : 0);
      const int lower =
          Top(l + 1) -
          (l < MAX_KAVROLANE - 1 && (below & LANE_PAVED) && Disagree(type, below) ? 2 : 0);
      struct Edge {
        int y;
        bool solid;
        bool dashed;
      };
      std::vector<Edge> edges;
      const bool taper = (type & kTaper) != 0;
      if (taper && l >= 1 && !(above & kTaper)) edges.push_back({upper, false, true});
      if (!(taper && tapers)) {
        const int left = type & (LANE_NOCHANGELEFT | LANE_CHANGELEFT);
        const int right = type & (LANE_NOCHANGERIGHT | LANE_CHANGERIGHT);
        edges.push_back({upper, left == LANE_NOCHANGELEFT, left == LANE_CHANGELEFT});
        edges.push_back({lower, right == LANE_NOCHANGERIGHT, right == LANE_CHANGERIGHT});
      }
      const std::string what =
          "marking of section " + std::to_string(s) + " lane " + std::to_string(l);
      for (const Edge& edge : edges) {
        if (edge.solid)
          for (const int x : Spread(first, last))
            for (const int y : {edge.y - 1, edge.y, edge.y + 1})
              check.Expect(x, y, RoadColor::White, what);
        if (!edge.dashed) continue;
        const int rowLane = (edge.y - 5) / 24;
        for (int k = (first - x0 - 40) / 12; x0 + 12 * k <= last; ++k) {
          const int dash = x0 + 12 * k;
          if (dash - 1 < first || dash + 8 > last) continue;
          for (const int x : {dash, dash + 1, dash + 2})
            check.Expect(x, edge.y, RoadColor::White, what);
          // The gaps show the fill of the row's lane.
          for (const int x : {dash + 3, dash + 7})
            if (const auto fill = check.Fill(rowLane, x, edge.y))
              check.Expect(x, edge.y, *fill, what + " gap");
        }
      }
    }
  }
}

// A taper drawn as such: a figure two lanes deep at its wide end, one lane at the other.
void CheckTaperFigures(const KDConfig& config, RoadCheck& check) {
  for (int s = 0; s <= config.Boundaries(); ++s)
    for (int l = 1; l < MAX_KAVROLANE; ++l) {
      const int type = check.Type(s, l);
      if (!(type & kTaper) || (check.Type(s - 1, l) & kTaper) || (check.Type(s, l - 1) & kTaper))
        continue;
      int s2 = s;
      while (s2 < config.Boundaries() && (check.Type(s2 + 1, l) & kTaper)) ++s2;
      const int left = check.Col(config.SectionPos(s2, WHENCE_BEGIN));
      const int right = check.Col(config.SectionPos(s, WHENCE_END));
      if (right - left < 12) continue;
      const bool on = (type & LANE_TAPERON) != 0;
      const std::string what =
          "taper of section " + std::to_string(s) + " lane " + std::to_string(l);
      // 40 pixels down: inside at the wide end, outside at the narrow end.
      check.Expect(on ? left + 3 : right - 3, Top(l) + 40, RoadColor::Black, what);
      check.Expect(on ? right - 3 : left + 3, Top(l) + 40, RoadColor::Green, what);
    }
}

// Detector lines in silver, and label boxes below the scale: a tick, a white outline, yellow
// inside (red for the selected detector).
void CheckDetectors(const KDConfig& config, RoadCheck& check, int selected) {
  ImageFont font;
  const int boxBottom = 319 + font.Height();  // excluded
  for (int i = 0; i < config.DetectorCount(); ++i) {
    SCOPED_TRACE("detector " + std::to_string(i));
    const int x = check.Col(config.DetectorPosition(i));
    const int hw = (font.Width(std::to_string(i + 1)) + 4) / 2;
    ASSERT_LT(i, static_cast<int>(check.Areas().detectorLabels.size()));
    const DetectorLabelArea area = check.Areas().detectorLabels[i];
    if (x < -hw || x > kWidth + hw) {
      EXPECT_EQ(area.x, 0);
      EXPECT_EQ(area.halfWidth, -1);
      continue;
    }
    EXPECT_EQ(area.x, x);
    EXPECT_EQ(area.halfWidth, hw);
    if (x >= 0 && x < kWidth) {
      EXPECT_EQ(Name(At(check.Image(), x, 1)), Name(RoadColor::Silver));
      EXPECT_EQ(Name(At(check.Image(), x, 313)), Name(RoadColor::White));
    }
    const RgbColor inside = i == selected ? RoadColor::Red : RoadColor::Yellow;
    const auto expect = [&](int px, int py, RgbColor c, const char* what) {
      if (px < 0 || px >= kWidth) return;
      EXPECT_EQ(Name(At(check.Image(), px, py)), Name(c)) << what << " " << px << "," << py;
    };
    expect(x - hw - 2, 318, RoadColor::White, "box left edge");
    expect(x + hw + 1, 318, RoadColor::White, "box right edge");
    expect(x - hw - 1, 318, inside, "box inside left");
    expect(x + hw, boxBottom - 2, inside, "box inside right");
    expect(x - hw, 315, RoadColor::White, "box top edge");
    expect(x - hw, boxBottom - 1, RoadColor::White, "box bottom edge");
    expect(x - hw, boxBottom, RoadColor::Green, "below the box");
  }
}

// Origins at the begin of their section (held near the bitmap unless most upstream),
// destinations at the end of theirs: recorded areas and the white arrow and bracket.
void CheckGlyphs(const KDConfig& config, RoadCheck& check) {
  const RoadDisplayAreas& areas = check.Areas();
  ASSERT_EQ(areas.origins.size(), static_cast<size_t>(config.SourceCount()));
  ASSERT_EQ(areas.destinations.size(), static_cast<size_t>(config.SinkCount()));
  for (int i = 0; i < config.SourceCount(); ++i) {
    const int s = config.SourceSection(i);
    int x = check.Col(config.SectionPos(s, WHENCE_BEGIN));
    if (s != config.Boundaries()) x = std::clamp(x, -21, kWidth + 21);
    const int top = Top(config.SourceFromLane(i));
    const int bottom = Top(config.SourceToLane(i) + 1);
    EXPECT_EQ(areas.origins[i].x, x) << "origin " << i;
    EXPECT_EQ(areas.origins[i].top, top);
    EXPECT_EQ(areas.origins[i].bottom, bottom);
    const int m = (top + bottom) / 2;
    // The arrow: tip at x - 1, its upper arm 8 pixels back and up.
    if (x >= 0 && x <= kWidth + 18 && x - 9 >= 0 && x - 1 < kWidth) {
      EXPECT_EQ(Name(At(check.Image(), x - 1, m)), Name(RoadColor::White)) << "origin " << i;
      EXPECT_EQ(Name(At(check.Image(), x - 5, m - 4)), Name(RoadColor::White)) << "origin " << i;
    }
  }
  for (int i = 0; i < config.SinkCount(); ++i) {
    const int x = check.Col(config.SectionPos(config.SinkSection(i), WHENCE_END));
    const int top = Top(config.SinkFromLane(i));
    const int bottom = Top(config.SinkToLane(i) + 1);
    EXPECT_EQ(areas.destinations[i].x, x) << "destination " << i;
    const int m = (top + bottom) / 2;
    // The bracket's far side at x + 20 from top + 3 to bottom - 3.
    if (x < -21 || x + 20 >= kWidth) continue;
    for (const int y : {top + 4, m, bottom - 4}) {
      EXPECT_EQ(Name(At(check.Image(), x + 20, y)), Name(RoadColor::White)) << "destination " << i;
    }
  }
}

// Scale labels every step under the lanes: a white tick above each label's box.
void CheckScale(const KDConfig& config, RoadCheck& check, Setting setting) {
  ImageFont font;
  const int length = config.Length();
  const double pixelsPerMetre = (kWidth - 39) * Zoom(setting.zoom) / length;
  int step = 10000;
  for (const int candidate : {10, 100, 200, 500, 1000, 2000, 5000})
    if (pixelsPerMetre * candidate >= font.Width(std::to_string(length)) + 5) {
      step = candidate;
      break;
    }
  int ticks = 0;
  const int ys = 24 * MAX_KAVROLANE + 11;
  for (int p = 0; p <= length; p += step) {
    const int x = check.Col(p);
    if (x < 0 || x >= kWidth || check.Busy(x, ys)) continue;
    ++ticks;
    // The tick runs from the box's top edge (ys - 2) up to ys - 5, excluded.
    for (const int y : {ys - 4, ys - 3, ys - 2})
      EXPECT_EQ(Name(At(check.Image(), x, y)), Name(RoadColor::White)) << "tick " << p;
    EXPECT_EQ(Name(At(check.Image(), x, ys - 5)), Name(RoadColor::Green)) << "tick " << p;
    EXPECT_EQ(Name(At(check.Image(), x, ys - 1)), Name(RoadColor::Green)) << "box " << p;
  }
  EXPECT_GT(ticks, 0);
}

// The header: one item per section, leftmost the most upstream; the items cover the bitmap.
void CheckHeader(const KDConfig& config, RoadCheck& check) {
  const std::vector<HeaderItem>& items = check.Header();
  ASSERT_EQ(items.size(), static_cast<size_t>(config.Boundaries() + 1));
  int total = 0;
  for (int k = 0; k <= config.Boundaries(); ++k) {
    const int s = config.Boundaries() - k;
    total += items[k].width;
    const bool visible = check.Right(s) >= 1 && check.Left(s) <= kWidth;
    if (!visible) {
      EXPECT_EQ(items[k].width, 0) << "section " << s;
      continue;
    }
    EXPECT_EQ(items[k].caption, std::to_string(s + 1));
    if (check.Left(s) >= 1 && s > 0 && check.Right(s) <= kWidth) {
      EXPECT_EQ(items[k].width, check.Right(s) - check.Left(s)) << "section " << s;
    }
  }
  EXPECT_EQ(total, kWidth + 10);
}

}  // namespace

TEST(ExampleRoadRendering, EveryExampleAtSeveralZoomAndScrollSettings) {
  for (const std::string& name : ExampleNames()) {
    std::unique_ptr<KDConfig> config;
    ASSERT_TRUE(LoadExample(name, config));
    for (const Setting& setting : Settings())
      for (const bool tapers : {false, true}) {
        SCOPED_TRACE(Trace(name, setting, tapers));
        RoadCheck check(*config, setting, tapers);
        CheckLaneFills(*config, check);
        CheckMarkings(*config, check, tapers);
        if (tapers) CheckTaperFigures(*config, check);
        CheckGlyphs(*config, check);
        CheckDetectors(*config, check, -1);
        CheckScale(*config, check, setting);
        CheckHeader(*config, check);
        EXPECT_GT(check.Checked(), 100);
      }
  }
}

TEST(ExampleRoadRendering, SelectedDetectorBoxIsRed) {
  std::unique_ptr<KDConfig> config;
  ASSERT_TRUE(LoadExample("on-ramp-taper.kav", config));
  ASSERT_GE(config->DetectorCount(), 2);
  RoadCheck check(*config, {0, 0}, true, MakeRoadDrawFlags(RoadDrawKind::Detector, 2));
  CheckDetectors(*config, check, 1);
}

TEST(ExampleRoadRendering, LaneChangeBehaviourPageShowsLanesAllMustLeaveGray) {
  std::unique_ptr<KDConfig> config;
  ASSERT_TRUE(LoadExample("lane-drop.kav", config));
  config->SetPhysicalSectionProperty(0, 1, PP_ALLLANECHANGE, 1.0f);
  ASSERT_TRUE(config->IntPhysicalSectionProperty(0, 1, PP_LANETYPE) & LANE_PAVED);
  const Setting setting{0, 0};
  RoadCheck plain(*config, setting, false);
  RoadCheck page(*config, setting, false, RDF_SHOW_ALL_LANE_CHANGE);
  const int x = (plain.OwnedFirst(0) + plain.OwnedLast(0)) / 2;
  EXPECT_EQ(Name(At(plain.Image(), x, Top(1) + 8)), Name(RoadColor::Black));
  EXPECT_EQ(Name(At(page.Image(), x, Top(1) + 8)), Name(RoadColor::Gray));
  EXPECT_EQ(Name(At(page.Image(), x, Top(0) + 8)), Name(RoadColor::Black));
}

TEST(ExampleRoadRendering, TrafficLightOfTheRampMeterShowsItsState) {
  std::unique_ptr<KDConfig> config;
  ASSERT_TRUE(LoadExample("ramp-metering.kav", config));
  ASSERT_EQ(config->TrafficLightCount(), 1);
  ImageFont font;
  const int hw = (font.Width("1") + 4) / 2;
  for (const Setting& setting : Settings()) {
    SCOPED_TRACE(Trace("ramp-metering.kav", setting, false));
    const int x = Column(config->TrafficLightPosition(0), config->Length(), setting);
    if (x < 0 || x >= kWidth) continue;
    const int t = Top(config->TrafficLightLane(0));
    RoadCheck numbers(*config, setting, false);
    // The capsule's straight sides, 2 hw apart.
    EXPECT_EQ(Name(At(numbers.Image(), x - hw, t + 12)), Name(RoadColor::White));
    EXPECT_EQ(Name(At(numbers.Image(), x + hw - 1, t + 12)), Name(RoadColor::White));
    config->SetTrafficLightState(0, 201);
    RoadCheck red(*config, setting, false, RDF_LIGHT_STATES);
    EXPECT_EQ(Name(At(red.Image(), x, t + 1 + hw)), Name(RoadColor::Red));
    EXPECT_EQ(Name(At(red.Image(), x, t + 12 + 1)), Name(RoadColor::Black));
    EXPECT_EQ(Name(At(red.Image(), x, t + 23 - hw)), Name(RoadColor::Black));
    config->SetTrafficLightState(0, 202);
    RoadCheck green(*config, setting, false, RDF_LIGHT_STATES);
    EXPECT_EQ(Name(At(green.Image(), x, t + 23 - hw)), Name(RoadColor::Lime));
    EXPECT_EQ(Name(At(green.Image(), x, t + 1 + hw)), Name(RoadColor::Black));
  }
}

// Writes each example's picture to the folder named by KAVRO_ROADVIEW_PNG_DIR, for looking.
TEST(ExampleRoadRendering, PicturesSavedForInspection) {
  const char* dir = std::getenv("KAVRO_ROADVIEW_PNG_DIR");
  if (!dir) GTEST_SKIP() << "KAVRO_ROADVIEW_PNG_DIR not set";
  for (const std::string& name : ExampleNames()) {
    std::unique_ptr<KDConfig> config;
    ASSERT_TRUE(LoadExample(name, config));
    for (const Setting& setting : {Setting{0, 0}, Setting{12, 500}}) {
      QImage image(kWidth, kHeight, QImage::Format_RGB32);
      DrawRoadLayout(*config, image, nullptr,
                     RDF_DRAW_TAPERS | MakeRoadDrawFlags(RoadDrawKind::Detector, 1), setting.zoom,
                     setting.scroll);
      const std::string file = std::string(dir) + "/" + name.substr(0, name.size() - 4) + "-z" +
                               std::to_string(setting.zoom) + ".png";
      EXPECT_TRUE(image.save(QString::fromLatin1(file.c_str())));
    }
  }
}
