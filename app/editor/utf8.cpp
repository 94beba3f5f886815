// UTF-8 decoding for texts typed into dialogs.
#include "app/editor/utf8.h"

#include "data/sjis_codec.h"

namespace morvik {

std::u16string Utf8ToUtf16(std::string_view text) {
  constexpr char16_t kReplacement = 0xFFFD;
  std::u16string result;
  result.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 0;
    char32_t code = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
      result.push_back(lead);
      ++pos;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2, code = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3, code = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4, code = lead & 0x07, minimum = 0x10000;
    } else {
      result.push_back(kReplacement);
      ++pos;
      continue;
    }
    std::size_t taken = 1;
    while (taken < length && pos + taken < text.size() &&
           (static_cast<unsigned char>(text[pos + taken]) & 0xC0) == 0x80) {
      code = (code << 6) | (static_cast<unsigned char>(text[pos + taken]) & 0x3F);
      ++taken;
    }
    pos += taken;
    if (taken < length || code < minimum || code > 0x10FFFF) {
      result.push_back(kReplacement);
    } else if (code >= 0x10000) {
      code -= 0x10000;
      result.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      result.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      result.push_back(static_cast<char16_t>(code));
    }
  }
  return result;
}

std::string Utf8ToSjis(std::string_view text) {
  return EncodeSjis(Utf8ToUtf16(text));
}

}  // namespace morvik
