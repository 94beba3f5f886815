#include "gui/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace morvik {
namespace {

// One axis: the span [start, start + size) plus its frame moved into
// [low, low + room).
void FitSpan(int* start, int* size, int frame_before, int frame_after, int low, int room) {
  *size = std::max(1, std::min(*size, room - frame_before - frame_after));
  const int high = low + room - frame_after - *size;  // the last start that fits
  *start = std::max(low + frame_before, std::min(*start, high));
}

}  // namespace

QRect FitOnScreen(const QRect& wanted, const QMargins& frame, const QRect& available) {
  int x = wanted.x();
  int y = wanted.y();
  int width = wanted.width();
  int height = wanted.height();
  FitSpan(&x, &width, frame.left(), frame.right(), available.x(), available.width());
  FitSpan(&y, &height, frame.top(), frame.bottom(), available.y(), available.height());
  return QRect(x, y, width, height);
}

void PlaceOnScreen(QWidget& window, const QRect& wanted) {
  QScreen* screen = QGuiApplication::screenAt(wanted.topLeft());
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    window.setGeometry(wanted);
    return;
  }
  // Before the window is shown the window manager has not framed it yet;
  // a title bar's height stands in for the frame it will add, so that the
  // title bar cannot end up above the screen's top either.
  QMargins frame;
  if (window.windowHandle() != nullptr) frame = window.windowHandle()->frameMargins();
  if (frame.isNull()) {
    const int title = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    const int border =
        window.style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, &window);
    frame = QMargins(border, title, border, border);
  }
  window.setGeometry(FitOnScreen(wanted, frame, screen->availableGeometry()));
}

}  // namespace morvik
