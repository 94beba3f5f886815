// Line splitting, field splitting, key folding and the line tests.
#include "data/record_lines.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "data/sjis_codec.h"
#include "data/sort_line_range.h"

namespace morvik {
namespace {

bool IsBlankOrControl(unsigned char b) {
  return b >= 0x01 && b <= 0x20;
}

// A lead byte followed by a trail byte moves as one character. Trail bytes
// are never blanks, commas or quotes, so a byte that is one of those after a
// lead byte is read on its own.
std::size_t CharLength(std::string_view line, std::size_t pos) {
  return IsSjisLeadByte(static_cast<unsigned char>(line[pos])) && pos + 1 < line.size() &&
                 IsSjisTrailByte(static_cast<unsigned char>(line[pos + 1]))
             ? 2
             : 1;
}

// The folding table as one look-up array over the code units that fold:
// ASCII small letters, the ideographic space, U+2019, U+201D and the
// full-width forms U+FF01..U+FFE5 that have an ASCII counterpart.
struct FoldTable {
  std::array<char16_t, 0x80> ascii{};
  std::array<char16_t, 0x100> fullwidth{};  // U+FF00..U+FFFF

  FoldTable() {
    for (int c = 0; c < 0x80; ++c) ascii[c] = static_cast<char16_t>(c);
    for (int c = 'a'; c <= 'z'; ++c) ascii[c] = static_cast<char16_t>(c - 'a' + 'A');
    for (int c = 0; c < 0x100; ++c) fullwidth[c] = static_cast<char16_t>(0xFF00 + c);
    for (int c = 0; c < 10; ++c) fullwidth[0x10 + c] = static_cast<char16_t>('0' + c);
    for (int c = 0; c < 26; ++c) {
      fullwidth[0x21 + c] = static_cast<char16_t>('A' + c);
      fullwidth[0x41 + c] = static_cast<char16_t>('A' + c);
    }
    // The full-width punctuation that narrows; U+FF3C and U+FF5E stay (their
    // code page 932 forms are other characters).
    static constexpr struct {
      char16_t from;
      char to;
    } kPunctuation[] = {
        {0xFF01, '!'}, {0xFF03, '#'}, {0xFF04, '$'}, {0xFF05, '%'},  {0xFF06, '&'}, {0xFF08, '('},
        {0xFF09, ')'}, {0xFF0A, '*'}, {0xFF0B, '+'}, {0xFF0C, ','},  {0xFF0D, '-'}, {0xFF0E, '.'},
        {0xFF0F, '/'}, {0xFF1A, ':'}, {0xFF1B, ';'}, {0xFF1C, '<'},  {0xFF1D, '='}, {0xFF1E, '>'},
        {0xFF1F, '?'}, {0xFF20, '@'}, {0xFF3B, '['}, {0xFFE5, '\\'}, {0xFF3D, ']'}, {0xFF3E, '^'},
        {0xFF3F, '_'}, {0xFF40, '`'}, {0xFF5B, '{'}, {0xFF5C, '|'},  {0xFF5D, '}'}, {0xFFE3, '~'},
    };
    for (const auto& p : kPunctuation) fullwidth[p.from - 0xFF00] = static_cast<char16_t>(p.to);
  }

