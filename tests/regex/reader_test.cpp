// Character codes and readers: decoding, stepping back, escapes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "regex/error.h"
#include "regex/readers.h"

namespace morvik {
namespace {

std::vector<int> ReadAll(TbmWchReader& reader) {
  std::vector<int> values;
  for (int c = reader.ReadChar(); c != -1; c = reader.ReadChar()) values.push_back(c);
  return values;
}

std::string Utf16(std::u16string_view text) {
  std::string bytes;
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

TEST(CharCodeTest, CodePagesLeadBytesAndReaders) {
  EXPECT_EQ(bmccCodePage2CharCode(932), bmccShiftJIS);
  EXPECT_EQ(bmccCodePage2CharCode(1252), bmccWestern);
  EXPECT_EQ(bmccCodePage2CharCode(1200), bmccUniCode);
  try {
    bmccCodePage2CharCode(65001);
    FAIL() << "no exception";
  } catch (const RegexError& e) {
    EXPECT_STREQ(e.what(), "bmccCodePage2CharCode: unknown code page");
  }
  EXPECT_THROW(bmccGetIsLeadByteFunc(bmccUniCode), RegexError);

  EXPECT_TRUE(IsLeadByteSJIS(0x81));
  EXPECT_TRUE(IsLeadByteSJIS(0xFC));
  EXPECT_FALSE(IsLeadByteSJIS(0xA0));
  EXPECT_FALSE(IsLeadByteSJIS(0xFD));
  EXPECT_TRUE(IsLeadByteEUC(0x8E));
  EXPECT_FALSE(IsLeadByteEUC(0x8F));
  EXPECT_TRUE(IsLeadByteEUC(0xFE));

  EXPECT_EQ(bmccCreateReader(bmccJIS), nullptr);
  EXPECT_NE(dynamic_cast<TbmSBCSReader*>(bmccCreateReader(bmccWestern).get()), nullptr);
  EXPECT_NE(dynamic_cast<TbmUniCodeReader*>(bmccCreateReader(bmccUniCode).get()), nullptr);
  EXPECT_EQ(CharCodeDisplayName(bmccWestern), "Western (Windows-1252)");
}

TEST(CharCodeTest, DefaultCodeFollowsLocaleCodeSetAndNeverRefuses) {
  struct Case {
    const char* code_set;
    int code_page;
  } cases[] = {
      {"SHIFT_JIS", 932}, {"CP932", 932},       {"WINDOWS-31J", 932},
      {"CP1252", 1252},   {"ISO-8859-1", 1252}, {"ANSI_X3.4-1968", 1252},
      {"UTF-16LE", 1200}, {"UTF-8", 932},       {"EUC-JP", 932},
      {"", 932},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CodePageOfCodeSetName(c.code_set), c.code_page) << c.code_set;
    EXPECT_NO_THROW(bmccCodePage2CharCode(CodePageOfCodeSetName(c.code_set)));
  }
}

TEST(ReaderTest, DecodesEachCode) {
  struct Case {
    TbmCharCode code;
    std::string text;
    std::vector<int> values;
  } cases[] = {
      {bmccShiftJIS,
       "a\x88\x9f"
       "b",
       {0x61, 0x889F, 0x62}},
      // The 0x5C of a trail byte is no backslash.
      {bmccShiftJIS, "\x95\x5c", {0x955C}},
      // A lead byte at the end pairs with 0 and nothing is read past it.
      {bmccShiftJIS, "a\x82", {0x61, 0x8200}},
      {bmccShiftJIS, std::string("\0a", 2), {0, 0x61}},
      {bmccJapaneseEUC, "\x8f\xa1\xa1", {0x8F, 0xA1A1}},
      {bmccWestern, "\x82\xa0", {0x82, 0xA0}},
      {bmccUniCode, Utf16(u"a\xD83D\xDE00"), {0x61, 0xD83D, 0xDE00}},
  };
  for (const Case& c : cases) {
    auto reader = bmccCreateReader(c.code);
    reader->SetText(c.text);
    EXPECT_EQ(ReadAll(*reader), c.values) << int{c.code} << " " << c.text;
    EXPECT_EQ(reader->ReadChar(), -1);
    EXPECT_EQ(reader->GetText(), c.text);
  }
}

TEST(ReaderTest, StepsBackOverCharactersAndTheEnd) {
  TbmMBCSReader reader(bmccShiftJIS);
  reader.SetText("");
  EXPECT_EQ(reader.ReadChar(), -1);
  EXPECT_TRUE(reader.UnreadChar());
  EXPECT_EQ(reader.GetPos(), 0);
  EXPECT_FALSE(reader.UnreadChar());

  reader.SetText(
      "a\x88\x9f"
      "b");
  ReadAll(reader);
  EXPECT_EQ(reader.GetPos(), 5);
  std::vector<int> positions;
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(reader.UnreadChar());
    positions.push_back(reader.GetPos());
  }
  EXPECT_EQ(positions, (std::vector<int>{4, 3, 1}));
  EXPECT_EQ(reader.ReadChar(), 0x889F);

  // Three lead-valued bytes before the last trail byte: a pair ends there.
  reader.SetText("\x88\x9f\x88\x9f");
  ReadAll(reader);
  reader.UnreadChar();  // the end
  reader.UnreadChar();
  EXPECT_EQ(reader.GetPos(), 2);

  // A lead byte at the very end: back over the end, then over the pair.
  reader.SetText("a\x82");
  ReadAll(reader);
  EXPECT_EQ(reader.GetPos(), 4);
  reader.UnreadChar();
  EXPECT_EQ(reader.GetPos(), 3);
  reader.UnreadChar();
  EXPECT_EQ(reader.GetPos(), 1);

