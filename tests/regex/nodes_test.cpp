// Leaf-node sets and the position sets that nodes compute when built.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "regex/error.h"
#include "regex/syntax_nodes.h"

namespace morvik {
namespace {

std::vector<std::uint32_t> Ids(const TbmRELeafNodeSet& set) {
  std::vector<std::uint32_t> ids;
  for (const TbmRELeafNode* leaf : set.Items()) ids.push_back(leaf->Id);
  return ids;
}

TEST(LeafNodeSetTest, SortedByCreationOrderWithoutDuplicates) {
  TbmRECharNode a('a', 'a', 0), b('b', 'b', 1), c('c', 'c', 2);
  TbmRELeafNodeSet set;
  EXPECT_EQ(set.AddNode(&c), 0);
  EXPECT_EQ(set.AddNode(&a), 0);
  EXPECT_EQ(set.AddNode(&b), 1);
  EXPECT_EQ(set.AddNode(&b), 1);
  EXPECT_EQ(Ids(set), (std::vector<std::uint32_t>{0, 1, 2}));

  TbmRELeafNodeSet other;
  other.AddNode(&b);
  TbmRELeafNodeSet merged;
  merged.AddNode(&c);
  EXPECT_EQ(merged.AddSet(set), 2u);
  EXPECT_EQ(merged.AddSet(other), 0u);
  EXPECT_EQ(Ids(merged), (std::vector<std::uint32_t>{0, 1, 2}));
  EXPECT_EQ(merged.Clone(), merged);
  EXPECT_EQ(merged.IndexOf(&b), 1);

  try {
    set.AddSet(set);
    FAIL() << "no exception";
  } catch (const RegexError& e) {
    EXPECT_STREQ(e.what(), "TbmRELeafNodeSet.AddSet: Internal Error");
  }
  EXPECT_EQ(set.Count(), 3);
}

TEST(NodeTest, PositionSetsOfTheOperators) {
  TbmRECharNode a('a', 'a', 0), b('b', 'b', 1);
  TbmREEpsilonNode e1(2), e2(3);

  TbmRECatNode both_nullable(e1, e2);
  EXPECT_TRUE(both_nullable.Nullable);

  TbmREClosureNode a_star(a);
  TbmRECatNode star_then_b(a_star, b);  // a*b
  EXPECT_FALSE(star_then_b.Nullable);
  EXPECT_EQ(Ids(star_then_b.FirstPos), (std::vector<std::uint32_t>{0, 1}));
  EXPECT_EQ(Ids(star_then_b.LastPos), (std::vector<std::uint32_t>{1}));
  EXPECT_EQ(Ids(a.FollowPos), (std::vector<std::uint32_t>{0, 1}));

  TbmREUnionNode either(star_then_b, e1);
  EXPECT_TRUE(either.Nullable);
  EXPECT_EQ(Ids(either.FirstPos), (std::vector<std::uint32_t>{0, 1}));

  TbmREClosureNode empty_star(e1);
  EXPECT_TRUE(empty_star.Nullable);
  EXPECT_EQ(empty_star.FirstPos.Count(), 0);
  EXPECT_EQ(empty_star.LastPos.Count(), 0);
  EXPECT_EQ(e1.FollowPos.Count(), 0);
}

TEST(NodeTest, PlusSharesOneOperandAndAddsFollowPositionsOnce) {
  for (bool nullable_operand : {false, true}) {
    TbmRECharNode a('a', 'a', 0), b('b', 'b', 1);
    TbmREEpsilonNode empty(2);
    // X is ab, or ab? when nullable_operand.
    TbmREUnionNode b_or_empty(b, empty);
    TbmRENode& tail = nullable_operand ? static_cast<TbmRENode&>(b_or_empty) : b;
    TbmRECatNode x(a, tail);
    TbmREClosureNode closure(x);
    TbmRECatNode plus(x, closure, /*left_last_use=*/true);
    EXPECT_EQ(plus.Nullable, false);
    EXPECT_EQ(Ids(b.FollowPos), (std::vector<std::uint32_t>{0}));
    EXPECT_EQ(Ids(a.FollowPos), nullable_operand ? (std::vector<std::uint32_t>{0, 1})
                                                 : (std::vector<std::uint32_t>{1}));
    EXPECT_EQ(Ids(plus.FirstPos), (std::vector<std::uint32_t>{0}));
  }
  TbmREEpsilonNode e(0);
  TbmREClosureNode star(e);
  TbmRECatNode plus(e, star);
  EXPECT_TRUE(plus.Nullable);
}

// Taking an operand's sets over must give exactly the sets of copying them.
TEST(NodeTest, TakingOperandSetsOverEqualsCopying) {
  for (bool last_use : {false, true}) {
    std::vector<std::unique_ptr<TbmRECharNode>> leaves;
    for (std::uint32_t i = 0; i < 6; ++i) {
      leaves.push_back(
          std::make_unique<TbmRECharNode>('a' + static_cast<int>(i), 'a' + static_cast<int>(i), i));
    }
    TbmREEpsilonNode empty(6);
    TbmREUnionNode u1(*leaves[0], *leaves[1]);
    TbmREUnionNode u2(u1, empty, last_use);     // (a|b|)
    TbmRECatNode c1(u2, *leaves[2], last_use);  // (a|b|)c
    TbmREClosureNode s1(c1, last_use);          // ((a|b|)c)*
    TbmRECatNode c2(s1, *leaves[3], last_use);  // ...d
    TbmREUnionNode u3(c2, *leaves[4], last_use);
    TbmRECatNode root(u3, *leaves[5], last_use);
    EXPECT_EQ(Ids(root.FirstPos), (std::vector<std::uint32_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(Ids(root.LastPos), (std::vector<std::uint32_t>{5}));
    EXPECT_EQ(Ids(leaves[2]->FollowPos), (std::vector<std::uint32_t>{0, 1, 2, 3}));
    EXPECT_EQ(Ids(leaves[0]->FollowPos), (std::vector<std::uint32_t>{2}));
    EXPECT_EQ(Ids(leaves[3]->FollowPos), (std::vector<std::uint32_t>{5}));
    EXPECT_EQ(Ids(leaves[4]->FollowPos), (std::vector<std::uint32_t>{5}));
  }
}

}  // namespace
}  // namespace morvik
