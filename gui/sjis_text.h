// The one adapter between the model's Shift_JIS bytes and the text that Qt's
// widgets hold.
//
// Qt keeps a block (line) break as one character (U+2029 inside a document,
// '\n' in toPlainText), the model keeps its break bytes (CR LF, lone CR or
// lone LF) and counts a break as one character too; every other character
// is one UTF-16 unit on both sides (invalid bytes are U+DC80..U+DCFF). So a
// character position in a widget is a character position of the model, and
// the model maps it to a byte offset.
#ifndef MORVIK_GUI_SJIS_TEXT_H_
#define MORVIK_GUI_SJIS_TEXT_H_

#include <QString>
#include <cstddef>
#include <string>
#include <string_view>

namespace morvik {

// Decodes bytes for a widget; each break (CR LF, CR, LF) becomes '\n'.
QString WidgetTextOfBytes(std::string_view bytes);

// WidgetTextOfBytes for other programs (the clipboard's plain text): each
// invalid byte becomes U+FFFD, which any program can show.
QString PlainTextOfBytes(std::string_view bytes);

// The characters of one line's bytes (no break inside), one unit per
// character of the model, as the view lays them out.
std::u16string CharsOfLineBytes(std::string_view bytes);

// The character at pos of one line's bytes, as CharsOfLineBytes gives it,
// and in *length how many bytes it takes: for walking a long listing without
// building its text.
char16_t CharOfLineBytesAt(std::string_view bytes, std::size_t pos, std::size_t* length);

// True for the unit that stands for a byte outside any character.
bool IsInvalidByteChar(char16_t c);

// Encodes widget text; each break ('\n', U+2029, U+2028) becomes CR LF.
// Characters the code page cannot hold must have been kept out before
// (KeepEncodable); here they would become '?'.
std::string BytesOfWidgetText(const QString& text);

// Shift_JIS bytes as a QString and back, character for character, with no
// change to breaks (for texts such as the clipboard's, whose logic handles
// breaks itself).
QString QStringOfSjis(std::string_view bytes);
std::string SjisOfQString(const QString& text);

// Widget text as the model takes it from a view: breaks as '\n', the rest
// unchanged.
std::u16string ModelCharsOfWidgetText(const QString& text);

// True when every character of text can be stored in a Shift_JIS document.
bool IsEncodable(const QString& text);

// text without the characters a Shift_JIS document cannot hold (é, emoji,
// ...); *dropped receives how many characters were left out.
QString KeepEncodable(const QString& text, int* dropped);

// The message shown when typed or pasted characters were kept out.
QString UnencodableMessage(int dropped);

}  // namespace morvik

#endif  // MORVIK_GUI_SJIS_TEXT_H_
