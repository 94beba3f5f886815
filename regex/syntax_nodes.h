// Leaf-node sets and the syntax-tree nodes of the position construction.
//
// Every leaf of the syntax tree is a position that matches one class of
// characters (or a marker), and the automaton's states are sets of positions.
// Nodes compute their first and last positions, nullability and their
// leaves' follow positions when they are constructed, so a finished tree
// already holds every set the automaton builder needs; internal nodes keep no
// references to their operands.
//
// Leaves are ordered by Id, the order in which the tree created them, so the
// automaton is the same on every run (memory addresses would not be).
#ifndef MORVIK_REGEX_SYNTAX_NODES_H_
#define MORVIK_REGEX_SYNTAX_NODES_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace morvik {

class TbmRELeafNode;

// A list of leaf pointers that keeps up to two of them inline: most position
// sets hold one or two leaves, and a large pattern has hundreds of thousands
// of sets, whose allocations and frees would cost more than the positions.
class TbmRELeafList {
 public:
  TbmRELeafList() = default;
  TbmRELeafList(const TbmRELeafList& other) { Assign(other.begin(), other.end()); }
  TbmRELeafList(TbmRELeafList&& other) noexcept { TakeFrom(other); }
  TbmRELeafList& operator=(const TbmRELeafList& other) {
    if (this != &other) Assign(other.begin(), other.end());
    return *this;
  }
  TbmRELeafList& operator=(TbmRELeafList&& other) noexcept {
    if (this != &other) {
      delete[] heap_;
      TakeFrom(other);
    }
    return *this;
  }
  ~TbmRELeafList() { delete[] heap_; }

  TbmRELeafNode* const* begin() const { return Data(); }
  TbmRELeafNode* const* end() const { return Data() + size_; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  TbmRELeafNode* operator[](std::size_t index) const { return Data()[index]; }
  TbmRELeafNode* front() const { return Data()[0]; }
  TbmRELeafNode* back() const { return Data()[size_ - 1]; }

  void Assign(TbmRELeafNode* const* first, TbmRELeafNode* const* last);
  void Append(TbmRELeafNode* const* first, TbmRELeafNode* const* last);
  void InsertAt(std::size_t index, TbmRELeafNode* leaf);
  void Clear() { size_ = 0; }
  // Frees the storage.
  void Release() {
    delete[] heap_;
    heap_ = nullptr;
    size_ = 0;
    capacity_ = kInline;
  }

  friend bool operator==(const TbmRELeafList& a, const TbmRELeafList& b);

 private:
  static constexpr std::uint32_t kInline = 2;

  TbmRELeafNode* const* Data() const { return heap_ != nullptr ? heap_ : inline_; }
  TbmRELeafNode** Data() { return heap_ != nullptr ? heap_ : inline_; }
  void Reserve(std::size_t count);
  void TakeFrom(TbmRELeafList& other);

  TbmRELeafNode* inline_[kInline] = {};
  TbmRELeafNode** heap_ = nullptr;
  std::uint32_t size_ = 0;
  std::uint32_t capacity_ = kInline;
};

// A sorted, duplicate-free set of leaves; it never owns them.
class TbmRELeafNodeSet {
 public:
  // Inserts leaf in order; returns its position (also when it was present).
  int AddNode(TbmRELeafNode* leaf);
  // Adds every element of other; returns how many were new. Adding a set to
  // itself raises RegexError "TbmRELeafNodeSet.AddSet: Internal Error".
  std::size_t AddSet(const TbmRELeafNodeSet& other);
  TbmRELeafNodeSet Clone() const { return *this; }
  // Replaces the elements by leaves, which must be sorted by Id and distinct.
  void AssignSorted(const std::vector<TbmRELeafNode*>& leaves) {
    items_.Assign(leaves.data(), leaves.data() + leaves.size());
  }

  int Count() const { return static_cast<int>(items_.size()); }
  TbmRELeafNode* operator[](int index) const { return items_[index]; }
  void Clear() { items_.Clear(); }
  // The index of leaf, or -1.
  int IndexOf(const TbmRELeafNode* leaf) const;
  bool Contains(const TbmRELeafNode* leaf) const { return IndexOf(leaf) >= 0; }
  std::span<TbmRELeafNode* const> Items() const { return {items_.begin(), items_.size()}; }
  // Frees the storage; used for sets that no later step reads.
  void Release() { items_.Release(); }

  friend bool operator==(const TbmRELeafNodeSet& a, const TbmRELeafNodeSet& b) {
    return a.items_ == b.items_;
  }

 private:
  TbmRELeafList items_;
};

class TbmRENode {
 public:
  TbmRENode() = default;
  TbmRENode(const TbmRENode&) = delete;
  TbmRENode& operator=(const TbmRENode&) = delete;
  virtual ~TbmRENode() = default;

  TbmRELeafNodeSet FirstPos;
  TbmRELeafNodeSet LastPos;
  bool Nullable = false;

  bool IsLeaf() const { return is_leaf_; }

 protected:
  // Set by the leaves' constructor; a flag, because asking the type costs
  // more than the rest of building a node.
  bool is_leaf_ = false;
};

class TbmRELeafNode : public TbmRENode {
 public:
  TbmRELeafNode(int lo, int hi, std::uint32_t id) : Lo(lo), Hi(hi), Id(id) { is_leaf_ = true; }

  TbmRELeafNodeSet FollowPos;
  // 0..0xFFFF: one class of the partition; (-1, -1) the end marker; (-2, -2)
  // the line-head anchor; (-3, -3) the line-tail anchor.
  std::int32_t Lo;
  std::int32_t Hi;
  // The leaf's identity: its place in the tree's creation order.
  std::uint32_t Id;
};

class TbmRECharNode : public TbmRELeafNode {
 public:
  TbmRECharNode(int lo, int hi, std::uint32_t id);
};

// Matches the empty string; its range (0, 0) is never used.
class TbmREEpsilonNode : public TbmRELeafNode {
 public:
  explicit TbmREEpsilonNode(std::uint32_t id);
};

// The operator nodes. An operand passed as last_use is read by no later
// constructor, so the new node may take its sets over instead of copying
// them; the result is the same, and chains of thousands of alternatives stay
// linear. Leaves are never taken from.
class TbmREInternalNode : public TbmRENode {
 public:
  // How many entries the construction added to leaves' follow sets; the tree
  // charges them to its memory budget.
  std::size_t FollowPosAdded = 0;

 protected:
  TbmREInternalNode() = default;
  // Moves operand's sets into this node's when allowed; returns whether it did.
  bool TakeSetsOver(TbmRENode& operand, bool last_use);
};

class TbmRECatNode : public TbmREInternalNode {
 public:
  TbmRECatNode(TbmRENode& left, TbmRENode& right, bool left_last_use = false);
};

class TbmREUnionNode : public TbmREInternalNode {
 public:
  TbmREUnionNode(TbmRENode& left, TbmRENode& right, bool left_last_use = false);
};

class TbmREClosureNode : public TbmREInternalNode {
 public:
  explicit TbmREClosureNode(TbmRENode& child, bool child_last_use = false);
};

}  // namespace morvik

#endif  // MORVIK_REGEX_SYNTAX_NODES_H_
