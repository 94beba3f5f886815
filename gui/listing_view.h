// ListingView: a read-only list of lines, as a memo shows a listing, that
// stays fast for a million lines. Lines are kept as the logic gives them
// (Shift_JIS bytes) and decoded only when drawn, like the document view;
// the width that the horizontal scroll bar covers is measured once from
// per-character advances. Rows can be selected, and Ctrl+C copies them.
#ifndef MORVIK_GUI_LISTING_VIEW_H_
#define MORVIK_GUI_LISTING_VIEW_H_

#include <QAbstractListModel>
#include <QListView>
#include <QStringList>
#include <string>
#include <vector>

namespace morvik {

// The rows of a ListingView: byte lines owned by the logic, or texts.
class ListingModel : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;

  // lines (may be nullptr: no rows) must stay unchanged until the next Set
  // or Clear call. row_size: the size of every row, the widest one's width.
  void SetByteLines(const std::vector<std::string>* lines, QSize row_size);
  void SetTextLines(QStringList lines, QSize row_size);
  void Clear();
  QString Line(int row) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  const std::vector<std::string>* byte_lines_ = nullptr;
  QStringList text_lines_;
  QSize row_size_;
};

class ListingView : public QListView {
  Q_OBJECT

 public:
  explicit ListingView(QWidget* parent);

  // See ListingModel::SetByteLines.
  void SetByteLines(const std::vector<std::string>* lines);
  void SetTextLines(const QStringList& lines);
  // Every line, joined with '\n'.
  QString Text() const;
  // The selected rows in order, joined with '\n'.
  QString SelectedText() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // The size every row takes: the height of a line of the font, the width
  // of the widest line.
  QSize RowSize(int widest) const;

  ListingModel* model_;
};

}  // namespace morvik

#endif  // MORVIK_GUI_LISTING_VIEW_H_
