// TFormEditor::Page: a tab page with its document and what the window
// knows of the document's file. Private to the editor's own files.
#ifndef MORVIK_APP_EDITOR_EDITOR_PAGE_H_
#define MORVIK_APP_EDITOR_EDITOR_PAGE_H_

#include <cstdint>
#include <optional>
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

  void TextReplaced(std::size_t offset, std::size_t, std::size_t, std::size_t, std::size_t,
                    std::size_t) override {
    ++Changes;
    // The part of a snapshot under way from the edit on is stale: it is
    // copied again.
    if (Snapshot && offset < Snapshot->size()) Snapshot->resize(offset);
    editor_.RecoveryNeeded();
    editor_.DocumentChange(Document);
  }
  void ModifiedChanged(bool) override { editor_.DocumentModifiedChanged(*this); }

  // The document's number; its page's index changes as pages before it
  // close (TFormEditor::PageIndexOfNumber).
  const int Number;
  std::string TabSheetName;
  std::string Caption;
  FontSpec Font;
  TRichEditEx Document;
  bool Untitled = true;  // no file yet
  // The file as Morvik last read or wrote it, and the last change of it
  // that the user was told of.
  FileIdentity OnDisk;
  FileIdentity Reported;
  // Text changes so far, and how many of them the last recovery snapshot
  // holds; whether a recovery file was asked for.
  std::uint64_t Changes = 0;
  std::uint64_t ChangesKept = 0;
  bool RecoveryKept = false;
  // The copy of the text being taken for the recovery file, its first
  // Snapshot->size() bytes done.
  std::optional<std::string> Snapshot;

 private:
  TFormEditor& editor_;
};

}  // namespace morvik

#endif  // MORVIK_APP_EDITOR_EDITOR_PAGE_H_
