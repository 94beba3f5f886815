// The pattern scanner.
#include "regex/scanner.h"

#include "regex/error.h"

namespace morvik {

namespace {
constexpr int kBackslash = '\\';
}  // namespace

TbmREScanner::TbmREScanner(TbmCharCode code) : CharCode(code), Reader(bmccCreateReader(code)) {
  if (!Reader) throw RegexError("TbmREScanner.SetCharCode: can't create reader");
}

void TbmREScanner::Reset() {
  Reader->Reset();
  BracketState = 0;
}

void TbmREScanner::SetCharCode(TbmCharCode code) {
  if (code == CharCode) return;
  std::unique_ptr<TbmWchReader> reader = bmccCreateReader(code);
  if (!reader) throw RegexError("TbmREScanner.SetCharCode: can't create reader");
  CharCode = code;
  Reader = std::move(reader);
  Reset();
}

void TbmREScanner::SetPattern(std::string_view pattern) {
  Reader->SetText(pattern);
  BracketState = 0;
}

int TbmREScanner::DecodeEscape(TbmREToken& token) {
  const int value = Reader->ReadEscape();
  if (value == -1) {
    token.Kind = rtErrInvalidEscape;
    token.EndPos = Reader->GetPos();
    throw EbmREToken(token);
  }
  return value;
}

void TbmREScanner::GetToken(TbmREToken& token) {
  token.StartPos = Reader->GetPos();
  const int c = Reader->ReadChar();
  token.Lo = token.Hi = c;
  token.EndPos = Reader->GetPos();
  token.Kind = rtCharacter;

  if (BracketState > 0) {
    ScanBracketItem(token);
    return;
  }
  if (c == -1) {
    token.Kind = rtEnd;
    return;
  }
  if (c == kBackslash && (RegExpOps || LogicalOps)) {
    const int value = DecodeEscape(token);
    token.Kind = rtCharacter;
    token.Lo = token.Hi = value;
    token.EndPos = Reader->GetPos();
    return;
  }
  if (RegExpOps) {
    switch (c) {
      case '|':
        token.Kind = rtUnion;
        return;
      case '(':
        token.Kind = rtLeftParen;
        return;
      case ')':
        token.Kind = rtRightParen;
        return;
      case '*':
        token.Kind = rtAsterisk;
        return;
      case '+':
        token.Kind = rtPlus;
        return;
      case '?':
        token.Kind = rtQuestion;
        return;
      case '.':
        token.Kind = rtDot;
        return;
      case '^':
        token.Kind = rtLineHead;
        return;
      case '$':
        token.Kind = rtLineTail;
        return;
      case '[':
        BracketState = 1;
        if (Reader->ReadChar() == '^') {
          token.Kind = rtNegLeftBracket;
          token.EndPos = Reader->GetPos();
        } else {
          token.Kind = rtLeftBracket;
          Reader->UnreadChar();
        }
        return;
      default:
        break;
    }
  }
  if (LogicalOps) {
    switch (c) {
      case '/':
        token.Kind = rtLogicalOr;
        return;
      case '&':
        token.Kind = rtLogicalAnd;
        return;
      case '!':
        token.Kind = rtLogicalNot;
        return;
      case '{':
        token.Kind = rtLogicalLeftParen;
        return;
      case '}':
        token.Kind = rtLogicalRightParen;
        return;
      default:
        break;
    }
  }
}

void TbmREScanner::ScanBracketItem(TbmREToken& token) {
  ++BracketState;
  int c = token.Lo;
  if (c == -1) {
    token.Kind = rtErrNeedRightBracket;
    throw EbmREToken(token);
  }
  if (c == ']' && BracketState > 2) {
    token.Kind = rtRightBracket;
    BracketState = 0;
    return;
  }
  if (c == kBackslash) c = DecodeEscape(token);

  const int next = Reader->ReadChar();
  if (next == '-') {
    int hi = Reader->ReadChar();
    if (hi == ']' || hi == -1) {
      // "-" before "]" or at the end is an ordinary character: put both back.
      Reader->UnreadChar();
    } else {
      if (hi == kBackslash) hi = DecodeEscape(token);
      token.Kind = rtCharClass;
      token.EndPos = Reader->GetPos();
      token.Lo = c;
      token.Hi = hi;
      if (c > hi) {
        token.Kind = rtErrInvalidCharClass;
        throw EbmREToken(token);
      }
      return;
    }
  }
  Reader->UnreadChar();
  token.Kind = rtCharacter;
  token.Lo = token.Hi = c;
  token.EndPos = Reader->GetPos();
}

}  // namespace morvik
