#include "tests/gui/gui_test_support.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QTimer>

namespace morvik::testing {

void WhenModalOpens(std::function<void(QWidget*)> answer) {
  // Polls, because the modal window opens inside the action that the test
  // triggers after this call; the timer runs in the window's own loop.
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, answer = std::move(answer)]() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    answer(modal);
  });
  timer->start();
}

void ClickButton(QWidget* widget, const QString& caption) {
  for (QAbstractButton* button : widget->findChildren<QAbstractButton*>()) {
    if (button->text() == caption) {
      QTest::mouseClick(button, Qt::LeftButton);
      return;
    }
  }
  ADD_FAILURE() << "no button " << caption.toStdString();
}

}  // namespace morvik::testing
