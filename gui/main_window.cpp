#include "gui/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>

#include "gui/find_replace_dialogs.h"
#include "gui/fonts.h"

namespace morvik {
namespace {

QLabel* NewPanel(const QString& name) {
  auto* panel = new QLabel;
  panel->setObjectName(name);
  panel->setTextFormat(Qt::PlainText);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  // A long path must not widen the window.
  panel->setMinimumWidth(1);
  panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  return panel;
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("FormEditor"));
  setWindowTitle(QStringLiteral("Morvik"));
  setFont(WindowFont());
  move(208, 107);
  resize(528, 356);

  page_edit_ = new QTabWidget(this);
  page_edit_->setObjectName(QStringLiteral("PageEdit"));
  page_edit_->setDocumentMode(true);
  setCentralWidget(page_edit_);

  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar"));
  bar->setSizeGripEnabled(true);
  panels_[0] = NewPanel(QStringLiteral("StatusPanel0"));
  panels_[0]->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  panels_[0]->setFixedWidth(200);
  panels_[1] = NewPanel(QStringLiteral("StatusPanel1"));
  // One strip holding both panels: the status bar lays out a single
  // stretching widget reliably, whatever the panels' texts.
  auto* strip = new QWidget;
  auto* strip_layout = new QHBoxLayout(strip);
  strip_layout->setContentsMargins(0, 0, 0, 0);
  strip_layout->setSpacing(2);
  strip_layout->addWidget(panels_[0]);
  strip_layout->addWidget(panels_[1], 1);
  bar->addWidget(strip, 1);

  CreateMenus();

  find_dialog_ = new FindDialog(this);
  replace_dialog_ = new ReplaceDialog(this);

  open_dialog_ = new QFileDialog(this);
  open_dialog_->setObjectName(QStringLiteral("OpenDialog"));
  open_dialog_->setAcceptMode(QFileDialog::AcceptOpen);
  open_dialog_->setFileMode(QFileDialog::ExistingFile);
  save_dialog_ = new QFileDialog(this);
  save_dialog_->setObjectName(QStringLiteral("SaveDialog"));
  save_dialog_->setAcceptMode(QFileDialog::AcceptSave);
  save_dialog_->setFileMode(QFileDialog::AnyFile);
  save_dialog_->setOption(QFileDialog::DontConfirmOverwrite, true);
}

MainWindow::~MainWindow() = default;

QAction* MainWindow::AddItem(QMenu* menu, const QString& name, const QString& caption,
                             const QKeySequence& shortcut) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  actions_[name] = action;
  return action;
}

