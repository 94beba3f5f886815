// The byte searcher: byte classes, the lazily built search automaton, and the
// leftmost-longest matches of a line.
#include "regex/byte_searcher.h"

#include <algorithm>
#include <cstring>

#include "regex/error.h"

namespace morvik {

namespace {

// The search automaton starts afresh when its rows pass this many entries
// (16 MB), so a pattern whose sets explode cannot exhaust memory.
constexpr std::size_t kMaxRowEntries = std::size_t{1} << 22;

bool IsBreak(unsigned char b) {
  return b == '\n' || b == '\r';
}

// The offset just after the last line break in [low, pos), or low.
std::size_t LineStartAbove(std::string_view text, std::size_t low, std::size_t pos) {
  const void* lf = memrchr(text.data() + low, '\n', pos - low);
  const std::size_t after_lf =
      lf == nullptr ? low
                    : static_cast<std::size_t>(static_cast<const char*>(lf) - text.data()) + 1;
  const void* cr = memrchr(text.data() + after_lf, '\r', pos - after_lf);
  return cr == nullptr ? after_lf
                       : static_cast<std::size_t>(static_cast<const char*>(cr) - text.data()) + 1;
}

}  // namespace

std::size_t LineStartOf(std::string_view text, std::size_t pos) {
  return LineStartAbove(text, 0, std::min(pos, text.size()));
}

std::size_t LineEndOf(std::string_view text, std::size_t pos) {
  const std::size_t n = text.size();
  if (pos >= n) return n;
  const void* lf = std::memchr(text.data() + pos, '\n', n - pos);
  const std::size_t lf_at =
      lf == nullptr ? n : static_cast<std::size_t>(static_cast<const char*>(lf) - text.data());
  const void* cr = std::memchr(text.data() + pos, '\r', lf_at - pos);
  return cr == nullptr ? lf_at
                       : static_cast<std::size_t>(static_cast<const char*>(cr) - text.data());
}

std::size_t NextLineStart(std::string_view text, std::size_t line_end) {
  const std::size_t n = text.size();
  if (line_end >= n) return n;
  if (text[line_end] == '\r' && line_end + 1 < n && text[line_end + 1] == '\n') {
    return line_end + 2;
  }
  return line_end + 1;
}

ByteSearcher::ByteSearcher(const TbmREDFATable& table, TbmCharCode code, TbmIsPairFunc is_pair)
    : table_(table),
      is_lead_byte_(bmccGetIsLeadByteFunc(code)),
      is_pair_(is_pair),
      literal_(FindRequiredLiteral(table_, is_lead_byte_)),
      prefixes_(literal_.bytes.empty() ? PrefixFilter(table_, is_lead_byte_, is_pair != nullptr)
                                       : PrefixFilter(TbmREDFATable(), is_lead_byte_)) {
  if (table_.Count() > 0) {
    const int head = table_[0].NextState(kLineHeadChar);
    line_start_accepts_ = table_[0].Accepting || (head >= 0 && table_[head].Accepting);
  }
  BuildByteClasses();
  FindIdleSkips();
  ResetAutomaton();
}

void ByteSearcher::FindIdleSkips() {
  if (table_.Count() == 0) return;
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<unsigned char>(b);
    if (IsBreak(byte) || is_lead_byte_(byte)) continue;
    const int next = table_[0].NextState(b);
    idle_skips_[b] = next < 0 || (next == 0 && !table_[0].Accepting);
  }
}

