// TFormEditor: the data commands (Sort, Merge, File information) and the
// script editor. Their algorithms live in data/ and app/dialogs/; these
// handlers connect them with the current document and the desktop.
//
// Sort and merge show progress through SetStatusMessage, which runs pending
// events, so any handler can run in the middle of them. While they run, the
// document refuses its view's edits and the other data commands do not
// start; the merge's menu item only sets MergeStopRequested.
#include "app/dialogs/file_info.h"
#include "app/dialogs/script_edit.h"
#include "app/dialogs/sort.h"
#include "app/editor/command_guards.h"
#include "app/editor/editor.h"
#include "data/file_io.h"
#include "data/line_insertion.h"
#include "data/line_sort.h"
#include "data/merge_lines.h"
#include "data/record_lines.h"
#include "data/savra_error.h"

namespace morvik {

namespace {

// The document as the merge sees it. Added lines are held back and go into
// the document in one edit when Flush is called (and before any read): the
// view is not repainted during the merge anyway, and one edit keeps a merge
// into a large document linear.
class DocumentMergeTarget : public MergeTarget {
 public:
  explicit DocumentMergeTarget(TRichEditEx& document) : document_(document) {}
  std::size_t LineCount() const override { return document_.LineCount() + pending_.size(); }
  std::string Line(std::size_t index) const override {
    const_cast<DocumentMergeTarget*>(this)->Flush();
    return document_.Line(index);
  }
  void InsertLine(std::size_t index, std::string_view line) override {
    if (!pending_.Accepts(index)) Flush();
    pending_.Add(index, line);
  }

  // Inserts the held lines as the document's InsertLine would, one by one.
  void Flush() {
    if (pending_.empty()) return;
    const std::size_t length = document_.Length();
    std::size_t offset = length;
    bool break_in_front = false;
    if (pending_.index() < document_.LineCount()) {
      offset = document_.PositionOfLine(pending_.index());
    } else if (length > 0) {
      break_in_front = EndsWithoutBreak(document_.TextRange(length - 1, 1));
    }
    const std::string bytes = pending_.Bytes(break_in_front);
    pending_.clear();
    document_.Replace(offset, 0, bytes);
  }

 private:
  TRichEditEx& document_;
  PendingLines pending_;
};

class EditorMergeProgress : public MergeProgress {
 public:
  explicit EditorMergeProgress(TFormEditor& editor) : editor_(editor) {}
  void ShowStatus(const std::string& text) override { editor_.SetStatusMessage(text); }
  bool StopRequested() override { return editor_.MergeStopRequested; }

 private:
  TFormEditor& editor_;
};

}  // namespace

void TFormEditor::MenuEditSortClick() {
  TRichEditEx* document = CurrentDocument();
  if (document == nullptr || LongCommandRunning()) return;
  TFormSort form;
  port_.RunSort(form);
  form.FormClose();  // a dialog closed by its frame counts as Cancel
  if (form.Cancelled) return;

  LongCommand running(*this, *document);
  SetStatusMessage(kSortPreparingStatus);
  const std::size_t caret = document->SelStart();
  // One copy of the text, with views of its lines: the sort's working copy.
  auto text = std::make_unique<std::string>(document->Text());
  std::vector<std::string_view> lines = DocumentLineViews(*text);
  const LineRange range = SortRange(lines, document->LineFromPosition(caret), form.WholeDocument);
  try {
    SetStatusMessage(kSortRunningStatus);
    std::string sorted = SortedLinesText(std::move(lines), range, form.Ascending);
    text.reset();  // gone before the document takes the sorted copy: less memory at the peak
    SetStatusMessage(kSortRedrawingStatus);
    {
      TRichEditEx::UndoGroup group(*document);
      document->TakeLinesText(std::move(sorted));
    }
    // The text keeps its length (but for breaks made CR LF), so the caret
    // stays on the same line.
    document->SetSelection(caret, 0);
  } catch (...) {
    SetStatusMessage(kSortDoneStatus);
    throw;
  }
  SetStatusMessage(kSortDoneStatus);
}

void TFormEditor::MenuEditMergeClick() {
  TRichEditEx* document = CurrentDocument();
  if (document == nullptr) return;
  if (merge_running_) {
    MergeStopRequested = true;
    return;
  }
  if (LongCommandRunning()) return;
  if (!port_.ChooseOpenFile(OpenDialog)) return;

  LongCommand running(*this, *document);
  MenuCaptionGuard caption(port_, MenuItemId::MenuEditMerge, kMergeStopCaption, kMergeCaption);
  struct RunningFlags {
    TFormEditor& editor;
    explicit RunningFlags(TFormEditor& e) : editor(e) { editor.merge_running_ = true; }
    ~RunningFlags() {
      editor.merge_running_ = false;
      editor.MergeStopRequested = false;
    }
  } flags(*this);

  const LineList source = SplitLines(ReadFileBytes(OpenDialog.FileName));
  if (source.empty()) return;
  const std::size_t caret_line = document->LineFromPosition(document->SelStart());
  DocumentMergeTarget target(*document);
  EditorMergeProgress progress(*this);
  MergeOutcome outcome;
  try {
    TRichEditEx::UndoGroup group(*document);  // the whole merge is one undo step
    try {
      outcome = MergeLines(target, source, FieldCount(document->DataType), caret_line, progress);
    } catch (...) {
      target.Flush();  // the lines added before the failure stay
      throw;
    }
    target.Flush();
  } catch (...) {
    SetStatusMessage("");
    throw;
  }
  SetStatusMessage("");
  port_.ShowMessage(MessageKind::Information, MergeResultText(outcome), kOkButton);
}

void TFormEditor::MenuFileInformationClick() {
  TRichEditEx* document = CurrentDocument();
  if (document == nullptr || LongCommandRunning()) return;
  TFormFileInfo form(document);
  form.SetBusyCursor = [this](bool busy) { port_.SetBusyCursor(busy); };
  form.FormCreate();
  port_.RunFileInfo(form);
  if (form.JumpLine != 0) GoToLine(form.JumpLine);
}

void TFormEditor::MenuEditScriptClick() {
  if (LongCommandRunning()) return;
  TFormScript form;
  form.FormCreate();
  form.MemoScriptFont = DisplayFont;
  // Unbalanced braces throw here, before the window opens; the document
  // stays as it was.
  form.SetScript(GetSelectedText());
  port_.RunScriptEditor(form);
  if (!form.Ignored) SetSelectedText(form.GetScript());
}

}  // namespace morvik
