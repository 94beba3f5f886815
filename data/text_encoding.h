// The code set of the user's locale and conversion between code sets.
#ifndef MORVIK_DATA_TEXT_ENCODING_H_
#define MORVIK_DATA_TEXT_ENCODING_H_

#include <string>
#include <string_view>

namespace morvik {

// The code set of the user's locale as iconv names it, read once from the
// first of LC_ALL, LC_CTYPE and LANG that is set and not empty: the code set
// a loadable locale declares, else the one named after the '.' of the locale
// name (up to an '@'); ASCII, a name without a code set or no setting at all
// gives "UTF-8", since every ASCII text is UTF-8 too.
const std::string& LocaleCodeSet();

// text converted with iconv; throws std::runtime_error naming both code sets
// when iconv does not know one of them or the text cannot be converted.
std::string ConvertText(std::string_view text, const char* from_code, const char* to_code);

}  // namespace morvik

#endif  // MORVIK_DATA_TEXT_ENCODING_H_
