#include "shell/ui/FormMain.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>

#include "config/DovelLink.h"
#include "config/ProgramError.h"
#include "config/ProgramFiles.h"
#include "config/ProgramMode.h"
#include "extmodel/DovelCalls.h"
#include "extmodel/UdovLibrary.h"
#include "extmodel/UdovMessages.h"
#include "kernel/Kernel.h"
#include "patches/ui/PatchForm.h"
#include "roadview/ui/PageLaneChangeAreas.h"
#include "roadview/ui/PageODNames.h"
#include "shell/KernelSimulation.h"
#include "shell/ModelSimulation.h"
#include "shell/PageChange.h"
#include "shell/RunController.h"
#include "shell/RunObserverFanOut.h"
#include "shell/TextPatches.h"
#include "shell/ui/DesktopProgram.h"
#include "shell/ui/FormMessages.h"
#include "shell/ui/FormSplash.h"
#include "shell/ui/PageBatch.h"
#include "shell/ui/PageRun.h"
#include "shell/ui/QtText.h"
#include "shell/ui/ViewsRunObserver.h"
#include "views/ui/FormContours.h"
#include "views/ui/FormTrajectories.h"

TFormMain::TFormMain(const StartupInfo& startup, TFormSplash* splash, QWidget* parent)
    : QMainWindow(parent), splash_(splash) {
  setObjectName("FormMain");
  FormCreate(startup);
}

TFormMain::~TFormMain() {
  if (settingsRead_) WriteSettings();
  // The lane change area fields commit when they lose the focus, which closing does too.
  if (PageLaneChangeAreas) PageLaneChangeAreas->StopCommits();
  // The run page follows the run controller: it goes first.
  SetRunControl(nullptr);
  delete PageRun;
  PageRun = nullptr;
  // The batch page's runner is the run controller's batch engine.
  delete PageBatch;
  PageBatch = nullptr;
  // The names page stores pending names when it goes, while the configuration still exists.
  delete PageODNames;
  PageODNames = nullptr;
  if (udov_) {
    udov_->Calls().SetErrorHandler(nullptr);
    SetModelMessageSink(nullptr);
    Dovel::SetLogSink(nullptr);
    Dovel::Connect(nullptr);
  }
}

// The start-up work of the main window, in the order the program has always followed.
void TFormMain::FormCreate(const StartupInfo& startup) {
  version_ = BuiltProgramVersion();
  CreateMenus();
  CreateFileMenu();
  CreateEditMenu();
  CreateDebugMenu();
  CreatePages();
  CreateLowerArea();

  idleTimer_ = new QTimer(this);
  idleTimer_->setInterval(0);  // fires whenever the event queue has run empty
  connect(idleTimer_, &QTimer::timeout, this, &TFormMain::CommandLineIdleTick);

  ModeDecision decision = DecideProgramMode(startup.ExecutablePath);
  programName_ = decision.ProgramName;
  programDirectory_ =
      decision.ProgramDirectory.empty() ? startup.ExecutableDirectory : decision.ProgramDirectory;
  setWindowTitle(FromText(programName_));
  QCoreApplication::setApplicationName(FromText(programName_));

  CreateTextLabels();
  FormMessages = new TFormMessages(this);
  FormMessages->SetFileChooser([this](const FileDialogRequest& request, std::string& name) {
    return ChooseFile(request, name);
  });
  // Interface text patches: the hidden text labels first, whose captions become the texts the
  // pages below are built with; the rest of the window once all its pages exist. The file
  // beside the program wins over an installed one.
  SetPatchFile(FindProgramFile(programDirectory_, programName_ + ".tre", ProgramFileKind::Data));
  InstallPatchOnShow();
  const std::vector<int> patchedTexts = PatchFormPart(this, textLabels_);
  CopyPatchedTexts();
  CreateRunPages();
  CreateViewWindows();
  CreateTrafficPages();

  // The default configuration is built before the mode is known, under KAVRO rules.
  SetProgramMode(KAVRO);
  startedWithoutParameters_ = startup.Parameters.empty();
  document_ = std::make_unique<ConfigDocument>(texts_, *this);
  AttachConfiguration();

  if (decision.Mode == 0) {
    Deliver({ReportKind::Error, Text("LabelError"), kRenameMessage, true});
    return;
  }
  mode_ = decision.Mode;
  SetProgramMode(mode_);
  FormMessages->SetProgramMode(mode_);
  if (mode_ == KAVRO) {
    helpFileName_ = FindHelpFile(programDirectory_, programName_);
  } else if (!StartExternalModel()) {
    return;
  }
  ShowModeEntries();
  if (splash_) splash_->SetProgram(FromText(programName_), version_);
  // Every page of the window exists from here on.
  PatchForm(this, patchedTexts);

  if (!startup.Parameters.empty())
    OpenConfigurationFromCommandLine(startup.Parameters[0]);
  else if (mode_ == DOVEL)
    document_->New();  // the configuration made before the mode was known had KAVRO rules
  document_->SetDocumentName(document_->CurrentFileName());

  commandLine_ =
      std::make_unique<CommandLineIdle>(startup.Parameters, mode_, texts_, outputs_, *this, batch_);
  idleTimer_->start();
}

