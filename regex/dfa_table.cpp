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
#include <utility>

#include "regex/error.h"

namespace morvik {

namespace {

// The error both ways of building raise when a pattern's automaton would
// pass one of the table's limits.
RegexError AutomatonTooLarge(const std::string& what) {
  return RegexError("TbmREDFATable.Build: automaton too large (more than " + what + ")");
}

// Counts the set and transition entries a build stores, against the limit.
class EntryBudget {
 public:
  explicit EntryBudget(std::size_t limit) : limit_(limit) {}
  void Charge(std::size_t count) {
    used_ += count;
    if (used_ > limit_) {
      throw AutomatonTooLarge(std::to_string(limit_) + " set and transition entries");
    }
  }

 private:
  std::size_t limit_;
  std::size_t used_ = 0;
};

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

// The leaf sets of the states under construction, as sorted leaf ids in one
// pool: a state's set costs no allocation of its own, and the sets of
// neighbouring states lie next to each other.
class SetPool {
 public:
  using Span = std::pair<std::uint32_t, std::uint32_t>;  // offset, count

  Span Add(const std::uint32_t* ids, std::size_t size) {
    const Span span{static_cast<std::uint32_t>(pool_.size()), static_cast<std::uint32_t>(size)};
    pool_.insert(pool_.end(), ids, ids + size);
    return span;
  }
  const std::uint32_t* Begin(const Span& span) const { return pool_.data() + span.first; }
  bool Equals(const Span& span, const std::uint32_t* ids, std::size_t size) const {
    return span.second == size && std::equal(ids, ids + size, Begin(span));
  }

 private:
  std::vector<std::uint32_t> pool_;
};

std::uint64_t HashIds(const std::uint32_t* ids, std::size_t size) {
  // A sum of independently mixed ids: the set is sorted, so order needs no
  // weight, and the mixes do not wait on each other.
  std::uint64_t sum = static_cast<std::uint64_t>(size);
  for (std::size_t k = 0; k < size; ++k) sum += MixBits(ids[k] + 0x9e3779b97f4a7c15ull);
  return MixBits(sum);
}

// Finds states by their leaf sets: open addressing over (hash, state) slots,
// so a lookup touches one slot array and, on a hash match, the one set.
class StateIndex {
 public:
  StateIndex(const SetPool& pool, const std::vector<SetPool::Span>& spans)
      : pool_(pool), spans_(spans), slots_(1024) {}

  // The state whose set equals ids, or -1.
  void Prefetch(std::uint64_t hash) const {
    __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
  }

  int Find(const std::uint32_t* ids, std::size_t size, std::uint64_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask; slots_[i].state >= 0; i = (i + 1) & mask) {
      if (slots_[i].tag == Tag(hash) && pool_.Equals(spans_[slots_[i].state], ids, size)) {
        return slots_[i].state;
      }
    }
    return -1;
  }

  void Insert(int state, std::uint64_t hash) {
    if (static_cast<std::size_t>(state) >= state_hashes_.size()) state_hashes_.resize(state + 1);
    state_hashes_[state] = hash;
    if (2 * (count_ + 1) > slots_.size()) Grow();
    Place(Slot{Tag(hash), state}, hash);
    ++count_;
  }

 private:
  // Eight bytes a slot, so that the index of a large automaton stays in
  // cache: the high half of the hash as a tag, the low half picks the slot.
  struct Slot {
    std::uint32_t tag = 0;
    int state = -1;
  };

  static std::uint32_t Tag(std::uint64_t hash) { return static_cast<std::uint32_t>(hash >> 32); }

  void Place(const Slot& slot, std::uint64_t hash) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = hash & mask;
    while (slots_[i].state >= 0) i = (i + 1) & mask;
    slots_[i] = slot;
  }

  void Grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    for (const Slot& slot : old) {
      if (slot.state >= 0) Place(slot, state_hashes_[slot.state]);
    }
  }

  const SetPool& pool_;
  const std::vector<SetPool::Span>& spans_;
  std::vector<Slot> slots_;
  std::vector<std::uint64_t> state_hashes_;  // to place the states again on growing
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

