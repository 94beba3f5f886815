#include "gui/line_layouts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLine>
#include <algorithm>
#include <cmath>

#include "app/document/rich_edit_ex.h"
#include "data/sjis_codec.h"

namespace morvik {
namespace {

// Wide enough for any line: the layout never wraps.
constexpr qreal kUnboundedWidth = 1.0e7;

// U+FFFD (the replacement sign) for an invalid byte; the Control Pictures
// block (U+2400 + c, U+2421 for DEL) for a control character.
char16_t VisibleSignOf(char16_t c) {
  if (IsInvalidByteUnit(c)) return 0xFFFD;
  if (c < 0x20) return static_cast<char16_t>(0x2400 + c);
  return 0x2421;
}

bool NeedsVisibleSign(char16_t c) {
  return IsInvalidByteUnit(c) || (c < 0x20 && c != u'\t') || c == 0x7F;
}

}  // namespace

QString DisplayTextOfChars(std::u16string_view chars, std::vector<qsizetype>* marked_columns,
                           qsizetype first_column) {
  QString text(static_cast<qsizetype>(chars.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (std::size_t i = 0; i < chars.size(); ++i) {
    char16_t c = chars[i];
    if (NeedsVisibleSign(c)) {
      c = VisibleSignOf(c);
      if (marked_columns != nullptr) {
        marked_columns->push_back(first_column + static_cast<qsizetype>(i));
      }
    }
    out[i] = QChar(c);
  }
  return text;
}

QString DisplayTextOfLine(std::string_view bytes, std::vector<qsizetype>* marked_columns) {
  return DisplayTextOfChars(DecodeSjis(bytes), marked_columns);
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
                         std::shared_ptr<const LineStyle> style)
    : text_(std::move(text)),
      length_(text_.size()),
      marked_columns_(std::move(marked_columns)),
      style_(std::move(style)),
      layout_(LayOutLine(text_, *style_)) {
  width_ = layout_->lineAt(0).naturalTextWidth();
}

DisplayLine::DisplayLine(QString text, qsizetype first_column, std::vector<qreal> column_x,
                         std::vector<qsizetype> marked_columns,
                         std::shared_ptr<const LineStyle> style,
                         std::function<qreal(qsizetype)> x_of_column,
                         std::function<qsizetype(qreal)> column_at_x, qsizetype length, qreal width)
    : text_(std::move(text)),
      first_column_(first_column),
      length_(length),
      marked_columns_(std::move(marked_columns)),
      style_(std::move(style)),
      width_(width),
      column_x_(std::move(column_x)),
      x_of_column_(std::move(x_of_column)),
      column_at_x_(std::move(column_at_x)) {}

qreal DisplayLine::XOfColumn(qsizetype column) const {
  column = std::clamp<qsizetype>(column, 0, length_);
  if (!IsLong()) return layout_->lineAt(0).cursorToX(static_cast<int>(column));
  if (Holds(column)) return column_x_[static_cast<std::size_t>(column - first_column_)];
  return x_of_column_(column);
}

qsizetype DisplayLine::ColumnAtX(qreal x) const {
  // Outside the text (and beyond what the layout's fixed-point x can hold).
  if (x <= 0) return 0;
  if (x >= width_) return length_;
  if (!IsLong()) {
    const int column = layout_->lineAt(0).xToCursor(x, QTextLine::CursorBetweenCharacters);
    return std::clamp<qsizetype>(column, 0, length_);
  }
  if (text_.isEmpty() || x < column_x_.front() || x >= column_x_.back()) return column_at_x_(x);
  const auto after = std::upper_bound(column_x_.begin(), column_x_.end(), x);
  const qsizetype next = first_column_ + (after - column_x_.begin());
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
  const qsizetype end = first_column_ + text_.size();
  const qsizetype first =
      std::clamp<qsizetype>(ColumnAtX(visible_left - origin.x()) - 1, first_column_, end);
  const qsizetype last =
      std::clamp<qsizetype>(ColumnAtX(visible_right - origin.x()) + 1, first_column_, end);
  qsizetype column = first;
  while (column < last) {
    if (text_[column - first_column_] == u'\t') {
      // A tab is drawn as its gap; selected, the gap takes the selection's
      // background.
      for (const QTextLayout::FormatRange& range : formats) {
        if (column >= range.start && column < range.start + range.length) {
          const qreal left = XOfColumn(column);
          const qreal right = XOfColumn(column + 1);
          painter.fillRect(QRectF(origin.x() + left, origin.y(), right - left, style_->height),
                           range.format.background());
        }
      }
      ++column;
      continue;
    }
    qsizetype run_end = column;
    while (run_end < last && text_[run_end - first_column_] != u'\t') ++run_end;
    DrawRun(painter, origin, column, run_end, formats);
    column = run_end;
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
  const std::unique_ptr<QTextLayout> run =
      LayOutLine(text_.mid(first - first_column_, last - first), *style_);
  run->draw(&painter, QPointF(origin.x() + XOfColumn(first), origin.y()), shifted);
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
  advances_ = std::make_shared<AdvanceCache>([font = style_->font](char16_t c) {
    const char16_t shown = NeedsVisibleSign(c) ? VisibleSignOf(c) : c;
    return QFontMetricsF(font).horizontalAdvance(QChar(shown));
  });
  Invalidate();
  ResetWidest();
}

LongLineGeometry::Reader LineLayouts::ReaderOf(std::size_t index) const {
  return [this, index](std::size_t first, std::size_t count) {
    return document_.LineChars(index, first, count);
  };
}

LineLayouts::LongLine* LineLayouts::LongLineAt(std::size_t index) {
  const std::size_t length = document_.LineCharCount(index);
  if (length <= static_cast<std::size_t>(DisplayLine::kLongLineColumns)) {
    long_lines_.erase(index);
    return nullptr;
  }
  auto found = long_lines_.find(index);
  if (found != long_lines_.end() && found->second.geometry->Length() == length) {
    return &found->second;
  }
  if (long_lines_.size() >= kMaxLongLines) long_lines_.clear();
  LongLine line;
  line.first_char = document_.CharPositionOfLine(index);
  line.geometry =
      std::make_shared<LongLineGeometry>(length, style_->tab_width, advances_, ReaderOf(index));
  known_line_count_ = document_.RawLineCount();
  return &(long_lines_[index] = std::move(line));
}

std::shared_ptr<const DisplayLine> LineLayouts::Line(std::size_t index) {
  return OnScreen(index, 0, 0);
}

std::shared_ptr<const DisplayLine> LineLayouts::OnScreen(std::size_t index, qreal left,
                                                         qreal right) {
  const bool whole = left >= right;
  // Kept: ordinary lines, and the geometry alone of long ones.
  if (auto found = lines_.find(index);
      found != lines_.end() && (whole || found->second->Length() == found->second->Text().size())) {
    return found->second;
  }
  LongLine* long_line = LongLineAt(index);
  std::shared_ptr<const DisplayLine> line;
  std::vector<qsizetype> marked;
  if (long_line == nullptr) {
    QString text =
        DisplayTextOfChars(document_.LineChars(index, 0, document_.LineCharCount(index)), &marked);
    line = std::make_shared<const DisplayLine>(std::move(text), std::move(marked), style_);
  } else {
    std::shared_ptr<LongLineGeometry> geometry = long_line->geometry;
    const LongLineGeometry::Reader read = ReaderOf(index);
    std::size_t first = 0;
    std::size_t last = 0;
    if (!whole) {
      // One column either side, for glyphs that reach past their cell.
      first = geometry->ColumnAtX(left, read);
      first -= std::min<std::size_t>(first, 1);
      last = std::min(geometry->Length(), geometry->ColumnAtX(right, read) + 1);
    }
    const std::u16string chars = read(first, last - first);
    std::vector<qreal> column_x;
    column_x.reserve(chars.size() + 1);
    qreal x = geometry->XOfColumn(first, read);
    column_x.push_back(x);
    for (std::size_t i = 0; i < chars.size(); ++i) {
      x = geometry->Advanced(x, std::u16string_view(chars).substr(i, 1));
      column_x.push_back(x);
    }
    QString text = DisplayTextOfChars(chars, &marked, static_cast<qsizetype>(first));
    line = std::make_shared<const DisplayLine>(
        std::move(text), static_cast<qsizetype>(first), std::move(column_x), std::move(marked),
        style_,
        [geometry, read](qsizetype column) {
          return geometry->XOfColumn(static_cast<std::size_t>(column), read);
        },
        [geometry, read](qreal at) {
          return static_cast<qsizetype>(geometry->ColumnAtX(at, read));
        },
        static_cast<qsizetype>(geometry->Length()), geometry->Width());
    // Only the geometry of a long line is kept; its characters are read
    // for each screen.
    if (!whole) {
      widest_seen_ = std::max(widest_seen_, line->Width());
      return line;
    }
  }
  if (lines_.size() >= kMaxKeptLines) lines_.clear();
  widest_seen_ = std::max(widest_seen_, line->Width());
  lines_[index] = line;
  return line;
}

QString LineLayouts::WholeText(std::size_t index) {
  return DisplayTextOfChars(document_.LineChars(index, 0, document_.LineCharCount(index)), nullptr);
}

void LineLayouts::TextReplaced(std::size_t char_position, std::size_t removed_chars,
                               std::size_t inserted_chars) {
  lines_.clear();
  const std::size_t count = document_.RawLineCount();
  const auto line_delta = static_cast<long long>(count) - static_cast<long long>(known_line_count_);
  std::unordered_map<std::size_t, LongLine> kept;
  for (auto& [index, line] : long_lines_) {
    const std::size_t first = line.first_char;
    const std::size_t end = first + line.geometry->Length();
    if (char_position + removed_chars < first) {
      // Wholly before the line and the break that starts it.
      line.first_char = first + inserted_chars - removed_chars;
      kept.emplace(static_cast<std::size_t>(static_cast<long long>(index) + line_delta),
                   std::move(line));
    } else if (line_delta == 0 && char_position >= first && char_position + removed_chars <= end) {
      line.geometry->Edit(char_position - first, removed_chars, inserted_chars, ReaderOf(index));
      kept.emplace(index, std::move(line));
    } else if (char_position > end) {
      kept.emplace(index, std::move(line));
    }
  }
  long_lines_ = std::move(kept);
  known_line_count_ = count;
}

void LineLayouts::Invalidate() {
  lines_.clear();
  long_lines_.clear();
  known_line_count_ = document_.RawLineCount();
}

}  // namespace morvik
