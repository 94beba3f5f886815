// Character codes and character readers of the regular-expression engine.
//
// A character value is a signed 32-bit integer: 0..0xFFFF for a character and
// -1 for "no character" (the end of the text, or an escape that could not be
// decoded). A double-byte character of Shift JIS or Japanese EUC has the value
// lead * 256 + trail: the two bytes read as a big-endian number, not converted
// to Unicode. A UTF-16 code unit has its 16-bit value; surrogate pairs are not
// combined.
//
// Readers turn a byte buffer into character values that the pattern scanner
// reads one at a time and can step back over. Every position a reader takes or
// hands out is a byte offset from the start of its text, for every code.
// Readers never read outside their text: a lead byte that is the last byte of
// the text pairs with a trail byte of 0, and reading at or past the end gives
// -1 however far the position has been moved.
#ifndef MORVIK_REGEX_BM_UTILS_H_
#define MORVIK_REGEX_BM_UTILS_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace morvik {

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

class TbmWchReader;

// A new reader for codes 0..3, or nullptr (code 4, JIS, has no reader). Never
// raises for an unknown code: the scanner reports a missing reader itself.
std::unique_ptr<TbmWchReader> bmccCreateReader(TbmCharCode code);

// The code page that stands for a locale's code set name as nl_langinfo gives
// it: 932 for Shift_JIS and its aliases, 1252 for the Windows-1252 family and
// plain ASCII, 1200 for UTF-16. Every other code set (UTF-8 included) gives
// 932: the engine must start whatever the locale is, and Shift JIS is the
// code of the data files the program exists for.
int CodePageOfCodeSetName(std::string_view code_set);

// The character code that matches the user's locale, set once by
// bmccInitialize and read by every new engine object.
TbmCharCode bmccDefaultCharCode();

// Reads the user's locale code set (without changing the program's locale)
// and sets the default character code. Runs at start-up; repeated calls do
// nothing.
void bmccInitialize();

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

// The base of all readers. Positions are byte offsets; ReadChar may move the
// position past the end of the text (by one for the end itself, by one more
// for a lead byte at the very end), and UnreadChar takes such steps back.
class TbmWchReader {
 public:
  explicit TbmWchReader(TbmCharCode code) : CharCode(code) {}
  virtual ~TbmWchReader() = default;
  TbmWchReader(const TbmWchReader&) = delete;
  TbmWchReader& operator=(const TbmWchReader&) = delete;

  virtual std::string GetText() const = 0;
  // Keeps a copy of text and reads from it; the position returns to 0.
  virtual void SetText(std::string_view text) = 0;
  virtual int GetPos() const = 0;
  // Unchecked: reading from a position outside the text gives -1.
  virtual void SetPos(int pos) = 0;
  virtual int ReadChar() = 0;
  virtual bool UnreadChar() = 0;
  virtual int GetCharIndex() const = 0;
  virtual void Reset() = 0;
  // Called just behind the x of an escape: up to 4 hex digits (-1 for none).
  virtual int ReadHex();
  // Called on the first octal digit: up to 6 digits, value at most 0xFFFF.
  virtual int ReadOct();
  // Called just behind a backslash.
  virtual int ReadEscape();
  // Reads from the caller's buffer without copying; it must outlive its use.
  virtual void SetTextBuff(const char* buffer, std::size_t byte_length) = 0;
  // The rest of the text with escapes resolved, in the reader's encoding.
  virtual std::string ReadUnescaped();
  virtual std::string CharToStr(int ch) const;
  virtual std::string CharToEscape(int ch) const;

  TbmCharCode CharCode;

 protected:
  // Shared by ReadHex and ReadOct: reads digits of the base while they come,
  // at most max_digits of them and without letting the value pass limit, and
  // puts the first character not taken back.
  int ReadNumber(int base, int max_digits, int limit, int (*digit_value)(int));
  static void CheckTextLength(std::size_t byte_length);
};

// Shift JIS and Japanese EUC.
class TbmMBCSReader : public TbmWchReader {
 public:
  explicit TbmMBCSReader(TbmCharCode code);

  std::string GetText() const override;
  void SetText(std::string_view text) override;
  int GetPos() const override { return static_cast<int>(BufPos); }
  void SetPos(int pos) override { BufPos = pos; }
  int ReadChar() override;
  bool UnreadChar() override;
  int GetCharIndex() const override;
  void Reset() override { BufPos = 0; }
  void SetTextBuff(const char* buffer, std::size_t byte_length) override;

 protected:
  std::string_view Buffer() const { return std::string_view(BufStart, BufEnd); }
  // The byte at offset pos, or -1 outside the text.
  int ByteAt(std::ptrdiff_t pos) const {
    return pos >= 0 && pos < static_cast<std::ptrdiff_t>(BufEnd)
               ? static_cast<unsigned char>(BufStart[pos])
               : -1;
  }

  std::string Text;
  const char* BufStart = nullptr;
  std::size_t BufEnd = 0;     // length of the text in bytes
  std::ptrdiff_t BufPos = 0;  // offset from BufStart; may pass BufEnd
  TbmIsLeadByteFunc IsLeadByte;
};

// Windows-1252: every byte is one character.
class TbmSBCSReader : public TbmMBCSReader {
 public:
  explicit TbmSBCSReader(TbmCharCode code);

  int ReadChar() override;
  bool UnreadChar() override;
  int GetCharIndex() const override { return static_cast<int>(BufPos); }
  int ReadHex() override;  // at most 2 digits
  int ReadOct() override;  // at most 3 digits, value at most 255
};

// UTF-16 little-endian: each 16-bit unit is one character.
class TbmUniCodeReader : public TbmWchReader {
 public:
  TbmUniCodeReader() : TbmWchReader(bmccUniCode) {}

  std::string GetText() const override;
  void SetText(std::string_view text) override;
  int GetPos() const override { return static_cast<int>(BufPos); }
  void SetPos(int pos) override { BufPos = pos; }
  int ReadChar() override;
  bool UnreadChar() override;
  int GetCharIndex() const override { return static_cast<int>(BufPos / 2); }
  void Reset() override { BufPos = 0; }
  // An odd byte_length raises RegexError
  // "TbmUniCodeReader.SetTextBuff: ByteLength must be even." and keeps the
  // previous text and position.
  void SetTextBuff(const char* buffer, std::size_t byte_length) override;
  std::string CharToStr(int ch) const override;
  std::string CharToEscape(int ch) const override;

 private:
  std::string Text;
  const char* BufStart = nullptr;
  std::size_t BufEnd = 0;
  std::ptrdiff_t BufPos = 0;
};

}  // namespace morvik

#endif  // MORVIK_REGEX_BM_UTILS_H_
