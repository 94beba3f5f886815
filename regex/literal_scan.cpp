// Required literals and their search.
#include "regex/literal_scan.h"

#include <emmintrin.h>

#include <cstring>
#include <set>

namespace morvik {

namespace {

bool IsAsciiLetter(int c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

int LowerAscii(int c) {
  return c >= 'A' && c <= 'Z' ? c + 32 : c;
}

// The bytes of character value c in a line, or "" when c cannot appear there
// as these bytes.
std::string BytesOf(int c, TbmIsLeadByteFunc is_lead_byte) {
  const auto plain = [](int b) { return b != '\n' && b != '\r'; };
  if (c >= 0 && c < 256) {
    if (!plain(c) || is_lead_byte(static_cast<unsigned char>(c))) return "";
    return std::string(1, static_cast<char>(c));
  }
  const int lead = c >> 8;
  const int trail = c & 0xFF;
  if (c < 0 || c > 0xFFFF || !is_lead_byte(static_cast<unsigned char>(lead)) || trail == 0 ||
      !plain(trail)) {
    return "";
  }
  return std::string{static_cast<char>(lead), static_cast<char>(trail)};
}

bool SameFolded(unsigned char text_byte, unsigned char literal_byte, bool fold_case) {
  return text_byte == literal_byte ||
         (fold_case && IsAsciiLetter(text_byte) && LowerAscii(text_byte) == literal_byte);
}

}  // namespace

RequiredLiteral FindRequiredLiteral(const TbmREDFATable& table, TbmIsLeadByteFunc is_lead_byte) {
  RequiredLiteral literal;
  if (table.Count() == 0) return literal;
  int state = 0;
  // A pattern that starts with "^" and nothing else: its literal follows.
  const auto& start = table[0].Transitions;
  if (!start.empty() && start.back().Lo == kLineHeadChar) {
    if (start.size() != 1) return literal;
    state = start.back().Target;
  }
  constexpr std::size_t kMaxLength = 256;
  while (literal.bytes.size() < kMaxLength) {
    const TbmREState& current = table[state];
    if (current.Accepting || current.Transitions.empty()) break;
    std::set<int> values;
    int target = -1;
    bool chain = true;
    for (const TbmRETransition& t : current.Transitions) {
      if (t.Lo < 0 || (target >= 0 && t.Target != target) || t.Hi - t.Lo > 1) {
        chain = false;
        break;
      }
      target = t.Target;
      for (int c = t.Lo; c <= t.Hi; ++c) values.insert(c);
    }
    if (!chain || values.size() > 2) break;
    const int c = *values.begin();
    if (values.size() == 2) {
      const int other = *values.rbegin();
      if (!IsAsciiLetter(c) || LowerAscii(c) != LowerAscii(other) || c == other) break;
      literal.bytes += static_cast<char>(LowerAscii(c));
      literal.fold_case = true;
    } else {
      const std::string bytes = BytesOf(c, is_lead_byte);
      if (bytes.empty()) break;
      literal.bytes += bytes;
    }
    state = target;
  }
  if (literal.fold_case) {
    // Letters must be lower case for the folded comparison; a letter taken
    // exactly is then also accepted in the other case, which the automaton
    // sorts out.
    for (char& b : literal.bytes) b = static_cast<char>(LowerAscii(static_cast<unsigned char>(b)));
  }
  return literal;
}

std::size_t FindLiteral(std::string_view text, std::size_t from, const RequiredLiteral& literal) {
  const std::size_t n = text.size();
  const std::size_t m = literal.bytes.size();
  if (m == 0) return from <= n ? from : n;
  if (from > n || n - from < m) return n;
  const auto* hay = reinterpret_cast<const unsigned char*>(text.data());
  const auto* needle = reinterpret_cast<const unsigned char*>(literal.bytes.data());
  const bool fold = literal.fold_case;
  const auto matches_at = [&](std::size_t pos) {
    for (std::size_t k = 0; k < m; ++k) {
      if (!SameFolded(hay[pos + k], needle[k], fold)) return false;
    }
    return true;
  };
  // Candidates where the first and the last byte agree, sixteen at a time
  // (faster than memmem on short literals);
  // a letter is compared with bit 0x20 set, which admits a few non-letters
  // that matches_at then rejects.
  const auto or_bits = [&](unsigned char b) { return fold && IsAsciiLetter(b) ? 0x20 : 0; };
  const __m128i first_or = _mm_set1_epi8(static_cast<char>(or_bits(needle[0])));
  const __m128i first = _mm_set1_epi8(static_cast<char>(needle[0]));
  const __m128i last_or = _mm_set1_epi8(static_cast<char>(or_bits(needle[m - 1])));
  const __m128i last = _mm_set1_epi8(static_cast<char>(needle[m - 1]));
  std::size_t pos = from;
  for (; pos + 16 + m - 1 <= n; pos += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay + pos));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay + pos + m - 1));
    const __m128i eq = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(a, first_or), first),
                                     _mm_cmpeq_epi8(_mm_or_si128(b, last_or), last));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(eq));
    while (mask != 0) {
      const std::size_t hit = pos + static_cast<std::size_t>(__builtin_ctz(mask));
      if (matches_at(hit)) return hit;
      mask &= mask - 1;
    }
  }
  for (; pos + m <= n; ++pos) {
    if (matches_at(pos)) return pos;
  }
  return n;
}

