#include "gui/dialog_common.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

#include "gui/fonts.h"

namespace morvik {

OutcomeDialog::OutcomeDialog(QWidget* parent) : QDialog(parent) {
  setFont(WindowFont());
  setModal(true);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

QPushButton* OutcomeDialog::NewOkButton(const QString& caption) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(QStringLiteral("ButtonOK"));
  button->setDefault(true);
  connect(button, &QPushButton::clicked, this, &OutcomeDialog::EndWithOk);
  return button;
}

QPushButton* OutcomeDialog::NewCancelButton(const QString& caption) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(QStringLiteral("ButtonCancel"));
  button->setAutoDefault(false);
  has_cancel_button_ = true;
  connect(button, &QPushButton::clicked, this, &OutcomeDialog::EndWithCancel);
  return button;
}

void OutcomeDialog::SetFixedClientSize(int width, int height) {
  setFixedSize(width, height);
}

void OutcomeDialog::keyPressEvent(QKeyEvent* event) {
  // Escape is the Cancel button's key; in a dialog without one (the file
  // information) it is the OK button's.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    if (has_cancel_button_) {
      EndWithCancel();
    } else {
      EndWithOk();
    }
    return;
  }
  QDialog::keyPressEvent(event);
}

void OutcomeDialog::closeEvent(QCloseEvent* event) {
  // The buttons end the dialog through done(); whatever else closes it is
  // the frame.
  if (!ending_by_button_) outcome_ = DialogOutcome::Frame;
  QDialog::closeEvent(event);
}

void OutcomeDialog::EndWithOk() {
  outcome_ = DialogOutcome::Ok;
  ending_by_button_ = true;
  done(QDialog::Accepted);
  ending_by_button_ = false;
}

void OutcomeDialog::EndWithCancel() {
  outcome_ = DialogOutcome::Cancel;
  ending_by_button_ = true;
  done(QDialog::Rejected);
  ending_by_button_ = false;
}

}  // namespace morvik
