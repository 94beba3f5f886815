#include "data/text_encoding.h"

#include <gtest/gtest.h>

#include <random>

namespace morvik {
namespace {

TEST(TextEncoding, LocaleNameGivesOneCodeSet) {
  const struct {
    const char* name;
    const char* code_set;
  } cases[] = {
      {"C.UTF-8", "UTF-8"},                       // installed
      {"C", "UTF-8"},                             // ASCII counts as UTF-8
      {"POSIX", "UTF-8"},                         //
      {"", "UTF-8"},                              // no setting
      {"xx_NOWHERE.ISO-8859-15", "ISO-8859-15"},  // not installed: the name's code set
      {"xx_NOWHERE.eucJP@euro", "eucJP"},         //
      {"xx_NOWHERE", "UTF-8"},                    // not installed, no code set
      {"xx_NOWHERE.", "UTF-8"},                   //
  };
  for (const auto& c : cases) EXPECT_EQ(CodeSetOfLocaleName(c.name), c.code_set) << c.name;
  EXPECT_FALSE(LocaleCodeSet().empty());
}

TEST(TextEncoding, ConvertTextConvertsOrNamesTheFailure) {
  EXPECT_EQ(ConvertText("\xE3\x81\x82x", "UTF-8", "CP932"), "\x82\xA0x");
  EXPECT_EQ(ConvertText("", "UTF-8", "CP932"), "");
  const std::string big(100000, '\x82');  // many output blocks
  EXPECT_EQ(ConvertText(big, "ISO-8859-1", "UTF-8").size(), 2 * big.size());
  const struct {
    std::string text;
    const char *from, *to, *why;
  } failures[] = {
      {"a", "NO-SUCH-SET", "UTF-8", "does not know"},
      {"ab\xFF", "UTF-8", "CP932", "byte 2"},
      {"a\xE3\x81", "UTF-8", "CP932", "ends inside"},
      {"\xC3\xA9", "UTF-8", "CP932", "byte 0"},  // é has no Shift_JIS form
  };
  for (const auto& f : failures) {
    try {
      ConvertText(f.text, f.from, f.to);
      ADD_FAILURE() << f.text;
    } catch (const ESavraError& error) {
      const std::string message = error.what();
      EXPECT_NE(message.find(std::string("from ") + f.from + " to " + f.to), std::string::npos);
      EXPECT_NE(message.find(f.why), std::string::npos) << message;
    }
  }
}

TEST(TextEncoding, Utf8AndUtf16AgreeBothWays) {
  const struct {
    std::string utf8;
    std::u16string utf16;
  } cases[] = {
      {"a\xE3\x81\x82", u"aあ"},
      {"\xF0\x9F\x98\x80", u"\U0001F600"},
      {"\xEF\xBF\xBD", u"\xDC81"},  // a lone surrogate leaves as U+FFFD
  };
  for (const auto& c : cases) EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8);
  EXPECT_EQ(Utf8ToUtf16("\xED\xB2\x81"), u"\xDC81");  // an invalid-byte unit comes in
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF\xFF"), u"\xFFFD\xFFFD\xFFFD");
  EXPECT_EQ(SjisToUtf8("\x82\xA0\x80"), "\xE3\x81\x82\xEF\xBF\xBD");
  // For grep's lines: each invalid byte shows as itself, a lead byte cut
  // short by the end included.
  EXPECT_EQ(SjisToUtf8ShowingBytes("\x82\xA0\x80"
                                   "a\x82"),
            "\xE3\x81\x82\\x80a\\x82");
  // Every valid text survives UTF-8 and back.
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    std::u16string text;
    for (int i = 0; i < 20; ++i) {
      char16_t c = static_cast<char16_t>(random() % 0x10000);
      if (c >= 0xD800 && c <= 0xDFFF) c = u'x';
      text += c;
    }
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
  }
}

TEST(TextEncoding, ByteKeepingRoundTripKeepsEveryByte) {
  std::mt19937 random(11);
  for (int round = 0; round < 300; ++round) {
    std::string bytes;
    for (int i = 0; i < 40; ++i) {
      // Mostly the high half, where double-byte characters and invalid bytes are.
      bytes += static_cast<char>(random() % 4 == 0 ? random() % 0x80 : 0x80 + random() % 0x80);
    }
    ByteKeepingCodec codec;
    EXPECT_EQ(codec.Encode(codec.Decode(bytes)), bytes);
  }
  ByteKeepingCodec codec;
  const std::u16string decoded = codec.Decode("\xED\x40\xFA\x5C\xED\x40");
  EXPECT_EQ(decoded[0], decoded[2]);  // one unit per distinct original
  EXPECT_NE(decoded[0], decoded[1]);
  EXPECT_EQ(codec.Encode(decoded + decoded), "\xED\x40\xFA\x5C\xED\x40\xED\x40\xFA\x5C\xED\x40");
}

}  // namespace
}  // namespace morvik
