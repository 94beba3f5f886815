// Character and line arithmetic on Shift_JIS byte text.
#include "app/document/text_metrics.h"

#include <bit>
#include <bitset>
#include <cstdint>
#include <cstring>

namespace morvik {
namespace {

std::size_t CountByte(std::string_view text, char byte) {
  std::size_t count = 0;
  for (const char c : text) count += c == byte ? 1 : 0;
  return count;
}

// The lead and trail byte pairs that form a character of the code page,
// as SjisCharLength reads them: counting a large text asks about every
// double-byte character, and a bit test is cheaper than the codec's call.
const std::bitset<65536>& DoubleBytePairs() {
  static const std::bitset<65536> pairs = [] {
    std::bitset<65536> table;
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
      if (!IsSjisLeadByte(static_cast<unsigned char>(lead))) continue;
      for (int trail = 0; trail <= 0xFF; ++trail) {
        const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        if (SjisCharLength(std::string_view(bytes, 2), 0) == 2) table.set(lead * 256 + trail);
      }
    }
    return table;
  }();
  return pairs;
}

}  // namespace

TextCounts CountText(std::string_view text) {
  TextCounts counts;
  counts.bytes = text.size();
  // A CR is never part of a double-byte character (it is no trail byte), so
  // the characters are those of the text read with CR and LF as characters
  // of their own, less one for each CR LF pair.
  const auto* data = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  std::size_t crs = 0;
  std::size_t pairs = 0;
  for (const unsigned char* cursor = data; cursor < data + size; ++cursor) {
    cursor = static_cast<const unsigned char*>(
        std::memchr(cursor, '\r', static_cast<std::size_t>(data + size - cursor)));
    if (cursor == nullptr) break;
    ++crs;
    if (cursor + 1 < data + size && cursor[1] == '\n') ++pairs;
  }
  counts.breaks = CountByte(text, '\n') + crs - pairs;
  // Most bytes of a data file are ASCII: skip those eight at a time, then
  // straight to the first byte that is not, and read the run of non-ASCII
  // characters from there, asking only whether each pair forms one.
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  const std::bitset<65536>& double_byte = DoubleBytePairs();
  std::size_t double_bytes = 0;
  std::size_t pos = 0;
  while (pos < size) {
    if (pos + 8 <= size) {
      std::uint64_t word = 0;
      std::memcpy(&word, data + pos, 8);
      const std::uint64_t high = word & kHighBits;
      if (high == 0) {
        pos += 8;
        continue;
      }
      const int ascii_bits = std::endian::native == std::endian::little ? std::countr_zero(high)
                                                                        : std::countl_zero(high);
      pos += static_cast<std::size_t>(ascii_bits) / 8;
    }
    while (pos < size && data[pos] >= 0x80) {
      if (pos + 1 < size && double_byte[data[pos] * 256u + data[pos + 1]]) {
        ++double_bytes;
        pos += 2;
      } else {
        ++pos;
      }
    }
    if (pos < size) ++pos;  // the ASCII byte that ended the run
  }
  const std::size_t chars = size - double_bytes;
  counts.chars = chars - pairs;
  return counts;
}

std::size_t CountBreaksBefore(std::string_view text, std::size_t end) {
  std::size_t breaks = CountByte(text.substr(0, end), '\n');
  // Each CR not followed by LF is a break of its own.
  const char* data = text.data();
  const char* cursor = data;
  const char* limit = data + end;
  while (cursor < limit) {
    const void* found = std::memchr(cursor, '\r', static_cast<std::size_t>(limit - cursor));
    if (found == nullptr) break;
    const char* cr = static_cast<const char*>(found);
    const std::size_t next = static_cast<std::size_t>(cr - data) + 1;
    if (next >= text.size() || data[next] != '\n') ++breaks;
    cursor = cr + 1;
  }
  return breaks;
}

std::size_t OffsetAfterBreak(std::string_view text, std::size_t n) {
  if (n == 0) return 0;
  std::size_t seen = 0;
  for (std::size_t pos = 0; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c == '\n' || (c == '\r' && (pos + 1 >= text.size() || text[pos + 1] != '\n'))) {
      if (++seen == n) return pos + 1;
    }
  }
  return std::string_view::npos;
}

std::size_t TrailingBreakLength(std::string_view text) {
  if (text.empty()) return 0;
  if (text.back() == '\r') return 1;
  if (text.back() != '\n') return 0;
  return text.size() >= 2 && text[text.size() - 2] == '\r' ? 2 : 1;
}

std::size_t CharStartOf(std::string_view text, std::size_t offset, std::size_t* chars) {
  std::size_t pos = 0;
  std::size_t count = 0;
  while (pos < text.size()) {
    const std::size_t next = NextCharBoundary(text, pos);
    if (next > offset) break;
    pos = next;
    ++count;
  }
  *chars = count;
  return pos;
}

