// Dictionaries: rewriters of a scanned token list, applied before it is
// standardised. The frame walks the list and hands runs of plain characters
// (and whole bracket groups) to TranslateRun; the one concrete dictionary
// makes the 52 ASCII letters outside brackets match in either case.
#ifndef MORVIK_REGEX_TOKEN_REWRITER_H_
#define MORVIK_REGEX_TOKEN_REWRITER_H_

#include "regex/token_list.h"

namespace morvik {

class TbmREDic {
 public:
  virtual ~TbmREDic() = default;
  // Rewrites source into dest. Afterwards source is empty and dest holds
  // every token of source, rewritten or as it was, in order.
  virtual void Translate(TbmRETokens& source, TbmRETokens& dest) = 0;
};

class TbmREDicFrame : public TbmREDic {
 public:
  void Translate(TbmRETokens& source, TbmRETokens& dest) override;
  // Appends the rewriting of source[first, last) to dest; the frame copies
  // the tokens unchanged.
  virtual void TranslateRun(TbmRETokens& source, int first, int last, TbmRETokens& dest);
};

// A letter c outside brackets becomes the group (c|C).
class TbmREAsciiIgnoreCaseDic : public TbmREDicFrame {
 public:
  void Translate(TbmRETokens& source, TbmRETokens& dest) override;
  void TranslateRun(TbmRETokens& source, int first, int last, TbmRETokens& dest) override;
};

}  // namespace morvik

#endif  // MORVIK_REGEX_TOKEN_REWRITER_H_