void ByteSearcher::BuildByteClasses() {
  // A class starts at every byte marked here; bytes between two marks act
  // alike as single characters, as trail bytes under any lead byte, and as
  // lead bytes.
  bool starts[257] = {};
  starts[0] = true;
  for (int b : {10, 11, 13, 14}) starts[b] = true;  // LF and CR stand alone
  for (int b = 1; b < 256; ++b) {
    if (is_lead_byte_(static_cast<unsigned char>(b)) !=
        is_lead_byte_(static_cast<unsigned char>(b - 1))) {
      starts[b] = true;
    }
  }
  if (is_pair_ != nullptr) {
    // ... and pair alike: as trail bytes with every lead byte, and as lead
    // bytes with every trail byte.
    for (int lead = 0; lead < 256; ++lead) {
      if (!is_lead_byte_(static_cast<unsigned char>(lead))) continue;
      for (int b = 1; b < 256; ++b) {
        if (Pairs(lead, b) != Pairs(lead, b - 1)) starts[b] = true;
        if (lead > 0 && Pairs(lead, b) != Pairs(lead - 1, b)) starts[lead] = true;
      }
    }
  }
  for (int s = 0; s < table_.Count(); ++s) {
    for (const TbmRETransition& t : table_[s].Transitions) {
      if (t.Hi < 0) continue;
      const int lo = std::max(t.Lo, 0);
      const int hi = std::min(t.Hi, 0xFFFF);
      if (lo < 256) starts[lo] = true;
      if (hi < 256) starts[hi + 1] = true;
      if (lo >= 256) {
        starts[lo & 0xFF] = true;
        starts[lo >> 8] = true;
        starts[(lo >> 8) + 1] = true;
      }
      if (hi >= 256) {
        if (hi < 0xFFFF) starts[(hi + 1) & 0xFF] = true;
        starts[hi >> 8] = true;
        starts[(hi >> 8) + 1] = true;
      }
    }
  }
  class_first_byte_.clear();
  for (int b = 0; b < 256; ++b) {
    if (starts[b]) class_first_byte_.push_back(b);
    class_of_byte_[b] = static_cast<std::uint8_t>(class_first_byte_.size() - 1);
  }
  class_count_ = static_cast<int>(class_first_byte_.size());
}

void ByteSearcher::ResetAutomaton() {
  rows_.clear();
  states_.clear();
  set_pool_.clear();
  index_.clear();
  std::vector<int> start{0};
  if (table_.Count() > 0) {
    const int head = table_[0].NextState(kLineHeadChar);
    if (head > 0) start.push_back(head);
  }
  start_ = Intern(start, -1);
  idle_ = Intern({0}, -1);
}

bool ByteSearcher::Step(const int* set, std::size_t size, int c, std::vector<int>& out) const {
  out.clear();
  bool accepts = false;
  for (std::size_t k = 0; k < size; ++k) {
    const int next = table_[set[k]].NextState(c);
    if (next < 0) continue;
    out.push_back(next);
    accepts = accepts || table_[next].Accepting;
  }
  out.push_back(0);
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return accepts;
}

std::int32_t ByteSearcher::Intern(const std::vector<int>& set, int lead) {
  std::string key(sizeof(int) * (set.size() + 1), '\0');
  std::memcpy(key.data(), &lead, sizeof(int));
  std::memcpy(key.data() + sizeof(int), set.data(), sizeof(int) * set.size());
  const auto found = index_.find(key);
  if (found != index_.end()) return found->second;

  const auto tail_accepts = [&](const std::vector<int>& states) {
    for (int s : states) {
      const int after = table_.Count() > 0 ? table_[s].NextState(kLineTailChar) : -1;
      if (after >= 0 && table_[after].Accepting) return true;
    }
    return false;
  };
  bool end_accepts = false;
  if (table_.Count() > 0) {
    if (lead < 0) {
      end_accepts = tail_accepts(set);
    } else {
      // A lead byte at the end of the line takes no trail byte.
      std::vector<int> after;
      end_accepts = Step(set.data(), set.size(), LoneLead(lead), after) || tail_accepts(after);
    }
  }
  const auto offset = static_cast<std::int32_t>(states_.size()) * class_count_;
  states_.push_back(SearchState{static_cast<std::uint32_t>(set_pool_.size()),
                                static_cast<std::uint32_t>(set.size()), lead, end_accepts});
  set_pool_.insert(set_pool_.end(), set.begin(), set.end());
  rows_.resize(rows_.size() + static_cast<std::size_t>(class_count_), kUnknown);
  index_.emplace(std::move(key), offset);
  return offset;
}

