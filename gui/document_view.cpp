// DocumentView: construction, the model's notifications, positions, the
// caret and selection, and scrolling. Keys, mouse, editing and painting
// live in the document_view_*.cpp files beside this one.
#include "gui/document_view.h"

#include <QApplication>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "gui/document_view_accessible.h"

namespace morvik {
namespace {

// Space between the viewport's left edge and the text.
constexpr int kLeftMargin = 4;
// The horizontal scroll bar counts pixels in an int: a line of a gigabyte
// scrolls as far as this.
constexpr qreal kMaxExtent = 1.0e9;

}  // namespace

DocumentView::DocumentView(TRichEditEx& document, DocumentViewEvents events, QMenu* popup_menu,
                           QWidget* parent)
    : QAbstractScrollArea(parent),
      document_(document),
      events_(std::move(events)),
      popup_menu_(popup_menu),
      lines_(document),
      controller_(document, *this) {
  setObjectName(QString::fromStdString(document.Name()));
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, true);
  setAttribute(Qt::WA_KeyCompression, false);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  viewport()->setCursor(Qt::IBeamCursor);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  lines_.SetFont(font());
  document_.AddObserver(this);
  DocumentViewAccessible::InstallFactory();
  UpdateScrollBars();
}

DocumentView::~DocumentView() {
  document_.RemoveObserver(this);
}

// --- The model's notifications ---------------------------------------------------

void DocumentView::TextReplaced(std::size_t offset, std::size_t /*removed_bytes*/,
                                std::size_t inserted_bytes, std::size_t char_position,
                                std::size_t removed_chars, std::size_t inserted_chars) {
  if (offset == 0 && inserted_bytes == document_.Length()) {
    // A whole new text (open, sort) has widths of its own.
    lines_.Invalidate();
    lines_.ResetWidest();
  } else {
    lines_.TextReplaced(char_position, removed_chars, inserted_chars);
  }
  NotifyAccessibleChange(char_position, removed_chars, inserted_chars);
  UpdateGutter();
  UpdateScrollBarsLater();
  viewport()->update();
}

void DocumentView::SelectionChanged() {
  viewport()->update();
  // A command or an undo moved the caret: show it where it went.
  controller_.ModelSelectionChanged();
}

// --- What the controller asks ------------------------------------------------------

double DocumentView::XOfColumn(std::size_t line, std::size_t column) {
  return XOfPoint({line, column});
}

std::size_t DocumentView::ColumnAtX(std::size_t line, double x) {
  return static_cast<std::size_t>(lines_.Line(line)->ColumnAtX(x));
}

std::size_t DocumentView::PageLines() {
  return static_cast<std::size_t>(VisibleLineCount());
}

void DocumentView::Redraw() {
  viewport()->update();
}

void DocumentView::Refuse(const std::string& message) {
  QApplication::beep();
  if (!message.empty()) ReportRefusal(QString::fromStdString(message));
}

void DocumentView::CaretMoved() {
  // An input method places its candidate window by the caret.
  updateMicroFocus();
  caret_shown_ = true;
  const int flash = QApplication::cursorFlashTime();
  if (flash > 0 && hasFocus()) {
    blink_timer_.start(flash / 2, this);
  } else {
    blink_timer_.stop();
  }
  NotifyAccessibleCaret();
}

// --- Positions ----------------------------------------------------------------------

qreal DocumentView::XOfPoint(TextPoint point) const {
  return lines_.Line(point.line)
      ->XOfColumn(static_cast<qsizetype>(
          std::min<std::size_t>(point.column, static_cast<std::size_t>(INT32_MAX))));
}

TextPoint DocumentView::PointAtViewport(QPoint position) const {
  const int row = static_cast<int>(
      std::floor(static_cast<double>(position.y()) / static_cast<double>(lines_.LineHeight())));
  const long long line = std::clamp<long long>(static_cast<long long>(TopLine()) + row, 0,
                                               static_cast<long long>(LineCount()) - 1);
  const auto index = static_cast<std::size_t>(line);
  return {index,
          static_cast<std::size_t>(lines_.Line(index)->ColumnAtX(position.x() - ContentLeft()))};
}

QPoint DocumentView::ViewportPointOf(TextPoint point) const {
  point = controller_.ClampPoint(point);
  const qreal left = XOfPoint(point);
  const qreal right =
      point.column < LineLength(point.line) ? XOfPoint({point.line, point.column + 1}) : left + 2;
  const long long row = static_cast<long long>(point.line) - static_cast<long long>(TopLine());
  return QPoint(static_cast<int>(ContentLeft() + (left + right) / 2),
                static_cast<int>(row * lines_.LineHeight() + lines_.LineHeight() / 2));
}

