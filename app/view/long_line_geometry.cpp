#include "app/view/long_line_geometry.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace morvik {

LongLineGeometry::LongLineGeometry(std::size_t length, double tab_width,
                                   std::shared_ptr<AdvanceCache> advance, const Reader& read)
    : length_(length), tab_width_(tab_width > 0 ? tab_width : 1), advance_(std::move(advance)) {
  MeasureInto(blocks_, 0, length_, read);
}

double LongLineGeometry::Advanced(double x, std::u16string_view text) {
  AdvanceCache& advance = *advance_;
  for (const char16_t c : text) {
    x = c == u'\t' ? (std::floor(x / tab_width_) + 1) * tab_width_ : x + advance(c);
  }
  return x;
}

LongLineGeometry::Block LongLineGeometry::Measure(std::u16string_view text) {
  Block block;
  block.chars = text.size();
  const std::size_t tab = text.find(u'\t');
  block.before_tab = Advanced(0, text.substr(0, tab));
  if (tab != std::u16string_view::npos) {
    block.has_tab = true;
    block.after_tab = Advanced(0, text.substr(tab + 1));
  }
  return block;
}

void LongLineGeometry::MeasureInto(std::vector<Block>& blocks, std::size_t first, std::size_t count,
                                   const Reader& read) {
  // Even pieces near kBlockChars, so that an edit's block is never tiny.
  const std::size_t pieces = std::max<std::size_t>(1, (count + kBlockChars / 2) / kBlockChars);
  // Reading costs a search of the model per call: read many blocks at once.
  constexpr std::size_t kBlocksPerRead = 64;
  std::u16string text;
  std::size_t text_first = first;
  for (std::size_t i = 0; i < pieces; ++i) {
    const std::size_t from = first + count * i / pieces;
    const std::size_t to = first + count * (i + 1) / pieces;
    if (to <= from) continue;
    if (to > text_first + text.size()) {
      const std::size_t read_to = first + count * std::min(pieces, i + kBlocksPerRead) / pieces;
      text = read(from, read_to - from);
      text_first = from;
    }
    blocks.push_back(Measure(std::u16string_view(text).substr(from - text_first, to - from)));
  }
}

double LongLineGeometry::End(const Block& block, double start) const {
  if (!block.has_tab) return start + block.before_tab;
  return (std::floor((start + block.before_tab) / tab_width_) + 1) * tab_width_ + block.after_tab;
}

void LongLineGeometry::UpdateSums() {
  if (!sums_stale_) return;
  chars_before_.resize(blocks_.size() + 1);
  x_before_.resize(blocks_.size() + 1);
  std::size_t chars = 0;
  double x = 0;
  for (std::size_t i = 0; i < blocks_.size(); ++i) {
    chars_before_[i] = chars;
    x_before_[i] = x;
    chars += blocks_[i].chars;
    x = End(blocks_[i], x);
  }
  chars_before_.back() = chars;
  x_before_.back() = x;
  sums_stale_ = false;
}

std::size_t LongLineGeometry::BlockOf(std::size_t column) {
  UpdateSums();
  if (blocks_.empty()) return 0;
  const auto after = std::upper_bound(chars_before_.begin(), chars_before_.end() - 1, column);
  return static_cast<std::size_t>(after - chars_before_.begin()) - 1;
}

double LongLineGeometry::Width() {
  UpdateSums();
  return x_before_.back();
}

double LongLineGeometry::XOfColumn(std::size_t column, const Reader& read) {
  column = std::min(column, length_);
  if (blocks_.empty()) return 0;
  const std::size_t block = BlockOf(column);
  const std::size_t first = chars_before_[block];
  return Advanced(x_before_[block], read(first, column - first));
}

std::size_t LongLineGeometry::ColumnAtX(double x, const Reader& read) {
  if (x <= 0 || blocks_.empty()) return 0;
  if (x >= Width()) return length_;
  // The last block that starts at or before x.
  const auto after = std::upper_bound(x_before_.begin(), x_before_.end() - 1, x);
  const auto block = static_cast<std::size_t>(after - x_before_.begin()) - 1;
  const std::size_t first = chars_before_[block];
  const std::u16string text = read(first, blocks_[block].chars);
  double left = x_before_[block];
  for (std::size_t i = 0; i < text.size(); ++i) {
    const double right = Advanced(left, std::u16string_view(text).substr(i, 1));
    if (x < right) return first + i + (x - left <= right - x ? 0 : 1);
    left = right;
  }
  return first + text.size();
}

void LongLineGeometry::Edit(std::size_t column, std::size_t removed, std::size_t inserted,
                            const Reader& read) {
  UpdateSums();
  column = std::min(column, length_);
  removed = std::min(removed, length_ - column);
  std::size_t first_block = BlockOf(column);
  std::size_t last_block = BlockOf(column + removed);
  // An edit at a block's start may as well grow the block before it, which
  // keeps typing at a block boundary from making a new block.
  if (first_block > 0 && chars_before_[first_block] == column) --first_block;
  if (blocks_.empty()) {
    first_block = 0;
    last_block = 0;
  }
  const std::size_t start = blocks_.empty() ? 0 : chars_before_[first_block];
  const std::size_t old_end =
      blocks_.empty() ? 0 : chars_before_[last_block] + blocks_[last_block].chars;
  const std::size_t new_end = old_end - removed + inserted;
  length_ = length_ - removed + inserted;

  std::vector<Block> measured;
  if (new_end - start <= 2 * kBlockChars) {
    if (new_end > start) measured.push_back(Measure(read(start, new_end - start)));
  } else {
    MeasureInto(measured, start, new_end - start, read);
  }
  const auto erase_end =
      blocks_.empty() ? blocks_.begin() : blocks_.begin() + static_cast<long>(last_block) + 1;
  blocks_.erase(blocks_.begin() + static_cast<long>(first_block), erase_end);
  blocks_.insert(blocks_.begin() + static_cast<long>(first_block), measured.begin(),
                 measured.end());
  sums_stale_ = true;
}

}  // namespace morvik
