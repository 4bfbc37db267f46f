#pragma once

#include <QImage>
#include <QMainWindow>
#include <QPoint>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "roadview/RoadEditing.h"
#include "roadview/ui/TrafficPageHost.h"
#include "shell/CommandLine.h"
#include "shell/CommandLineIdle.h"
#include "shell/ConfigDocument.h"
#include "shell/ModelMessages.h"
#include "shell/PageCatalogue.h"
#include "shell/ProgramIdentity.h"
#include "shell/TextTable.h"
#include "shell/UndoHistory.h"
#include "shell/UndoRecorder.h"

class KDConfig;
class KernelSimulation;
class PageRunControl;
class RunController;
class RunControllerPages;
class RunObserver;
class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QPushButton;
class QStackedWidget;
class QPlainTextEdit;
class QTimer;
class QUrl;
class TFormContours;
class TFormMessages;
class TFormTrajectories;
struct DiagramData;
class TFormSetupScreenDumps;
class TFormSplash;
class TPageRun;
class TPageSettings;
class TPageRoadLayout;
class TPageKAVROSurfaceDetails;
class TPageSpeedLimit;
class TPageDOVELSurfaceDetails;
class TPageDetectors;
class TPageTrafficControl;
class TPageLaneChangeBehavior;
class TPageLaneChangeAreas;
class TPageGeneration;
class UdovLibrary;

/// What the program was started with.
struct StartupInfo {
  std::string ExecutablePath;           // as started (argv[0]): decides the mode
  std::string ExecutableDirectory;      // folder of the real executable, with a final "/"
  std::vector<std::string> Parameters;  // the command-line parameters after the program name
};

