#include "gui/qt_desktop.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QFontDatabase>
#include <QFontInfo>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "app/dialogs/select_type.h"
#include "app/editor/main_window_layout.h"
#include "gui/application.h"
#include "gui/document_view.h"
#include "gui/find_replace_dialogs.h"
#include "gui/fonts.h"
#include "gui/main_window.h"
#include "gui/message_box.h"
#include "gui/select_type_dialog.h"

namespace morvik {
namespace {

// How long after a change its snapshot is taken, at most.
constexpr int kRecoveryDelayMs = 2000;

}  // namespace

QFont QFontOfSpec(const FontSpec& spec) {
  QFont font(QString::fromStdString(spec.Name));
  if (spec.Size > 0) font.setPointSize(spec.Size);
  font.setBold(spec.Bold);
  font.setItalic(spec.Italic);
  font.setUnderline(spec.Underline);
  font.setStrikeOut(spec.StrikeOut);
  return font;
}

FontSpec SpecOfQFont(const QFont& font, const FontSpec& previous) {
  FontSpec spec = previous;
  spec.Name = font.family().toStdString();
  if (font.pointSize() > 0) spec.Size = font.pointSize();
  spec.Bold = font.bold();
  spec.Italic = font.italic();
  spec.Underline = font.underline();
  spec.StrikeOut = font.strikeOut();
  return spec;
}

QStringList QStringListOf(const std::vector<std::string>& texts) {
  QStringList list;
  list.reserve(static_cast<qsizetype>(texts.size()));
  for (const std::string& text : texts) list << QString::fromStdString(text);
  return list;
}

QStringList NameFiltersOf(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(u';', u' ');
    filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
  }
  return filters;
}

QtDesktop::QtDesktop()
    : window_(std::make_unique<MainWindow>()),
      watcher_(new QFileSystemWatcher(window_.get())),
      recovery_timer_(new QTimer(window_.get())) {
  editor_ = std::make_unique<TFormEditor>(*this);
  QObject::connect(watcher_, &QFileSystemWatcher::fileChanged, window_.get(),
                   [this](const QString& path) {
                     // A file replaced by a rename (as careful programs, and
                     // Morvik itself, save) drops out of the watch: keep it.
                     if (QFileInfo::exists(path) && !watcher_->files().contains(path)) {
                       watcher_->addPath(path);
                     }
                     CheckFilesSoon();
                   });
  window_->SetActivated([this] { CheckFilesSoon(); });
  recovery_timer_->setSingleShot(true);
  recovery_timer_->setInterval(kRecoveryDelayMs);
  QObject::connect(recovery_timer_, &QTimer::timeout, window_.get(),
                   [this] { Run([this] { editor_->SaveRecoveryFiles(); }); });
  ConnectMenus();
  ConnectFindDialogs();
  ConnectDocumentCommands();
  QObject::connect(window_->PageEdit(), &QTabWidget::currentChanged, window_.get(), [this](int) {
    if (!switching_pages_) Run([this] { editor_->PageEditChange(); });
  });
  window_->SetCloseQuery([this] { return CloseQuery(); });
  Run([this] { editor_->FormCreate(); });
}

QtDesktop::~QtDesktop() {
  // Views watch documents that the editor owns: they go first.
  for (DocumentView* view : views_) delete view;
  views_.clear();
}

void QtDesktop::Run(const std::function<void()>& handler) {
  RunHandler(window_.get(), handler);
}

void QtDesktop::ConnectMenus() {
  // The window drew these items from the same table: each has its action.
  auto connect_items = [this](std::span<const main_window::MenuItemSpec> items) {
    for (const main_window::MenuItemSpec& item : items) {
      if (item.Handler == nullptr) continue;
      QAction* action = window_->Action(QString::fromLatin1(item.Name));
      const auto handler = item.Handler;
      QObject::connect(action, &QAction::triggered, window_.get(),
                       [this, handler] { Run([this, handler] { (editor_.get()->*handler)(); }); });
    }
  };
  for (const main_window::MenuSpec& menu : main_window::kMainMenu) connect_items(menu.Items);
  connect_items(main_window::kPopupMenuItems);
}

