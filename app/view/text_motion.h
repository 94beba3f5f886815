// Word boundaries within a run of one line's characters, for Ctrl+Left/
// Right, Ctrl+Backspace/Delete and double-click selection.
//
// Japanese text has no spaces between words, so a "word" is a run of
// characters of one script: Latin letters and digits, hiragana, katakana
// (with the prolonged sound mark), ideographs, or punctuation. Blanks
// (space, tab, ideographic space) separate runs and belong to none.
//
// The functions see only the characters they are given; ViewController
// hands them a window of a long line and widens it when a run reaches its
// edge.
#ifndef MORVIK_APP_VIEW_TEXT_MOTION_H_
#define MORVIK_APP_VIEW_TEXT_MOTION_H_

#include <cstddef>
#include <string_view>
#include <utility>

namespace morvik {

enum class CharClass { kBlank, kWord, kHiragana, kKatakana, kIdeograph, kOther };

CharClass ClassOfChar(char16_t c);

// The column where the next word starts after column: past the rest of the
// run at column, then past blanks. line.size() when none follows.
std::size_t NextWordColumn(std::u16string_view line, std::size_t column);

// The column where the word before column starts: back over blanks, then
// over the run before them. 0 when none precedes.
std::size_t PreviousWordColumn(std::u16string_view line, std::size_t column);

// The run of one class around column (the character at column, or the one
// before it at the end of the line), as [first, last).
std::pair<std::size_t, std::size_t> WordAround(std::u16string_view line, std::size_t column);

}  // namespace morvik

#endif  // MORVIK_APP_VIEW_TEXT_MOTION_H_
