#include "app/editor/pattern_search.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "app/editor/text_search.h"
#include "data/sjis_codec.h"
#include "regex/engine.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace morvik {
namespace {

constexpr int kLineHead = -2;
constexpr int kLineTail = -3;
constexpr std::int32_t kUnknown = -1;  // a step not worked out yet
constexpr std::int32_t kMatch = -2;    // a match ends here: look at the line
constexpr std::uint32_t kNotAPair = 0xFFFFFFFFu;
constexpr std::size_t kNone = std::string_view::npos;
// Steps of the lazy automaton kept before it starts afresh, which bounds its
// memory for patterns whose automaton of state sets would be huge.
constexpr std::size_t kMaxLazySteps = std::size_t{1} << 22;

bool IsBreak(char c) {
  return c == '\r' || c == '\n';
}

// Whether each lead byte * 256 + trail byte is a character of the code page.
const std::vector<bool>& ValidPairs() {
  static const std::vector<bool> valid = [] {
    std::vector<bool> pairs(65536, false);
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsSjisLeadByte(static_cast<unsigned char>(lead))) continue;
      for (int trail = 0; trail <= 0xFF; ++trail) {
        const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        pairs[static_cast<std::size_t>(lead * 256 + trail)] =
            SjisCharLength(std::string_view(bytes, 2), 0) == 2;
      }
    }
    return pairs;
  }();
  return valid;
}

// The engine's value of the character at pos (lead * 256 + trail for a
// pair; a byte that is no character stands for itself) and its length.
int ValueAt(std::string_view text, std::size_t pos, std::size_t* length) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (IsSjisLeadByte(lead) && pos + 1 < text.size()) {
    const int value = lead * 256 + static_cast<unsigned char>(text[pos + 1]);
    if (ValidPairs()[static_cast<std::size_t>(value)]) {
      *length = 2;
      return value;
    }
  }
  *length = 1;
  return lead;
}

std::size_t CharLength(std::string_view text, std::size_t pos) {
  std::size_t length = 1;
  ValueAt(text, pos, &length);
  return length;
}

std::size_t LineStartOf(std::string_view text, std::size_t pos) {
  while (pos > 0 && !IsBreak(text[pos - 1])) --pos;
  return pos;
}

}  // namespace

struct PatternMatcher::Impl {
  TbmRExp rexp;
  const TbmREDFATable* table = nullptr;
  int head = -1;  // the start state after the line-head pseudo-character

  // Characters fall into classes that every state treats alike; line breaks
  // have a class of their own.
  std::uint32_t break_class = 0;
  std::uint32_t stride = 0;  // classes, line breaks included
  std::uint32_t byte_class[256] = {};
  std::vector<std::uint32_t> pair_class;  // by lead * 256 + trail, or kNotAPair
  std::vector<int> class_value;           // one character of each class

  // The lazy automaton. A state stands for the set of the engine's states
  // reached, by at least one character, from every start in the line so far;
  // state 0 is a line's start, where the line-head start also counts.
  std::vector<std::vector<int>> sets;
  std::map<std::vector<int>, std::int32_t> ids;
  std::vector<std::int32_t> steps;  // by state * stride + class
  std::vector<char> idle;           // by state: no match under way
  std::size_t resets = 0;

  // The bytes a match can begin with, when they are few: while no match is
  // under way the scan jumps from one to the next, sixteen bytes at a time.
  std::vector<unsigned char> start_bytes;
  bool skipping = false;

  explicit Impl(std::string_view pattern) {
    rexp.SetCharCode(bmccShiftJIS);
    rexp.SetOption(TbmRExp::kRegExpSyntax, true);
    rexp.SetOption(TbmRExp::kIgnoreCase, true);
    rexp.SetPattern(pattern);
    table = &rexp.GetDFATable();
    if (table->Count() > 0) head = (*table)[0].NextState(kLineHead);
    BuildClasses();
    FindStartBytes();
    Reset();
  }

  // A byte can begin a match when a character that starts with it has a
  // step from the start state, or from the start after the line head.
  void FindStartBytes() {
    if (table->Count() == 0) return;
    const auto starts = [&](int value) { return Next(0, value) >= 0 || Next(head, value) >= 0; };
    const std::vector<bool>& valid = ValidPairs();
    for (int b = 0; b < 256; ++b) {
      if (b == '\r' || b == '\n') continue;
      bool begins = starts(class_value[byte_class[b]]);
      for (int trail = 0; !begins && IsSjisLeadByte(static_cast<unsigned char>(b)) && trail < 256;
           ++trail) {
        const auto value = static_cast<std::size_t>(b * 256 + trail);
        begins = valid[value] && starts(class_value[pair_class[value]]);
      }
      if (begins) start_bytes.push_back(static_cast<unsigned char>(b));
    }
    skipping = start_bytes.size() <= 3;
  }

