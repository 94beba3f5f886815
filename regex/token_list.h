// TbmRETokens: the token list that carries a pattern from the scanner to the
// syntax-tree builder.
//
// Tokenize fills it from the scanner. Standardize then prepares it for
// parsing in one pass: it builds the pattern's alphabet partition from every
// character set the pattern uses, and rewrites each negated bracket
// expression into a plain one that lists the pieces of its complement, so that
// the later stages see positive character sets only.
#ifndef MORVIK_REGEX_TOKEN_LIST_H_
#define MORVIK_REGEX_TOKEN_LIST_H_

#include <memory>
#include <utility>
#include <vector>

#include "regex/char_ranges.h"
#include "regex/scanner.h"
#include "regex/token.h"

namespace morvik {

class TbmRETokens {
 public:
  TbmRETokens() = default;
  TbmRETokens(const TbmRETokens&) = delete;
  TbmRETokens& operator=(const TbmRETokens&) = delete;
  virtual ~TbmRETokens() = default;

  virtual void ClearTokens() { items_.clear(); }

  // Reads tokens until the end token; returns the last token read. A pattern
  // error passes through, leaving the tokens read so far in the list, the last
  // of them the offending token with its error kind.
  TbmREToken& Tokenize(TbmREScanner& scanner);

  // Rewrites negated bracket expressions in place and rebuilds ranges as the
  // partition of the whole list. Raises RegexError
  // "TbmRETokens.Standardize Internal Error(1)" for an empty list, "(2)" for a
  // negated bracket at the end and "(3)" for one that is never closed.
  void Standardize(TbmREWchRanges& ranges);

  // A new token, in no list yet. Lo and Hi are the operator's own character
  // for the operator kinds, -1 otherwise.
  static std::unique_ptr<TbmREToken> NewToken(int kind, std::pair<int, int> positions);

  int Count() const { return static_cast<int>(items_.size()); }
  TbmREToken& operator[](int index) { return *items_[index]; }
  const TbmREToken& operator[](int index) const { return *items_[index]; }
  void Add(std::unique_ptr<TbmREToken> token) { items_.push_back(std::move(token)); }
  // Hands the record at index over to the caller; the slot stays empty until
  // the list is cleared. Used by dictionaries that move records between lists.
  std::unique_ptr<TbmREToken> Take(int index) { return std::move(items_[index]); }

 private:
  std::vector<std::unique_ptr<TbmREToken>> items_;
};

}  // namespace morvik

#endif  // MORVIK_REGEX_TOKEN_LIST_H_
