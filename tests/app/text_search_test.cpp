// Case-insensitive search on Shift_JIS character boundaries, and the UTF-8
// decoding of typed find texts.
#include "app/editor/text_search.h"

#include <gtest/gtest.h>

#include "data/text_encoding.h"

namespace morvik {
namespace {

TEST(TextSearch, FindsOnlyWholeCharactersFoldingOnlyAsciiLetters) {
  constexpr std::size_t kNone = std::string::npos;
  struct Case {
    const char* name;
    std::string text, key;
    std::size_t expected;
  };
  const Case cases[] = {
      {"case ignored both ways", "xAbC", "aBc", 1},
      {"first occurrence", "ab ab", "AB", 0},
      {"empty key", "abc", "", kNone},
      {"key longer than text", "ab", "abc", kNone},
      {"trail byte not folded (ヂ vs ア)", "\x83\x61", "\x83\x41", kNone},
      {"trail byte a-z stays as it is", "\x83\x61", "\x83\x61", 0},
      {"no start on a trail byte", "\x83\x5C\\", "\\", 2},
      {"no end inside a character", "\x83\x40", "\x83", kNone},
      {"pair across two characters", "\x83\x5C\x83\x93", "\x5C\x83", kNone},
      {"after a half-width kana",
       "\xB1"
       "a",
       "A", 1},
  };
  for (const Case& c : cases) {
    const std::optional<std::size_t> found = CaseInsensitiveSearch(c.key).FindIn(c.text);
    EXPECT_EQ(found.value_or(kNone), c.expected) << c.name;
  }
}

TEST(TextSearch, ReplaceAllGoesLeftToRightWithoutRescanning) {
  const CaseInsensitiveSearch search("ab");
  EXPECT_EQ(search.ReplaceAll("abABxaB", "abab"), "ababababxabab");
  EXPECT_EQ(search.ReplaceAll("\x83\x61"
                              "b",
                              "-"),
            "\x83\x61"
            "b");  // 61 is a trail byte
  EXPECT_EQ(search.ReplaceAll("", "-"), "");
  EXPECT_EQ(CaseInsensitiveSearch("").ReplaceAll("abc", "-"), "abc");
  EXPECT_EQ(CaseInsensitiveSearch("a").ReplaceAll("aaa", ""), "");
}

TEST(Utf8, DecodesTypedTextAndMarksMalformedBytes) {
  EXPECT_EQ(Utf8ToUtf16("aア€"), u"aア€");
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
  EXPECT_EQ(Utf8ToUtf16("a\xFF"
                        "b\xE3\x82"),
            u"a\uFFFDb\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");  // overlong
  // An encoded invalid-byte unit reaches the codec as that byte.
  EXPECT_EQ(Utf8ToSjis("\xED\xB2\x81"), "\x81");
  EXPECT_EQ(Utf8ToSjis("ア"), "\x83\x41");
}

}  // namespace
}  // namespace morvik