void QtDesktop::ConnectFindDialogs() {
  FindDialog* find = window_->FindDialogView();
  QObject::connect(find, &FindDialog::FindNextClicked, find, [this, find] {
    Run([this, find] {
      editor_->FindDialog.FindText = find->FindText().toStdString();
      editor_->FindDialog.Down = find->SearchDown();
      editor_->FindDialog.RegularExpression = find->RegularExpression();
      editor_->FindDialogFind(editor_->FindDialog);
    });
  });
  ReplaceDialog* replace = window_->ReplaceDialogView();
  auto forward = [this, replace](bool replace_all, bool find_only) {
    Run([this, replace, replace_all, find_only] {
      FindDialogState& state = editor_->ReplaceDialog;
      state.FindText = replace->FindText().toStdString();
      state.ReplaceText = replace->ReplaceText().toStdString();
      state.Down = true;
      state.ReplaceAll = replace_all;
      state.RegularExpression = replace->RegularExpression();
      if (find_only) {
        editor_->FindDialogFind(state);
      } else {
        editor_->ReplaceDialogReplace(state);
      }
    });
  };
  QObject::connect(replace, &ReplaceDialog::FindNextClicked, replace,
                   [forward] { forward(false, true); });
  QObject::connect(replace, &ReplaceDialog::ReplaceClicked, replace,
                   [forward] { forward(false, false); });
  QObject::connect(replace, &ReplaceDialog::ReplaceAllClicked, replace,
                   [forward] { forward(true, false); });
}

void QtDesktop::CheckFilesSoon() {
  // Queued, so that the check never runs inside the event that prompted it
  // (an activation inside a closing dialog's own loop, say).
  QTimer::singleShot(0, window_.get(), [this] {
    if (!window_->isActiveWindow() || QApplication::activeModalWidget() != nullptr) return;
    Run([this] { editor_->CheckFilesOnDisk(); });
  });
}

bool QtDesktop::CloseQuery() {
  CloseAction action = CloseAction::Close;
  bool failed = true;
  Run([&] {
    editor_->FormClose(action);
    failed = false;
  });
  // A failed save ends the pass and keeps the window open.
  return !failed && action == CloseAction::Close;
}

DocumentView* QtDesktop::View(int index) const {
  if (index < 0 || index >= static_cast<int>(views_.size())) return nullptr;
  return views_[static_cast<std::size_t>(index)];
}

DocumentView* QtDesktop::CurrentView() const {
  return View(ActivePageIndex());
}

// --- Documents ----------------------------------------------------------------------

void QtDesktop::DocumentCreated(int index, TRichEditEx& document, const std::string& tab_sheet_name,
                                const std::string& caption, const FontSpec& font) {
  DocumentViewEvents events;
  events.key_down = [this](TRichEditEx& sender) {
    Run([this, &sender] { editor_->DocumentKeyDown(sender); });
  };
  events.key_press = [this](TRichEditEx& sender, char16_t key) {
    bool handled = false;
    Run([&] { handled = editor_->DocumentKeyPress(sender, key); });
    return handled;
  };
  events.key_up = [this](TRichEditEx& sender) {
    Run([this, &sender] { editor_->DocumentKeyUp(sender); });
  };
  events.mouse_down = [this](TRichEditEx& sender) {
    Run([this, &sender] { editor_->DocumentMouseDown(sender); });
  };
  events.input_refused = [this](const QString& message) { window_->SetStatusPanel(1, message); };

  auto* page = new QWidget;
  page->setObjectName(QString::fromStdString(tab_sheet_name));
  auto* view = new DocumentView(document, std::move(events), window_->PopupMenu(), page);
  view->setFont(QFontOfSpec(font));
  QList<QKeySequence> reserved;
  for (QAction* action : window_->findChildren<QAction*>()) {
    reserved.append(action->shortcuts());
  }
  view->SetReservedShortcuts(reserved);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view);
  if (static_cast<std::size_t>(index) >= views_.size()) {
    views_.resize(static_cast<std::size_t>(index) + 1, nullptr);
  }
  views_[static_cast<std::size_t>(index)] = view;
  ViewAdded(*view);
  const bool was_switching = switching_pages_;
  switching_pages_ = true;  // the first page becomes current by itself
  window_->PageEdit()->insertTab(index, page, QString::fromStdString(caption));
  switching_pages_ = was_switching;
}

int QtDesktop::ActivePageIndex() const {
  return window_->PageEdit()->currentIndex();
}

void QtDesktop::SetActivePage(int index) {
  const bool was_switching = switching_pages_;
  switching_pages_ = true;
  window_->PageEdit()->setCurrentIndex(index);
  switching_pages_ = was_switching;
  if (DocumentView* view = View(index)) view->setFocus();
}

void QtDesktop::SetPageCaption(int index, const std::string& caption) {
  window_->PageEdit()->setTabText(index, QString::fromStdString(caption));
}

void QtDesktop::SetDocumentFont(int index, const FontSpec& font) {
  if (DocumentView* view = View(index)) view->setFont(QFontOfSpec(font));
}

void QtDesktop::FocusDocument(int index) {
  if (DocumentView* view = View(index)) {
    // From a modeless dialog the view's focus alone would leave the dialog
    // the active window, and typing would go on into its fields.
    window_->activateWindow();
    window_->raise();
    view->setFocus();
    view->EnsureCaretVisible();
  }
}

