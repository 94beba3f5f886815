// Character codes of the regular-expression engine and the small utilities
// its stages share.
//
// A character value is a signed 32-bit integer: 0..0xFFFF for a character and
// -1 for "no character" (the end of the text, or an escape that could not be
// decoded). A double-byte character of Shift JIS or Japanese EUC has the value
// lead * 256 + trail: the two bytes read as a big-endian number, not converted
// to Unicode. A UTF-16 code unit has its 16-bit value; surrogate pairs are not
// combined. Two negative values stand for the places around a line, so that
// "^" and "$" are ordinary transitions of the automaton.
#ifndef MORVIK_REGEX_CHAR_CODES_H_
#define MORVIK_REGEX_CHAR_CODES_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace morvik {

// The pseudo-characters read before the first and after the last character
// of a line; "^" and "$" match them.
inline constexpr int kLineHeadChar = -2;
inline constexpr int kLineTailChar = -3;

using TbmCharCode = std::uint8_t;

inline constexpr TbmCharCode bmccShiftJIS = 0;
inline constexpr TbmCharCode bmccJapaneseEUC = 1;
inline constexpr TbmCharCode bmccWestern = 2;
inline constexpr TbmCharCode bmccUniCode = 3;
inline constexpr TbmCharCode bmccJIS = 4;
inline constexpr int kCharCodeCount = 5;

// "Shift JIS", "Japanese EUC", "Western (Windows-1252)", "UniCode", "JIS";
// an empty string for a code outside the table.
std::string_view CharCodeDisplayName(TbmCharCode code);

using TbmIsLeadByteFunc = bool (*)(unsigned char byte);

bool IsLeadByteSJIS(unsigned char byte);
bool IsLeadByteEUC(unsigned char byte);  // 0x8F is not a lead byte here.
bool IsLeadByteNone(unsigned char byte);

// 932 -> Shift JIS, 1252 -> Western, 1200 -> UniCode; any other number raises
// RegexError "bmccCodePage2CharCode: unknown code page".
TbmCharCode bmccCodePage2CharCode(int code_page);

// The lead-byte test of codes 0..2; any other code raises RegexError
// "bmccGetIsLeadByteFunc: invalid argument".
TbmIsLeadByteFunc bmccGetIsLeadByteFunc(TbmCharCode code);

// The code page that stands for a locale's code set name as nl_langinfo gives
// it: 932 for Shift_JIS and its aliases, 1252 for the Windows-1252 family and
// plain ASCII, 1200 for UTF-16. Every other code set (UTF-8 included) gives
// 932: the engine must start whatever the locale is, and Shift JIS is the
// code of the data files the program exists for.
int CodePageOfCodeSetName(std::string_view code_set);

// The character code every new engine object starts with: Shift JIS until
// the host program sets it from its user's locale.
TbmCharCode bmccDefaultCharCode();

// Sets the default character code from the code set name of the user's
// locale (as nl_langinfo gives it), through CodePageOfCodeSetName. The host
// calls it once at start-up with the code set it read; the engine never reads
// the locale itself.
void bmccInitialize(std::string_view code_set);

// Sets the default character code directly, for tests that must not depend
// on the machine's locale.
void bmccSetDefaultCharCode(TbmCharCode code);

// Utilities shared by the engine.

// Binary search over [first, end) for the first item that does not compare
// below key; compare(index, key) answers negative, zero or positive. Returns
// end when every item compares below the key.
template <typename Key, typename Compare>
int LowerBound(int first, int end, const Key& key, Compare compare) {
  int count = end - first;
  while (count > 0) {
    int half = count / 2;
    int mid = first + half;
    if (compare(mid, key) < 0) {
      first = mid + 1;
      count -= half + 1;
    } else {
      count = half;
    }
  }
  return first;
}

bool SameBytes(std::string_view a, std::string_view b);

// The number of characters from the start of text up to position (a byte
// offset); -1 when a zero byte comes first, when the text ends first, or when
// the position falls inside a pair.
int CountChars(std::string_view text, std::ptrdiff_t position, TbmIsLeadByteFunc is_lead_byte);

// Whether the byte at position is the second byte of a double-byte character,
// judged from the run of lead-valued bytes just before it. Only bytes of text
// are looked at; bytes at or past its end count as no lead byte.
bool IsTrailByte(std::string_view text, std::ptrdiff_t position, TbmIsLeadByteFunc is_lead_byte);

int HexDigitValue(int ch);
int OctDigitValue(int ch);

}  // namespace morvik

#endif  // MORVIK_REGEX_CHAR_CODES_H_