qreal DocumentView::ContentLeft() const {
  return kLeftMargin - horizontalScrollBar()->value();
}

int DocumentView::VisibleLineCount() const {
  return std::max(1, viewport()->height() / lines_.LineHeight());
}

QString DocumentView::DisplayedLine(std::size_t line) const {
  return lines_.WholeText(line);
}

std::size_t DocumentView::TopLine() const {
  return static_cast<std::size_t>(verticalScrollBar()->value());
}

// --- Scrolling ------------------------------------------------------------------------

void DocumentView::UpdateScrollBars() {
  scroll_bars_update_queued_ = false;
  const int visible = VisibleLineCount();
  const auto lines = static_cast<long long>(LineCount());
  QScrollBar* vertical = verticalScrollBar();
  vertical->setRange(0, static_cast<int>(std::max<long long>(0, lines - visible)));
  vertical->setPageStep(visible);
  vertical->setSingleStep(1);

  const int width = viewport()->width();
  const int extent = static_cast<int>(std::ceil(std::min<qreal>(lines_.WidestSeen(), kMaxExtent))) +
                     2 * kLeftMargin + lines_.LineHeight();
  QScrollBar* horizontal = horizontalScrollBar();
  horizontal->setRange(0, std::max(0, extent - width));
  horizontal->setPageStep(width);
  horizontal->setSingleStep(std::max(1, lines_.LineHeight()));
}

void DocumentView::UpdateScrollBarsLater() {
  if (scroll_bars_update_queued_) return;
  scroll_bars_update_queued_ = true;
  QMetaObject::invokeMethod(this, &DocumentView::UpdateScrollBars, Qt::QueuedConnection);
}

void DocumentView::ScrollToLine(std::size_t top) {
  verticalScrollBar()->setValue(
      static_cast<int>(std::min<std::size_t>(top, static_cast<std::size_t>(INT32_MAX))));
}

void DocumentView::EnsureCaretVisible() {
  ScrollToPoint(CaretPoint());
}

void DocumentView::ScrollToPoint(TextPoint point) {
  // The range may still wait for a queued update (a text that just grew).
  UpdateScrollBars();
  const std::size_t top = TopLine();
  const auto visible = static_cast<std::size_t>(VisibleLineCount());
  if (point.line < top) {
    ScrollToLine(point.line);
  } else if (point.line >= top + visible) {
    ScrollToLine(point.line + 1 - visible);
  }
  const qreal x = std::min<qreal>(XOfPoint(point) + kLeftMargin, kMaxExtent);
  QScrollBar* horizontal = horizontalScrollBar();
  const int width = viewport()->width();
  // Keep a little of the text beyond the caret in sight.
  const int margin = std::min(width / 4, 4 * lines_.LineHeight());
  if (std::min<qreal>(lines_.WidestSeen(), kMaxExtent) + 2 * kLeftMargin + lines_.LineHeight() >
      horizontal->maximum() + width) {
    UpdateScrollBars();  // the line is wider than any seen before
  }
  if (x < horizontal->value()) {
    horizontal->setValue(static_cast<int>(x) - margin);
  } else if (x + 2 > horizontal->value() + width) {
    horizontal->setValue(static_cast<int>(x) + 2 - width + margin);
  }
}

void DocumentView::scrollContentsBy(int /*dx*/, int /*dy*/) {
  // The vertical bar counts lines, not pixels: draw afresh.
  viewport()->update();
  if (gutter_ != nullptr) gutter_->update();
  updateMicroFocus();
}

void DocumentView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
  UpdateGutter();
}

void DocumentView::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    lines_.SetFont(font());
    UpdateScrollBars();
    UpdateGutter();
    viewport()->update();
  }
}

void DocumentView::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  CaretMoved();
  viewport()->update();
}

void DocumentView::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  blink_timer_.stop();
  viewport()->update();
}

void DocumentView::timerEvent(QTimerEvent* event) {
  if (event->timerId() == blink_timer_.timerId()) {
    caret_shown_ = !caret_shown_;
    viewport()->update();
    return;
  }
  if (event->timerId() == autoscroll_timer_.timerId()) {
    ExtendDragTo(last_drag_position_);
    return;
  }
  QAbstractScrollArea::timerEvent(event);
}

}  // namespace morvik
