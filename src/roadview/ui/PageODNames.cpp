#include "roadview/ui/PageODNames.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QTableWidget>
#include <algorithm>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "roadview/DemandShares.h"
#include "roadview/RoadDrawFlags.h"
#include "shell/ui/QtText.h"

namespace {

QTableWidget* NameGrid(const char* name, const char* location, QWidget* parent) {
  auto* grid = new QTableWidget(0, 2, parent);
  grid->setObjectName(name);
  grid->setHorizontalHeaderLabels({location, "Name"});
  grid->verticalHeader()->hide();
  grid->horizontalHeader()->setStretchLastSection(true);
  grid->setColumnWidth(0, 170);
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  grid->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                        QAbstractItemView::EditKeyPressed);
  return grid;
}

}  // namespace

TPageODNames::TPageODNames(TrafficPageHost host, QWidget* parent)
    : QWidget(parent), host_(std::move(host)) {
  setObjectName("TabSheetSourceSinkNames");
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  StringGridSourceNames = NameGrid("StringGridSourceNames", "Origin location", this);
  StringGridSinkNames = NameGrid("StringGridSinkNames", "Destination location", this);
  layout->addWidget(StringGridSourceNames);
  layout->addWidget(StringGridSinkNames);
  setMinimumHeight(160);
  for (QTableWidget* grid : {StringGridSourceNames, StringGridSinkNames}) {
    connect(grid, &QTableWidget::currentCellChanged, this,
            [this, grid](int row) { CellSelected(grid, row); });
  }
  connect(qApp, &QApplication::focusChanged, this, &TPageODNames::FocusChanged);
}

TPageODNames::~TPageODNames() { disconnect(qApp, nullptr, this, nullptr); }

void TPageODNames::FillGrid(QTableWidget* grid, bool sources) {
  KDConfig& config = host_.config();
  const int count = sources ? config.SourceCount() : config.SinkCount();
  grid->setRowCount(count);
  for (int r = 0; r < count; ++r) {
    const std::string location =
        sources ? SourceSinkLocationText(config.SourceSection(r), config.SourceFromLane(r),
                                         config.SourceToLane(r))
                : SourceSinkLocationText(config.SinkSection(r), config.SinkFromLane(r),
                                         config.SinkToLane(r));
    auto* place = new QTableWidgetItem(FromText(location));
    place->setFlags(place->flags() & ~Qt::ItemIsEditable);
    grid->setItem(r, 0, place);
    grid->setItem(
        r, 1, new QTableWidgetItem(FromText(sources ? config.SourceName(r) : config.SinkName(r))));
  }
  grid->setVisible(count > 0);
}

void TPageODNames::ShowValues() {
  filling_ = true;
  FillGrid(StringGridSourceNames, true);
  FillGrid(StringGridSinkNames, false);
  filling_ = false;
  QTableWidget* first =
      StringGridSourceNames->rowCount() > 0 ? StringGridSourceNames : StringGridSinkNames;
  if (first->rowCount() > 0) {
    first->setCurrentCell(0, 1);
    first->setFocus();
  }
}

void TPageODNames::CellSelected(QTableWidget* grid, int row) {
  if (filling_ || row < 0) return;
  const bool sources = grid == StringGridSourceNames;
  if (!sources && !grid->hasFocus()) return;
  host_.highlight(MakeRoadDrawFlags(sources ? RoadDrawKind::Origin : RoadDrawKind::Destination,
                                    static_cast<std::uint32_t>(row + 1)));
}

void TPageODNames::FocusChanged(QWidget* old, QWidget* now) {
  if (!now || !old) return;
  for (QTableWidget* grid : {StringGridSourceNames, StringGridSinkNames}) {
    const bool wasIn = old == grid || grid->isAncestorOf(old);
    const bool isIn = now == grid || grid->isAncestorOf(now);
    if (wasIn && !isIn) StringGridSourceSinkNamesExit(grid);
    // Entering a grid selects its current cell again.
    if (!wasIn && isIn && grid->currentRow() >= 0) CellSelected(grid, grid->currentRow());
  }
}

void TPageODNames::hideEvent(QHideEvent* event) {
  CommitPendingNames();
  QWidget::hideEvent(event);
}

void TPageODNames::CommitPendingNames() {
  StringGridSourceSinkNamesExit(StringGridSourceNames);
  StringGridSourceSinkNamesExit(StringGridSinkNames);
}

void TPageODNames::StringGridSourceSinkNamesExit(QTableWidget* grid) {
  if (filling_) return;
  KDConfig& config = host_.config();
  const bool sources = grid == StringGridSourceNames;
  const int count = std::min(grid->rowCount(), sources ? config.SourceCount() : config.SinkCount());
  std::vector<std::string> stored, names;
  for (int r = 0; r < count; ++r) {
    stored.push_back(sources ? config.SourceName(r) : config.SinkName(r));
    std::string name = grid->item(r, 1) ? ToText(grid->item(r, 1)->text()) : std::string();
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
    // A name the file cannot hold (empty, or starting with a blank) keeps the stored one.
    if (!KDConfig::ValidSourceSinkName(name)) name = stored.back();
    names.push_back(name);
  }
  const bool adjusted = AdjustDuplicateNames(names);
  // The grid shows the names as stored: refused names revert, duplicates get their suffix.
  filling_ = true;
  for (int r = 0; r < count; ++r)
    if (grid->item(r, 1) && ToText(grid->item(r, 1)->text()) != names[r])
      grid->item(r, 1)->setText(FromText(names[r]));
  filling_ = false;
  if (names == stored) return;
  host_.recordUndo(sources ? "change source name" : "change sink name");
  for (int r = 0; r < count; ++r) {
    if (sources)
      config.SetSourceName(r, " " + std::to_string(r));
    else
      config.SetSinkName(r, " " + std::to_string(r));
  }
  for (int r = 0; r < count; ++r) {
    if (sources)
      config.SetSourceName(r, names[r]);
    else
      config.SetSinkName(r, names[r]);
  }
  host_.changed();
  if (adjusted)
    UserMessage(ReportKind::Information, "Warning",
                "One or more names have been adjusted to remove duplicates");
}

// A destination glyph chooses its row of the destination grid, else an origin glyph its row of
// the origin grid.
bool TPageODNames::RoadMouseDown(int x, int y, Qt::MouseButton, QPoint) {
  const int destination = DestinationGlyphAt(host_.areas(), x, y);
  const int origin = OriginGlyphAt(host_.areas(), x, y);
  QTableWidget* grid = nullptr;
  int row = -1;
  if (destination >= 0) {
    grid = StringGridSinkNames;
    row = destination;
  } else if (origin >= 0) {
    grid = StringGridSourceNames;
    row = origin;
  }
  if (!grid || row >= grid->rowCount()) return false;
  grid->setFocus();
  grid->setCurrentCell(row, 1);
  return true;
}