namespace {

// The construction for patterns of at most 64 leaves, where a set of leaves
// is one 64-bit word: union is OR, equality one comparison, and the classes
// of a state are found by masks. It visits classes and states in the same
// order as the general construction, so the table is the same.
struct SmallLeaves {
  std::vector<std::uint64_t> follow;      // per leaf id
  std::vector<std::size_t> follow_count;  // per leaf id
  std::uint64_t end_markers = 0;
  // The classes that leaves have, from the highest, with their leaves.
  std::vector<std::pair<int, std::uint64_t>> classes;
};

}  // namespace

void TbmREDFATable::BuildSmallStates(const TbmRETree& tree, const TbmREWchRanges& ranges,
                                     const std::vector<int>& class_of_leaf) {
  const std::size_t leaf_count = tree.LeafNodes.size();
  SmallLeaves leaves;
  leaves.follow.assign(leaf_count, 0);
  leaves.follow_count.assign(leaf_count, 0);
  std::vector<std::uint64_t> class_mask(static_cast<std::size_t>(ranges.Count()), 0);
  for (const auto& leaf : tree.LeafNodes) {
    const std::uint64_t bit = std::uint64_t{1} << leaf->Id;
    for (const TbmRELeafNode* follow : leaf->FollowPos.Items()) {
      leaves.follow[leaf->Id] |= std::uint64_t{1} << follow->Id;
    }
    leaves.follow_count[leaf->Id] = static_cast<std::size_t>(leaf->FollowPos.Count());
    if (IsEndMarker(leaf)) leaves.end_markers |= bit;
    const int klass = class_of_leaf[leaf->Id];
    if (klass >= 0) class_mask[static_cast<std::size_t>(klass)] |= bit;
  }
  for (int c = ranges.Count() - 1; c >= 0; --c) {
    if (class_mask[static_cast<std::size_t>(c)] != 0) {
      leaves.classes.emplace_back(c, class_mask[static_cast<std::size_t>(c)]);
    }
  }

  const auto too_large = AutomatonTooLarge;
  EntryBudget budget(max_entries_);
  const auto charge = [&budget](std::size_t count) { budget.Charge(count); };
  std::size_t work_done = 0;

  // Open addressing over state numbers; a slot's set is masks[state].
  std::vector<std::uint64_t> masks;
  std::vector<int> slots(1024, -1);
  const auto slot_of = [&](std::uint64_t mask) { return MixBits(mask) & (slots.size() - 1); };
  const auto find_or_add = [&](std::uint64_t mask) {
    std::size_t i = slot_of(mask);
    for (; slots[i] >= 0; i = (i + 1) & (slots.size() - 1)) {
      if (masks[static_cast<std::size_t>(slots[i])] == mask) return slots[i];
    }
    if (States.size() >= max_states_) throw too_large(std::to_string(max_states_) + " states");
    charge(static_cast<std::size_t>(__builtin_popcountll(mask)));
    masks.push_back(mask);
    States.emplace_back(false, nullptr);
    const int state = Count() - 1;
    slots[i] = state;
    if (2 * masks.size() > slots.size()) {
      std::vector<int> grown(slots.size() * 2, -1);
      slots.swap(grown);
      for (int s : grown) {
        if (s < 0) continue;
        std::size_t k = slot_of(masks[static_cast<std::size_t>(s)]);
        while (slots[k] >= 0) k = (k + 1) & (slots.size() - 1);
        slots[k] = s;
      }
    }
    return state;
  };

  std::uint64_t start = 0;
  for (const TbmRELeafNode* leaf : tree.Root->FirstPos.Items())
    start |= std::uint64_t{1} << leaf->Id;
  find_or_add(start);
  std::vector<TbmRETransition> reversed;
  for (int i = 0; i < Count(); ++i) {
    const std::uint64_t set = masks[static_cast<std::size_t>(i)];
    reversed.clear();
    for (const auto& [klass, klass_leaves] : leaves.classes) {
      std::uint64_t group = set & klass_leaves;
      if (group == 0) continue;
      std::uint64_t target_set = 0;
      for (; group != 0; group &= group - 1) {
        const int id = __builtin_ctzll(group);
        work_done += leaves.follow_count[static_cast<std::size_t>(id)];
        if (work_done > max_work_) {
          throw too_large(std::to_string(max_work_) + " leaves read while building");
        }
        target_set |= leaves.follow[static_cast<std::size_t>(id)];
      }
      if (target_set == 0) continue;
      const int target = find_or_add(target_set);
      const TbmREWchRange& range = ranges[klass];
      if (!reversed.empty() && range.Hi + 1 == reversed.back().Lo &&
          reversed.back().Target == target) {
        reversed.back().Lo = range.Lo;
      } else {
        reversed.push_back(TbmRETransition{range.Lo, range.Hi, target});
      }
    }
    States[i].Transitions.assign(reversed.rbegin(), reversed.rend());
    charge(States[i].Transitions.size());
    States[i].Accepting = (set & leaves.end_markers) != 0;
  }
}

