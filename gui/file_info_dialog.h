// The view of the file-information dialog: "ファイル情報" with the two labels
// the logic fills, the choice of listing, the read-only listing and OK.
#ifndef MORVIK_GUI_FILE_INFO_DIALOG_H_
#define MORVIK_GUI_FILE_INFO_DIALOG_H_

#include <QStringList>
#include <string>
#include <vector>

#include "gui/dialog_common.h"

class QComboBox;
class QLabel;

namespace morvik {

class ListingView;

class FileInfoDialog : public OutcomeDialog {
  Q_OBJECT

 public:
  // show_info_items: the listings the combo box offers, as the logic names them.
  FileInfoDialog(QWidget* parent, const QStringList& show_info_items);

  void SetFileNameLabel(const QString& text);
  void SetLinesLabel(const QString& text);
  // Lines of the listing, shown one per line.
  void SetInfoText(const QString& text);
  // The listing as the logic holds it, Shift_JIS lines decoded as they are
  // drawn; lines must stay unchanged until the next SetInfo... call (set
  // nullptr before the logic changes them).
  void SetInfoLines(const std::vector<std::string>* lines);
  QString InfoText() const;
  QComboBox* ComboShowInfo() const { return combo_show_info_; }

 signals:
  // The user picked item index of ComboShowInfo (also the same one again).
  void ShowInfoChosen(int index);
  // The user double-clicked line row of the listing.
  void InfoLineDoubleClicked(int row);

 private:
  QLabel* label_file_name_;
  QLabel* label_lines_;
  QComboBox* combo_show_info_;
  ListingView* memo_info_;
};

}  // namespace morvik

#endif  // MORVIK_GUI_FILE_INFO_DIALOG_H_
