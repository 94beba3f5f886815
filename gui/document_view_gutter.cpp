// DocumentView: the line-number gutter beside the text, and Ctrl+wheel as a
// request to zoom.
#include <QPainter>
#include <QWheelEvent>

#include "gui/document_view.h"

namespace morvik {
namespace {

// Space either side of the numbers.
constexpr int kGutterPadding = 4;

// Raw line numbers from 1, right-aligned beside the lines they number.
class LineNumberGutter : public QWidget {
 public:
  explicit LineNumberGutter(DocumentView* view) : QWidget(view), view_(view) {
    setObjectName(QStringLiteral("LineNumberGutter"));
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Window));
    painter.setFont(view_->font());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    const int height = view_->LineHeight();
    const std::size_t count = view_->Document().RawLineCount();
    const std::size_t top = view_->TopLine();
    for (int row = event->rect().top() / height; row <= event->rect().bottom() / height; ++row) {
      const std::size_t line = top + static_cast<std::size_t>(row);
      if (line >= count) break;
      painter.drawText(QRect(0, row * height, width() - kGutterPadding, height),
                       Qt::AlignRight | Qt::AlignVCenter, QString::number(line + 1));
    }
  }

 private:
  DocumentView* view_;
};

}  // namespace

void DocumentView::SetLineNumbersVisible(bool visible) {
  if (visible == LineNumbersVisible()) return;
  if (visible) {
    gutter_ = new LineNumberGutter(this);
    gutter_->show();
  } else {
    delete gutter_;
    gutter_ = nullptr;
    setViewportMargins(0, 0, 0, 0);
  }
  UpdateGutter();
}

void DocumentView::UpdateGutter() {
  if (gutter_ == nullptr) return;
  const int digits = static_cast<int>(std::to_string(document_.RawLineCount()).size());
  const int width = digits * fontMetrics().horizontalAdvance(QLatin1Char('9')) + 2 * kGutterPadding;
  if (viewportMargins().left() != width) setViewportMargins(width, 0, 0, 0);
  const QRect contents = contentsRect();
  gutter_->setGeometry(contents.left(), contents.top(), width, viewport()->height());
  gutter_->update();
}

void DocumentView::wheelEvent(QWheelEvent* event) {
  if (!event->modifiers().testFlag(Qt::ControlModifier)) {
    QAbstractScrollArea::wheelEvent(event);
    return;
  }
  // A fine-grained wheel sends parts of a notch; whole notches zoom.
  zoom_remainder_ += event->angleDelta().y();
  const int steps = zoom_remainder_ / QWheelEvent::DefaultDeltasPerStep;
  zoom_remainder_ -= steps * QWheelEvent::DefaultDeltasPerStep;
  if (steps != 0) emit ZoomRequested(steps);
  event->accept();
}

}  // namespace morvik
