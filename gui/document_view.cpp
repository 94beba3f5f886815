// DocumentView: construction, the model's notifications, positions, the
// caret and selection, and scrolling. Keys, mouse, editing and painting
// live in the document_view_*.cpp files beside this one.
#include "gui/document_view.h"

#include <QApplication>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "data/sjis_codec.h"
#include "gui/text_motion.h"
#include "gui/view_scopes.h"

namespace morvik {
namespace {

// Space between the viewport's left edge and the text.
constexpr int kLeftMargin = 4;

}  // namespace

DocumentView::DocumentView(TRichEditEx& document, DocumentViewEvents events, QMenu* popup_menu,
                           QWidget* parent)
    : QAbstractScrollArea(parent),
      document_(document),
      events_(std::move(events)),
      popup_menu_(popup_menu),
      lines_(document) {
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
  UpdateScrollBars();
}

DocumentView::~DocumentView() {
  document_.RemoveObserver(this);
}

// --- The model's notifications ---------------------------------------------------

void DocumentView::TextReplaced(std::size_t offset, std::size_t /*removed_bytes*/,
                                std::size_t inserted_bytes, std::size_t /*char_position*/,
                                std::size_t /*removed_chars*/, std::size_t /*inserted_chars*/) {
  lines_.Invalidate();
  // A whole new text (open, sort) has widths of its own.
  if (offset == 0 && inserted_bytes == document_.Length()) lines_.ResetWidest();
  UpdateScrollBarsLater();
  viewport()->update();
}

void DocumentView::SelectionChanged() {
  viewport()->update();
  if (changing_model_) return;
  // A command or an undo moved the caret: show it where it went.
  caret_at_start_ = false;
  preferred_x_.reset();
  EnsureCaretVisible();
  CaretMoved();
}

// --- Positions ----------------------------------------------------------------------

std::size_t DocumentView::LineCount() const {
  return document_.RawLineCount();
}

std::size_t DocumentView::LineLength(std::size_t line) const {
  return static_cast<std::size_t>(lines_.Line(line)->Text().size());
}

std::size_t DocumentView::OffsetOf(TextPoint point) const {
  point = ClampPoint(point);
  return document_.PositionOfLine(point.line) +
         ByteOffsetOfColumn(document_.Line(point.line), point.column);
}

TextPoint DocumentView::PointOf(std::size_t offset) const {
  const std::size_t line = document_.LineFromPosition(offset);
  const std::size_t start = document_.PositionOfLine(line);
  return {line, ColumnOfByteOffset(document_.Line(line), offset - std::min(offset, start))};
}

std::size_t DocumentView::CharPositionOf(TextPoint point) const {
  return document_.CharPositionOfOffset(OffsetOf(point));
}

TextPoint DocumentView::ClampPoint(TextPoint point) const {
  point.line = std::min(point.line, LineCount() - 1);
  point.column = std::min(point.column, LineLength(point.line));
  return point;
}

qreal DocumentView::XOfPoint(TextPoint point) const {
  return lines_.Line(point.line)
      ->XOfColumn(static_cast<qsizetype>(
          std::min<std::size_t>(point.column, static_cast<std::size_t>(INT32_MAX))));
}

std::size_t DocumentView::ColumnAtX(std::size_t line, qreal x) const {
  return static_cast<std::size_t>(lines_.Line(line)->ColumnAtX(x));
}

TextPoint DocumentView::PointAtViewport(QPoint position) const {
  const int row = static_cast<int>(
      std::floor(static_cast<double>(position.y()) / static_cast<double>(lines_.LineHeight())));
  const long long line = std::clamp<long long>(static_cast<long long>(TopLine()) + row, 0,
                                               static_cast<long long>(LineCount()) - 1);
  const auto index = static_cast<std::size_t>(line);
  return {index, ColumnAtX(index, position.x() - ContentLeft())};
}

QPoint DocumentView::ViewportPointOf(TextPoint point) const {
  point = ClampPoint(point);
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
  return lines_.Line(line)->Text();
}

// --- Caret and selection --------------------------------------------------------------

TextPoint DocumentView::CaretPoint() const {
  const std::size_t start = document_.SelStart();
  return PointOf(caret_at_start_ ? start : start + document_.SelLength());
}

TextPoint DocumentView::AnchorPoint() const {
  const std::size_t start = document_.SelStart();
  return PointOf(caret_at_start_ ? start + document_.SelLength() : start);
}

std::size_t DocumentView::TopLine() const {
  return static_cast<std::size_t>(verticalScrollBar()->value());
}

bool DocumentView::HasSelection() const {
  return document_.SelLength() > 0;
}

void DocumentView::SelectRange(TextPoint anchor, TextPoint caret) {
  const std::size_t anchor_offset = OffsetOf(anchor);
  const std::size_t caret_offset = OffsetOf(caret);
  const std::size_t start = std::min(anchor_offset, caret_offset);
  caret_at_start_ = caret_offset < anchor_offset;
  {
    const FlagScope changing(changing_model_);
    document_.SetSelection(start, std::max(anchor_offset, caret_offset) - start);
  }
  CaretMoved();
  viewport()->update();
}

void DocumentView::MoveCaret(TextPoint caret, bool keep_anchor) {
  SelectRange(keep_anchor ? AnchorPoint() : caret, caret);
}

TextPoint DocumentView::MotionTarget(Motion motion, TextPoint from) {
  const std::size_t last_line = LineCount() - 1;
  const auto vertical = [&](long long lines) {
    const qreal x = preferred_x_.value_or(XOfPoint(from));
    const auto line = static_cast<std::size_t>(std::clamp<long long>(
        static_cast<long long>(from.line) + lines, 0, static_cast<long long>(last_line)));
    preferred_x_ = x;
    return TextPoint{line, ColumnAtX(line, x)};
  };
  switch (motion) {
    case Motion::kCharLeft:
      if (from.column > 0) return {from.line, from.column - 1};
      if (from.line > 0) return {from.line - 1, LineLength(from.line - 1)};
      return from;
    case Motion::kCharRight:
      if (from.column < LineLength(from.line)) return {from.line, from.column + 1};
      if (from.line < last_line) return {from.line + 1, 0};
      return from;
    case Motion::kLineUp:
      return vertical(-1);
    case Motion::kLineDown:
      return vertical(1);
    case Motion::kPageUp:
      return vertical(-VisibleLineCount());
    case Motion::kPageDown:
      return vertical(VisibleLineCount());
    case Motion::kLineStart:
      return {from.line, 0};
    case Motion::kLineEnd:
      return {from.line, LineLength(from.line)};
    case Motion::kDocumentStart:
      return {0, 0};
    case Motion::kDocumentEnd:
      return {last_line, LineLength(last_line)};
    case Motion::kWordLeft:
      if (from.column == 0) return MotionTarget(Motion::kCharLeft, from);
      return {from.line, static_cast<std::size_t>(PreviousWordColumn(
                             DisplayedLine(from.line), static_cast<qsizetype>(from.column)))};
    case Motion::kWordRight:
      if (from.column >= LineLength(from.line)) return MotionTarget(Motion::kCharRight, from);
      return {from.line, static_cast<std::size_t>(NextWordColumn(
                             DisplayedLine(from.line), static_cast<qsizetype>(from.column)))};
  }
  return from;
}

void DocumentView::ApplyMotion(Motion motion, bool keep_anchor) {
  const bool vertical = motion == Motion::kLineUp || motion == Motion::kLineDown ||
                        motion == Motion::kPageUp || motion == Motion::kPageDown;
  if (!vertical) preferred_x_.reset();
  TextPoint target;
  if (!keep_anchor && HasSelection() &&
      (motion == Motion::kCharLeft || motion == Motion::kCharRight)) {
    // An arrow key ends a selection at its own side, as desktop editors do.
    const TextPoint a = AnchorPoint();
    const TextPoint b = CaretPoint();
    target = motion == Motion::kCharLeft ? std::min(a, b) : std::max(a, b);
  } else {
    target = MotionTarget(motion, CaretPoint());
  }
  if (motion == Motion::kPageUp || motion == Motion::kPageDown) {
    // The page turns with the caret, which keeps its place on the screen.
    const long long step = motion == Motion::kPageUp ? -VisibleLineCount() : VisibleLineCount();
    ScrollToLine(
        static_cast<std::size_t>(std::max<long long>(0, static_cast<long long>(TopLine()) + step)));
  }
  MoveCaret(target, keep_anchor);
  EnsureCaretVisible();
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
  const int extent =
      static_cast<int>(std::ceil(lines_.WidestSeen())) + 2 * kLeftMargin + lines_.LineHeight();
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
  // The range may still wait for a queued update (a text that just grew).
  UpdateScrollBars();
  const TextPoint caret = CaretPoint();
  const std::size_t top = TopLine();
  const auto visible = static_cast<std::size_t>(VisibleLineCount());
  if (caret.line < top) {
    ScrollToLine(caret.line);
  } else if (caret.line >= top + visible) {
    ScrollToLine(caret.line + 1 - visible);
  }
  const qreal x = XOfPoint(caret) + kLeftMargin;
  QScrollBar* horizontal = horizontalScrollBar();
  const int width = viewport()->width();
  // Keep a little of the text beyond the caret in sight.
  const int margin = std::min(width / 4, 4 * lines_.LineHeight());
  if (lines_.WidestSeen() + 2 * kLeftMargin + lines_.LineHeight() > horizontal->maximum() + width) {
    UpdateScrollBars();  // the caret's line is wider than any seen before
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
  updateMicroFocus();
}

void DocumentView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void DocumentView::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    lines_.SetFont(font());
    UpdateScrollBars();
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
