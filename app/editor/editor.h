// TFormEditor: the main window's state and handlers, without a window.
//
// The main window owns every document (one TRichEditEx per tab page, never
// closed while the program runs), the long-lived dialogs' state and the
// display font. Whatever it needs from the desktop it asks through
// DesktopPort. A view (gui/, or the tests' fake) creates it, calls FormCreate
// once, and forwards menu commands, document events and dialog buttons to
// the handlers below. Exceptions from reading or writing files pass through
// the handlers to the application's default handler; guards undo the busy
// cursor and similar state on the way out.
//
// The handlers are split over files by concern: editor.cpp (documents,
// status bar, window), editor_file.cpp (File menu), editor_find.cpp (find
// and replace), editor_help.cpp (Help and Settings menus),
// editor_documents.cpp (closing documents, recent files, going to a line,
// line numbers and zoom).
#ifndef MORVIK_APP_EDITOR_EDITOR_H_
#define MORVIK_APP_EDITOR_EDITOR_H_

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/document/rich_edit_ex.h"
#include "app/editor/command_guards.h"
#include "app/editor/desktop_port.h"
#include "app/editor/dialog_state.h"
#include "app/editor/editor_documents.h"
#include "app/editor/recovery_files.h"
#include "data/file_identity.h"
#include "data/sv_data.h"

namespace morvik {

// What the closing handler decides for the main window.
enum class CloseAction { Close, DoNotClose };

class TFormEditor {
 public:
  static constexpr char kCaption[] = "Morvik";
  static constexpr char kVersionLine[] = "Morvik ver2.10.00";
  static constexpr char kOpenDialogFilter[] = "Savra データファイル|*.txt;*.htd|全てのファイル|*";
  // The help file, relative to ProgramDir.
  static constexpr char kHelpFile[] = "help/index.htm";
  // The help file's section about the project: the Help menu's project
  // page, so that it is there wherever the program is installed.
  static constexpr char kProjectSection[] = "project";
  // The key code of Enter as a document's key-press event reports it.
  static constexpr char16_t kEnterKey = 13;

  explicit TFormEditor(DesktopPort& port);
  ~TFormEditor();
  TFormEditor(const TFormEditor&) = delete;
  TFormEditor& operator=(const TFormEditor&) = delete;

  // --- State ---------------------------------------------------------------
  std::string ProgramDir;  // the program's directory, ending with "/"
  FontSpec DisplayFont;
  int DocumentCount = 0;  // documents created so far, never lowered
  FileDialogState OpenDialog;
  FileDialogState SaveDialog;
  FontSpec FontDialog;
  FindDialogState FindDialog;
  FindDialogState ReplaceDialog;
  // The last search either dialog ran, repeated by Find Next and Find
  // Previous of the Edit menu (F3, Shift+F3).
  FindDialogState LastFind;

  // The files opened lately, newest first, kept between runs.
  std::vector<RecentFile> RecentFiles;
  // Line numbers beside the documents' text, kept between runs.
  bool LineNumbersVisible = false;
  // The documents' zoom for this run (0: the display font's own size).
  int ZoomLevel = 0;

  // --- Window ----------------------------------------------------------------
  // Run once when the window is created: the display font, ProgramDir and
  // the settings kept between runs. No document is created.
  void FormCreate();
  // The unsaved-changes pass: each modified document, in tab order, is
  // shown and offered for saving (Yes, No, Cancel). Yes for a document that
  // has no file yet runs Save As. Cancel, here or in that Save As, sets
  // Action to DoNotClose and asks no further. A failed save throws, ending
  // the pass.
  void FormClose(CloseAction& Action);
  void MenuFileQuitClick();

  // --- Documents -------------------------------------------------------------
  // Creates, shows and activates a new untitled document of the given type holding
  // the type's new-file text.
  void CreateDocument(DataType type);
  // The document of the active tab page, or nullptr.
  TRichEditEx* CurrentDocument() const;
  // The document named "RichEdit" + number, or nullptr (also once closed).
  TRichEditEx* DocumentByNumber(int number) const;
  // Tab pages, for a view, in tab order. Numbers stay with their documents
  // when others close: page index i holds the i-th document still open.
  int PageCount() const { return static_cast<int>(pages_.size()); }
  // The page holding document number, or -1.
  int PageIndexOfNumber(int number) const;
  const std::string& TabSheetName(int index) const;
  const std::string& PageCaption(int index) const;
  const FontSpec& DocumentFont(int index) const;

