// TFormEditor: creating and finding documents, the Enter key, the status
// bar and the closing pass.
#include "app/editor/editor.h"

#include <cstdio>
#include <stdexcept>

#include "app/dialogs/select_type.h"
#include "app/editor/editor_page.h"

namespace morvik {

TFormEditor::TFormEditor(DesktopPort& port) : port_(port) {
  OpenDialog.Filter = kOpenDialogFilter;
  OpenDialog.FilterIndex = 1;
  OpenDialog.FileMustExist = true;
}

TFormEditor::~TFormEditor() = default;

// --- Window -------------------------------------------------------------------

void TFormEditor::FormCreate() {
  DisplayFont = FontSpec();
  ProgramDir = port_.ProgramDirectory();
  if (ProgramDir.empty() || ProgramDir.back() != '/') ProgramDir += '/';
  LoadSettings();
}

void TFormEditor::FormClose(CloseAction& Action) {
  if (LongCommandRunning()) {
    Action = CloseAction::DoNotClose;
    return;
  }
  for (int number = 1; number <= DocumentCount; ++number) {
    TRichEditEx* document = DocumentByNumber(number);
    if (document == nullptr || !document->Modified()) continue;
    port_.SetActivePage(PageIndexOfNumber(number));
    const MessageButton answer = port_.ShowMessage(
        MessageKind::Confirmation,
        document->FileName + "\r\n\r\nは変更されています。保存しますか？", kYesNoCancelButtons);
    const bool saved_or_skipped =
        answer == MessageButton::No || (answer == MessageButton::Yes && SaveDocument(*document));
    if (!saved_or_skipped) {
      Action = CloseAction::DoNotClose;
      return;
    }
  }
}

void TFormEditor::MenuFileQuitClick() {
  port_.RequestClose();
}

// --- Documents ------------------------------------------------------------------

void TFormEditor::CreateDocument(DataType type) {
  ++DocumentCount;
  const int number = DocumentCount;
  pages_.push_back(std::make_unique<Page>(*this, number));
  Page& page = *pages_.back();
  TRichEditEx& document = page.Document;
  document.SetLinesText(NewFileText(type));
  // The template is where a new document starts: undo cannot go before it.
  document.ClearUndo();
  document.DataType = type;
  document.SetModified(true);
  document.FileName = "Untitled" + std::to_string(number);
  page.Font = ZoomedFont(DisplayFont, ZoomLevel);
  page.Watch();
  const int index = PageCount() - 1;
  port_.DocumentCreated(index, document, page.TabSheetName, page.Caption, page.Font);
  DocumentModifiedChanged(page);
  port_.SetActivePage(index);
}

int TFormEditor::ActivePage() const {
  const int index = port_.ActivePageIndex();
  return (index >= 0 && index < PageCount()) ? index : -1;
}

TRichEditEx* TFormEditor::CurrentDocument() const {
  const int index = ActivePage();
  return index < 0 ? nullptr : &pages_[index]->Document;
}

TRichEditEx* TFormEditor::DocumentByNumber(int number) const {
  const int index = PageIndexOfNumber(number);
  return index < 0 ? nullptr : &pages_[index]->Document;
}

int TFormEditor::PageIndexOfNumber(int number) const {
  for (int index = 0; index < PageCount(); ++index) {
    if (pages_[index]->Number == number) return index;
  }
  return -1;
}

const std::string& TFormEditor::TabSheetName(int index) const {
  return pages_.at(index)->TabSheetName;
}

const std::string& TFormEditor::PageCaption(int index) const {
  return pages_.at(index)->Caption;
}

TFormEditor::Page& TFormEditor::PageOf(const TRichEditEx& document) const {
  for (const std::unique_ptr<Page>& page : pages_) {
    if (&page->Document == &document) return *page;
  }
  throw std::logic_error("TFormEditor.PageOf: not a document of this window");
}

bool TFormEditor::IsUntitled(const TRichEditEx& document) const {
  return PageOf(document).Untitled;
}

const FontSpec& TFormEditor::DocumentFont(int index) const {
  return pages_.at(index)->Font;
}

void TFormEditor::SetActivePageCaption(const std::string& caption) {
  const int index = ActivePage();
  if (index < 0) return;
  pages_[index]->Caption = caption;
  port_.SetPageCaption(index, caption);
}

void TFormEditor::SetPageFont(int index, const FontSpec& font) {
  pages_.at(index)->Font = font;
  port_.SetDocumentFont(index, font);
}

std::string TFormEditor::GetSelectedText() const {
  const TRichEditEx* document = CurrentDocument();
  return document == nullptr ? std::string() : document->SelectedText();
}

void TFormEditor::SetSelectedText(std::string_view Text) {
  TRichEditEx* document = CurrentDocument();
  if (document == nullptr) return;
  TRichEditEx::UndoGroup group(*document);
  document->ReplaceSelection(Text);
}

bool TFormEditor::DocumentKeyPress(TRichEditEx& Sender, char16_t Key) {
  if (Key != kEnterKey || port_.IsShiftDown()) return false;
  // A long command is working on the text: the key is dropped.
  if (LongCommandRunning() || Sender.ReadOnly()) return true;
  const std::string record = EmptyRecord(Sender.DataType);
  // The caret goes just after the opening quote of the first field, or to
  // the start of an empty line.
  const std::size_t caret_offset = record.empty() ? 0 : 1;

  TRichEditEx::UndoGroup group(Sender);
  const std::size_t caret = Sender.SelStart();
  Sender.SetSelection(caret, 0);
  const std::size_t line = Sender.LineFromPosition(caret);
  if (line >= Sender.LineCount()) {
    // The empty line after a final break (or an empty document) has no line
    // below it in the line list: the record goes right here instead, so
    // that Enter always gives the user a record to type into.
    const std::size_t start = Sender.PositionOfLine(line);
    Sender.Replace(start, 0, record + "\r\n");
    Sender.SetSelection(start + caret_offset, 0);
  } else {
    // The caret's line stays whole, whatever the caret's column.
    Sender.InsertLine(line + 1, record);
    Sender.SetSelection(Sender.PositionOfLine(line + 1) + caret_offset, 0);
  }
  return true;
}

// --- Status bar --------------------------------------------------------------------

void TFormEditor::UpdateCaretStatus(TRichEditEx& Document) {
  const std::size_t caret = Document.SelStart();
  const std::size_t line = Document.LineFromPosition(caret);
  const std::size_t column = caret - Document.PositionOfLine(line) + 1;
  port_.SetStatusPanel(0, DataTypeSuffix(Document.DataType) + " " + std::to_string(line + 1) +
                              "行" + std::to_string(column) + "列 (全" +
                              std::to_string(Document.RawLineCount()) + "行)");
}

void TFormEditor::SetStatusMessage(const std::string& Text) {
  port_.SetStatusPanel(1, Text);
  port_.ProcessPendingEvents();
}

void TFormEditor::DocumentChange(TRichEditEx& Sender) {
  UpdateCaretStatus(Sender);
}
void TFormEditor::DocumentKeyDown(TRichEditEx& Sender) {
  UpdateCaretStatus(Sender);
}
void TFormEditor::DocumentKeyUp(TRichEditEx& Sender) {
  UpdateCaretStatus(Sender);
}
void TFormEditor::DocumentMouseDown(TRichEditEx& Sender) {
  UpdateCaretStatus(Sender);
}

void TFormEditor::PageEditChange() {
  const TRichEditEx* document = CurrentDocument();
  if (document != nullptr) SetStatusMessage(document->FileName);
}

TFormEditor::LongCommand::LongCommand(TFormEditor& editor, TRichEditEx& document)
    : editor_(editor), busy_(editor.port_), read_only_(document) {
  ++editor_.long_commands_;
}

TFormEditor::LongCommand::~LongCommand() {
  --editor_.long_commands_;
}

std::optional<DataType> TFormEditor::AskDataType() {
  TFormSelectType form;
  if (const TRichEditEx* document = CurrentDocument()) form.SetSelectedType(document->DataType);
  port_.RunSelectType(form);
  form.FormClose();
  if (form.Cancelled) return std::nullopt;
  return form.GetSelectedType();
}

}  // namespace morvik
