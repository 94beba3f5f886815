// The character readers.
#include "regex/readers.h"

#include <algorithm>
#include <climits>

#include "regex/error.h"

namespace morvik {

namespace {

constexpr int kBackslash = '\\';

}  // namespace

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
