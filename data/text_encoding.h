// Every text conversion of the system in one place: Shift_JIS to UTF-16 and
// back (the codec core is data/sjis_codec.h, whose functions this header
// brings along), the byte-keeping round trip for texts that leave the model
// and come back, UTF-8 for the terminal and the desktop, and the code set of
// the user's locale.
#ifndef MORVIK_DATA_TEXT_ENCODING_H_
#define MORVIK_DATA_TEXT_ENCODING_H_

#include <string>
#include <string_view>
#include <vector>

#include "data/savra_error.h"
#include "data/sjis_codec.h"

namespace morvik {

// The code set of the user's locale as iconv names it, read once from the
// first of LC_ALL, LC_CTYPE and LANG that is set and not empty:
// - a locale the system can load gives the code set it declares;
// - a locale that is not installed gives the code set named after the '.'
//   of its name, up to an '@' ("ja_JP.eucJP@x" gives "eucJP");
// - and in both cases ASCII (the C and POSIX locales), a name without a code
//   set, or no setting at all gives "UTF-8": every ASCII text is UTF-8 too,
//   and what a terminal or desktop sends today is UTF-8.
// The window, svtool and the regex engine's host all use this one answer.
const std::string& LocaleCodeSet();

// The rule of LocaleCodeSet for one locale name, without the environment.
std::string CodeSetOfLocaleName(std::string_view locale_name);

// text converted with iconv from one code set to another. Throws
// ESavraError naming both code sets when iconv does not know one of them
// or the text holds a sequence that cannot be converted.
std::string ConvertText(std::string_view text, const char* from, const char* to);

// UTF-8 to UTF-16. Malformed sequences become U+FFFD. Encoded surrogates
// (ED A0..BF xx) are kept as the unit they encode, so the invalid-byte units
// of the codec (U+DC80..U+DCFF) pass through and encode back to their bytes.
std::u16string Utf8ToUtf16(std::string_view text);

// UTF-16 to UTF-8. A surrogate pair becomes one character; a lone surrogate
// (an invalid-byte unit among them) becomes U+FFFD, so the result is always
// valid UTF-8 for a terminal or the desktop.
std::string Utf16ToUtf8(std::u16string_view text);

// The Shift_JIS bytes of a UTF-8 text (characters the code page lacks
// become '?').
std::string Utf8ToSjis(std::string_view text);

// Shift_JIS to UTF-8 for a terminal; invalid bytes become U+FFFD.
std::string SjisToUtf8(std::string_view bytes);

// Shift_JIS to UTF-8 for a terminal that shows every byte: an invalid byte
// becomes the four characters \xHH (upper-case hex), as AppendByteEscape
// writes them.
std::string SjisToUtf8ShowingBytes(std::string_view bytes);
void AppendByteEscape(std::string& out, unsigned char byte);

// Decoding and encoding that keep every byte, for a text that leaves the
// model, is converted as characters and comes back. A character that the
// code page maps twice (0xED40 and 0xFA5C both decode to U+7E8A) would come
// back in its preferred form; such a character decodes instead to a high
// surrogate that stands for its own bytes, which conversions copy like any
// other character and Encode turns back into those bytes. Invalid bytes
// decode to their own units, so one never pairs with a neighbour. Decode and
// Encode must use the same codec object.
class ByteKeepingCodec {
 public:
  std::u16string Decode(std::string_view bytes);
  std::string Encode(std::u16string_view text) const;

 private:
  char16_t KeptUnit(std::string_view original);

  std::vector<std::string> kept_;
};

}  // namespace morvik

#endif  // MORVIK_DATA_TEXT_ENCODING_H_
