// TFormFileInfo: the file-information dialog, as logic without a window. A
// view shows the labels, the drop-down list and the memo, writes the chosen
// item into ComboShowInfoItemIndex and calls ComboShowInfoChange, then shows
// MemoInfo again; it closes when CloseRequested is set (OK, Enter, Escape)
// or by its frame.
#ifndef MORVIK_APP_DIALOGS_FILE_INFO_H_
#define MORVIK_APP_DIALOGS_FILE_INFO_H_

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace morvik {

class TRichEditEx;

class TFormFileInfo {
 public:
  static constexpr char kCaption[] = "ファイル情報";
  // A fixed dialog border, centred on the main window.
  static constexpr int kClientWidth = 396;
  static constexpr int kClientHeight = 251;
  static constexpr char kFontName[] = "ＭＳ Ｐゴシック";
  static constexpr int kFontPixels = 12;
  static constexpr char kLabel1Caption[] = "表示する情報(&S)";
  static constexpr char kButtonOKCaption[] = "OK(&O)";
  static std::vector<std::string> ComboShowInfoItems();  // path, invalid lines, keywords

  // document: the current document, or nullptr. It must outlive the dialog.
  explicit TFormFileInfo(const TRichEditEx* document);

  std::string LabelFileName;  // UTF-8
  std::string LabelLines;     // UTF-8
  int ComboShowInfoItemIndex = -1;
  // The memo's lines, Shift_JIS (document lines and keywords as they stand;
  // the path converted from the file system's UTF-8).
  std::vector<std::string> MemoInfo;
  bool CloseRequested = false;
  // The document line (1-based) that a double-click on the invalid-line
  // listing chose to go to, 0 for none; set together with CloseRequested.
  std::size_t JumpLine = 0;

  // Shows (true) or ends (false) the hourglass; set by whoever shows the
  // dialog.
  std::function<void(bool)> SetBusyCursor;

  // Fills the labels; without a document asks to close.
  void FormCreate();
  // Fills MemoInfo for the chosen item.
  void ComboShowInfoChange();
  void ButtonOKClick();
  // A double-click on line Index of the memo: on the invalid-line listing
  // ("Line5 ..."), the dialog closes to show that line of the document;
  // elsewhere nothing happens.
  void MemoInfoDblClick(int index);

 private:
  const TRichEditEx* document_;
};

}  // namespace morvik

#endif  // MORVIK_APP_DIALOGS_FILE_INFO_H_
