// Road editing in the main window: the selection on the road view, the lane type commands, the
// section header commands, the detector pop-up menu and the road pieces of the Edit menu.
// Every change records its undo point first, goes through the configuration's setters and
// redraws the road.

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QMenu>
#include <QStatusBar>
#include <QTableWidget>
#include <algorithm>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/ProgramMode.h"
#include "roadview/RoadDrawFlags.h"
#include "roadview/ui/PageFlowPerOrigin.h"
#include "roadview/ui/PageLaneChangeAreas.h"
#include "roadview/ui/PageLaneChangeBehavior.h"
#include "roadview/ui/PageODNames.h"
#include "roadview/ui/PageRoadLayout.h"
#include "roadview/ui/PageSurfaceDetails.h"
#include "roadview/ui/RoadPageGestures.h"
#include "roadview/ui/RoadView.h"
#include "shell/PageCatalogue.h"
#include "shell/RunController.h"
#include "shell/ui/FormMain.h"
#include "shell/ui/FormValue.h"
#include "shell/ui/QtText.h"

namespace {

constexpr int kMaxClipboardText = 9999;

const char* const kGraphKinds[][2] = {{"Itemqk", "qk"}, {"Itemuq", "uq"}, {"Itemuk", "uk"},
                                      {"Itemqt", "qt"}, {"Itemkt", "kt"}, {"Itemut", "ut"},
                                      {"Itemtt", "Tt"}, {"Itemvt", "vt"}};
const char* const kGraphCaptions[] = {"Flow - density",     "Speed - flow",       "Speed - density",
                                      "Flow - time",        "Density - time",     "Speed - time",
                                      "Travel time - time", "Travel speed - time"};

}  // namespace

std::string ReadClipboardText() {
  const QString text = QGuiApplication::clipboard()->text().left(kMaxClipboardText);
  // A piece that travelled through a mail or a text file may have gained a line break.
  return ToText(text.trimmed());
}

void WriteClipboardText(const std::string& text) {
  QGuiApplication::clipboard()->setText(FromText(text));
}

