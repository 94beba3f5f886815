// Word boundaries within one displayed line, for Ctrl+Left/Right, Ctrl+
// Backspace/Delete and double-click selection.
//
// Japanese text has no spaces between words, so a "word" is a run of
// characters of one script: Latin letters and digits, hiragana, katakana
// (with the prolonged sound mark), ideographs, or punctuation. Blanks
// (space, tab, ideographic space) separate runs and belong to none.
#ifndef MORVIK_GUI_TEXT_MOTION_H_
#define MORVIK_GUI_TEXT_MOTION_H_

#include <QString>
#include <utility>

namespace morvik {

enum class CharClass { kBlank, kWord, kHiragana, kKatakana, kIdeograph, kOther };

CharClass ClassOfChar(QChar c);

// The column where the next word starts after column: past the rest of the
// run at column, then past blanks. line.size() when none follows.
qsizetype NextWordColumn(const QString& line, qsizetype column);

// The column where the word before column starts: back over blanks, then
// over the run before them. 0 when none precedes.
qsizetype PreviousWordColumn(const QString& line, qsizetype column);

// The run of one class around column (the character at column, or the one
// before it at the end of the line), as [first, last).
std::pair<qsizetype, qsizetype> WordAround(const QString& line, qsizetype column);

}  // namespace morvik

#endif  // MORVIK_GUI_TEXT_MOTION_H_
