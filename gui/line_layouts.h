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
// characters takes seconds. Such a line keeps a LongLineGeometry (width
// sums per block of characters, from cached glyph advances) that an edit
// updates block by block, and only the part on screen is read from the
// model and shaped when it is drawn.
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

#include "app/view/long_line_geometry.h"

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

// One line as drawn: all of an ordinary line, or of a long line the part
// on screen with the line's geometry for the rest.
class DisplayLine {
 public:
  // Lines longer than this keep block sums instead of a layout.
  static constexpr qsizetype kLongLineColumns = 8192;

  // An ordinary line: text as DisplayTextOfLine gives it.
  DisplayLine(QString text, std::vector<qsizetype> marked_columns,
              std::shared_ptr<const LineStyle> style);
  // Columns [first_column, first_column + text.size()) of a long line.
  // column_x holds the x of each of those columns and of the one after.
  DisplayLine(QString text, qsizetype first_column, std::vector<qreal> column_x,
              std::vector<qsizetype> marked_columns, std::shared_ptr<const LineStyle> style,
              std::function<qreal(qsizetype)> x_of_column,
              std::function<qsizetype(qreal)> column_at_x, qsizetype length, qreal width);

  // The characters held, one unit per character (see DisplayTextOfLine):
  // the whole line, or of a long line the part on screen from FirstColumn.
  const QString& Text() const { return text_; }
  qsizetype FirstColumn() const { return first_column_; }
  // Columns of the whole line.
  qsizetype Length() const { return length_; }
  // Columns whose characters were replaced by a sign: the view frames them.
  const std::vector<qsizetype>& MarkedColumns() const { return marked_columns_; }
  qreal Width() const { return width_; }

  // x of the caret before column (clamped to the line), from the line's
  // left edge; and the column whose caret position is nearest to x.
  qreal XOfColumn(qsizetype column) const;
  qsizetype ColumnAtX(qreal x) const;

  // Draws the line with its left edge at origin.x() and its top at
  // origin.y(), formats (the selection, in the line's columns) applied.
  // Only what falls between the viewport x positions visible_left and
  // visible_right must appear.
  void Draw(QPainter& painter, QPointF origin, const QList<QTextLayout::FormatRange>& formats,
            qreal visible_left, qreal visible_right) const;
  void DrawCursor(QPainter& painter, QPointF origin, qsizetype column, int width) const;

 private:
  bool IsLong() const { return layout_ == nullptr; }
  bool Holds(qsizetype column) const {
    return column >= first_column_ && column <= first_column_ + text_.size();
  }
  void DrawRun(QPainter& painter, QPointF origin, qsizetype first, qsizetype last,
               const QList<QTextLayout::FormatRange>& formats) const;

  QString text_;
  qsizetype first_column_ = 0;
  qsizetype length_ = 0;
  std::vector<qsizetype> marked_columns_;
  std::shared_ptr<const LineStyle> style_;
  qreal width_ = 0;
  std::unique_ptr<QTextLayout> layout_;  // a line of ordinary length
  // A long line: x of the held columns, and the geometry beyond them.
  std::vector<qreal> column_x_;
  std::function<qreal(qsizetype)> x_of_column_;
  std::function<qsizetype(qreal)> column_at_x_;
};

// The text a line of bytes is drawn as, and the columns that are marked.
// Bytes that are no Shift_JIS character, and control characters, are
// replaced by a visible sign of their own so that nothing is drawn as
// empty space.
QString DisplayTextOfLine(std::string_view bytes, std::vector<qsizetype>* marked_columns);
// The same for characters already decoded; marked columns count from
// first_column.
QString DisplayTextOfChars(std::u16string_view chars, std::vector<qsizetype>* marked_columns,
                           qsizetype first_column = 0);

// Lays out text as one unwrapped line in style.
std::unique_ptr<QTextLayout> LayOutLine(const QString& text, const LineStyle& style);

class LineLayouts {
 public:
  explicit LineLayouts(const TRichEditEx& document);

  void SetFont(const QFont& font);
  const LineStyle& Style() const { return *style_; }
  int LineHeight() const { return style_->height; }

  // Raw line index of the model (below RawLineCount()). Of a long line the
  // result holds no characters, only its geometry; ask OnScreen for those.
  std::shared_ptr<const DisplayLine> Line(std::size_t index);
  // The line with the characters between the line's x positions left and
  // right (all of an ordinary line).
  std::shared_ptr<const DisplayLine> OnScreen(std::size_t index, qreal left, qreal right);
  // Every character of the line as drawn: for tests and small lines.
  QString WholeText(std::size_t index);

  // The model's characters [char_position, + removed_chars) were replaced
  // by inserted_chars characters: lines are read again when next shown,
  // and a long line that the edit fell within measures again only the
  // blocks it touched.
  void TextReplaced(std::size_t char_position, std::size_t removed_chars,
                    std::size_t inserted_chars);
  // Forgets every line (the text was replaced as a whole).
  void Invalidate();

  // The widest line laid out since the last ResetWidest: the view's
  // horizontal extent, which grows as lines come into view (measuring a
  // million lines up front would cost what this class saves).
  qreal WidestSeen() const { return widest_seen_; }
  void ResetWidest() { widest_seen_ = 0; }

 private:
  // Kept lines; more are dropped at once (a screen needs a few dozen).
  static constexpr std::size_t kMaxKeptLines = 4096;
  static constexpr std::size_t kMaxLongLines = 64;

  struct LongLine {
    std::size_t first_char = 0;  // the model's character position of column 0
    std::shared_ptr<LongLineGeometry> geometry;
  };

  LongLine* LongLineAt(std::size_t index);
  LongLineGeometry::Reader ReaderOf(std::size_t index) const;

  const TRichEditEx& document_;
  std::shared_ptr<const LineStyle> style_;
  // Widths of the characters met so far in long lines.
  std::shared_ptr<AdvanceCache> advances_;
  qreal widest_seen_ = 0;
  std::unordered_map<std::size_t, std::shared_ptr<const DisplayLine>> lines_;
  std::unordered_map<std::size_t, LongLine> long_lines_;
  std::size_t known_line_count_ = 0;
};

}  // namespace morvik

#endif  // MORVIK_GUI_LINE_LAYOUTS_H_
