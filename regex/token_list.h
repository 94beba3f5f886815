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
  static TbmREToken MakeToken(int kind, std::pair<int, int> positions);
  static std::unique_ptr<TbmREToken> NewToken(int kind, std::pair<int, int> positions) {
    return std::make_unique<TbmREToken>(MakeToken(kind, positions));
  }

  // The list holds its tokens by value: a long pattern has hundreds of
  // thousands of them, and rewriting copies them between lists. A reference
  // from operator[] lasts until the list next grows.
  int Count() const { return static_cast<int>(items_.size()); }
  TbmREToken& operator[](int index) { return items_[static_cast<std::size_t>(index)]; }
  const TbmREToken& operator[](int index) const { return items_[static_cast<std::size_t>(index)]; }
  void Add(const TbmREToken& token) { items_.push_back(token); }
  void Add(std::unique_ptr<TbmREToken> token) { items_.push_back(*token); }
  void Reserve(int count) { items_.reserve(static_cast<std::size_t>(count)); }

 private:
  std::vector<TbmREToken> items_;
};

}  // namespace morvik

#endif  // MORVIK_REGEX_TOKEN_LIST_H_