std::size_t OffsetOfCharIndex(std::string_view text, std::size_t char_index) {
  std::size_t pos = 0;
  for (std::size_t i = 0; i < char_index && pos < text.size(); ++i) {
    pos = NextCharBoundary(text, pos);
  }
  return pos;
}

TextChange DescribeChange(std::string_view old_region, std::string_view new_region,
                          std::size_t edit_offset, std::size_t removed, std::size_t inserted) {
  TextChange change;
  // Characters wholly before edit_offset read the same in both texts, except
  // the one holding the byte just before it: a lone lead byte may pair with
  // an inserted trail byte, a CR with an inserted LF, or the edit may fall
  // inside a character. Start there unless it reads the same in both.
  std::size_t start = 0;
  std::size_t chars_before = 0;
  if (edit_offset > 0) {
    start = CharStartOf(old_region, edit_offset - 1, &chars_before);
    const std::size_t old_end = NextCharBoundary(old_region, start);
    const std::size_t new_end =
        start < new_region.size() ? NextCharBoundary(new_region, start) : start;
    if (old_end == edit_offset && new_end == edit_offset) {
      start = edit_offset;
      ++chars_before;
    }
  }
  // Walk both texts to the first point after the edit where both stand on a
  // character boundary at the same place of the common tail.
  const std::size_t old_edit_end = edit_offset + removed;
  const std::size_t new_edit_end = edit_offset + inserted;
  std::size_t old_pos = start;
  std::size_t new_pos = start;
  std::size_t old_chars = 0;
  std::size_t new_chars = 0;
  for (;;) {
    const bool old_past = old_pos >= old_edit_end;
    const bool new_past = new_pos >= new_edit_end;
    if (old_past && new_past && old_pos - old_edit_end == new_pos - new_edit_end) break;
    const bool advance_old =
        !old_past || (new_past && old_pos - old_edit_end < new_pos - new_edit_end);
    if (advance_old) {
      if (old_pos >= old_region.size()) break;  // defensive: regions must end in step
      old_pos = NextCharBoundary(old_region, old_pos);
      ++old_chars;
    } else {
      if (new_pos >= new_region.size()) break;
      new_pos = NextCharBoundary(new_region, new_pos);
      ++new_chars;
    }
  }
  change.offset = start;
  change.removed_bytes = old_pos - start;
  change.inserted_bytes = new_pos - start;
  change.char_position = chars_before;
  change.removed_chars = old_chars;
  change.inserted_chars = new_chars;
  return change;
}

std::u16string DecodeForView(std::string_view text) {
  std::u16string decoded;
  decoded.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const char c = text[pos];
    if (c == '\r' || c == '\n') {
      decoded.push_back(u'\n');
      pos += (c == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
      continue;
    }
    std::size_t length = 1;
    decoded.push_back(DecodeSjisChar(text, pos, &length));
    pos += length;
  }
  return decoded;
}

std::u16string NormalizeViewBreaks(std::u16string_view text) {
  std::u16string normal;
  normal.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\r') {
      normal.push_back(u'\n');
      if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    } else if (c == u'\u2028' || c == u'\u2029') {
      normal.push_back(u'\n');
    } else {
      normal.push_back(c);
    }
  }
  return normal;
}

std::string EncodeFromView(std::u16string_view text) {
  const std::u16string normal = NormalizeViewBreaks(text);
  std::string bytes;
  bytes.reserve(normal.size() * 2);
  std::size_t begin = 0;
  while (begin <= normal.size()) {
    std::size_t end = normal.find(u'\n', begin);
    if (end == std::u16string::npos) end = normal.size();
    bytes += EncodeSjis(std::u16string_view(normal).substr(begin, end - begin));
    if (end == normal.size()) break;
    bytes += "\r\n";
    begin = end + 1;
  }
  return bytes;
}

bool IsWordCharacter(std::string_view character) {
  if (character.size() == 1) {
    const auto b = static_cast<unsigned char>(character[0]);
    if ((b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '_') {
      return true;
    }
    return b >= 0xA6 && b <= 0xDF;  // half-width katakana, without its punctuation
  }
  if (character.size() != 2 || character == "\r\n") return false;
  const unsigned code =
      static_cast<unsigned char>(character[0]) * 256u + static_cast<unsigned char>(character[1]);
  // Row 0x81 holds the ideographic space and punctuation; of it only the
  // iteration marks and the long-vowel mark (0x8152..0x815B) belong to words.
  if (code >= 0x8140 && code <= 0x81FC) return code >= 0x8152 && code <= 0x815B;
  return true;
}

}  // namespace morvik
