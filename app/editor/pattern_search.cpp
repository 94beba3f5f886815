#include "app/editor/pattern_search.h"

#include "data/sjis_codec.h"
#include "regex/byte_searcher.h"
#include "regex/engine.h"

namespace morvik {
namespace {

// The editor pairs only bytes that form a character of the code page and
// shows any other byte alone, so a hit never starts or ends inside what it
// shows as one character.
bool IsSjisPair(unsigned char lead, unsigned char trail) {
  const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
  return SjisCharLength(std::string_view(bytes, 2), 0) == 2;
}

TextHit HitOf(const ByteSpan& span) {
  return TextHit{span.begin, span.end - span.begin};
}

}  // namespace

struct PatternMatcher::Impl {
  TbmRExp rexp;
  std::optional<ByteSearcher> searcher;

  explicit Impl(std::string_view pattern) {
    rexp.SetCharCode(bmccShiftJIS);
    rexp.SetOption(TbmRExp::kRegExpSyntax, true);
    rexp.SetOption(TbmRExp::kIgnoreCase, true);
    rexp.SetPattern(pattern);
    searcher.emplace(rexp.GetDFATable(), bmccShiftJIS, IsSjisPair);
  }
};

PatternMatcher::PatternMatcher(std::string_view pattern_sjis)
    : impl_(std::make_unique<Impl>(pattern_sjis)) {}

PatternMatcher::~PatternMatcher() = default;

std::optional<TextHit> PatternMatcher::First(std::string_view block, std::size_t from) const {
  const std::optional<ByteSpan> span = impl_->searcher->FindNext(block, from);
  return span ? std::optional<TextHit>(HitOf(*span)) : std::nullopt;
}

std::optional<TextHit> PatternMatcher::Last(std::string_view block, std::size_t limit) const {
  const std::optional<ByteSpan> span = impl_->searcher->FindPrevious(block, limit);
  return span ? std::optional<TextHit>(HitOf(*span)) : std::nullopt;
}

}  // namespace morvik
