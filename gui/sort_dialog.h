// The view of the sort options: "並び替え/ソート" with the target and order
// radio groups, OK and Cancel.
#ifndef MORVIK_GUI_SORT_DIALOG_H_
#define MORVIK_GUI_SORT_DIALOG_H_

#include <QButtonGroup>
#include <QStringList>

#include "gui/dialog_common.h"

namespace morvik {

class SortDialog : public OutcomeDialog {
 public:
  // The radio items of the target and the order, as the logic names them.
  SortDialog(QWidget* parent, const QStringList& target_items, const QStringList& order_items);

  // 0 "現在の優先度", 1 "全体".
  int TargetIndex() const { return radio_target_->checkedId(); }
  // 0 ascending, 1 descending.
  int OrderIndex() const { return radio_order_->checkedId(); }
  // Checks the items of the two groups; an index out of range changes nothing.
  void SetIndexes(int target, int order);

 private:
  QButtonGroup* radio_target_;
  QButtonGroup* radio_order_;
};

}  // namespace morvik

#endif  // MORVIK_GUI_SORT_DIALOG_H_
