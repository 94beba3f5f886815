#include "app/view/text_motion.h"

#include <algorithm>

namespace morvik {
namespace {

// Letters and digits that a Shift_JIS text can hold: ASCII, Greek,
// Cyrillic, the full-width forms and the numbers of the NEC rows.
bool IsLetterOrDigit(char16_t u) {
  if ((u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z')) {
    return true;
  }
  if (u >= 0x00C0 && u <= 0x024F && u != 0x00D7 && u != 0x00F7) return true;  // Latin
  if (u >= 0x0370 && u <= 0x03FF) return true;                                // Greek
  if (u >= 0x0400 && u <= 0x04FF) return true;                                // Cyrillic
  if ((u >= 0xFF10 && u <= 0xFF19) || (u >= 0xFF21 && u <= 0xFF3A) ||
      (u >= 0xFF41 && u <= 0xFF5A)) {
    return true;  // full-width digits and letters
  }
  if (u >= 0x2160 && u <= 0x217F) return true;  // Roman numerals
  if (u >= 0x2460 && u <= 0x2473) return true;  // circled numbers
  return u == 0x00AA || u == 0x00B5 || u == 0x00BA;
}

}  // namespace

CharClass ClassOfChar(char16_t u) {
  if (u == u' ' || u == u'\t' || u == 0x3000) return CharClass::kBlank;
  if (u >= 0x3041 && u <= 0x309F) return CharClass::kHiragana;
  // Katakana, the prolonged sound mark and half-width katakana.
  if ((u >= 0x30A0 && u <= 0x30FF) || (u >= 0xFF66 && u <= 0xFF9F)) return CharClass::kKatakana;
  if ((u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3400 && u <= 0x4DBF) ||
      (u >= 0xF900 && u <= 0xFAFF) || u == 0x3005) {
    return CharClass::kIdeograph;
  }
  if (IsLetterOrDigit(u) || u == u'_') return CharClass::kWord;
  return CharClass::kOther;
}

std::size_t NextWordColumn(std::u16string_view line, std::size_t column) {
  const std::size_t size = line.size();
  column = std::min(column, size);
  if (column < size) {
    const CharClass run = ClassOfChar(line[column]);
    if (run != CharClass::kBlank) {
      while (column < size && ClassOfChar(line[column]) == run) ++column;
    }
  }
  while (column < size && ClassOfChar(line[column]) == CharClass::kBlank) ++column;
  return column;
}

std::size_t PreviousWordColumn(std::u16string_view line, std::size_t column) {
  column = std::min(column, line.size());
  while (column > 0 && ClassOfChar(line[column - 1]) == CharClass::kBlank) --column;
  if (column == 0) return 0;
  const CharClass run = ClassOfChar(line[column - 1]);
  while (column > 0 && ClassOfChar(line[column - 1]) == run) --column;
  return column;
}

std::pair<std::size_t, std::size_t> WordAround(std::u16string_view line, std::size_t column) {
  const std::size_t size = line.size();
  if (size == 0) return {0, 0};
  column = std::min(column, size - 1);
  const CharClass run = ClassOfChar(line[column]);
  std::size_t first = column;
  std::size_t last = column + 1;
  while (first > 0 && ClassOfChar(line[first - 1]) == run) --first;
  while (last < size && ClassOfChar(line[last]) == run) ++last;
  return {first, last};
}

}  // namespace morvik