namespace {

// Collects the byte strings of length bytes that every match starts with;
// false when there is no such set within limit strings.
bool CollectPrefixes(const TbmREDFATable& table, TbmIsLeadByteFunc is_lead_byte, bool lone_leads,
                     std::size_t length, std::size_t limit, std::set<std::string>& out) {
  struct Item {
    int state;
    std::string bytes;
  };
  std::vector<Item> work{{0, std::string()}};
  std::size_t expanded = 0;
  while (!work.empty()) {
    const Item item = std::move(work.back());
    work.pop_back();
    if (item.bytes.size() >= length) {
      out.insert(item.bytes);
      if (out.size() > limit) return false;
      continue;
    }
    const TbmREState& state = table[item.state];
    if (state.Accepting) return false;  // a match may end before length bytes
    for (const TbmRETransition& t : state.Transitions) {
      if (t.Lo < 0) return false;  // "^" or "$"
      if (static_cast<std::size_t>(t.Hi - t.Lo) > limit) return false;
      for (int c = t.Lo; c <= t.Hi; ++c) {
        if (++expanded > 8 * limit) return false;
        const std::string bytes = BytesOf(c, is_lead_byte);
        if (bytes.empty()) {
          // A pair with a trail byte of 0 stands for a lead byte at the end
          // of a line; other values never occur in a line.
          if (c >= 256 && (c & 0xFF) == 0 && is_lead_byte(static_cast<unsigned char>(c >> 8))) {
            return false;
          }
          if (lone_leads && c < 256 && is_lead_byte(static_cast<unsigned char>(c))) return false;
          continue;
        }
        std::string next = item.bytes + bytes;
        if (next.size() > length) next.resize(length);
        work.push_back(Item{t.Target, std::move(next)});
      }
    }
  }
  return !out.empty();
}

std::uint64_t Window(const unsigned char* p, std::size_t length) {
  std::uint64_t window = 0;
  for (std::size_t k = 0; k < length; ++k) window |= static_cast<std::uint64_t>(p[k]) << (8 * k);
  return window;
}

}  // namespace

PrefixFilter::PrefixFilter(const TbmREDFATable& table, TbmIsLeadByteFunc is_lead_byte,
                           bool lone_leads) {
  if (table.Count() == 0) return;
  constexpr std::size_t kMaxPrefixes = 50000;
  // The longest length that works: longer prefixes pass fewer windows.
  for (std::size_t length : {8, 6, 5, 4, 3}) {
    std::set<std::string> prefixes;
    if (!CollectPrefixes(table, is_lead_byte, lone_leads, length, kMaxPrefixes, prefixes)) continue;
    length_ = static_cast<int>(length);
    mask_ = length == 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * length)) - 1;
    bits_.assign((std::size_t{1} << kHashBits) / 64, 0);
    for (const std::string& prefix : prefixes) {
      const std::uint64_t hash =
          Hash(Window(reinterpret_cast<const unsigned char*>(prefix.data()), length));
      bits_[hash >> 6] |= std::uint64_t{1} << (hash & 63);
    }
    return;
  }
}

std::size_t PrefixFilter::FindCandidate(std::string_view text, std::size_t from) const {
  const std::size_t n = text.size();
  const auto length = static_cast<std::size_t>(length_);
  if (length == 0) return from;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t pos = from;
  // Eight bytes at a time while they lie within the text.
  for (; pos + 8 <= n; ++pos) {
    std::uint64_t window;
    std::memcpy(&window, bytes + pos, 8);
    if (MayStart(window & mask_)) return pos;
  }
  for (; pos + length <= n; ++pos) {
    if (MayStart(Window(bytes + pos, length))) return pos;
  }
  return n;
}

}  // namespace morvik
