#include "views/ui/FormObjectList.h"

#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "config/ProgramError.h"
#include "shell/MessageLog.h"
#include "shell/TextTable.h"
#include "shell/ui/QtText.h"

int TFormObjectList::RightClickRow = -1;
int TFormObjectList::LastSearchedVehicle = -1;

namespace {

const char* const kHeaderLabels[OBJECT_LIST_COLUMNS][2] = {
    {"LabelNumber", "Number"},      {"LabelType", "Type"},
    {"LabelLeader", "Leader"},      {"LabelFollower", "Follower"},
    {"LabelLane", "Lane"},          {"LabelDestination", "Destination"},
    {"LabelState", "State"},        {"LabelPosition", "Position"},
    {"LabelSpeed", "Speed"},        {"LabelAcceleration", "Acceleration"},
    {"LabelPrevPos", "Prev. pos."}, {"LabelPrevSpeed", "Prev. speed"}};

}  // namespace

TFormObjectList::TFormObjectList(const Kernel& kernel, int stepCount, int stepsPerSecond,
                                 QWidget* parent)
    : QWidget(parent, Qt::Window), rows_(ObjectListRows(kernel)), stepCount_(stepCount) {
  setObjectName("FormObjectList");
  setAttribute(Qt::WA_DeleteOnClose, false);
  texts_ = new QWidget(this);
  texts_->setObjectName("PanelTexts");
  texts_->setVisible(false);
  auto addText = [this](const char* name, const char* text) {
    auto* label = new QLabel(text, texts_);
    label->setObjectName(name);
  };
  for (const auto& [name, text] : kHeaderLabels) addText(name, text);
  addText("LabelObjectList", "Object list");
  addText("LabelTime", "Time");
  addText("LabelS", "s,");
  addText("LabelObjectsUsed", "objects used");
  addText("LabelObject", ", object");
  addText("LabelSelected", "selected");
  addText("LabelEnterVehicleNumber", "Enter vehicle number");
  addText("LabelSearchVehicleByNumber", "Search vehicle by number");
  addText("LabelCouldNotFindVehicle", "Vehicle %d has driven out of the simulation");
  addText("LabelCouldNotFindCaption", "Vehicle not found");
  addText("LabelCannotOpenFile", "Cannot open file %s for writing, error code: %s");
  addText("LabelError", "Error");
  addText("LabelFilter", "Object lists (*.lst)|*.lst|All files (*.*)|*.*");

  auto* menu = new QMenuBar(this);
  menu->setObjectName("MainMenu");
  QMenu* file = menu->addMenu("&File");
  QAction* saveAs = file->addAction("Save &As ...");
  saveAs->setObjectName("ItemSaveAs");
  connect(saveAs, &QAction::triggered, this, &TFormObjectList::ItemSaveAsClick);
  QAction* close = file->addAction("&Close");
  close->setObjectName("ItemClose");
  connect(close, &QAction::triggered, this, &QWidget::close);

  StringGridObjects = new QTableWidget(static_cast<int>(rows_.size()), OBJECT_LIST_COLUMNS, this);
  StringGridObjects->setObjectName("StringGridObjects");
  StringGridObjects->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGridObjects->setSelectionBehavior(QAbstractItemView::SelectRows);
  StringGridObjects->setSelectionMode(QAbstractItemView::SingleSelection);
  StringGridObjects->verticalHeader()->setVisible(false);
  StringGridObjects->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  StringGridObjects->setContextMenuPolicy(Qt::CustomContextMenu);
  for (int r = 0; r < static_cast<int>(rows_.size()); ++r)
    for (int c = 0; c < OBJECT_LIST_COLUMNS; ++c)
      StringGridObjects->setItem(r, c, new QTableWidgetItem(FromText(rows_[r][c])));
  StringGridObjects->resizeColumnsToContents();
  connect(StringGridObjects, &QTableWidget::currentCellChanged, this, [this] { CellSelected(); });
  connect(StringGridObjects, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
    const int row = StringGridObjects->rowAt(at.y());
    GridRightClick(row, StringGridObjects->viewport()->mapToGlobal(at));
  });

  PopupMenuGoto = new QMenu(this);
  PopupMenuGoto->setObjectName("PopupMenuGoto");
  ItemGotoLeader = PopupMenuGoto->addAction("Goto leader object in lane");
  ItemGotoLeader->setObjectName("ItemGotoLeader");
  ItemGotoFollower = PopupMenuGoto->addAction("Goto follower object in lane");
  ItemGotoFollower->setObjectName("ItemGotoFollower");
  ItemFindVehicle = PopupMenuGoto->addAction("Find vehicle ...");
  ItemFindVehicle->setObjectName("ItemFindVehicle");
  connect(ItemGotoLeader, &QAction::triggered, this, &TFormObjectList::ItemGotoLeaderClick);
  connect(ItemGotoFollower, &QAction::triggered, this, &TFormObjectList::ItemGotoFollowerClick);
  connect(ItemFindVehicle, &QAction::triggered, this, &TFormObjectList::ItemFindVehicleClick);

  StatusBar = new QStatusBar(this);
  StatusBar->setObjectName("StatusBar");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setMenuBar(menu);
  layout->addWidget(StringGridObjects, 1);
  layout->addWidget(StatusBar);

  const double time = stepsPerSecond > 0 ? static_cast<double>(stepCount) / stepsPerSecond : 0;
  baseStatus_ = Text("LabelTime") + " " + GeneralFormat(time) + " " + Text("LabelS") + " " +
                std::to_string(rows_.size()) + " " + Text("LabelObjectsUsed");
  const std::vector<std::string> header = Header();
  QStringList headers;
  for (const std::string& text : header) headers << FromText(text);
  StringGridObjects->setHorizontalHeaderLabels(headers);
  setWindowTitle(FromText(Text("LabelObjectList")));
  StatusBar->showMessage(FromText(baseStatus_ + "."));
  resize(900, 480);
}