bool TFormMain::StartExternalModel() {
  std::string error;
  udov_ = UdovLibrary::Load(UdovLibraryPath(programDirectory_), error);
  if (!udov_) {
    Deliver({ReportKind::Error, Text("LabelError"), error, true});
    return false;
  }
  // The configuration forwards its changes to the model and reads .dov files through it.
  Dovel::Connect(&udov_->Calls());
  ShowModelSurfaceDetails();
  SetDovelDefaultFile(FindProgramFile(programDirectory_, "New.dov", ProgramFileKind::Data));
  Dovel::Open_test_file(programDirectory_ + "TestFile.txt");
  Dovel::Set_errorhandler(
      [this](int severity, const std::string& text, const std::string& caption) {
        ReportModelMessage(*this, severity, text, caption);
      });
  // Runs drive the model instead of the kernel.
  simulation_ = nullptr;
  run_->SetSimulation(
      std::make_unique<ModelSimulation>([this] { return document_->CurrentFileName(); }));
  return true;
}

void TFormMain::OpenConfigurationFromCommandLine(const std::string& fileName) {
  document_->SetOpenDialogName(fileName);
  document_->OpenConfiguration();
}

void TFormMain::SetBatchEngine(BatchEngine* batch) {
  batch_ = batch;
  if (commandLine_) commandLine_->SetBatchEngine(batch);
}

void TFormMain::CreateTextLabels() {
  textLabels_ = new QWidget(this);
  textLabels_->setObjectName("PanelTexts");
  textLabels_->setVisible(false);
  for (const auto& [label, text] : texts_.Entries()) {
    auto* widget = new QLabel(FromText(text), textLabels_);
    widget->setObjectName(QString::fromLatin1(label.c_str()));
  }
}

void TFormMain::CopyPatchedTexts() {
  for (QLabel* label : textLabels_->findChildren<QLabel*>()) {
    const std::string name = ToText(label->objectName());
    const std::string text = ToText(label->text());
    if (!texts_.Has(name) || text == texts_.Text(name)) continue;
    if (SetPatchedText(texts_, name, text)) continue;
    Deliver({ReportKind::Error, "Error",
             Format("The patched text of %s, \"%s\", must hold the same %% directives as the "
                    "program's own text, \"%s\", which is used instead.",
                    name.c_str(), text.c_str(), texts_.Text(name).c_str()),
             false});
    label->setText(FromText(texts_.Text(name)));
  }
}

void TFormMain::CommandLineIdleTick() {
  if (!commandLine_) return;
  commandLine_->OnIdle();
  if (TerminateRequested()) RequestApplicationExit(1);
  if (!commandLine_->WantsIdle()) idleTimer_->stop();
}

void TFormMain::HideSplash() {
  if (splash_) splash_->hide();
}

std::string TFormMain::CurrentDirectory() const { return ToText(QDir::currentPath()); }

void TFormMain::Terminate() { RequestApplicationExit(0); }

void TFormMain::AppendMessageLine(const std::string& line) {
  if (FormMessages) FormMessages->AddLine(line);
}

std::vector<std::string> TFormMain::MessageLines() const {
  return FormMessages ? FormMessages->Lines() : std::vector<std::string>();
}

void TFormMain::SetStatusText(const std::string& text) { statusBar()->showMessage(FromText(text)); }

void TFormMain::ProcessEvents() {
  // A message can arrive while an earlier one still lets events run.
  if (processingEvents_) return;
  processingEvents_ = true;
  QCoreApplication::processEvents();
  processingEvents_ = false;
}

void TFormMain::FatalStop() { RequestApplicationExit(1); }
