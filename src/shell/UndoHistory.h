#pragma once

#include <cstddef>
#include <memory>
#include <string>

class KDConfig;

// The undo history: up to eleven labelled copies of the configuration, each taken just before
// an edit. Undo and Redo hand out a fresh copy of a stored one, which becomes the current
// configuration; the stored copies are never edited.
//
// Top is the newest undo point (-1: nothing to undo); the slots above Top hold the states Redo
// returns to, up to Max. An Undo from the newest point first stores the present configuration,
// unlabelled, above it, so that Redo can come back to it.
class UndoHistory {
 public:
  static constexpr int kSlots = 11;

  UndoHistory();
  ~UndoHistory();
  UndoHistory(const UndoHistory&) = delete;
  UndoHistory& operator=(const UndoHistory&) = delete;

  /// Stores a copy of `current` labelled `label` as the newest undo point. A new edit ends
  /// what could be redone; when all slots are in use the oldest point is dropped.
  void Record(const std::string& label, const KDConfig& current);
  bool CanUndo() const { return top_ >= 0; }
  bool CanRedo() const { return top_ < max_ - 1; }
  /// The configuration before the newest undo point's edit, as a new object (model-bound: in
  /// DOVEL mode it becomes the external model's configuration); none when there is nothing to
  /// undo. `current` is the configuration that is replaced.
  std::unique_ptr<KDConfig> Undo(const KDConfig& current);
  /// The configuration after the edit Undo took back last, as a new object; none when there
  /// is nothing to redo.
  std::unique_ptr<KDConfig> Redo();
  /// The label of the edit Undo (Redo) would take back (repeat); empty when there is none.
  std::string UndoLabel() const;
  std::string RedoLabel() const;
  /// Nothing to undo or redo (New, Open). The copies are released.
  void Clear();

  int Top() const { return top_; }
  int Max() const { return max_; }
  /// Bytes held by the stored copies (an estimate from the configuration's own sizes).
  std::size_t MemoryBytes() const;

 private:
  struct Entry {
    std::string label;
    std::unique_ptr<KDConfig> config;
  };
  Entry slots_[kSlots];
  int top_ = -1;
  int max_ = -1;
};

/// The captions of Edit > Undo and Edit > Redo: the base caption ("&Undo") followed by a
/// blank and the label of the edit, or the base caption alone when the entry is disabled.
std::string UndoMenuCaption(const std::string& baseCaption, bool enabled, const std::string& label);
