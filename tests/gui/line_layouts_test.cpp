// Column positions of drawn lines, for lines laid out whole and for very
// long lines that keep summed advances instead.
#include "gui/line_layouts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/document/rich_edit_ex.h"

namespace morvik {
namespace {

TEST(LineLayoutsTest, ColumnsAndXAgreeInShortAndLongLines) {
  std::string long_line;
  while (long_line.size() < 4 * static_cast<std::size_t>(DisplayLine::kLongLineColumns)) {
    long_line += "a\x82\xa0\t";  // a, あ, a tab: more columns than a layout takes
  }
  TRichEditEx document("RichEdit1");
  document.Replace(0, 0, "a\x82\xa0\tb\x80z\r\n" + long_line);
  LineLayouts lines(document);
  lines.SetFont(QFont(QStringLiteral("IPAGothic"), 12));
  const qreal tab = lines.Style().tab_width;
  for (std::size_t index : {0u, 1u}) {
    SCOPED_TRACE(index == 0 ? "short line" : "long line");
    const auto shown = lines.Line(index);
    const QString text = lines.WholeText(index);
    const qsizetype size = shown->Length();
    ASSERT_EQ(size, text.size());
    const qsizetype step = size > 100 ? 37 : 1;
    qreal previous = -1;
    for (qsizetype column = 0; column <= size; column += step) {
      const qreal x = shown->XOfColumn(column);
      EXPECT_GT(x, previous) << column;
      EXPECT_EQ(shown->ColumnAtX(x), column);
      // Nearer to this column's caret position than to the next one.
      if (column < size) {
        EXPECT_EQ(shown->ColumnAtX(x + 0.3), column);
      }
      if (column < size && text[column] == u'\t') {
        EXPECT_NEAR(std::remainder(shown->XOfColumn(column + 1), tab), 0, 0.05) << column;
      }
      previous = x;
    }
    EXPECT_EQ(shown->ColumnAtX(-5), 0);
    EXPECT_EQ(shown->ColumnAtX(1e9), size);
    EXPECT_DOUBLE_EQ(shown->Width(), shown->XOfColumn(size));
  }
  EXPECT_EQ(lines.Line(0)->MarkedColumns(), (std::vector<qsizetype>{4}));
  EXPECT_GE(lines.WidestSeen(), lines.Line(1)->Width());
}

}  // namespace
}  // namespace morvik
