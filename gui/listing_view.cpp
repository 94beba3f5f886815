#include "gui/listing_view.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "gui/sjis_text.h"

namespace morvik {

void ListingModel::SetByteLines(const std::vector<std::string>* lines, QSize row_size) {
  beginResetModel();
  byte_lines_ = lines;
  text_lines_.clear();
  row_size_ = row_size;
  endResetModel();
}

void ListingModel::SetTextLines(QStringList lines, QSize row_size) {
  beginResetModel();
  byte_lines_ = nullptr;
  text_lines_ = std::move(lines);
  row_size_ = row_size;
  endResetModel();
}

void ListingModel::Clear() {
  SetTextLines({}, row_size_);
}

QString ListingModel::Line(int row) const {
  if (byte_lines_ != nullptr)
    return WidgetTextOfBytes((*byte_lines_)[static_cast<std::size_t>(row)]);
  return text_lines_.at(row);
}

int ListingModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  // A list view counts rows in int; a listing of more lines than that
  // cannot come from a document of at most 1 GiB with a break per line.
  if (byte_lines_ != nullptr) return static_cast<int>(byte_lines_->size());
  return static_cast<int>(text_lines_.size());
}

QVariant ListingModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role == Qt::DisplayRole) return Line(index.row());
  // Every row the same size (the view asks only the first, as rows are
  // uniform): the widest line's width, so the scroll bar reaches its end.
  if (role == Qt::SizeHintRole) return row_size_;
  return {};
}

ListingView::ListingView(QWidget* parent) : QListView(parent), model_(new ListingModel(this)) {
  setModel(model_);
  setUniformItemSizes(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setTextElideMode(Qt::ElideNone);
  setWordWrap(false);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

QSize ListingView::RowSize(int widest) const {
  const QFontMetrics metrics(font());
  // A little room after the text, as a memo leaves after its longest line.
  const int margin = metrics.averageCharWidth() * 2;
  return QSize(std::max(widest + margin, 1), metrics.height());
}

void ListingView::SetByteLines(const std::vector<std::string>* lines) {
  int widest = 0;
  if (lines != nullptr) {
    // A line's width is the sum of its characters' advances: each of the
    // code page's characters is one unit, and a listing has no tabs worth
    // laying out. A character is told by its first two bytes at most (one
    // at the line's end), so each step is looked up by those bytes: a
    // million lines are then walked without decoding, and each distinct
    // unit's advance is measured once.
    const QFontMetricsF metrics(font());
    std::vector<float> advance(65536, -1.0f);
    struct Step {
      float advance = 0;
      std::uint8_t length = 0;  // 0: not looked up yet
    };
    std::vector<Step> by_pair(65536);
    std::vector<Step> by_last(256);
    const auto step_at = [&](const std::string& line, std::size_t pos, Step& step) {
      std::size_t length = 1;
      const char16_t unit = CharOfLineBytesAt(line, pos, &length);
      float& known = advance[unit];
      if (known < 0) known = static_cast<float>(metrics.horizontalAdvance(QChar(unit)));
      step = Step{known, static_cast<std::uint8_t>(length)};
    };
    double widest_line = 0;
    for (const std::string& line : *lines) {
      const auto* bytes = reinterpret_cast<const unsigned char*>(line.data());
      const std::size_t size = line.size();
      double width = 0;
      std::size_t pos = 0;
      while (pos + 1 < size) {
        Step& step = by_pair[bytes[pos] * 256u + bytes[pos + 1]];
        if (step.length == 0) step_at(line, pos, step);
        width += step.advance;
        pos += step.length;
      }
      if (pos < size) {
        Step& step = by_last[bytes[pos]];
        if (step.length == 0) step_at(line, pos, step);
        width += step.advance;
      }
      widest_line = std::max(widest_line, width);
    }
    widest = static_cast<int>(std::ceil(widest_line));
  }
  model_->SetByteLines(lines, RowSize(widest));
}

void ListingView::SetTextLines(const QStringList& lines) {
  const QFontMetrics metrics(font());
  int widest = 0;
  for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
  model_->SetTextLines(lines, RowSize(widest));
}

QString ListingView::Text() const {
  QStringList lines;
  for (int row = 0; row < model_->rowCount(); ++row) lines << model_->Line(row);
  return lines.join(u'\n');
}

QString ListingView::SelectedText() const {
  QModelIndexList selected = selectionModel()->selectedRows();
  std::sort(selected.begin(), selected.end(),
            [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
  QStringList lines;
  for (const QModelIndex& index : selected) lines << model_->Line(index.row());
  return lines.join(u'\n');
}

void ListingView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    QGuiApplication::clipboard()->setText(SelectedText());
    event->accept();
    return;
  }
  QListView::keyPressEvent(event);
}

}  // namespace morvik
