// TFormSort: the Sort command's options dialog, as logic without a window.
// A view shows the two radio groups and the buttons, writes the user's
// choices into the item indexes, forwards the button clicks, closes itself
// when CloseRequested is set, and calls FormClose whenever it closes.
#ifndef MORVIK_APP_DIALOGS_SORT_H_
#define MORVIK_APP_DIALOGS_SORT_H_

#include <string>
#include <vector>

namespace morvik {

class TFormSort {
 public:
  static constexpr char kCaption[] = "並び替え/ソート";
  // A fixed dialog border, centred on the main window.
  static constexpr int kClientWidth = 255;
  static constexpr int kClientHeight = 168;
  static constexpr char kFontName[] = "ＭＳ Ｐゴシック";
  static constexpr int kFontPixels = 12;
  static constexpr char kRadioTargetCaption[] = "対象";
  static constexpr char kRadioOrderCaption[] = "順番";
  static constexpr char kButtonOKCaption[] = "OK(&O)";
  static constexpr char kButtonCancelCaption[] = "キャンセル(&C)";
  static std::vector<std::string> RadioTargetItems();  // block (0), whole (1)
  static std::vector<std::string> RadioOrderItems();   // ascending (0), descending (1)

  int RadioTargetItemIndex = 0;
  int RadioOrderItemIndex = 0;

  // Results; all false until a button sets them.
  bool Cancelled = false;
  bool Ascending = false;
  bool WholeDocument = false;
  // Set by both buttons: the view closes the dialog.
  bool CloseRequested = false;

  void ButtonOKClick();
  void ButtonCancelClick();
  // The dialog closed. Closed by its frame, no button has set the results,
  // and reading them would sort descending by mistake; it counts as Cancel.
  void FormClose();
};

}  // namespace morvik

#endif  // MORVIK_APP_DIALOGS_SORT_H_