  // Positions far outside the text read nothing.
  reader.SetPos(1000);
  EXPECT_EQ(reader.ReadChar(), -1);
  reader.SetPos(-7);
  EXPECT_EQ(reader.ReadChar(), -1);

  TbmUniCodeReader wide;
  wide.SetText(Utf16(u"ab"));
  ReadAll(wide);
  EXPECT_EQ(wide.GetPos(), 6);
  wide.UnreadChar();
  wide.UnreadChar();
  EXPECT_EQ(wide.ReadChar(), 'b');
  wide.SetPos(3);  // odd: the unit would straddle the end
  EXPECT_EQ(wide.ReadChar(), -1);
}

TEST(ReaderTest, OddUtf16TextIsRefusedAndTheOldTextKept) {
  TbmUniCodeReader reader;
  reader.SetText(Utf16(u"xy"));
  reader.ReadChar();
  try {
    reader.SetText("abcde");
    FAIL() << "no exception";
  } catch (const RegexError& e) {
    EXPECT_STREQ(e.what(), "TbmUniCodeReader.SetTextBuff: ByteLength must be even.");
  }
  EXPECT_EQ(reader.GetPos(), 2);
  EXPECT_EQ(reader.ReadChar(), 'y');
}

TEST(ReaderTest, EscapesInEachReader) {
  struct Case {
    TbmCharCode code;
    const char* after_backslash;
    int value;
    int rest;  // the next character read afterwards
  } cases[] = {
      {bmccShiftJIS, "q", 113, -1},
      {bmccShiftJIS, "n", 10, -1},
      {bmccShiftJIS, "a", 7, -1},
      {bmccShiftJIS, "v", 11, -1},
      {bmccShiftJIS, "xg", -1, 'g'},
      {bmccShiftJIS, "x12345", 0x1234, '5'},
      {bmccShiftJIS, "x41", 0x41, -1},
      {bmccShiftJIS, "0", 0, -1},
      {bmccShiftJIS, "400", 256, -1},
      {bmccShiftJIS, "177777", 0xFFFF, -1},
      {bmccShiftJIS, "777777", 0x7FFF, '7'},
      {bmccShiftJIS, "", -1, -1},
      {bmccShiftJIS, "\\", '\\', -1},
      {bmccWestern, "400", 32, '0'},
      {bmccWestern, "377", 255, -1},
      {bmccWestern, "777", 63, '7'},
      {bmccWestern, "x123", 0x12, '3'},
      {bmccShiftJIS, "\x88\x9f", 0x889F, -1},
  };
  for (const Case& c : cases) {
    auto reader = bmccCreateReader(c.code);
    reader->SetText(c.after_backslash);
    EXPECT_EQ(reader->ReadEscape(), c.value) << c.after_backslash;
    EXPECT_EQ(reader->ReadChar(), c.rest) << c.after_backslash;
  }
}

TEST(ReaderTest, CharIndexUnescapeAndEscapeText) {
  TbmMBCSReader sjis(bmccShiftJIS);
  sjis.SetText(
      "a\x88\x9f"
      "b");
  sjis.SetPos(3);
  EXPECT_EQ(sjis.GetCharIndex(), 2);
  sjis.SetPos(2);  // inside the pair
  EXPECT_EQ(sjis.GetCharIndex(), -1);
  sjis.SetText(std::string("a\0b", 3));
  sjis.SetPos(2);
  EXPECT_EQ(sjis.GetCharIndex(), -1);
  TbmSBCSReader western(bmccWestern);
  western.SetText(std::string("a\0b", 3));
  western.SetPos(2);
  EXPECT_EQ(western.GetCharIndex(), 2);
  TbmUniCodeReader wide;
  wide.SetText(Utf16(u"abc"));
  wide.SetPos(5);
  EXPECT_EQ(wide.GetCharIndex(), 2);

  sjis.SetText("a\\x41\\n\\x82A0z\\");
  EXPECT_EQ(sjis.ReadUnescaped(), "aA\n\x82\xA0z");
  wide.SetText(Utf16(u"\\x41z\\x82A0"));
  EXPECT_EQ(wide.ReadUnescaped(), Utf16(u"Az\x82A0"));

  EXPECT_EQ(sjis.CharToEscape(65), "\\x41");
  EXPECT_EQ(sjis.CharToEscape(0x82A0), "\\x82A0");
  EXPECT_EQ(sjis.CharToEscape(10), "\\n");
  EXPECT_EQ(sjis.CharToEscape(5), "\\x05");
  EXPECT_EQ(wide.CharToEscape(9), Utf16(u"\\t"));
  EXPECT_EQ(sjis.CharToStr(0x82A0), "\x82\xA0");
  EXPECT_EQ(wide.CharToStr(0x82A0), "\xA0\x82");
}

TEST(UtilityTest, LowerBoundSameBytesAndDigits) {
  const std::vector<int> items = {1, 3, 3, 7};
  auto compare = [&](int index, int key) { return items[index] - key; };
  EXPECT_EQ(LowerBound(0, 4, 3, compare), 1);
  EXPECT_EQ(LowerBound(0, 4, 8, compare), 4);
  EXPECT_EQ(LowerBound(0, 4, 0, compare), 0);
  EXPECT_EQ(LowerBound(2, 4, 1, compare), 2);
  EXPECT_TRUE(SameBytes("", ""));
  EXPECT_FALSE(SameBytes("a", std::string("a\0", 2)));
  EXPECT_EQ(HexDigitValue('f'), 15);
  EXPECT_EQ(HexDigitValue('g'), -1);
  EXPECT_EQ(OctDigitValue('8'), -1);
}

}  // namespace
}  // namespace morvik
