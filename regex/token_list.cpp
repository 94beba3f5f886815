// Tokenizing a pattern and standardising its token list.
#include "regex/token_list.h"

#include "regex/error.h"

namespace morvik {

namespace {

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

std::unique_ptr<TbmREToken> TbmRETokens::NewToken(int kind, std::pair<int, int> positions) {
  auto token = std::make_unique<TbmREToken>();
  token->Kind = static_cast<std::uint8_t>(kind);
  token->Lo = token->Hi = OperatorCharacter(kind);
  token->StartPos = positions.first;
  token->EndPos = positions.second;
  return token;
}

TbmREToken& TbmRETokens::Tokenize(TbmREScanner& scanner) {
  ClearTokens();
  for (;;) {
    items_.push_back(std::make_unique<TbmREToken>());
    TbmREToken& token = *items_.back();
    scanner.GetToken(token);
    if (token.Kind == rtEnd) return token;
  }
}

void TbmRETokens::Standardize(TbmREWchRanges& ranges) {
  ranges.ClearRanges();
  if (items_.empty()) throw RegexError("TbmRETokens.Standardize Internal Error(1)");

  // Records move from the snapshot back into the list; only the items of
  // negated brackets are freed and replaced.
  std::vector<std::unique_ptr<TbmREToken>> snapshot;
  snapshot.swap(items_);
  items_.reserve(snapshot.size());

  for (std::size_t cursor = 0; cursor < snapshot.size(); ++cursor) {
    items_.push_back(std::move(snapshot[cursor]));
    TbmREToken& token = *items_.back();
    switch (token.Kind) {
      case rtCharacter:
      case rtCharClass:
        ranges.AddRange(token.Lo, token.Hi);
        break;
      case rtNegLeftBracket: {
        token.Kind = rtLeftBracket;
        if (++cursor >= snapshot.size()) {
          throw RegexError("TbmRETokens.Standardize Internal Error(2)");
        }
        const int first = snapshot[cursor]->StartPos;
        // A negated bracket never matches a line break.
        TbmREWchRanges complement;
        complement.AddLineBreaks();
        while (snapshot[cursor]->Kind != rtRightBracket) {
          complement.AddRange(snapshot[cursor]->Lo, snapshot[cursor]->Hi);
          snapshot[cursor].reset();
          if (++cursor >= snapshot.size()) {
            throw RegexError("TbmRETokens.Standardize Internal Error(3)");
          }
        }
        std::unique_ptr<TbmREToken> close = std::move(snapshot[cursor]);
        const int last = close->StartPos;
        complement.Invert(0, 0xFFFF);
        ranges.AddRanges(complement);
        for (const TbmREWchRange& piece : complement.Items()) {
          auto item = NewToken(piece.Lo == piece.Hi ? rtCharacter : rtCharClass, {first, last});
          item->Lo = piece.Lo;
          item->Hi = piece.Hi;
          items_.push_back(std::move(item));
        }
        items_.push_back(std::move(close));
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
