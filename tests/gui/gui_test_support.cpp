#include "tests/gui/gui_test_support.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <vector>

namespace morvik::testing {
namespace {

std::vector<QPointer<QTimer>>& PendingAnswers() {
  static std::vector<QPointer<QTimer>> pending;
  return pending;
}

}  // namespace

int CancelPendingAnswers() {
  int count = 0;
  for (const QPointer<QTimer>& timer : PendingAnswers()) {
    if (timer == nullptr || !timer->isActive()) continue;
    ++count;
    timer->stop();
    timer->deleteLater();
  }
  PendingAnswers().clear();
  return count;
}

void WhenModalOpens(std::function<void(QWidget*)> answer) {
  WhenModalOpens(QString(), std::move(answer));
}

void WhenModalOpens(const QString& name, std::function<void(QWidget*)> answer) {
  // Polls, because the modal window opens inside the action that the test
  // triggers after this call; the timer runs in the window's own loop.
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, name, answer = std::move(answer)]() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) return;
    if (!name.isEmpty() && modal->objectName() != name &&
        QString::fromLatin1(modal->metaObject()->className()) != name) {
      return;
    }
    timer->stop();
    timer->deleteLater();
    answer(modal);
  });
  timer->start();
  PendingAnswers().emplace_back(timer);
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

void AnswerFile(const std::filesystem::path& path, std::function<void()> next) {
  WhenModalOpens(QStringLiteral("QFileDialog"), [path, next = std::move(next)](QWidget* widget) {
    if (next) next();
    // Typed into the focused name field, as a user does: only then does
    // the dialog drop the previous file from its list's selection, which
    // would otherwise win over the typed name.
    QApplication::setActiveWindow(widget);
    auto* name = widget->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setFocus();
    ASSERT_TRUE(name->hasFocus());
    name->setText(QString::fromStdString(path.string()));
    static_cast<QDialog*>(widget)->accept();
  });
}

void AnswerType(int type) {
  WhenModalOpens(QStringLiteral("FormSelectType"), [type](QWidget* dialog) {
    QTest::mouseClick(dialog->findChild<QRadioButton*>(QStringLiteral("RadioType%1").arg(type)),
                      Qt::LeftButton);
    ClickButton(dialog, QStringLiteral("OK(&O)"));
  });
}

}  // namespace morvik::testing
