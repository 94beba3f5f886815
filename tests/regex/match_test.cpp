// The line matcher, checked on fixed cases and against a small backtracking
// matcher of the same syntax on generated patterns.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "regex/engine.h"
#include "regex/line_matcher.h"

namespace morvik {
namespace {

constexpr int kHead = -2;
constexpr int kTail = -3;

TEST(MatcherTest, LinesThatContainAMatch) {
  struct Case {
    const char* pattern;
    const char* line;
    bool contains;
  } cases[] = {
      {"b", "abc", true},
      {"^b", "abc", false},
      {"^a", "abc", true},
      {"c$", "abc", true},
      {"b$", "abc", false},
      {"^$", "", true},
      {"^$", "a", false},
      {"", "xyz", true},
      {"a^b", "a^b", true},
      {"a$b", "ab", false},
      {"(a|b)*abb", "xxbabbx", true},
      {"x.z", "x\nz", false},
      {"[^a]", "\r\n", false},
      // A trail byte 0x5C is never a backslash, 0x7C never a bar.
      {"\\\\", "\x95\x5c", false},
      {"\\\\", "a\\", true},
      {"[|]", "\x83\x7c", false},
      {"\x95\x5c", "x\x95\x5cy", true},
  };
  for (const Case& c : cases) {
    TbmRExp rexp;
    rexp.SetCharCode(bmccShiftJIS);
    rexp.SetPattern(c.pattern);
    DfaLineMatcher matcher(rexp.GetDFATable());
    EXPECT_EQ(matcher.Contains(ReadCharacterValues(bmccShiftJIS, c.line)), c.contains)
        << c.pattern << " / " << c.line;
  }
}

// The reference: an expression tree and a matcher that follows every choice.
struct Expr {
  enum Kind { kChars, kHeadAnchor, kTailAnchor, kEmpty, kCat, kAlt, kStar, kPlus, kOpt } kind;
  std::function<bool(int)> accepts;
  std::vector<std::shared_ptr<Expr>> kids;
};
using ExprPtr = std::shared_ptr<Expr>;

ExprPtr Chars(std::function<bool(int)> accepts) {
  return std::make_shared<Expr>(Expr{Expr::kChars, std::move(accepts), {}});
}
ExprPtr Node(Expr::Kind kind, std::vector<ExprPtr> kids) {
  return std::make_shared<Expr>(Expr{kind, nullptr, std::move(kids)});
}
ExprPtr Literal(int c) {
  return Chars([c](int v) { return v == c; });
}

// Every end position of a match of e that starts at one of starts.
std::set<std::size_t> Ends(const Expr& e, const std::vector<int>& s,
                           const std::set<std::size_t>& starts) {
  std::set<std::size_t> out;
  auto symbol = [&](const std::function<bool(int)>& ok) {
    for (std::size_t p : starts) {
      if (p < s.size() && ok(s[p])) out.insert(p + 1);
    }
  };
  switch (e.kind) {
    case Expr::kChars:
      symbol([&](int v) { return v >= 0 && e.accepts(v); });
      break;
    case Expr::kHeadAnchor:
      symbol([](int v) { return v == kHead; });
      break;
    case Expr::kTailAnchor:
      symbol([](int v) { return v == kTail; });
      break;
    case Expr::kEmpty:
      out = starts;
      break;
    case Expr::kCat: {
      out = starts;
      for (const auto& kid : e.kids) out = Ends(*kid, s, out);
      break;
    }
    case Expr::kAlt:
      for (const auto& kid : e.kids) {
        for (std::size_t p : Ends(*kid, s, starts)) out.insert(p);
      }
      break;
    case Expr::kStar:
    case Expr::kPlus: {
      std::set<std::size_t> frontier = e.kind == Expr::kStar ? starts : Ends(*e.kids[0], s, starts);
      out = frontier;
      while (!frontier.empty()) {
        std::set<std::size_t> next;
        for (std::size_t p : Ends(*e.kids[0], s, frontier)) {
          if (out.insert(p).second) next.insert(p);
        }
        frontier.swap(next);
      }
      break;
    }
    case Expr::kOpt:
      out = Ends(*e.kids[0], s, starts);
      out.insert(starts.begin(), starts.end());
      break;
  }
  return out;
}

bool ReferenceAccepts(const Expr& e, const std::vector<int>& line, bool head_allowed,
                      bool tail_allowed) {
  for (bool head : {false, true}) {
    for (bool tail : {false, true}) {
      if ((head && !head_allowed) || (tail && !tail_allowed)) continue;
      std::vector<int> s;
      if (head) s.push_back(kHead);
      s.insert(s.end(), line.begin(), line.end());
      if (tail) s.push_back(kTail);
      if (Ends(e, s, {0}).count(s.size())) return true;
    }
  }
  return false;
}

bool ReferenceContains(const Expr& e, const std::vector<int>& line) {
  for (std::size_t i = 0; i <= line.size(); ++i) {
    for (std::size_t j = i; j <= line.size(); ++j) {
      std::vector<int> part(line.begin() + static_cast<std::ptrdiff_t>(i),
                            line.begin() + static_cast<std::ptrdiff_t>(j));
      if (ReferenceAccepts(e, part, i == 0, j == line.size())) return true;
    }
  }
  return false;
}

// Generates a pattern and its reference tree together. Anchors appear where
// their role is plain from the text: "^" opening or "$" closing a top-level
// alternative are anchors; "^" after a character and "$" before one, in a
// group of their own, are the characters themselves.
class PatternGenerator {
 public:
  explicit PatternGenerator(unsigned seed) : random_(seed) {}

