// The locale's code set and iconv conversion.
#include "data/text_encoding.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

namespace morvik {

namespace {

bool IsAsciiName(const std::string& code_set) {
  return code_set == "ANSI_X3.4-1968" || code_set == "ASCII" || code_set == "US-ASCII";
}

std::string CodeSetOfLocaleName(const std::string& name) {
  std::string code_set;
  locale_t locale = newlocale(LC_CTYPE_MASK, name.c_str(), static_cast<locale_t>(nullptr));
  if (locale != static_cast<locale_t>(nullptr)) {
    code_set = nl_langinfo_l(CODESET, locale);
    freelocale(locale);
  } else if (const std::size_t dot = name.find('.'); dot != std::string::npos) {
    code_set = name.substr(dot + 1, name.find('@', dot) - dot - 1);
  }
  if (code_set.empty() || IsAsciiName(code_set)) return "UTF-8";
  return code_set;
}

}  // namespace

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

std::string ConvertText(std::string_view text, const char* from_code, const char* to_code) {
  const std::string what =
      std::string("cannot convert the text from ") + from_code + " to " + to_code;
  iconv_t converter = iconv_open(to_code, from_code);
  if (converter == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error(what);
  std::string input(text);
  char* in_ptr = input.data();
  std::size_t in_left = input.size();
  std::string out;
  char buffer[4096];
  for (bool flushing = false;;) {
    char* out_ptr = buffer;
    std::size_t out_left = sizeof buffer;
    const std::size_t result = flushing ? iconv(converter, nullptr, nullptr, &out_ptr, &out_left)
                                        : iconv(converter, &in_ptr, &in_left, &out_ptr, &out_left);
    out.append(buffer, static_cast<std::size_t>(out_ptr - buffer));
    if (result != static_cast<std::size_t>(-1)) {
      if (flushing) break;
      flushing = true;
    } else if (errno != E2BIG) {
      iconv_close(converter);
      throw std::runtime_error(what);
    }
  }
  iconv_close(converter);
  return out;
}

}  // namespace morvik
