#include "gui/line_layouts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLine>
#include <algorithm>
#include <cmath>

#include "app/document/rich_edit_ex.h"
#include "gui/sjis_text.h"

namespace morvik {
namespace {

// Wide enough for any line: the layout never wraps.
constexpr qreal kUnboundedWidth = 1.0e7;

// U+FFFD (the replacement sign) for an invalid byte; the Control Pictures
// block (U+2400 + c, U+2421 for DEL) for a control character.
char16_t VisibleSignOf(char16_t c) {
  if (IsInvalidByteChar(c)) return 0xFFFD;
  if (c < 0x20) return static_cast<char16_t>(0x2400 + c);
  return 0x2421;
}

bool NeedsVisibleSign(char16_t c) {
  return IsInvalidByteChar(c) || (c < 0x20 && c != u'\t') || c == 0x7F;
}

}  // namespace

QString DisplayTextOfLine(std::string_view bytes, std::vector<qsizetype>* marked_columns) {
  const std::u16string decoded = CharsOfLineBytes(bytes);
  QString text(static_cast<qsizetype>(decoded.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (std::size_t i = 0; i < decoded.size(); ++i) {
    char16_t c = decoded[i];
    if (NeedsVisibleSign(c)) {
      c = VisibleSignOf(c);
      if (marked_columns != nullptr) marked_columns->push_back(static_cast<qsizetype>(i));
    }
    out[i] = QChar(c);
  }
  return text;
}

std::unique_ptr<QTextLayout> LayOutLine(const QString& text, const LineStyle& style) {
  auto layout = std::make_unique<QTextLayout>(text, style.font);
  layout->setTextOption(style.option);
  layout->setCacheEnabled(true);
  layout->beginLayout();
  QTextLine line = layout->createLine();
  line.setLineWidth(kUnboundedWidth);
  line.setPosition(QPointF(0, 0));
  layout->endLayout();
  return layout;
}

// --- DisplayLine -----------------------------------------------------------------------

DisplayLine::DisplayLine(QString text, std::vector<qsizetype> marked_columns,
                         std::shared_ptr<const LineStyle> style,
                         const std::function<qreal(QChar)>& advance)
    : text_(std::move(text)), marked_columns_(std::move(marked_columns)), style_(std::move(style)) {
  if (text_.size() <= kLongLineColumns) {
    layout_ = LayOutLine(text_, *style_);
    width_ = layout_->lineAt(0).naturalTextWidth();
    return;
  }
  column_x_.reserve(static_cast<std::size_t>(text_.size()) + 1);
  qreal x = 0;
  column_x_.push_back(x);
  for (QChar c : text_) {
    if (c == u'\t') {
      x = (std::floor(x / style_->tab_width) + 1) * style_->tab_width;
    } else {
      x += advance(c);
    }
    column_x_.push_back(x);
  }
  width_ = x;
}

qreal DisplayLine::XOfColumn(qsizetype column) const {
  column = std::clamp<qsizetype>(column, 0, text_.size());
  if (IsLong()) return column_x_[static_cast<std::size_t>(column)];
  return layout_->lineAt(0).cursorToX(static_cast<int>(column));
}

qsizetype DisplayLine::ColumnAtX(qreal x) const {
  // Outside the text (and beyond what the layout's fixed-point x can hold).
  if (x <= 0) return 0;
  if (x >= width_) return text_.size();
  if (!IsLong()) {
    const int column = layout_->lineAt(0).xToCursor(x, QTextLine::CursorBetweenCharacters);
    return std::clamp<qsizetype>(column, 0, text_.size());
  }
  const auto after = std::upper_bound(column_x_.begin(), column_x_.end(), x);
  if (after == column_x_.begin()) return 0;
  if (after == column_x_.end()) return text_.size();
  const qsizetype next = after - column_x_.begin();
  // The nearer of the two caret positions around x.
  return (x - *(after - 1) <= *after - x) ? next - 1 : next;
}

void DisplayLine::Draw(QPainter& painter, QPointF origin,
                       const QList<QTextLayout::FormatRange>& formats, qreal visible_left,
                       qreal visible_right) const {
  if (!IsLong()) {
    layout_->draw(&painter, origin, formats);
    return;
  }
  // One column either side, for glyphs that reach past their cell.
  const qsizetype first = std::max<qsizetype>(0, ColumnAtX(visible_left - origin.x()) - 1);
  const qsizetype last =
      std::min<qsizetype>(text_.size(), ColumnAtX(visible_right - origin.x()) + 1);
  qsizetype column = first;
  while (column < last) {
    if (text_[column] == u'\t') {
      // A tab is drawn as its gap; selected, the gap takes the selection's
      // background.
      for (const QTextLayout::FormatRange& range : formats) {
        if (column >= range.start && column < range.start + range.length) {
          const qreal left = column_x_[static_cast<std::size_t>(column)];
          const qreal right = column_x_[static_cast<std::size_t>(column) + 1];
          painter.fillRect(QRectF(origin.x() + left, origin.y(), right - left, style_->height),
                           range.format.background());
        }
      }
      ++column;
      continue;
    }
    qsizetype end = column;
    while (end < last && text_[end] != u'\t') ++end;
    DrawRun(painter, origin, column, end, formats);
    column = end;
  }
}

void DisplayLine::DrawRun(QPainter& painter, QPointF origin, qsizetype first, qsizetype last,
                          const QList<QTextLayout::FormatRange>& formats) const {
  QList<QTextLayout::FormatRange> shifted;
  for (const QTextLayout::FormatRange& range : formats) {
    const qsizetype start = std::max<qsizetype>(range.start, first);
    const qsizetype end = std::min<qsizetype>(range.start + range.length, last);
    if (start < end) {
      shifted.append(
          {static_cast<int>(start - first), static_cast<int>(end - start), range.format});
    }
  }
  const std::unique_ptr<QTextLayout> run = LayOutLine(text_.mid(first, last - first), *style_);
  run->draw(&painter, QPointF(origin.x() + column_x_[static_cast<std::size_t>(first)], origin.y()),
            shifted);
}

void DisplayLine::DrawCursor(QPainter& painter, QPointF origin, qsizetype column, int width) const {
  if (!IsLong()) {
    layout_->drawCursor(&painter, origin, static_cast<int>(column), width);
    return;
  }
  painter.fillRect(QRectF(origin.x() + XOfColumn(column), origin.y(), width, style_->height),
                   painter.pen().brush());
}

// --- LineLayouts -----------------------------------------------------------------------

LineLayouts::LineLayouts(const TRichEditEx& document) : document_(document) {
  SetFont(QFont());
}

void LineLayouts::SetFont(const QFont& font) {
  auto style = std::make_shared<LineStyle>();
  style->font = font;
  const QFontMetricsF metrics(font);
  style->tab_width = 8 * metrics.horizontalAdvance(QLatin1Char(' '));
  style->option.setWrapMode(QTextOption::NoWrap);
  style->option.setTabStopDistance(style->tab_width);
  style->option.setFlags(QTextOption::IncludeTrailingSpaces);
  // Japanese glyphs may come from a fallback face taller than the font
  // itself; a laid-out sample gives the height lines really take.
  const std::unique_ptr<QTextLayout> sample = LayOutLine(QStringLiteral(u"Aあ漢"), *style);
  style->height =
      static_cast<int>(std::ceil(std::max(metrics.lineSpacing(), sample->lineAt(0).height())));
  style_ = std::move(style);
  advances_.assign(0x10000, -1);
  Invalidate();
  ResetWidest();
}

qreal LineLayouts::AdvanceOf(QChar c) {
  qreal& advance = advances_[c.unicode()];
  if (advance < 0) advance = QFontMetricsF(style_->font).horizontalAdvance(c);
  return advance;
}

std::shared_ptr<const DisplayLine> LineLayouts::Line(std::size_t index) {
  if (auto found = lines_.find(index); found != lines_.end()) return found->second;
  if (lines_.size() >= kMaxKeptLines) lines_.clear();
  std::vector<qsizetype> marked;
  QString text = DisplayTextOfLine(document_.Line(index), &marked);
  auto line = std::make_shared<const DisplayLine>(std::move(text), std::move(marked), style_,
                                                  [this](QChar c) { return AdvanceOf(c); });
  widest_seen_ = std::max(widest_seen_, line->Width());
  lines_.emplace(index, line);
  return line;
}

void LineLayouts::Invalidate() {
  lines_.clear();
}

}  // namespace morvik
