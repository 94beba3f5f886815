#include "gui/sjis_text.h"

#include "data/text_encoding.h"

namespace morvik {
namespace {

bool IsWidgetBreak(char16_t c) {
  return c == u'\n' || c == 0x2029 || c == 0x2028;
}

}  // namespace

QString WidgetTextOfBytes(std::string_view bytes) {
  const std::u16string decoded = DecodeSjis(bytes);
  QString text;
  text.reserve(static_cast<qsizetype>(decoded.size()));
  for (std::size_t i = 0; i < decoded.size(); ++i) {
    char16_t c = decoded[i];
    if (c == u'\r') {
      if (i + 1 < decoded.size() && decoded[i + 1] == u'\n') ++i;
      c = u'\n';
    }
    text.append(QChar(c));
  }
  return text;
}

QString PlainTextOfBytes(std::string_view bytes) {
  QString text = WidgetTextOfBytes(bytes);
  for (QChar& c : text) {
    if (IsInvalidByteUnit(c.unicode())) c = QChar(QChar::ReplacementCharacter);
  }
  return text;
}

std::u16string CharsOfLineBytes(std::string_view bytes) {
  return DecodeSjis(bytes);
}

char16_t CharOfLineBytesAt(std::string_view bytes, std::size_t pos, std::size_t* length) {
  return DecodeSjisChar(bytes, pos, length);
}

bool IsInvalidByteChar(char16_t c) {
  return IsInvalidByteUnit(c);
}

std::string BytesOfWidgetText(const QString& text) {
  std::u16string units;
  units.reserve(static_cast<std::size_t>(text.size()) + 16);
  for (QChar c : text) {
    if (IsWidgetBreak(c.unicode())) {
      units += u"\r\n";
    } else {
      units += c.unicode();
    }
  }
  return EncodeSjis(units);
}

QString QStringOfSjis(std::string_view bytes) {
  return QString::fromStdU16String(DecodeSjis(bytes));
}

std::string SjisOfQString(const QString& text) {
  return EncodeSjis(text.toStdU16String());
}

std::u16string ModelCharsOfWidgetText(const QString& text) {
  std::u16string units;
  units.reserve(static_cast<std::size_t>(text.size()));
  for (QChar c : text) units += IsWidgetBreak(c.unicode()) ? u'\n' : c.unicode();
  return units;
}

bool IsEncodable(const QString& text) {
  for (QChar c : text) {
    if (!IsWidgetBreak(c.unicode()) && !CanEncodeSjis(c.unicode())) return false;
  }
  return true;
}

QString KeepEncodable(const QString& text, int* dropped) {
  QString kept;
  kept.reserve(text.size());
  int count = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (IsWidgetBreak(c.unicode()) || CanEncodeSjis(c.unicode())) {
      kept.append(c);
      continue;
    }
    // A surrogate pair (an emoji) is one character to the user.
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
    ++count;
  }
  if (dropped != nullptr) *dropped = count;
  return kept;
}

QString UnencodableMessage(int dropped) {
  return QStringLiteral(u"Shift_JIS で保存できない文字 %1 文字を入力しませんでした").arg(dropped);
}

}  // namespace morvik
