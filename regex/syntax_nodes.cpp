// Leaf-node sets and the position sets of the syntax-tree nodes.
#include "regex/syntax_nodes.h"

#include <algorithm>

#include "regex/char_codes.h"
#include "regex/error.h"

namespace morvik {

namespace {

bool LeafBefore(const TbmRELeafNode* a, const TbmRELeafNode* b) {
  return a->Id < b->Id;
}

}  // namespace

void TbmRELeafList::Reserve(std::size_t count) {
  if (count <= capacity_) return;
  const std::size_t capacity = std::max<std::size_t>(count, std::size_t{2} * capacity_);
  auto* storage = new TbmRELeafNode*[capacity];
  std::copy(begin(), end(), storage);
  delete[] heap_;
  heap_ = storage;
  capacity_ = static_cast<std::uint32_t>(capacity);
}

void TbmRELeafList::TakeFrom(TbmRELeafList& other) {
  heap_ = other.heap_;
  size_ = other.size_;
  capacity_ = other.capacity_;
  if (heap_ == nullptr) std::copy(other.inline_, other.inline_ + size_, inline_);
  other.heap_ = nullptr;
  other.size_ = 0;
  other.capacity_ = kInline;
}

void TbmRELeafList::Assign(TbmRELeafNode* const* first, TbmRELeafNode* const* last) {
  size_ = 0;
  Append(first, last);
}

void TbmRELeafList::Append(TbmRELeafNode* const* first, TbmRELeafNode* const* last) {
  const auto count = static_cast<std::size_t>(last - first);
  Reserve(size_ + count);
  std::copy(first, last, Data() + size_);
  size_ += static_cast<std::uint32_t>(count);
}

void TbmRELeafList::InsertAt(std::size_t index, TbmRELeafNode* leaf) {
  Reserve(std::size_t{size_} + 1);
  TbmRELeafNode** data = Data();
  std::copy_backward(data + index, data + size_, data + size_ + 1);
  data[index] = leaf;
  ++size_;
}

bool operator==(const TbmRELeafList& a, const TbmRELeafList& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

int TbmRELeafNodeSet::AddNode(TbmRELeafNode* leaf) {
  const int end = Count();
  const int position = LowerBound(0, end, leaf, [this](int index, const TbmRELeafNode* key) {
    return items_[index]->Id < key->Id ? -1 : (items_[index]->Id == key->Id ? 0 : 1);
  });
  if (position == end || items_[position] != leaf) items_.InsertAt(position, leaf);
  return position;
}

std::size_t TbmRELeafNodeSet::AddSet(const TbmRELeafNodeSet& other) {
  if (&other == this) throw RegexError("TbmRELeafNodeSet.AddSet: Internal Error");
  if (other.items_.empty()) return 0;
  const std::size_t before = items_.size();
  if (items_.empty() || LeafBefore(items_.back(), other.items_.front())) {
    // The common cases: a fresh set, or leaves that all come later.
    items_.Append(other.items_.begin(), other.items_.end());
    return other.items_.size();
  }
  std::vector<TbmRELeafNode*> merged;
  merged.reserve(items_.size() + other.items_.size());
  std::set_union(items_.begin(), items_.end(), other.items_.begin(), other.items_.end(),
                 std::back_inserter(merged), LeafBefore);
  items_.Assign(merged.data(), merged.data() + merged.size());
  return items_.size() - before;
}

int TbmRELeafNodeSet::IndexOf(const TbmRELeafNode* leaf) const {
  const auto* const it = std::lower_bound(items_.begin(), items_.end(), leaf, LeafBefore);
  return it != items_.end() && *it == leaf ? static_cast<int>(it - items_.begin()) : -1;
}

TbmRECharNode::TbmRECharNode(int lo, int hi, std::uint32_t id) : TbmRELeafNode(lo, hi, id) {
  FirstPos.AddNode(this);
  LastPos.AddNode(this);
}

TbmREEpsilonNode::TbmREEpsilonNode(std::uint32_t id) : TbmRELeafNode(0, 0, id) {
  Nullable = true;
}

bool TbmREInternalNode::TakeSetsOver(TbmRENode& operand, bool last_use) {
  if (!last_use || operand.IsLeaf()) return false;
  FirstPos = std::move(operand.FirstPos);
  LastPos = std::move(operand.LastPos);
  operand.FirstPos.Release();
  operand.LastPos.Release();
  return true;
}

TbmRECatNode::TbmRECatNode(TbmRENode& left, TbmRENode& right, bool left_last_use) {
  Nullable = left.Nullable && right.Nullable;
  // Follow positions first, while left's last positions are still its own.
  for (TbmRELeafNode* leaf : left.LastPos.Items()) {
    FollowPosAdded += leaf->FollowPos.AddSet(right.FirstPos);
  }
  const bool left_nullable = left.Nullable;
  if (TakeSetsOver(left, left_last_use)) {
    // FirstPos holds left's first positions; LastPos must become right's,
    // plus left's when right is nullable.
    TbmRELeafNodeSet left_last = std::move(LastPos);
    LastPos = TbmRELeafNodeSet();
    if (left_nullable) FirstPos.AddSet(right.FirstPos);
    LastPos.AddSet(right.LastPos);
    if (right.Nullable) LastPos.AddSet(left_last);
    return;
  }
  FirstPos.AddSet(left.FirstPos);
  if (left_nullable) FirstPos.AddSet(right.FirstPos);
  LastPos.AddSet(right.LastPos);
  if (right.Nullable) LastPos.AddSet(left.LastPos);
}

TbmREUnionNode::TbmREUnionNode(TbmRENode& left, TbmRENode& right, bool left_last_use) {
  Nullable = left.Nullable || right.Nullable;
  if (!TakeSetsOver(left, left_last_use)) {
    FirstPos.AddSet(left.FirstPos);
    LastPos.AddSet(left.LastPos);
  }
  FirstPos.AddSet(right.FirstPos);
  LastPos.AddSet(right.LastPos);
}

TbmREClosureNode::TbmREClosureNode(TbmRENode& child, bool child_last_use) {
  Nullable = true;
  if (!TakeSetsOver(child, child_last_use)) {
    FirstPos.AddSet(child.FirstPos);
    LastPos.AddSet(child.LastPos);
  }
  for (TbmRELeafNode* leaf : LastPos.Items()) {
    FollowPosAdded += leaf->FollowPos.AddSet(FirstPos);
  }
}

}  // namespace morvik
