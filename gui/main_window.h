// The main window as drawn: caption "Morvik", the menu bar and the
// documents' context menu with every caption, access key and shortcut, the
// tab widget whose pages are the documents, the two-panel status bar, and
// the dialogs that live as long as the window (open, save, font, find,
// replace).
//
// Menus, captions, shortcuts and geometry come from the logic's layout
// table (main_window_layout.h). It holds no logic: every action is connected to a handler of
// TFormEditor by the code that builds the program, and the window only answers what the logic asks
// (a file name, a font, a panel's text).
#ifndef MORVIK_GUI_MAIN_WINDOW_H_
#define MORVIK_GUI_MAIN_WINDOW_H_

#include <QFont>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <span>

#include "app/editor/main_window_layout.h"

class QAction;
class QFileDialog;
class QLabel;
class QMenu;
class QTabWidget;

namespace morvik {

class FindDialog;
class ReplaceDialog;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  // The menu items by their names ("MenuFileOpen", "PopupMenuFileInformation", ...).
  QAction* Action(const QString& name) const;
  QMenu* PopupMenu() const { return popup_menu_; }
  QTabWidget* PageEdit() const { return page_edit_; }
  FindDialog* FindDialogView() const { return find_dialog_; }
  ReplaceDialog* ReplaceDialogView() const { return replace_dialog_; }

  // Status bar: panel 0 (200 pixels) and panel 1 (the rest).
  void SetStatusPanel(int panel, const QString& text);
  QString StatusPanel(int panel) const;

  // The open or save dialog, kept for the window's life. *path is the name
  // it starts with and, when the user accepts, the chosen full path.
  // filters are Qt name filters ("Savra データファイル (*.txt *.htd)");
  // *filter_index (0-based) is the one shown first and the one last used.
  // Open wants an existing file; save never asks before overwriting.
  // False when the user cancels.
  bool RunFileDialog(bool save, const QStringList& filters, int* filter_index, QString* path);
  // The font dialog, showing font; false when cancelled.
  bool ChooseFont(QFont* font);

  // Asked when the window is about to close (close box, Alt+F4, Quit);
  // returning false keeps it open.
  void SetCloseQuery(std::function<bool()> query) { close_query_ = std::move(query); }
  // Called each time the window becomes the active one.
  void SetActivated(std::function<void()> activated) { activated_ = std::move(activated); }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void CreateMenus();
  void AddItems(QMenu* menu, std::span<const main_window::MenuItemSpec> items);

  std::map<QString, QAction*> actions_;
  QMenu* popup_menu_ = nullptr;
  QTabWidget* page_edit_ = nullptr;
  QLabel* panels_[2] = {nullptr, nullptr};
  FindDialog* find_dialog_ = nullptr;
  ReplaceDialog* replace_dialog_ = nullptr;
  QFileDialog* open_dialog_ = nullptr;
  QFileDialog* save_dialog_ = nullptr;
  std::function<bool()> close_query_;
  std::function<void()> activated_;
};

}  // namespace morvik

#endif  // MORVIK_GUI_MAIN_WINDOW_H_
