// TFormSelectType: the data-type dialog that New, Open and Change data type
// show, as logic without a window. A view shows the caption, the radio group
// and the two buttons, forwards the user's choice and the button clicks, and
// closes itself when CloseRequested is set (or by its own title-bar button).
// The caller calls FormClose once the dialog has closed.
#ifndef MORVIK_APP_DIALOGS_SELECT_TYPE_H_
#define MORVIK_APP_DIALOGS_SELECT_TYPE_H_

#include <string>
#include <vector>

#include "data/sv_data.h"

namespace morvik {

class TFormSelectType {
 public:
  static constexpr char kCaption[] = "ファイルの種類選択";
  static constexpr char kRadioTypeCaption[] = "データファイルの種類";
  static constexpr char kButtonOKCaption[] = "OK(&O)";
  static constexpr char kButtonCancelCaption[] = "キャンセル(&C)";
  static constexpr int kClientWidth = 193;
  static constexpr int kClientHeight = 153;
  static constexpr char kFontName[] = "ＭＳ Ｐゴシック";
  static constexpr int kFontPixels = 12;
  // The radio items fill two columns of four, column by column.
  static constexpr int kRadioTypeColumns = 2;

  TFormSelectType();

  // The eight labels in type order ("データ01" .. "データC2"); item index =
  // type value.
  static std::vector<std::string> RadioTypeItems();

  // Selects the item of type for 0..7; any other value changes nothing.
  void SetSelectedType(DataType type);
  // The selected item's type, or Data01 when no item is selected.
  DataType GetSelectedType() const;

  // The selected item, -1 for none. A view writes it when the user clicks.
  int RadioTypeItemIndex = 0;

  // Set by the Cancel button (or Escape), and by FormClose when no button
  // closed the dialog.
  bool Cancelled = false;
  // Set by both buttons: the view closes the dialog.
  bool CloseRequested = false;

  void ButtonOKClick();
  void ButtonCancelClick();
  // The dialog closed. Closed by its frame, no button chose: that is no
  // answer, and taking it as OK would create a document nobody asked for.
  void FormClose();
};

}  // namespace morvik

#endif  // MORVIK_APP_DIALOGS_SELECT_TYPE_H_
