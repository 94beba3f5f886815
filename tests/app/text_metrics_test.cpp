#include "app/document/text_metrics.h"

#include <gtest/gtest.h>

#include <string>

namespace morvik {
namespace {

struct ChangeCase {
  const char* name;
  std::string old_text;
  std::size_t offset;
  std::size_t removed;
  std::string inserted;
  TextChange expected;
};

TEST(DescribeChangeTest, WidensOnlyWhereNeighboursReadDifferently) {
  const ChangeCase cases[] = {
      {"plain insertion", "abc", 1, 0, "X", {1, 0, 1, 1, 0, 1}},
      {"plain deletion", "abc", 1, 1, "", {1, 1, 0, 1, 1, 0}},
      {"after a double-byte character",
       "\x82\xa0"
       "b",
       2,
       0,
       "X",
       {2, 0, 1, 1, 0, 1}},
      {"LF joins a lone CR", "a\r", 2, 0, "\n", {1, 1, 2, 1, 1, 1}},
      {"LF removed from CR LF", "a\r\nb", 2, 1, "", {1, 2, 1, 1, 1, 1}},
      {"insertion between CR and LF", "a\r\nb", 2, 0, "X", {1, 2, 3, 1, 1, 3}},
      {"trail byte joins a lone lead byte", "\x81", 1, 0, "@", {0, 1, 2, 0, 1, 1}},
      {"lead byte takes the next byte", "ab", 1, 0, "\x82", {1, 1, 2, 1, 1, 1}},
      {"insertion before a run of lead bytes", "\x81\x81\x81", 0, 0, "A", {0, 0, 1, 0, 0, 1}},
      {"deletion realigns a run of lead bytes", "\x81\x81\x81", 0, 1, "", {0, 3, 2, 0, 2, 1}},
      {"nothing changes", "abc", 1, 0, "", {1, 0, 0, 1, 0, 0}},
  };
  for (const ChangeCase& c : cases) {
    std::string new_text = c.old_text;
    new_text.replace(c.offset, c.removed, c.inserted);
    const TextChange got =
        DescribeChange(c.old_text, new_text, c.offset, c.removed, c.inserted.size());
    EXPECT_EQ(got.offset, c.expected.offset) << c.name;
    EXPECT_EQ(got.removed_bytes, c.expected.removed_bytes) << c.name;
    EXPECT_EQ(got.inserted_bytes, c.expected.inserted_bytes) << c.name;
    EXPECT_EQ(got.char_position, c.expected.char_position) << c.name;
    EXPECT_EQ(got.removed_chars, c.expected.removed_chars) << c.name;
    EXPECT_EQ(got.inserted_chars, c.expected.inserted_chars) << c.name;
  }
}

TEST(TextMetricsTest, CountsBreaksAndViewCharacters) {
  const struct {
    std::string text;
    std::size_t breaks;
    std::size_t chars;
  } cases[] = {
      {"", 0, 0},
      {"a\r\nb", 1, 3},
      {"a\rb\nc\r\n", 3, 6},
      {"\r\r\n\n", 3, 3},
      {std::string("\x82\xa0\0\xff\x81", 5), 0, 4},  // あ, NUL, invalid 0xFF, lone lead byte
      {"\xb1\xdf", 0, 2},                            // half-width kana
  };
  for (const auto& c : cases) {
    const TextCounts counts = CountText(c.text);
    EXPECT_EQ(counts.bytes, c.text.size());
    EXPECT_EQ(counts.breaks, c.breaks) << c.text;
    EXPECT_EQ(counts.chars, c.chars) << c.text;
    EXPECT_EQ(DecodeForView(c.text).size(), c.chars) << c.text;
  }
}

TEST(TextMetricsTest, ViewBreaksBecomeCrLf) {
  EXPECT_EQ(EncodeFromView(u"a\nb\r\nc\rd\u2029e"), "a\r\nb\r\nc\r\nd\r\ne");
  EXPECT_EQ(EncodeFromView(u"\n"), "\r\n");
  EXPECT_EQ(EncodeFromView(std::u16string{char16_t{0xDCFF}, u'\u3042'}), "\xff\x82\xa0");
  EXPECT_EQ(DecodeForView("a\r\nb\rc\nd"), u"a\nb\nc\nd");
}

TEST(TextMetricsTest, WordCharactersForTyping) {
  EXPECT_TRUE(IsWordCharacter("a"));
  EXPECT_TRUE(IsWordCharacter("_"));
  EXPECT_TRUE(IsWordCharacter("\x82\xa0"));  // あ
  EXPECT_TRUE(IsWordCharacter("\x81\x5b"));  // ー
  EXPECT_TRUE(IsWordCharacter("\xb1"));      // half-width ア
  EXPECT_FALSE(IsWordCharacter(" "));
  EXPECT_FALSE(IsWordCharacter("\x81\x40"));  // ideographic space
  EXPECT_FALSE(IsWordCharacter("\r\n"));
  EXPECT_FALSE(IsWordCharacter(","));
}

}  // namespace
}  // namespace morvik