void TFormMain::CreateRoadEditing() {
  PageRoadLayout = new TPageRoadLayout;
  HostPage(kPhysicalRoadLayoutPage, PageRoadLayout);
  CreateSurfacePages();
  CreateFurniturePages();
  CreateLaneChangePages();
  connect(PageRoadLayout, &TPageRoadLayout::SetLaneTypeClick, this, &TFormMain::SetLaneTypeClick);

  PopupMenuEditRoad = new QMenu(this);
  PopupMenuEditRoad->setObjectName("PopupMenuEditRoad");
  for (int i = 0; i < kLaneTypeCommands; ++i) {
    const auto command = static_cast<LaneTypeCommand>(i);
    const LaneTypeCommandInfo& info = LaneTypeCommandOf(command);
    QAction* item = PopupMenuEditRoad->addAction(info.caption);
    item->setObjectName(info.item);
    connect(item, &QAction::triggered, this, [this, command] { SetLaneTypeClick(command); });
    laneTypeItems_[i] = item;
  }

  PopupMenuHeaderControl = new QMenu(this);
  PopupMenuHeaderControl->setObjectName("PopupMenuHeaderControl");
  auto addHeader = [this](const char* name, const char* caption, void (TFormMain::*handler)()) {
    QAction* item = PopupMenuHeaderControl->addAction(caption);
    item->setObjectName(name);
    connect(item, &QAction::triggered, this, handler);
    return item;
  };
  ItemDeleteSection =
      addHeader("ItemDeleteSection", "&Delete section", &TFormMain::ItemDeleteSectionClick);
  ItemSplitSection =
      addHeader("ItemSplitSection", "&Split section", &TFormMain::ItemSplitSectionClick);
  ItemEditSectionLength = addHeader("ItemEditSectionLength", "Edit section &length",
                                    &TFormMain::ItemEditSectionLengthClick);
  ItemSetEndOfSection = addHeader("ItemSetEndOfSection", "Set &end of section position",
                                  &TFormMain::ItemSetEndOfSectionClick);
  ItemSetBeginOfSection = addHeader("ItemSetBeginOfSection", "Set &begin of section position",
                                    &TFormMain::ItemSetBeginOfSectionClick);

  PopupMenuDetectorGraph = new QMenu(this);
  PopupMenuDetectorGraph->setObjectName("PopupMenuDetectorGraph");
  ItemDetectorTitle = PopupMenuDetectorGraph->addAction("Detector");
  ItemDetectorTitle->setObjectName("ItemDetectorTitle");
  ItemDetectorTitle->setEnabled(false);
  PopupMenuDetectorGraph->addSeparator();
  for (int i = 0; i < 8; ++i) {
    QAction* item = PopupMenuDetectorGraph->addAction(kGraphCaptions[i]);
    item->setObjectName(kGraphKinds[i][0]);
    item->setToolTip(kGraphKinds[i][1]);
    const std::string kind = kGraphKinds[i][1];
    connect(item, &QAction::triggered, this,
            [this, kind] { DetectorGraphRequest(menuDetector_, kind); });
  }

  TRoadImage* image = RoadViewMain->ImageRoad();
  connect(image, &TRoadImage::MouseDown, this, &TFormMain::ImageRoadMouseDown);
  connect(image, &TRoadImage::MouseMove, this, &TFormMain::ImageRoadMouseMove);
  connect(image, &TRoadImage::MouseUp, this, &TFormMain::ImageRoadMouseUp);
  TSectionHeader* header = RoadViewMain->HeaderControl();
  connect(header, &TSectionHeader::MouseDown, this, [this](int x, int, QPoint screen) {
    lastScreenPoint_ = screen;
    headerClickPosition_ = PixelToPosition(RoadViewMain->Viewport(), x);
  });
  connect(header, &TSectionHeader::MouseMove, this,
          [this](QPoint screen) { lastScreenPoint_ = screen; });
  connect(header, &TSectionHeader::MouseUp, this, [this] { resizeUndoRecorded_ = false; });
  connect(header, &TSectionHeader::SectionTrack, this, &TFormMain::HeaderControlSectionTrack);
  connect(header, &TSectionHeader::SectionResize, this, &TFormMain::HeaderControlSectionResize);
  connect(header, &TSectionHeader::SectionClick, this, &TFormMain::HeaderControlSectionClick);
  connect(RoadViewMain, &TRoadView::LaneLabelPressed, this, &TFormMain::LaneLabelMouseDown);
  image->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(image, &QWidget::customContextMenuRequested, this,
          [this, image](const QPoint& at) { RoadContextMenu(image->mapToGlobal(at)); });

  // Road pieces in the Edit menu.
  MenuEdit->addSeparator();
  auto addEdit = [this](const char* name, const char* caption, QKeySequence shortcut,
                        void (TFormMain::*handler)()) {
    QAction* item = MenuEdit->addAction(caption);
    item->setObjectName(name);
    if (!shortcut.isEmpty()) item->setShortcut(shortcut);
    connect(item, &QAction::triggered, this, handler);
    return item;
  };
  ItemCut = addEdit("ItemCut", "Cu&t", QKeySequence("Ctrl+X"), &TFormMain::ItemCutClick);
  ItemCopy = addEdit("ItemCopy", "&Copy", QKeySequence("Ctrl+C"), &TFormMain::ItemCopyClick);
  ItemPaste = addEdit("ItemPaste", "&Paste", QKeySequence("Ctrl+V"), &TFormMain::ItemPasteClick);
  ItemPasteBefore =
      addEdit("ItemPasteBefore", "Paste &Before", QKeySequence(), &TFormMain::ItemPasteBeforeClick);
  ItemPasteAfter =
      addEdit("ItemPasteAfter", "Paste &After", QKeySequence(), &TFormMain::ItemPasteAfterClick);
  connect(MenuEdit, &QMenu::aboutToShow, this, &TFormMain::ItemEditClick);
  ItemEditClick();
}

void TFormMain::ShowRoadEditingMode() {
  PageRoadLayout->SetProgramMode(mode_);
  for (int i = 0; i < kLaneTypeCommands; ++i)
    laneTypeItems_[i]->setVisible(LaneTypeItemVisible(static_cast<LaneTypeCommand>(i), mode_));
}

// ---- Drawing -------------------------------------------------------------------------------

