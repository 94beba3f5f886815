// TbmREScanner: reads a pattern through a character reader and returns it
// token by token: characters with their escapes decoded, operators, bracket
// expressions item by item, and the end.
//
// Outside brackets the operators | ( ) * + ? . ^ $ [ are recognised when
// RegExpOps is set; inside a bracket expression only "]" (not as the first
// item), "-" between two items and escapes are special. There are no named
// classes (\d is the letter d) and no counted repetition.
#ifndef MORVIK_REGEX_SCANNER_H_
#define MORVIK_REGEX_SCANNER_H_

#include <cstdint>
#include <memory>
#include <string_view>

#include "regex/readers.h"
#include "regex/token.h"

namespace morvik {

class TbmREScanner {
 public:
  explicit TbmREScanner(TbmCharCode code);

  void Reset();
  // Switches to a reader of the new code. A code without a reader raises
  // RegexError "TbmREScanner.SetCharCode: can't create reader" and leaves
  // the scanner as it was. The new reader starts with an empty text.
  void SetCharCode(TbmCharCode code);
  // The scanner keeps its own copy of the pattern.
  void SetPattern(std::string_view pattern);
  // Fills token with the next token; raises EbmREToken on a pattern error.
  // After the end every call returns the end again.
  void GetToken(TbmREToken& token);

  TbmCharCode CharCode;
  std::unique_ptr<TbmWchReader> Reader;
  // 0 outside a bracket expression; 1 right after "[" or "[^"; one more for
  // every token read inside.
  std::int32_t BracketState = 0;
  bool RegExpOps = true;
  bool LogicalOps = false;

 private:
  void ScanBracketItem(TbmREToken& token);
  // The character after a backslash; raises "invalid escape sequence" when
  // it cannot be decoded.
  int DecodeEscape(TbmREToken& token);
};

}  // namespace morvik

#endif  // MORVIK_REGEX_SCANNER_H_
