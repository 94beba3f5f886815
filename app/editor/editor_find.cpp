// TFormEditor: find and replace through the modeless dialogs.
//
// The search is line-based: Find Next looks at whole lines below (or above)
// the caret's line, never the caret's own line, and selects the first
// occurrence in the first line that has one.
#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// The lines [first, last) of the document's line list, fetched in blocks
// (asking the document for each of a million lines one by one is slow), and
// handed to visit(start offset, line bytes) in order or in reverse until it
// returns true.
template <typename Visit>
void VisitLines(const TRichEditEx& document, std::size_t first, std::size_t last, bool forward,
                Visit visit) {
  constexpr std::size_t kBlockLines = 4096;
  struct LineSpan {
    std::size_t offset, length;
  };
  std::vector<LineSpan> spans;
  std::size_t remaining = last - first;
  while (remaining > 0) {
    const std::size_t count = std::min(remaining, kBlockLines);
    const std::size_t block_first = forward ? last - remaining : first + remaining - count;
    remaining -= count;
    const std::size_t block_start = document.PositionOfLine(block_first);
    const std::string block =
        document.TextRange(block_start, document.PositionOfLine(block_first + count) - block_start);
    // The block holds whole lines, each ended by CR LF, CR or LF, except
    // perhaps the document's last.
    spans.clear();
    std::size_t line_start = 0;
    for (std::size_t pos = 0; pos < block.size(); ++pos) {
      if (block[pos] != '\r' && block[pos] != '\n') continue;
      spans.push_back({line_start, pos - line_start});
      if (block[pos] == '\r' && pos + 1 < block.size() && block[pos + 1] == '\n') ++pos;
      line_start = pos + 1;
    }
    if (line_start < block.size()) spans.push_back({line_start, block.size() - line_start});
    const std::string_view bytes(block);
    for (std::size_t i = 0; i < spans.size(); ++i) {
      const LineSpan& span = spans[forward ? i : spans.size() - 1 - i];
      if (visit(block_start + span.offset, bytes.substr(span.offset, span.length))) return;
    }
  }
}

// The text as the line list gives it: every line followed by CR LF, lone
// CR and LF made CR LF, a break added after a last line without one.
std::string TextThroughLineList(std::string_view text) {
  std::string result;
  result.reserve(text.size() + 2);
  for (std::size_t pos = 0; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c != '\r' && c != '\n') {
      result += c;
      continue;
    }
    result += "\r\n";
    if (c == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ++pos;
  }
  if (!text.empty() && text.back() != '\r' && text.back() != '\n') result += "\r\n";
  return result;
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
  const std::size_t caret_line = document->LineFromPosition(document->SelStart());
  const std::size_t line_count = document->LineCount();
  std::optional<std::size_t> hit;
  if (!search.Empty()) {
    const auto find_in_line = [&](std::size_t start, std::string_view line) {
      if (const std::optional<std::size_t> offset = search.FindIn(line)) hit = start + *offset;
      return hit.has_value();
    };
    // The caret's own line is never searched; on the empty line after a
    // final break (one past the list) every line lies above.
    if (Sender.Down) {
      if (caret_line + 1 < line_count) {
        VisitLines(*document, caret_line + 1, line_count, true, find_in_line);
      }
    } else if (caret_line > 0) {
      VisitLines(*document, 0, std::min(caret_line, line_count), false, find_in_line);
    }
  }
  if (hit) {
    port_.FocusDocument(ActivePage());
    document->SetSelection(*hit, search.KeyLength());
    return;
  }
  port_.ShowMessage(MessageKind::Information,
                    "検索文字列 \"" + Sender.FindText + "\" は見つかりませんでした", kOkButton);
}

void TFormEditor::ReplaceDialogReplace(const FindDialogState& Sender) {
  TRichEditEx* document = CurrentDocument();
  if (document == nullptr || LongCommandRunning()) return;
  if (Sender.ReplaceAll) {
    BusyCursorGuard busy(port_);
    const CaseInsensitiveSearch search = SearchFor(Sender.FindText);
    const std::string text = document->Text();
    const std::string replaced =
        search.ReplaceAll(TextThroughLineList(text), Utf8ToSjis(Sender.ReplaceText));
    // Rewriting an identical text would only add an empty undo step.
    if (replaced == text) return;
    TRichEditEx::UndoGroup group(*document);
    document->SetLinesText(replaced);
    return;
  }
  if (document->SelLength() > 0) SetSelectedText(Utf8ToSjis(Sender.ReplaceText));
  FindDialogFind(Sender);
}

}  // namespace morvik
