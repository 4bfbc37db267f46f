#pragma once

#include <QPoint>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "views/ObjectListTable.h"

class Kernel;
class QMenu;
class QStatusBar;
class QTableWidget;
struct FileDialogRequest;

// A snapshot of every road object of the kernel at the moment the window was made: the rows
// never change. The user can save them as a tab-separated file, jump to an object's leader or
// follower in its lane and find a vehicle by number.
class TFormObjectList : public QWidget {
  Q_OBJECT

 public:
  TFormObjectList(const Kernel& kernel, int stepCount, int stepsPerSecond,
                  QWidget* parent = nullptr);

  const std::vector<ObjectListRow>& Rows() const { return rows_; }
  int StepCount() const { return stepCount_; }
  /// The grid's current data row (0 = first object); -1 when none.
  int CurrentRow() const;
  void SetCurrentRow(int row);
  QString StatusText() const;
  std::string Text(const char* label) const;

  /// The save dialog (a default name in, the chosen name out) and the value dialog (the
  /// current value in, the entered one out); tests answer them.
  using FileChooser = std::function<bool(const std::string& filter, std::string& name)>;
  using ValueAsker =
      std::function<std::optional<int>(const std::string& caption, const std::string& prompt,
                                       int current, int low, int high, QPoint at)>;
  void SetFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }
  void SetValueAsker(ValueAsker asker) { asker_ = std::move(asker); }

  /// Saves the rows, the header included, as a tab-separated text; false with a message.
  bool SaveTo(const std::string& fileName);
  void ItemSaveAsClick();
  /// A right click on data row `row` at screen point `at`: remembers both and opens the menu
  /// unless `openMenu` is false (tests).
  void GridRightClick(int row, QPoint at, bool openMenu = true);
  void ItemGotoLeaderClick();
  void ItemGotoFollowerClick();
  void ItemFindVehicleClick();

  QTableWidget* StringGridObjects = nullptr;
  QStatusBar* StatusBar = nullptr;
  QMenu* PopupMenuGoto = nullptr;
  QAction* ItemGotoLeader = nullptr;
  QAction* ItemGotoFollower = nullptr;
  QAction* ItemFindVehicle = nullptr;

  /// Shared by all object list windows: the row last clicked with the right button and the
  /// vehicle number last searched for.
  static int RightClickRow;
  static int LastSearchedVehicle;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void CellSelected();
  std::vector<std::string> Header() const;

  std::vector<ObjectListRow> rows_;
  int stepCount_ = 0;
  std::string baseStatus_;
  bool shownOnce_ = false;
  QPoint rightClickPoint_;
  FileChooser chooser_;
  ValueAsker asker_;
  QWidget* texts_ = nullptr;
};
