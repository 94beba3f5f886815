#include "gui/document_clipboard.h"

#include <QMimeData>

#include "gui/sjis_text.h"

namespace morvik {

QString DocumentBytesMimeType() {
  return QStringLiteral("application/x-morvik-shift-jis");
}

QMimeData* MimeDataOfDocumentBytes(std::string_view bytes) {
  auto* data = new QMimeData;
  data->setText(PlainTextOfBytes(bytes));
  data->setData(DocumentBytesMimeType(),
                QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  return data;
}

std::optional<std::string> DocumentBytesOf(const QMimeData* data) {
  if (data == nullptr || !data->hasFormat(DocumentBytesMimeType())) return std::nullopt;
  const QByteArray bytes = data->data(DocumentBytesMimeType());
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace morvik