bool QtDesktop::IsShiftDown() const {
  return IsShiftHeldForCurrentKey();
}

std::string QtDesktop::ProgramDirectory() const {
  return QCoreApplication::applicationDirPath().toStdString();
}

void QtDesktop::RequestClose() {
  window_->close();
}

// --- Dialogs ---------------------------------------------------------------------------

bool QtDesktop::RunFileDialog(bool save, FileDialogState& dialog) {
  const QStringList filters = NameFiltersOf(dialog.Filter);
  int filter_index = std::max(0, dialog.FilterIndex - 1);
  QString path = QString::fromStdString(dialog.FileName);
  if (!window_->RunFileDialog(save, filters, &filter_index, &path)) return false;
  dialog.FileName = path.toStdString();
  dialog.FilterIndex = filter_index + 1;
  return true;
}

bool QtDesktop::ChooseOpenFile(FileDialogState& dialog) {
  return RunFileDialog(false, dialog);
}

bool QtDesktop::ChooseSaveFile(FileDialogState& dialog) {
  return RunFileDialog(true, dialog);
}

void QtDesktop::RunSelectType(TFormSelectType& form) {
  SelectTypeDialog dialog(window_.get(), QStringListOf(TFormSelectType::RadioTypeItems()));
  dialog.SetSelectedIndex(form.RadioTypeItemIndex);
  dialog.exec();
  form.RadioTypeItemIndex = dialog.SelectedIndex();
  ApplyOutcome(dialog.Outcome(), form);  // the logic judges a frame close
}

bool QtDesktop::ChooseFont(FontSpec& font) {
  QFont chosen = QFontOfSpec(font);
  // The dialog lists real faces: show the one that stands in for a name
  // this desktop lacks ("ＭＳ ゴシック" is drawn with IPAGothic).
  if (!QFontDatabase::hasFamily(chosen.family())) chosen.setFamily(QFontInfo(chosen).family());
  if (!window_->ChooseFont(&chosen)) return false;
  font = SpecOfQFont(chosen, font);
  return true;
}

void QtDesktop::ShowFindDialog(FindDialogKind kind) {
  if (kind == FindDialogKind::Find) {
    window_->FindDialogView()->ShowOrRaise();
  } else {
    window_->ReplaceDialogView()->ShowOrRaise();
  }
}

MessageButton QtDesktop::ShowMessage(MessageKind kind, const std::string& text,
                                     MessageButtons buttons) {
  return ShowMessageBox(window_.get(), kind, QString::fromStdString(text), buttons);
}

// --- Status, cursor, menus, desktop -------------------------------------------------------

void QtDesktop::SetStatusPanel(int panel, const std::string& text) {
  window_->SetStatusPanel(panel, QString::fromStdString(text));
}

void QtDesktop::ProcessPendingEvents() {
  // The panel's new text must be painted before the long command goes on.
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtDesktop::SetBusyCursor(bool busy) {
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void QtDesktop::SetMenuCaption(MenuItemId item, const std::string& caption) {
  switch (item) {
    case MenuItemId::MenuEditMerge:
      window_->Action(QStringLiteral("MenuEditMerge"))->setText(QString::fromStdString(caption));
      break;
  }
}

void QtDesktop::KeepRecoveryFiles(const std::string& directory) {
  try {
    recovery_ = std::make_unique<RecoveryFiles>(directory);
  } catch (const std::exception& error) {
    ShowErrorMessage(window_.get(), QString::fromUtf8(error.what()));
    return;
  }
  editor_->SetRecoveryFiles(recovery_.get());
  // Once the window is up, so that the question has a window to stand on.
  QTimer::singleShot(0, window_.get(), [this] { Run([this] { editor_->OfferRecovery(); }); });
}

void QtDesktop::StartRecoveryTimer() {
  if (!recovery_timer_->isActive()) recovery_timer_->start();
}

void QtDesktop::ContinueRecoverySoon() {
  // A zero timer runs after the input and paint events already queued.
  QTimer::singleShot(0, window_.get(),
                     [this] { Run([this] { editor_->ContinueRecoverySnapshots(); }); });
}

void QtDesktop::WatchFile(const std::string& path) {
  const QString file = QString::fromStdString(path);
  if (!watcher_->files().contains(file)) watcher_->addPath(file);
}

void QtDesktop::UnwatchFile(const std::string& path) {
  watcher_->removePath(QString::fromStdString(path));
}

void QtDesktop::OpenWithDesktop(const std::string& path_or_url, bool /*with_main_window*/) {
  const QString target = QString::fromStdString(path_or_url);
  const QUrl url =
      target.contains(QStringLiteral("://")) ? QUrl(target) : QUrl::fromLocalFile(target);
  QDesktopServices::openUrl(url);  // a failure is not reported
}

}  // namespace morvik
