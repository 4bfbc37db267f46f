// The File menu of the main window: configuration documents, printing, the last used files and
// the settings store.

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>

#include "config/ProgramMode.h"
#include "shell/DocumentSettings.h"
#include "shell/PageChange.h"
#include "shell/RunController.h"
#include "shell/ui/FormMain.h"
#include "shell/ui/QtText.h"

namespace {

// The settings key of the current user, "Software\Marvenk\<program><major>.<minor>": the
// platform adds the "Software" level itself.
class QtSettingsStore : public SettingsStore {
 public:
  explicit QtSettingsStore(const QString& application)
      : settings_(QSettings::NativeFormat, QSettings::UserScope, "Marvenk", application) {}

  bool ReadInteger(const std::string& name, int& value) override {
    QVariant stored = settings_.value(QString::fromStdString(name));
    bool ok = false;
    int read = stored.toInt(&ok);
    if (!stored.isValid() || !ok) return false;
    value = read;
    return true;
  }
  bool ReadText(const std::string& name, std::string& value) override {
    QVariant stored = settings_.value(QString::fromStdString(name));
    if (!stored.isValid()) return false;
    value = ToText(stored.toString());
    return true;
  }
  void WriteInteger(const std::string& name, int value) override {
    settings_.setValue(QString::fromStdString(name), value);
  }
  void WriteText(const std::string& name, const std::string& value) override {
    settings_.setValue(QString::fromStdString(name), FromText(value));
  }
  bool Flush() override {
    settings_.sync();
    return settings_.status() == QSettings::NoError;
  }

 private:
  QSettings settings_;
};

QString QtFilter(const std::string& filter) { return FromText(DialogFilterText(filter)); }

QMessageBox::StandardButtons ButtonsOf(QuestionButtons buttons) {
  switch (buttons) {
    case QuestionButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case QuestionButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case QuestionButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
  }
  return QMessageBox::Ok;
}

}  // namespace

void TFormMain::CreateFileMenu() {
  MenuFile = new QMenu("&File", this);
  MenuFile->setObjectName("MenuFile");
  QList<QAction*> bar = menuBar()->actions();
  menuBar()->insertMenu(bar.isEmpty() ? nullptr : bar.first(), MenuFile);
  auto add = [this](const char* name, const char* caption, QKeySequence shortcut,
                    void (TFormMain::*handler)()) {
    QAction* action = MenuFile->addAction(caption);
    action->setObjectName(name);
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, handler);
    return action;
  };
  add("ItemNew", "&New", QKeySequence("Ctrl+N"), &TFormMain::ItemNewClick);
  add("ItemOpen", "&Open ...", QKeySequence("Ctrl+O"), &TFormMain::ItemOpenClick);
  add("ItemSave", "&Save Configuration", QKeySequence("Ctrl+S"), &TFormMain::ItemSaveClick);
  add("ItemSaveAs", "Save Configuration &As ...", QKeySequence(), &TFormMain::ItemSaveAsClick);
  MenuFile->addSeparator()->setObjectName("SeparatorFileOutputs");
  add("ItemPrint", "&Print ...", QKeySequence("Ctrl+P"), &TFormMain::ItemPrintClick);
  QAction* setup = MenuFile->addAction("Print Set&up ...");
  setup->setObjectName("ItemPrintSetup");
  connect(setup, &QAction::triggered, this, [this] {
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    dialog.exec();
  });
  MenuFile->addSeparator()->setObjectName("SeparatorLastFilesTop");
  // The last used file entries go between the two separators.
  separatorLastFiles_ = MenuFile->addSeparator();
  separatorLastFiles_->setObjectName("SeparatorLastFiles");
  add("ItemExit", "E&xit", QKeySequence(), &TFormMain::ItemExitClick);
  connect(MenuFile, &QMenu::aboutToShow, this, &TFormMain::ItemFileClick);
  asker_ = [this](const Question& question) {
    QMessageBox box(QMessageBox::Question, FromText(question.Caption), FromText(question.Text),
                    ButtonsOf(question.Buttons), this);
    switch (box.exec()) {
      case QMessageBox::Yes:
        return Answer::Yes;
      case QMessageBox::No:
        return Answer::No;
      case QMessageBox::Ok:
        return Answer::Ok;
      default:
        return Answer::Cancel;
    }
  };
  chooser_ = [this](const FileDialogRequest& request, std::string& name) {
    QFileDialog dialog(this);
    dialog.setAcceptMode(request.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(QtFilter(request.Filter));
    QString extension = FromText(request.DefaultExtension);
    if (extension.startsWith('.')) extension.remove(0, 1);
    dialog.setDefaultSuffix(extension);
    if (!name.empty()) dialog.selectFile(FromText(name));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    name = ToText(dialog.selectedFiles().first());
    return true;
  };
}

