// ViewController: what keys, clicks and input-method text do to a document,
// without any window system.
//
// A document view is split in two: this controller decides where the caret
// and the selection go and which edits reach the model (TRichEditEx); the
// widget in gui/ paints, scrolls, turns Qt's events into the calls below
// and answers the questions of ViewHost (how wide the text is drawn, how
// many lines fit, where the view is scrolled).
//
// Positions are lines and columns: a column is a character (a double-byte
// character, or a byte that is no Shift_JIS character, is one column), as
// DecodeSjis gives them. Every position is mapped through the model's
// character counts, which it keeps per chunk, so nothing here reads a whole
// line or a whole text: a line of 50 MB moves and types like a short one.
#ifndef MORVIK_APP_VIEW_VIEW_CONTROLLER_H_
#define MORVIK_APP_VIEW_VIEW_CONTROLLER_H_

#include <compare>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "app/document/rich_edit_ex.h"

namespace morvik {

// A place in the text: a raw line of the model and a character column.
struct TextPoint {
  std::size_t line = 0;
  std::size_t column = 0;
  friend auto operator<=>(const TextPoint&, const TextPoint&) = default;
};

// What the controller asks of the widget that shows the document.
class ViewHost {
 public:
  virtual ~ViewHost() = default;
  // x of the caret before column of line, from the line's left edge; and
  // the column whose caret position is nearest to x.
  virtual double XOfColumn(std::size_t line, std::size_t column) = 0;
  virtual std::size_t ColumnAtX(std::size_t line, double x) = 0;
  // Whole lines on one screen: what Page Up and Page Down move by.
  virtual std::size_t PageLines() = 0;
  // The line shown at the top, and scrolling it.
  virtual std::size_t FirstVisibleLine() = 0;
  virtual void ScrollToLine(std::size_t top) = 0;
  // The caret moved: it shows steadily again and the input method learns
  // where it is. Then the view scrolls it into sight (ShowCaret) and draws
  // again (Redraw), where the controller asks for it.
  virtual void CaretMoved() = 0;
  virtual void ShowCaret() = 0;
  virtual void Redraw() = 0;
  // An edit was refused: message says why, or is empty when the document
  // takes no edits (a long command works on it) and a beep says enough.
  virtual void Refuse(const std::string& message) = 0;
  // The controller is about to replace removed characters at char_position
  // (of the whole text): the last chance to read what goes.
  virtual void AboutToReplace(std::size_t /*char_position*/, std::size_t /*removed*/) {}
};

class ViewController {
 public:
  enum class Motion {
    kCharLeft,
    kCharRight,
    kLineUp,
    kLineDown,
    kLineStart,
    kLineEnd,
    kDocumentStart,
    kDocumentEnd,
    kPageUp,
    kPageDown,
    kWordLeft,
    kWordRight,
  };

  ViewController(TRichEditEx& document, ViewHost& host);

  TRichEditEx& Document() const { return document_; }

  // --- Positions
  std::size_t LineCount() const;
  std::size_t LineLength(std::size_t line) const;
  std::size_t OffsetOf(TextPoint point) const;
  TextPoint PointOf(std::size_t offset) const;
  std::size_t CharPositionOf(TextPoint point) const;
  TextPoint ClampPoint(TextPoint point) const;

  // --- Caret and selection
  // The caret, and the other end of the selection (the caret itself when
  // nothing is selected).
  TextPoint CaretPoint() const;
  TextPoint AnchorPoint() const;
  std::size_t CaretOffset() const;
  bool HasSelection() const;
  bool IsInsideSelection(TextPoint point) const;
  void SelectRange(TextPoint anchor, TextPoint caret);
  void MoveCaret(TextPoint caret, bool keep_anchor);
  // Where motion takes the caret from; Up and Down keep to the x where a
  // run of them started.
  TextPoint MotionTarget(Motion motion, TextPoint from);
  // A motion key, with Shift (keep_anchor) or without.
  void ApplyMotion(Motion motion, bool keep_anchor);
  void SelectAll();
  // The model moved the caret (a command, undo): forget the kept x and
  // show the caret where it went.
  void ModelSelectionChanged();
  // True while the controller itself changes the model's selection or text.
  bool ChangingModel() const { return changing_model_; }

