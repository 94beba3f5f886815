// TFormEditor: the File menu (New, Open, Save, Save As, Change data type).
#include <filesystem>

#include "app/editor/command_guards.h"
#include "app/editor/editor.h"
#include "app/editor/editor_page.h"

namespace morvik {
namespace {

// The file name of path without its directory.
std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool FileExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(std::filesystem::path(path), error);
}

}  // namespace

void TFormEditor::MenuFileNewClick() {
  if (LongCommandRunning()) return;
  if (const std::optional<DataType> type = AskDataType()) CreateDocument(*type);
}

void TFormEditor::MenuFileOpenClick() {
  if (LongCommandRunning()) return;
  if (!port_.ChooseOpenFile(OpenDialog)) return;
  OpenFile(OpenDialog.FileName, std::nullopt);
}

void TFormEditor::OpenFile(const std::string& path, std::optional<DataType> type) {
  if (LongCommandRunning()) return;
  if (!type) type = AskDataType();
  if (!type) return;
  CreateDocument(*type);
  TRichEditEx& document = *DocumentByNumber(DocumentCount);
  BusyCursorGuard busy(port_);
  document.Replace(0, document.Length(), "");
  // Taken before reading: a change while reading shows as a change later.
  const FileIdentity identity = StatFile(path);
  // A failed read throws, leaving the new document empty and untitled.
  document.LoadFromFile(path);
  SetDocumentFile(PageOf(document), path, identity);
  document.SetModified(false);
  SetActivePageCaption(BaseName(path));
  RememberRecentFile(path, *type);
}

void TFormEditor::MenuFileSaveClick() {
  TRichEditEx* document = CurrentDocument();
  if (document == nullptr || !document->Modified() || LongCommandRunning()) return;
  SaveDocument(*document);
}

void TFormEditor::MenuFileSaveAsClick() {
  if (LongCommandRunning()) return;
  SaveDocumentAs(CurrentDocument());
}

bool TFormEditor::SaveDocument(TRichEditEx& document) {
  // A document without a file, or whose file was deleted meanwhile, is
  // saved where the user says. An untitled name is never a path to write:
  // it would land in whatever the current directory is.
  if (IsUntitled(document) || !FileExists(document.FileName)) return SaveDocumentAs(&document);
  Page& page = PageOf(document);
  if (!MayReplaceFileOnDisk(page)) return false;
  BusyCursorGuard busy(port_);
  document.SaveToFile(document.FileName);
  SetDocumentFile(page, document.FileName, StatFile(document.FileName));
  document.SetModified(false);
  ForgetRecovery(page);
  return true;
}

bool TFormEditor::SaveDocumentAs(TRichEditEx* document) {
  if (!port_.ChooseSaveFile(SaveDialog)) return false;
  std::string path = SaveDialog.FileName;
  // A path without any dot, directories included, gets the data files'
  // extension; a dot anywhere counts, as it always has.
  if (path.find('.') == std::string::npos) {
    path += ".htd";
    SaveDialog.FileName = path;
  }
  if (document == nullptr) return false;
  // The save dialog leaves this question to us, so that it is asked once
  // and also for the ".htd" name the dialog never saw.
  if (FileExists(path) &&
      port_.ShowMessage(MessageKind::Confirmation,
                        "ファイル\r\n\"" + path + "\"\r\nは既に存在します。上書きしますか？",
                        kYesNoButtons) != MessageButton::Yes) {
    return false;
  }
  BusyCursorGuard busy(port_);
  // Nothing below changes when the write throws.
  document->SaveToFile(path);
  Page& page = PageOf(*document);
  SetDocumentFile(page, path, StatFile(path));
  page.Caption = BaseName(path);
  port_.SetPageCaption(PageIndexOfNumber(page.Number), page.Caption);
  document->SetModified(false);
  ForgetRecovery(page);
  return true;
}

void TFormEditor::MenuFileChangeDataTypeClick() {
  TRichEditEx* document = CurrentDocument();
  if (document == nullptr || LongCommandRunning()) return;
  if (const std::optional<DataType> type = AskDataType()) document->DataType = *type;
}

}  // namespace morvik
