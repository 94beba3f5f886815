// DecomposeScript, LinizeScript and IndentLines.
//
// Decomposition is recursive by nature (a complex block holds a decomposed,
// indented copy of its content). It runs here on explicit stacks, the match
// of every brace is found in one pass beforehand, and every line is written
// once, so deep nesting neither overflows the call stack nor costs time per
// level.
#include "data/sv_script.h"

#include <algorithm>
#include <vector>

namespace morvik {
namespace {

constexpr std::u16string_view kLineBreak = u"\r\n";
constexpr std::u16string_view kIndentUnit = u"  ";
constexpr std::size_t kNoMatch = static_cast<std::size_t>(-1);

bool IsBlankOrControl(char16_t c) {
  return c <= 0x20;
}

// Splits at CR LF, lone CR and lone LF; a final break starts no further line.
std::vector<std::u16string_view> SplitTextLines(std::u16string_view text) {
  std::vector<std::u16string_view> lines;
  std::size_t start = 0;
  for (std::size_t pos = 0; pos < text.size(); ++pos) {
    const char16_t c = text[pos];
    if (c != u'\r' && c != u'\n') continue;
    lines.push_back(text.substr(start, pos - start));
    if (c == u'\r' && pos + 1 < text.size() && text[pos + 1] == u'\n') ++pos;
    start = pos + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

// For each '{', the index of its matching '}', or kNoMatch. A '}' with no
// open block is an ordinary character. *depth receives the deepest nesting
// of a matched pair (1 for a block inside no other).
std::vector<std::size_t> MatchBraces(std::u16string_view script, std::size_t* depth) {
  std::vector<std::size_t> match(script.size(), kNoMatch);
  std::vector<std::size_t> open;
  *depth = 0;
  for (std::size_t pos = 0; pos < script.size(); ++pos) {
    if (script[pos] == u'{') {
      open.push_back(pos);
    } else if (script[pos] == u'}' && !open.empty()) {
      *depth = std::max(*depth, open.size());
      match[open.back()] = pos;
      open.pop_back();
    }
  }
  return match;
}

// A block's decomposed content is built in two phases, so that its lines are
// copied once rather than once per nesting level:
//  1. every complex block becomes a Frame whose text is kept as pieces: raw
//     text and references to the Frames of its complex sub-blocks;
//  2. the result is written top-down, each line of a block at depth d getting
//     d indent units, which is what indenting every level's text by one unit
//     (and trimming each block's tail) comes to.
struct Piece {
  std::u16string text;
  std::size_t child = kNoMatch;  // a Frame index, or kNoMatch for raw text
};

struct Frame {
  std::size_t pos = 0;  // next character to read
  std::size_t end = 0;  // one past the last character of this block's content
  std::vector<Piece> pieces;
  char16_t last = 0;  // last character of the text so far, 0 while empty

  void Append(std::u16string_view text) {
    if (text.empty()) return;
    if (pieces.empty() || pieces.back().child != kNoMatch) pieces.push_back({});
    pieces.back().text.append(text);
    last = text.back();
  }
  void AppendChild(std::size_t child) {
    pieces.push_back({{}, child});
    last = u'}';  // the child is always followed by a line with its closing brace
  }
  bool AtLineStart() const { return last == 0 || last == u'\n'; }
  void BreakLine() {
    if (!AtLineStart()) Append(kLineBreak);
  }
};

// One line of a complex block's content: text, or a complex sub-block, which
// stands on lines of its own.
struct Line {
  std::u16string text;
  std::size_t child = kNoMatch;
};

// Splits a block's pieces into lines as indenting does (at CR LF, lone CR and
// lone LF), then drops the trailing characters <= 0x20 of the last lines.
std::vector<Line> BlockLines(const Frame& frame) {
  std::vector<Line> lines;
  std::u16string current;
  bool has_text = false;     // characters after the last break
  bool after_child = false;  // the next break ends a sub-block's last line
  for (const Piece& piece : frame.pieces) {
    if (piece.child != kNoMatch) {
      lines.push_back({{}, piece.child});
      after_child = true;
      continue;
    }
    const std::u16string_view text = piece.text;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
      const char16_t c = text[pos];
      if (c != u'\r' && c != u'\n') {
        current += c;
        has_text = true;
        continue;
      }
      if (c == u'\r' && pos + 1 < text.size() && text[pos + 1] == u'\n') ++pos;
      if (after_child) {
        after_child = false;
      } else {
        lines.push_back({std::move(current)});
      }
      current.clear();
      has_text = false;
    }
  }
  if (has_text) lines.push_back({std::move(current)});
  while (!lines.empty() && lines.back().child == kNoMatch) {
    std::u16string& text = lines.back().text;
    while (!text.empty() && IsBlankOrControl(text.back())) text.pop_back();
    if (!text.empty()) break;
    lines.pop_back();
  }
  return lines;
}

// Writes a complex block's lines at the given depth, each followed by CR LF.
void WriteBlock(const std::vector<std::vector<Line>>& blocks, std::size_t block, std::size_t depth,
                std::u16string& out) {
  struct Position {
    std::size_t block, line, depth;
  };
  std::vector<Position> stack = {{block, 0, depth}};
  while (!stack.empty()) {
    Position& at = stack.back();
    if (at.line == blocks[at.block].size()) {
      stack.pop_back();
      continue;
    }
    const Line& line = blocks[at.block][at.line++];
    if (line.child != kNoMatch) {
      stack.push_back({line.child, 0, at.depth + 1});
      continue;
    }
    for (std::size_t i = 0; i < at.depth; ++i) out += kIndentUnit;
    out += line.text;
    out += kLineBreak;
  }
}

}  // namespace

std::u16string IndentLines(std::u16string_view text, std::u16string_view indent) {
  const std::vector<std::u16string_view> lines = SplitTextLines(text);
  std::u16string result;
  for (const std::u16string_view line : lines) {
    result += indent;
    result += line;
    result += kLineBreak;
  }
  while (!result.empty() && IsBlankOrControl(result.back())) result.pop_back();
  return result;
}

std::u16string DecomposeScript(std::u16string_view script) {
  std::size_t depth = 0;
  const std::vector<std::size_t> match = MatchBraces(script, &depth);
  // A brace without a match is reached on the top level (every brace inside
  // a matched block has its match inside it), so the conversion fails as a
  // whole; find that out before building anything.
  for (std::size_t pos = 0; pos < script.size(); ++pos) {
    if (script[pos] == u'{' && match[pos] == kNoMatch) {
      throw EInvalidSavraScript(kBracesDoNotClose);
    }
  }
  // The result would grow with the square of the depth.
  if (depth > kMaxScriptNesting) throw EInvalidSavraScript(kBracesNestTooDeeply);
  // complex_before[i]: how many '|' and '{' stand before index i.
  std::vector<std::size_t> complex_before(script.size() + 1, 0);
  for (std::size_t pos = 0; pos < script.size(); ++pos) {
    complex_before[pos + 1] =
        complex_before[pos] + (script[pos] == u'|' || script[pos] == u'{' ? 1 : 0);
  }

  // Phase 1: read the script into frames. frames[0] is the top level.
  std::vector<Frame> frames(1);
  frames[0].end = script.size();
  std::vector<std::size_t> open = {0};
  while (!open.empty()) {
    Frame& frame = frames[open.back()];
    if (frame.pos == frame.end) {
      const std::size_t done = open.back();
      open.pop_back();
      if (!open.empty()) {
        Frame& parent = frames[open.back()];
        parent.AppendChild(done);
        parent.Append(u"\r\n}\r\n");
      }
      continue;
    }
    const char16_t c = script[frame.pos];
    if (c == u'{') {
      const std::size_t close = match[frame.pos];
      const std::size_t inner_begin = frame.pos + 1;
      if (complex_before[close] == complex_before[inner_begin]) {
        frame.Append(script.substr(frame.pos, close + 1 - frame.pos));
        frame.pos = close + 1;
        continue;
      }
      frame.BreakLine();
      frame.Append(u"{\r\n");
      frame.pos = close + 1;
      Frame child;
      child.pos = inner_begin;
      child.end = close;
      open.push_back(frames.size());
      frames.push_back(std::move(child));  // invalidates frame
    } else if (c == u'|') {
      frame.BreakLine();
      frame.Append(u"|\r\n");
      ++frame.pos;
    } else {
      frame.Append(script.substr(frame.pos, 1));
      ++frame.pos;
    }
  }

  // Phase 2: every complex block as lines, then the top level with them.
  std::vector<std::vector<Line>> blocks(frames.size());
  for (std::size_t i = 1; i < frames.size(); ++i) blocks[i] = BlockLines(frames[i]);
  std::u16string result;
  for (const Piece& piece : frames[0].pieces) {
    if (piece.child == kNoMatch) {
      result += piece.text;
      continue;
    }
    WriteBlock(blocks, piece.child, 1, result);
    result.resize(result.size() - kLineBreak.size());  // the block's own last break is trimmed
  }
  return result;
}

std::u16string LinizeScript(std::u16string_view text) {
  std::u16string result;
  for (std::u16string_view line : SplitTextLines(text)) {
    std::size_t start = 0;
    while (start < line.size() && IsBlankOrControl(line[start])) ++start;
    result.append(line.substr(start));
  }
  return result;
}

}  // namespace morvik