void TFormMain::RedrawRoad() {
  if (!RoadViewMain) return;
  const int page = CurrentPage();
  std::uint32_t flags = currentSelection_ & RDF_SELECTION_MASK;
  if (page == kLaneChangeBehaviorPage) flags |= RDF_SHOW_ALL_LANE_CHANGE | RDF_SHOW_AREAS;
  if (page == kLaneChangeAreasPage) flags |= RDF_SHOW_AREAS;
  if (page == kSpeedLimitPage)
    flags = (flags & ~RDF_SELECTION_MASK) | MakeRoadDrawFlags(RoadDrawKind::SpeedLimit, 1);
  // The surface pages show the stored values; the road shows the chosen detail.
  RefreshSurfacePages(page);
  RefreshFurnitureLists(page);
  if (page == kSurfaceDetailsPage && PageKAVROSurfaceDetails)
    flags =
        (flags & ~RDF_SELECTION_MASK) | MakeRoadDrawFlags(PageKAVROSurfaceDetails->Row().aspect, 1);
  if (page == kDovelSurfaceDetailsPage && PageDOVELSurfaceDetails)
    flags = (flags & ~RDF_SELECTION_MASK) |
            MakeRoadDrawFlags(RoadDrawKind::SurfaceDetail,
                              static_cast<std::uint32_t>(PageDOVELSurfaceDetails->Detail() + 1));
  if (page == kRunPage || page == kSettingsPage) flags |= RDF_LIGHT_STATES;
  if (ItemDrawTapers && ItemDrawTapers->isChecked()) flags |= RDF_DRAW_TAPERS;
  RoadViewMain->SetDrawFlags(flags);
  // The selection rectangle shows on the pages that edit the selected cells.
  const bool selectionPage = page == kPhysicalRoadLayoutPage || page == kSurfaceDetailsPage ||
                             page == kSpeedLimitPage || page == kDovelSurfaceDetailsPage ||
                             (page == kLaneChangeBehaviorPage && selectingArea_);
  std::array<bool, kLaneTypeCommands> available{};
  if (document_) available = LaneTypeAvailability(Config(), selection_);
  RoadViewMain->SetSelection(selection_.Drawn(), selectionPage);
  RoadViewMain->RedrawRoad();
  if (page == kPhysicalRoadLayoutPage && document_) {
    PageRoadLayout->SetAvailability(available);
    for (int i = 0; i < kLaneTypeCommands; ++i) laneTypeItems_[i]->setEnabled(available[i]);
  }
  // The shortcuts of the road piece commands follow the page and the selection.
  if (!selectingArea_) ItemEditClick();
}

void TFormMain::SetSelection(const RoadEditSelection& selection) {
  const bool changed = !(selection == selection_);
  selection_ = selection;
  if (changed) RedrawRoad();
}

// ---- Road image gestures -------------------------------------------------------------------

RoadPageGestures* TFormMain::ShownPageGestures() const {
  const int page = CurrentPage();
  return page >= 0 && page <= kBatchPage ? gestures_[page] : nullptr;
}

void TFormMain::ImageRoadMouseDown(int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers,
                                   QPoint screen) {
  lastScreenPoint_ = screen;
  const RoadEditSelection before = selection_;
  downX_ = x;
  const int page = CurrentPage();
  RoadPageGestures* gestures = ShownPageGestures();
  if (gestures && gestures->RoadMouseDown(x, y, button, screen)) return;
  const int detector = DetectorLabelAt(RoadViewMain->DisplayAreas(), MaxLane(), x, y);
  if (detector >= 0 && (page == kSettingsPage || page == kRunPage)) {
    menuDetector_ = detector;
    ItemDetectorTitle->setText(QString("Detector %1").arg(detector + 1));
    // Travel times need a downstream detector.
    const bool last = detector == Config().DetectorCount() - 1;
    for (QAction* item : PopupMenuDetectorGraph->actions())
      if (item->objectName() == "Itemtt" || item->objectName() == "Itemvt") item->setEnabled(!last);
    PopupMenuDetectorGraph->popup(screen);
    return;
  }
  if (button != Qt::LeftButton) return;
  selectingArea_ = true;
  const int section = PixelToSection(Config(), RoadViewMain->Viewport(), x);
  selection_ = {LaneAtY(y), LaneAtY(y), section, section};
  pressSection_ = section;
  pressLane_ = LaneAtY(y);
  DebugWrite(SelectionDebugLine(selection_));
  if (!(selection_ == before)) RedrawRoad();
}