std::int32_t ByteSearcher::ComputeTransition(std::int32_t offset, int klass) {
  const SearchState state = states_[static_cast<std::size_t>(offset / class_count_)];
  const int byte = class_first_byte_[static_cast<std::size_t>(klass)];
  std::int32_t entry;
  if (IsBreak(static_cast<unsigned char>(byte))) {
    entry = kBreak;
  } else {
    const std::vector<int> set(set_pool_.begin() + state.set_begin,
                               set_pool_.begin() + state.set_begin + state.set_size);
    int lead = -1;
    bool accepts = false;
    if (state.lead < 0 && is_lead_byte_(static_cast<unsigned char>(byte))) {
      lead = byte;
      scratch_ = set;
    } else if (state.lead >= 0 && !Pairs(state.lead, byte)) {
      // The lead byte stands alone, and this byte starts the next character.
      std::vector<int> alone;
      accepts = Step(set.data(), set.size(), LoneLead(state.lead), alone);
      if (!accepts && is_lead_byte_(static_cast<unsigned char>(byte))) {
        lead = byte;
        scratch_ = alone;
      } else if (!accepts) {
        accepts = Step(alone.data(), alone.size(), byte, scratch_);
      }
    } else {
      const int c = state.lead < 0 ? byte : state.lead * 256 + byte;
      accepts = Step(set.data(), set.size(), c, scratch_);
    }
    if (accepts) {
      entry = kMatch;
    } else {
      if (rows_.size() + static_cast<std::size_t>(class_count_) > kMaxRowEntries) {
        const std::vector<int> target = scratch_;
        ResetAutomaton();
        return Intern(target, lead);
      }
      entry = Intern(scratch_, lead);
    }
  }
  rows_[static_cast<std::size_t>(offset) + static_cast<std::size_t>(klass)] = entry;
  return entry;
}

bool ByteSearcher::RunLine(const unsigned char* p, const unsigned char* end) {
  if (line_start_accepts_) return true;
  std::int32_t s = start_;
  while (p < end) {
    if (s == idle_) {
      while (p < end && idle_skips_[*p]) ++p;
      if (p == end) break;
    }
    const int klass = class_of_byte_[*p];
    std::int32_t t = rows_[static_cast<std::size_t>(s) + static_cast<std::size_t>(klass)];
    if (t == kUnknown) t = ComputeTransition(s, klass);
    if (t == kMatch) return true;
    if (t < 0) break;  // a break byte: the caller's line had none
    s = t;
    ++p;
  }
  return states_[static_cast<std::size_t>(s / class_count_)].end_accepts;
}

bool ByteSearcher::LineContains(std::string_view line) {
  const auto* p = reinterpret_cast<const unsigned char*>(line.data());
  return RunLine(p, p + line.size());
}

std::optional<ByteSpan> ByteSearcher::NextMatchingLine(std::string_view text,
                                                       std::size_t line_start) {
  const std::size_t n = text.size();
  if (line_start >= n) return std::nullopt;
  if (line_start_accepts_) return ByteSpan{line_start, LineEndOf(text, line_start)};
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  if (!literal_.bytes.empty() || prefixes_.Length() > 0) {
    for (std::size_t pos = line_start; pos < n;) {
      const std::size_t hit = literal_.bytes.empty() ? prefixes_.FindCandidate(text, pos)
                                                     : FindLiteral(text, pos, literal_);
      if (hit >= n) return std::nullopt;
      const std::size_t begin = LineStartAbove(text, pos, hit);
      const std::size_t end = LineEndOf(text, hit);
      if (RunLine(bytes + begin, bytes + end)) return ByteSpan{begin, end};
      pos = NextLineStart(text, end);
    }
    return std::nullopt;
  }
  std::size_t begin = line_start;
  std::int32_t s = start_;
  const std::int32_t* rows = rows_.data();
  for (std::size_t p = line_start; p < n;) {
    if (s == idle_) {
      while (p < n && idle_skips_[bytes[p]]) ++p;
      if (p >= n) break;
    }
    const int klass = class_of_byte_[bytes[p]];
    std::int32_t t = rows[s + klass];
    if (t >= 0) {
      s = t;
      ++p;
      continue;
    }
    if (t == kUnknown) {
      t = ComputeTransition(s, klass);
      rows = rows_.data();
      if (t >= 0) {
        s = t;
        ++p;
        continue;
      }
    }
    if (t == kMatch) return ByteSpan{begin, LineEndOf(text, p)};
    // A line break.
    if (states_[static_cast<std::size_t>(s / class_count_)].end_accepts) return ByteSpan{begin, p};
    p = NextLineStart(text, p);
    begin = p;
    s = start_;
  }
  if (begin < n && states_[static_cast<std::size_t>(s / class_count_)].end_accepts) {
    return ByteSpan{begin, n};
  }
  return std::nullopt;
}