  // The current document's selected bytes; empty without a document.
  std::string GetSelectedText() const;
  // Replaces the current document's selection (or inserts at the caret)
  // with Text, as one undo step; the caret ends after it.
  void SetSelectedText(std::string_view Text);

  // The character key Key was pressed in Sender. Returns true when the key
  // was handled here and must not reach the text control: Enter without
  // Shift inserts the type's empty record line below the caret's line.
  bool DocumentKeyPress(TRichEditEx& Sender, char16_t Key);

  // --- Status bar ------------------------------------------------------------
  // Panel 0 := "<suffix> <line>行<column>列 (全<raw lines>行)" for Document.
  void UpdateCaretStatus(TRichEditEx& Document);
  // Panel 1 := Text, then lets pending events run (any handler may run
  // inside this call).
  void SetStatusMessage(const std::string& Text);
  // Document events. Text changes of a document (from the view or from a
  // command) reach DocumentChange through the document's observer, so a
  // view need not forward them.
  void DocumentChange(TRichEditEx& Sender);
  void DocumentKeyDown(TRichEditEx& Sender);
  void DocumentKeyUp(TRichEditEx& Sender);
  void DocumentMouseDown(TRichEditEx& Sender);
  // The user switched tab pages: panel 1 shows the current FileName.
  void PageEditChange();

  // --- Files changed elsewhere -------------------------------------------------
  // Compares each document's file with what it was when Morvik last read
  // or wrote it. A file that another program changed is reported once per
  // change, naming it, with its page shown: Yes reloads it as one undoable
  // edit (nothing typed is lost), No keeps what is open, and a later Save
  // asks before replacing it. A deleted file is not reported (Save then
  // runs Save As). A view calls this whenever the main window is active
  // and may have missed a change; it does nothing inside another command.
  void CheckFilesOnDisk();

  // --- Recovery files ------------------------------------------------------------
  // Where unsaved work goes so that a crash does not lose it; none (the
  // default) keeps nothing. Not owned; must outlive the editor's use of it.
  void SetRecoveryFiles(RecoveryFiles* files) { recovery_ = files; }
  // The recovery timer expired: each modified document changed since its
  // last snapshot hands a copy of its bytes, name and type to the recovery
  // files (written on their own thread); a document no longer modified
  // drops its file. A large document is copied a slice at a time between
  // the user's events (edits meanwhile are followed), so that no keystroke
  // waits for a whole copy.
  void SaveRecoveryFiles();
  // Copies the next slice of the snapshots under way.
  void ContinueRecoverySnapshots();
  // The most a snapshot copies at once, in bytes (well under a
  // millisecond on an idle machine).
  static constexpr std::size_t kSnapshotSliceBytes = 1 << 20;
  // At start: offers the work that Morviks no longer running left behind.
  // Yes restores each as a modified document with its name and type; No
  // deletes them.
  void OfferRecovery();

  // --- File menu ---------------------------------------------------------------
  void MenuFileNewClick();
  void MenuFileOpenClick();
  // Opens the file at path as a new document, as Open does once its dialog
  // has answered: of the given type, or of the one the data-type dialog asks
  // for (nothing happens when that is cancelled). A failed read throws and
  // leaves the new document empty and untitled.
  void OpenFile(const std::string& path, std::optional<DataType> type);
  void MenuFileSaveClick();
  void MenuFileSaveAsClick();
  void MenuFileChangeDataTypeClick();

  // File menu: closes the current document, asking first about unsaved
  // changes as closing the window does.
  void MenuFileCloseClick();
  // The close button of page index's tab: that document is made current,
  // then closed as MenuFileCloseClick does.
  void PageCloseClick(int index);
  // The recent-files menu's entry index: opens that file, the data-type
  // dialog preset to the type it was opened as last.
  void MenuFileRecentClick(int index);

  // --- Edit menu: going to a line -------------------------------------------
  // Asks for a line number and puts the caret at the start of that line.
  void MenuEditGoToLineClick();
  // Puts the caret of the current document at the start of line (1-based,
  // clamped to the document) and shows it.
  void GoToLine(std::size_t line);

  // --- Settings menu: line numbers and zoom ---------------------------------
  void MenuConfigLineNumbersClick();
  void MenuConfigZoomInClick();
  void MenuConfigZoomOutClick();
  void MenuConfigZoomResetClick();
  // Ctrl+wheel: steps up (positive) or down from the present zoom.
  void ZoomBy(int steps);

