// Where the main window starts: at its fixed place and size, moved and if
// need be shrunk so that the whole window, frame included, lies on the
// screen. Geometry is in Qt's device-independent pixels, so a scale factor
// of 2 halves the room a 1280-pixel screen offers.
#ifndef MORVIK_GUI_WINDOW_PLACEMENT_H_
#define MORVIK_GUI_WINDOW_PLACEMENT_H_

#include <QMargins>
#include <QRect>

class QWidget;

namespace morvik {

// The client rectangle nearest to wanted whose frame (wanted grown by
// frame) lies inside available: it keeps its place and size when it fits,
// slides back onto the screen when it sticks out, and shrinks only where
// the screen is smaller than the window.
QRect FitOnScreen(const QRect& wanted, const QMargins& frame, const QRect& available);

// Gives window the client rectangle wanted, fitted onto the screen it
// starts on.
void PlaceOnScreen(QWidget& window, const QRect& wanted);

}  // namespace morvik

#endif  // MORVIK_GUI_WINDOW_PLACEMENT_H_
