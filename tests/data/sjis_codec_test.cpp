#include "data/sjis_codec.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <random>
#include <string>

namespace morvik {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

TEST(SjisCodec, DecodesCharactersAndInvalidBytes) {
  struct Case {
    std::string bytes;
    std::u16string text;
  } cases[] = {
      {"abc", u"abc"},
      {Bytes({0x5C, 0x7E}), u"\\~"},  // code page 932 keeps backslash and tilde
      {Bytes({0x82, 0xA0}), u"あ"},
      {Bytes({0x83, 0x7B, 0x83, 0x7C, 0x83, 0x7D}), u"ボポマ"},  // trail bytes { | }
      {Bytes({0x95, 0x5C}), u"表"},                              // trail byte 0x5C
      {Bytes({0xB1}), u"ｱ"},                                     // half-width katakana
      {Bytes({0x87, 0x40}), u"①"},                               // NEC special row
      {Bytes({0xED, 0x40}), u"纊"},                              // NEC-selected IBM extension
      {Bytes({0xFA, 0x5C}), u"纊"},                              // IBM extension, same character
      {Bytes({0x82}), u"\xDC82"},                                // lead byte at the end
      {Bytes({0x82, 0x20, 0x41}), u"\xDC82 A"},  // lead byte before a non-trail byte
      {Bytes({0x80, 0xA0, 0xFD, 0xFE, 0xFF}), u"\xDC80\xDCA0\xDCFD\xDCFE\xDCFF"},
      {Bytes({0x85, 0x40}), u"\xDC85@"},  // unassigned pair: the trail starts afresh
      {Bytes({0x00, 0x0D, 0x0A}), std::u16string(u"\0\r\n", 3)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecodeSjis(c.bytes), c.text) << c.bytes;
    EXPECT_EQ(DecodeSjis(c.bytes).size(), c.text.size());
  }
}

TEST(SjisCodec, EncodesDuplicatesToPreferredFormAndUnmappableToQuestionMark) {
  std::size_t unmappable = 0;
  EXPECT_EQ(EncodeSjis(u"あ\\", &unmappable), Bytes({0x82, 0xA0, 0x5C}));
  EXPECT_EQ(unmappable, 0u);
  // Whatever the preferred form is, it decodes back to the same character.
  EXPECT_EQ(DecodeSjis(EncodeSjis(u"纊")), u"纊");
  EXPECT_EQ(EncodeSjis(u"é😀", &unmappable), "???");
  EXPECT_EQ(unmappable, 3u);
  EXPECT_FALSE(CanEncodeSjis(u'é'));
  EXPECT_TRUE(CanEncodeSjis(u'\xDC85'));
  EXPECT_EQ(SjisEncodedLength(u'あ'), 2u);
  EXPECT_EQ(SjisEncodedLength(u'\xDCFF'), 1u);
}

TEST(SjisCodec, RoundTripsRandomByteStrings) {
  std::mt19937 rng(932);
  // Biased towards lead bytes, trail bytes and line breaks, where the traps are.
  const int interesting[] = {0x00, 0x0D, 0x0A, 0x5C, 0x7C, 0x7F, 0x80, 0x81, 0x9F, 0xA0,
                             0xE0, 0xED, 0xEE, 0xFA, 0xFC, 0xFD, 0xFF, 0x40, 0x7E};
  for (int round = 0; round < 3000; ++round) {
    std::string bytes;
    const int size = static_cast<int>(rng() % 24);
    for (int i = 0; i < size; ++i) {
      const int b = rng() % 2 ? interesting[rng() % std::size(interesting)] : rng() % 256;
      bytes.push_back(static_cast<char>(b));
    }
    // Character by character, only the code page's duplicates may come back
    // in another form (and then as another code of the same character).
    bool has_duplicate = false;
    for (std::size_t pos = 0; pos < bytes.size();) {
      std::size_t length = 0;
      const char16_t c = DecodeSjisChar(bytes, pos, &length);
      const std::string original = bytes.substr(pos, length);
      const std::string encoded = EncodeSjis(std::u16string(1, c));
      if (encoded != original) {
        has_duplicate = true;
        EXPECT_EQ(length, 2u);
        EXPECT_EQ(DecodeSjis(encoded), std::u16string(1, c));
      }
      pos += length;
    }
    if (!has_duplicate) {
      EXPECT_EQ(EncodeSjis(DecodeSjis(bytes)), bytes);
    }
  }
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    EXPECT_EQ(EncodeSjis(DecodeSjis(one)), one) << b;
  }
}

TEST(SjisCodec, DecodesEveryDoubleByteCharacterAsGlibcDoes) {
  iconv_t cd = iconv_open("UTF-16LE", "CP932");
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
  int characters = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsSjisLeadByte(static_cast<unsigned char>(lead))) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      char out[8];
      char* in_ptr = in;
      char* out_ptr = out;
      size_t in_left = 2;
      size_t out_left = sizeof out;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      const bool ok =
          iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) != static_cast<size_t>(-1) &&
          in_left == 0 && out_left == sizeof out - 2;
      const std::u16string text = DecodeSjis(std::string_view(in, 2));
      if (ok) {
        const auto expected = static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                                    static_cast<unsigned char>(out[1]) << 8);
        ASSERT_EQ(text, std::u16string(1, expected)) << lead << " " << trail;
        ++characters;
      } else {
        EXPECT_EQ(text.size(), 2u);
      }
    }
  }
  iconv_close(cd);
  EXPECT_GT(characters, 7000);
}

TEST(SjisCodec, MapsColumnsToByteOffsets) {
  const std::string line = Bytes({'a', 0x82, 0xA0, 0xB1, 0x82});  // a あ ｱ <lead at end>
  struct Case {
    std::size_t column, byte_offset;
  } cases[] = {{0, 0}, {1, 1}, {2, 3}, {3, 4}, {4, 5}, {9, 5}};
  for (const Case& c : cases) {
    EXPECT_EQ(ByteOffsetOfColumn(line, c.column), c.byte_offset) << c.column;
    EXPECT_EQ(ColumnOfByteOffset(line, c.byte_offset), std::min<std::size_t>(c.column, 4));
  }
  EXPECT_EQ(ColumnOfByteOffset(line, 2), 1u);  // inside あ
}

}  // namespace
}  // namespace morvik
