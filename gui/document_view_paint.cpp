// DocumentView: drawing. Only the lines in the damaged part of the
// viewport are read and laid out; the selection, the caret, the input
// method's composition and the marks of undecodable bytes are drawn over
// them.
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>

#include "gui/document_view.h"

namespace morvik {
namespace {

// Bytes that are no Shift_JIS character, and control characters, are
// drawn as a sign; a red frame makes them stand out from real text.
void DrawMarks(QPainter& painter, const DisplayLine& shown, QPointF origin, int height) {
  if (shown.MarkedColumns().empty()) return;
  const QColor fill(255, 0, 0, 60);
  const QColor frame(200, 0, 0);
  painter.save();
  painter.setPen(frame);
  for (qsizetype column : shown.MarkedColumns()) {
    const qreal left = shown.XOfColumn(column);
    const qreal right = shown.XOfColumn(column + 1);
    const QRectF mark(origin.x() + left, origin.y(), std::max<qreal>(right - left, 4), height);
    painter.fillRect(mark, fill);
    painter.drawRect(mark.adjusted(0, 0, -1, -1));
  }
  painter.restore();
}

}  // namespace

QRect DocumentView::CaretRectInViewport() const {
  const TextPoint caret = CaretPoint();
  qreal x = XOfPoint(caret);
  const QString preedit = QString::fromStdU16String(controller_.Preedit());
  if (!preedit.isEmpty()) {
    x += QFontMetricsF(font()).horizontalAdvance(
        preedit.left(static_cast<qsizetype>(controller_.PreeditCursor())));
  }
  const long long row = static_cast<long long>(caret.line) - static_cast<long long>(TopLine());
  const int height = lines_.LineHeight();
  return QRect(static_cast<int>(ContentLeft() + x), static_cast<int>(row * height),
               style()->pixelMetric(QStyle::PM_TextCursorWidth), height);
}

void DocumentView::DrawCaret(QPainter& painter, const DisplayLine& shown, QPointF origin,
                             std::size_t column) const {
  const int width = style()->pixelMetric(QStyle::PM_TextCursorWidth);
  const auto at = static_cast<qsizetype>(column);
  if (!controller_.Overwrite() || at >= shown.Length()) {
    shown.DrawCursor(painter, origin, at, width);
    return;
  }
  // In overwrite mode the caret covers the character it will replace.
  const qreal left = shown.XOfColumn(at);
  const qreal right = shown.XOfColumn(at + 1);
  QColor block = palette().color(QPalette::Text);
  block.setAlpha(110);
  painter.fillRect(QRectF(origin.x() + left, origin.y(), std::max<qreal>(right - left, width),
                          lines_.LineHeight()),
                   block);
}

void DocumentView::DrawComposition(QPainter& painter, const DisplayLine& shown, QPointF origin,
                                   std::size_t column,
                                   const QList<QTextLayout::FormatRange>& formats,
                                   bool caret_visible) const {
  // The line opens at the caret and the composition stands there,
  // underlined, until the input method commits it.
  const QString preedit = QString::fromStdU16String(controller_.Preedit());
  const std::unique_ptr<QTextLayout> composed = LayOutLine(preedit, lines_.Style());
  const qreal composed_width = composed->lineAt(0).naturalTextWidth();
  const qreal caret_x = origin.x() + shown.XOfColumn(static_cast<qsizetype>(column));
  const qreal right = viewport()->width();
  const int height = lines_.LineHeight();
  painter.save();
  painter.setClipRect(QRectF(0, origin.y(), std::max<qreal>(0, caret_x), height));
  shown.Draw(painter, origin, formats, 0, caret_x);
  painter.setClipRect(QRectF(caret_x + composed_width, origin.y(), right, height));
  shown.Draw(painter, origin + QPointF(composed_width, 0), formats, caret_x + composed_width,
             right);
  painter.restore();
  QTextCharFormat underlined;
  underlined.setFontUnderline(true);
  const QPointF at(caret_x, origin.y());
  composed->draw(&painter, at, {{0, static_cast<int>(preedit.size()), underlined}});
  if (caret_visible) {
    composed->drawCursor(&painter, at, static_cast<int>(controller_.PreeditCursor()),
                         style()->pixelMetric(QStyle::PM_TextCursorWidth));
  }
}

void DocumentView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const int height = lines_.LineHeight();
  const std::size_t top = TopLine();
  const std::size_t count = LineCount();
  const qreal left = ContentLeft();
  const qreal right = viewport()->width();
  const TextPoint caret = CaretPoint();
  const TextPoint anchor = AnchorPoint();
  const TextPoint first_selected = std::min(caret, anchor);
  const TextPoint last_selected = std::max(caret, anchor);
  const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
  QTextCharFormat selected;
  selected.setBackground(palette().brush(group, QPalette::Highlight));
  selected.setForeground(palette().brush(group, QPalette::HighlightedText));
  const bool caret_visible = hasFocus() && caret_shown_;
  const qreal break_width = QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' '));
  const qreal widest_before = lines_.WidestSeen();

  const int first_row = std::max(0, event->rect().top() / height);
  const int last_row = event->rect().bottom() / height;
  painter.setPen(palette().color(group, QPalette::Text));
  for (int row = first_row; row <= last_row; ++row) {
    const std::size_t line = top + static_cast<std::size_t>(row);
    if (line >= count) break;
    const QPointF origin(left, static_cast<qreal>(row) * height);
    const std::shared_ptr<const DisplayLine> shown = lines_.OnScreen(line, -left, right - left);

    QList<QTextLayout::FormatRange> formats;
    if (first_selected != last_selected && line >= first_selected.line &&
        line <= last_selected.line) {
      const std::size_t start = line == first_selected.line ? first_selected.column : 0;
      const std::size_t end = line == last_selected.line
                                  ? last_selected.column
                                  : static_cast<std::size_t>(shown->Length());
      if (end > start) {
        formats.append({static_cast<int>(start), static_cast<int>(end - start), selected});
      }
      if (line < last_selected.line) {
        // The line break is selected too.
        painter.fillRect(QRectF(origin.x() + shown->Width(), origin.y(), break_width, height),
                         selected.background());
      }
    }
    if (line == caret.line && !controller_.Preedit().empty()) {
      DrawComposition(painter, *shown, origin, caret.column, formats, caret_visible);
      continue;
    }
    shown->Draw(painter, origin, formats, 0, right);
    DrawMarks(painter, *shown, origin, height);
    if (caret_visible && line == caret.line) DrawCaret(painter, *shown, origin, caret.column);
  }
  if (drop_point_ && drop_point_->line >= top &&
      drop_point_->line - top <= static_cast<std::size_t>(last_row)) {
    // Where a drop would put the dragged text.
    const auto row = static_cast<qreal>(drop_point_->line - top);
    lines_.Line(drop_point_->line)
        ->DrawCursor(painter, QPointF(left, row * height),
                     static_cast<qsizetype>(drop_point_->column),
                     2 * style()->pixelMetric(QStyle::PM_TextCursorWidth));
  }
  // Lines wider than any before came into sight: the horizontal bar grows.
  if (lines_.WidestSeen() > widest_before) UpdateScrollBarsLater();
}

}  // namespace morvik
