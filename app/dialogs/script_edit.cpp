// The script editor's logic: conversions through UTF-16 so that the trail
// bytes of double-byte characters are never read as braces or bars.
#include "app/dialogs/script_edit.h"

#include <vector>

#include "data/sjis_codec.h"
#include "data/sv_script.h"

namespace morvik {
namespace {

// Decoding and encoding that keep every byte. A character that the code page
// maps twice (0xED40 and 0xFA5C both decode to U+7E8A) would come back in
// its preferred form; such a character decodes instead to a high surrogate
// that stands for its own bytes, which the conversions copy like any other
// character and Encode turns back into those bytes.
class ByteKeepingCodec {
 public:
  std::u16string Decode(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    std::size_t pos = 0;
    while (pos < bytes.size()) {
      std::size_t length = 0;
      const char16_t c = DecodeSjisChar(bytes, pos, &length);
      const std::string_view original = bytes.substr(pos, length);
      if (length == 2 && EncodeSjis(std::u16string_view(&c, 1)) != original) {
        text += KeptUnit(original);
      } else {
        text += c;
      }
      pos += length;
    }
    return text;
  }

  std::string Encode(std::u16string_view text) const {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      const std::size_t index = static_cast<std::size_t>(text[i]) - kFirstKeptUnit;
      if (text[i] < kFirstKeptUnit || index >= kept_.size()) continue;
      bytes += EncodeSjis(text.substr(start, i - start));
      bytes += kept_[index];
      start = i + 1;
    }
    bytes += EncodeSjis(text.substr(start));
    return bytes;
  }

 private:
  static constexpr char16_t kFirstKeptUnit = 0xD800;
  static constexpr std::size_t kMaxKept = 0x400;  // the high surrogates

  char16_t KeptUnit(std::string_view original) {
    for (std::size_t i = 0; i < kept_.size(); ++i) {
      if (kept_[i] == original) return static_cast<char16_t>(kFirstKeptUnit + i);
    }
    // The code page has far fewer doubly mapped characters than surrogates.
    if (kept_.size() == kMaxKept) return DecodeSjis(original)[0];
    kept_.emplace_back(original);
    return static_cast<char16_t>(kFirstKeptUnit + kept_.size() - 1);
  }

  std::vector<std::string> kept_;
};

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
