// The sort options dialog's logic.
#include "app/dialogs/sort.h"

namespace morvik {

std::vector<std::string> TFormSort::RadioTargetItems() {
  return {"現在の優先度(&P)", "全体(&A)"};
}

std::vector<std::string> TFormSort::RadioOrderItems() {
  return {"昇順(&U) abc...", "降順(&D) zyx..."};
}

void TFormSort::ButtonOKClick() {
  Ascending = RadioOrderItemIndex == 0;
  WholeDocument = RadioTargetItemIndex == 1;
  CloseRequested = true;
}

void TFormSort::ButtonCancelClick() {
  Cancelled = true;
  CloseRequested = true;
}

void TFormSort::FormClose() {
  if (!CloseRequested) Cancelled = true;
  CloseRequested = true;
}

}  // namespace morvik