  // The first position of [pos, size) holding a start byte, or size.
  std::size_t NextStartByte(const unsigned char* bytes, std::size_t pos, std::size_t size) const {
    if (start_bytes.empty()) return size;
    const unsigned char a = start_bytes[0];
    const unsigned char b = start_bytes[start_bytes.size() > 1 ? 1 : 0];
    const unsigned char c = start_bytes.back();
#if defined(__SSE2__)
    const __m128i want_a = _mm_set1_epi8(static_cast<char>(a));
    const __m128i want_b = _mm_set1_epi8(static_cast<char>(b));
    const __m128i want_c = _mm_set1_epi8(static_cast<char>(c));
    for (; pos + 16 <= size; pos += 16) {
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + pos));
      const int mask = _mm_movemask_epi8(
          _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(chunk, want_a), _mm_cmpeq_epi8(chunk, want_b)),
                       _mm_cmpeq_epi8(chunk, want_c)));
      if (mask != 0)
        return pos + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#endif
    for (; pos < size; ++pos) {
      if (bytes[pos] == a || bytes[pos] == b || bytes[pos] == c) return pos;
    }
    return size;
  }

  void BuildClasses() {
    std::vector<int> cuts{0};
    for (const TbmREState& state : table->States) {
      for (const TbmRETransition& t : state.Transitions) {
        if (t.Hi < 0) continue;  // the line pseudo-characters
        cuts.push_back(std::max(t.Lo, 0));
        if (t.Hi < 0xFFFF) cuts.push_back(t.Hi + 1);
      }
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    class_value = cuts;
    std::vector<std::uint32_t> value_class(65536);
    std::uint32_t klass = 0;
    for (int value = 0; value < 65536; ++value) {
      if (klass + 1 < cuts.size() && value == cuts[klass + 1]) ++klass;
      value_class[static_cast<std::size_t>(value)] = klass;
    }
    break_class = static_cast<std::uint32_t>(cuts.size());
    stride = break_class + 1;
    for (int b = 0; b < 256; ++b) byte_class[b] = value_class[static_cast<std::size_t>(b)];
    byte_class[static_cast<unsigned char>('\r')] = break_class;
    byte_class[static_cast<unsigned char>('\n')] = break_class;
    const std::vector<bool>& valid = ValidPairs();
    pair_class.assign(65536, kNotAPair);
    for (std::size_t value = 0; value < 65536; ++value) {
      if (valid[value]) pair_class[value] = value_class[value];
    }
  }

  void Reset() {
    sets.assign(1, {});
    ids.clear();
    steps.assign(stride, kUnknown);
    idle.assign(1, 0);
    ++resets;
  }

  bool Accepting(int s) const {
    return s >= 0 && (*table)[s].Accepting;
  }
  bool TailAccepts(int s) const {
    if (s < 0) return false;
    const int after = (*table)[s].NextState(kLineTail);
    return after >= 0 && (*table)[after].Accepting;
  }
  int Next(int s, int value) const {
    return s < 0 ? -1 : (*table)[s].NextState(value);
  }

  std::uint32_t ClassAt(std::string_view text, std::size_t pos, std::size_t* length) const {
    const auto b = static_cast<unsigned char>(text[pos]);
    if (IsSjisLeadByte(b) && pos + 1 < text.size()) {
      const std::uint32_t klass =
          pair_class[static_cast<std::size_t>(b) * 256 + static_cast<unsigned char>(text[pos + 1])];
      if (klass != kNotAPair) {
        *length = 2;
        return klass;
      }
    }
    *length = 1;
    return byte_class[b];
  }

  // Works out and records the step from state on klass.
  std::int32_t Step(std::int32_t state, std::uint32_t klass) {
    std::int32_t result = 0;
    if (klass == break_class) {
      const std::vector<int>& set = sets[static_cast<std::size_t>(state)];
      const bool ends = std::any_of(set.begin(), set.end(), [&](int s) { return TailAccepts(s); });
      result = ends ? kMatch : 0;
    } else {
      const int value = class_value[klass];
      std::vector<int> target;
      const auto add = [&](int s) {
        const int t = Next(s, value);
        if (t >= 0) target.push_back(t);
      };
      for (int s : sets[static_cast<std::size_t>(state)]) add(s);
      add(0);
      if (state == 0) add(head);
      std::sort(target.begin(), target.end());
      target.erase(std::unique(target.begin(), target.end()), target.end());
      if (std::any_of(target.begin(), target.end(), [&](int s) { return Accepting(s); })) {
        result = kMatch;
      } else {
        const std::size_t resets_before = resets;
        result = Intern(std::move(target));
        if (resets != resets_before) return result;  // state no longer exists
      }
    }
    steps[static_cast<std::size_t>(state) * stride + klass] = result;
    return result;
  }

  std::int32_t Intern(std::vector<int> set) {
    if (const auto found = ids.find(set); found != ids.end()) return found->second;
    if (steps.size() + stride > std::max<std::size_t>(kMaxLazySteps, 16 * stride)) Reset();
    const auto id = static_cast<std::int32_t>(sets.size());
    ids.emplace(set, id);
    idle.push_back(set.empty() ? 1 : 0);
    sets.push_back(std::move(set));
    steps.resize(steps.size() + stride, kUnknown);
    return id;
  }

  // Calls on_line(start, end) for each line of text, from the one holding
  // from, in which some match ends, until on_line returns true or the scan
  // passes stop.
  template <typename OnLine>
  void ScanLines(std::string_view text, std::size_t from, std::size_t stop, OnLine on_line) {
    if (table->Count() == 0) return;
    const std::size_t size = text.size();
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t pos = LineStartOf(text, std::min(from, size));
    std::int32_t state = 0;
    const std::int32_t* row = steps.data();  // the steps of state
    CharBoundaries boundaries(text);
    while (pos < size && pos <= stop) {
      if (skipping && idle[static_cast<std::size_t>(state)] != 0) {
        // Nothing under way: on to the next character a match can begin with.
        pos = NextStartByte(bytes, pos, size);
        if (pos >= size || pos > stop) break;
        if (!boundaries.IsCharStart(pos)) {
          ++pos;
          continue;
        }
        if (pos == 0 || IsBreak(text[pos - 1])) {
          state = 0;
          row = steps.data();
        }
      }
      std::size_t length = 1;
      // A byte below 0x80 is a character of its own.
      const std::uint32_t klass =
          bytes[pos] < 0x80 ? byte_class[bytes[pos]] : ClassAt(text, pos, &length);
      std::int32_t next = row[klass];
      if (next == kUnknown) next = Step(state, klass);
      if (next != kMatch) {
        state = next;
        row = steps.data() + static_cast<std::size_t>(state) * stride;
        pos += length;
        continue;
      }
      std::size_t end = pos;
      while (end < size && !IsBreak(text[end])) ++end;
      if (on_line(LineStartOf(text, pos), end)) return;
      state = 0;
      row = steps.data();
      pos = end + ((end + 1 < size && text[end] == '\r' && text[end + 1] == '\n') ? 2 : 1);
    }
    // The text's last line may end without a break.
    if (pos == size && size > 0 && !IsBreak(text[size - 1]) && state != 0) {
      std::int32_t next = steps[static_cast<std::size_t>(state) * stride + break_class];
      if (next == kUnknown) next = Step(state, break_class);
      if (next == kMatch) on_line(LineStartOf(text, size), size);
    }
  }

  // The end of the longest match that starts at start in the line
  // [line_start, line_end) and ends at or before limit; kNone without one.
  std::size_t LongestAt(std::string_view text, std::size_t line_start, std::size_t line_end,
                        std::size_t start, std::size_t limit) const {
    int plain = 0;
    int headed = start == line_start ? head : -1;
    std::size_t longest = kNone;
    for (std::size_t pos = start; pos <= limit;) {
      if (pos > start && (Accepting(plain) || Accepting(headed))) longest = pos;
      if (pos == line_end) {
        if (pos > start && (TailAccepts(plain) || TailAccepts(headed))) longest = pos;
        break;
      }
      std::size_t length = 1;
      const int value = ValueAt(text, pos, &length);
      plain = Next(plain, value);
      headed = Next(headed, value);
      if (plain < 0 && headed < 0) break;
      pos += length;
    }
    return longest;
  }
};