Answer TFormMain::Ask(const Question& question) {
  return asker_ ? asker_(question) : Answer::Cancel;
}

bool TFormMain::ChooseFile(const FileDialogRequest& dialog, std::string& name) {
  return chooser_ && chooser_(dialog, name);
}

// Moving the focus to Next (or Previous) makes a grid or field commit what is being typed.
void TFormMain::CommitPendingEntry() {
  if (BitBtnNext && BitBtnNext->isVisible() && BitBtnNext->isEnabled())
    BitBtnNext->setFocus();
  else if (BitBtnPrev && BitBtnPrev->isVisible() && BitBtnPrev->isEnabled())
    BitBtnPrev->setFocus();
}

void TFormMain::ShowCaption(const std::string& caption) {
  setWindowTitle(FromText(caption));
  // Screen dumps name the current file.
  if (run_ && document_) run_->SetCurrentFileName(document_->CurrentFileName());
}

void TFormMain::ItemNewClick() { document_->New(); }
void TFormMain::ItemOpenClick() { document_->Open(); }
void TFormMain::ItemSaveClick() { document_->Save(); }
void TFormMain::ItemSaveAsClick() { document_->SaveAs(); }
void TFormMain::ItemExitClick() { close(); }

void TFormMain::LastUsedFilesChanged() {
  for (QAction* entry : lastFileEntries_) {
    MenuFile->removeAction(entry);
    entry->deleteLater();
  }
  lastFileEntries_.clear();
  for (const std::string& name : document_->LastUsed().Entries()) {
    auto* entry = new QAction(FromText(name), MenuFile);
    entry->setObjectName("ItemLastFile");
    MenuFile->insertAction(separatorLastFiles_, entry);
    connect(entry, &QAction::triggered, this, [this, name] { document_->OpenLastFile(name); });
    lastFileEntries_.push_back(entry);
  }
  ItemFileClick();
}

// Opening the File menu: the current file and entries beyond the fourth shown are hidden.
void TFormMain::ItemFileClick() {
  std::vector<int> shown = document_->LastUsed().ShownEntries(document_->CurrentFileName());
  for (size_t i = 0; i < lastFileEntries_.size(); ++i)
    lastFileEntries_[i]->setVisible(std::find(shown.begin(), shown.end(), static_cast<int>(i)) !=
                                    shown.end());
  separatorLastFiles_->setVisible(!shown.empty());
  if (ItemWriteScreenDumpFiles && run_)
    ItemWriteScreenDumpFiles->setChecked(run_->State().ScreenDumpEvery > 0);
}

void TFormMain::ItemPrintClick() {
  QPrinter printer;
  printer.setPageOrientation(QPageLayout::Landscape);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  QPixmap picture = centralWidget()->grab();
  QRect page = printer.pageRect(QPrinter::DevicePixel).toRect();
  int scale = PrintScale(page.width(), page.height(), picture.width(), picture.height());
  QSize size = picture.size() * scale;
  QPainter painter(&printer);
  painter.drawPixmap(
      QRect(QPoint((page.width() - size.width()) / 2, (page.height() - size.height()) / 2), size),
      picture);
}

void TFormMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (settingsRead_ || mode_ == 0) return;
  settingsRead_ = true;
  ReadSettings();
}

void TFormMain::closeEvent(QCloseEvent* event) {
  if (mode_ != 0 && !document_->QuerySaveModified()) {
    event->ignore();
    return;
  }
  if (runControl_) runControl_->StopRunning();
  event->accept();
}

void TFormMain::ReadSettings() {
  QtSettingsStore store(FromText(SettingsApplicationName(programName_, version_)));
  StoredSettings stored =
      ReadStoredSettings(store, StartedWithoutParameters(), document_->LastUsed());
  if (stored.HasPlacement) {
    move(stored.Placement.Left, stored.Placement.Top);
    resize(stored.Placement.Width, height());
  }
  LastUsedFilesChanged();
  if (!stored.CurrentDir.empty()) QDir::setCurrent(FromText(stored.CurrentDir));
}

void TFormMain::WriteSettings() {
  QtSettingsStore store(FromText(SettingsApplicationName(programName_, version_)));
  WindowPlacement placement{x(), y(), width()};
  if (!WriteStoredSettings(store, placement, document_->LastUsed(), StartedWithoutParameters(),
                           ToText(QDir::currentPath())))
    QMessageBox::information(nullptr, QString(), kSettingsWriteError);
}
