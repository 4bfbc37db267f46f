// The Edit menu of the main window: undo and redo of configuration edits.

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "config/KDConfig.h"
#include "config/ProgramError.h"
#include "shell/ui/FormMain.h"
#include "shell/ui/PageSettings.h"
#include "shell/ui/QtText.h"

// After File, before the page menus.
void TFormMain::CreateEditMenu() {
  MenuEdit = new QMenu("&Edit", this);
  MenuEdit->setObjectName("MenuEdit");
  QAction* before = pageMenus_[0] ? pageMenus_[0]->menuAction() : nullptr;
  menuBar()->insertMenu(before, MenuEdit);
  ItemUndo = MenuEdit->addAction(FromText(Text("LabelUndoCaption")));
  ItemUndo->setObjectName("ItemUndo");
  ItemUndo->setShortcut(QKeySequence("Ctrl+Z"));
  connect(ItemUndo, &QAction::triggered, this, &TFormMain::ItemUndoClick);
  ItemRedo = MenuEdit->addAction(FromText(Text("LabelRedoCaption")));
  ItemRedo->setObjectName("ItemRedo");
  ItemRedo->setShortcut(QKeySequence("Ctrl+Y"));
  connect(ItemRedo, &QAction::triggered, this, &TFormMain::ItemRedoClick);
  UpdateUndoMenu();
}

void TFormMain::RecordUndo(const std::string& label) {
  if (!document_) return;
  undo_.Record(label, document_->Config());
  UpdateUndoMenu();
}

void TFormMain::ItemUndoClick() {
  if (!undo_.CanUndo()) {
    // Only reachable while the entry is disabled.
    Deliver({ReportKind::ProgramError, "Program Error", "Can't undo", false});
    return;
  }
  std::unique_ptr<KDConfig> restored = undo_.Undo(document_->Config());
  if (restored) ConfigurationRestored(std::move(restored));
}

void TFormMain::ItemRedoClick() {
  if (!undo_.CanRedo()) {
    Deliver({ReportKind::ProgramError, "Program Error", "Nothing to redo", false});
    return;
  }
  std::unique_ptr<KDConfig> restored = undo_.Redo();
  if (restored) ConfigurationRestored(std::move(restored));
}

// Undo and Redo: the restored configuration becomes current and the shown page takes its
// values. Taking the new configuration returns the run controller to idle (batch run 0), so
// the next step sets a new run up and a batch cannot be resumed on it.
void TFormMain::ConfigurationRestored(std::unique_ptr<KDConfig> restored) {
  document_->ReplaceConfig(std::move(restored));
  UpdateUndoMenu();
  if (currentPageItem_) ItemSetModeClick(currentPageItem_);
}

void TFormMain::UpdateUndoMenu() {
  if (!ItemUndo || !ItemRedo) return;
  ItemRedo->setEnabled(undo_.CanRedo());
  ItemRedo->setText(
      FromText(UndoMenuCaption(Text("LabelRedoCaption"), undo_.CanRedo(), undo_.RedoLabel())));
  ItemUndo->setEnabled(undo_.CanUndo());
  ItemUndo->setText(
      FromText(UndoMenuCaption(Text("LabelUndoCaption"), undo_.CanUndo(), undo_.UndoLabel())));
}

void TFormMain::ClearUndoHistory() {
  undo_.Clear();
  UpdateUndoMenu();
}
