#include "gui/fonts.h"

#include <QStringList>

namespace morvik {

QString FixedFaceName() {
  return QStringLiteral(u"ＭＳ ゴシック");
}

QString ProportionalFaceName() {
  return QStringLiteral(u"ＭＳ Ｐゴシック");
}

void InstallFontSubstitutions() {
  // The second face of each list covers a system where only the other
  // width of the IPA family is installed.
  QFont::insertSubstitutions(FixedFaceName(),
                             {QStringLiteral("IPAGothic"), QStringLiteral("IPAPGothic")});
  QFont::insertSubstitutions(ProportionalFaceName(),
                             {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
}

QFont WindowFont() {
  QFont font(ProportionalFaceName());
  font.setPixelSize(12);
  return font;
}

}  // namespace morvik
