// Table-driven code page 932 conversion; the tables come from glibc's iconv.
#include "data/sjis_codec.h"

#include <iconv.h>

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

namespace morvik {
namespace {

constexpr char16_t kNoChar = 0xFFFF;       // decode table: the bytes form no character
constexpr std::uint16_t kNoCode = 0xFFFF;  // encode table: the unit has no code

struct Tables {
  // Indexed by a single byte: its character, or kNoChar for lead and invalid bytes.
  std::array<char16_t, 256> single{};
  // Indexed by lead * 256 + trail: the character, or kNoChar.
  std::vector<char16_t> pair = std::vector<char16_t>(65536, kNoChar);
  // Indexed by code unit: the code (one byte below 0x100, else lead * 256 + trail).
  std::vector<std::uint16_t> encode = std::vector<std::uint16_t>(65536, kNoCode);
};

class Iconv {
 public:
  Iconv(const char* to, const char* from) : handle_(iconv_open(to, from)) {
    if (handle_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(std::string("code page conversion ") + from + " -> " + to +
                               " is not available");
    }
  }
  ~Iconv() { iconv_close(handle_); }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  // Converts in completely, or returns false.
  bool Convert(const char* in, std::size_t in_size, char* out, std::size_t out_capacity,
               std::size_t* out_size) {
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    char* in_ptr = const_cast<char*>(in);
    char* out_ptr = out;
    std::size_t in_left = in_size;
    std::size_t out_left = out_capacity;
    if (iconv(handle_, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<std::size_t>(-1) ||
        in_left != 0) {
      return false;
    }
    // Flush any shift state (none for CP932, but it is cheap to be sure).
    if (iconv(handle_, nullptr, nullptr, &out_ptr, &out_left) == static_cast<std::size_t>(-1)) {
      return false;
    }
    *out_size = out_capacity - out_left;
    return true;
  }

 private:
  iconv_t handle_;
};

// Decodes bytes to exactly one UTF-16 code unit, or returns kNoChar.
char16_t DecodeWithIconv(Iconv& to_utf16, const char* bytes, std::size_t size) {
  char out[8];
  std::size_t out_size = 0;
  if (!to_utf16.Convert(bytes, size, out, sizeof out, &out_size) || out_size != 2) {
    return kNoChar;
  }
  const auto unit = static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                          (static_cast<unsigned char>(out[1]) << 8));
  // A decoded surrogate would collide with the invalid-byte units.
  if (unit >= 0xD800 && unit <= 0xDFFF) return kNoChar;
  return unit;
}

std::unique_ptr<Tables> BuildTables() {
  auto t = std::make_unique<Tables>();
  Iconv to_utf16("UTF-16LE", "CP932");
  Iconv from_utf16("CP932", "UTF-16LE");

  // Every code unit that some byte sequence decodes to, with how many do.
  std::vector<std::uint8_t> sources(65536, 0);
  for (int b = 0; b < 256; ++b) {
    t->single[b] = kNoChar;
    if (IsSjisLeadByte(static_cast<unsigned char>(b))) continue;
    const char byte = static_cast<char>(b);
    const char16_t c = DecodeWithIconv(to_utf16, &byte, 1);
    t->single[b] = c;
    if (c != kNoChar) {
      ++sources[c];
      t->encode[c] = static_cast<std::uint16_t>(b);
    }
  }
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsSjisLeadByte(static_cast<unsigned char>(lead))) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (!IsSjisTrailByte(static_cast<unsigned char>(trail))) continue;
      const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      const char16_t c = DecodeWithIconv(to_utf16, bytes, 2);
      const int code = lead * 256 + trail;
      t->pair[code] = c;
      if (c == kNoChar) continue;
      if (sources[c]++ == 0) t->encode[c] = static_cast<std::uint16_t>(code);
    }
  }
  // A character with several codes encodes as the converter prefers.
  for (int c = 0; c < 65536; ++c) {
    if (sources[c] < 2) continue;
    const char in[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    char out[8];
    std::size_t out_size = 0;
    if (!from_utf16.Convert(in, 2, out, sizeof out, &out_size)) continue;
    const auto b0 = static_cast<unsigned char>(out[0]);
    const int code = out_size == 1 ? b0 : b0 * 256 + static_cast<unsigned char>(out[1]);
    const bool decodes_back =
        out_size == 1 ? t->single[b0] == c : out_size == 2 && t->pair[code] == c;
    if (decodes_back) t->encode[c] = static_cast<std::uint16_t>(code);
  }
  return t;
}

const Tables& GetTables() {
  static const std::unique_ptr<Tables> tables = BuildTables();
  return *tables;
}

}  // namespace

std::size_t SjisCharLength(std::string_view bytes, std::size_t pos) {
  std::size_t length = 1;
  DecodeSjisChar(bytes, pos, &length);
  return length;
}

char16_t DecodeSjisChar(std::string_view bytes, std::size_t pos, std::size_t* length) {
  const Tables& t = GetTables();
  const auto b = static_cast<unsigned char>(bytes[pos]);
  *length = 1;
  if (t.single[b] != kNoChar) return t.single[b];
  if (IsSjisLeadByte(b) && pos + 1 < bytes.size()) {
    const auto trail = static_cast<unsigned char>(bytes[pos + 1]);
    const char16_t c = t.pair[b * 256 + trail];
    if (c != kNoChar) {
      *length = 2;
      return c;
    }
  }
  return static_cast<char16_t>(kInvalidByteBase + b);
}

std::u16string DecodeSjis(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t length = 1;
    text.push_back(DecodeSjisChar(bytes, pos, &length));
    pos += length;
  }
  return text;
}

std::string EncodeSjis(std::u16string_view text, std::size_t* unmappable) {
  const Tables& t = GetTables();
  std::string bytes;
  bytes.reserve(text.size() * 2);
  std::size_t missing = 0;
  for (const char16_t c : text) {
    if (IsInvalidByteUnit(c)) {
      bytes.push_back(static_cast<char>(c - kInvalidByteBase));
      continue;
    }
    const std::uint16_t code = t.encode[c];
    if (code == kNoCode) {
      bytes.push_back('?');
      ++missing;
    } else if (code < 0x100) {
      bytes.push_back(static_cast<char>(code));
    } else {
      bytes.push_back(static_cast<char>(code >> 8));
      bytes.push_back(static_cast<char>(code & 0xFF));
    }
  }
  if (unmappable != nullptr) *unmappable = missing;
  return bytes;
}

bool CanEncodeSjis(char16_t c) {
  return IsInvalidByteUnit(c) || GetTables().encode[c] != kNoCode;
}

std::size_t SjisEncodedLength(char16_t c) {
  if (IsInvalidByteUnit(c)) return 1;
  const std::uint16_t code = GetTables().encode[c];
  return code == kNoCode || code < 0x100 ? 1 : 2;
}

std::size_t ByteOffsetOfColumn(std::string_view line, std::size_t column) {
  std::size_t pos = 0;
  for (std::size_t col = 0; col < column && pos < line.size(); ++col) {
    pos += SjisCharLength(line, pos);
  }
  return pos;
}

std::size_t ColumnOfByteOffset(std::string_view line, std::size_t byte_offset) {
  std::size_t pos = 0;
  std::size_t column = 0;
  while (pos < line.size()) {
    const std::size_t next = pos + SjisCharLength(line, pos);
    if (next > byte_offset) break;
    pos = next;
    ++column;
  }
  return column;
}

}  // namespace morvik
