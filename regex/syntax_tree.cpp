// The syntax-tree builder: an explicit-stack recursive descent.
#include "regex/syntax_tree.h"

#include <string>

#include "regex/error.h"

namespace morvik {

namespace {

std::size_t SetEntries(const TbmRENode& node) {
  return static_cast<std::size_t>(node.FirstPos.Count()) +
         static_cast<std::size_t>(node.LastPos.Count());
}

bool EndsSequence(int kind) {
  return kind == rtUnion || kind == rtRightParen || kind == rtEnd;
}

}  // namespace

void TbmRETree::Clear() {
  InternalNodes.clear();
  LeafNodes.clear();
  anchor_leaves_.clear();
  Classes.reset();
  cat_nodes_.Clear();
  union_nodes_.Clear();
  closure_nodes_.Clear();
  char_nodes_.Clear();
  epsilon_nodes_.Clear();
  Root = nullptr;
  Info = TbmREPatternInfo();
  set_entries_ = 0;
  has_choice_ = false;
}

void TbmRETree::Charge(std::size_t entries) {
  set_entries_ += entries;
  if (set_entries_ > max_set_entries_) {
    throw RegexError("TbmRETree.Parse: pattern too large (more than " +
                     std::to_string(max_set_entries_) + " position entries)");
  }
}

TbmRENode* TbmRETree::AddInternal(TbmREInternalNode* node, std::size_t operand_entries_before,
                                  std::size_t operand_entries_after) {
  // Entries taken over from an operand move rather than grow.
  const std::size_t grown = SetEntries(*node) + operand_entries_after - operand_entries_before;
  InternalNodes.push_back(node);
  Charge(grown + node->FollowPosAdded + 1);
  return node;
}

TbmRENode* TbmRETree::NewCatNode(TbmRENode* left, TbmRENode* right, bool left_last_use) {
  const std::size_t before = SetEntries(*left) + SetEntries(*right);
  TbmREInternalNode* node = cat_nodes_.Emplace(*left, *right, left_last_use);
  return AddInternal(node, before, SetEntries(*left) + SetEntries(*right));
}

TbmRENode* TbmRETree::NewUnionNode(TbmRENode* left, TbmRENode* right, bool left_last_use) {
  const std::size_t before = SetEntries(*left) + SetEntries(*right);
  TbmREInternalNode* node = union_nodes_.Emplace(*left, *right, left_last_use);
  has_choice_ = true;
  return AddInternal(node, before, SetEntries(*left) + SetEntries(*right));
}

TbmRENode* TbmRETree::NewClosureNode(TbmRENode* child, bool child_last_use) {
  const std::size_t before = SetEntries(*child);
  TbmREInternalNode* node = closure_nodes_.Emplace(*child, child_last_use);
  has_choice_ = true;
  return AddInternal(node, before, SetEntries(*child));
}

TbmRENode* TbmRETree::NewCharNode(int lo, int hi) {
  const auto id = static_cast<std::uint32_t>(LeafNodes.size());
  TbmRELeafNode* leaf = char_nodes_.Emplace(lo, hi, id);
  LeafNodes.push_back(leaf);
  if (lo == kLineHeadChar || lo == kLineTailChar) anchor_leaves_.push_back(leaf);
  Charge(3);
  return leaf;
}

TbmRENode* TbmRETree::NewEpsilonNode() {
  const auto id = static_cast<std::uint32_t>(LeafNodes.size());
  TbmRELeafNode* leaf = epsilon_nodes_.Emplace(id);
  LeafNodes.push_back(leaf);
  Charge(1);
  return leaf;
}

TbmRENode* TbmRETree::NewCharRangeNode(int lo, int hi) {
  if (lo < 0) return NewCharNode(lo, hi);  // a marker
  if (Classes->Find(TbmREWchRange{lo, hi}) >= 0) return NewCharNode(lo, hi);
  const int count = Ranges->Count();
  const int found = Ranges->FindRange(0, count, TbmREWchRange{lo, hi});

  // [lo, hi] spans a run of consecutive classes; the first starts at lo and
  // sorts just before (lo, hi). Standardisation guarantees the run; a list
  // that was not standardised must not make us read past the partition.
  const auto internal_error = [] {
    return RegexError("TbmRETree.NewCharRangeNode: Internal Error");
  };
  int k = found - 1;
  if (k < 0 || (*Ranges)[k].Lo != lo) throw internal_error();
  TbmRENode* node = NewCharNode((*Ranges)[k].Lo, (*Ranges)[k].Hi);
  while ((*Ranges)[k].Hi != hi) {
    ++k;
    if (k >= count || (*Ranges)[k].Lo != (*Ranges)[k - 1].Hi + 1 || (*Ranges)[k].Hi > hi) {
      throw internal_error();
    }
    node = NewUnionNode(node, NewCharNode((*Ranges)[k].Lo, (*Ranges)[k].Hi), true);
  }
  return node;
}

TbmRENode* TbmRETree::NewAnyCharNode() {
  TbmRENode* low = NewCharRangeNode(0, 9);
  TbmRENode* middle = NewCharRangeNode(11, 12);
  TbmRENode* both = NewUnionNode(low, middle, true);
  TbmRENode* high = NewCharRangeNode(14, 0xFFFF);
  return NewUnionNode(both, high, true);
}

void TbmRETree::NextToken() {
  // Every standardised list ends with the end token, where parsing stops;
  // staying there keeps a malformed list from being read past its end.
  if (Cursor + 1 < Tokens->Count()) ++Cursor;
  Current = &(*Tokens)[Cursor];
}

void TbmRETree::RaiseAtCurrent(int error_kind) {
  Current->Kind = static_cast<std::uint8_t>(error_kind);
  throw EbmREToken(*Current);
}

void TbmRETree::Parse(TbmRETokens& tokens, const TbmREWchRanges& ranges) {
  Clear();
  if (tokens.Count() == 0) throw RegexError("TbmRETree.Parse: Internal Error");
  Tokens = &tokens;
  Ranges = &ranges;
  Classes.emplace(ranges);
  Cursor = 0;
  Current = &tokens[0];

  TbmRENode* expression = ParseUnion();
  if (Current->Kind != rtEnd) RaiseAtCurrent(rtErrInvalidCharacter);
  TbmRENode* end_marker = NewCharNode(-1, -1);
  Root = NewCatNode(expression, end_marker, true);
  ResolveAnchors();
}

TbmRENode* TbmRETree::ParseUnion() {
  // One entry per open group (the whole pattern is the outermost): the
  // alternation built so far and the sequence of the current alternative.
  struct Group {
    TbmRENode* alternatives = nullptr;
    TbmRENode* sequence = nullptr;
  };
  std::vector<Group> groups(1);

  for (;;) {
    TbmRENode* factor = nullptr;
    const int kind = Current->Kind;
    if (EndsSequence(kind)) {
      Group& group = groups.back();
      // An empty alternative or group matches the empty string.
      TbmRENode* alternative = group.sequence ? group.sequence : NewEpsilonNode();
      group.sequence = nullptr;
      group.alternatives =
          group.alternatives ? NewUnionNode(group.alternatives, alternative, true) : alternative;
      if (kind == rtUnion) {
        NextToken();
        continue;
      }
      if (groups.size() == 1) return group.alternatives;
      factor = group.alternatives;
      groups.pop_back();
      if (Current->Kind != rtRightParen) RaiseAtCurrent(rtErrNeedRightParen);
      NextToken();
    } else {
      switch (kind) {
        case rtLeftParen:
          NextToken();
          groups.emplace_back();
          continue;
        case rtCharacter:
          factor = NewCharRangeNode(Current->Lo, Current->Hi);
          NextToken();
          break;
        case rtLeftBracket:
          factor = ParseBracket();
          if (Current->Kind != rtRightBracket) RaiseAtCurrent(rtErrNeedRightBracket);
          NextToken();
          break;
        case rtDot:
          factor = NewAnyCharNode();
          NextToken();
          break;
        case rtLineHead:
          factor = NewLineHeadNode();
          NextToken();
          break;
        case rtLineTail:
          factor = NewLineTailNode();
          NextToken();
          break;
        default:
          RaiseAtCurrent(rtErrNeedNormalChar);
      }
    }
    TbmRENode* repeated = ParseClosureAfter(factor);
    Group& group = groups.back();
    group.sequence = group.sequence ? NewCatNode(group.sequence, repeated, true) : repeated;
  }
}

TbmRENode* TbmRETree::ParseClosureAfter(TbmRENode* factor) {
  TbmRENode* node;
  switch (Current->Kind) {
    case rtAsterisk:
      node = NewClosureNode(factor, true);
      break;
    case rtPlus: {
      // The one node is both the left operand and the closure's operand.
      TbmRENode* closure = NewClosureNode(factor, false);
      node = NewCatNode(factor, closure, true);
      break;
    }
    case rtQuestion: {
      TbmRENode* empty = NewEpsilonNode();
      node = NewUnionNode(factor, empty, true);
      break;
    }
    default:
      return factor;
  }
  NextToken();
  return node;
}

TbmRENode* TbmRETree::ParseBracket() {
  NextToken();
  // A negated bracket whose complement is empty arrives as "[" directly
  // followed by "]". It could match nothing at all, which is never what the
  // writer meant: report it on its right bracket.
  if (Current->Kind == rtRightBracket) RaiseAtCurrent(rtErrNeedNormalChar);
  if (Current->Kind == rtEnd) RaiseAtCurrent(rtErrNeedRightBracket);
  TbmRENode* node = NewCharRangeNode(Current->Lo, Current->Hi);
  NextToken();
  while (Current->Kind != rtRightBracket && Current->Kind != rtEnd) {
    TbmRENode* item = NewCharRangeNode(Current->Lo, Current->Hi);
    node = NewUnionNode(node, item, true);
    NextToken();
  }
  return node;
}

void TbmRETree::ResolveAnchors() {
  const TbmRELeafNode* end_leaf = Root->LastPos[0];
  for (TbmRELeafNode* leaf : anchor_leaves_) {
    if (leaf->Lo == kLineHeadChar && leaf->Hi == kLineHeadChar) {
      // An anchor only where it can match at the very start of a match.
      if (Root->FirstPos.Contains(leaf)) {
        Info.HasLineHead = true;
      } else {
        leaf->Lo = leaf->Hi = '^';
      }
    } else if (leaf->Lo == kLineTailChar && leaf->Hi == kLineTailChar) {
      // An anchor only where nothing but the end of the match can follow.
      if (leaf->FollowPos.Count() == 1 && leaf->FollowPos[0] == end_leaf) {
        Info.HasLineTail = true;
      } else {
        leaf->Lo = leaf->Hi = '$';
      }
    }
  }
  Info.IsPlain = !Info.HasLineHead && !Info.HasLineTail && !has_choice_;
}

}  // namespace morvik
