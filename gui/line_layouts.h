// LineLayouts: the laid-out lines that a document view draws, made on
// demand from the model.
//
// A view of a million-line file lays out only the lines it shows: each is
// read from the model, decoded (one UTF-16 unit per character, so a column
// is a character on both sides) and laid out with QTextLayout once, then
// kept until the text or the font changes. Nothing here is proportional to
// the size of the document.
#ifndef MORVIK_GUI_LINE_LAYOUTS_H_
#define MORVIK_GUI_LINE_LAYOUTS_H_

#include <QFont>
#include <QString>
#include <QTextLayout>
#include <cstddef>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace morvik {

class TRichEditEx;

// One line as drawn.
struct DisplayLine {
  // One unit per character of the line. Bytes that are no Shift_JIS
  // character, and control characters, are replaced by a visible sign of
  // their own so that nothing is drawn as empty space.
  QString text;
  // Columns of those replaced characters: the view frames them.
  std::vector<qsizetype> marked_columns;
  QTextLayout layout;
  qreal width = 0;  // natural width of the text in pixels
};

// The text a line of bytes is drawn as, and the columns that are marked.
QString DisplayTextOfLine(std::string_view bytes, std::vector<qsizetype>* marked_columns);

class LineLayouts {
 public:
  explicit LineLayouts(const TRichEditEx& document);

  void SetFont(const QFont& font);
  const QFont& Font() const { return font_; }
  // The height of every line, in whole pixels.
  int LineHeight() const { return line_height_; }

  // Raw line index of the model (below RawLineCount()).
  std::shared_ptr<const DisplayLine> Line(std::size_t index);

  // Lays out text that is not a line of the model (a line with the input
  // method's composition in it).
  std::unique_ptr<QTextLayout> LayOut(const QString& text) const;

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

  void LayOutInto(QTextLayout& layout) const;

  const TRichEditEx& document_;
  QFont font_;
  int line_height_ = 1;
  qreal tab_width_ = 8;
  qreal widest_seen_ = 0;
  std::unordered_map<std::size_t, std::shared_ptr<const DisplayLine>> lines_;
};

}  // namespace morvik

#endif  // MORVIK_GUI_LINE_LAYOUTS_H_
