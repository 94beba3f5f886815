// The one rule for inserting whole lines into a text at a line boundary,
// shared by the document, the merge and svtool.
//
// In front of an existing line, every inserted line brings its own CR LF.
// After the last line, the same holds when the text is empty or ends with a
// break. After a last line without a break the inserted lines are separated
// from it by CR LF and the last of them gets none, so the text still ends
// without a break, as it did before.
#ifndef MORVIK_DATA_LINE_INSERTION_H_
#define MORVIK_DATA_LINE_INSERTION_H_

#include <string>
#include <string_view>

namespace morvik {

// True when the text's last line has no break: lines appended after it
// need the break in front of them.
constexpr bool EndsWithoutBreak(std::string_view text) {
  return !text.empty() && text.back() != '\r' && text.back() != '\n';
}

// The bytes that put lines (a range of strings, in the order they are to
// stand) at a line boundary. after_unterminated_line: appending after a
// last line without a break (EndsWithoutBreak of the text).
template <typename Lines>
std::string InsertedLinesBytes(const Lines& lines, bool after_unterminated_line) {
  std::size_t size = 2;
  for (const auto& line : lines) size += std::string_view(line).size() + 2;
  std::string bytes;
  bytes.reserve(size);
  if (after_unterminated_line) bytes += "\r\n";
  for (const auto& line : lines) {
    bytes += line;
    bytes += "\r\n";
  }
  if (after_unterminated_line) bytes.resize(bytes.size() - 2);
  return bytes;
}

}  // namespace morvik

#endif  // MORVIK_DATA_LINE_INSERTION_H_
