// LongLineGeometry: the x of every column of a very long line, without
// holding the line or an x for each of its columns.
//
// The line is cut into blocks of a few thousand characters, and each block
// keeps how many characters it holds and how far it moves the pen. A tab
// moves the pen to the next tab stop, so a block with a tab is summed as the
// width before its first tab plus the width from that tab's stop on (tab
// stops are multiples of the tab width, so that part does not depend on
// where the block starts). x of a column is then the blocks' sums before
// it plus a scan of one block, and an edit measures again only the blocks
// it touched. Characters are read through a callback, a block at a time.
#ifndef MORVIK_APP_VIEW_LONG_LINE_GEOMETRY_H_
#define MORVIK_APP_VIEW_LONG_LINE_GEOMETRY_H_

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace morvik {

// The pen's advance for each character other than a tab, measured once.
class AdvanceCache {
 public:
  explicit AdvanceCache(std::function<double(char16_t)> measure)
      : measure_(std::move(measure)), advances_(0x10000, -1) {}
  double operator()(char16_t c) {
    double& advance = advances_[c];
    if (advance < 0) advance = measure_(c);
    return advance;
  }

 private:
  std::function<double(char16_t)> measure_;
  std::vector<double> advances_;  // negative: not measured yet
};

class LongLineGeometry {
 public:
  // count characters of the line from column first (fewer only past its end).
  using Reader = std::function<std::u16string(std::size_t first, std::size_t count)>;

  // Characters per block when a line is measured; an edit lets a block
  // grow to twice this before it is cut again.
  static constexpr std::size_t kBlockChars = 4096;

  // Measures a line of length characters.
  LongLineGeometry(std::size_t length, double tab_width, std::shared_ptr<AdvanceCache> advance,
                   const Reader& read);

  std::size_t Length() const { return length_; }
  double Width();
  // x of the caret before column (clamped to the line), and the column
  // whose caret position is nearest to x (the earlier one on a tie).
  double XOfColumn(std::size_t column, const Reader& read);
  std::size_t ColumnAtX(double x, const Reader& read);
  // The pen after the characters of text, starting at x.
  double Advanced(double x, std::u16string_view text);

  // removed characters at column were replaced by inserted ones (no line
  // break among them); read already gives the new text.
  void Edit(std::size_t column, std::size_t removed, std::size_t inserted, const Reader& read);

 private:
  struct Block {
    std::size_t chars = 0;
    bool has_tab = false;
    double before_tab = 0;  // the width up to the first tab (all of it without one)
    double after_tab = 0;   // from the first tab's stop to the end
  };

  Block Measure(std::u16string_view text);
  // Appends blocks for the characters [first, first + count), read in
  // pieces of many blocks.
  void MeasureInto(std::vector<Block>& blocks, std::size_t first, std::size_t count,
                   const Reader& read);
  double End(const Block& block, double start) const;
  void UpdateSums();
  // The block holding column (the last one for the line's end).
  std::size_t BlockOf(std::size_t column);

  std::size_t length_ = 0;
  double tab_width_ = 8;
  std::shared_ptr<AdvanceCache> advance_;
  std::vector<Block> blocks_;
  // Characters and x before each block, and after the last; stale after an
  // edit until the next query.
  std::vector<std::size_t> chars_before_;
  std::vector<double> x_before_;
  bool sums_stale_ = true;
};

}  // namespace morvik

#endif  // MORVIK_APP_VIEW_LONG_LINE_GEOMETRY_H_
