// The undo and redo steps of one document.
//
// A step is a list of byte edits, each keeping the exact bytes it removed,
// so undoing restores the very bytes that were there (duplicate characters
// and invalid bytes included), together with the selection before and after.
// Typing is grouped into words: single-character insertions at the typing
// position merge while they are word characters, and single-character
// deletions merge while they stay adjacent. A blank, a line break or other
// non-word character starts a new step (which the following word then
// joins); a caret jump, a command, undo or redo closes the typing step.
#ifndef MORVIK_APP_DOCUMENT_UNDO_HISTORY_H_
#define MORVIK_APP_DOCUMENT_UNDO_HISTORY_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace morvik {

struct SelectionRange {
  std::size_t start = 0;
  std::size_t length = 0;
  bool operator==(const SelectionRange&) const = default;
};

struct RecordedEdit {
  std::size_t offset = 0;
  std::string removed;
  std::string inserted;
  // A whole-text edit (a sort of a large file) holds only the bytes that
  // are not in the document, so that its step costs one copy of the text,
  // not two: while the step is done, inserted stays empty and the
  // document's text is what it inserted; while it is undone, removed stays
  // empty likewise. in_document is the length of the side left out.
  bool whole_text = false;
  std::size_t in_document = 0;
};

struct UndoStep {
  std::vector<RecordedEdit> edits;
  SelectionRange before;
  SelectionRange after;
  // Names the text this step leaves; never reused within a history.
  std::uint64_t id = 0;
};

// What an edit is, as far as typing is concerned.
enum class EditKind {
  kCommand,          // anything else: always a step of its own
  kTypedCharacter,   // one character inserted with nothing removed
  kDeletedCharacter  // one character removed with nothing inserted
};

class UndoHistory {
 public:
  // Records an edit made while the selection was before. Clears redo.
  void Record(RecordedEdit edit, const SelectionRange& before, EditKind kind, bool word_character);
  // The selection after the latest recorded step's edits.
  void SetSelectionAfter(const SelectionRange& after);

  // Edits recorded between the outermost BeginGroup and EndGroup form one step.
  void BeginGroup(const SelectionRange& before);
  // after: the selection when the group ends, kept as the step's.
  void EndGroup(const SelectionRange& after);
  bool InGroup() const { return group_depth_ > 0; }

  // Closes the typing step so that the next edit starts a new one.
  void BreakTyping() { typing_ = Typing::kNone; }
  // Where the next typed character continues the open typing step, if any.
  bool TypingOpen() const { return typing_ != Typing::kNone; }
  std::size_t TypingPosition() const { return typing_position_; }

  // Names the present text among those undo and redo reach: the id of the
  // newest undo step, 0 before any. A step that typing extends keeps its
  // id, so whoever remembers a state closes the typing step (BreakTyping).
  std::uint64_t State() const { return undo_.empty() ? 0 : undo_.back().id; }

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  UndoStep PopUndo();
  UndoStep PopRedo();
  void PushUndo(UndoStep step) { undo_.push_back(std::move(step)); }
  void PushRedo(UndoStep step) { redo_.push_back(std::move(step)); }
  void Clear();

 private:
  enum class Typing { kNone, kInserting, kDeleting };

  // A new step of the history, with an id of its own.
  UndoStep NewStep(std::vector<RecordedEdit> edits, const SelectionRange& before,
                   const SelectionRange& after) {
    return UndoStep{std::move(edits), before, after, ++last_id_};
  }

  std::vector<UndoStep> undo_;
  std::vector<UndoStep> redo_;
  std::uint64_t last_id_ = 0;
  Typing typing_ = Typing::kNone;
  std::size_t typing_position_ = 0;
  int group_depth_ = 0;
  bool group_has_step_ = false;
  SelectionRange group_before_;
};

}  // namespace morvik

#endif  // MORVIK_APP_DOCUMENT_UNDO_HISTORY_H_
