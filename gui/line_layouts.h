// LineLayouts: the laid-out lines that a document view draws, made on
// demand from the model.
//
// A view of a million-line file lays out only the lines it shows: each is
// read from the model, decoded (one UTF-16 unit per character, so a column
// is a character on both sides) and laid out once, then kept until the
// text or the font changes. Nothing here is proportional to the size of
// the document.
//
// A line is laid out whole with QTextLayout, except a very long one (a
// linized script, a file without line breaks): shaping a million
// characters takes seconds, on every keystroke in that line. Such a line
// keeps only the x of every column, summed from per-character advances,
// and shapes just the part that is on screen when it is drawn.
#ifndef MORVIK_GUI_LINE_LAYOUTS_H_
#define MORVIK_GUI_LINE_LAYOUTS_H_

#include <QFont>
#include <QList>
#include <QString>
#include <QTextLayout>
#include <QTextOption>
#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

class QPainter;

namespace morvik {

class TRichEditEx;

// What every line of a view is drawn with.
struct LineStyle {
  QFont font;
  QTextOption option;  // no wrap, tab stops
  qreal tab_width = 8;
  int height = 1;  // of every line, in whole pixels
};

// One line as drawn.
class DisplayLine {
 public:
  // Lines longer than this keep column positions instead of a layout.
  static constexpr qsizetype kLongLineColumns = 8192;

  // text as DisplayTextOfLine gives it. advance gives a character's width
  // (for long lines only).
  DisplayLine(QString text, std::vector<qsizetype> marked_columns,
              std::shared_ptr<const LineStyle> style, const std::function<qreal(QChar)>& advance);

  // One unit per character of the line; see DisplayTextOfLine.
  const QString& Text() const { return text_; }
  // Columns whose characters were replaced by a sign: the view frames them.
  const std::vector<qsizetype>& MarkedColumns() const { return marked_columns_; }
  qreal Width() const { return width_; }

  // x of the caret before column (clamped to the line), from the line's
  // left edge; and the column whose caret position is nearest to x.
  qreal XOfColumn(qsizetype column) const;
  qsizetype ColumnAtX(qreal x) const;

  // Draws the line with its left edge at origin.x() and its top at
  // origin.y(), formats (the selection) applied. Only what falls between
  // the viewport x positions visible_left and visible_right must appear.
  void Draw(QPainter& painter, QPointF origin, const QList<QTextLayout::FormatRange>& formats,
            qreal visible_left, qreal visible_right) const;
  void DrawCursor(QPainter& painter, QPointF origin, qsizetype column, int width) const;

 private:
  bool IsLong() const { return layout_ == nullptr; }
  void DrawRun(QPainter& painter, QPointF origin, qsizetype first, qsizetype last,
               const QList<QTextLayout::FormatRange>& formats) const;

  QString text_;
  std::vector<qsizetype> marked_columns_;
  std::shared_ptr<const LineStyle> style_;
  qreal width_ = 0;
  std::unique_ptr<QTextLayout> layout_;  // a line of ordinary length
  std::vector<qreal> column_x_;          // a long line: x of every column, and of its end
};

// The text a line of bytes is drawn as, and the columns that are marked.
// Bytes that are no Shift_JIS character, and control characters, are
// replaced by a visible sign of their own so that nothing is drawn as
// empty space.
QString DisplayTextOfLine(std::string_view bytes, std::vector<qsizetype>* marked_columns);

// Lays out text as one unwrapped line in style.
std::unique_ptr<QTextLayout> LayOutLine(const QString& text, const LineStyle& style);

class LineLayouts {
 public:
  explicit LineLayouts(const TRichEditEx& document);

  void SetFont(const QFont& font);
  const LineStyle& Style() const { return *style_; }
  int LineHeight() const { return style_->height; }

  // Raw line index of the model (below RawLineCount()).
  std::shared_ptr<const DisplayLine> Line(std::size_t index);

  // The text changed: every line is read again when next shown.
  void Invalidate();

  // The widest line laid out since the last ResetWidest: the view's
  // horizontal extent, which grows as lines come into view (measuring a
  // million lines up front would cost what this class saves).
  qreal WidestSeen() const { return widest_seen_; }
  void ResetWidest() { widest_seen_ = 0; }

 private:
  // Kept lines; more are dropped at once (a screen needs a few dozen).
  static constexpr std::size_t kMaxKeptLines = 4096;

  qreal AdvanceOf(QChar c);

  const TRichEditEx& document_;
  std::shared_ptr<const LineStyle> style_;
  // Widths of the characters met so far in long lines; negative: unknown.
  std::vector<qreal> advances_;
  qreal widest_seen_ = 0;
  std::unordered_map<std::size_t, std::shared_ptr<const DisplayLine>> lines_;
};

}  // namespace morvik

#endif  // MORVIK_GUI_LINE_LAYOUTS_H_
