#include "shell/ui/DesktopProgram.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "config/TerminateScope.h"
#include "kernel/Kernel.h"
#include "shell/KernelSimulation.h"
#include "shell/TextPatches.h"
#include "shell/UnattendedBatch.h"
#include "shell/ui/FormMain.h"
#include "shell/ui/FormSplash.h"
#include "shell/ui/PageBatch.h"
#include "shell/ui/QtText.h"

namespace {

int pendingExitCode = -1;

void ExitWhenNoModalWindow() {
  if (pendingExitCode < 0) return;  // cancelled
  if (QApplication::activeModalWidget()) {
    QTimer::singleShot(50, ExitWhenNoModalWindow);
    return;
  }
  int exitCode = pendingExitCode;
  pendingExitCode = -1;
  QCoreApplication::exit(exitCode);
}

// The command line's batch as the desktop program makes it: the batch page is shown, the runs
// are made by the headless engine (on all cores), and their rows fill the page's grid.
class PageShowingBatch : public BatchEngine {
 public:
  PageShowingBatch(TFormMain& form, UnattendedBatch& engine) : form_(form), engine_(engine) {}
  void ShowBatchPage() override {
    if (QAction* batch = form_.PageItem("ItemBatch")) form_.ItemSetModeClick(batch);
  }
  void StartBatch(const BatchRequest& request) override {
    engine_.StartBatch(request);
    TPageBatch* page = form_.BatchPage();
    const BatchRunner* runner = engine_.Runner();
    if (!page || !runner) return;
    page->EditNumberOfRuns->setText(QString::number(request.Runs));
    page->Runner().Settings().NumberOfRuns = request.Runs;
    page->Runner().SetNumberOfRuns(request.Runs, true);
    for (const BatchRow& row : runner->Rows())
      if (!row.Started.empty()) page->Runner().SetRow(row);
  }
  bool BatchFinished() const override { return engine_.BatchFinished(); }
  bool SaveBatchResultsUnattended() override { return engine_.SaveBatchResultsUnattended(); }
  // The batch runs the file the program opened at start-up.
  int DetectorCount() const override { return form_.Config().DetectorCount(); }

 private:
  TFormMain& form_;
  UnattendedBatch& engine_;
};

}  // namespace

void RequestApplicationExit(int exitCode) {
  bool scheduled = pendingExitCode >= 0;
  // A failure decides the exit status even when a normal end was asked for first.
  if (exitCode > pendingExitCode) pendingExitCode = exitCode;
  if (!scheduled) QTimer::singleShot(0, ExitWhenNoModalWindow);
}

void CancelApplicationExit() { pendingExitCode = -1; }

ReportIcon IconForReport(const Report& report) {
  switch (report.kind) {
    case ReportKind::Error:
    case ReportKind::Warning:
      return ReportIcon::Exclamation;
    case ReportKind::ProgramError:
    case ReportKind::Assertion:
      return ReportIcon::Warning;
    case ReportKind::FatalError:
      return ReportIcon::Critical;
    case ReportKind::Information:
      break;
  }
  return ReportIcon::Information;
}

void InstallMessageBoxHook() {
  SetReportHook([](const Report& report) {
    QMessageBox::Icon icon = QMessageBox::Information;
    switch (IconForReport(report)) {
      case ReportIcon::Exclamation:
      case ReportIcon::Warning:
        icon = QMessageBox::Warning;
        break;
      case ReportIcon::Critical:
        icon = QMessageBox::Critical;
        break;
      case ReportIcon::Information:
        break;
    }
    QMessageBox box(icon, FromText(report.caption), FromText(report.text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
    if (report.stop) RequestApplicationExit(1);
  });
}

int RunDesktopProgram(int argc, char** argv) {
  // A stop anywhere in the program ends it with a non-zero status.
  TerminateScope terminate;
  QApplication::setApplicationName("U-KA-DOV");
  InstallMessageBoxHook();

  TFormSplash splash;
  splash.setWindowFlag(Qt::SplashScreen);
  splash.show();
  splash.repaint();
  QApplication::processEvents();

  StartupInfo startup;
  startup.ExecutablePath = argc > 0 ? argv[0] : "";
  startup.ExecutableDirectory = ToText(QCoreApplication::applicationDirPath()) + "/";
  for (int i = 1; i < argc; ++i) startup.Parameters.emplace_back(argv[i]);

  TFormMain form(startup, &splash);
  if (TerminateRequested()) return 1;
  // The command line's batch runs on the built-in kernel; its kernel messages go to the
  // messages window, which an unattended batch saves as its log.
  UnattendedBatch batch(
      form.OutputFiles(), form, nullptr, nullptr,
      [&form](KernelMessageSink& messages) {
        auto simulation = std::make_unique<KernelSimulation>();
        simulation->GetKernel().SetMessageSink(&messages);
        simulation->GetKernel().SetTexts(KernelTextsFrom(form.Texts()));
        return std::unique_ptr<RunSimulation>(std::move(simulation));
      },
      [&form](const std::string& line) { form.AppendMessageLine(line); });
  batch.SetQuestionHost(&form, [&form] { form.ItemSetModeClick(form.PageItem("ItemDetectors")); });
  PageShowingBatch shown(form, batch);
  form.SetBatchEngine(&shown);
  form.show();
  int status = QApplication::exec();
  return TerminateRequested() && status == 0 ? 1 : status;
}
