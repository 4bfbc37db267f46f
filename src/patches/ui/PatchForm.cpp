#include "patches/ui/PatchForm.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QWidget>
#include <algorithm>
#include <functional>

#include "config/ProgramError.h"
#include "patches/Tree.h"

namespace {

const char* const kPatchedProperty = "kavroPatched";

std::string& PatchFileName() {
  static std::string name;
  return name;
}

QString FromFileText(const std::string& text) { return QString::fromUtf8(Windows1252ToUtf8(text)); }

// Messages name the line of the patch file after the text, when it is known.
std::string Located(const std::string& text, const std::string& where) {
  return where.empty() ? text : text + "\r\n" + where;
}

void ReportPatchError(const std::string& text, const std::string& where) {
  UserMessage(ReportKind::Error, "Error", Located(text, where));
}

// What a patch can do to a component depends on its kind.
enum class Kind { Panel, Label, RadioButton, Button, ComboBox, Edit, RadioGroup, MenuItem, Other };

Kind KindOf(QObject* component) {
  if (qobject_cast<QAction*>(component) || qobject_cast<QMenu*>(component)) return Kind::MenuItem;
  if (qobject_cast<QLabel*>(component)) return Kind::Label;
  if (qobject_cast<QRadioButton*>(component)) return Kind::RadioButton;
  if (qobject_cast<QCheckBox*>(component)) return Kind::Other;
  if (qobject_cast<QAbstractButton*>(component)) return Kind::Button;
  if (qobject_cast<QComboBox*>(component)) return Kind::ComboBox;
  if (qobject_cast<QLineEdit*>(component) || qobject_cast<QAbstractSpinBox*>(component))
    return Kind::Edit;
  if (qobject_cast<QGroupBox*>(component)) return Kind::RadioGroup;
  // Grids, memos and lists are frames too, but no panels.
  if (qobject_cast<QAbstractScrollArea*>(component)) return Kind::Other;
  if (qobject_cast<QFrame*>(component)) return Kind::Panel;
  if (component->isWidgetType() && component->metaObject() == &QWidget::staticMetaObject)
    return Kind::Panel;
  return Kind::Other;
}

bool Moves(Kind kind) {
  return kind == Kind::Panel || kind == Kind::Label || kind == Kind::RadioButton ||
         kind == Kind::Button || kind == Kind::ComboBox || kind == Kind::Edit;
}

bool LayoutHolds(QLayout* layout, QWidget* widget) {
  for (int i = 0; i < layout->count(); ++i) {
    QLayoutItem* item = layout->itemAt(i);
    if (item->widget() == widget) return true;
    if (item->layout() && LayoutHolds(item->layout(), widget)) return true;
  }
  return false;
}

bool PlacedByLayout(QWidget* widget) {
  QWidget* parent = widget->parentWidget();
  return parent && parent->layout() && LayoutHolds(parent->layout(), widget);
}

// Everything `owner` holds at any depth, in creation order, without looking into other
// windows; menus belong to the window whose menu bar or pop-up shows them.
void FindLast(QObject* owner, const QString& name, QObject*& last) {
  for (QObject* child : owner->children()) {
    if (child->objectName() == name) last = child;
    auto* widget = qobject_cast<QWidget*>(child);
    if (widget && widget->isWindow() && !qobject_cast<QMenu*>(widget)) continue;
    FindLast(child, name, last);
  }
}

QObject* FindOwned(QObject* owner, const std::string& name) {
  QObject* last = nullptr;
  FindLast(owner, FromFileText(name), last);
  return last;
}

void SetCaption(QObject* component, Kind kind, const QString& text, const std::string& where) {
  switch (kind) {
    case Kind::Panel:
      break;
    case Kind::Label:
      static_cast<QLabel*>(component)->setText(text);
      break;
    case Kind::RadioButton:
    case Kind::Button:
      static_cast<QAbstractButton*>(component)->setText(text);
      break;
    case Kind::RadioGroup:
      static_cast<QGroupBox*>(component)->setTitle(text);
      break;
    case Kind::MenuItem:
      if (auto* menu = qobject_cast<QMenu*>(component))
        menu->setTitle(text);
      else
        static_cast<QAction*>(component)->setText(text);
      break;
    default:
      UserMessage(ReportKind::Warning, "", Located(kPatchRefused, where));
      break;
  }
}

void SetHint(QObject* component, Kind kind, const QString& text) {
  if (kind == Kind::MenuItem) {
    QAction* action = qobject_cast<QAction*>(component);
    if (!action) action = static_cast<QMenu*>(component)->menuAction();
    action->setStatusTip(text);
    action->setToolTip(text);
  } else if (auto* widget = qobject_cast<QWidget*>(component)) {
    widget->setToolTip(text);
  }
}

void Apply(QObject* component, const ParsedPatch& patch, const std::string& where) {
  const Kind kind = KindOf(component);
  switch (patch.Property) {
    case PatchProperty::Left: {
      auto* widget = qobject_cast<QWidget*>(component);
      if (Moves(kind) && widget && !PlacedByLayout(widget))
        widget->move(widget->x() + patch.Left, widget->y());
      break;
    }
    case PatchProperty::Hint:
      SetHint(component, kind, FromFileText(patch.Value));
      break;
    case PatchProperty::Caption:
      SetCaption(component, kind, FromFileText(patch.Value), where);
      break;
  }
}

// The component a patch line names, or none (reported unless `quiet`).
QObject* Resolve(QWidget* window, const std::string& line, const ParsedPatch& patch, bool quiet,
                 const std::string& where) {
  if (!patch.PathError.empty()) {
    if (!quiet) ReportPatchError(patch.PathError, where);
    return nullptr;
  }
  QObject* current = window;
  for (const std::string& name : patch.Path) {
    current = FindOwned(current, name);
    if (!current) {
      if (!quiet) ReportPatchError(MissingComponentMessage(name, line), where);
      return nullptr;
    }
  }
  return current;
}

void ApplyResolved(QObject* component, const ParsedPatch& patch, const std::string& where) {
  if (!patch.PropertyError.empty()) {
    ReportPatchError(patch.PropertyError, where);
    return;
  }
  // A failure inside the user interface while a property is set leaves the line without
  // effect.
  try {
    Apply(component, patch, where);
  } catch (...) {
  }
}

std::string Where(const PatchLine& line) {
  return Format("%s(line %d)", PatchFileName().c_str(), line.LineNo);
}

void PatchLineAt(QWidget* window, const std::string& line, const std::string& where) {
  ParsedPatch patch = ParsePatchLine(line);
  if (QObject* component = Resolve(window, line, patch, false, where))
    ApplyResolved(component, patch, where);
}

bool ReadPatches(QWidget* window, std::vector<PatchLine>& lines) {
  if (PatchFileName().empty()) return false;
  Tree tree;
  if (!tree.ReadFile(PatchFileName())) return false;
  lines = tree.LinesFor(window->objectName().toStdString());
  return true;
}

}  // namespace

