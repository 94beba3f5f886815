// TFormEditor: find and replace through the modeless dialogs.
//
// The search is line-based: Find Next looks at whole lines below (or above)
// the caret's line, never the caret's own line, and selects the first
// occurrence in the first line that has one.
#include <string>

#include "app/editor/command_guards.h"
#include "app/editor/editor.h"
#include "app/editor/text_search.h"
#include "app/editor/utf8.h"
#include "data/sjis_codec.h"

namespace morvik {
namespace {

// A find text with characters that Shift_JIS cannot hold occurs nowhere;
// encoding would turn them into '?', which would then be found.
CaseInsensitiveSearch SearchFor(const std::string& find_text) {
  std::size_t unmappable = 0;
  const std::string key = EncodeSjis(Utf8ToUtf16(find_text), &unmappable);
  return CaseInsensitiveSearch(unmappable == 0 ? key : std::string());
}

}  // namespace

void TFormEditor::MenuEditFindClick() {
  if (CurrentDocument() != nullptr && !LongCommandRunning())
    port_.ShowFindDialog(FindDialogKind::Find);
}

void TFormEditor::MenuEditReplaceClick() {
  if (CurrentDocument() != nullptr && !LongCommandRunning())
    port_.ShowFindDialog(FindDialogKind::Replace);
}

void TFormEditor::FindDialogFind(const FindDialogState& Sender) {
  const CaseInsensitiveSearch search = SearchFor(Sender.FindText);
  TRichEditEx* document = CurrentDocument();
  if (document == nullptr || LongCommandRunning()) return;
  // Signed, so that the caret on the empty line after a final break (one
  // past the list) searches every line upwards and none downwards.
  const auto caret_line = static_cast<long long>(document->LineFromPosition(document->SelStart()));
  const auto line_count = static_cast<long long>(document->LineCount());
  const long long step = Sender.Down ? 1 : -1;
  if (!search.Empty()) {
    for (long long line = caret_line + step; line >= 0 && line < line_count; line += step) {
      const auto index = static_cast<std::size_t>(line);
      if (const std::optional<std::size_t> hit = search.FindIn(document->Line(index))) {
        port_.FocusDocument(ActivePage());
        document->SetSelection(document->PositionOfLine(index) + *hit, search.KeyLength());
        return;
      }
    }
  }
  port_.ShowMessage(kCaptionInformation,
                    "検索文字列 \"" + Sender.FindText + "\" は見つかりませんでした",
                    MessageIcon::Information, MessageButtons::Ok);
}

void TFormEditor::ReplaceDialogReplace(const FindDialogState& Sender) {
  TRichEditEx* document = CurrentDocument();
  if (document == nullptr || LongCommandRunning()) return;
  if (Sender.ReplaceAll) {
    BusyCursorGuard busy(port_);
    const CaseInsensitiveSearch search = SearchFor(Sender.FindText);
    // The text as the line list gives it: every line followed by CR LF.
    std::string text;
    text.reserve(document->Length() + 2);
    const std::size_t line_count = document->LineCount();
    for (std::size_t line = 0; line < line_count; ++line) {
      text += document->Line(line);
      text += "\r\n";
    }
    const std::string replaced = search.ReplaceAll(text, Utf8ToSjis(Sender.ReplaceText));
    // Rewriting an identical text would only add an empty undo step.
    if (replaced == document->Text()) return;
    TRichEditEx::UndoGroup group(*document);
    document->SetLinesText(replaced);
    return;
  }
  if (document->SelLength() > 0) SetSelectedText(Utf8ToSjis(Sender.ReplaceText));
  FindDialogFind(Sender);
}

}  // namespace morvik
