// TbmREDFATable: the compiled form of a pattern, a partial deterministic
// automaton whose transitions are labelled with character ranges.
//
// States are numbered by their place in the table; state 0 is the start
// state. The table is built from a parsed tree by the subset construction over
// leaf positions: each state stands for a set of leaves, and its transition
// on a class of the partition leads to the state of the union of the follow
// positions of its leaves of that class. New states are numbered in the order
// they are first reached, and from each state the classes are visited from
// the highest to the lowest. Characters are 0..0xFFFF; -2 is the line-head and
// -3 the line-tail pseudo-character.
#ifndef MORVIK_REGEX_DFA_TABLE_H_
#define MORVIK_REGEX_DFA_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "regex/char_ranges.h"
#include "regex/syntax_nodes.h"
#include "regex/syntax_tree.h"

namespace morvik {

struct TbmRETransition {
  std::int32_t Lo;
  std::int32_t Hi;
  std::int32_t Target;  // index of the state reached
};

class TbmREState {
 public:
  TbmREState(bool accepting, std::unique_ptr<TbmRELeafNodeSet> leaf_set)
      : LeafSet(std::move(leaf_set)), Accepting(accepting) {}

  // Adds the transition on class to target. Classes arrive in descending
  // order, so the new transition goes in front; when the class ends just
  // below the front transition and leads to the same state, the front
  // transition is widened instead.
  void AddTransition(const TbmREWchRange& klass, int target);
  // The index of the state reached on ch, or -1 when there is no transition.
  int NextState(int ch) const;
  // Sets Accepting when the leaf set holds the end marker (-1, -1).
  void MarkAccepting();

  // Ascending by Lo, disjoint. While the table is being built they are kept
  // in reverse order (the list's front at the back) and put right at the end.
  std::vector<TbmRETransition> Transitions;
  // The leaves this state stands for; only while the table is being built.
  std::unique_ptr<TbmRELeafNodeSet> LeafSet;
  bool Accepting;
};

class TbmREDFATable {
 public:
  // Limits of one automaton: a pattern that would pass them raises RegexError
  // instead of exhausting memory. The entry budget counts the leaves of every
  // state's set while building plus every transition; at some 14 bytes an
  // entry in practice, the default budget stays under half a gigabyte.
  static constexpr std::size_t kDefaultMaxStates = std::size_t{1} << 21;
  static constexpr std::size_t kDefaultMaxEntries = std::size_t{1} << 25;
  // The construction's own work: the leaves read while forming the follow
  // sets of every state and class. Wide sets over many classes cost that much
  // even when few states come out of it; the default is a few seconds.
  static constexpr std::size_t kDefaultMaxWork = std::size_t{1} << 29;

  TbmREDFATable() = default;
  TbmREDFATable(const TbmREDFATable&) = delete;
  TbmREDFATable& operator=(const TbmREDFATable&) = delete;

  // Clears the table and builds the automaton of tree. ranges is the partition
  // the tree was parsed with; it gains the classes (-2, -2) and (-3, -3) when
  // the anchors are in use. Passing a limit raises RegexError and leaves the
  // table empty.
  void Build(const TbmRETree& tree, TbmREWchRanges& ranges);
  void Clear() { States.clear(); }
  // The index of the state whose leaf set equals set, or -1.
  int FindState(const TbmRELeafNodeSet& set) const;

  void SetLimits(std::size_t max_states, std::size_t max_entries,
                 std::size_t max_work = kDefaultMaxWork) {
    max_states_ = max_states;
    max_entries_ = max_entries;
    max_work_ = max_work;
  }

  // Patterns of at most 64 leaves are built with one machine word per set;
  // tests turn that off to compare both constructions.
  void SetSmallSets(bool enabled) { small_sets_ = enabled; }

  int Count() const { return static_cast<int>(States.size()); }
  const TbmREState& operator[](int index) const { return States[index]; }

  std::vector<TbmREState> States;
  TbmREPatternInfo Info;

 private:
  void BuildStates(const TbmRETree& tree, const TbmREWchRanges& ranges);
  void BuildSmallStates(const TbmRETree& tree, const TbmREWchRanges& ranges,
                        const std::vector<int>& class_of_leaf);
  void DeriveStartProperties();

  std::size_t max_states_ = kDefaultMaxStates;
  std::size_t max_entries_ = kDefaultMaxEntries;
  std::size_t max_work_ = kDefaultMaxWork;
  bool small_sets_ = true;
};

// Adds to work the follow positions of the leaves of state_set whose range is
// exactly klass; returns whether work is non-empty afterwards.
bool CollectFollowPos(const TbmRELeafNodeSet& state_set, TbmRELeafNodeSet& work,
                      const TbmREWchRange& klass);

}  // namespace morvik

#endif  // MORVIK_REGEX_DFA_TABLE_H_