  char16_t Fold(char16_t c) const {
    if (c < 0x80) return ascii[c];
    if (c >= 0xFF00) return fullwidth[c - 0xFF00];
    if (c == 0x3000) return u' ';
    if (c == 0x201D) return u'"';
    if (c == 0x2019) return u'\'';
    return c;
  }
};

const FoldTable& GetFoldTable() {
  static const FoldTable table;
  return table;
}

// Reads the first field of line starting at *pos (blanks already skipped)
// into *field when given; leaves *pos after the value.
void ReadValue(std::string_view line, std::size_t* pos, std::string* field) {
  std::size_t p = *pos;
  if (line[p] == '"') {
    ++p;
    while (p < line.size()) {
      // The characters up to the next quote go in as one run rather than
      // one at a time (no trail byte is a quote).
      const std::size_t run = p;
      while (p < line.size() && line[p] != '"') p += CharLength(line, p);
      if (field) field->append(line.substr(run, p - run));
      if (p >= line.size()) break;
      if (p + 1 < line.size() && line[p + 1] == '"') {
        if (field) field->push_back('"');
        p += 2;
        continue;
      }
      ++p;  // the closing quote
      break;
    }
  } else {
    const std::size_t start = p;
    while (p < line.size()) {
      const auto b = static_cast<unsigned char>(line[p]);
      if (b <= 0x20 || b == ',') break;
      p += CharLength(line, p);
    }
    if (field) field->assign(line.substr(start, p - start));
  }
  *pos = p;
}

void SkipBlanks(std::string_view line, std::size_t* pos) {
  while (*pos < line.size() && IsBlankOrControl(static_cast<unsigned char>(line[*pos]))) ++*pos;
}

// Splits up to max_fields fields (all when max_fields is 0 or negative)
// and returns how many there were, filling fields when given.
std::size_t ScanFields(std::string_view line, std::size_t max_fields,
                       std::vector<std::string>* fields) {
  // A NUL byte ends the line, as it ends a text.
  line = line.substr(0, std::min(line.size(), line.find('\0')));
  std::size_t count = 0;
  std::size_t pos = 0;
  SkipBlanks(line, &pos);
  while (pos < line.size()) {
    if (max_fields != 0 && count >= max_fields) break;
    std::string value;
    ReadValue(line, &pos, fields ? &value : nullptr);
    if (fields) fields->push_back(std::move(value));
    ++count;
    SkipBlanks(line, &pos);
    if (pos < line.size() && line[pos] == ',') {
      ++pos;
      SkipBlanks(line, &pos);
    }
  }
  return count;
}

bool MarkerKeyIs(std::string_view line, std::u16string_view marker) {
  const std::optional<std::u16string> key = MarkerKey(line);
  return key && *key == marker;
}

}  // namespace

std::vector<std::string_view> DocumentLineViews(std::string_view text) {
  // Large texts are split by memchr (vectorised) rather than byte by byte:
  // the sort and the file information split a million lines.
  std::vector<std::string_view> lines;
  lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  const char* data = text.data();
  const std::size_t size = text.size();
  std::size_t start = 0;
  while (start < size) {
    const auto* lf = static_cast<const char*>(std::memchr(data + start, '\n', size - start));
    const std::size_t lf_pos = lf == nullptr ? size : static_cast<std::size_t>(lf - data);
    const auto* cr = static_cast<const char*>(std::memchr(data + start, '\r', lf_pos - start));
    if (cr != nullptr) {
      // CR LF, or a lone CR (the line after it is searched again).
      const auto cr_pos = static_cast<std::size_t>(cr - data);
      lines.push_back(text.substr(start, cr_pos - start));
      start = cr_pos + 1 == lf_pos ? lf_pos + 1 : cr_pos + 1;
      continue;
    }
    lines.push_back(text.substr(start, lf_pos - start));
    start = lf_pos + 1;
  }
  return lines;
}

LineList SplitLines(std::string_view text) {
  const std::vector<std::string_view> views =
      DocumentLineViews(text.substr(0, std::min(text.size(), text.find('\0'))));
  return LineList(views.begin(), views.end());
}

std::string JoinLines(const LineList& lines) {
  std::size_t size = 0;
  for (const std::string& line : lines) size += line.size() + 2;
  std::string text;
  text.reserve(size);
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

std::vector<std::string> SplitFields(std::string_view line) {
  std::vector<std::string> fields;
  ScanFields(line, 0, &fields);
  return fields;
}

std::optional<std::string> FirstField(std::string_view line) {
  // ScanFields' first step, without a field list to allocate: the keyword
  // list calls this for every line of a large file.
  line = line.substr(0, std::min(line.size(), line.find('\0')));
  std::size_t pos = 0;
  SkipBlanks(line, &pos);
  if (pos >= line.size()) return std::nullopt;
  std::string field;
  ReadValue(line, &pos, &field);
  return field;
}

std::u16string FoldKey(std::u16string_view text) {
  const FoldTable& table = GetFoldTable();
  std::u16string folded(text);
  for (char16_t& c : folded) c = table.Fold(c);
  return folded;
}

std::optional<std::u16string> MarkerKey(std::string_view line) {
  std::vector<std::string> fields;
  if (ScanFields(line, 1, &fields) == 0) return std::nullopt;
  return FoldKey(DecodeSjis(fields[0]));
}

bool IsEndMarker(std::string_view line) {
  return MarkerKeyIs(line, u"{ENDOFDATA}");
}

bool IsPriorMarker(std::string_view line) {
  return MarkerKeyIs(line, u"{PRIOR}");
}

bool IsValidRecord(std::string_view line, int field_count) {
  if (field_count <= 0) return true;
  const auto needed = static_cast<std::size_t>(field_count);
  return ScanFields(line, needed, nullptr) >= needed;
}

void SortLineRange(LineList& lines, long long lo, long long hi, bool ascending) {
  internal::SortLineRangeOf(lines, lo, hi, ascending);
}

}  // namespace morvik