  // --- Edit menu: find and replace -------------------------------------------
  void MenuEditFindClick();
  void MenuEditReplaceClick();
  // Find Next of either dialog; Sender is FindDialog or ReplaceDialog.
  void FindDialogFind(const FindDialogState& Sender);
  // Replace or Replace All (Sender.ReplaceAll) of the replace dialog.
  void ReplaceDialogReplace(const FindDialogState& Sender);
  // Repeat the last search down or up with the dialogs closed; before any
  // search they show the find dialog.
  void MenuEditFindNextClick();
  void MenuEditFindPreviousClick();

  // --- Settings and Help menus ------------------------------------------------
  void MenuConfigFontClick();
  void MenuHelpAboutClick();
  void MenuHelpScriptClick();
  void MenuHelpWWWClick();
  // The project page as a file URL: the help file's project section.
  std::string ProjectPageUrl() const;

  // --- Long commands -----------------------------------------------------------
  // Sort and merge run inside a LongCommand: the hourglass shows, their
  // document refuses the view's edits, and, because SetStatusMessage lets
  // menu commands run meanwhile, every other document command (and closing
  // the window, which would destroy the documents) waits until it ends.
  class LongCommand {
   public:
    LongCommand(TFormEditor& editor, TRichEditEx& document);
    ~LongCommand();
    LongCommand(const LongCommand&) = delete;
    LongCommand& operator=(const LongCommand&) = delete;

   private:
    TFormEditor& editor_;
    BusyCursorGuard busy_;
    ReadOnlyGuard read_only_;
  };
  bool LongCommandRunning() const { return long_commands_ > 0; }

  // --- Data commands -----------------------------------------------------------
  // Sort, merge, file information and the script editor are declared here
  // and defined in files of their own (data_commands.cpp).

  // Set by choosing the merge's menu item while a merge runs; the merge
  // stops before its next line and clears it when it ends.
  bool MergeStopRequested = false;
  // True while a merge runs (inside a LongCommand); its menu item then
  // stays live, to stop it.
  bool MergeRunning() const { return merge_running_; }

  // Edit menu: sort the priority block or the whole document.
  void MenuEditSortClick();
  // Edit menu: merge a data file into the current document, or, while a
  // merge runs, ask it to stop.
  void MenuEditMergeClick();
  // File menu and pop-up menu: the file-information dialog.
  void MenuFileInformationClick();
  // Edit menu: the script editor on the current selection.
  void MenuEditScriptClick();

 private:
  class Page;

  // The data-type dialog, preset to the current document's type; nullopt
  // when cancelled.
  std::optional<DataType> AskDataType();
  // Save As for document (nullptr: the dialog is shown, nothing written):
  // the save dialog, the ".htd" rule, and a question before replacing an
  // existing file. False when the user cancels or declines.
  bool SaveDocumentAs(TRichEditEx* document);
  // Writes document to its own file; false when the user declines.
  bool SaveDocument(TRichEditEx& document);
  // True until Open or Save As gives document a file: its FileName is then
  // a bare untitled name, not a path.
  bool IsUntitled(const TRichEditEx& document) const;
  Page& PageOf(const TRichEditEx& document) const;
  // Page's document now belongs to the file at path, which was identity
  // when read or written just now: remembers it and moves the watch to it.
  void SetDocumentFile(Page& page, const std::string& path, const FileIdentity& identity);
  // True when page's file is as Morvik last read or wrote it, or the user
  // agrees to replace what another program changed there.
  bool MayReplaceFileOnDisk(Page& page);
  void ReloadDocument(Page& page, const FileIdentity& identity);
  // Page's text changed: a snapshot is due.
  void RecoveryNeeded();
  // Page's document was saved: its recovery file goes.
  void ForgetRecovery(Page& page);
  int ActivePage() const;
  void SetActivePageCaption(const std::string& caption);
  void SetPageFont(int index, const FontSpec& font);
  // editor_documents.cpp: the settings read at creation, a file that
  // opened (into the recent list), a document whose modified flag changed
  // (its tab's mark), and every document's font from DisplayFont and the
  // zoom.
  void LoadSettings();
  void RememberRecentFile(const std::string& path, DataType type);
  void DocumentModifiedChanged(const Page& page);
  // Page index goes, with its document; the status bar follows the page
  // that becomes current.
  void CloseDocument(int index);
  void ApplyDocumentFont();
  void SetZoomLevel(int level);

  DesktopPort& port_;
  std::vector<std::unique_ptr<Page>> pages_;
  int long_commands_ = 0;
  bool checking_files_ = false;
  RecoveryFiles* recovery_ = nullptr;
  bool merge_running_ = false;  // data_commands.cpp
};

}  // namespace morvik

#endif  // MORVIK_APP_EDITOR_EDITOR_H_
