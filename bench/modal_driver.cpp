#include "bench/modal_driver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace morvik {

void WhenModalOpens(std::function<void(QWidget*)> answer, int interval_ms) {
  auto* timer = new QTimer;
  timer->setInterval(interval_ms);
  QObject::connect(timer, &QTimer::timeout, [timer, answer = std::move(answer)]() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    answer(modal);
  });
  timer->start();
}

bool ClickButtonCaptioned(QWidget* widget, const QString& caption) {
  for (QAbstractButton* button : widget->findChildren<QAbstractButton*>()) {
    if (button->text() == caption) {
      button->click();
      return true;
    }
  }
  return false;
}

}  // namespace morvik
