#include "app/editor/document_search.h"

#include <algorithm>
#include <string>

#include "regex/byte_searcher.h"

namespace morvik {
namespace {

bool IsBreak(char c) {
  return c == '\r' || c == '\n';
}

// Forward: blocks from the line holding position to the end of the text.
std::optional<TextHit> FindDown(const TRichEditEx& document, const LineBlockMatcher& matcher,
                                std::size_t position) {
  const std::size_t size = document.Length();
  std::size_t line_start = document.PositionOfLine(document.LineFromPosition(position));
  std::optional<TextHit> hit;
  document.VisitPieces(line_start, size, true, [&](std::size_t offset, std::string_view piece) {
    const std::size_t end = offset + piece.size();
    std::size_t block_end = end;
    if (end < size) {
      const std::size_t last_break = LineStartOf(piece, piece.size());
      if (last_break == 0) return true;  // the line goes on in the next piece
      block_end = offset + last_break;
    }
    std::string straddling;
    std::string_view block;
    if (line_start >= offset) {
      block = piece.substr(line_start - offset, block_end - line_start);
    } else {
      straddling = document.TextRange(line_start, block_end - line_start);
      block = straddling;
    }
    hit = matcher.First(block, position > line_start ? position - line_start : 0);
    if (hit) hit->start += line_start;
    line_start = block_end;
    return !hit;
  });
  return hit;
}

// Backward: blocks from the line holding limit to the start of the text.
std::optional<TextHit> FindUp(const TRichEditEx& document, const LineBlockMatcher& matcher,
                              std::size_t limit) {
  std::size_t line_end = document.PositionOfLine(document.LineFromPosition(limit) + 1);
  std::optional<TextHit> hit;
  document.VisitPieces(0, line_end, false, [&](std::size_t offset, std::string_view piece) {
    const std::size_t usable = std::min(offset + piece.size(), line_end) - offset;
    std::size_t start = 0;  // of the block within the piece
    if (offset > 0 && !IsBreak(document.TextRange(offset - 1, 1)[0])) {
      start = LineEndOf(piece.substr(0, usable), 0);
      if (start == usable) return true;  // the line began in an earlier piece
      start = NextLineStart(piece, start);
    }
    const std::size_t block_start = offset + start;
    if (block_start < line_end) {
      std::string straddling;
      std::string_view block;
      if (line_end <= offset + piece.size()) {
        block = piece.substr(start, line_end - block_start);
      } else {
        straddling = document.TextRange(block_start, line_end - block_start);
        block = straddling;
      }
      hit = matcher.Last(block, std::min(limit, line_end) - block_start);
      if (hit) {
        hit->start += block_start;
        return false;
      }
      line_end = block_start;
    }
    return true;
  });
  return hit;
}

}  // namespace

LiteralMatcher::LiteralMatcher(std::string_view key_sjis)
    : search_(key_sjis),
      usable_(!key_sjis.empty() && key_sjis.find_first_of("\r\n") == std::string_view::npos) {}

std::optional<TextHit> LiteralMatcher::First(std::string_view block, std::size_t from) const {
  if (!usable_) return std::nullopt;
  const std::optional<std::size_t> found = search_.ScanCandidates(
      block, from, block.size(), [&](std::size_t pos) { return search_.MatchesAt(block, pos); });
  if (!found) return std::nullopt;
  return TextHit{*found, search_.KeyLength()};
}

std::optional<TextHit> LiteralMatcher::Last(std::string_view block, std::size_t limit) const {
  const std::size_t length = search_.KeyLength();
  if (!usable_ || limit < length) return std::nullopt;
  std::optional<TextHit> last;
  search_.ScanCandidates(block, 0, limit - length + 1, [&](std::size_t pos) {
    if (search_.MatchesAt(block, pos)) last = TextHit{pos, length};
    return false;
  });
  return last;
}

std::optional<TextHit> FindInDocument(const TRichEditEx& document, const LineBlockMatcher& matcher,
                                      std::size_t position, bool down) {
  position = std::min(position, document.Length());
  return down ? FindDown(document, matcher, position) : FindUp(document, matcher, position);
}

}  // namespace morvik
