// Token kind names and the pattern-error exception.
#include "regex/token.h"

#include <string>

namespace morvik {

namespace {

constexpr std::string_view kTokenKindNames[kTokenKindCount] = {
    "character",
    "character class",
    "union",
    "left parenthesis",
    "right parenthesis",
    "asterisk",
    "plus",
    "question mark",
    "left bracket",
    "negate left bracket",
    "right bracket",
    "dot",
    "line head",
    "line tail",
    "end",
    "logical or",
    "logical and",
    "logical not",
    "logical left parenthis",
    "logical right parenthis",
    "need right bracket \"]\" ",
    "invalid character class",
    "invalid escape sequence",
    "invalid character",
    "need right parenthesis",
    "need normal char or left parenthesis",
};

}  // namespace

std::string_view TokenKindName(int kind) {
  return kind >= 0 && kind < kTokenKindCount ? kTokenKindNames[kind] : std::string_view();
}

EbmREToken::EbmREToken(const TbmREToken& token)
    : RegexError(std::string(TokenKindName(token.Kind))), Token(token) {}

}  // namespace morvik