int ByteSearcher::CharAt(std::string_view text, std::size_t pos, std::size_t line_end,
                         std::size_t* length) const {
  const auto byte = static_cast<unsigned char>(text[pos]);
  *length = 1;
  if (!is_lead_byte_(byte)) return byte;
  if (pos + 1 >= line_end) return LoneLead(byte);
  const auto trail = static_cast<unsigned char>(text[pos + 1]);
  if (!Pairs(byte, trail)) return byte;
  *length = 2;
  return byte * 256 + trail;
}

std::size_t ByteSearcher::CharLength(std::string_view text, std::size_t pos,
                                     std::size_t line_end) const {
  std::size_t length = 0;
  CharAt(text, pos, line_end, &length);
  return length;
}

std::size_t ByteSearcher::LongestAt(std::string_view text, std::size_t pos, std::size_t line_begin,
                                    std::size_t line_end) const {
  std::size_t best = pos;
  if (table_.Count() == 0) return best;
  int starts[2] = {0, pos == line_begin ? table_[0].NextState(kLineHeadChar) : -1};
  for (int start : starts) {
    if (start < 0) continue;
    int state = start;
    for (std::size_t k = pos;;) {
      if (k > pos && table_[state].Accepting) best = std::max(best, k);
      if (k >= line_end) {
        const int after = table_[state].NextState(kLineTailChar);
        if (k > pos && after >= 0 && table_[after].Accepting) best = std::max(best, k);
        break;
      }
      std::size_t length = 0;
      state = table_[state].NextState(CharAt(text, k, line_end, &length));
      if (state < 0) break;
      k += length;
    }
  }
  return best;
}

std::vector<ByteSpan> ByteSearcher::MatchesInLine(std::string_view text, std::size_t line_begin,
                                                  std::size_t line_end) {
  std::vector<ByteSpan> matches;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  if (!RunLine(bytes + line_begin, bytes + line_end)) return matches;
  for (std::size_t pos = line_begin; pos < line_end;) {
    const std::size_t end = LongestAt(text, pos, line_begin, line_end);
    if (end > pos) {
      matches.push_back(ByteSpan{pos, end});
      pos = end;
    } else {
      pos += CharLength(text, pos, line_end);
    }
  }
  return matches;
}

std::optional<ByteSpan> ByteSearcher::FindNext(std::string_view text, std::size_t from) {
  const std::size_t n = text.size();
  if (from > n) return std::nullopt;
  const std::size_t begin = LineStartOf(text, from);
  const std::size_t end = LineEndOf(text, from);
  for (const ByteSpan& match : MatchesInLine(text, begin, end)) {
    if (match.begin >= from) return match;
    // A match that starts before from may hide one that starts after it.
    if (match.end > from) {
      std::size_t pos = begin;
      while (pos < from) pos += CharLength(text, pos, end);
      for (; pos < end; pos += CharLength(text, pos, end)) {
        const std::size_t match_end = LongestAt(text, pos, begin, end);
        if (match_end > pos) return ByteSpan{pos, match_end};
      }
      break;
    }
  }
  for (std::size_t pos = NextLineStart(text, end); pos < n;) {
    const std::optional<ByteSpan> line = NextMatchingLine(text, pos);
    if (!line) return std::nullopt;
    const std::vector<ByteSpan> matches = MatchesInLine(text, line->begin, line->end);
    if (!matches.empty()) return matches.front();
    pos = NextLineStart(text, line->end);
  }
  return std::nullopt;
}

std::optional<ByteSpan> ByteSearcher::FindPrevious(std::string_view text, std::size_t before) {
  before = std::min(before, text.size());
  std::size_t begin = LineStartOf(text, before);
  std::size_t end = LineEndOf(text, before);
  for (;;) {
    const std::vector<ByteSpan> matches = MatchesInLine(text, begin, end);
    for (auto it = matches.rbegin(); it != matches.rend(); ++it) {
      if (it->end <= before) return *it;
    }
    if (begin == 0) return std::nullopt;
    end = begin - 1;
    if (text[end] == '\n' && end > 0 && text[end - 1] == '\r') --end;
    begin = LineStartOf(text, end);
    before = end;
  }
}

}  // namespace morvik