// The main window: the menus that choose the pages, the page area, and the status bar. It owns
// the program's text table, output file settings and the command-line machine, which it drives
// from the event loop's idle moments.
class TFormMain : public QMainWindow,
                  public CommandLineHost,
                  public ModelMessageView,
                  public DocumentHost,
                  public UndoRecorder {
  Q_OBJECT

 public:
  /// Runs the start-up work of the main window. When the executable has a wrong name or the
  /// external model library cannot be loaded, the window reports it and asks to terminate.
  explicit TFormMain(const StartupInfo& startup, TFormSplash* splash = nullptr,
                     QWidget* parent = nullptr);
  ~TFormMain() override;

  const std::string& ProgramName() const { return programName_; }
  const ProgramVersion& Version() const { return version_; }
  int Mode() const { return mode_; }
  const std::string& HelpFileName() const { return helpFileName_; }
  const TextTable& Texts() const { return texts_; }
  /// A text of the text table, as patched.
  const std::string& Text(const std::string& label) const { return texts_.Text(label); }
  OutputFileSettings& OutputFiles() { return outputs_; }
  UdovLibrary* ModelLibrary() const { return udov_.get(); }
  CommandLineIdle& CommandLine() { return *commandLine_; }

  /// The batch engine the command line drives; null until batch runs are built in.
  void SetBatchEngine(BatchEngine* batch);
  /// Replaces how Help Contents opens the help file (tests).
  void SetHelpOpener(std::function<bool(const QUrl&)> opener) { helpOpener_ = std::move(opener); }

  /// The handler of every page entry: ticks it and shows its page.
  void ItemSetModeClick(QAction* entry);
  QAction* PageItem(const char* item) const;
  int CurrentPage() const;
  QAction* CurrentPageItem() const { return currentPageItem_; }

  // Documents and settings (FormMainFile.cpp)
  ConfigDocument& Document() { return *document_; }
  /// The current configuration.
  KDConfig& Config() { return document_->Config(); }
  /// An edit changed the configuration: the caption follows the modified state.
  void ConfigurationChanged() { document_->SetDocumentName(document_->CurrentFileName()); }
  using QuestionAsker = std::function<Answer(const Question&)>;
  using FileChooser = std::function<bool(const FileDialogRequest&, std::string&)>;
  /// Replace the message box questions and the file dialogs (tests answer them).
  void SetQuestionAsker(QuestionAsker asker) { asker_ = std::move(asker); }
  void SetFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }
  bool QuerySaveModified() { return document_->QuerySaveModified(); }
  /// The last used file entries of the File menu, in menu order.
  std::vector<QAction*> LastFileEntries() const { return lastFileEntries_; }
  void ItemNewClick();
  void ItemOpenClick();
  void ItemSaveClick();
  void ItemSaveAsClick();
  void ItemFileClick();
  void ItemPrintClick();
  void ItemExitClick();

  // Undo and redo (FormMainEdit.cpp). Every editing command calls RecordUndo(label) before
  // it changes the configuration (see shell/UndoRecorder.h).
  void RecordUndo(const std::string& label) override;
  void ItemUndoClick();
  void ItemRedoClick();
  /// Captions and enabled state of Edit > Undo and Edit > Redo.
  void UpdateUndoMenu();
  const UndoHistory& Undo() const { return undo_; }
  QMenu* EditMenu() const { return MenuEdit; }

  // Road editing (FormMainRoadEdit.cpp)
  /// Redraws the road with the drawing flags of the shown page and the selection, and enables
  /// the lane type commands the selection allows.
  void RedrawRoad();
  const RoadEditSelection& Selection() const { return selection_; }
  /// Selects a rectangle of the road (redraws when it changed).
  void SetSelection(const RoadEditSelection& selection);
  /// The highlighted object of the road view, a RoadDrawFlags word (bits 0 .. 26); every page
  /// change clears it.
  std::uint32_t CurrentSelection() const { return currentSelection_; }
  void SetCurrentSelection(std::uint32_t selection) { currentSelection_ = selection & 0x7ffffff; }
  /// Opens (or shows) the detector graph of `kind` ("qk", "uq", "uk", "qt", "kt", "ut", "Tt",
  /// "vt") for detector `detector` (from 0); the detector pop-up menu of the road view calls it.
  void SetDetectorGraphOpener(std::function<void(int, const std::string&)> opener) {
    detectorGraphOpener_ = std::move(opener);
  }
  void DetectorGraphRequest(int detector, const std::string& kind);
  TPageRoadLayout* RoadLayoutPage() const { return PageRoadLayout; }
  QMenu* RoadPopupMenu() const { return PopupMenuEditRoad; }
  QMenu* HeaderPopupMenu() const { return PopupMenuHeaderControl; }
  QMenu* DetectorPopupMenu() const { return PopupMenuDetectorGraph; }
  TPageKAVROSurfaceDetails* KavroSurfaceDetailsPage() const { return PageKAVROSurfaceDetails; }
  TPageSpeedLimit* SpeedLimitPage() const { return PageSpeedLimit; }
  TPageDOVELSurfaceDetails* DovelSurfaceDetailsPage() const { return PageDOVELSurfaceDetails; }
  TPageDetectors* DetectorsPage() const { return PageDetectors; }
  TPageTrafficControl* TrafficControlPage() const { return PageTrafficControl; }
  TPageLaneChangeBehavior* LaneChangeBehaviorPage() const { return PageLaneChangeBehavior; }
  TPageLaneChangeAreas* LaneChangeAreasPage() const { return PageLaneChangeAreas; }
  void SetLaneTypeClick(LaneTypeCommand command);
  /// One road edit as one undo point: tried on a copy first, refused with a warning.
  bool RoadEdit(const std::string& undoLabel,
                const std::function<std::string(KDConfig&, RoadEditSelection&)>& edit);
  void ItemEditClick();
  void ItemCutClick();
  void ItemCopyClick();
  void ItemPasteClick();
  void ItemPasteBeforeClick();
  void ItemPasteAfterClick();

  // Pages (FormMainPages.cpp)
  /// The run the page navigation stops and resets; none before a run controller exists.
  void SetRunControl(PageRunControl* run) { runControl_ = run; }
  /// The debug output area at the right of the page area.
  QPlainTextEdit* DebugOutput() const { return MemoDebug; }
  void DebugWrite(const std::string& text);
  QMenu* DebugMenu() const { return MenuDebug; }
  /// "&DOVEL DLL calls" is ticked: every external model call is logged in the debug output.
  bool ModelCallLogging() const;
  class TRoadView* RoadView() const {
    return RoadViewMain;
  }

  // The traffic demand pages (FormMainTraffic.cpp)
  class TPageODNames* ODNamesPage() const {
    return PageODNames;
  }
  class TPageComposition* CompositionPage() const {
    return PageComposition;
  }
  class TPageODMatrix* ODMatrixPage() const {
    return PageODMatrix;
  }
  class TPageFlowPerOrigin* FlowPerOriginPage() const {
    return PageFlowPerOrigin;
  }
  class TPageParameters* ParametersPage() const {
    return PageParameters;
  }
  /// The calls through which a page edits the current configuration.
  TrafficPageHost TrafficHost();
  /// Edit > Paste on the flow per origin page: whether the clipboard fits, and the paste
  /// itself (false on any other page).
  bool FlowPasteAvailable();
  bool FlowPasteClick();

  // The run (FormMainRun.cpp)
  RunController& Run() { return *run_; }
  KernelSimulation& Simulation() { return *simulation_; }
  TPageRun* RunPage() const { return PageRun; }
  TPageSettings* SettingsPage() const { return PageSettings; }
  TFormSetupScreenDumps* SetupScreenDumps() const { return FormSetupScreenDumps; }
  /// Kernel warnings and errors of a run and the external model's reports.
  TFormMessages* Messages() const { return FormMessages; }
  /// Draws the run's traffic over the road view while the run or settings page is shown;
  /// returns the number of vehicles, -1 when nothing was drawn.
  int RedrawVehicles();
  /// How often the traffic was drawn since the window was made.
  int TrafficRedrawCount() const { return trafficRedraws_; }
  /// The road view as shown, traffic included: the body of a screen dump.
  QImage RoadPicture() const;
  /// "&Write Screen Dump Files ...": the set-up dialog turns dumps on, a second choice off.
  void ItemWriteScreenDumpFilesClick();

  // The View menu and the analysis windows (FormMainViews.cpp)
  QAction* ViewItem(const char* name) const;
  QMenu* ViewMenu() const { return MenuView; }
  /// Sets the View entries' state as opening the menu does.
  void ViewMenuOpened();
  void ItemTrajectoriesClick();
  void ItemUContourGraphClick();
  void ItemListObjectsClick();
  void ItemCapacityDistributionClick();
  void ItemDeleteAllDetectorGraphsClick();
  TFormTrajectories* Trajectories() const { return FormTrajectories; }
  /// The contour window; none before the View entry was first chosen.
  TFormContours* Contours() const { return FormContours; }
  /// The run's tracks and dimensions for the diagrams.
  DiagramData DiagramRunData() const;
  /// Appends a View entry for a detector graph window, captioned like it; choosing the entry
  /// shows and restores the window, and the entry goes when the window is destroyed.
  QAction* AddDetectorGraphEntry(QWidget* window);
  std::vector<QAction*> DetectorGraphEntries() const;
  /// Takes a detector graph's entry out of the View menu and closes its window.
  void RemoveDetectorGraphEntry(QAction* entry);
  /// The capacity window, which "&Capacity distribution" rebuilds, and the test that enables
  /// the entry (the first batch row has a status).
  void SetCapacityWindow(QWidget* window, std::function<bool()> available) {
    capacityWindow_ = window;
    capacityAvailable_ = std::move(available);
  }
  /// The object list windows opened so far.
  const std::vector<class TFormObjectList*>& ObjectLists() const { return objectLists_; }
  /// The vehicle data window of a vehicle (the last made), none when there is none.
  class TFormVehicleData* VehicleDataWindow(int vehicle) const;
  const std::vector<class TFormVehicleData*>& VehicleDataWindows() const { return vehicleForms_; }
  /// Shows the vehicle's data window, making one when it has none.
  void OpenVehicleData(class RoadObject& vehicle);
  /// The vehicle of the run drawn at (x, y) of the road picture; none when there is none.
  class RoadObject* VehicleAtPoint(int x, int y) const;
  void RoadViewMouseDownForViews(int x, int y, Qt::MouseButton button);
  /// What the run does for the analysis windows.
  void RunStartedForViews();
  void VehiclesSampledForViews(int stepCount);
  // The batch page, the capacity window and the result entries (FormMainBatch.cpp)
  class TPageBatch* BatchPage() const {
    return PageBatch;
  }
  class TFormCapacity* CapacityWindow() const {
    return FormCapacity;
  }
  void ItemSaveBatchResultsAsClick();
  void ItemSaveSimulationResultsAsClick(bool extended);
  /// A trace entry: a ticked one is switched off, another asks for its file.
  void ItemTraceFileClick(QAction* item);
  /// Shows the graph of `kind` ("qk", "uq", "uk", "qt", "kt", "ut", "Tt", "vt") of `detector`
  /// (from 0): the open one, else a new one listed in the View menu. None for an unknown kind.
  class TFormGraph* ItemDetectorGraphClick(int detector, const std::string& kind);
  std::vector<class TFormGraph*> DetectorGraphs() const;
  /// Everything that follows the run besides the run page (batch page, graphs, tests).
  class RunObserverFanOut& RunFollowers() {
    return *runFollowers_;
  }

  // DocumentHost
  Answer Ask(const Question& question) override;
  bool ChooseFile(const FileDialogRequest& dialog, std::string& name) override;
  void CommitPendingEntry() override;
  void DocumentReplaced(bool opened) override;
  /// Undo or redo made a copy current: in DOVEL mode the model takes it over completely.
  void ConfigurationSwapped() override;
  void ShowCaption(const std::string& caption) override;
  void ShowStatus(const std::string& text) override { SetStatusText(text); }
  void LastUsedFilesChanged() override;

  // CommandLineHost
  void HideSplash() override;
  std::string CurrentFileName() const override { return document_->CurrentFileName(); }
  void SetCurrentFileName(const std::string& name) override { document_->SetDocumentName(name); }
  void AddLastUsedFile(const std::string& name) override { document_->AddLastUsedFile(name); }
  std::string CurrentDirectory() const override;
  /// The lines of the messages window.
  std::vector<std::string> MessageLines() const override;
  void Terminate() override;

  // ModelMessageView
  void AppendMessageLine(const std::string& line) override;
  void SetStatusText(const std::string& text) override;
  void ProcessEvents() override;
  void FatalStop() override;

 public slots:
  void BitBtnNextClick();
  void BitBtnPrevClick();
  void ItemContentsClick();
  void ItemAboutClick();

 private slots:
  void CommandLineIdleTick();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate(const StartupInfo& startup);
  void CreateMenus();
  void CreatePages();
  void CreateTextLabels();
  void CopyPatchedTexts();
  void ShowModeEntries();
  bool StartExternalModel();
  /// Opens the configuration named first on the command line; reading configuration files comes
  /// with the document commands, so for now the name is only taken as the current file.
  void OpenConfigurationFromCommandLine(const std::string& fileName);
  QAction* EntryAction(int entry) const;
  void CreateFileMenu();
  void CreateEditMenu();
  void CreateRoadEditing();
  void ShowRoadEditingMode();
  // Surface details and speed limits (FormMainSurface.cpp).
  void CreateSurfacePages();
  void RefreshSurfacePages(int page);
  /// The road view labels the external model's details as the model describes them.
  void ShowModelSurfaceDetails();
  // Detectors, traffic lights and lane change areas (FormMainFurniture.cpp).
  void CreateFurniturePages();
  void ShowFurniturePage(int page);
  void RefreshFurnitureLists(int page);
  void CreateLaneChangePages();
  /// What the shown page does with the road's presses; none for most pages.
  class RoadPageGestures* ShownPageGestures() const;
  void ImageRoadMouseDown(int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                          QPoint screen);
  void ImageRoadMouseMove(int x, int y, Qt::MouseButtons buttons, QPoint screen);
  void ImageRoadMouseUp(int x, int y, Qt::MouseButton button, QPoint screen);
  void LaneLabelMouseDown(int lane);
  void RoadContextMenu(QPoint screen);
  void HeaderControlSectionTrack(int item, int width);
  void HeaderControlSectionResize(int item, int width);
  void HeaderControlSectionClick(int item);
  void ItemSplitSectionClick();
  void ItemDeleteSectionClick();
  void ItemSetBeginOfSectionClick();
  void ItemSetEndOfSectionClick();
  void ItemEditSectionLengthClick();
  void AskSectionValue(const std::string& caption, const std::string& prompt, int current,
                       int minimum, int maximum, const std::string& undoLabel,
                       const std::function<void(KDConfig&, int)>& store);
  void PasteRoadPiece(PasteKind kind);
  void ConfigurationRestored(std::unique_ptr<KDConfig> restored);
  void ClearUndoHistory();
  void CreateLowerArea();
  /// Shows the current configuration in the road view and the pages.
  void AttachConfiguration();
  void CreateDebugMenu();
  void CreateRunPages();
  void CreateViewWindows();
  /// Puts a page's controls on its sheet; `gestures` takes the road's presses while it shows.
  void HostPage(int page, QWidget* content, class RoadPageGestures* gestures = nullptr);
  /// The shown page takes the configuration's values (settings) or rebuilds its legends (run).
  void ShowPageValues(int page);
  /// After every road redraw: the traffic of a shown run over it, or no traffic layer.
  void RoadRedrawn();
  /// An accepted run setting: the caption shows the modification, the run page its buttons.
  void RunSettingChanged();
  void CreateBatchPage();
  void CreateTrafficPages();
  void ShowTrafficPageValues(int page);
  /// New and Open: the parameter page asks the calibration question again.
  void TrafficConfigurationReplaced();
  void CreateResultMenuEntries();
  void ResultEntriesRefresh();
  void CreateDetectorGraphs();
  void SetUpDetectorGraphs(int numDetectors);
  void GraphGeometry(int& lanes, int& interval, int& firstTime) const;
  class GraphFollower;
  void ReadSettings();
  void WriteSettings();
  bool StartedWithoutParameters() const { return startedWithoutParameters_; }

  int mode_ = 0;
  std::string programName_;
  std::string programDirectory_;
  ProgramVersion version_;
  std::string helpFileName_;
  std::unique_ptr<ConfigDocument> document_;
  QuestionAsker asker_;
  FileChooser chooser_;
  PageRunControl* runControl_ = nullptr;
  bool startedWithoutParameters_ = true;
  bool settingsRead_ = false;
  int viewMenuBaseCount_ = 0;
  bool processingEvents_ = false;

  TextTable texts_;
  OutputFileSettings outputs_;
  BatchEngine* batch_ = nullptr;
  std::unique_ptr<CommandLineIdle> commandLine_;
  std::unique_ptr<UdovLibrary> udov_;
  std::function<bool(const QUrl&)> helpOpener_;

  TFormSplash* splash_;
  TFormSplash* aboutBox_ = nullptr;
  QTimer* idleTimer_ = nullptr;
  QMenu* pageMenus_[3] = {};
  QMenu* MenuView = nullptr;
  QMenu* MenuHelp = nullptr;
  QMenu* MenuFile = nullptr;
  QMenu* MenuEdit = nullptr;
  QAction* ItemUndo = nullptr;
  QAction* ItemRedo = nullptr;
  UndoHistory undo_;

  // Road editing
  TPageRoadLayout* PageRoadLayout = nullptr;
  TPageKAVROSurfaceDetails* PageKAVROSurfaceDetails = nullptr;
  TPageSpeedLimit* PageSpeedLimit = nullptr;
  TPageDOVELSurfaceDetails* PageDOVELSurfaceDetails = nullptr;
  TPageDetectors* PageDetectors = nullptr;
  TPageTrafficControl* PageTrafficControl = nullptr;
  TPageLaneChangeBehavior* PageLaneChangeBehavior = nullptr;
  TPageLaneChangeAreas* PageLaneChangeAreas = nullptr;
  int pressSection_ = -1;  // where the last selection drag started
  int pressLane_ = -1;
  class RoadPageGestures* gestures_[kBatchPage + 1] = {};  // by page number
  QMenu* PopupMenuEditRoad = nullptr;
  QMenu* PopupMenuHeaderControl = nullptr;
  QMenu* PopupMenuDetectorGraph = nullptr;
  QAction* laneTypeItems_[kLaneTypeCommands] = {};
  QAction* ItemDeleteSection = nullptr;
  QAction* ItemSplitSection = nullptr;
  QAction* ItemEditSectionLength = nullptr;
  QAction* ItemSetEndOfSection = nullptr;
  QAction* ItemSetBeginOfSection = nullptr;
  QAction* ItemDetectorTitle = nullptr;
  QAction* ItemCut = nullptr;
  QAction* ItemCopy = nullptr;
  QAction* ItemPaste = nullptr;
  QAction* ItemPasteBefore = nullptr;
  QAction* ItemPasteAfter = nullptr;
  RoadEditSelection selection_;
  std::uint32_t currentSelection_ = 0;
  bool selectingArea_ = false;
  int downX_ = 0;
  QPoint lastScreenPoint_;
  int clickedHeaderItem_ = 0;
  int headerClickPosition_ = 0;  // [m]
  bool resizeUndoRecorded_ = false;
  bool wholeCrossSection_ = true;
  int clipboardSectionCount_ = 0;
  int menuDetector_ = 0;
  std::function<void(int, const std::string&)> detectorGraphOpener_;
  QMenu* MenuDebug = nullptr;
  QAction* separatorLastFiles_ = nullptr;
  std::vector<QAction*> lastFileEntries_;
  QPlainTextEdit* MemoDebug = nullptr;
  QStackedWidget* PanelLower = nullptr;
  class TRoadView* RoadViewMain = nullptr;
  QWidget* PanelParameterGrid = nullptr;
  QWidget* PanelBatchGrid = nullptr;
  QAction* ItemDebugToggle = nullptr;
  QAction* ItemDovelCalls = nullptr;
  QAction* ItemDrawTapers = nullptr;
  QActionGroup* pageGroups_[3] = {};
  std::vector<QAction*> entryActions_;
  QAction* currentPageItem_ = nullptr;
  QStackedWidget* PageControl = nullptr;
  QWidget* textLabels_ = nullptr;
  QPushButton* BitBtnNext = nullptr;
  QPushButton* BitBtnPrev = nullptr;
  QWidget* PanelNextPrev = nullptr;

  // Kernel warnings of the run go to the messages window, not into a box that halts the run.
  std::unique_ptr<class LineKernelMessageSink> kernelMessages_;
  // Light and lane detector states of the run go into the shown configuration.
  std::unique_ptr<class KernelFurnitureObserver> furniture_;
  KernelSimulation* simulation_ = nullptr;  // owned by run_
  std::unique_ptr<RunController> run_;
  std::unique_ptr<RunControllerPages> runPages_;
  int trafficRedraws_ = 0;
  TPageRun* PageRun = nullptr;
  TPageSettings* PageSettings = nullptr;
  TPageGeneration* PageGeneration = nullptr;
  TFormSetupScreenDumps* FormSetupScreenDumps = nullptr;
  TFormMessages* FormMessages = nullptr;
  TFormTrajectories* FormTrajectories = nullptr;
  TFormContours* FormContours = nullptr;
  QAction* separatorDetectorGraphs_ = nullptr;
  QWidget* capacityWindow_ = nullptr;
  std::function<bool()> capacityAvailable_;
  std::function<bool(const std::string&, std::string&)> pictureChooser_;
  std::unique_ptr<class ViewsRunObserver> viewsObserver_;
  std::vector<class TFormObjectList*> objectLists_;
  std::vector<class TFormVehicleData*> vehicleForms_;
  void RefreshVehicleData(int stepCount);
  QAction* ItemWriteScreenDumpFiles = nullptr;
  class TPageBatch* PageBatch = nullptr;
  class TPageODNames* PageODNames = nullptr;
  class TPageComposition* PageComposition = nullptr;
  class TPageODMatrix* PageODMatrix = nullptr;
  class TPageFlowPerOrigin* PageFlowPerOrigin = nullptr;
  class TPageParameters* PageParameters = nullptr;
  class TFormCapacity* FormCapacity = nullptr;
  std::unique_ptr<class RunObserverFanOut> runFollowers_;
  QAction* ItemSaveSimulationResults = nullptr;
  QAction* ItemSaveBatchResultsAs = nullptr;
  std::vector<QAction*> traceEntries_;
  std::unique_ptr<RunObserver> graphFollower_;
};