std::string TFormObjectList::Text(const char* label) const {
  auto* widget = texts_->findChild<QLabel*>(label);
  return widget ? ToText(widget->text()) : std::string();
}

std::vector<std::string> TFormObjectList::Header() const {
  std::vector<std::string> header;
  for (const auto& entry : kHeaderLabels) header.push_back(Text(entry[0]));
  return header;
}

void TFormObjectList::showEvent(QShowEvent* event) {
  if (!shownOnce_) {
    shownOnce_ = true;
    StatusBar->showMessage(FromText(baseStatus_ + "."));
  }
  QWidget::showEvent(event);
}

QString TFormObjectList::StatusText() const { return StatusBar->currentMessage(); }

int TFormObjectList::CurrentRow() const { return StringGridObjects->currentRow(); }

void TFormObjectList::SetCurrentRow(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  StringGridObjects->setCurrentCell(row, std::max(0, StringGridObjects->currentColumn()));
  StringGridObjects->scrollToItem(StringGridObjects->item(row, 0));
}

void TFormObjectList::CellSelected() {
  const int row = CurrentRow();
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  StatusBar->showMessage(FromText(baseStatus_ + Text("LabelObject") + rows_[row][OL_NUMBER] + " " +
                                  Text("LabelSelected")));
}

void TFormObjectList::GridRightClick(int row, QPoint at, bool openMenu) {
  RightClickRow = row;
  rightClickPoint_ = at;
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  ItemGotoLeader->setEnabled(!rows_[row][OL_LEADER].empty());
  ItemGotoFollower->setEnabled(!rows_[row][OL_FOLLOWER].empty());
  ItemFindVehicle->setEnabled(true);
  if (openMenu) PopupMenuGoto->popup(at);
}

void TFormObjectList::ItemGotoLeaderClick() { SetCurrentRow(GotoLeaderRow(rows_, RightClickRow)); }

void TFormObjectList::ItemGotoFollowerClick() {
  SetCurrentRow(GotoFollowerRow(rows_, RightClickRow, 0));
}

void TFormObjectList::ItemFindVehicleClick() {
  auto [low, high] = VehicleNumberRange(rows_);
  if (LastSearchedVehicle < low) LastSearchedVehicle = low;
  std::optional<int> number;
  if (asker_) {
    number = asker_(Text("LabelSearchVehicleByNumber"), Text("LabelEnterVehicleNumber"),
                    LastSearchedVehicle, low, high, rightClickPoint_);
  } else {
    bool ok = false;
    int value = QInputDialog::getInt(this, FromText(Text("LabelSearchVehicleByNumber")),
                                     FromText(Text("LabelEnterVehicleNumber")), LastSearchedVehicle,
                                     low, high, 1, &ok);
    if (ok) number = value;
  }
  if (!number) return;
  LastSearchedVehicle = *number;
  const int row = FindVehicleRow(rows_, *number);
  if (row >= 0) {
    SetCurrentRow(row);
    return;
  }
  // The text's "%d" takes the number; "%%" is a percent sign.
  const std::string format = Text("LabelCouldNotFindVehicle");
  std::string text;
  bool filled = false;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format.compare(i, 2, "%%") == 0) {
      text += '%';
      ++i;
    } else if (!filled && format.compare(i, 2, "%d") == 0) {
      text += std::to_string(*number);
      filled = true;
      ++i;
    } else {
      text += format[i];
    }
  }
  UserMessage(ReportKind::Warning, Text("LabelCouldNotFindCaption"), text);
}

bool TFormObjectList::SaveTo(const std::string& fileName) {
  std::vector<ObjectListRow> all;
  all.push_back(Header());
  all.insert(all.end(), rows_.begin(), rows_.end());
  std::string error;
  if (SaveTextFile(fileName, ObjectListText(all), error)) return true;
  UserMessage(ReportKind::Warning, Text("LabelError"),
              FillStringDirectives(Text("LabelCannotOpenFile"), {fileName, error}));
  return false;
}

void TFormObjectList::ItemSaveAsClick() {
  std::string name = ObjectListFileName(stepCount_);
  if (!chooser_ || !chooser_(Text("LabelFilter"), name)) return;
  SaveTo(name);
}
