// Record lines and comparison keys: splitting texts into lines and lines into
// fields, folding keys, and the marker and record tests the data commands use.
//
// All of these are pure functions on Shift_JIS byte strings; none fails.
#ifndef MORVIK_DATA_RECORD_LINES_H_
#define MORVIK_DATA_RECORD_LINES_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvik {

using LineList = std::vector<std::string>;

// Splits at CR LF, lone CR and lone LF. A break at the very end starts no
// further line; an empty text has no lines; a NUL byte ends the text.
LineList SplitLines(std::string_view text);

// The lines of a document's text as its line view has them: split at CR LF,
// lone CR and lone LF, a final break starting no further line. Unlike
// SplitLines a NUL byte is text like any other, since a document keeps it.
std::vector<std::string_view> DocumentLineViews(std::string_view text);

// Every line followed by CR LF, the last one included.
std::string JoinLines(const LineList& lines);

// The fields of one line: quoted values (with "" for a quote) or unquoted
// values up to a blank, control character or comma. Double-byte characters
// are stepped over whole. A quoted value with no closing quote takes the
// rest of the line.
std::vector<std::string> SplitFields(std::string_view line);

// The first field of SplitFields, without reading the others; nothing when
// the line has no field.
std::optional<std::string> FirstField(std::string_view line);

// Upper-cases ASCII letters and narrows the full-width ASCII-like characters
// of code page 932; the result has as many code units as the input.
std::u16string FoldKey(std::u16string_view text);

// FoldKey of the line's first field decoded from Shift_JIS, or nothing when
// the line has no field.
std::optional<std::u16string> MarkerKey(std::string_view line);

bool IsEndMarker(std::string_view line);    // marker key is "{ENDOFDATA}"
bool IsPriorMarker(std::string_view line);  // marker key is "{PRIOR}"

// True when the line has at least field_count fields.
bool IsValidRecord(std::string_view line, int field_count);

// Sorts lines[lo..hi] in place by unsigned byte order, ascending or
// descending. Does nothing when lo < 0, lo >= hi or hi >= lines.size().
void SortLineRange(LineList& lines, long long lo, long long hi, bool ascending);

}  // namespace morvik

#endif  // MORVIK_DATA_RECORD_LINES_H_
