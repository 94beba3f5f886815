#include "app/editor/pattern_search.h"

#include "app/editor/text_search.h"
#include "regex/byte_searcher.h"
#include "regex/engine.h"

namespace morvik {
namespace {

// Whether pos starts a character of the editor's line holding it. The
// searcher pairs a lead byte with whatever byte follows, as the engine's
// reader does; the editor pairs only bytes that form a character of the code
// page, so on invalid bytes the two may disagree, and a hit must start and
// end where the editor's characters do.
bool IsEditorCharStart(std::string_view text, std::size_t pos) {
  const std::size_t line_start = LineStartOf(text, pos);
  CharBoundaries boundaries(text.substr(line_start));
  return boundaries.IsCharStart(pos - line_start);
}

bool OnEditorBoundaries(std::string_view text, const ByteSpan& span) {
  return IsEditorCharStart(text, span.begin) && IsEditorCharStart(text, span.end);
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
    searcher.emplace(rexp.GetDFATable(), bmccShiftJIS);
  }
};

PatternMatcher::PatternMatcher(std::string_view pattern_sjis)
    : impl_(std::make_unique<Impl>(pattern_sjis)) {}

PatternMatcher::~PatternMatcher() = default;

std::optional<TextHit> PatternMatcher::First(std::string_view block, std::size_t from) const {
  for (std::optional<ByteSpan> span = impl_->searcher->FindNext(block, from); span;
       span = impl_->searcher->FindNext(block, span->begin + 1)) {
    if (OnEditorBoundaries(block, *span)) return HitOf(*span);
  }
  return std::nullopt;
}

std::optional<TextHit> PatternMatcher::Last(std::string_view block, std::size_t limit) const {
  for (std::optional<ByteSpan> span = impl_->searcher->FindPrevious(block, limit); span;
       span = impl_->searcher->FindPrevious(block, span->end - 1)) {
    if (OnEditorBoundaries(block, *span)) return HitOf(*span);
  }
  return std::nullopt;
}

}  // namespace morvik