  std::pair<std::string, ExprPtr> Pattern() {
    std::string text;
    std::vector<ExprPtr> alternatives;
    const int count = Pick(3) == 0 ? 2 : 1;
    for (int i = 0; i < count; ++i) {
      if (i > 0) text += '|';
      std::vector<ExprPtr> parts;
      if (Pick(4) == 0) {
        text += '^';
        parts.push_back(Node(Expr::kHeadAnchor, {}));
      }
      parts.push_back(Sequence(text, 2));
      if (Pick(4) == 0) {
        text += '$';
        parts.push_back(Node(Expr::kTailAnchor, {}));
      }
      alternatives.push_back(Node(Expr::kCat, parts));
    }
    return {text, Node(Expr::kAlt, alternatives)};
  }

 private:
  int Pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }

  ExprPtr Sequence(std::string& text, int depth) {
    std::vector<ExprPtr> parts;
    const int count = Pick(4);
    for (int i = 0; i < count; ++i) parts.push_back(Repeated(text, depth));
    return parts.empty() ? Node(Expr::kEmpty, {}) : Node(Expr::kCat, parts);
  }

  ExprPtr Union(std::string& text, int depth) {
    std::vector<ExprPtr> alternatives{Sequence(text, depth)};
    while (Pick(3) == 0) {
      text += '|';
      alternatives.push_back(Sequence(text, depth));
    }
    return Node(Expr::kAlt, alternatives);
  }

  ExprPtr Repeated(std::string& text, int depth) {
    ExprPtr atom = Atom(text, depth);
    switch (Pick(6)) {
      case 0:
        text += '*';
        return Node(Expr::kStar, {atom});
      case 1:
        text += '+';
        return Node(Expr::kPlus, {atom});
      case 2:
        text += '?';
        return Node(Expr::kOpt, {atom});
      default:
        return atom;
    }
  }

