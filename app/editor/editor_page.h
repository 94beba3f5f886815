// TFormEditor::Page: one tab page of the main window with its document,
// shared by the files that hold TFormEditor's handlers.
#ifndef MORVIK_APP_EDITOR_EDITOR_PAGE_H_
#define MORVIK_APP_EDITOR_EDITOR_PAGE_H_

#include <string>

#include "app/editor/editor.h"

namespace morvik {

// A tab page with its document. The page watches its document so that every
// change of the text, whoever made it, refreshes the caret status, and its
// tab shows whether the document holds unsaved changes.
class TFormEditor::Page : public DocumentObserver {
 public:
  Page(TFormEditor& editor, int number)
      : Number(number),
        TabSheetName("TabSheet" + std::to_string(number)),
        Caption("Untitled" + std::to_string(number)),
        Document("RichEdit" + std::to_string(number)),
        editor_(editor) {}
  ~Page() override { Document.RemoveObserver(this); }
  Page(const Page&) = delete;
  Page& operator=(const Page&) = delete;

  void Watch() { Document.AddObserver(this); }

  void TextReplaced(std::size_t, std::size_t, std::size_t, std::size_t, std::size_t,
                    std::size_t) override {
    editor_.DocumentChange(Document);
  }
  void ModifiedChanged(bool) override { editor_.DocumentModifiedChanged(*this); }

  const int Number;
  std::string TabSheetName;
  std::string Caption;
  FontSpec Font;
  TRichEditEx Document;

 private:
  TFormEditor& editor_;
};

}  // namespace morvik

#endif  // MORVIK_APP_EDITOR_EDITOR_PAGE_H_
