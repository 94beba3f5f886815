// Conversions between Shift_JIS, UTF-16, UTF-8 and the locale's code set.
#include "data/text_encoding.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cerrno>
#include <cstdlib>

namespace morvik {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsAscii(std::string_view code_set) {
  return code_set == "ANSI_X3.4-1968" || code_set == "ASCII" || code_set == "US-ASCII";
}

// Closes an iconv descriptor on every way out.
class Converter {
 public:
  Converter(const char* from, const char* to) : handle_(iconv_open(to, from)) {}
  ~Converter() {
    if (Valid()) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool Valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return handle_; }

 private:
  iconv_t handle_;
};

void AppendUtf8(char32_t code, std::string& out) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

std::string CodeSetOfLocaleName(std::string_view locale_name) {
  const std::string name(locale_name);
  std::string code_set;
  locale_t locale = newlocale(LC_CTYPE_MASK, name.c_str(), static_cast<locale_t>(nullptr));
  if (locale != static_cast<locale_t>(nullptr)) {
    code_set = nl_langinfo_l(CODESET, locale);
    freelocale(locale);
  } else if (const std::size_t dot = name.find('.'); dot != std::string::npos) {
    code_set = name.substr(dot + 1, name.find('@', dot) - dot - 1);
  }
  if (code_set.empty() || IsAscii(code_set)) return "UTF-8";
  return code_set;
}

const std::string& LocaleCodeSet() {
  static const std::string code_set = [] {
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
      const char* value = std::getenv(variable);
      if (value != nullptr && *value != '\0') return CodeSetOfLocaleName(value);
    }
    return CodeSetOfLocaleName("C");
  }();
  return code_set;
}

std::string ConvertText(std::string_view text, const char* from, const char* to) {
  const auto fail = [&](const std::string& why) -> std::string {
    throw ESavraError(std::string("cannot convert the text from ") + from + " to " + to + ": " +
                      why);
  };
  Converter converter(from, to);
  if (!converter.Valid()) fail("the system does not know this conversion");
  std::string input(text);
  char* in_ptr = input.data();
  std::size_t in_left = input.size();
  std::string out;
  char buffer[4096];
  for (bool flushing = false;;) {
    char* out_ptr = buffer;
    std::size_t out_left = sizeof buffer;
    const std::size_t result = flushing
                                   ? iconv(converter.get(), nullptr, nullptr, &out_ptr, &out_left)
                                   : iconv(converter.get(), &in_ptr, &in_left, &out_ptr, &out_left);
    out.append(buffer, static_cast<std::size_t>(out_ptr - buffer));
    if (result != static_cast<std::size_t>(-1)) {
      if (flushing) return out;
      flushing = true;
    } else if (errno != E2BIG) {
      return fail(errno == EINVAL ? "the text ends inside a character"
                                  : "byte " + std::to_string(input.size() - in_left) +
                                        " starts a character that cannot be converted");
    }
  }
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string result;
  result.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 0;
    char32_t code = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
      result.push_back(lead);
      ++pos;
      continue;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2, code = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3, code = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4, code = lead & 0x07, minimum = 0x10000;
    } else {
      result.push_back(kReplacement);
      ++pos;
      continue;
    }
    std::size_t taken = 1;
    while (taken < length && pos + taken < text.size() &&
           (static_cast<unsigned char>(text[pos + taken]) & 0xC0) == 0x80) {
      code = (code << 6) | (static_cast<unsigned char>(text[pos + taken]) & 0x3F);
      ++taken;
    }
    pos += taken;
    if (taken < length || code < minimum || code > 0x10FFFF) {
      result.push_back(kReplacement);
    } else if (code >= 0x10000) {
      code -= 0x10000;
      result.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      result.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      result.push_back(static_cast<char16_t>(code));
    }
  }
  return result;
}

namespace {

// text in UTF-8, with each surrogate that is not part of a pair handed to
// lone(unit, out) instead.
template <typename Lone>
std::string Utf16ToUtf8With(std::u16string_view text, const Lone& lone) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      AppendUtf8(0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00),
                 out);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      lone(c, out);
    } else {
      AppendUtf8(c, out);
    }
  }
  return out;
}

}  // namespace

std::string Utf16ToUtf8(std::u16string_view text) {
  return Utf16ToUtf8With(text, [](char16_t, std::string& out) { AppendUtf8(kReplacement, out); });
}

void AppendByteEscape(std::string& out, unsigned char byte) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += "\\x";
  out += kHex[byte >> 4];
  out += kHex[byte & 0xF];
}

std::string SjisToUtf8ShowingBytes(std::string_view bytes) {
  return Utf16ToUtf8With(DecodeSjis(bytes), [](char16_t unit, std::string& out) {
    if (IsInvalidByteUnit(unit)) {
      AppendByteEscape(out, static_cast<unsigned char>(unit - kInvalidByteBase));
    } else {
      AppendUtf8(kReplacement, out);
    }
  });
}

std::string Utf8ToSjis(std::string_view text) {
  return EncodeSjis(Utf8ToUtf16(text));
}

std::string SjisToUtf8(std::string_view bytes) {
  return Utf16ToUtf8(DecodeSjis(bytes));
}

namespace {
constexpr char16_t kFirstKeptUnit = 0xD800;
constexpr std::size_t kMaxKept = 0x400;  // the high surrogates
}  // namespace

std::u16string ByteKeepingCodec::Decode(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t length = 0;
    const char16_t c = DecodeSjisChar(bytes, pos, &length);
    const std::string_view original = bytes.substr(pos, length);
    if (length == 2 && EncodeSjis(std::u16string_view(&c, 1)) != original) {
      text += KeptUnit(original);
    } else {
      text += c;
    }
    pos += length;
  }
  return text;
}

std::string ByteKeepingCodec::Encode(std::u16string_view text) const {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::size_t index = static_cast<std::size_t>(text[i]) - kFirstKeptUnit;
    if (text[i] < kFirstKeptUnit || index >= kept_.size()) continue;
    bytes += EncodeSjis(text.substr(start, i - start));
    bytes += kept_[index];
    start = i + 1;
  }
  bytes += EncodeSjis(text.substr(start));
  return bytes;
}

char16_t ByteKeepingCodec::KeptUnit(std::string_view original) {
  for (std::size_t i = 0; i < kept_.size(); ++i) {
    if (kept_[i] == original) return static_cast<char16_t>(kFirstKeptUnit + i);
  }
  // The code page has far fewer doubly mapped characters than surrogates.
  if (kept_.size() == kMaxKept) return DecodeSjis(original)[0];
  kept_.emplace_back(original);
  return static_cast<char16_t>(kFirstKeptUnit + kept_.size() - 1);
}

}  // namespace morvik
