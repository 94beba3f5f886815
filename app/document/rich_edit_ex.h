// TRichEditEx: one document of the editor, as a model without any window.
//
// The document's text is a Shift_JIS byte string and the only truth; a view
// shows a decoded copy and follows the model through DocumentObserver. Bytes
// are kept exactly: loading then saving gives back the very bytes that were
// read (invalid sequences, NUL bytes, lone CR or LF, the code page's
// duplicate characters), and an edit changes only the bytes it touches.
//
// Positions (caret, selection, find hits) are byte offsets; a CR LF counts
// two. Line breaks are CR LF, lone CR or lone LF; a line excludes its break.
// For a view, a line break is one character and every Shift_JIS character
// (or invalid byte) is one character, as DecodeSjis gives them.
//
// Queries by line or position are logarithmic in the number of lines (or
// better), so the caret status stays instant in a file of a million lines.
#ifndef MORVIK_APP_DOCUMENT_RICH_EDIT_EX_H_
#define MORVIK_APP_DOCUMENT_RICH_EDIT_EX_H_

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/record_lines.h"
#include "data/sv_data.h"

namespace morvik {

// Told of every change of a document, so that a view can follow.
class DocumentObserver {
 public:
  virtual ~DocumentObserver() = default;
  // The bytes [offset, offset + removed_bytes) were replaced by
  // inserted_bytes bytes; char_position, removed_chars and inserted_chars
  // say the same in the view's characters (a line break is one character).
  // The range covers whole characters, and is wider than the edit where the
  // edit changed how neighbouring bytes read (a lone lead byte that gained a
  // trail byte, a CR that gained an LF): replacing the view's characters
  // [char_position, char_position + removed_chars) with the same range of
  // DecodedText() keeps a view exact.
  virtual void TextReplaced(std::size_t offset, std::size_t removed_bytes,
                            std::size_t inserted_bytes, std::size_t char_position,
                            std::size_t removed_chars, std::size_t inserted_chars) = 0;
  virtual void SelectionChanged() {}
  virtual void ModifiedChanged(bool /*modified*/) {}
  virtual void ReadOnlyChanged(bool /*read_only*/) {}
};

class TRichEditEx {
 public:
  // The largest text a document holds; a larger file is refused.
  static constexpr std::size_t kMaxLength = 0x40000000;

  explicit TRichEditEx(std::string name);  // "RichEdit" + n
  ~TRichEditEx();
  TRichEditEx(const TRichEditEx&) = delete;
  TRichEditEx& operator=(const TRichEditEx&) = delete;

  // The document record.
  morvik::DataType DataType = Data01;
  std::string FileName;  // full path, or "Untitled" + n
  const std::string& Name() const;

  // --- Text -----------------------------------------------------------------
  std::size_t Length() const;  // bytes
  std::string Text() const;    // the whole text, O(n)
  std::string TextRange(std::size_t offset, std::size_t length) const;
  // Hands visit(offset, bytes) the stored pieces that hold bytes of
  // [from, to), forwards or backwards, until it returns false; each piece
  // starts and ends on a character boundary. Searching them copies nothing.
  void VisitPieces(std::size_t from, std::size_t to, bool forward,
                   const std::function<bool(std::size_t, std::string_view)>& visit) const;

  // Replaces length bytes at offset with bytes: one edit, one undo step
  // unless inside an UndoGroup. Sets the modified flag. Throws ESavraError
  // when the text would pass kMaxLength.
  void Replace(std::size_t offset, std::size_t length, std::string_view bytes);

  // Applies a change that a view reports in its characters: removed_chars
  // characters at char_position replaced by inserted (UTF-16). Only the
  // characters that really changed are re-encoded, so an over-broad report
  // leaves untouched bytes as they were. A line break in inserted (u'\n',
  // u'\r', "\r\n", U+2028, U+2029) is stored as CR LF. The caret ends after
  // the inserted text. Typing one character at a time groups into words for
  // undo. Ignored while ReadOnly().
  void ApplyViewEdit(std::size_t char_position, std::size_t removed_chars,
                     std::u16string_view inserted);

