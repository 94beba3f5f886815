#include "data/file_info.h"

#include <gtest/gtest.h>

#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <set>

#include "data/sjis_codec.h"
#include "data/sv_utils.h"

namespace morvik {
namespace {

using Listing = std::vector<std::string>;

const std::vector<std::string_view> kSample = {R"("a","1")", R"("b")", "",
                                               R"("{EndOfData}","{Dummy}")", R"("c","3")"};

TEST(FileInformation, CountsAndListsLines) {
  struct Case {
    const char* name;
    std::vector<std::string_view> lines;
    DataType type;
    std::string label;
    Listing invalid;
  } cases[] = {
      {"two fields",
       kSample,
       Data01,
       "全 5行; 有効 2行, 無効 3行",
       {R"(Line2 "b")", "Line3 ", R"(Line5 "c","3")"}},
      {"no field count", kSample, DataC1, "全 5行; 有効 4行, 無効 1行", {R"(Line5 "c","3")"}},
      {"three fields",
       {"a,b,c", "a,b", "{PRIOR}"},
       DataA2,
       "全 3行; 有効 1行, 無効 2行",
       {"Line2 a,b", "Line3 {PRIOR}"}},
      {"no end marker", {"a,1", "b", "c,3"}, Data02, "全 3行; 有効 2行, 無効 1行", {"Line2 b"}},
      {"empty document", {}, Data01, "全 0行; 有効 0行, 無効 0行", {}},
  };
  for (const Case& c : cases) {
    const int n = FieldCount(c.type);
    EXPECT_EQ(LineCountsLabel(CountLines(c.lines, n)), c.label) << c.name;
    EXPECT_EQ(InvalidLineListing(c.lines, n), c.invalid) << c.name;
  }
}

TEST(FileInformation, ListsKeywordsOnceInCollationOrder) {
  struct Case {
    const char* name;
    std::vector<std::string_view> lines;
    std::string locale;
    Listing keywords;
  } cases[] = {
      {"end marker stops", kSample, "", {"a", "b"}},
      {"first spelling stands, case ignored",
       {"Beta", "alpha", "ALPHA", "beta"},
       "",
       {"alpha", "Beta"}},
      {"empty keyword first", {"\"x\"", "\"\",\"\"", "  ", "Y"}, "", {"", "x", "Y"}},
      // Root collation puts letters in alphabetic order whatever their case,
      // where byte order would put every capital first.
      {"alphabetic, not bytes", {"b", "C", "a", "D"}, "", {"a", "b", "C", "D"}},
      {"keywords longer than a table slot holds",
       {"abcdefghijklmnopqrstuvwxyz0123", "b", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123",
        "abcdefghijklmnopqrstuvwxyz0123"},
       "",
       {"abcdefghijklmnopqrstuvwxyz0123", "b"}},
      {"locale collation", {"b", "C", "a"}, "ja_JP", {"a", "b", "C"}},
      {"full-width letters differ in width only",
       {"\x82\x60", "A", "\x82\x81"},
       "",
       {"A", "\x82\x60"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(KeywordList(c.lines, c.locale), c.keywords) << c.name;
  }
}

// The keyword list against a plain one: each keyword once by ICU's case
// folding of the whole decoded text, ordered by ICU's case-blind string
// comparison with ties broken by bytes. Keywords mix letters in both cases,
// full-width, Greek and Cyrillic letters, kana, Roman numerals and invalid
// bytes; the largest case takes the two-thread path.
TEST(FileInformation, KeywordListMatchesAPlainOne) {
  const std::vector<std::string> pieces = {
      "a",        "A",        "z",        "Z",        "0",        "_",        "\x82\x60",
      "\x82\x81", "\x83\x9F", "\x83\xBF", "\x84\x40", "\x84\x70", "\x82\xA0", "\x83\x41",
      "\xB1",     "\x87\x54", "\xFA\x4A", "\x80",     "\xFD",     "\x81\x40"};
  UErrorCode status = U_ZERO_ERROR;
  UCollator* collator = ucol_open("", &status);
  ASSERT_TRUE(U_SUCCESS(status));
  ucol_setStrength(collator, UCOL_SECONDARY);
  const auto fold = [](std::string_view sjis) {
    const std::u16string decoded = DecodeSjis(sjis);
    std::u16string folded(decoded.size() * 3 + 1, u'\0');
    UErrorCode error = U_ZERO_ERROR;
    folded.resize(static_cast<std::size_t>(
        u_strFoldCase(folded.data(), static_cast<int32_t>(folded.size()), decoded.data(),
                      static_cast<int32_t>(decoded.size()), U_FOLD_CASE_DEFAULT, &error)));
    return folded;
  };
  std::mt19937 random(20261208);
  for (const std::size_t count : {1, 30, 2000, 70000}) {
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < count; ++i) {
      std::string keyword;
      for (std::size_t n = random() % (count > 1000 ? 7 : 4); n > 0; --n) {
        keyword += pieces[random() % pieces.size()];
      }
      texts.push_back("\"" + keyword + "\",\"v\"");
    }
    const std::vector<std::string_view> lines(texts.begin(), texts.end());

    std::vector<std::string> plain;
    std::set<std::u16string> seen;
    for (std::string_view line : lines) {
      const std::string keyword = *FirstField(line);
      if (seen.insert(fold(keyword)).second) plain.push_back(keyword);
    }
    std::sort(plain.begin(), plain.end(), [&](const std::string& a, const std::string& b) {
      const std::u16string da = DecodeSjis(a);
      const std::u16string db = DecodeSjis(b);
      const UCollationResult order =
          ucol_strcoll(collator, da.data(), static_cast<int32_t>(da.size()), db.data(),
                       static_cast<int32_t>(db.size()));
      return order != UCOL_EQUAL ? order == UCOL_LESS : a < b;
    });
    EXPECT_EQ(KeywordList(lines, ""), plain) << count << " lines";
  }
  ucol_close(collator);
}

TEST(FileInformation, LabelsAndLocale) {
  EXPECT_EQ(FileNameLabel(DataA1, "/home/u/data/list.htd"), "DataA1 list.htd");
  EXPECT_EQ(FileNameLabel(200, "Untitled3"), "UnknownType Untitled3");
  EXPECT_EQ(PathToSjis("/tmp/\xE3\x81\x82.txt"), "/tmp/\x82\xA0.txt");

  struct Case {
    const char *lc_all, *lang;
    std::string locale;
  } cases[] = {
      {"C", "ja_JP.UTF-8", ""}, {"", "ja_JP.UTF-8@x", "ja_JP"},
      {"POSIX", "", ""},        {"de_DE.UTF-8", "C", "de_DE"},
      {"C.UTF-8", "", ""},
  };
  const char* saved_all = std::getenv("LC_ALL");
  const char* saved_lang = std::getenv("LANG");
  const std::string old_all = saved_all ? saved_all : "";
  const std::string old_lang = saved_lang ? saved_lang : "";
  unsetenv("LC_COLLATE");
  for (const Case& c : cases) {
    setenv("LC_ALL", c.lc_all, 1);
    setenv("LANG", c.lang, 1);
    EXPECT_EQ(UserCollationLocale(), c.locale) << c.lc_all << " " << c.lang;
  }
  setenv("LC_ALL", old_all.c_str(), 1);
  setenv("LANG", old_lang.c_str(), 1);
}

}  // namespace
}  // namespace morvik
