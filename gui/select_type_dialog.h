// The view of the data-type dialog: "ファイルの種類選択", the eight types in a
// radio group of two columns filled column by column, OK and Cancel.
#ifndef MORVIK_GUI_SELECT_TYPE_DIALOG_H_
#define MORVIK_GUI_SELECT_TYPE_DIALOG_H_

#include <QButtonGroup>
#include <QStringList>

#include "gui/dialog_common.h"

namespace morvik {

class SelectTypeDialog : public OutcomeDialog {
 public:
  // items: the radio items in type order, as the logic names them.
  SelectTypeDialog(QWidget* parent, const QStringList& items);

  // The checked item (the type value), -1 when none is.
  int SelectedIndex() const;
  // Checks item index and gives it the keyboard focus; any other value
  // leaves the choice as it is.
  void SetSelectedIndex(int index);

 private:
  QButtonGroup* radio_type_;
};

}  // namespace morvik

#endif  // MORVIK_GUI_SELECT_TYPE_DIALOG_H_
