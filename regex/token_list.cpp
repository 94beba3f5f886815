// Tokenizing a pattern and standardising its token list.
#include "regex/token_list.h"

#include <bitset>

#include "regex/error.h"

namespace morvik {

namespace {

constexpr int kByteValues = 256;

int OperatorCharacter(int kind) {
  switch (kind) {
    case rtUnion:
      return '|';
    case rtLeftParen:
      return '(';
    case rtRightParen:
      return ')';
    case rtAsterisk:
      return '*';
    case rtPlus:
      return '+';
    case rtQuestion:
      return '?';
    case rtLeftBracket:
      return '[';
    case rtRightBracket:
      return ']';
    case rtDot:
      return '.';
    case rtLineHead:
      return '^';
    case rtLineTail:
      return '$';
    default:
      return -1;
  }
}

}  // namespace

TbmREToken TbmRETokens::MakeToken(int kind, std::pair<int, int> positions) {
  TbmREToken token;
  token.Kind = static_cast<std::uint8_t>(kind);
  token.Lo = token.Hi = OperatorCharacter(kind);
  token.StartPos = positions.first;
  token.EndPos = positions.second;
  return token;
}

TbmREToken& TbmRETokens::Tokenize(TbmREScanner& scanner) {
  ClearTokens();
  for (;;) {
    TbmREToken& token = items_.emplace_back();
    scanner.GetToken(token);
    if (token.Kind == rtEnd) return token;
  }
}

void TbmRETokens::Standardize(TbmREWchRanges& ranges) {
  ranges.ClearRanges();
  if (items_.empty()) throw RegexError("TbmRETokens.Standardize Internal Error(1)");

  // Only negated brackets change the list; a list without one is read in
  // place.
  bool negated = false;
  for (const TbmREToken& token : items_) {
    if (token.Kind == rtNegLeftBracket) {
      negated = true;
      break;
    }
  }
  std::vector<TbmREToken> snapshot;
  if (negated) {
    snapshot.swap(items_);
    items_.reserve(snapshot.size());
  }
  const std::vector<TbmREToken>& source = negated ? snapshot : items_;
  std::bitset<kByteValues> single_added;

  for (std::size_t cursor = 0; cursor < source.size(); ++cursor) {
    if (negated) items_.push_back(source[cursor]);
    const TbmREToken& token = source[cursor];
    switch (token.Kind) {
      case rtCharacter:
        // A single character that is an interval already stays one: long
        // word lists add the same few letters over and over.
        if (token.Lo == token.Hi && token.Lo >= 0 && token.Lo < kByteValues) {
          const auto byte = static_cast<std::size_t>(token.Lo);
          if (!single_added[byte]) {
            ranges.AddRange(token.Lo, token.Hi);
            single_added[byte] = true;
          }
          break;
        }
        ranges.AddRange(token.Lo, token.Hi);
        break;
      case rtCharClass:
        ranges.AddRange(token.Lo, token.Hi);
        break;
      case rtNegLeftBracket: {
        items_.back().Kind = rtLeftBracket;
        if (++cursor >= source.size()) {
          throw RegexError("TbmRETokens.Standardize Internal Error(2)");
        }
        const int first = source[cursor].StartPos;
        // A negated bracket never matches a line break.
        TbmREWchRanges complement;
        complement.AddLineBreaks();
        while (source[cursor].Kind != rtRightBracket) {
          complement.AddRange(source[cursor].Lo, source[cursor].Hi);
          if (++cursor >= source.size()) {
            throw RegexError("TbmRETokens.Standardize Internal Error(3)");
          }
        }
        const TbmREToken& close = source[cursor];
        const int last = close.StartPos;
        complement.Invert(0, 0xFFFF);
        ranges.AddRanges(complement);
        for (const TbmREWchRange& piece : complement.Items()) {
          TbmREToken& item = items_.emplace_back(
              MakeToken(piece.Lo == piece.Hi ? rtCharacter : rtCharClass, {first, last}));
          item.Lo = piece.Lo;
          item.Hi = piece.Hi;
        }
        items_.push_back(close);
        break;
      }
      case rtDot:
        ranges.AddDotRanges();
        break;
      case rtLineHead:
        ranges.AddRange('^', '^');
        break;
      case rtLineTail:
        ranges.AddRange('$', '$');
        break;
      default:
        break;
    }
  }
}

}  // namespace morvik
