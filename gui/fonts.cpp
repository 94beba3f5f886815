#include "gui/fonts.h"

#include <QStringList>

#include "app/editor/dialog_state.h"
#include "app/editor/main_window_layout.h"

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
  font.setPixelSize(main_window::kWindowFontPixels);
  return font;
}

}  // namespace morvik
