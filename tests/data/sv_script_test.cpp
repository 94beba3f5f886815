#include "data/sv_script.h"

#include <gtest/gtest.h>

#include <random>

namespace morvik {
namespace {

// Tests write ⏎ for CR LF.
std::u16string Breaks(std::u16string text) {
  std::u16string out;
  for (char16_t c : text) {
    if (c == u'⏎') {
      out += u"\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

TEST(SvScript, DecomposesAndLinizes) {
  struct Case {
    std::u16string script, decomposed;
  } cases[] = {
      {u"", u""},
      {u"abc", u"abc"},
      {u"{abc}", u"{abc}"},
      {u"a|b", u"a⏎|⏎b"},
      {u"|", u"|⏎"},
      {u"||", u"|⏎|⏎"},
      {u"x{a|b}y", u"x⏎{⏎  a⏎  |⏎  b⏎}⏎y"},
      {u"{a|{b|c}}", u"{⏎  a⏎  |⏎  {⏎    b⏎    |⏎    c⏎  }⏎}⏎"},
      {u"{a{b}c}", u"{⏎  a{b}c⏎}⏎"},
      {u"}", u"}"},
      {u"{a}}", u"{a}}"},
      {u"{a |b }", u"{⏎  a ⏎  |⏎  b⏎}⏎"},
      {u"ボ{ポ|マ}", u"ボ⏎{⏎  ポ⏎  |⏎  マ⏎}⏎"},
  };
  for (const Case& c : cases) {
    const std::u16string decomposed = DecomposeScript(c.script);
    EXPECT_EQ(decomposed, Breaks(c.decomposed));
    if (c.script != u"{a |b }") {
      EXPECT_EQ(LinizeScript(decomposed), c.script);
    }
  }
  EXPECT_EQ(LinizeScript(DecomposeScript(u"a| b")), u"a|b");
  EXPECT_EQ(LinizeScript(Breaks(u"  a⏎⏎  b  ")), u"ab  ");
  EXPECT_EQ(LinizeScript(u"\u3000a"), u"\u3000a");  // a full-width blank stays
}

// The conversion written the obvious recursive way, to check the real one.
std::u16string ReferenceDecompose(std::u16string_view s) {
  std::u16string result;
  auto at_line_start = [&] { return result.empty() || result.back() == u'\n'; };
  for (std::size_t pos = 0; pos < s.size(); ++pos) {
    if (s[pos] == u'{') {
      std::size_t end = pos + 1;
      for (int depth = 1; depth > 0; ++end) {
        if (end == s.size()) throw EInvalidSavraScript("braces do not close");
        depth += s[end] == u'{' ? 1 : s[end] == u'}' ? -1 : 0;
      }
      const std::u16string_view inner = s.substr(pos + 1, end - pos - 2);
      if (inner.find_first_of(u"|{") != std::u16string_view::npos) {
        if (!at_line_start()) result += u"\r\n";
        result += u"{\r\n" + IndentLines(ReferenceDecompose(inner), u"  ") + u"\r\n}\r\n";
      } else {
        result += s.substr(pos, end - pos);
      }
      pos = end - 1;
    } else if (s[pos] == u'|') {
      if (!at_line_start()) result += u"\r\n";
      result += u"|\r\n";
    } else {
      result += s[pos];
    }
  }
  return result;
}

TEST(SvScript, DecomposesRandomScriptsAsTheRecursiveRuleSays) {
  std::mt19937 rng(3);
  const std::u16string alphabet = u"{{}}||ab \t\r\n";
  for (int round = 0; round < 20000; ++round) {
    std::u16string script;
    for (int i = static_cast<int>(rng() % 16); i > 0; --i)
      script += alphabet[rng() % alphabet.size()];
    std::u16string expected;
    bool expect_error = false;
    try {
      expected = ReferenceDecompose(script);
    } catch (const EInvalidSavraScript&) {
      expect_error = true;
    }
    if (expect_error) {
      EXPECT_THROW(DecomposeScript(script), EInvalidSavraScript);
    } else {
      ASSERT_EQ(DecomposeScript(script), expected);
    }
  }
}

TEST(SvScript, RejectsBracesThatDoNotClose) {
  for (const std::u16string script : {u"{", u"{{a}", u"a{b|{c}", u"x|{y"}) {
    try {
      DecomposeScript(script);
      ADD_FAILURE() << "no error";
    } catch (const EInvalidSavraScript& error) {
      EXPECT_STREQ(error.what(), "braces do not close");
    }
  }
}

TEST(SvScript, IndentsLines) {
  EXPECT_EQ(IndentLines(u"", u"  "), u"");
  EXPECT_EQ(IndentLines(u"a\rb\nc", u"  "), u"  a\r\n  b\r\n  c");
  EXPECT_EQ(IndentLines(u"a\r\n \r\n\t", u"  "), u"  a");
}

TEST(SvScript, HandlesDeepNestingWithoutRecursion) {
  const std::u16string open(100'000, u'{');
  EXPECT_THROW(DecomposeScript(open), EInvalidSavraScript);
  // Only the innermost block is simple, and the others hold a brace: a
  // thousand levels make a result of about a million characters.
  std::u16string deep = std::u16string(1000, u'{') + u"a|b" + std::u16string(1000, u'}');
  const std::u16string result = DecomposeScript(deep);
  EXPECT_EQ(LinizeScript(result), deep);

  // Past the limit (and far past it, which must fail fast, not after
  // building a result of 10^10 characters), and an unclosed brace first.
  const struct {
    std::size_t levels;
    const char* suffix;
    const char* message;
  } refused[] = {
      {kMaxScriptNesting + 1, "", "braces nest too deeply"},
      {100'000, "", "braces nest too deeply"},
      {100'000, "{", "braces do not close"},
  };
  for (const auto& r : refused) {
    const std::u16string script =
        std::u16string(r.levels, u'{') + u"|" + std::u16string(r.levels, u'}') +
        std::u16string(r.suffix, r.suffix + std::char_traits<char>::length(r.suffix));
    try {
      DecomposeScript(script);
      ADD_FAILURE() << r.levels;
    } catch (const EInvalidSavraScript& error) {
      EXPECT_STREQ(error.what(), r.message);
    }
  }
}

}  // namespace
}  // namespace morvik
