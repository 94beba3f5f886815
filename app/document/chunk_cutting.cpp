#include "app/document/chunk_cutting.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "app/document/text_metrics.h"

namespace morvik {
namespace {

// Where the last CR or LF of text is, or npos.
std::size_t LastBreakIn(std::string_view text) {
  const auto last_of = [text](char c) -> std::size_t {
    const void* found = memrchr(text.data(), c, text.size());
    return found == nullptr
               ? std::string_view::npos
               : static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
  };
  const std::size_t lf = last_of('\n');
  const std::size_t cr = last_of('\r');
  if (lf == std::string_view::npos) return cr;
  if (cr == std::string_view::npos) return lf;
  return std::max(lf, cr);
}

}  // namespace

std::size_t ChunkEnd(std::string_view text, std::size_t pos) {
  if (text.size() - pos <= kMaxChunk) return text.size();
  const std::string_view window = text.substr(pos + kMinChunk, kMaxChunk - kMinChunk - 1);
  // Data files break with CR LF, so an LF is the common find; any break will do.
  std::size_t brk = window.find('\n', kTargetChunk - kMinChunk);
  if (brk == std::string_view::npos) brk = window.find('\r', kTargetChunk - kMinChunk);
  if (brk == std::string_view::npos) brk = LastBreakIn(window.substr(0, kTargetChunk - kMinChunk));
  if (brk != std::string_view::npos) {
    std::size_t end = pos + kMinChunk + brk + 1;
    if (text[end - 1] == '\r' && end < text.size() && text[end] == '\n') ++end;
    return end;
  }
  // A long line: cut inside it, on a character boundary, stepping over
  // ASCII other than CR a word at a time (each such byte is a character).
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Fu;
  constexpr std::uint64_t kCrs = 0x0D0D0D0D0D0D0D0Du;
  std::size_t end = pos;
  while (end < pos + kTargetChunk) {
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + end, 8);  // kMaxChunk bytes follow pos
    const std::uint64_t not_cr = word ^ kCrs;
    const std::uint64_t has_cr = ~(((not_cr & kLow7) + kLow7) | not_cr | kLow7);
    if (((word & kHighBits) | has_cr) == 0) {
      end += 8;
    } else {
      end = NextCharBoundary(text, end);
    }
  }
  return end;
}

}  // namespace morvik
