// Undo steps and the grouping of typing into words.
#include "app/document/undo_history.h"

#include <utility>

namespace morvik {

void UndoHistory::Record(RecordedEdit edit, const SelectionRange& before, EditKind kind,
                         bool word_character) {
  redo_.clear();
  if (group_depth_ > 0) {
    if (!group_has_step_) {
      undo_.push_back(NewStep({}, group_before_, before));
      group_has_step_ = true;
    }
    undo_.back().edits.push_back(std::move(edit));
    return;
  }
  const bool continues_word = kind == EditKind::kTypedCharacter && typing_ == Typing::kInserting &&
                              word_character && edit.offset == typing_position_;
  // Backspace removes the character before the last deletion, Delete the
  // one at the same place.
  const bool continues_deletion =
      kind == EditKind::kDeletedCharacter && typing_ == Typing::kDeleting &&
      (edit.offset + edit.removed.size() == typing_position_ || edit.offset == typing_position_);
  if (continues_word || continues_deletion) {
    typing_position_ = edit.offset + edit.inserted.size();
    undo_.back().edits.push_back(std::move(edit));
    return;
  }
  switch (kind) {
    case EditKind::kTypedCharacter:
      typing_ = Typing::kInserting;
      break;
    case EditKind::kDeletedCharacter:
      typing_ = Typing::kDeleting;
      break;
    case EditKind::kCommand:
      typing_ = Typing::kNone;
      break;
  }
  typing_position_ = edit.offset + edit.inserted.size();
  std::vector<RecordedEdit> edits;
  edits.push_back(std::move(edit));
  undo_.push_back(NewStep(std::move(edits), before, before));
}

void UndoHistory::SetSelectionAfter(const SelectionRange& after) {
  if (!undo_.empty()) undo_.back().after = after;
}

void UndoHistory::BeginGroup(const SelectionRange& before) {
  if (group_depth_++ == 0) {
    typing_ = Typing::kNone;
    group_has_step_ = false;
    group_before_ = before;
  }
}

void UndoHistory::EndGroup(const SelectionRange& after) {
  if (group_depth_ == 0 || --group_depth_ > 0) return;
  if (group_has_step_) undo_.back().after = after;
  group_has_step_ = false;
}

UndoStep UndoHistory::PopUndo() {
  typing_ = Typing::kNone;
  group_has_step_ = false;
  UndoStep step = std::move(undo_.back());
  undo_.pop_back();
  return step;
}

UndoStep UndoHistory::PopRedo() {
  typing_ = Typing::kNone;
  UndoStep step = std::move(redo_.back());
  redo_.pop_back();
  return step;
}

void UndoHistory::Clear() {
  undo_.clear();
  redo_.clear();
  typing_ = Typing::kNone;
  group_has_step_ = false;
}

}  // namespace morvik
