#include "bench/modal_driver.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <QWidget>

#include "gui/document_view.h"
#include "gui/main_window.h"
#include "gui/qt_desktop.h"

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

double OpenFromMenu(QtDesktop& desktop, const std::filesystem::path& file) {
  WhenModalOpens([&file](QWidget* widget) {
    WhenModalOpens([](QWidget* type) {
      type->findChild<QRadioButton*>(QStringLiteral("RadioType2"))->click();
      ClickButtonCaptioned(type, QStringLiteral("OK(&O)"));
    });
    auto* dialog = static_cast<QFileDialog*>(widget);
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
        ->setText(QString::fromStdString(file.string()));
    static_cast<QDialog*>(dialog)->accept();
  });
  QElapsedTimer timer;
  timer.start();
  desktop.Window().Action(QStringLiteral("MenuFileOpen"))->trigger();
  desktop.CurrentView()->repaint();
  QCoreApplication::processEvents();
  return timer.nsecsElapsed() / 1e6;
}

}  // namespace morvik
