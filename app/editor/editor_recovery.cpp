// TFormEditor: recovery files, so that unsaved work survives a crash.
//
// A text change starts the recovery timer (it is not restarted by later
// changes, so a snapshot comes at most two seconds after any change, also
// while the user keeps typing). At its expiry each changed document is
// copied once and handed to RecoveryFiles, which writes on its own thread.
#include <algorithm>
#include <memory>

#include "app/editor/editor.h"
#include "app/editor/editor_page.h"

namespace morvik {
namespace {

std::string BaseNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void TFormEditor::RecoveryNeeded() {
  if (recovery_ != nullptr) port_.StartRecoveryTimer();
}

void TFormEditor::ForgetRecovery(Page& page) {
  page.ChangesKept = page.Changes;
  page.Snapshot.reset();
  if (recovery_ == nullptr || !page.RecoveryKept) return;
  recovery_->Forget(page.Number);
  page.RecoveryKept = false;
}

void TFormEditor::SaveRecoveryFiles() {
  if (recovery_ == nullptr) return;
  for (const std::unique_ptr<Page>& page_ptr : pages_) {
    Page& page = *page_ptr;
    if (!page.Document.Modified()) {
      ForgetRecovery(page);
    } else if (!page.Snapshot && !(page.RecoveryKept && page.ChangesKept == page.Changes)) {
      page.Snapshot.emplace();
      page.Snapshot->reserve(page.Document.Length());
    }
  }
  ContinueRecoverySnapshots();
}

void TFormEditor::ContinueRecoverySnapshots() {
  if (recovery_ == nullptr) return;
  std::size_t budget = kSnapshotSliceBytes;
  bool unfinished = false;
  for (const std::unique_ptr<Page>& page_ptr : pages_) {
    Page& page = *page_ptr;
    if (!page.Snapshot) continue;
    std::string& copy = *page.Snapshot;
    const std::size_t length = page.Document.Length();
    const std::size_t slice = std::min(budget, length - copy.size());
    copy += page.Document.TextRange(copy.size(), slice);
    budget -= slice;
    if (copy.size() < length) {
      unfinished = true;
      continue;
    }
    RecoveryRecord record;
    record.Type = page.Document.DataType;
    record.HasFile = !page.Untitled;
    record.FileName = page.Document.FileName;
    record.Text = std::move(copy);
    page.Snapshot.reset();
    recovery_->Keep(page.Number, std::move(record));
    page.ChangesKept = page.Changes;
    page.RecoveryKept = true;
  }
  if (unfinished) port_.ContinueRecoverySoon();
}

void TFormEditor::OfferRecovery() {
  if (recovery_ == nullptr) return;
  const std::vector<RecoveryFiles::Orphan> orphans = recovery_->FindOrphans();
  if (orphans.empty()) {
    recovery_->Discard(orphans);
    return;
  }
  std::string names;
  for (const RecoveryFiles::Orphan& orphan : orphans) names += "\r\n" + orphan.Record.FileName;
  const MessageButton answer =
      port_.ShowMessage(MessageKind::Confirmation,
                        "前回の Morvik は保存されていない変更を残したまま終了しました。" + names +
                            "\r\n\r\nこれらを復元しますか？ (いいえを選ぶと削除されます)",
                        kYesNoButtons);
  if (answer == MessageButton::Yes) {
    for (const RecoveryFiles::Orphan& orphan : orphans) {
      const RecoveryRecord& record = orphan.Record;
      CreateDocument(record.Type);
      Page& page = *pages_.back();
      TRichEditEx& document = page.Document;
      document.Replace(0, document.Length(), record.Text);
      document.ClearUndo();
      document.SetSelection(0, 0);
      if (record.HasFile) {
        // Unknown what the file was when this work was read: a Save asks
        // before replacing whatever is there now.
        SetDocumentFile(page, record.FileName, FileIdentity{});
        page.Reported = StatFile(record.FileName);  // no offer to reload over it
        page.Caption = BaseNameOf(record.FileName);
        port_.SetPageCaption(PageIndexOfNumber(page.Number), page.Caption);
      }
      document.SetModified(true);
    }
    SaveRecoveryFiles();  // the restored work is this session's to keep now
  }
  recovery_->Discard(orphans);
}

}  // namespace morvik