  // --- Editing. Text comes with the characters Shift_JIS cannot hold
  // already left out (the widget's adapter knows them); a line break is
  // u'\n'.
  // True, after a beep, when the document takes no edits now.
  bool RefuseWhileReadOnly();
  // Replaces the selection, or inserts at the caret; empty text deletes the
  // selection.
  void ReplaceSelection(std::u16string_view text);
  // Replaces removed characters at char_position (of the whole text) with
  // text, as an assistive tool asks.
  void EditCharacters(std::size_t char_position, std::size_t removed, std::u16string_view text);
  // A typed character: in overwrite mode it takes the place of the
  // character after the caret (never of a line break).
  void TypeText(std::u16string_view text);
  // Deletes the selection, or the characters between the caret and to.
  void DeleteTowards(TextPoint to);
  void DeleteNextCharacter();
  void DeletePreviousCharacter();
  void DeleteNextWord();
  void DeletePreviousWord();
  // Deletes to the line's end; at the end, the line break.
  void DeleteToLineEnd();
  void Undo();
  void Redo();
  bool Overwrite() const { return overwrite_; }
  void ToggleOverwrite();
  // Replaces the selection with bytes copied or dragged from a Morvik view.
  void InsertDocumentBytes(std::string_view bytes);
  // Moves the selected text to point as one undo step (a drag within the
  // view); nothing when point lies inside the selection.
  void MoveSelectedTextTo(TextPoint point);

  // --- Words: the run of one class around point, and word motion.
  std::pair<std::size_t, std::size_t> WordAt(TextPoint point) const;

  // --- The mouse.
  // A left press. True when it fell inside the selection (and neither
  // Shift nor a triple click): the text may be dragged away, and Release
  // with inside_selection places the caret if it was not.
  bool Press(TextPoint point, bool shift, bool triple_click);
  void DoubleClick(TextPoint point);
  // The button moves while held: the selection grows by the unit the press
  // chose (characters, words, lines).
  void DragTo(TextPoint point);
  bool Dragging() const { return drag_unit_ != DragUnit::kNone; }
  // The button is released; true when a drag selection ended.
  bool EndDrag();

  // --- The input method.
  // Characters around the caret that the input method replaces (a
  // reconversion): selects them so that the commit takes their place.
  void SelectForReplacement(long long start, std::size_t length);
  // The composition shown at the caret until committed.
  void SetPreedit(std::u16string text, std::size_t cursor);
  const std::u16string& Preedit() const { return preedit_; }
  std::size_t PreeditCursor() const { return preedit_cursor_; }

  // Up to count characters of line from column first (never the whole of a
  // long line unless asked).
  std::u16string LineChars(std::size_t line, std::size_t first, std::size_t count) const;

 private:
  enum class DragUnit { kNone, kCharacter, kWord, kLine };

  void ReplaceCharacters(std::size_t char_position, std::size_t removed_chars,
                         std::u16string_view text);
  void AfterModelEdit();
  std::size_t NextWord(TextPoint from) const;
  std::size_t PreviousWord(TextPoint from) const;

  TRichEditEx& document_;
  ViewHost& host_;
  // The caret is the selection's start (a selection made leftwards or
  // upwards); the model keeps only start and length.
  bool caret_at_start_ = false;
  // The x that Up and Down keep to across shorter lines.
  std::optional<double> preferred_x_;
  bool changing_model_ = false;
  // Insert toggles it: typed characters replace those after the caret.
  bool overwrite_ = false;

  DragUnit drag_unit_ = DragUnit::kNone;
  TextPoint drag_origin_first_;  // the word or line the drag started on
  TextPoint drag_origin_last_;

  std::u16string preedit_;
  std::size_t preedit_cursor_ = 0;
};

}  // namespace morvik

#endif  // MORVIK_APP_VIEW_VIEW_CONTROLLER_H_
