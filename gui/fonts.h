// The faces the program names and the Linux faces that stand in for them.
//
// The windows ask for "ＭＳ ゴシック" (documents) and "ＭＳ Ｐゴシック" (window
// and dialog captions), which no Linux desktop has. IPAGothic and IPAPGothic
// (Debian's fonts-ipafont-gothic) are drawn to the same metrics, so the names
// are kept and mapped to them by a substitution; every caption and document
// then renders Japanese instead of empty boxes.
#ifndef MORVIK_GUI_FONTS_H_
#define MORVIK_GUI_FONTS_H_

#include <QFont>
#include <QString>

namespace morvik {

// "ＭＳ ゴシック", the fixed-pitch face of documents.
QString FixedFaceName();
// "ＭＳ Ｐゴシック", the proportional face of windows and dialogs.
QString ProportionalFaceName();

// Maps the two names to IPAGothic / IPAPGothic. Call once, after the
// application object exists and before any window is built.
void InstallFontSubstitutions();

// The font of the main window and of every dialog: "ＭＳ Ｐゴシック", 12 pixels.
QFont WindowFont();

}  // namespace morvik

#endif  // MORVIK_GUI_FONTS_H_