void MainWindow::CreateMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu"));

  QMenu* file = bar->addMenu(QStringLiteral(u"ファイル(&F)"));
  file->setObjectName(QStringLiteral("MenuFile"));
  AddItem(file, QStringLiteral("MenuFileNew"), QStringLiteral(u"新規作成(&N)"));
  AddItem(file, QStringLiteral("MenuFileOpen"), QStringLiteral(u"開く(&O)..."),
          QKeySequence(Qt::CTRL | Qt::Key_O));
  AddItem(file, QStringLiteral("MenuFileSave"), QStringLiteral(u"上書き保存(&S)"),
          QKeySequence(Qt::CTRL | Qt::Key_S));
  AddItem(file, QStringLiteral("MenuFileSaveAs"), QStringLiteral(u"名前を付けて保存(&A)..."),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  file->addSeparator()->setObjectName(QStringLiteral("S3"));
  AddItem(file, QStringLiteral("MenuFileChangeDataType"),
          QStringLiteral(u"ファイルの種類を変更(&C)..."));
  QAction* information =
      AddItem(file, QStringLiteral("MenuFileInformation"), QStringLiteral(u"ファイル情報(&I)..."));
  // Alt+Enter from the main keyboard and from the keypad.
  information->setShortcuts(
      {QKeySequence(Qt::ALT | Qt::Key_Return), QKeySequence(Qt::ALT | Qt::Key_Enter)});
  file->addSeparator()->setObjectName(QStringLiteral("S2"));
  AddItem(file, QStringLiteral("MenuFileQuit"), QStringLiteral(u"終了(&Q)"),
          QKeySequence(Qt::CTRL | Qt::Key_Q));

  QMenu* edit = bar->addMenu(QStringLiteral(u"編集(&E)"));
  edit->setObjectName(QStringLiteral("MenuEdit"));
  AddItem(edit, QStringLiteral("MenuEditFind"), QStringLiteral(u"検索(&F)..."),
          QKeySequence(Qt::CTRL | Qt::Key_F));
  AddItem(edit, QStringLiteral("MenuEditReplace"), QStringLiteral(u"置換(&R)..."),
          QKeySequence(Qt::CTRL | Qt::Key_R));
  edit->addSeparator()->setObjectName(QStringLiteral("S4"));
  AddItem(edit, QStringLiteral("MenuEditScript"), QStringLiteral(u"SavraScript エディタ(&E)..."),
          QKeySequence(Qt::CTRL | Qt::Key_E));
  edit->addSeparator()->setObjectName(QStringLiteral("S5"));
  AddItem(edit, QStringLiteral("MenuEditSort"), QStringLiteral(u"並び替え/ソート(&S)..."));
  AddItem(edit, QStringLiteral("MenuEditMerge"), QStringLiteral(u"合成/マージ(&M)..."));

  QMenu* config = bar->addMenu(QStringLiteral(u"設定(&C)"));
  config->setObjectName(QStringLiteral("MenuConfig"));
  AddItem(config, QStringLiteral("MenuConfigFont"), QStringLiteral(u"フォント(&F)..."));

  QMenu* help = bar->addMenu(QStringLiteral(u"ヘルプ(&H)"));
  help->setObjectName(QStringLiteral("MenuHelp"));
  AddItem(help, QStringLiteral("MenuHelpScript"), QStringLiteral(u"SavraScript リファレンス(&R)"),
          QKeySequence(Qt::Key_F1));
  AddItem(help, QStringLiteral("MenuHelpWWW"),
          QStringLiteral(u"Olvane's branch of SavraProjects(&W)"));
  help->addSeparator()->setObjectName(QStringLiteral("S1"));
  AddItem(help, QStringLiteral("MenuHelpAbout"), QStringLiteral(u"バージョン情報(&A)..."));

  // The documents' context menu; its item has no shortcut of its own.
  popup_menu_ = new QMenu(this);
  popup_menu_->setObjectName(QStringLiteral("PopupMenu"));
  AddItem(popup_menu_, QStringLiteral("PopupMenuFileInformation"),
          QStringLiteral(u"ファイル情報(&I)..."));
}

QAction* MainWindow::Action(const QString& name) const {
  const auto found = actions_.find(name);
  return found == actions_.end() ? nullptr : found->second;
}

void MainWindow::SetStatusPanel(int panel, const QString& text) {
  panels_[panel == 0 ? 0 : 1]->setText(text);
}

QString MainWindow::StatusPanel(int panel) const {
  return panels_[panel == 0 ? 0 : 1]->text();
}

bool MainWindow::RunFileDialog(bool save, const QStringList& filters, int* filter_index,
                               QString* path) {
  QFileDialog* dialog = save ? save_dialog_ : open_dialog_;
  dialog->setNameFilters(filters);
  if (!filters.isEmpty()) {
    dialog->selectNameFilter(filters.value(*filter_index, filters.constFirst()));
  }
  if (!path->isEmpty()) dialog->selectFile(*path);
  if (dialog->exec() != QDialog::Accepted) return false;
  const QStringList chosen = dialog->selectedFiles();
  if (chosen.isEmpty()) return false;
  *path = chosen.constFirst();
  *filter_index = std::max<int>(0, static_cast<int>(filters.indexOf(dialog->selectedNameFilter())));
  return true;
}

bool MainWindow::ChooseFont(QFont* font) {
  QFontDialog dialog(*font, this);
  dialog.setObjectName(QStringLiteral("FontDialog"));
  if (dialog.exec() != QDialog::Accepted) return false;
  *font = dialog.selectedFont();
  return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (close_query_ && !close_query_()) {
    event->ignore();
    return;
  }
  find_dialog_->close();
  replace_dialog_->close();
  event->accept();
}

}  // namespace morvik
