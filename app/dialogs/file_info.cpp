// The file-information dialog's logic over the data layer's listings.
#include "app/dialogs/file_info.h"

#include <string_view>

#include "app/document/rich_edit_ex.h"
#include "data/file_info.h"
#include "data/line_sort.h"
#include "data/sv_data.h"

namespace morvik {
namespace {

class BusyScope {
 public:
  explicit BusyScope(const std::function<void(bool)>& set_busy) : set_busy_(set_busy) {
    if (set_busy_) set_busy_(true);
  }
  ~BusyScope() {
    if (set_busy_) set_busy_(false);
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  const std::function<void(bool)>& set_busy_;
};

}  // namespace

std::vector<std::string> TFormFileInfo::ComboShowInfoItems() {
  return {"ファイルフルパス", "無効な行", "キーワード一覧"};
}

TFormFileInfo::TFormFileInfo(const TRichEditEx* document) : document_(document) {}

void TFormFileInfo::FormCreate() {
  if (document_ == nullptr) {
    CloseRequested = true;
    return;
  }
  LabelFileName = FileNameLabel(document_->DataType, document_->FileName);
  // One copy of the text and views into it: cheaper than a million Line calls.
  const std::string text = document_->Text();
  LabelLines =
      LineCountsLabel(CountLines(DocumentLineViews(text), FieldCount(document_->DataType)));
}

void TFormFileInfo::ComboShowInfoChange() {
  const BusyScope busy(SetBusyCursor);
  if (document_ == nullptr) return;
  switch (ComboShowInfoItemIndex) {
    case kShowFullPath:
      MemoInfo = {PathToSjis(document_->FileName)};
      break;
    case kShowInvalidLines: {
      const std::string text = document_->Text();
      MemoInfo = InvalidLineListing(DocumentLineViews(text), FieldCount(document_->DataType));
      break;
    }
    case kShowKeywords: {
      const std::string text = document_->Text();
      MemoInfo = KeywordList(DocumentLineViews(text), UserCollationLocale());
      break;
    }
    default:
      break;
  }
}

void TFormFileInfo::ButtonOKClick() {
  CloseRequested = true;
}

void TFormFileInfo::MemoInfoDblClick(int index) {
  if (ComboShowInfoItemIndex != kShowInvalidLines || index < 0 ||
      index >= static_cast<int>(MemoInfo.size())) {
    return;
  }
  // "Line" + the 1-based number + a blank + the line.
  static constexpr std::string_view kPrefix = "Line";
  const std::string_view entry = MemoInfo[static_cast<std::size_t>(index)];
  if (!entry.starts_with(kPrefix)) return;
  std::size_t line = 0;
  std::size_t digits = kPrefix.size();
  for (; digits < entry.size() && entry[digits] >= '0' && entry[digits] <= '9'; ++digits) {
    line = line * 10 + static_cast<std::size_t>(entry[digits] - '0');
  }
  if (digits == kPrefix.size() || line == 0) return;
  JumpLine = line;
  CloseRequested = true;
}

}  // namespace morvik
