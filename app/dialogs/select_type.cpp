// The data-type dialog's logic.
#include "app/dialogs/select_type.h"

namespace morvik {

TFormSelectType::TFormSelectType() = default;

std::vector<std::string> TFormSelectType::RadioTypeItems() {
  std::vector<std::string> items;
  items.reserve(kDataTypeCount);
  for (int type = 0; type < kDataTypeCount; ++type) {
    items.push_back(DataTypeLabel(static_cast<DataType>(type)));
  }
  return items;
}

void TFormSelectType::SetSelectedType(DataType type) {
  if (type < kDataTypeCount) RadioTypeItemIndex = type;
}

DataType TFormSelectType::GetSelectedType() const {
  if (RadioTypeItemIndex < 0 || RadioTypeItemIndex >= kDataTypeCount) return Data01;
  return static_cast<DataType>(RadioTypeItemIndex);
}

void TFormSelectType::ButtonOKClick() {
  CloseRequested = true;
}

void TFormSelectType::ButtonCancelClick() {
  Cancelled = true;
  CloseRequested = true;
}

void TFormSelectType::FormClose() {
  if (!CloseRequested) Cancelled = true;
  CloseRequested = true;
}

}  // namespace morvik
