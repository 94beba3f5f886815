// Character codes and the small utilities of the engine.
#include "regex/char_codes.h"

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

std::string UpperCodeSetName(std::string_view name) {
  std::string upper;
  for (char c : name) {
    if (c != '-' && c != '_')
      upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return upper;
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

void bmccInitialize(std::string_view code_set) {
  default_char_code = bmccCodePage2CharCode(CodePageOfCodeSetName(code_set));
}

void bmccSetDefaultCharCode(TbmCharCode code) {
  default_char_code = code;
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

}  // namespace morvik