  // --- Line view ---------------------------------------------------------------
  // Lines of the list; an empty last line after a final break is not one.
  std::size_t LineCount() const;
  // Breaks + 1: counts that empty last line too (the status bar's count).
  std::size_t RawLineCount() const;
  // Raw line index without its break; throws std::out_of_range for
  // index >= RawLineCount().
  std::string Line(std::size_t index) const;
  std::size_t LineFromPosition(std::size_t offset) const;  // 0-based, raw lines
  // Start offset of a raw line; Length() for an index past the last one.
  std::size_t PositionOfLine(std::size_t index) const;
  // Inserts line followed by CR LF before line index. At or past the end of
  // the list appends it after the last line: line + CR LF when the text ends
  // with a break (or is empty), CR LF + line when it does not. One undo step.
  void InsertLine(std::size_t index, std::string_view line);
  // Replaces the whole text with the lines of text (split at CR LF, CR, LF;
  // a NUL byte is kept), each followed by CR LF. One undo step, recording
  // only the bytes that differ; sets the modified flag even when none do.
  void SetLinesText(std::string_view text);
  // SetLinesText for a text the caller gives away, for commands that
  // rebuild a large text (sort): the text becomes the document's without a
  // copy, and the undo step records the whole text once.
  void TakeLinesText(std::string text);

  // --- Characters, for a view -------------------------------------------------
  std::size_t CharCount() const;  // characters of the decoded text, breaks as one
  // An offset inside a character (a double-byte character, a CR LF) maps to
  // that character; an offset at or past the end to CharCount().
  std::size_t CharPositionOfOffset(std::size_t offset) const;
  // Where a character starts; Length() at or past CharCount().
  std::size_t OffsetOfCharPosition(std::size_t char_position) const;
  // One UTF-16 unit per character, as DecodeSjis gives them, and one u'\n'
  // for every line break (CR LF, CR or LF).
  std::u16string DecodedText() const;
  // A raw line's first character, and how many characters it holds without
  // its break; both logarithmic, whatever the line's length.
  std::size_t CharPositionOfLine(std::size_t index) const;
  std::size_t LineCharCount(std::size_t index) const;
  // Up to count characters of raw line index from column first on, decoded
  // as DecodeSjis gives them (no break). Reads only those characters, so a
  // view of a line of 50 MB asks for the part it shows.
  std::u16string LineChars(std::size_t index, std::size_t first, std::size_t count) const;

  // --- Caret and selection ------------------------------------------------------
  std::size_t SelStart() const;
  std::size_t SelLength() const;
  void SetSelection(std::size_t start, std::size_t length);  // clamped to the text
  std::string SelectedText() const;
  // Replaces the selection (or inserts at the caret) with bytes; the caret
  // ends after them. One undo step.
  void ReplaceSelection(std::string_view bytes);

  // --- Modified flag, read-only state --------------------------------------------
  // Set by every edit; cleared by SetModified(false) (after a save) and by
  // LoadFromFile, and again by undo or redo that come back to the text of
  // that moment.
  bool Modified() const;
  void SetModified(bool modified);
  // While read-only (a long command runs on the document) edits from a view
  // are refused; commands still edit.
  bool ReadOnly() const;
  void SetReadOnly(bool read_only);

  // --- Undo ---------------------------------------------------------------------
  bool CanUndo() const;
  bool CanRedo() const;
  void Undo();
  void Redo();
  // Closes the current typing group, so that the next edit starts a new step.
  void BreakUndoGroup();
  // Forgets every undo and redo step, so that the present text is the
  // oldest one can go back to (a new document's template, say).
  void ClearUndo();

  // Groups every edit made while it lives into one undo step.
  class UndoGroup {
   public:
    explicit UndoGroup(TRichEditEx& document);
    ~UndoGroup();
    UndoGroup(const UndoGroup&) = delete;
    UndoGroup& operator=(const UndoGroup&) = delete;

   private:
    TRichEditEx& document_;
  };

  // --- Files ------------------------------------------------------------------------
  // Makes the file's bytes the text, unchanged; clears undo history, puts
  // the caret at the start and clears the modified flag (the document now
  // is what the file holds). Throws ESavraError naming the file and the
  // system's reason, or the size limit; the document is unchanged then.
  void LoadFromFile(const std::string& path);
  // Writes the text byte for byte to a temporary file beside path and
  // renames it over path, keeping an existing file's permissions. Throws
  // ESavraError naming the file and the reason; the old file stays intact.
  void SaveToFile(const std::string& path) const;

  void AddObserver(DocumentObserver* observer);
  void RemoveObserver(DocumentObserver* observer);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace morvik

#endif  // MORVIK_APP_DOCUMENT_RICH_EDIT_EX_H_
