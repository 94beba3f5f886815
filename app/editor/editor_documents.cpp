// TFormEditor: closing documents, the recent-files list, going to a line,
// line numbers and zoom; and the list and zoom helpers behind them.
#include "app/editor/editor_documents.h"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "app/dialogs/select_type.h"
#include "app/editor/editor.h"
#include "app/editor/editor_page.h"

namespace morvik {
namespace {

constexpr char kRecentFilesKey[] = "RecentFiles";
constexpr char kLineNumbersKey[] = "LineNumbers";
// Between a type's name and the path in a recent-files entry; a type name
// never holds it.
constexpr char kRecentFileSeparator = '|';

// The ladder of zoom levels, in percent of the display font's size; level
// 0 is kZoomHome.
constexpr int kZoomPercents[] = {50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300, 400};
constexpr int kZoomHome = 5;
static_assert(kZoomPercents[kZoomHome] == 100);

}  // namespace

std::optional<DataType> DataTypeNamed(std::string_view name) {
  for (int value = 0; value < kDataTypeCount; ++value) {
    const auto type = static_cast<DataType>(value);
    const std::string known = DataTypeName(type);
    if (std::equal(known.begin(), known.end(), name.begin(), name.end(), [](char a, char b) {
          return std::tolower(static_cast<unsigned char>(a)) ==
                 std::tolower(static_cast<unsigned char>(b));
        })) {
      return type;
    }
  }
  return std::nullopt;
}

std::vector<RecentFile> WithRecentFile(const std::vector<RecentFile>& files,
                                       const RecentFile& file) {
  std::vector<RecentFile> recent{file};
  for (const RecentFile& each : files) {
    if (recent.size() == kRecentFileCount) break;
    if (each.Path != file.Path) recent.push_back(each);
  }
  return recent;
}

std::vector<std::string> RecentFilesSetting(const std::vector<RecentFile>& files) {
  std::vector<std::string> texts;
  texts.reserve(files.size());
  for (const RecentFile& file : files) {
    texts.push_back(DataTypeName(file.Type) + kRecentFileSeparator + file.Path);
  }
  return texts;
}

std::vector<RecentFile> RecentFilesFromSetting(const std::vector<std::string>& texts) {
  std::vector<RecentFile> files;
  for (const std::string& text : texts) {
    const std::size_t separator = text.find(kRecentFileSeparator);
    if (separator == std::string::npos || separator + 1 == text.size()) continue;
    const std::optional<DataType> type = DataTypeNamed(std::string_view(text).substr(0, separator));
    if (!type) continue;
    const RecentFile file{text.substr(separator + 1), *type};
    // A list edited by hand may name a file twice: the first one counts.
    if (std::find_if(files.begin(), files.end(), [&file](const RecentFile& each) {
          return each.Path == file.Path;
        }) != files.end()) {
      continue;
    }
    files.push_back(file);
    if (files.size() == kRecentFileCount) break;
  }
  return files;
}

int MinZoomLevel() {
  return -kZoomHome;
}

int MaxZoomLevel() {
  return static_cast<int>(std::size(kZoomPercents)) - 1 - kZoomHome;
}

FontSpec ZoomedFont(const FontSpec& base, int level) {
  const int percent = kZoomPercents[std::clamp(level, MinZoomLevel(), MaxZoomLevel()) + kZoomHome];
  FontSpec font = base;
  font.Size = std::max(1, (base.Size * percent + 50) / 100);
  return font;
}

// --- Settings --------------------------------------------------------------------------

void TFormEditor::LoadSettings() {
  RecentFiles = RecentFilesFromSetting(port_.ReadSetting(kRecentFilesKey));
  port_.SetRecentFiles(RecentFiles);
  const std::vector<std::string> line_numbers = port_.ReadSetting(kLineNumbersKey);
  LineNumbersVisible = !line_numbers.empty() && line_numbers.front() == "1";
  port_.SetLineNumbersVisible(LineNumbersVisible);
}

void TFormEditor::RememberRecentFile(const std::string& path, DataType type) {
  // From the list as stored, so that another Morvik's files stay in it.
  RecentFiles =
      WithRecentFile(RecentFilesFromSetting(port_.ReadSetting(kRecentFilesKey)), {path, type});
  port_.WriteSetting(kRecentFilesKey, RecentFilesSetting(RecentFiles));
  port_.SetRecentFiles(RecentFiles);
}

// --- Closing documents ----------------------------------------------------------------

void TFormEditor::MenuFileCloseClick() {
  const int index = ActivePage();
  if (index < 0 || LongCommandRunning()) return;
  TRichEditEx& document = pages_[index]->Document;
  if (document.Modified()) {
    const MessageButton answer = port_.ShowMessage(
        MessageKind::Confirmation, document.FileName + "\r\n\r\nは変更されています。保存しますか？",
        kYesNoCancelButtons);
    if (answer == MessageButton::Cancel) return;
    // Yes saves as the File menu does: a document never saved asks where.
    // A failed write throws, and the document stays.
    if (answer == MessageButton::Yes && !SaveDocument(document)) return;
  }
  CloseDocument(index);
}

void TFormEditor::PageCloseClick(int index) {
  if (index < 0 || index >= PageCount() || LongCommandRunning()) return;
  if (index != ActivePage()) {
    if (!pages_[index]->Document.Modified()) {
      // Nothing to ask: the page the user works in stays in front.
      CloseDocument(index);
      return;
    }
    // The user sees the document asked about.
    port_.SetActivePage(index);
    PageEditChange();
  }
  MenuFileCloseClick();
}

void TFormEditor::CloseDocument(int index) {
  Page& page = *pages_[index];
  // What the user chose to close leaves no recovery file to be offered at
  // the next start, and its file is no longer watched unless another page
  // shows it too.
  ForgetRecovery(page);
  const std::string file = page.Untitled ? std::string() : page.Document.FileName;
  port_.DocumentClosing(index);
  pages_.erase(pages_.begin() + index);
  const bool still_shown = std::any_of(pages_.begin(), pages_.end(), [&](const auto& other) {
    return !other->Untitled && other->Document.FileName == file;
  });
  if (!file.empty() && !still_shown) port_.UnwatchFile(file);
  if (TRichEditEx* document = CurrentDocument()) {
    port_.FocusDocument(ActivePage());
    UpdateCaretStatus(*document);
    port_.SetStatusPanel(1, document->FileName);
  } else {
    port_.SetStatusPanel(0, "");
    port_.SetStatusPanel(1, "");
  }
}

void TFormEditor::DocumentModifiedChanged(const Page& page) {
  for (int index = 0; index < PageCount(); ++index) {
    if (pages_[index].get() == &page) port_.SetPageModified(index, page.Document.Modified());
  }
}

// --- Recent files -----------------------------------------------------------------------

void TFormEditor::MenuFileRecentClick(int index) {
  if (index < 0 || index >= static_cast<int>(RecentFiles.size()) || LongCommandRunning()) return;
  const RecentFile file = RecentFiles[static_cast<std::size_t>(index)];
  TFormSelectType form;
  form.SetSelectedType(file.Type);
  port_.RunSelectType(form);
  form.FormClose();
  if (form.Cancelled) return;
  OpenFile(file.Path, form.GetSelectedType());
}

// --- Going to a line ------------------------------------------------------------------------

void TFormEditor::MenuEditGoToLineClick() {
  const TRichEditEx* document = CurrentDocument();
  if (document == nullptr || LongCommandRunning()) return;
  GoToLineForm form;
  form.LineCount = document->RawLineCount();
  form.Line = document->LineFromPosition(document->SelStart()) + 1;
  port_.RunGoToLine(form);
  if (!form.Cancelled) GoToLine(form.Line);
}

void TFormEditor::GoToLine(std::size_t line) {
  TRichEditEx* document = CurrentDocument();
  if (document == nullptr) return;
  line = std::clamp<std::size_t>(line, 1, document->RawLineCount());
  document->SetSelection(document->PositionOfLine(line - 1), 0);
  port_.FocusDocument(ActivePage());
  UpdateCaretStatus(*document);
}

// --- Line numbers and zoom -------------------------------------------------------------------

void TFormEditor::MenuConfigLineNumbersClick() {
  LineNumbersVisible = !LineNumbersVisible;
  port_.WriteSetting(kLineNumbersKey, {LineNumbersVisible ? "1" : "0"});
  port_.SetLineNumbersVisible(LineNumbersVisible);
}

void TFormEditor::MenuConfigZoomInClick() {
  SetZoomLevel(ZoomLevel + 1);
}

void TFormEditor::MenuConfigZoomOutClick() {
  SetZoomLevel(ZoomLevel - 1);
}

void TFormEditor::MenuConfigZoomResetClick() {
  SetZoomLevel(0);
}

void TFormEditor::ZoomBy(int steps) {
  SetZoomLevel(ZoomLevel + steps);
}

void TFormEditor::SetZoomLevel(int level) {
  level = std::clamp(level, MinZoomLevel(), MaxZoomLevel());
  if (level == ZoomLevel) return;
  ZoomLevel = level;
  ApplyDocumentFont();
}

void TFormEditor::ApplyDocumentFont() {
  const FontSpec font = ZoomedFont(DisplayFont, ZoomLevel);
  for (int index = 0; index < PageCount(); ++index) SetPageFont(index, font);
}

}  // namespace morvik