void TFormMain::ImageRoadMouseMove(int x, int y, Qt::MouseButtons buttons, QPoint screen) {
  lastScreenPoint_ = screen;
  const RoadViewport view = RoadViewMain->Viewport();
  RoadPageGestures* gestures = ShownPageGestures();
  if ((buttons & Qt::LeftButton) && gestures && gestures->RoadMouseDrag(x)) return;
  if (buttons & (Qt::LeftButton | Qt::RightButton)) {
    if (selectingArea_) {
      selection_.laneTo = LaneAtY(y);
      selection_.sectionTo = PixelToSection(Config(), view, x);
      RedrawRoad();
    }
    return;
  }
  std::string status = std::to_string(PixelToPosition(view, x)) + "m";
  const int lane = LaneAtY(y);
  if (lane >= 0) status += ", lane " + std::to_string(lane + 1);
  const int section = PixelToSection(Config(), view, x);
  if (section >= 0)
    status += ", section " +
              std::to_string(mode_ == DOVEL ? Config().Boundaries() - section + 1 : section + 1);
  // The names of an origin or destination glyph under the point, from the last drawing.
  const int origin = OriginGlyphAt(RoadViewMain->DisplayAreas(), x, y);
  if (origin >= 0) status += ", source " + Config().SourceName(origin);
  const int destination = DestinationGlyphAt(RoadViewMain->DisplayAreas(), x, y);
  if (destination >= 0) status += ", destination " + Config().SinkName(destination);
  SetStatusText(status);
}

void TFormMain::ImageRoadMouseUp(int x, int y, Qt::MouseButton, QPoint screen) {
  lastScreenPoint_ = screen;
  if (RoadPageGestures* gestures = ShownPageGestures(); gestures && gestures->RoadMouseUp(x))
    return;
  if (!selectingArea_) return;
  selection_.laneTo = LaneAtY(y);
  selection_.sectionTo = PixelToSection(Config(), RoadViewMain->Viewport(), x);
  OrderSelection(selection_);
  selectingArea_ = false;
  RedrawRoad();
  DebugWrite(SelectionDebugLine(selection_));
  // On the lane change behaviour page a drag toggles the lanes every vehicle must leave.
  if (CurrentPage() == kLaneChangeBehaviorPage)
    PageLaneChangeBehavior->ToggleAllLaneChange(pressSection_, pressLane_);
}

void TFormMain::LaneLabelMouseDown(int lane) {
  RoadEditSelection selection{lane, lane, -1, -1};
  DebugWrite(SelectionDebugLine(selection));
  SetSelection(selection);
}

void TFormMain::RoadContextMenu(QPoint screen) {
  lastScreenPoint_ = screen;
  if (RoadPageGestures* gestures = ShownPageGestures();
      gestures && gestures->RoadContextMenu(screen))
    return;
  if (CurrentPage() != kPhysicalRoadLayoutPage) return;
  RedrawRoad();  // the entries follow the selection
  PopupMenuEditRoad->popup(screen);
}

// ---- Lane types ----------------------------------------------------------------------------

void TFormMain::SetLaneTypeClick(LaneTypeCommand command) {
  const std::array<bool, kLaneTypeCommands> available = LaneTypeAvailability(Config(), selection_);
  if (!available[static_cast<int>(command)]) return;
  const int value = LaneTypeCommandOf(command).value;
  RoadEdit(Text("LabelSetLaneSurfaceType"), [value](KDConfig& config, RoadEditSelection& s) {
    return SetSelectionLaneType(config, s, value);
  });
}

bool TFormMain::RoadEdit(const std::string& undoLabel,
                         const std::function<std::string(KDConfig&, RoadEditSelection&)>& edit) {
  // Tried on a copy first: an edit the road cannot take changes nothing, records no undo
  // point and says why.
  const std::string refusal = RefusalOnCopy(Config(), selection_, edit);
  if (!refusal.empty()) {
    UserMessage(ReportKind::Warning, "Warning", refusal);
    return false;
  }
  RecordUndo(undoLabel);
  edit(Config(), selection_);
  ConfigurationChanged();
  RedrawRoad();
  return true;
}

// ---- Section header ------------------------------------------------------------------------