  ExprPtr Atom(std::string& text, int depth) {
    static const char kLetters[] = "abc";
    switch (Pick(depth > 0 ? 9 : 7)) {
      case 0:
      case 1: {
        const char c = kLetters[Pick(3)];
        text += c;
        return Literal(c);
      }
      case 2:
        text += '.';
        return Chars([](int v) { return v != 10 && v != 13 && v <= 0xFFFF; });
      case 3:
        text += Pick(2) ? "\\." : "\\x0061";  // four digits: a hex escape takes up to four
        return Literal(text.back() == '.' ? '.' : 'a');
      case 4: {
        const char c = kLetters[Pick(3)];
        text += '(';
        text += c;
        text += "^)";
        return Node(Expr::kCat, {Literal(c), Literal('^')});
      }
      case 5: {
        const char c = kLetters[Pick(3)];
        text += "($";
        text += c;
        text += ')';
        return Node(Expr::kCat, {Literal('$'), Literal(c)});
      }
      case 6:
        return Bracket(text);
      default: {
        text += '(';
        ExprPtr inner = Union(text, depth - 1);
        text += ')';
        return inner;
      }
    }
  }

  ExprPtr Bracket(std::string& text) {
    struct Item {
      const char* text;
      int lo;
      int hi;
    };
    static const Item kItems[] = {{"a", 'a', 'a'},   {"b", 'b', 'b'},   {"c", 'c', 'c'},
                                  {"a-b", 'a', 'b'}, {"b-c", 'b', 'c'}, {"$", '$', '$'}};
    const bool negated = Pick(3) == 0;
    std::vector<Item> items;
    const int count = 1 + Pick(3);
    for (int i = 0; i < count; ++i) items.push_back(kItems[Pick(6)]);
    text += negated ? "[^" : "[";
    for (const Item& item : items) text += item.text;
    text += ']';
    return Chars([items, negated](int v) {
      bool in = false;
      for (const Item& item : items) in = in || (item.lo <= v && v <= item.hi);
      return negated ? !in && v != 10 && v != 13 && v <= 0xFFFF : in;
    });
  }

  std::mt19937 random_;
};

TEST(MatcherTest, AgreesWithBacktrackingOnGeneratedPatterns) {
  PatternGenerator generator(20261208);
  std::mt19937 random(7);
  const int kAlphabet[] = {'a', 'b', 'c', '^', '$', '.', 'x', 10};
  int matched_lines = 0;
  for (int round = 0; round < 1500; ++round) {
    const auto [pattern, expr] = generator.Pattern();
    TbmRExp rexp;
    rexp.SetCharCode(bmccShiftJIS);
    rexp.SetPattern(pattern);
    DfaLineMatcher matcher(rexp.GetDFATable());
    for (int k = 0; k < 12; ++k) {
      std::vector<int> line(random() % 6);
      for (int& c : line) c = kAlphabet[random() % 8];
      const bool whole = ReferenceAccepts(*expr, line, true, true);
      ASSERT_EQ(matcher.AcceptsWhole(line), whole) << pattern << " line of " << line.size();
      const bool contains = ReferenceContains(*expr, line);
      ASSERT_EQ(matcher.Contains(line), contains) << pattern << " line of " << line.size();
      matched_lines += whole ? 1 : 0;
    }
  }
  // The generated cases must exercise both answers.
  EXPECT_GT(matched_lines, 500);
}

TEST(MatcherTest, IgnoreCaseFoldsAsciiLettersOnly) {
  TbmRExp rexp;
  rexp.SetCharCode(bmccWestern);
  rexp.SetOption(TbmRExp::kIgnoreCase, true);
  rexp.SetPattern("ab[c]\xe9");
  DfaLineMatcher matcher(rexp.GetDFATable());
  EXPECT_TRUE(matcher.Contains(ReadCharacterValues(bmccWestern, "xAbc\xe9")));
  EXPECT_FALSE(matcher.Contains(ReadCharacterValues(bmccWestern, "xAbC\xe9")));
  EXPECT_FALSE(matcher.Contains(ReadCharacterValues(bmccWestern, "xAbc\xc9")));
}

}  // namespace
}  // namespace morvik
