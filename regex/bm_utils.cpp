// Character codes, readers and the small utilities of the engine.
#include "regex/bm_utils.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cctype>
#include <climits>

#include "regex/error.h"

namespace morvik {

namespace {

constexpr std::string_view kCharCodeDisplayNames[kCharCodeCount] = {
    "Shift JIS", "Japanese EUC", "Western (Windows-1252)", "UniCode", "JIS"};

// Constant-initialised, so it holds Shift JIS even before start-up has run.
TbmCharCode default_char_code = bmccShiftJIS;
bool default_char_code_initialized = false;

constexpr int kBackslash = '\\';

std::string UpperCodeSetName(std::string_view name) {
  std::string upper;
  for (char c : name) {
    if (c != '-' && c != '_')
      upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return upper;
}

// The code set of the user's locale (LC_ALL, LC_CTYPE, LANG), read without
// touching the program's own locale. An unusable locale setting gives "".
std::string UserLocaleCodeSet() {
  locale_t user_locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
  if (user_locale == static_cast<locale_t>(nullptr)) return std::string();
  std::string code_set = nl_langinfo_l(CODESET, user_locale);
  freelocale(user_locale);
  return code_set;
}

}  // namespace

std::string_view CharCodeDisplayName(TbmCharCode code) {
  return code < kCharCodeCount ? kCharCodeDisplayNames[code] : std::string_view();
}

bool IsLeadByteSJIS(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsLeadByteEUC(unsigned char byte) {
  return byte == 0x8E || (byte >= 0xA1 && byte <= 0xFE);
}

bool IsLeadByteNone(unsigned char) {
  return false;
}

TbmCharCode bmccCodePage2CharCode(int code_page) {
  switch (code_page) {
    case 932:
      return bmccShiftJIS;
    case 1252:
      return bmccWestern;
    case 1200:
      return bmccUniCode;
    default:
      throw RegexError("bmccCodePage2CharCode: unknown code page");
  }
}

TbmIsLeadByteFunc bmccGetIsLeadByteFunc(TbmCharCode code) {
  switch (code) {
    case bmccShiftJIS:
      return IsLeadByteSJIS;
    case bmccJapaneseEUC:
      return IsLeadByteEUC;
    case bmccWestern:
      return IsLeadByteNone;
    default:
      throw RegexError("bmccGetIsLeadByteFunc: invalid argument");
  }
}

std::unique_ptr<TbmWchReader> bmccCreateReader(TbmCharCode code) {
  switch (code) {
    case bmccShiftJIS:
    case bmccJapaneseEUC:
      return std::make_unique<TbmMBCSReader>(code);
    case bmccWestern:
      return std::make_unique<TbmSBCSReader>(code);
    case bmccUniCode:
      return std::make_unique<TbmUniCodeReader>();
    default:
      return nullptr;
  }
}

int CodePageOfCodeSetName(std::string_view code_set) {
  const std::string name = UpperCodeSetName(code_set);
  if (name == "SHIFTJIS" || name == "SJIS" || name == "CP932" || name == "WINDOWS31J" ||
      name == "MSKANJI" || name == "IBM943" || name == "WINDOWS932") {
    return 932;
  }
  if (name == "CP1252" || name == "WINDOWS1252" || name == "MSANSI" || name == "ISO88591" ||
      name == "ISO885915" || name == "LATIN1" || name == "LATIN9" || name == "ANSIX3.41968" ||
      name == "ASCII" || name == "USASCII" || name == "646") {
    return 1252;
  }
  if (name == "UTF16" || name == "UTF16LE" || name == "UTF16BE" || name == "UCS2" ||
      name == "UCS2LE") {
    return 1200;
  }
  return 932;
}

TbmCharCode bmccDefaultCharCode() {
  return default_char_code;
}

void bmccInitialize() {
  if (default_char_code_initialized) return;
  default_char_code = bmccCodePage2CharCode(CodePageOfCodeSetName(UserLocaleCodeSet()));
  default_char_code_initialized = true;
}

void bmccSetDefaultCharCode(TbmCharCode code) {
  default_char_code = code;
  default_char_code_initialized = true;
}

bool SameBytes(std::string_view a, std::string_view b) {
  return a == b;
}

int CountChars(std::string_view text, std::ptrdiff_t position, TbmIsLeadByteFunc is_lead_byte) {
  const auto size = static_cast<std::ptrdiff_t>(text.size());
  std::ptrdiff_t at = 0;
  int count = 0;
  while (at < position) {
    if (at >= size) return -1;
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte == 0) return -1;
    if (is_lead_byte(byte)) {
      if (at + 1 >= size || text[at + 1] == 0) return -1;
      at += 2;
    } else {
      at += 1;
    }
    ++count;
  }
  return at == position ? count : -1;
}

bool IsTrailByte(std::string_view text, std::ptrdiff_t position, TbmIsLeadByteFunc is_lead_byte) {
  const auto size = static_cast<std::ptrdiff_t>(text.size());
  std::ptrdiff_t run = 0;
  for (std::ptrdiff_t at = position - 1; at >= 0; --at) {
    if (at >= size || !is_lead_byte(static_cast<unsigned char>(text[at]))) break;
    ++run;
  }
  return run % 2 == 1;
}

int HexDigitValue(int ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  return -1;
}

int OctDigitValue(int ch) {
  return ch >= '0' && ch <= '7' ? ch - '0' : -1;
}

// TbmWchReader

void TbmWchReader::CheckTextLength(std::size_t byte_length) {
  // Positions are 32-bit; the end may be passed by two bytes.
  if (byte_length > static_cast<std::size_t>(INT_MAX) - 4) {
    throw RegexError("TbmWchReader.SetTextBuff: text too long");
  }
}

int TbmWchReader::ReadNumber(int base, int max_digits, int limit, int (*digit_value)(int)) {
  int value = 0;
  int digits = 0;
  int digit = digit_value(ReadChar());
  while (digit != -1 && digits < max_digits && value * base + digit <= limit) {
    value = value * base + digit;
    ++digits;
    digit = digit_value(ReadChar());
  }
  UnreadChar();
  return digits == 0 ? -1 : value;
}

int TbmWchReader::ReadHex() {
  return ReadNumber(16, 4, 0xFFFF, HexDigitValue);
}

int TbmWchReader::ReadOct() {
  return ReadNumber(8, 6, 0xFFFF, OctDigitValue);
}

int TbmWchReader::ReadEscape() {
  const int c = ReadChar();
  switch (c) {
    case -1:
      return -1;
    case 'a':
      return 7;
    case 'b':
      return 8;
    case 'f':
      return 12;
    case 'n':
      return 10;
    case 'r':
      return 13;
    case 't':
      return 9;
    case 'v':
      return 11;
    case 'x':
      return ReadHex();
    default:
      if (c >= '0' && c <= '7') {
        UnreadChar();
        return ReadOct();
      }
      return c;
  }
}

std::string TbmWchReader::ReadUnescaped() {
  std::string result;
  for (int c = ReadChar(); c != -1; c = ReadChar()) {
    if (c == kBackslash) {
      c = ReadEscape();
      if (c == -1) break;
    }
    result += CharToStr(c);
  }
  return result;
}

std::string TbmWchReader::CharToStr(int ch) const {
  const auto value = static_cast<std::uint16_t>(ch);
  if (value >= 256) {
    return std::string{static_cast<char>(value >> 8), static_cast<char>(value & 0xFF)};
  }
  return std::string(1, static_cast<char>(value));
}

std::string TbmWchReader::CharToEscape(int ch) const {
  const auto value = static_cast<std::uint16_t>(ch);
  switch (value) {
    case 7:
      return "\\a";
    case 8:
      return "\\b";
    case 9:
      return "\\t";
    case 10:
      return "\\n";
    case 11:
      return "\\v";
    case 12:
      return "\\f";
    case 13:
      return "\\r";
    default: {
      static constexpr char kHex[] = "0123456789ABCDEF";
      std::string digits;
      for (unsigned v = value; v != 0; v >>= 4) digits.insert(digits.begin(), kHex[v & 0xF]);
      while (digits.size() < 2) digits.insert(digits.begin(), '0');
      return "\\x" + digits;
    }
  }
}

// TbmMBCSReader

TbmMBCSReader::TbmMBCSReader(TbmCharCode code)
    : TbmWchReader(code), IsLeadByte(bmccGetIsLeadByteFunc(code)) {
  SetText(std::string_view());
}

std::string TbmMBCSReader::GetText() const {
  return std::string(Buffer());
}

void TbmMBCSReader::SetText(std::string_view text) {
  CheckTextLength(text.size());
  Text.assign(text.data(), text.size());
  SetTextBuff(Text.data(), Text.size());
}

void TbmMBCSReader::SetTextBuff(const char* buffer, std::size_t byte_length) {
  CheckTextLength(byte_length);
  BufStart = buffer;
  BufEnd = byte_length;
  BufPos = 0;
}

int TbmMBCSReader::ReadChar() {
  const int byte = ByteAt(BufPos);
  ++BufPos;
  if (BufPos > static_cast<std::ptrdiff_t>(BufEnd) || byte < 0) {
    // Also a position moved before the start by SetPos: nothing to read.
    return -1;
  }
  if (!IsLeadByte(static_cast<unsigned char>(byte))) return byte;
  // A lead byte at the very end pairs with a trail byte of 0; the position
  // then stands one past the end and the next read gives -1.
  const int trail = std::max(ByteAt(BufPos), 0);
  ++BufPos;
  return byte * 256 + trail;
}

bool TbmMBCSReader::UnreadChar() {
  if (BufPos == 0) return false;
  BufPos -= IsTrailByte(Buffer(), BufPos - 1, IsLeadByte) ? 2 : 1;
  return true;
}

int TbmMBCSReader::GetCharIndex() const {
  return CountChars(Buffer(), BufPos, IsLeadByte);
}

// TbmSBCSReader

TbmSBCSReader::TbmSBCSReader(TbmCharCode code) : TbmMBCSReader(code) {
  IsLeadByte = IsLeadByteNone;
  SetText(std::string_view());
}

int TbmSBCSReader::ReadChar() {
  const int byte = ByteAt(BufPos);
  ++BufPos;
  return byte;
}

bool TbmSBCSReader::UnreadChar() {
  if (BufPos == 0) return false;
  --BufPos;
  return true;
}

int TbmSBCSReader::ReadHex() {
  return ReadNumber(16, 2, 0xFF, HexDigitValue);
}

int TbmSBCSReader::ReadOct() {
  return ReadNumber(8, 3, 255, OctDigitValue);
}

// TbmUniCodeReader

std::string TbmUniCodeReader::GetText() const {
  return std::string(BufStart, BufEnd);
}

void TbmUniCodeReader::SetText(std::string_view text) {
  if (text.size() % 2 != 0) {
    throw RegexError("TbmUniCodeReader.SetTextBuff: ByteLength must be even.");
  }
  CheckTextLength(text.size());
  Text.assign(text.data(), text.size());
  SetTextBuff(Text.data(), Text.size());
}

void TbmUniCodeReader::SetTextBuff(const char* buffer, std::size_t byte_length) {
  if (byte_length % 2 != 0) {
    throw RegexError("TbmUniCodeReader.SetTextBuff: ByteLength must be even.");
  }
  CheckTextLength(byte_length);
  BufStart = buffer;
  BufEnd = byte_length;
  BufPos = 0;
}

int TbmUniCodeReader::ReadChar() {
  int unit = -1;
  if (BufPos >= 0 && BufPos + 2 <= static_cast<std::ptrdiff_t>(BufEnd)) {
    unit = static_cast<unsigned char>(BufStart[BufPos]) |
           (static_cast<unsigned char>(BufStart[BufPos + 1]) << 8);
  }
  BufPos += 2;
  return unit;
}

bool TbmUniCodeReader::UnreadChar() {
  if (BufPos == 0) return false;
  BufPos -= 2;
  return true;
}

std::string TbmUniCodeReader::CharToStr(int ch) const {
  const auto value = static_cast<std::uint16_t>(ch);
  return std::string{static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

std::string TbmUniCodeReader::CharToEscape(int ch) const {
  const std::string narrow = TbmWchReader::CharToEscape(ch);
  std::string wide;
  for (char c : narrow) {
    wide += c;
    wide += '\0';
  }
  return wide;
}

}  // namespace morvik