void TFormMain::HeaderControlSectionTrack(int item, int width) {
  const KDConfig& config = Config();
  const int s = config.Boundaries() - item;
  if (s < 0) return;
  const int p = PixelToPosition(RoadViewMain->Viewport(),
                                RoadViewMain->HeaderControl()->ItemLeft(item) + width);
  SetStatusText(Format("Position %dm (previous sectionlength %dm, next sectionlength %dm)", p,
                       p - config.SectionPos(s, WHENCE_BEGIN),
                       config.SectionPos(s - 1, WHENCE_END) - p));
}

void TFormMain::HeaderControlSectionResize(int item, int width) {
  KDConfig& config = Config();
  const int s = config.Boundaries() - item;
  if (s < 0) return;
  const int x = RoadViewMain->HeaderControl()->ItemLeft(item) + width;
  const int p = ResizePosition(config, s, PixelToPosition(RoadViewMain->Viewport(), x));
  if (p == config.SectionPos(s, WHENCE_END)) return;
  // One undo point for the whole drag.
  if (!resizeUndoRecorded_) {
    RecordUndo(Text("LabelSectionResize"));
    resizeUndoRecorded_ = true;
  }
  config.SetSectionPos(s, p, WHENCE_END);
  ConfigurationChanged();
  RedrawRoad();
}

void TFormMain::HeaderControlSectionClick(int item) {
  clickedHeaderItem_ = item;
  const KDConfig& config = Config();
  const int s = config.Boundaries() - item;
  if (s < 0) return;
  ItemDeleteSection->setEnabled(config.Boundaries() > 0);
  ItemSplitSection->setEnabled(config.SectionLength(s) > 1);
  ItemSetEndOfSection->setEnabled(item != config.Boundaries());
  ItemSetBeginOfSection->setEnabled(item != 0);
  PopupMenuHeaderControl->popup(lastScreenPoint_);
}

void TFormMain::ItemSplitSectionClick() {
  KDConfig& config = Config();
  const int k = clickedHeaderItem_;
  const int s = config.Boundaries() - k;
  if (s < 0 || config.SectionLength(s) <= 1) return;
  if (mode_ == DOVEL && config.Boundaries() + 1 > 18) {
    UserMessage(ReportKind::Warning, "Warning", "Cannot insert another boundary");
    return;
  }
  const int clicked = headerClickPosition_;
  RoadEdit(Text("LabelInsertSectionBoundary"),
           [k, clicked](KDConfig& c, RoadEditSelection& selection) {
             std::string why = SplitSection(c, k, clicked);
             if (why.empty()) ShiftSelectionForHeader(selection, c.Boundaries(), k, +1);
             return why;
           });
}

void TFormMain::ItemDeleteSectionClick() {
  KDConfig& config = Config();
  const int k = clickedHeaderItem_;
  const int s = config.Boundaries() - k;
  if (s < 0 || config.Boundaries() <= 0) return;
  RoadEdit(Text("LabelDeleteSectionBoundary"), [k](KDConfig& c, RoadEditSelection& selection) {
    std::string why = DeleteSection(c, k);
    if (why.empty()) ShiftSelectionForHeader(selection, c.Boundaries(), k, -1);
    return why;
  });
}

void TFormMain::AskSectionValue(const std::string& caption, const std::string& prompt, int current,
                                int minimum, int maximum, const std::string& undoLabel,
                                const std::function<void(KDConfig&, int)>& store) {
  int value = 0;
  if (!AskValue(this, lastScreenPoint_.x(), lastScreenPoint_.y(), current, minimum, maximum, prompt,
                caption, value))
    return;
  // The dialog only accepts allowed values; the configuration may not have changed meanwhile.
  if (value < minimum || value > maximum) return;
  RecordUndo(undoLabel);
  store(Config(), value);
  ConfigurationChanged();
  RedrawRoad();
}

void TFormMain::ItemSetBeginOfSectionClick() {
  const KDConfig& config = Config();
  const int s = config.Boundaries() - clickedHeaderItem_;
  if (s < 0 || s >= config.Boundaries()) return;
  AskSectionValue("Edit section position",
                  "Enter new position for begin of section " + std::to_string(s + 1),
                  config.SectionPos(s, WHENCE_BEGIN), config.SectionPos(s + 1, WHENCE_BEGIN) + 1,
                  config.SectionPos(s, WHENCE_END) - 1, Text("LabelSetBeginOfSection"),
                  [s](KDConfig& c, int v) { c.SetSectionPos(s, v, WHENCE_BEGIN); });
}

