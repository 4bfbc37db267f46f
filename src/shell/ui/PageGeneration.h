#pragma once

#include <QWidget>
#include <functional>
#include <string>

class KDConfig;
class QLabel;
class QRadioButton;
class QScrollBar;

// The generation page of DOVEL mode ("Traffic: Generation"): the external model's traffic
// comes from an injection file or at a fixed flow. Every change records an undo point and goes
// through the configuration's setters, which pass it on to the model.
class TPageGeneration : public QWidget {
  Q_OBJECT

 public:
  explicit TPageGeneration(QWidget* parent = nullptr);

  /// The configuration edited; not owned.
  void SetConfig(KDConfig* config) { config_ = config; }
  /// Shows the configuration's values without calling the change handlers.
  void ShowValues();

  void SetUndoRecorder(std::function<void(const std::string&)> record) {
    recordUndo_ = std::move(record);
  }
  /// Asks for an injection file with the open dialog; false when none was chosen.
  void SetFileChooser(std::function<bool(std::string&)> choose) { choose_ = std::move(choose); }
  /// After every accepted change (the window caption shows the modification).
  void SetChanged(std::function<void()> changed) { changed_ = std::move(changed); }

  QRadioButton* RadioButtonInjectionFile = nullptr;
  QRadioButton* RadioButtonFixedFlow = nullptr;
  QLabel* LabelInjectionFileName = nullptr;
  QLabel* LabelCurrentFlow = nullptr;
  QScrollBar* ScrollBarCurrentFlow = nullptr;

 public slots:
  /// Either radio button, or a click on the file name (sender = the file name label).
  void RadioButtonInjectionFileClick(QObject* sender);
  void ScrollBarCurrentFlowChange(int position);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Record(const std::string& label);

  KDConfig* config_ = nullptr;
  bool showing_ = false;
  std::function<void(const std::string&)> recordUndo_;
  std::function<bool(std::string&)> choose_;
  std::function<void()> changed_;
};
