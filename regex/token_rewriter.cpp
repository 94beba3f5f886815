// The dictionary frame and the ASCII ignore-case dictionary.
#include "regex/token_rewriter.h"

namespace morvik {

void TbmREDicFrame::Translate(TbmRETokens& source, TbmRETokens& dest) {
  dest.ClearTokens();
  const int count = source.Count();
  int run_start = -1;
  for (int i = 0; i < count; ++i) {
    const int kind = source[i].Kind;
    if (kind == rtCharacter) {
      if (run_start < 0) run_start = i;
      continue;
    }
    if (run_start >= 0) {
      TranslateRun(source, run_start, i, dest);
      run_start = -1;
    }
    if (kind == rtLeftBracket || kind == rtNegLeftBracket) {
      int j = i + 1;
      while (j < count && source[j].Kind != rtRightBracket) ++j;
      // The scanner closes every bracket; a list that does not is passed on
      // to its end rather than read past.
      const int group_end = j < count ? j + 1 : count;
      TranslateRun(source, i, group_end, dest);
      i = group_end - 1;
    } else {
      dest.Add(source[i]);
    }
  }
  // A run still open here has no end token after it; it is dropped with the
  // source list.
  source.ClearTokens();
}

void TbmREDicFrame::TranslateRun(TbmRETokens& source, int first, int last, TbmRETokens& dest) {
  for (int i = first; i < last; ++i) dest.Add(source[i]);
}

void TbmREAsciiIgnoreCaseDic::Translate(TbmRETokens& source, TbmRETokens& dest) {
  // Room for the longest rewriting, every letter as five tokens, so that the
  // list of a long pattern is not copied as it grows.
  int letters = 0;
  for (int i = 0; i < source.Count(); ++i) {
    const int c = source[i].Lo;
    if (source[i].Kind == rtCharacter && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) {
      ++letters;
    }
  }
  dest.ClearTokens();
  dest.Reserve(source.Count() + 4 * letters);
  TbmREDicFrame::Translate(source, dest);
}

void TbmREAsciiIgnoreCaseDic::TranslateRun(TbmRETokens& source, int first, int last,
                                           TbmRETokens& dest) {
  if (source[first].Kind != rtCharacter) {
    TbmREDicFrame::TranslateRun(source, first, last, dest);
    return;
  }
  for (int i = first; i < last; ++i) {
    const TbmREToken& token = source[i];
    const int c = token.Lo;
    const bool upper = c >= 'A' && c <= 'Z';
    const bool lower = c >= 'a' && c <= 'z';
    if (!upper && !lower) {
      dest.Add(token);
      continue;
    }
    const std::pair<int, int> positions{token.StartPos, token.EndPos};
    TbmREToken other_case = token;
    other_case.Lo = other_case.Hi = lower ? c - 32 : c + 32;
    dest.Add(TbmRETokens::MakeToken(rtLeftParen, positions));
    dest.Add(token);
    dest.Add(TbmRETokens::MakeToken(rtUnion, positions));
    dest.Add(other_case);
    dest.Add(TbmRETokens::MakeToken(rtRightParen, positions));
  }
}

}  // namespace morvik
