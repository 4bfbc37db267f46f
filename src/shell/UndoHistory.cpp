#include "shell/UndoHistory.h"

#include <utility>

#include "config/KDConfig.h"

UndoHistory::UndoHistory() = default;
UndoHistory::~UndoHistory() = default;

void UndoHistory::Record(const std::string& label, const KDConfig& current) {
  std::unique_ptr<KDConfig> copy = current.Duplicate(false);
  if (!copy) return;
  if (top_ == kSlots - 1) {
    // Full: the oldest point goes.
    for (int i = 0; i + 1 < kSlots; ++i) slots_[i] = std::move(slots_[i + 1]);
    slots_[kSlots - 1] = Entry();
  } else {
    ++top_;
  }
  // The states above the new point followed the old ones; Redo must not jump there and drop
  // this edit.
  max_ = top_;
  slots_[top_].label = label;
  slots_[top_].config = std::move(copy);
}

std::unique_ptr<KDConfig> UndoHistory::Undo(const KDConfig& current) {
  if (top_ < 0) return nullptr;
  if (top_ == max_ || slots_[top_ + 1].label.empty()) {
    // Keep the present state above the point being undone, for Redo.
    // A full history drops its oldest point here, so the point being undone moves down too.
    Record("", current);
    --top_;
  }
  std::unique_ptr<KDConfig> restored = slots_[top_].config->Duplicate(true);
  if (!restored) return nullptr;
  --top_;
  return restored;
}

std::unique_ptr<KDConfig> UndoHistory::Redo() {
  if (!CanRedo()) return nullptr;
  std::unique_ptr<KDConfig> restored = slots_[top_ + 2].config->Duplicate(true);
  if (!restored) return nullptr;
  ++top_;
  return restored;
}

std::string UndoHistory::UndoLabel() const { return CanUndo() ? slots_[top_].label : ""; }

std::string UndoHistory::RedoLabel() const { return CanRedo() ? slots_[top_ + 1].label : ""; }

void UndoHistory::Clear() {
  for (Entry& slot : slots_) slot = Entry();
  top_ = -1;
  max_ = -1;
}

std::size_t UndoHistory::MemoryBytes() const {
  std::size_t bytes = 0;
  for (const Entry& slot : slots_)
    if (slot.config) bytes += slot.config->MemoryBytes();
  return bytes;
}

std::string UndoMenuCaption(const std::string& baseCaption, bool enabled,
                            const std::string& label) {
  return enabled ? baseCaption + " " + label : baseCaption;
}
