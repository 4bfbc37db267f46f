#pragma once

#include <QObject>
#include <string>
#include <vector>

class QWidget;

// Applies the interface text patch file (patches/Tree.h) to the program's windows, finding
// components by their object names. Every window is patched once: the main window while it is
// being created, every other window whose object name begins with "Form" when it is first
// shown (PatchOnShow), so windows patch themselves without code of their own. A window that
// fills lists from its hidden text labels before it is first shown calls PatchForm itself
// first; a second call does nothing.
//
// A component is looked up among everything its owner holds, at any depth, but not inside
// other windows (menus excepted); with two of the same name the later one is patched. The
// component kinds and what each property does:
//
//   kind (Qt class)                     Left     Hint (tool tip)   Caption
//   panel (QFrame, plain QWidget)       move     set               ignored
//   label (QLabel)                      move     set               set
//   radio button (QRadioButton)         move     set               set
//   button (other QAbstractButton but
//           check boxes)                move     set               set
//   combo box (QComboBox)               move     set               refused
//   edit field (QLineEdit, spin boxes)  move     set               refused
//   radio group (QGroupBox)             ignored  set               set (title)
//   menu entry (QAction, QMenu)         ignored  set (status tip)  set
//   anything else                       ignored  set               refused
//
// "Move" adds the value to the control's left position. A control placed by a layout keeps the
// place the layout gives it: the layout makes room for a longer text by itself.

/// The patch file the windows read; empty means no patches.
void SetPatchFile(const std::string& fileName);
const std::string& PatchFile();

/// Applies the patch lines of the window that contains `control`, unless that window has been
/// patched already. Lines whose numbers are in `skip` were applied before (PatchFormPart).
void PatchForm(QWidget* control, const std::vector<int>& skip = {});

/// Applies now only the lines of `window`'s patches whose component lies inside `part`, and
/// returns their line numbers for PatchForm to skip. The main window patches its text labels
/// this way before the pages that read them are built.
std::vector<int> PatchFormPart(QWidget* window, QWidget* part);

/// Applies one patch line to `window`; problems are shown as messages ("Error"). PatchForm
/// shows them with the patch file's name and the line's number after the text.
void PatchObject(QWidget* window, const std::string& line);

/// True once PatchForm has run for `window`.
bool IsPatched(const QWidget* window);

/// Patches every window named "Form..." when it is first shown. Installed once on the
/// application; later calls do nothing.
void InstallPatchOnShow();

class PatchOnShow : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};
