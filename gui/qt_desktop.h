// QtDesktop: the program's main window with its logic, and the desktop port
// that the logic asks.
//
// It owns the drawn main window (MainWindow), the logic (TFormEditor) and a
// DocumentView per document, connects every menu item and document event
// to its TFormEditor handler, and answers the port's questions with Qt
// dialogs, message boxes and widgets. Every handler runs through
// RunHandler, the one place where an escaping exception is shown.
#ifndef MORVIK_GUI_QT_DESKTOP_H_
#define MORVIK_GUI_QT_DESKTOP_H_

#include <QFont>
#include <functional>
#include <memory>
#include <vector>

#include "app/editor/desktop_port.h"
#include "app/editor/editor.h"

class QAction;
class QFileSystemWatcher;
class QTimer;
class QMenu;
class QObject;

namespace morvik {

class DocumentView;
class MainWindow;
struct CommandLine;

// FontSpec (the logic's font value) to a Qt font and back.
QFont QFontOfSpec(const FontSpec& spec);
FontSpec SpecOfQFont(const QFont& font, const FontSpec& previous);
QStringList QStringListOf(const std::vector<std::string>& texts);
// "Savra データファイル|*.txt;*.htd|全てのファイル|*" to Qt name filters.
QStringList NameFiltersOf(const std::string& filter);

class QtDesktop : public DesktopPort {
 public:
  QtDesktop();
  ~QtDesktop() override;
  QtDesktop(const QtDesktop&) = delete;
  QtDesktop& operator=(const QtDesktop&) = delete;

  MainWindow& Window() const { return *window_; }
  TFormEditor& Editor() const { return *editor_; }
  // The view of page index, or nullptr.
  DocumentView* View(int index) const;
  // The view of the current document, or nullptr.
  DocumentView* CurrentView() const;
  // Keeps unsaved work in recovery files in directory from now on, and
  // offers what Morviks no longer running left there. Without this call
  // (the tests' windows) nothing is kept. When the directory cannot be
  // used, says so and goes on without.
  void KeepRecoveryFiles(const std::string& directory);

  // Opens the command line's files, one after the other, as Open does: of
  // its type, or asking for each. A file that cannot be read is reported
  // like any failed command, and the rest still open.
  void OpenFiles(const CommandLine& line);
  // Files dropped on the window: each opens as Open does, asking its type.
  void OpenDroppedFiles(const QStringList& paths);
  // The recent-files submenu of the File menu.
  QMenu* RecentMenu() const { return recent_menu_; }

  // --- DesktopPort -------------------------------------------------------------
  void DocumentCreated(int index, TRichEditEx& document, const std::string& tab_sheet_name,
                       const std::string& caption, const FontSpec& font) override;
  int ActivePageIndex() const override;
  void SetActivePage(int index) override;
  void SetPageCaption(int index, const std::string& caption) override;
  void SetDocumentFont(int index, const FontSpec& font) override;
  void FocusDocument(int index) override;
  bool IsShiftDown() const override;
  std::string ProgramDirectory() const override;
  void RequestClose() override;
  bool ChooseOpenFile(FileDialogState& dialog) override;
  bool ChooseSaveFile(FileDialogState& dialog) override;
  void RunSelectType(TFormSelectType& form) override;
  void RunSort(TFormSort& form) override;
  void RunFileInfo(TFormFileInfo& form) override;
  void RunScriptEditor(TFormScript& form) override;
  bool ChooseFont(FontSpec& font) override;
  void ShowFindDialog(FindDialogKind kind) override;
  MessageButton ShowMessage(MessageKind kind, const std::string& text,
                            MessageButtons buttons) override;
  void SetStatusPanel(int panel, const std::string& text) override;
  void ProcessPendingEvents() override;
  void SetBusyCursor(bool busy) override;
  void SetMenuCaption(MenuItemId item, const std::string& caption) override;
  void WatchFile(const std::string& path) override;
  void UnwatchFile(const std::string& path) override;
  void StartRecoveryTimer() override;
  void ContinueRecoverySoon() override;
  void OpenWithDesktop(const std::string& path_or_url, bool with_main_window) override;
  // qt_desktop_documents.cpp
  void DocumentClosing(int index) override;
  void SetPageModified(int index, bool modified) override;
  void SetLineNumbersVisible(bool visible) override;
  void RunGoToLine(GoToLineForm& form) override;
  void SetRecentFiles(const std::vector<RecentFile>& files) override;
  std::vector<std::string> ReadSetting(const std::string& key) override;
  void WriteSetting(const std::string& key, const std::vector<std::string>& values) override;

 private:
  // Runs handler with the default exception display.
  void Run(const std::function<void()>& handler);
  // Connects every menu item to the handler its layout entry names.
  void ConnectMenus();
  void ConnectFindDialogs();
  bool CloseQuery();
  // Lets the logic look at the documents' files, once the window is active
  // and no dialog or message box is open (it may ask the user).
  void CheckFilesSoon();
  bool RunFileDialog(bool save, FileDialogState& dialog);
  // qt_desktop_documents.cpp: tab close buttons, the recent-files menu,
  // the zoom keys, and drops of files on the window and every view.
  void ConnectDocumentCommands();
  // A view was made for a new document: it gets the line-number setting,
  // the window's handling of dropped files, and zooms on Ctrl+wheel.
  void ViewAdded(DocumentView& view);
  void ApplyLineNumbers(DocumentView& view);

  // Destroyed last: its clean end removes this session's files once the
  // editor, which hands it snapshots, is gone.
  std::unique_ptr<RecoveryFiles> recovery_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<TFormEditor> editor_;
  std::vector<DocumentView*> views_;
  QFileSystemWatcher* watcher_;
  QTimer* recovery_timer_;
  // Set while the logic switches pages, which is no user's tab switch.
  bool switching_pages_ = false;
  QMenu* recent_menu_ = nullptr;
  // Dropped files, on the window and on every view.
  QObject* file_drops_ = nullptr;
  bool line_numbers_visible_ = false;
};

}  // namespace morvik

#endif  // MORVIK_GUI_QT_DESKTOP_H_
