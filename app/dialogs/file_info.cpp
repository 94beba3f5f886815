// The file-information dialog's logic over the data layer's listings.
#include "app/dialogs/file_info.h"

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

}  // namespace morvik
