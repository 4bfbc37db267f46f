#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shell/CommandLine.h"
#include "shell/CommandLineIdle.h"
#include "shell/ModelMessages.h"
#include "shell/ProgramIdentity.h"
#include "shell/TextTable.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QPushButton;
class QStackedWidget;
class QTimer;
class QUrl;
class TFormSplash;
class UdovLibrary;

/// What the program was started with.
struct StartupInfo {
  std::string ExecutablePath;             // as started (argv[0]): decides the mode
  std::string ExecutableDirectory;        // folder of the real executable, with a final "/"
  std::vector<std::string> Parameters;    // the command-line parameters after the program name
};

// The main window: the menus that choose the pages, the page area, and the status bar. It owns
// the program's text table, output file settings and the command-line machine, which it drives
// from the event loop's idle moments.
class TFormMain : public QMainWindow, public CommandLineHost, public ModelMessageView {
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

  // CommandLineHost
  void HideSplash() override;
  std::string CurrentFileName() const override { return currentFileName_; }
  void SetCurrentFileName(const std::string& name) override { currentFileName_ = name; }
  std::string CurrentDirectory() const override;
  std::vector<std::string> MessageLines() const override { return messageLines_; }
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

  int mode_ = 0;
  std::string programName_;
  std::string programDirectory_;
  ProgramVersion version_;
  std::string helpFileName_;
  std::string currentFileName_;
  std::vector<std::string> messageLines_;
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
  QActionGroup* pageGroups_[3] = {};
  std::vector<QAction*> entryActions_;
  QAction* currentPageItem_ = nullptr;
  QStackedWidget* PageControl = nullptr;
  QWidget* textLabels_ = nullptr;
  QPushButton* BitBtnNext = nullptr;
  QPushButton* BitBtnPrev = nullptr;
  QWidget* PanelNextPrev = nullptr;
};
