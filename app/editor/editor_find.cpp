// TFormEditor: find and replace through the modeless dialogs.
//
// Find Next searches from the caret: down from the end of the selection to
// the end of the text, or up to the nearest occurrence that ends at or
// before the selection's start, without wrapping around.
#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "app/editor/command_guards.h"
#include "app/editor/document_search.h"
#include "app/editor/editor.h"
#include "app/editor/pattern_search.h"
#include "app/editor/text_search.h"
#include "data/sjis_codec.h"
#include "data/text_encoding.h"
#include "regex/token.h"

namespace morvik {
namespace {

// A find text with characters that Shift_JIS cannot hold occurs nowhere;
// encoding would turn them into '?', which would then be found.
std::string FindKey(const std::string& find_text) {
  std::size_t unmappable = 0;
  const std::string key = EncodeSjis(Utf8ToUtf16(find_text), &unmappable);
  return unmappable == 0 ? key : std::string();
}

// The text as the line list gives it: every line followed by CR LF, lone
// CR and LF made CR LF, a break added after a last line without one.
// Returns text itself (no copy) when it already reads so.
std::string_view TextThroughLineList(std::string_view text, std::string& storage) {
  // Every CR followed by an LF, every LF preceded by a CR, and an LF last.
  bool normal = text.empty() || text.back() == '\n';
  for (const char c : {'\r', '\n'}) {
    for (std::size_t pos = text.find(c); normal && pos != std::string_view::npos;
         pos = text.find(c, pos + 1)) {
      normal = c == '\r' ? pos + 1 < text.size() && text[pos + 1] == '\n'
                         : pos > 0 && text[pos - 1] == '\r';
    }
  }
  if (normal) return text;
  storage.reserve(text.size() + 2);
  for (std::size_t pos = 0; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c != '\r' && c != '\n') {
      storage += c;
      continue;
    }
    storage += "\r\n";
    if (c == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ++pos;
  }
  if (!text.empty() && text.back() != '\r' && text.back() != '\n') storage += "\r\n";
  return storage;
}

// The lengths of the longest common start and (not overlapping it) end of
// a and b, compared a block at a time.
std::pair<std::size_t, std::size_t> CommonEnds(std::string_view a, std::string_view b) {
  constexpr std::size_t kBlock = 4096;
  const std::size_t shorter = std::min(a.size(), b.size());
  std::size_t prefix = 0;
  while (prefix + kBlock <= shorter &&
         std::memcmp(a.data() + prefix, b.data() + prefix, kBlock) == 0)
    prefix += kBlock;
  while (prefix < shorter && a[prefix] == b[prefix]) ++prefix;
  const std::size_t rest = shorter - prefix;
  std::size_t suffix = 0;
  while (suffix + kBlock <= rest && std::memcmp(a.data() + a.size() - suffix - kBlock,
                                                b.data() + b.size() - suffix - kBlock, kBlock) == 0)
    suffix += kBlock;
  while (suffix < rest && a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix]) ++suffix;
  return {prefix, suffix};
}

// Makes the document's text (now old) read text, replacing only the bytes
// that differ: one undo step that records little, and a view that redraws
// only what changed. An identical text is left alone (rewriting it would
// only add an empty undo step).
void ReplaceChangedBytes(TRichEditEx& document, std::string_view old, std::string_view text) {
  const auto [prefix, suffix] = CommonEnds(old, text);
  if (prefix == old.size() && old.size() == text.size()) return;
  if (prefix + suffix < old.size() / 2) {
    // Changes all over the text: the store rebuilds a whole text faster than
    // it compares one this large.
    document.Replace(0, old.size(), text);
    return;
  }
  document.Replace(prefix, old.size() - prefix - suffix,
                   text.substr(prefix, text.size() - prefix - suffix));
}

// The matcher for a dialog's find text: the text itself, or the pattern it
// spells. A pattern the engine refuses is reported in a warning box, and
// then there is none.
std::unique_ptr<LineBlockMatcher> MatcherFor(const FindDialogState& dialog, DesktopPort& port) {
  const std::string key = FindKey(dialog.FindText);
  if (!dialog.RegularExpression || key.empty()) return std::make_unique<LiteralMatcher>(key);
  try {
    return std::make_unique<PatternMatcher>(key);
  } catch (const EbmREToken& error) {
    // The engine counts bytes; the user counts characters.
    const std::size_t at =
        std::min(static_cast<std::size_t>(std::max(error.Token.StartPos, 0)), key.size());
    std::size_t characters = 0;
    for (std::size_t pos = 0; pos < at; pos += SjisCharLength(key, pos)) ++characters;
    port.ShowMessage(MessageKind::Warning,
                     "正規表現の誤り: " + std::string(error.what()) + " (" +
                         std::to_string(characters + 1) + " 文字目)",
                     kOkButton);
  } catch (const RegexError& error) {
    port.ShowMessage(MessageKind::Warning, "正規表現の誤り: " + std::string(error.what()),
                     kOkButton);
  }
  return nullptr;
}

// text with every match, left to right, replaced by replacement.
std::string ReplaceMatches(std::string_view text, const LineBlockMatcher& matcher,
                           std::string_view replacement, std::size_t* count) {
  std::string result;
  result.reserve(text.size());
  std::size_t copied = 0;
  while (const std::optional<TextHit> hit = matcher.First(text, copied)) {
    result.append(text, copied, hit->start - copied);
    result.append(replacement);
    copied = hit->start + hit->length;  // a match is never empty
    ++*count;
  }
  result.append(text, copied);
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
  TRichEditEx* document = CurrentDocument();
  if (document == nullptr || LongCommandRunning()) return;
  LastFind = Sender;
  const std::unique_ptr<LineBlockMatcher> matcher = MatcherFor(Sender, port_);
  if (matcher == nullptr) return;
  // Down from the end of the selection, so that a hit is not found again;
  // up from its start.
  const std::size_t from =
      Sender.Down ? document->SelStart() + document->SelLength() : document->SelStart();
  if (const std::optional<TextHit> hit = FindInDocument(*document, *matcher, from, Sender.Down)) {
    document->SetSelection(hit->start, hit->length);
    port_.FocusDocument(ActivePage());
    UpdateCaretStatus(*document);
    return;
  }
  port_.ShowMessage(MessageKind::Information,
                    "検索文字列 \"" + Sender.FindText + "\" は見つかりませんでした", kOkButton);
}

namespace {

// F3 and Shift+F3: the last find text again, one way or the other; the
// find dialog when nothing was searched for yet.
void FindLastAgain(TFormEditor& editor, bool down) {
  if (editor.LastFind.FindText.empty()) {
    editor.MenuEditFindClick();
    return;
  }
  FindDialogState search = editor.LastFind;
  search.Down = down;
  editor.FindDialogFind(search);
}

}  // namespace

void TFormEditor::MenuEditFindNextClick() {
  FindLastAgain(*this, true);
}

void TFormEditor::MenuEditFindPreviousClick() {
  FindLastAgain(*this, false);
}

void TFormEditor::ReplaceDialogReplace(const FindDialogState& Sender) {
  TRichEditEx* document = CurrentDocument();
  if (document == nullptr || LongCommandRunning()) return;
  if (Sender.ReplaceAll) {
    const std::unique_ptr<LineBlockMatcher> matcher = MatcherFor(Sender, port_);
    if (matcher == nullptr) return;
    BusyCursorGuard busy(port_);
    const std::string text = document->Text();
    std::string lines_storage;
    const std::string_view lines = TextThroughLineList(text, lines_storage);
    const std::string replacement = Utf8ToSjis(Sender.ReplaceText);
    std::size_t count = 0;
    // The replacement is put literally, also for a pattern.
    const std::string replaced = Sender.RegularExpression
                                     ? ReplaceMatches(lines, *matcher, replacement, &count)
                                     : CaseInsensitiveSearch(FindKey(Sender.FindText))
                                           .ReplaceAll(lines, replacement, &count);
    ReplaceChangedBytes(*document, text, count == 0 ? lines : std::string_view(replaced));
    return;
  }
  // A pattern in error replaces nothing.
  if (Sender.RegularExpression && MatcherFor(Sender, port_) == nullptr) return;
  if (document->SelLength() > 0) SetSelectedText(Utf8ToSjis(Sender.ReplaceText));
  FindDialogFind(Sender);
}

}  // namespace morvik
