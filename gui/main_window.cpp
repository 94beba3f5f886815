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

#include "app/editor/main_window_layout.h"
#include "gui/find_replace_dialogs.h"
#include "gui/fonts.h"
#include "gui/window_placement.h"

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
  PlaceOnScreen(*this, QRect(main_window::kLeft, main_window::kTop, main_window::kWidth,
                             main_window::kHeight));

  page_edit_ = new QTabWidget(this);
  page_edit_->setObjectName(QStringLiteral("PageEdit"));
  page_edit_->setDocumentMode(true);
  setCentralWidget(page_edit_);

  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar"));
  bar->setSizeGripEnabled(true);
  panels_[0] = NewPanel(QStringLiteral("StatusPanel0"));
  panels_[0]->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  panels_[0]->setFixedWidth(main_window::kStatusPanelWidths[0]);
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

void MainWindow::CreateMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu"));
  for (const main_window::MenuSpec& spec : main_window::kMainMenu) {
    QMenu* menu = bar->addMenu(QString::fromUtf8(spec.Caption));
    menu->setObjectName(QString::fromLatin1(spec.Name));
    AddItems(menu, spec.Items);
  }
  // Alt+Enter also from the keypad.
  if (QAction* information = Action(QStringLiteral("MenuFileInformation"))) {
    information->setShortcuts({information->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Enter)});
  }
  // The documents' context menu; its item has no shortcut of its own.
  popup_menu_ = new QMenu(this);
  popup_menu_->setObjectName(QStringLiteral("PopupMenu"));
  AddItems(popup_menu_, main_window::kPopupMenuItems);
}

void MainWindow::AddItems(QMenu* menu, std::span<const main_window::MenuItemSpec> items) {
  for (const main_window::MenuItemSpec& item : items) {
    const QString name = QString::fromLatin1(item.Name);
    if (std::string_view(item.Caption) == main_window::kSeparator) {
      menu->addSeparator()->setObjectName(name);
      continue;
    }
    QAction* action = menu->addAction(QString::fromUtf8(item.Caption));
    action->setObjectName(name);
    action->setShortcut(
        QKeySequence(QString::fromLatin1(item.Shortcut), QKeySequence::PortableText));
    actions_[name] = action;
  }
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

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && activated_) activated_();
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