void TFormMain::ItemSetEndOfSectionClick() {
  const KDConfig& config = Config();
  const int s = config.Boundaries() - clickedHeaderItem_;
  if (s <= 0) return;
  AskSectionValue("Edit section position",
                  "Enter new position for end of section " + std::to_string(s + 1),
                  config.SectionPos(s, WHENCE_END), config.SectionPos(s, WHENCE_BEGIN) + 1,
                  config.SectionPos(s - 1, WHENCE_END) - 1, Text("LabelSetEndOfSection"),
                  [s](KDConfig& c, int v) { c.SetSectionPos(s, v, WHENCE_END); });
}

void TFormMain::ItemEditSectionLengthClick() {
  const KDConfig& config = Config();
  const int s = config.Boundaries() - clickedHeaderItem_;
  if (s < 0) return;
  // The whole road must stay within what a configuration file can hold.
  const int maximum = std::min(1000000, 16777216 - (config.Length() - config.SectionLength(s)));
  AskSectionValue("Edit section length", "Enter new length for section " + std::to_string(s + 1),
                  config.SectionLength(s), 1, maximum, Text("LabelSetSectionLength"),
                  [s](KDConfig& c, int v) { c.SetSectionLength(s, v); });
}

// ---- Detector graphs -----------------------------------------------------------------------

void TFormMain::DetectorGraphRequest(int detector, const std::string& kind) {
  if (detectorGraphOpener_) {
    detectorGraphOpener_(detector, kind);
    return;
  }
  SetStatusText("Detector graphs are not available yet");
}

// ---- Road pieces ---------------------------------------------------------------------------

void TFormMain::ItemEditClick() {
  for (QAction* item : {ItemCut, ItemCopy, ItemPaste, ItemPasteBefore, ItemPasteAfter})
    if (item) item->setEnabled(false);
  // The flow table takes tab-separated values.
  if (ItemPaste && FlowPasteAvailable()) {
    ItemPaste->setEnabled(true);
    return;
  }
  if (!ItemCut || CurrentPage() != kPhysicalRoadLayoutPage || !currentPageItem_ ||
      FindPageEntry(ToText(currentPageItem_->objectName())) < 0 ||
      kPageEntries[FindPageEntry(ToText(currentPageItem_->objectName()))].Menu !=
          PageMenu::RoadDesign)
    return;
  ItemCut->setEnabled(true);
  ItemCopy->setEnabled(true);
  clipboardSectionCount_ = KDConfig::CheckAreaText(ReadClipboardText());
  const bool paste = clipboardSectionCount_ > 0;
  ItemPaste->setEnabled(paste);
  ItemPasteBefore->setEnabled(paste);
  ItemPasteAfter->setEnabled(paste);
  wholeCrossSection_ = WholeCrossSection(Config(), selection_);
  if (!wholeCrossSection_) ItemPaste->setEnabled(false);
}

void TFormMain::ItemCopyClick() {
  if (CurrentPage() != kPhysicalRoadLayoutPage) return;
  WriteClipboardText(CopySelection(Config(), selection_));
}

void TFormMain::ItemCutClick() {
  if (CurrentPage() != kPhysicalRoadLayoutPage) return;
  const bool whole = WholeCrossSection(Config(), selection_);
  const std::string piece = CopySelection(Config(), selection_);
  if (RoadEdit(Text("LabelCut"), [whole](KDConfig& c, RoadEditSelection& selection) {
        return CutSelection(c, selection, whole);
      }))
    WriteClipboardText(piece);
}

void TFormMain::PasteRoadPiece(PasteKind kind) {
  if (CurrentPage() != kPhysicalRoadLayoutPage) return;
  const std::string text = ReadClipboardText();
  if (KDConfig::CheckAreaText(text) <= 0) return;
  RoadEdit(Text("LabelPaste"), [&text, kind](KDConfig& c, RoadEditSelection& selection) {
    return PasteSelection(c, selection, text, kind);
  });
}

void TFormMain::ItemPasteClick() {
  if (FlowPasteClick()) return;
  if (!WholeCrossSection(Config(), selection_)) return;
  PasteRoadPiece(PasteKind::Replace);
}
void TFormMain::ItemPasteBeforeClick() { PasteRoadPiece(PasteKind::Before); }
void TFormMain::ItemPasteAfterClick() { PasteRoadPiece(PasteKind::After); }
