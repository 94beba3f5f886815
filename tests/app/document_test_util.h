// Helpers shared by the document model's tests.
#ifndef MORVIK_TESTS_APP_DOCUMENT_TEST_UTIL_H_
#define MORVIK_TESTS_APP_DOCUMENT_TEST_UTIL_H_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/document/rich_edit_ex.h"

namespace morvik::testing {

// A document holding text, unmodified, with an empty undo history... as far
// as the public interface allows: the text is one undo step.
inline std::unique_ptr<TRichEditEx> MakeDocument(std::string_view text) {
  auto document = std::make_unique<TRichEditEx>("RichEdit1");
  document->Replace(0, 0, text);
  document->SetModified(false);
  return document;
}

// Follows a document as a view would: keeps a decoded copy through the
// character coordinates of each change and a byte copy through the byte
// coordinates, and records the other notifications.
class MirrorObserver : public DocumentObserver {
 public:
  explicit MirrorObserver(TRichEditEx& document)
      : document_(document), chars_(document.DecodedText()), bytes_(document.Text()) {
    document_.AddObserver(this);
  }
  ~MirrorObserver() override { document_.RemoveObserver(this); }
  MirrorObserver(const MirrorObserver&) = delete;
  MirrorObserver& operator=(const MirrorObserver&) = delete;

  void TextReplaced(std::size_t offset, std::size_t removed_bytes, std::size_t inserted_bytes,
                    std::size_t char_position, std::size_t removed_chars,
                    std::size_t inserted_chars) override {
    bytes_.replace(offset, removed_bytes, document_.TextRange(offset, inserted_bytes));
    const std::u16string now = document_.DecodedText();
    chars_.replace(char_position, removed_chars, now.substr(char_position, inserted_chars));
    ++text_changes;
  }
  void SelectionChanged() override { ++selection_changes; }
  void ModifiedChanged(bool modified) override { modified_changes.push_back(modified); }

  const std::u16string& chars() const { return chars_; }
  const std::string& bytes() const { return bytes_; }

  int text_changes = 0;
  int selection_changes = 0;
  std::vector<bool> modified_changes;

 private:
  TRichEditEx& document_;
  std::u16string chars_;
  std::string bytes_;
};

}  // namespace morvik::testing

#endif  // MORVIK_TESTS_APP_DOCUMENT_TEST_UTIL_H_