void TbmREDFATable::BuildStates(const TbmRETree& tree, const TbmREWchRanges& ranges) {
  // Per leaf, flattened: its class (the partition interval equal to its
  // range, or -1 for a range that is no class, the end marker, which no
  // transition takes), its follow positions as ids, and whether it is the
  // end marker.
  const std::size_t leaf_count = tree.LeafNodes.size();
  std::vector<int> class_of_leaf(leaf_count, -1);
  std::vector<std::uint32_t> follow_begin(leaf_count + 1, 0);
  std::vector<std::uint32_t> follow_ids;
  std::vector<char> end_marker(leaf_count, 0);
  const ClassIndex classes(ranges);
  for (const auto& leaf : tree.LeafNodes) {
    class_of_leaf[leaf->Id] = classes.Find(TbmREWchRange{leaf->Lo, leaf->Hi});
    end_marker[leaf->Id] = IsEndMarker(leaf) ? 1 : 0;
  }
  if (small_sets_ && leaf_count <= 64) {
    BuildSmallStates(tree, ranges, class_of_leaf);
    return;
  }
  {
    std::vector<const TbmRELeafNode*> by_id(leaf_count, nullptr);
    for (const TbmRELeafNode* leaf : tree.LeafNodes) by_id[leaf->Id] = leaf;
    for (std::size_t id = 0; id < leaf_count; ++id) {
      follow_begin[id] = static_cast<std::uint32_t>(follow_ids.size());
      if (by_id[id] == nullptr) continue;
      for (const TbmRELeafNode* follow : by_id[id]->FollowPos.Items()) {
        follow_ids.push_back(follow->Id);
      }
    }
    follow_begin[leaf_count] = static_cast<std::uint32_t>(follow_ids.size());
  }
  const auto follow_count = [&](std::uint32_t id) {
    return static_cast<std::size_t>(follow_begin[id + 1] - follow_begin[id]);
  };

  const auto too_large = AutomatonTooLarge;
  EntryBudget budget(max_entries_);
  const auto charge = [&budget](std::size_t count) { budget.Charge(count); };

  std::size_t work_done = 0;
  const auto charge_work = [&](std::size_t leaves) {
    work_done += leaves;
    if (work_done > max_work_) {
      throw too_large(std::to_string(max_work_) + " leaves read while building");
    }
  };

  SetPool pool;
  std::vector<SetPool::Span> spans;
  StateIndex index(pool, spans);
  const auto add_state = [&](const std::uint32_t* ids, std::size_t size, std::uint64_t hash) {
    if (States.size() >= max_states_) throw too_large(std::to_string(max_states_) + " states");
    charge(size);
    spans.push_back(pool.Add(ids, size));
    States.emplace_back(false, nullptr);
    const int state = Count() - 1;
    index.Insert(state, hash);
    return state;
  };
  std::vector<std::uint32_t> work;
  for (const TbmRELeafNode* leaf : tree.Root->FirstPos.Items()) work.push_back(leaf->Id);
  add_state(work.data(), work.size(), HashIds(work.data(), work.size()));

  // (class, leaf id) of the current state's leaves, sorted by class from
  // the highest and then by id.
  std::vector<std::uint64_t> by_class;
  // Marks the leaves already gathered for the current class, so that a union
  // of many overlapping follow sets costs its input once plus a sort of its
  // distinct leaves.
  std::vector<std::uint32_t> gathered_mark(leaf_count, 0);
  std::uint32_t mark = 0;
  std::vector<TbmRETransition> reversed;
  struct Pending {
    std::uint64_t group_key;
    std::size_t begin;  // into batch_ids
    std::size_t size;
    std::uint64_t hash;
  };
  std::vector<Pending> batch;
  std::vector<std::uint32_t> batch_ids;
  for (int i = 0; i < Count(); ++i) {
    // The pool may grow while i is processed: read the set by offset.
    const SetPool::Span span = spans[i];
    by_class.clear();
    bool accepting = false;
    for (std::uint32_t k = 0; k < span.second; ++k) {
      const std::uint32_t id = pool.Begin(span)[k];
      if (end_marker[id]) accepting = true;
      const int klass = class_of_leaf[id];
      // Descending class, ascending id, as one ascending key.
      if (klass >= 0) {
        by_class.push_back((static_cast<std::uint64_t>(0x7FFFFFFF - klass) << 32) | id);
      }
    }
    std::sort(by_class.begin(), by_class.end());

    // First every class's target set, with its index slot fetched ahead,
    // then the lookups in class order: the slots of a large automaton miss
    // the cache, and this way the misses overlap.
    batch.clear();
    batch_ids.clear();
    for (std::size_t g = 0; g < by_class.size();) {
      const std::uint64_t group_key = by_class[g] >> 32;
      std::size_t group_end = g + 1;
      while (group_end < by_class.size() && (by_class[group_end] >> 32) == group_key) {
        ++group_end;
      }
      const std::size_t begin = batch_ids.size();
      if (group_end - g == 1) {
        const auto id = static_cast<std::uint32_t>(by_class[g]);
        charge_work(follow_count(id));
        batch_ids.insert(batch_ids.end(), follow_ids.begin() + follow_begin[id],
                         follow_ids.begin() + follow_begin[id + 1]);
      } else {
        if (++mark == 0) {
          std::fill(gathered_mark.begin(), gathered_mark.end(), 0);
          mark = 1;
        }
        for (std::size_t k = g; k < group_end; ++k) {
          const auto id = static_cast<std::uint32_t>(by_class[k]);
          charge_work(follow_count(id));
          for (std::uint32_t f = follow_begin[id]; f < follow_begin[id + 1]; ++f) {
            const std::uint32_t leaf = follow_ids[f];
            if (gathered_mark[leaf] == mark) continue;
            gathered_mark[leaf] = mark;
            batch_ids.push_back(leaf);
          }
        }
        std::sort(batch_ids.begin() + static_cast<std::ptrdiff_t>(begin), batch_ids.end());
      }
      if (batch_ids.size() > begin) {
        const std::uint64_t hash = HashIds(batch_ids.data() + begin, batch_ids.size() - begin);
        index.Prefetch(hash);
        batch.push_back(Pending{group_key, begin, batch_ids.size() - begin, hash});
      }
      g = group_end;
    }
    reversed.clear();
    for (const Pending& pending : batch) {
      const std::uint32_t* ids = batch_ids.data() + pending.begin;
      const int found = index.Find(ids, pending.size, pending.hash);
      const int target = found >= 0 ? found : add_state(ids, pending.size, pending.hash);
      const TbmREWchRange& klass = ranges[static_cast<int>(0x7FFFFFFF - pending.group_key)];
      // Classes arrive from the highest: widen the last transition when
      // this class ends just below it and leads to the same state.
      if (!reversed.empty() && klass.Hi + 1 == reversed.back().Lo &&
          reversed.back().Target == target) {
        reversed.back().Lo = klass.Lo;
      } else {
        reversed.push_back(TbmRETransition{klass.Lo, klass.Hi, target});
      }
    }
    States[i].Transitions.assign(reversed.rbegin(), reversed.rend());
    charge(States[i].Transitions.size());
    States[i].Accepting = accepting;
  }
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
