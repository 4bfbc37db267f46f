#include "shell/ui/FormMessages.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "config/ProgramError.h"
#include "config/ProgramMode.h"
#include "shell/MessageLog.h"
#include "shell/TextTable.h"
#include "shell/ui/QtText.h"

TFormMessages::TFormMessages(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("FormMessages");
  setWindowTitle("DOVEL messages");
  // New lines show the window; the keyboard stays where the user works.
  setAttribute(Qt::WA_ShowWithoutActivating);

  texts_ = new QWidget(this);
  texts_->setObjectName("PanelTexts");
  texts_->setVisible(false);
  auto addText = [this](const char* name, const char* text) {
    auto* label = new QLabel(text, texts_);
    label->setObjectName(name);
  };
  addText("LabelKavroMessages", "KAVRO messages");
  addText("LabelFilter", "Log files (*.log)|*.log|All files (*.*)|*.*");
  addText("LabelCannotSave", "Cannot save the messages to %s: %s");
  addText("LabelError", "Error");

  MemoMessages = new QPlainTextEdit(this);
  MemoMessages->setObjectName("MemoMessages");
  MemoMessages->setReadOnly(true);
  MemoMessages->setLineWrapMode(QPlainTextEdit::NoWrap);
  MemoMessages->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  MemoMessages->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  BitBtnErase = new QPushButton("Erase messages", this);
  BitBtnErase->setObjectName("BitBtnErase");
  BitBtnSaveMessages = new QPushButton("Save messages", this);
  BitBtnSaveMessages->setObjectName("BitBtnSaveMessages");
  connect(BitBtnErase, &QPushButton::clicked, this, &TFormMessages::BitBtnEraseClick);
  connect(BitBtnSaveMessages, &QPushButton::clicked, this, &TFormMessages::BitBtnSaveMessagesClick);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(BitBtnErase);
  buttons->addWidget(BitBtnSaveMessages);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(MemoMessages, 1);
  layout->addLayout(buttons);
  resize(640, 240);
}

std::string TFormMessages::Text(const char* label) const {
  auto* widget = texts_->findChild<QLabel*>(label);
  return widget ? ToText(widget->text()) : std::string();
}

void TFormMessages::showEvent(QShowEvent* event) {
  if (!shownOnce_) {
    shownOnce_ = true;
    filter_ = Text("LabelFilter");
  }
  if (mode_ == KAVRO) setWindowTitle(FromText(Text("LabelKavroMessages")));
  QWidget::showEvent(event);
}

void TFormMessages::AddLine(const std::string& line) {
  MemoMessages->appendPlainText(FromText(line));
  // The newest line in view, from its start.
  QScrollBar* bar = MemoMessages->verticalScrollBar();
  bar->setValue(bar->maximum());
  MemoMessages->horizontalScrollBar()->setValue(0);
  if (!isVisible()) show();
}

std::vector<std::string> TFormMessages::Lines() const {
  std::vector<std::string> lines;
  if (MemoMessages->document()->isEmpty()) return lines;
  const QStringList parts = MemoMessages->toPlainText().split('\n');
  lines.reserve(static_cast<size_t>(parts.size()));
  for (const QString& part : parts) lines.push_back(ToText(part));
  return lines;
}

void TFormMessages::BitBtnEraseClick() { MemoMessages->clear(); }

void TFormMessages::BitBtnSaveMessagesClick() {
  FileDialogRequest request;
  request.Save = true;
  request.Filter = filter_.empty() ? Text("LabelFilter") : filter_;
  request.DefaultExtension = "log";
  std::string name = lastFile_;
  if (!chooser_ || !chooser_(request, name)) return;
  lastFile_ = name;
  std::string error;
  if (!SaveMessageLog(name, Lines(), error))
    UserMessage(ReportKind::Error, Text("LabelError"),
                FillStringDirectives(Text("LabelCannotSave"), {name, error}));
}
