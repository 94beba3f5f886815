// TbmRETree: parses a standardised token list into a syntax tree of position
// nodes, appends the end marker, and decides which "^" and "$" act as anchors
// and which stand for the characters themselves.
//
// Grammar (every binary operator associates to the left):
//   union   := cat ("|" cat)*
//   cat     := closure+ | (empty, before "|", ")" or the end)
//   closure := factor ("*" | "+" | "?")?
//   factor  := character | "(" union ")" | "[" items "]" | "." | "^" | "$"
// The descent keeps its pending groups on an explicit stack instead of the
// call stack, so a hundred thousand nested parentheses parse like any other
// pattern. Node creation order is that of the plain recursive descent.
#ifndef MORVIK_REGEX_SYNTAX_TREE_H_
#define MORVIK_REGEX_SYNTAX_TREE_H_

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "regex/char_codes.h"
#include "regex/char_ranges.h"
#include "regex/node_arena.h"
#include "regex/syntax_nodes.h"
#include "regex/token_list.h"

namespace morvik {

struct TbmREPatternInfo {
  bool HasLineHead = false;
  bool HasLineTail = false;
  bool LineHeadAccepts = false;
  bool LineTailAccepts = false;
  bool EmptyAccepts = false;
  bool HeadTailAccepts = false;
  bool IsPlain = false;

  friend bool operator==(const TbmREPatternInfo&, const TbmREPatternInfo&) = default;
};

class TbmRETree {
 public:
  // The position sets of one tree may hold this many entries in all (about
  // 128 MB); a pattern that needs more raises RegexError instead of
  // exhausting memory.
  static constexpr std::size_t kDefaultMaxSetEntries = std::size_t{1} << 24;

  TbmRETree() = default;
  TbmRETree(const TbmRETree&) = delete;
  TbmRETree& operator=(const TbmRETree&) = delete;

  void Clear();
  // Builds the tree for tokens, whose partition is ranges. Raises EbmREToken
  // on a syntax error, with the offending token's kind replaced by the
  // error's kind.
  void Parse(TbmRETokens& tokens, const TbmREWchRanges& ranges);

  void SetMaxSetEntries(std::size_t entries) { max_set_entries_ = entries; }

  TbmRENode* Root = nullptr;
  // Every node in creation order; the tree owns them (in its arenas).
  std::vector<TbmREInternalNode*> InternalNodes;
  std::vector<TbmRELeafNode*> LeafNodes;
  TbmREPatternInfo Info;

 private:
  TbmRENode* NewCatNode(TbmRENode* left, TbmRENode* right, bool left_last_use);
  TbmRENode* NewUnionNode(TbmRENode* left, TbmRENode* right, bool left_last_use);
  TbmRENode* NewClosureNode(TbmRENode* child, bool child_last_use);
  TbmRENode* NewCharNode(int lo, int hi);
  TbmRENode* NewEpsilonNode();
  TbmRENode* NewCharRangeNode(int lo, int hi);
  TbmRENode* NewAnyCharNode();
  TbmRENode* NewLineHeadNode() { return NewCharNode(kLineHeadChar, kLineHeadChar); }
  TbmRENode* NewLineTailNode() { return NewCharNode(kLineTailChar, kLineTailChar); }

  void NextToken();
  [[noreturn]] void RaiseAtCurrent(int error_kind);
  TbmRENode* ParseUnion();
  TbmRENode* ParseClosureAfter(TbmRENode* factor);
  TbmRENode* ParseBracket();
  void ResolveAnchors();

  TbmRENode* AddInternal(TbmREInternalNode* node, std::size_t operand_entries_before,
                         std::size_t operand_entries_after);
  void Charge(std::size_t entries);

  TbmRETokens* Tokens = nullptr;
  int Cursor = 0;
  TbmREToken* Current = nullptr;
  const TbmREWchRanges* Ranges = nullptr;
  // The partition's lookup, while parsing.
  std::optional<ClassIndex> Classes;

  std::size_t max_set_entries_ = kDefaultMaxSetEntries;
  std::size_t set_entries_ = 0;

  NodeArena<TbmRECatNode> cat_nodes_;
  NodeArena<TbmREUnionNode> union_nodes_;
  NodeArena<TbmREClosureNode> closure_nodes_;
  NodeArena<TbmRECharNode> char_nodes_;
  NodeArena<TbmREEpsilonNode> epsilon_nodes_;
  // The leaves made for "^" and "$", which ResolveAnchors decides on.
  std::vector<TbmRELeafNode*> anchor_leaves_;
  // Whether a union or closure node was made: a pattern without one is plain.
  bool has_choice_ = false;
};

}  // namespace morvik

#endif  // MORVIK_REGEX_SYNTAX_TREE_H_
