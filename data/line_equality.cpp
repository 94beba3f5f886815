// Case folding through ICU, with a shortcut for pure ASCII text, where full
// case folding is exactly the mapping of A-Z to a-z.
#include "data/line_equality.h"

#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <vector>

#include "data/sjis_codec.h"

namespace morvik {

namespace {

// Full case folding works code point by code point, and every character
// of the code page (and every invalid byte's stand-in) is one UTF-16 unit,
// so a text folds as its characters do one by one. The table holds each
// unit's folding; kMultiUnit marks the few that fold to more than one unit
// (none of which the code page holds), for which ICU folds the text.
constexpr char16_t kMultiUnit = 0xFFFF;  // U+FFFF itself folds to itself

const std::vector<char16_t>& FoldingTable() {
  static const std::vector<char16_t> table = [] {
    std::vector<char16_t> folding(65536);
    for (std::size_t c = 0; c < folding.size(); ++c) {
      const char16_t unit = static_cast<char16_t>(c);
      char16_t out[4];
      UErrorCode status = U_ZERO_ERROR;
      const int32_t length = u_strFoldCase(out, 4, &unit, 1, U_FOLD_CASE_DEFAULT, &status);
      folding[c] = U_SUCCESS(status) && length == 1 ? out[0] : kMultiUnit;
    }
    return folding;
  }();
  return table;
}

std::u16string FoldWithIcu(const std::u16string& decoded) {
  // Full folding can lengthen a text (U+00DF to "ss"), at most threefold.
  std::u16string key(decoded.size() * 3 + 1, u'\0');
  UErrorCode status = U_ZERO_ERROR;
  const int32_t length =
      u_strFoldCase(key.data(), static_cast<int32_t>(key.size()), decoded.data(),
                    static_cast<int32_t>(decoded.size()), U_FOLD_CASE_DEFAULT, &status);
  // The buffer is large enough for any input, so failing is not expected;
  // the decoded text then still gives an exact (case-sensitive) key.
  if (U_FAILURE(status)) return decoded;
  key.resize(static_cast<std::size_t>(length));
  return key;
}

}  // namespace

std::u16string CaseFoldedKey(std::string_view sjis_text) {
  bool ascii = true;
  for (char c : sjis_text) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      ascii = false;
      break;
    }
  }
  if (ascii) {
    std::u16string key(sjis_text.size(), u'\0');
    for (std::size_t i = 0; i < sjis_text.size(); ++i) {
      const char c = sjis_text[i];
      key[i] = static_cast<char16_t>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    }
    return key;
  }
  std::u16string key = DecodeSjis(sjis_text);
  const std::vector<char16_t>& folding = FoldingTable();
  for (char16_t& c : key) {
    const char16_t folded = folding[c];
    if (folded == kMultiUnit && c != kMultiUnit) return FoldWithIcu(DecodeSjis(sjis_text));
    c = folded;
  }
  return key;
}

bool CaseInsensitiveLineSet::Contains(std::string_view sjis_text) const {
  return keys_.contains(CaseFoldedKey(sjis_text));
}

bool CaseInsensitiveLineSet::Insert(std::string_view sjis_text) {
  return keys_.insert(CaseFoldedKey(sjis_text)).second;
}

}  // namespace morvik
