// UTF-8 to UTF-16, for the texts users type into the find and replace
// dialogs, which the commands then encode to Shift_JIS.
#ifndef MORVIK_APP_EDITOR_UTF8_H_
#define MORVIK_APP_EDITOR_UTF8_H_

#include <string>
#include <string_view>

namespace morvik {

// Malformed sequences become U+FFFD. Encoded surrogates (ED A0..BF xx) are
// kept as the code unit they encode, so the invalid-byte units of the
// Shift_JIS codec (U+DC80..U+DCFF) pass through and encode back to their
// bytes.
std::u16string Utf8ToUtf16(std::string_view text);

// The Shift_JIS bytes of a UTF-8 text (characters the code page lacks
// become '?').
std::string Utf8ToSjis(std::string_view text);

}  // namespace morvik

#endif  // MORVIK_APP_EDITOR_UTF8_H_
