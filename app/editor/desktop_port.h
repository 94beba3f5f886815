// DesktopPort: everything the main window's logic (TFormEditor) asks of the
// desktop. gui/ implements it with Qt; the tests implement it with a scripted
// fake. Every method is called on the one user-interface thread.
//
// Texts are UTF-8; message texts break lines with CR LF, which a view shows
// as line breaks. Indexes of tab pages are 0-based; page i holds document
// number i + 1 ("TabSheet" + n, "RichEdit" + n).
#ifndef MORVIK_APP_EDITOR_DESKTOP_PORT_H_
#define MORVIK_APP_EDITOR_DESKTOP_PORT_H_

#include <string>
#include <vector>

#include "app/editor/dialog_state.h"
#include "app/editor/editor_documents.h"
#include "app/editor/message_boxes.h"

namespace morvik {

class TRichEditEx;
class TFormSelectType;
// The dialogs of the data commands; their logic lives in app/dialogs/.
class TFormSort;
class TFormFileInfo;
class TFormScript;

enum class FindDialogKind { Find, Replace };

// Menu items whose caption a command changes while it runs.
enum class MenuItemId { MenuEditMerge };

class DesktopPort {
 public:
  virtual ~DesktopPort() = default;

  // --- Documents' view ---------------------------------------------------
  // A document was created: append a tab page named tab_sheet_name with
  // caption, holding a view of document in font. The view follows the
  // document through its observer; the document lives as long as the
  // editor. Does not activate the page.
  virtual void DocumentCreated(int index, TRichEditEx& document, const std::string& tab_sheet_name,
                               const std::string& caption, const FontSpec& font) = 0;
  // Page index is about to close: its tab and view go, and the pages after
  // it move down one index. The document is destroyed after this returns.
  virtual void DocumentClosing(int index) = 0;
  // Shows on page index's tab whether its document holds unsaved changes;
  // the caption stays as it is.
  virtual void SetPageModified(int index, bool modified) = 0;
  // Line numbers beside the text of every document, present and future,
  // and the menu item's check mark.
  virtual void SetLineNumbersVisible(bool visible) = 0;
  // The active tab page, -1 when there is none.
  virtual int ActivePageIndex() const = 0;
  // Makes page index the active one. This is not a user's tab switch: it
  // must not call TFormEditor::PageEditChange.
  virtual void SetActivePage(int index) = 0;
  virtual void SetPageCaption(int index, const std::string& caption) = 0;
  virtual void SetDocumentFont(int index, const FontSpec& font) = 0;
  // Gives the document of page index the keyboard focus and scrolls its
  // selection into view.
  virtual void FocusDocument(int index) = 0;
  // True when Shift is held for the key message being handled.
  virtual bool IsShiftDown() const = 0;
  // The directory of the program file (a trailing "/" may be missing).
  virtual std::string ProgramDirectory() const = 0;
  // Asks the main window to close; closing runs TFormEditor::FormClose.
  virtual void RequestClose() = 0;

  // --- Dialogs --------------------------------------------------------------
  // The open or save dialog, starting with dialog.FileName and its filter.
  // False when the user cancels; otherwise dialog.FileName holds the chosen
  // full path (and dialog.FilterIndex the entry last shown).
  virtual bool ChooseOpenFile(FileDialogState& dialog) = 0;
  virtual bool ChooseSaveFile(FileDialogState& dialog) = 0;
  // Shows the data-type dialog modally; form's fields carry the preset in
  // and the answer (RadioTypeItemIndex, Cancelled) out.
  virtual void RunSelectType(TFormSelectType& form) = 0;
  // The data commands' dialogs, each shown modally on its logic object.
  virtual void RunSort(TFormSort& form) = 0;
  virtual void RunFileInfo(TFormFileInfo& form) = 0;
  virtual void RunScriptEditor(TFormScript& form) = 0;
  // The font dialog, starting with font. False when the user cancels;
  // otherwise font holds the chosen font.
  virtual bool ChooseFont(FontSpec& font) = 0;
  // Shows the modeless find or replace dialog (or brings it to the front).
  // It reads and writes TFormEditor::FindDialog or ReplaceDialog and calls
  // FindDialogFind or ReplaceDialogReplace with it.
  virtual void ShowFindDialog(FindDialogKind kind) = 0;
  // The go-to-line dialog, modal: form's fields carry the preset in and
  // the answer out.
  virtual void RunGoToLine(GoToLineForm& form) = 0;
  // A standard message box of kind (its caption and icon) with buttons,
  // modal; returns the button chosen, or EscapeAnswer(buttons) when the
  // box is closed without a choice.
  virtual MessageButton ShowMessage(MessageKind kind, const std::string& text,
                                    MessageButtons buttons) = 0;

  // --- Status, cursor, menus ------------------------------------------------
  // Writes panel 0 (the caret status) or 1 (file name, messages).
  virtual void SetStatusPanel(int panel, const std::string& text) = 0;
  // Lets every pending window event run (repaint, input, menu commands)
  // before returning.
  virtual void ProcessPendingEvents() = 0;
  // The hourglass (true) or the default cursor (false).
  virtual void SetBusyCursor(bool busy) = 0;
  virtual void SetMenuCaption(MenuItemId item, const std::string& caption) = 0;

  // --- Files ---------------------------------------------------------------
  // Starts or stops watching the file at path for changes by other
  // programs. While the main window is active, a change (or the window
  // becoming active again) calls TFormEditor::CheckFilesOnDisk; the logic
  // decides whether anything changed. Watching a watched path again, or
  // unwatching one not watched, does nothing.
  virtual void WatchFile(const std::string& path) = 0;
  virtual void UnwatchFile(const std::string& path) = 0;
  // Starts the recovery timer unless it is running; when it expires (two
  // seconds later at most) the view calls TFormEditor::SaveRecoveryFiles.
  virtual void StartRecoveryTimer() = 0;
  // Calls TFormEditor::ContinueRecoverySnapshots once the events pending
  // now (keystrokes, repaints) have run.
  virtual void ContinueRecoverySoon() = 0;
  // The recent-files menu lists files, newest first.
  virtual void SetRecentFiles(const std::vector<RecentFile>& files) = 0;

  // --- Settings kept between runs ---------------------------------------------
  // Each setting is a list of texts under a key; a key never written reads
  // as an empty list.
  virtual std::vector<std::string> ReadSetting(const std::string& key) = 0;
  virtual void WriteSetting(const std::string& key, const std::vector<std::string>& values) = 0;

  // --- Desktop ---------------------------------------------------------------
  // Opens a file or URL with the desktop's associated program; a failure is
  // not reported. with_main_window: the main window is the parent.
  virtual void OpenWithDesktop(const std::string& path_or_url, bool with_main_window) = 0;
};

}  // namespace morvik

#endif  // MORVIK_APP_EDITOR_DESKTOP_PORT_H_