PatternMatcher::PatternMatcher(std::string_view pattern_sjis)
    : impl_(std::make_unique<Impl>(pattern_sjis)) {}

PatternMatcher::~PatternMatcher() = default;

std::optional<TextHit> PatternMatcher::First(std::string_view block, std::size_t from) const {
  std::optional<TextHit> hit;
  impl_->ScanLines(block, from, kNone, [&](std::size_t line_start, std::size_t line_end) {
    for (std::size_t start = line_start; start < line_end; start += CharLength(block, start)) {
      if (start < from) continue;
      const std::size_t end = impl_->LongestAt(block, line_start, line_end, start, kNone);
      if (end != kNone) {
        hit = TextHit{start, end - start};
        return true;
      }
    }
    return false;
  });
  return hit;
}

std::optional<TextHit> PatternMatcher::Last(std::string_view block, std::size_t limit) const {
  std::optional<TextHit> last;
  // The matches Find Next would step through, as far as they end by limit.
  impl_->ScanLines(block, 0, limit, [&](std::size_t line_start, std::size_t line_end) {
    if (line_start >= limit) return true;
    std::size_t start = line_start;
    while (start < line_end && start < limit) {
      const std::size_t end = impl_->LongestAt(block, line_start, line_end, start, limit);
      if (end != kNone) {
        last = TextHit{start, end - start};
        start = end;
      } else {
        start += CharLength(block, start);
      }
    }
    return false;
  });
  return last;
}

}  // namespace morvik
