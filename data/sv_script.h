// Conversion between the one-line form of SavraScript, as it stands in a
// document, and the indented multi-line form the script editor shows.
//
// Texts are UTF-16 so that double-byte characters whose second byte has the
// code of a brace or bar (ボ, ポ, マ) are ordinary characters; callers decode
// from Shift_JIS before and encode after.
#ifndef MORVIK_DATA_SV_SCRIPT_H_
#define MORVIK_DATA_SV_SCRIPT_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "data/savra_error.h"

namespace morvik {

inline constexpr char kBracesDoNotClose[] = "braces do not close";
inline constexpr char kBracesNestTooDeeply[] = "braces nest too deeply";

// How deep blocks may nest for decomposition. Every level indents its lines
// by two more blanks, so the decomposed form grows with the square of the
// depth: at this limit it holds about two million characters.
inline constexpr std::size_t kMaxScriptNesting = 1000;

// Opens every block that holds a bar or a further block on lines of its own,
// indents its content by two blanks, and puts every bar on its own line.
// Throws EInvalidSavraScript("braces do not close") for an unmatched '{',
// and EInvalidSavraScript("braces nest too deeply") when braces nest more
// than kMaxScriptNesting deep. Linear in the size of the result.
std::u16string DecomposeScript(std::u16string_view script);

// Joins the lines, each stripped of its leading characters <= 0x20.
std::u16string LinizeScript(std::u16string_view text);

// Puts indent in front of every line, joins them with CR LF and strips every
// trailing character <= 0x20.
std::u16string IndentLines(std::u16string_view text, std::u16string_view indent);

}  // namespace morvik

#endif  // MORVIK_DATA_SV_SCRIPT_H_
