// The subset construction of TbmREDFATable.
//
// The table is that of the plain construction (scan every class of every
// state, find existing states by a linear search), built faster:
// - a state's leaves are grouped by their class, so a state visits only the
//   classes its leaves match, still from the highest to the lowest;
// - existing states are found by hashing their leaf sets.
// Building then grows with the number of states times the leaves per state,
// not with states squared or states times classes.
#include "regex/dfa_table.h"

#include <algorithm>
#include <string>

#include "regex/error.h"

namespace morvik {

namespace {

std::uint64_t MixBits(std::uint64_t x) {
  // The finaliser of MurmurHash3: every input bit reaches every output bit,
  // so sets of small, close leaf ids still spread over the buckets.
  x ^= x >> 33;
  x *= 0xff51afd7ed558ccdull;
  x ^= x >> 33;
  x *= 0xc4ceb9fe1a85ec53ull;
  x ^= x >> 33;
  return x;
}

std::uint64_t HashLeafSet(const TbmRELeafNodeSet& set) {
  std::uint64_t hash = static_cast<std::uint64_t>(set.Count());
  for (const TbmRELeafNode* leaf : set.Items()) {
    hash = MixBits(hash ^ (leaf->Id + 0x9e3779b97f4a7c15ull));
  }
  return hash;
}

// Finds states by their leaf sets: open addressing over (hash, state) slots,
// so a lookup touches one slot array and, on a hash match, the one set.
class StateIndex {
 public:
  explicit StateIndex(const std::vector<TbmREState>& states) : states_(states), slots_(1024) {}

  // The state whose set equals set, or -1.
  int Find(const TbmRELeafNodeSet& set, std::uint64_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask; slots_[i].state >= 0; i = (i + 1) & mask) {
      if (slots_[i].hash == hash && *states_[slots_[i].state].LeafSet == set) {
        return slots_[i].state;
      }
    }
    return -1;
  }

  void Insert(int state, std::uint64_t hash) {
    if (2 * (count_ + 1) > slots_.size()) Grow();
    Place(Slot{hash, state});
    ++count_;
  }

 private:
  struct Slot {
    std::uint64_t hash = 0;
    int state = -1;
  };

  void Place(const Slot& slot) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = slot.hash & mask;
    while (slots_[i].state >= 0) i = (i + 1) & mask;
    slots_[i] = slot;
  }

  void Grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    for (const Slot& slot : old) {
      if (slot.state >= 0) Place(slot);
    }
  }

  const std::vector<TbmREState>& states_;
  std::vector<Slot> slots_;
  std::size_t count_ = 0;
};

bool IsEndMarker(const TbmRELeafNode* leaf) {
  return leaf->Lo == -1 && leaf->Hi == -1;
}

}  // namespace

bool CollectFollowPos(const TbmRELeafNodeSet& state_set, TbmRELeafNodeSet& work,
                      const TbmREWchRange& klass) {
  for (const TbmRELeafNode* leaf : state_set.Items()) {
    if (leaf->Lo == klass.Lo && leaf->Hi == klass.Hi) work.AddSet(leaf->FollowPos);
  }
  return work.Count() > 0;
}

void TbmREState::AddTransition(const TbmREWchRange& klass, int target) {
  if (!Transitions.empty() && klass.Hi + 1 == Transitions.back().Lo &&
      Transitions.back().Target == target) {
    Transitions.back().Lo = klass.Lo;
    return;
  }
  Transitions.push_back(TbmRETransition{klass.Lo, klass.Hi, target});
}

int TbmREState::NextState(int ch) const {
  // The first transition whose Lo is above ch; the one before it is the only
  // one that can hold ch.
  auto it = std::upper_bound(Transitions.begin(), Transitions.end(), ch,
                             [](int c, const TbmRETransition& t) { return c < t.Lo; });
  if (it == Transitions.begin()) return -1;
  --it;
  return ch <= it->Hi ? it->Target : -1;
}

void TbmREState::MarkAccepting() {
  if (!LeafSet) return;
  for (const TbmRELeafNode* leaf : LeafSet->Items()) {
    if (IsEndMarker(leaf)) {
      Accepting = true;
      return;
    }
  }
}

int TbmREDFATable::FindState(const TbmRELeafNodeSet& set) const {
  for (int i = 0; i < Count(); ++i) {
    if (States[i].LeafSet && *States[i].LeafSet == set) return i;
  }
  return -1;
}

void TbmREDFATable::Build(const TbmRETree& tree, TbmREWchRanges& ranges) {
  Clear();
  if (tree.Root == nullptr) throw RegexError("TbmREDFATable.Build: Internal Error");
  Info = tree.Info;
  if (Info.HasLineHead) ranges.AddRange(kLineHeadChar, kLineHeadChar);
  if (Info.HasLineTail) ranges.AddRange(kLineTailChar, kLineTailChar);
  try {
    BuildStates(tree, ranges);
  } catch (...) {
    // Never leave a half-built automaton behind.
    Clear();
    throw;
  }
  DeriveStartProperties();
}

