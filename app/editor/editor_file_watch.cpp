// TFormEditor: documents whose files other programs change. Each page
// remembers its file's identity as Morvik last read or wrote it; the view
// watches the files and asks the logic to look when the window is active.
#include <algorithm>
#include <memory>

#include "app/editor/editor.h"
#include "app/editor/editor_page.h"
#include "data/file_io.h"

namespace morvik {

void TFormEditor::SetDocumentFile(Page& page, const std::string& path,
                                  const FileIdentity& identity) {
  const std::string previous = page.Untitled ? std::string() : page.Document.FileName;
  page.Document.FileName = path;
  page.Untitled = false;
  page.OnDisk = identity;
  page.Reported = identity;
  if (previous == path) return;
  port_.WatchFile(path);
  if (previous.empty()) return;
  const bool still_shown = std::any_of(pages_.begin(), pages_.end(), [&](const auto& other) {
    return !other->Untitled && other->Document.FileName == previous;
  });
  if (!still_shown) port_.UnwatchFile(previous);
}

bool TFormEditor::MayReplaceFileOnDisk(Page& page) {
  if (page.Untitled) return true;
  const FileIdentity now = StatFile(page.Document.FileName);
  // Something that is no file any more fails to be written, as it says.
  if (!now.Regular || now == page.OnDisk) return true;
  page.Reported = now;  // the user has now heard of this change
  return port_.ShowMessage(MessageKind::Confirmation,
                           "ファイル\r\n\"" + page.Document.FileName +
                               "\"\r\nは読み込んだ後に他のプログラムによって変更されています。"
                               "上書きしますか？",
                           kYesNoButtons) == MessageButton::Yes;
}

void TFormEditor::CheckFilesOnDisk() {
  // Inside a long command the text must not change under it; and a
  // question already showing must not be asked again from its own loop.
  if (checking_files_ || LongCommandRunning()) return;
  checking_files_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{checking_files_};
  for (const std::unique_ptr<Page>& page_ptr : pages_) {
    Page& page = *page_ptr;
    if (page.Untitled) continue;
    const FileIdentity now = StatFile(page.Document.FileName);
    if (!now.Regular || now == page.OnDisk || now == page.Reported) continue;
    page.Reported = now;  // told once, whatever the answer
    port_.SetActivePage(PageIndexOfNumber(page.Number));
    const MessageButton answer = port_.ShowMessage(
        MessageKind::Confirmation,
        "ファイル\r\n\"" + page.Document.FileName +
            "\"\r\nは他のプログラムによって変更されました。読み込み直しますか？\r\n"
            "(読み込み直しても、元に戻す操作で今の内容に戻せます)",
        kYesNoButtons);
    if (answer == MessageButton::Yes) ReloadDocument(page, now);
  }
}

void TFormEditor::ReloadDocument(Page& page, const FileIdentity& identity) {
  TRichEditEx& document = page.Document;
  BusyCursorGuard busy(port_);
  const std::string bytes = ReadFileBytes(document.FileName, TRichEditEx::kMaxLength);
  const std::string text = document.Text();
  // Only the bytes that differ are replaced: the undo step stays small and
  // the caret stays where the text around it did not change.
  const std::size_t shorter = std::min(text.size(), bytes.size());
  std::size_t head = 0;
  while (head < shorter && text[head] == bytes[head]) ++head;
  std::size_t tail = 0;
  while (tail < shorter - head && text[text.size() - 1 - tail] == bytes[bytes.size() - 1 - tail]) {
    ++tail;
  }
  const std::size_t caret = document.SelStart();
  {
    TRichEditEx::UndoGroup group(document);
    document.Replace(head, text.size() - head - tail,
                     std::string_view(bytes).substr(head, bytes.size() - head - tail));
  }
  document.SetSelection(std::min(caret, document.Length()), 0);
  page.OnDisk = identity;
  page.Reported = identity;
  document.SetModified(false);
}

}  // namespace morvik
