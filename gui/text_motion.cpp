#include "gui/text_motion.h"

#include <algorithm>

namespace morvik {

CharClass ClassOfChar(QChar c) {
  const char16_t u = c.unicode();
  if (u == u' ' || u == u'\t' || u == 0x3000) return CharClass::kBlank;
  if (u >= 0x3041 && u <= 0x309F) return CharClass::kHiragana;
  // Katakana, the prolonged sound mark and half-width katakana.
  if ((u >= 0x30A0 && u <= 0x30FF) || (u >= 0xFF66 && u <= 0xFF9F)) return CharClass::kKatakana;
  if ((u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3400 && u <= 0x4DBF) ||
      (u >= 0xF900 && u <= 0xFAFF) || u == 0x3005) {
    return CharClass::kIdeograph;
  }
  if (c.isLetterOrNumber() || u == u'_') return CharClass::kWord;
  return CharClass::kOther;
}

qsizetype NextWordColumn(const QString& line, qsizetype column) {
  const qsizetype size = line.size();
  column = std::clamp<qsizetype>(column, 0, size);
  if (column < size) {
    const CharClass run = ClassOfChar(line[column]);
    if (run != CharClass::kBlank) {
      while (column < size && ClassOfChar(line[column]) == run) ++column;
    }
  }
  while (column < size && ClassOfChar(line[column]) == CharClass::kBlank) ++column;
  return column;
}

qsizetype PreviousWordColumn(const QString& line, qsizetype column) {
  column = std::clamp<qsizetype>(column, 0, line.size());
  while (column > 0 && ClassOfChar(line[column - 1]) == CharClass::kBlank) --column;
  if (column == 0) return 0;
  const CharClass run = ClassOfChar(line[column - 1]);
  while (column > 0 && ClassOfChar(line[column - 1]) == run) --column;
  return column;
}

std::pair<qsizetype, qsizetype> WordAround(const QString& line, qsizetype column) {
  const qsizetype size = line.size();
  if (size == 0) return {0, 0};
  column = std::clamp<qsizetype>(column, 0, size - 1);
  const CharClass run = ClassOfChar(line[column]);
  qsizetype first = column;
  qsizetype last = column + 1;
  while (first > 0 && ClassOfChar(line[first - 1]) == run) --first;
  while (last < size && ClassOfChar(line[last]) == run) ++last;
  return {first, last};
}

}  // namespace morvik