void TbmREDFATable::BuildStates(const TbmRETree& tree, const TbmREWchRanges& ranges) {
  // The class of each leaf: the partition interval equal to its range, or -1
  // for a range that is no class (the end marker), which no transition takes.
  std::vector<int> class_of_leaf(tree.LeafNodes.size(), -1);
  for (const auto& leaf : tree.LeafNodes) {
    const TbmREWchRange range{leaf->Lo, leaf->Hi};
    const int found = ranges.FindRange(0, ranges.Count(), range);
    if (found < ranges.Count() && ranges[found] == range) class_of_leaf[leaf->Id] = found;
  }

  const auto too_large = [](const std::string& what) {
    return RegexError("TbmREDFATable.Build: automaton too large (more than " + what + ")");
  };
  std::size_t entries = 0;
  const auto charge = [&](std::size_t count) {
    entries += count;
    if (entries > max_entries_) {
      throw too_large(std::to_string(max_entries_) + " set and transition entries");
    }
  };

  std::size_t work_done = 0;
  const auto charge_work = [&](std::size_t leaves) {
    work_done += leaves;
    if (work_done > max_work_) {
      throw too_large(std::to_string(max_work_) + " leaves read while building");
    }
  };

  StateIndex index(States);
  const auto add_state = [&](const TbmRELeafNodeSet& set, std::uint64_t hash) {
    if (States.size() >= max_states_) throw too_large(std::to_string(max_states_) + " states");
    charge(static_cast<std::size_t>(set.Count()));
    States.emplace_back(false, std::make_unique<TbmRELeafNodeSet>(set.Clone()));
    const int state = Count() - 1;
    index.Insert(state, hash);
    return state;
  };
  add_state(tree.Root->FirstPos, HashLeafSet(tree.Root->FirstPos));

  std::vector<std::pair<int, TbmRELeafNode*>> by_class;
  std::vector<TbmRELeafNode*> gathered;
  // Marks the leaves already gathered for the current class, so that a union
  // of many overlapping follow sets costs its input once plus a sort of its
  // distinct leaves.
  std::vector<std::uint32_t> gathered_mark(tree.LeafNodes.size(), 0);
  std::uint32_t mark = 0;
  TbmRELeafNodeSet work;
  for (int i = 0; i < Count(); ++i) {
    // States may grow while i is processed; its set stays where it is.
    const TbmRELeafNodeSet& state_set = *States[i].LeafSet;
    by_class.clear();
    for (TbmRELeafNode* leaf : state_set.Items()) {
      const int klass = class_of_leaf[leaf->Id];
      if (klass >= 0) by_class.emplace_back(klass, leaf);
    }
    std::sort(by_class.begin(), by_class.end(), [](const auto& a, const auto& b) {
      return a.first != b.first ? a.first > b.first : a.second->Id < b.second->Id;
    });

    for (std::size_t g = 0; g < by_class.size();) {
      std::size_t group_end = g + 1;
      while (group_end < by_class.size() && by_class[group_end].first == by_class[g].first) {
        ++group_end;
      }
      work.Clear();
      if (group_end - g == 1) {
        charge_work(static_cast<std::size_t>(by_class[g].second->FollowPos.Count()));
        work.AddSet(by_class[g].second->FollowPos);
      } else {
        gathered.clear();
        if (++mark == 0) {
          std::fill(gathered_mark.begin(), gathered_mark.end(), 0);
          mark = 1;
        }
        for (std::size_t k = g; k < group_end; ++k) {
          charge_work(static_cast<std::size_t>(by_class[k].second->FollowPos.Count()));
          for (TbmRELeafNode* leaf : by_class[k].second->FollowPos.Items()) {
            if (gathered_mark[leaf->Id] == mark) continue;
            gathered_mark[leaf->Id] = mark;
            gathered.push_back(leaf);
          }
        }
        std::sort(gathered.begin(), gathered.end(),
                  [](const TbmRELeafNode* a, const TbmRELeafNode* b) { return a->Id < b->Id; });
        work.AssignSorted(gathered);
      }
      if (work.Count() > 0) {
        const std::uint64_t hash = HashLeafSet(work);
        const int found = index.Find(work, hash);
        const int target = found >= 0 ? found : add_state(work, hash);
        States[i].AddTransition(ranges[by_class[g].first], target);
      }
      g = group_end;
    }
    std::reverse(States[i].Transitions.begin(), States[i].Transitions.end());
    States[i].Transitions.shrink_to_fit();
    charge(States[i].Transitions.size());
    States[i].MarkAccepting();
  }
  for (TbmREState& state : States) state.LeafSet.reset();
}

void TbmREDFATable::DeriveStartProperties() {
  if (States.empty()) return;
  const TbmREState& start = States[0];
  Info.EmptyAccepts = start.Accepting;
  const int head = start.NextState(kLineHeadChar);
  if (head >= 0) {
    Info.LineHeadAccepts = States[head].Accepting;
    const int head_tail = States[head].NextState(kLineTailChar);
    if (head_tail >= 0 && States[head_tail].Accepting) Info.HeadTailAccepts = true;
  }
  const int tail = start.NextState(kLineTailChar);
  if (tail >= 0 && States[tail].Accepting) Info.LineTailAccepts = true;
}

}  // namespace morvik
