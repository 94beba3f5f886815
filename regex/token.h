// The token record of the pattern scanner, its kinds, and EbmREToken, the
// exception that reports a pattern error together with the offending token.
#ifndef MORVIK_REGEX_TOKEN_H_
#define MORVIK_REGEX_TOKEN_H_

#include <cstdint>
#include <string_view>

#include "regex/error.h"

namespace morvik {

enum TbmRETokenKind : std::uint8_t {
  rtCharacter = 0,
  rtCharClass = 1,
  rtUnion = 2,
  rtLeftParen = 3,
  rtRightParen = 4,
  rtAsterisk = 5,
  rtPlus = 6,
  rtQuestion = 7,
  rtLeftBracket = 8,
  rtNegLeftBracket = 9,
  rtRightBracket = 10,
  rtDot = 11,
  rtLineHead = 12,
  rtLineTail = 13,
  rtEnd = 14,
  rtLogicalOr = 15,
  rtLogicalAnd = 16,
  rtLogicalNot = 17,
  rtLogicalLeftParen = 18,
  rtLogicalRightParen = 19,
  // Error kinds: never returned as tokens. A stage that finds an error writes
  // one of them into the offending token and raises EbmREToken with it.
  rtErrNeedRightBracket = 20,
  rtErrInvalidCharClass = 21,
  rtErrInvalidEscape = 22,
  rtErrInvalidCharacter = 23,
  rtErrNeedRightParen = 24,
  rtErrNeedNormalChar = 25,
};

inline constexpr int kTokenKindCount = 26;

// The name of a kind ("character", "need right parenthesis", ...); it is the
// message of EbmREToken. An empty string for a value outside the table.
std::string_view TokenKindName(int kind);

struct TbmREToken {
  std::uint8_t Kind = rtCharacter;
  // The character, the first character of a range, the operator's own
  // character, or -1 for the end.
  std::int32_t Lo = 0;
  std::int32_t Hi = 0;
  // Reader positions (byte offsets into the pattern) before and after.
  std::int32_t StartPos = 0;
  std::int32_t EndPos = 0;
};

class EbmREToken : public RegexError {
 public:
  explicit EbmREToken(const TbmREToken& token);

  TbmREToken Token;
};

}  // namespace morvik

#endif  // MORVIK_REGEX_TOKEN_H_
