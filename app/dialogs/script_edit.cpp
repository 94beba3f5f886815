// The script editor's logic: conversions through UTF-16 so that the trail
// bytes of double-byte characters are never read as braces or bars.
#include "app/dialogs/script_edit.h"

#include "data/sv_script.h"
#include "data/text_encoding.h"

namespace morvik {
namespace {

std::string DecomposeBytes(std::string_view bytes) {
  ByteKeepingCodec codec;
  return codec.Encode(DecomposeScript(codec.Decode(bytes)));
}

std::string LinizeBytes(std::string_view bytes) {
  ByteKeepingCodec codec;
  return codec.Encode(LinizeScript(codec.Decode(bytes)));
}

}  // namespace

void TFormScript::FormCreate() {
  MenuQuitIgnoreShortCut = "Ctrl+Shift+Q";
}

void TFormScript::SetMemoText(std::string_view text) {
  std::string normalized;
  normalized.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      normalized += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      normalized += "\r\n";
    } else {
      normalized += c;
    }
  }
  MemoScript = std::move(normalized);
}

void TFormScript::SetScript(std::string_view script) {
  SetMemoText(DecomposeBytes(script));
}

std::string TFormScript::GetScript() const {
  return LinizeBytes(MemoScript);
}

std::optional<std::string> TFormScript::MemoScriptKeyPress(char16_t key, bool shift_down,
                                                           std::string_view line,
                                                           std::size_t caret_column) const {
  if (key != kEnterKey || shift_down) return std::nullopt;
  if (line.empty() || caret_column < 1) return std::string("\r\n");
  std::size_t indent = 0;
  while (indent < line.size() && (line[indent] == ' ' || line[indent] == '\t')) ++indent;
  if (indent > caret_column) indent = caret_column;
  return "\r\n" + std::string(line.substr(0, indent));
}

void TFormScript::MenuEditAnalyzeClick() {
  SetMemoText(DecomposeBytes(MemoScript));
}

void TFormScript::MenuEditLinizeClick() {
  SetMemoText(LinizeBytes(MemoScript));
}

void TFormScript::MenuEditCopyClick(ScriptClipboard& clipboard) const {
  clipboard.SetText(MemoScript);
}

void TFormScript::MenuEditPasteClick(ScriptClipboard& clipboard) {
  if (const std::optional<std::string> text = clipboard.Text()) SetMemoText(*text);
}

void TFormScript::MenuQuitReflectClick() {
  CloseRequested = true;
}

void TFormScript::MenuQuitIgnoreClick() {
  Ignored = true;
  CloseRequested = true;
}

}  // namespace morvik
