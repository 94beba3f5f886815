// The adapter between widget text and Shift_JIS bytes.
#include "gui/sjis_text.h"

#include <gtest/gtest.h>

namespace morvik {
namespace {

TEST(SjisTextTest, BytesRoundTripThroughWidgetText) {
  struct Case {
    const char* what;
    std::string bytes;
    QString widget;
    std::string back;  // what the widget text encodes to
  };
  const Case cases[] = {
      {"ascii", "abc", QStringLiteral("abc"), "abc"},
      {"breaks of every kind", "a\r\nb\rc\nd", QStringLiteral("a\nb\nc\nd"), "a\r\nb\r\nc\r\nd"},
      {"double-byte with 0x5C trail", "\x95\x5C", QStringLiteral(u"表"), "\x95\x5C"},
      {"half-width kana", "\xB1", QStringLiteral(u"ｱ"), "\xB1"},
      {"invalid byte kept", "a\x80z", QString(u'a') + QChar(0xDC80) + u'z', "a\x80z"},
      {"lead byte at the end", "a\x82", QString(u'a') + QChar(0xDC82), "a\x82"},
      {"NUL", std::string("a\0b", 3), QString(u'a') + QChar(0) + u'b', std::string("a\0b", 3)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(WidgetTextOfBytes(c.bytes), c.widget);
    EXPECT_EQ(BytesOfWidgetText(c.widget), c.back);
  }
  // Inside a QTextDocument a break is U+2029.
  EXPECT_EQ(BytesOfWidgetText(QString(u'a') + QChar(0x2029) + u'b'), "a\r\nb");
  EXPECT_EQ(ModelCharsOfWidgetText(QString(u'a') + QChar(0x2029) + u'b'), u"a\nb");
}

TEST(SjisTextTest, ForeignCharactersAreKeptOutAndCounted) {
  struct Case {
    const char* what;
    QString text;
    QString kept;
    int dropped;
  };
  const Case cases[] = {
      {"all encodable", QStringLiteral(u"あa表ｱ"), QStringLiteral(u"あa表ｱ"), 0},
      {"accented letter", QStringLiteral(u"caé"), QStringLiteral("ca"), 1},
      {"emoji is one character", QStringLiteral(u"x😀y"), QStringLiteral("xy"), 1},
      {"break stays", QStringLiteral(u"a\né"), QStringLiteral("a\n"), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    int dropped = -1;
    EXPECT_EQ(KeepEncodable(c.text, &dropped), c.kept);
    EXPECT_EQ(dropped, c.dropped);
    EXPECT_EQ(IsEncodable(c.text), c.dropped == 0);
  }
}

}  // namespace
}  // namespace morvik
