// The modeless find and replace dialogs, drawn like the desktop's standard
// ones (Qt has none): the find text, Up/Down for find, whether the text is a
// regular expression, Find Next, Replace, Replace All and Cancel. They only collect the texts and
// report the buttons; the main window's logic searches. Cancel hides a dialog, so it keeps its
// texts and direction for the window's life.
#ifndef MORVIK_GUI_FIND_REPLACE_DIALOGS_H_
#define MORVIK_GUI_FIND_REPLACE_DIALOGS_H_

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace morvik {

class FindDialog : public QDialog {
  Q_OBJECT

 public:
  explicit FindDialog(QWidget* parent);

  QString FindText() const;
  bool SearchDown() const;
  bool RegularExpression() const;
  // Shows the dialog, or raises it when it is open already.
  void ShowOrRaise();

 signals:
  void FindNextClicked();

 private:
  QLineEdit* find_text_;
  QRadioButton* up_;
  QRadioButton* down_;
  QCheckBox* regular_expression_;
  QPushButton* find_next_;
};

class ReplaceDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ReplaceDialog(QWidget* parent);

  QString FindText() const;
  QString ReplaceText() const;
  bool RegularExpression() const;
  void ShowOrRaise();

 signals:
  void FindNextClicked();
  void ReplaceClicked();
  void ReplaceAllClicked();

 private:
  QLineEdit* find_text_;
  QLineEdit* replace_text_;
  QCheckBox* regular_expression_;
  QPushButton* find_next_;
  QPushButton* replace_;
  QPushButton* replace_all_;
};

}  // namespace morvik

#endif  // MORVIK_GUI_FIND_REPLACE_DIALOGS_H_
