#include "gui/line_layouts.h"

#include <QFontMetricsF>
#include <QTextLine>
#include <QTextOption>
#include <cmath>

#include "app/document/rich_edit_ex.h"
#include "data/sjis_codec.h"

namespace morvik {
namespace {

// Wide enough for any line: the layout never wraps.
constexpr qreal kUnboundedWidth = 1.0e7;

// U+FFFD (the replacement sign) for an invalid byte; the Control Pictures
// block (U+2400 + c, U+2421 for DEL) for a control character.
char16_t VisibleSignOf(char16_t c) {
  if (IsInvalidByteUnit(c)) return 0xFFFD;
  if (c < 0x20) return static_cast<char16_t>(0x2400 + c);
  return 0x2421;
}

bool NeedsVisibleSign(char16_t c) {
  return IsInvalidByteUnit(c) || (c < 0x20 && c != u'\t') || c == 0x7F;
}

}  // namespace

QString DisplayTextOfLine(std::string_view bytes, std::vector<qsizetype>* marked_columns) {
  const std::u16string decoded = DecodeSjis(bytes);
  QString text(static_cast<qsizetype>(decoded.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (std::size_t i = 0; i < decoded.size(); ++i) {
    char16_t c = decoded[i];
    if (NeedsVisibleSign(c)) {
      c = VisibleSignOf(c);
      if (marked_columns != nullptr) marked_columns->push_back(static_cast<qsizetype>(i));
    }
    out[i] = QChar(c);
  }
  return text;
}

LineLayouts::LineLayouts(const TRichEditEx& document) : document_(document) {
  SetFont(QFont());
}

void LineLayouts::SetFont(const QFont& font) {
  font_ = font;
  const QFontMetricsF metrics(font_);
  tab_width_ = 8 * metrics.horizontalAdvance(QLatin1Char(' '));
  // Japanese glyphs may come from a fallback face taller than the font
  // itself; a laid-out sample gives the height lines really take.
  QTextLayout sample(QStringLiteral(u"Aあ漢"));
  LayOutInto(sample);
  line_height_ =
      static_cast<int>(std::ceil(std::max(metrics.lineSpacing(), sample.lineAt(0).height())));
  Invalidate();
  ResetWidest();
}

std::shared_ptr<const DisplayLine> LineLayouts::Line(std::size_t index) {
  if (auto found = lines_.find(index); found != lines_.end()) return found->second;
  if (lines_.size() >= kMaxKeptLines) lines_.clear();
  auto line = std::make_shared<DisplayLine>();
  line->text = DisplayTextOfLine(document_.Line(index), &line->marked_columns);
  line->layout.setText(line->text);
  LayOutInto(line->layout);
  line->width = line->layout.lineAt(0).naturalTextWidth();
  widest_seen_ = std::max(widest_seen_, line->width);
  lines_.emplace(index, line);
  return line;
}

std::unique_ptr<QTextLayout> LineLayouts::LayOut(const QString& text) const {
  auto layout = std::make_unique<QTextLayout>(text);
  LayOutInto(*layout);
  return layout;
}

void LineLayouts::Invalidate() {
  lines_.clear();
}

void LineLayouts::LayOutInto(QTextLayout& layout) const {
  QTextOption option;
  option.setWrapMode(QTextOption::NoWrap);
  option.setTabStopDistance(tab_width_);
  option.setFlags(QTextOption::IncludeTrailingSpaces);
  layout.setFont(font_);
  layout.setTextOption(option);
  layout.setCacheEnabled(true);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  line.setLineWidth(kUnboundedWidth);
  line.setPosition(QPointF(0, 0));
  layout.endLayout();
}

}  // namespace morvik
