#include "data/line_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>

namespace morvik {
namespace {

std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

TEST(SortCommand, SortsTheChosenRange) {
  const std::string prior = R"("{PRIOR}")";
  const std::string end = R"("{EndOfData}","{Dummy}")";
  const std::string blocks =
      Lines({R"("z","")", prior, R"("c","")", R"("a","")", R"("b","")", prior, R"("y","")",
             R"("x","")", end, R"("q","")", R"("p","")"});
  struct Case {
    const char* name;
    std::string text;
    std::size_t caret_line;
    bool whole, ascending;
    std::string expected;
  } cases[] = {
      {"block ascending", blocks, 3, false, true,
       Lines({R"("z","")", prior, R"("a","")", R"("b","")", R"("c","")", prior, R"("y","")",
              R"("x","")", end, R"("q","")", R"("p","")"})},
      {"block descending", blocks, 3, false, false,
       Lines({R"("z","")", prior, R"("c","")", R"("b","")", R"("a","")", prior, R"("y","")",
              R"("x","")", end, R"("q","")", R"("p","")"})},
      {"block up to the end marker", blocks, 6, false, true,
       Lines({R"("z","")", prior, R"("c","")", R"("a","")", R"("b","")", prior, R"("x","")",
              R"("y","")", end, R"("q","")", R"("p","")"})},
      {"block below the end marker", blocks, 10, false, true,
       Lines({R"("z","")", prior, R"("c","")", R"("a","")", R"("b","")", prior, R"("y","")",
              R"("x","")", end, R"("p","")", R"("q","")"})},
      {"whole document sorts markers among records", blocks, 0, true, true,
       Lines({R"("a","")", R"("b","")", R"("c","")", R"("x","")", R"("y","")", R"("z","")", prior,
              prior, end, R"("q","")", R"("p","")"})},
      {"caret on a priority marker", blocks, 1, false, true, blocks},
      {"caret on the end marker", blocks, 8, false, true, blocks},
      {"caret past the final break", Lines({"b", "a"}), 2, false, true, Lines({"b", "a"})},
      {"end marker first, whole document", Lines({end, "b", "a"}), 1, true, true,
       Lines({end, "b", "a"})},
      {"empty line first ascending", Lines({"b", "", "a"}), 0, true, true, Lines({"", "a", "b"})},
      {"empty line last descending", Lines({"b", "", "a"}), 0, true, false, Lines({"b", "a", ""})},
      {"missing final break is added", "b\r\na", 0, true, true, "a\r\nb\r\n"},
      {"lone CR and LF become CR LF", "b\ra\nc", 0, true, true, "a\r\nb\r\nc\r\n"},
      {"empty document", "", 0, true, true, ""},
      {"full-width end marker stops the range",
       Lines({"b",
              "\"\x81\x6F\x82\x64\x82\x8E\x82\x84\x82\x6E\x82\x86\x82\x63\x82\x81\x82\x94"
              "\x82\x81\x81\x70\"",
              "a"}),
       0, true, true,
       Lines({"b",
              "\"\x81\x6F\x82\x64\x82\x8E\x82\x84\x82\x6E\x82\x86\x82\x63\x82\x81\x82\x94"
              "\x82\x81\x81\x70\"",
              "a"})},
      // Unsigned bytes: capitals, small letters, double-byte (0x82..),
      // half-width kana (0xB1), double-byte from 0xE0.
      {"byte order", Lines({"\xE0\x40", "\xB1", "\x82\xA0", "a", "B", "A"}), 0, true, true,
       Lines({"A", "B", "a", "\x82\xA0", "\xB1", "\xE0\x40"})},
      {"NUL bytes stay", Lines({std::string("b\0x", 3), std::string("a\0y", 3)}), 0, true, true,
       Lines({std::string("a\0y", 3), std::string("b\0x", 3)})},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SortDocumentText(c.text, c.caret_line, c.whole, c.ascending), c.expected) << c.name;
  }
}

// The whole-document sort against a plain one (split byte by byte, sort
// strings, join), on random texts whose lines share long prefixes, are
// shorter than the sort's eight-byte keys, hold NUL and high bytes and
// every kind of break; large enough to take the two-thread path too.
TEST(SortCommand, MatchesAPlainSortOnRandomTexts) {
  const auto plain_sort = [](std::string_view text, bool ascending) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] != '\r' && text[i] != '\n') {
        line += text[i];
        continue;
      }
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.push_back(std::exchange(line, {}));
    }
    if (!line.empty()) lines.push_back(line);
    if (ascending) {
      std::sort(lines.begin(), lines.end());
    } else {
      std::sort(lines.rbegin(), lines.rend());
    }
    std::string joined;
    for (const std::string& l : lines) joined += l + "\r\n";
    return joined;
  };
  const std::string alphabet("ab\0\x7F\x80\xFF\r\n\n\n", 10);
  std::mt19937 random(20261208);
  for (const std::size_t lines : {0, 1, 2, 50, 1000, 70000}) {
    std::string text;
    for (std::size_t i = 0; i < lines; ++i) {
      // A shared stem of 0..12 bytes, then a random tail.
      text.append("stem-prefix-", random() % 13);
      const std::size_t tail = random() % 6;
      for (std::size_t j = 0; j < tail; ++j) text += alphabet[random() % alphabet.size()];
      text += random() % 4 == 0 ? "\n" : "\r\n";
    }
    for (const bool ascending : {true, false}) {
      EXPECT_EQ(SortDocumentText(text, 0, true, ascending), plain_sort(text, ascending))
          << lines << " lines, ascending " << ascending;
    }
  }
}

TEST(SortCommand, FindsRanges) {
  const std::vector<std::string_view> lines = {"a", "{PRIOR}", "b", "c", "{EndOfData}"};
  EXPECT_EQ(SortRange(lines, 2, false), (LineRange{2, 3}));
  EXPECT_EQ(SortRange(lines, 1, false), (LineRange{2, 0}));  // empty: lo > hi
  EXPECT_EQ(SortRange(lines, 0, true), (LineRange{0, 3}));
  EXPECT_EQ(SortRange(lines, 5, false), (LineRange{5, 5}));  // past the list
  EXPECT_EQ(SortRange({}, 0, true), (LineRange{0, 0}));      // nothing to sort either
}

}  // namespace
}  // namespace morvik
