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
#include <vector>

namespace morvik {

class TbmRELeafNode;

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
  void AssignSorted(const std::vector<TbmRELeafNode*>& leaves) { items_ = leaves; }

  int Count() const { return static_cast<int>(items_.size()); }
  TbmRELeafNode* operator[](int index) const { return items_[index]; }
  void Clear() { items_.clear(); }
  // The index of leaf, or -1.
  int IndexOf(const TbmRELeafNode* leaf) const;
  bool Contains(const TbmRELeafNode* leaf) const { return IndexOf(leaf) >= 0; }
  const std::vector<TbmRELeafNode*>& Items() const { return items_; }
  // Frees the storage; used for sets that no later step reads.
  void Release() { std::vector<TbmRELeafNode*>().swap(items_); }

  friend bool operator==(const TbmRELeafNodeSet& a, const TbmRELeafNodeSet& b) {
    return a.items_ == b.items_;
  }

 private:
  std::vector<TbmRELeafNode*> items_;
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
};

class TbmRELeafNode : public TbmRENode {
 public:
  TbmRELeafNode(int lo, int hi, std::uint32_t id) : Lo(lo), Hi(hi), Id(id) {}

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
