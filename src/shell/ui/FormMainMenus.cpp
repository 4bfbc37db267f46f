#include <QAction>
#include <QActionGroup>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QUrl>
#include <QVBoxLayout>

#include "config/ProgramError.h"
#include "config/ProgramMode.h"
#include "shell/PageCatalogue.h"
#include "shell/ui/FormMain.h"
#include "shell/ui/FormSplash.h"
#include "shell/ui/PageRun.h"
#include "shell/ui/QtText.h"

namespace {

const char* const kPageMenuCaptions[3] = {"&Road design", "&Traffic", "&Simulate"};
const char* const kPageMenuNames[3] = {"MenuRoadDesign", "MenuTraffic", "MenuSimulate"};
const char* const kPageProperty = "page";

const char* const kHelpNotShown =
    "No program to show the help was found. The help is the file\r\n%s\r\nOpen it in a web "
    "browser.";

}  // namespace

void TFormMain::CreateMenus() {
  for (int m = 0; m < 3; ++m) {
    pageMenus_[m] = menuBar()->addMenu(kPageMenuCaptions[m]);
    pageMenus_[m]->setObjectName(kPageMenuNames[m]);
    pageGroups_[m] = new QActionGroup(this);
    pageGroups_[m]->setExclusive(true);
  }
  for (int i = 0; i < kPageEntryCount; ++i) {
    const PageEntry& entry = kPageEntries[i];
    int m = static_cast<int>(entry.Menu);
    QAction* action = pageMenus_[m]->addAction(entry.Caption);
    action->setObjectName(entry.Item);
    action->setCheckable(true);
    action->setProperty(kPageProperty, entry.Page);
    pageGroups_[m]->addAction(action);
    connect(action, &QAction::triggered, this, [this, action] { ItemSetModeClick(action); });
    entryActions_.push_back(action);
  }

  // The analysis windows connect their entries; the detector graph entries follow a separator.
  MenuView = menuBar()->addMenu("&View");
  MenuView->setObjectName("MenuView");
  const char* const viewEntries[][2] = {
      {"ItemTrajectories", "&Trajectories"},
      {"ItemUContourGraph", "&U contour graph"},
      {"ItemListObjects", "&List objects"},
      {"ItemCapacityDistribution", "&Capacity distribution"},
      {"ItemDeleteAllDetectorGraphs", "&Delete all detector graphs"}};
  for (const auto& [name, caption] : viewEntries) {
    QAction* action = MenuView->addAction(caption);
    action->setObjectName(name);
  }

  MenuHelp = menuBar()->addMenu("&Help");
  MenuHelp->setObjectName("MenuHelp");
  QAction* contents = MenuHelp->addAction("&Contents");
  contents->setObjectName("ItemContents");
  connect(contents, &QAction::triggered, this, &TFormMain::ItemContentsClick);
  QAction* about = MenuHelp->addAction("&About");
  about->setObjectName("ItemAbout");
  connect(about, &QAction::triggered, this, &TFormMain::ItemAboutClick);
  helpOpener_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

void TFormMain::CreatePages() {
  auto* central = new QWidget(this);
  central->setObjectName("PanelMain");
  PageControl = new QStackedWidget(central);
  PageControl->setObjectName("PageControl");
  for (const int* page = kPageNumbers; *page != 0; ++page) {
    auto* sheet = new QWidget;
    sheet->setObjectName(QString("TabSheet%1").arg(*page));
    sheet->setProperty(kPageProperty, *page);
    auto* layout = new QVBoxLayout(sheet);
    auto* title = new QLabel(FromText(PageTitle(*page)), sheet);
    title->setObjectName(QString("LabelPageTitle%1").arg(*page));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);
    layout->addStretch();
    PageControl->addWidget(sheet);
  }

  PanelNextPrev = new QWidget(central);
  PanelNextPrev->setObjectName("PanelNextPrev");
  BitBtnPrev = new QPushButton("&Previous", PanelNextPrev);
  BitBtnPrev->setObjectName("BitBtnPrev");
  BitBtnNext = new QPushButton("&Next", PanelNextPrev);
  BitBtnNext->setObjectName("BitBtnNext");
  connect(BitBtnPrev, &QPushButton::clicked, this, &TFormMain::BitBtnPrevClick);
  connect(BitBtnNext, &QPushButton::clicked, this, &TFormMain::BitBtnNextClick);
  auto* buttons = new QHBoxLayout(PanelNextPrev);
  buttons->addStretch();
  buttons->addWidget(BitBtnPrev);
  buttons->addWidget(BitBtnNext);

  auto* layout = new QVBoxLayout(central);
  layout->addWidget(PageControl, 1);
  layout->addWidget(PanelNextPrev);
  setCentralWidget(central);
  statusBar()->setObjectName("StatusBar");
  resize(900, 600);
}

// Hides the entries of the other mode and ticks the initial entry of each page menu; the
// physical road layout page is shown first.
void TFormMain::ShowModeEntries() {
  PageRun->SetProgramMode(mode_);
  ShowRoadEditingMode();
  // The external model's call log exists in DOVEL mode only.
  ItemDovelCalls->setVisible(mode_ == DOVEL);
  for (int i = 0; i < kPageEntryCount; ++i) entryActions_[i]->setVisible(EntryVisible(i, mode_));
  for (PageMenu menu : {PageMenu::RoadDesign, PageMenu::Traffic, PageMenu::Simulate})
    entryActions_[InitialEntry(menu, mode_)]->setChecked(true);
  ItemSetModeClick(EntryAction(InitialEntry(PageMenu::RoadDesign, mode_)));
  ViewMenuOpened();
}

QAction* TFormMain::EntryAction(int entry) const {
  return entry >= 0 && entry < static_cast<int>(entryActions_.size()) ? entryActions_[entry]
                                                                      : nullptr;
}

QAction* TFormMain::PageItem(const char* item) const { return EntryAction(FindPageEntry(item)); }

int TFormMain::CurrentPage() const {
  QWidget* sheet = PageControl->currentWidget();
  return sheet ? sheet->property(kPageProperty).toInt() : 0;
}

void TFormMain::BitBtnNextClick() {
  int current = FindPageEntry(currentPageItem_ ? currentPageItem_->objectName().toStdString() : "");
  ItemSetModeClick(EntryAction(NextPageEntry(current, mode_)));
}

void TFormMain::BitBtnPrevClick() {
  int current = FindPageEntry(currentPageItem_ ? currentPageItem_->objectName().toStdString() : "");
  ItemSetModeClick(EntryAction(PreviousPageEntry(current, mode_)));
}

void TFormMain::ItemContentsClick() {
  // In DOVEL mode there is no help file.
  if (helpFileName_.empty()) return;
  const QString path = QFileInfo(FromText(helpFileName_)).absoluteFilePath();
  // Without a program that shows web pages the user opens the file by hand.
  if (!helpOpener_ || !helpOpener_(QUrl::fromLocalFile(path)))
    UserMessage(ReportKind::Information, "Help",
                Format(kHelpNotShown, ToText(QDir::toNativeSeparators(path)).c_str()));
}

void TFormMain::ItemAboutClick() {
  // A window of its own over the main window: the start-up window has no parent, and without
  // a window manager a window without parent may open behind the main window.
  if (!aboutBox_) aboutBox_ = new TFormSplash(this);
  aboutBox_->SetProgram(FromText(programName_), version_);
  aboutBox_->ShowAbout();
}
