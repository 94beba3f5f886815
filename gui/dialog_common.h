// What the modal dialog views share: how a dialog ended, and the look of
// their buttons and frames.
#ifndef MORVIK_GUI_DIALOG_COMMON_H_
#define MORVIK_GUI_DIALOG_COMMON_H_

#include <QDialog>
#include <QString>

class QPushButton;

namespace morvik {

// How a modal dialog ended: its OK button (or Enter), its Cancel button (or
// Escape), or its window frame. The logic decides what a frame close means.
enum class DialogOutcome { Ok, Cancel, Frame };

// A QDialog that remembers which of the three ways it ended.
class OutcomeDialog : public QDialog {
 public:
  explicit OutcomeDialog(QWidget* parent);

  DialogOutcome Outcome() const { return outcome_; }

  // Buttons named like the program's ("ButtonOK", "ButtonCancel").
  QPushButton* NewOkButton(const QString& caption = QStringLiteral("OK(&O)"));
  QPushButton* NewCancelButton(const QString& caption = QStringLiteral(u"キャンセル(&C)"));

  // The window's client area, which never changes.
  void SetFixedClientSize(int width, int height);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

  // The buttons: OK accepts, Cancel (and Escape) rejects.
  void EndWithOk();
  void EndWithCancel();

 private:
  DialogOutcome outcome_ = DialogOutcome::Frame;
  bool has_cancel_button_ = false;
  bool ending_by_button_ = false;
};

// Hands the way a dialog ended to its logic object: OK and Cancel run the
// logic's button handlers, a frame close is left for the logic to judge.
template <typename Form>
void ApplyOutcome(DialogOutcome outcome, Form& form) {
  switch (outcome) {
    case DialogOutcome::Ok:
      form.ButtonOKClick();
      break;
    case DialogOutcome::Cancel:
      form.ButtonCancelClick();
      break;
    case DialogOutcome::Frame:
      break;
  }
}

}  // namespace morvik

#endif  // MORVIK_GUI_DIALOG_COMMON_H_
