// Shift_JIS (code page 932, as Windows uses it, with the NEC and IBM extensions)
// to UTF-16 and back.
//
// Every character, single- or double-byte, decodes to exactly one UTF-16 code
// unit, and every byte that is not part of a valid character decodes to one
// reserved code unit, the lone low surrogate U+DC00 + byte (U+DC80..U+DCFF;
// bytes below 0x80 are always valid). Such a unit encodes back to its byte.
// So a column of the decoded text is a character of the bytes, and
// EncodeSjis(DecodeSjis(b)) == b for every byte string b, with one exception:
// characters that the code page maps twice (for example 0xED40 and 0xFA5C
// both decode to U+7E8A) encode to the code page's preferred form. Callers
// that must keep such bytes (the document model) never re-encode text that
// did not change.
//
// A lead byte (0x81..0x9F, 0xE0..0xFC) at the end of the text, or followed by
// a byte with which it forms no character, is an invalid byte, and the next
// byte starts afresh.
//
// The tables are built once, on first use, from glibc's "CP932" converter.
#ifndef MORVIK_DATA_SJIS_CODEC_H_
#define MORVIK_DATA_SJIS_CODEC_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace morvik {

// The code unit that stands for the invalid byte b (b >= 0x80).
constexpr char16_t kInvalidByteBase = 0xDC00;

constexpr bool IsSjisLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
constexpr bool IsSjisTrailByte(unsigned char b) {
  return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

// True for the code units that DecodeSjis uses for invalid bytes.
constexpr bool IsInvalidByteUnit(char16_t c) {
  return c >= 0xDC80 && c <= 0xDCFF;
}

// The number of bytes (1 or 2) of the character that starts at pos, which
// must be < bytes.size(). Consistent with DecodeSjis: 2 exactly when the two
// bytes form a character of the code page.
std::size_t SjisCharLength(std::string_view bytes, std::size_t pos);

// Decodes the character at pos and stores its length in *length.
char16_t DecodeSjisChar(std::string_view bytes, std::size_t pos, std::size_t* length);

std::u16string DecodeSjis(std::string_view bytes);

// Encodes text to code page 932. A code unit that the code page cannot hold
// (and that is no invalid-byte unit) becomes '?'; *unmappable, when given,
// receives how many there were.
std::string EncodeSjis(std::u16string_view text, std::size_t* unmappable = nullptr);

// True when c encodes to bytes of the code page (invalid-byte units included).
bool CanEncodeSjis(char16_t c);

// The number of bytes that the unit c encodes to (1 or 2; '?' counts 1).
std::size_t SjisEncodedLength(char16_t c);

// Mapping between a character column and a byte offset within one line of
// Shift_JIS bytes (no line break inside). A column past the end maps to
// line.size(); a byte offset inside a double-byte character maps to that
// character's column.
std::size_t ByteOffsetOfColumn(std::string_view line, std::size_t column);
std::size_t ColumnOfByteOffset(std::string_view line, std::size_t byte_offset);

}  // namespace morvik

#endif  // MORVIK_DATA_SJIS_CODEC_H_