void SetPatchFile(const std::string& fileName) { PatchFileName() = fileName; }

const std::string& PatchFile() { return PatchFileName(); }

bool IsPatched(const QWidget* window) { return window->property(kPatchedProperty).toBool(); }

void PatchObject(QWidget* window, const std::string& line) { PatchLineAt(window, line, ""); }

void PatchForm(QWidget* control, const std::vector<int>& skip) {
  QWidget* window = control->window();
  if (IsPatched(window)) return;
  window->setProperty(kPatchedProperty, true);
  std::vector<PatchLine> lines;
  if (!ReadPatches(window, lines)) return;
  for (const PatchLine& line : lines) {
    if (std::find(skip.begin(), skip.end(), line.LineNo) != skip.end()) continue;
    PatchLineAt(window, line.Text, Where(line));
  }
}

std::vector<int> PatchFormPart(QWidget* window, QWidget* part) {
  std::vector<int> applied;
  std::vector<PatchLine> lines;
  if (IsPatched(window) || !ReadPatches(window, lines)) return applied;
  for (const PatchLine& line : lines) {
    ParsedPatch patch = ParsePatchLine(line.Text);
    QObject* component = Resolve(window, line.Text, patch, true, "");
    bool inside = false;
    for (QObject* at = component; at && !inside; at = at->parent()) inside = at == part;
    if (!inside) continue;
    ApplyResolved(component, patch, Where(line));
    applied.push_back(line.LineNo);
  }
  return applied;
}

bool PatchOnShow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show && watched->isWidgetType()) {
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->isWindow() && widget->objectName().startsWith("Form") && !IsPatched(widget))
      PatchForm(widget);
  }
  return QObject::eventFilter(watched, event);
}

void InstallPatchOnShow() {
  static PatchOnShow* filter = nullptr;
  if (filter || !qApp) return;
  filter = new PatchOnShow(qApp);
  qApp->installEventFilter(filter);
}
