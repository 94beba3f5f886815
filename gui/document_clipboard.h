// The clipboard contents of a document view.
//
// Copied text goes out twice: as plain text for other programs (line
// breaks as '\n', a byte that is no Shift_JIS character as U+FFFD, since
// Unicode has nothing for it), and as the document's very bytes under a
// type of Morvik's own, so that a paste into Morvik puts back exactly what
// was copied: invalid bytes, lone CR or LF and the code page's duplicate
// characters included.
#ifndef MORVIK_GUI_DOCUMENT_CLIPBOARD_H_
#define MORVIK_GUI_DOCUMENT_CLIPBOARD_H_

#include <QString>
#include <optional>
#include <string>
#include <string_view>

class QMimeData;

namespace morvik {

// The MIME type that carries a document's bytes.
QString DocumentBytesMimeType();

// New clipboard data for bytes of a document (the caller hands it over to
// the clipboard, which takes ownership).
QMimeData* MimeDataOfDocumentBytes(std::string_view bytes);

// The document bytes that data carries, when a Morvik view copied it.
std::optional<std::string> DocumentBytesOf(const QMimeData* data);

}  // namespace morvik

#endif  // MORVIK_GUI_DOCUMENT_CLIPBOARD_H_
