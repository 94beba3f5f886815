// QtDesktop: documents that come from outside the File menu (the command
// line, files dropped from a file manager, the recent-files menu), closing
// documents, their tabs' unsaved-changes mark, going to a line, line
// numbers, zoom, and the settings kept between runs.
#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QInputDialog>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <utility>

#include "gui/command_line.h"
#include "gui/document_view.h"
#include "gui/main_window.h"
#include "gui/qt_desktop.h"

namespace morvik {
namespace {

// The local files a drag carries, or none when it carries anything else
// too (a web link, text): such a drag stays the view's, as text.
QStringList DroppedFiles(const QMimeData* data) {
  QStringList files;
  if (data == nullptr || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) return {};
    files << url.toLocalFile();
  }
  return files;
}

// Takes dropped files from the widgets it watches (the main window and
// every document view) before they do.
class FileDrops : public QObject {
 public:
  FileDrops(QObject* parent, std::function<void(const QStringList&)> files_dropped)
      : QObject(parent), files_dropped_(std::move(files_dropped)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::DragEnter:
      case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (DroppedFiles(drag->mimeData()).isEmpty()) break;
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
      }
      case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList files = DroppedFiles(drop->mimeData());
        if (files.isEmpty()) break;
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        files_dropped_(files);
        return true;
      }
      default:
        break;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void(const QStringList&)> files_dropped_;
};

// The mark on the tab of a document with unsaved changes: a filled dot, as
// many editors show it, drawn in the palette's highlight colour.
QIcon ModifiedMark(const QWidget& widget) {
  const int size = 16;
  const qreal ratio = widget.devicePixelRatioF();
  QPixmap pixmap(QSize(size, size) * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(widget.palette().color(QPalette::Highlight));
  painter.drawEllipse(QRectF(4, 4, 8, 8));
  return QIcon(pixmap);
}

QSettings Settings() {
  // ~/.config/Morvik/Morvik.conf, under XDG_CONFIG_HOME when it is set.
  return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Morvik"),
                   QStringLiteral("Morvik"));
}

}  // namespace

void QtDesktop::ConnectDocumentCommands() {
  QTabWidget* tabs = window_->PageEdit();
  tabs->setTabsClosable(true);
  QObject::connect(tabs, &QTabWidget::tabCloseRequested, window_.get(),
                   [this](int index) { Run([this, index] { editor_->PageCloseClick(index); }); });

  // Beside Open, which it shortens.
  recent_menu_ = new QMenu(QStringLiteral(u"最近使ったファイル"), window_.get());
  recent_menu_->setObjectName(QStringLiteral("MenuFileRecent"));
  auto* file_menu = window_->findChild<QMenu*>(QStringLiteral("MenuFile"));
  file_menu->insertMenu(window_->Action(QStringLiteral("MenuFileSave")), recent_menu_);

  // Ctrl+plus also where plus needs Shift, and from the keypad.
  if (QAction* zoom_in = window_->Action(QStringLiteral("MenuConfigZoomIn"))) {
    zoom_in->setShortcuts(
        {zoom_in->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Equal),
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus),
         QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Plus))});
  }
  if (QAction* zoom_out = window_->Action(QStringLiteral("MenuConfigZoomOut"))) {
    zoom_out->setShortcuts(
        {zoom_out->shortcut(),
         QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Minus))});
  }
  if (QAction* line_numbers = window_->Action(QStringLiteral("MenuConfigLineNumbers"))) {
    line_numbers->setCheckable(true);
  }

  file_drops_ =
      new FileDrops(window_.get(), [this](const QStringList& paths) { OpenDroppedFiles(paths); });
  window_->setAcceptDrops(true);
  window_->installEventFilter(file_drops_);
}

void QtDesktop::ViewAdded(DocumentView& view) {
  // Drags reach a scroll area through its viewport.
  view.installEventFilter(file_drops_);
  view.viewport()->installEventFilter(file_drops_);
  QObject::connect(&view, &DocumentView::ZoomRequested, window_.get(),
                   [this](int steps) { Run([this, steps] { editor_->ZoomBy(steps); }); });
  ApplyLineNumbers(view);
}

void QtDesktop::OpenFiles(const CommandLine& line) {
  for (const QString& path : line.files) {
    Run([this, &path, &line] { editor_->OpenFile(path.toStdString(), line.type); });
  }
}

void QtDesktop::OpenDroppedFiles(const QStringList& paths) {
  // After the drop has ended, so that the file manager is not kept waiting
  // while the data-type dialog asks.
  QTimer::singleShot(0, window_.get(), [this, paths] {
    for (const QString& path : paths) {
      Run([this, &path] { editor_->OpenFile(path.toStdString(), std::nullopt); });
    }
  });
}

// --- Closing and the modified mark ------------------------------------------------------

void QtDesktop::DocumentClosing(int index) {
  DocumentView* view = View(index);
  if (view == nullptr) return;
  QTabWidget* tabs = window_->PageEdit();
  QWidget* page = tabs->widget(index);
  const bool was_switching = switching_pages_;
  // The logic brings the status bar up to date itself.
  switching_pages_ = true;
  tabs->removeTab(index);
  switching_pages_ = was_switching;
  views_.erase(views_.begin() + index);
  // The page holds the view, which watches the document: both go now,
  // before the document does.
  delete page;
}

void QtDesktop::SetPageModified(int index, bool modified) {
  QTabWidget* tabs = window_->PageEdit();
  tabs->setTabIcon(index, modified ? ModifiedMark(*tabs) : QIcon());
  tabs->setTabToolTip(index, modified ? QStringLiteral(u"変更されています") : QString());
}

// --- Going to a line, line numbers -------------------------------------------------------

void QtDesktop::RunGoToLine(GoToLineForm& form) {
  QInputDialog dialog(window_.get());
  dialog.setObjectName(QStringLiteral("FormGoToLine"));
  dialog.setWindowTitle(QStringLiteral(u"行へ移動"));
  dialog.setInputMode(QInputDialog::IntInput);
  const int count = static_cast<int>(std::min<std::size_t>(form.LineCount, 0x7fffffff));
  dialog.setLabelText(QStringLiteral(u"行番号 (1 - %1):").arg(count));
  dialog.setIntRange(1, std::max(1, count));
  dialog.setIntValue(static_cast<int>(std::min<std::size_t>(form.Line, count)));
  dialog.setOkButtonText(QStringLiteral("OK"));
  dialog.setCancelButtonText(QStringLiteral(u"キャンセル"));
  form.Cancelled = dialog.exec() != QDialog::Accepted;
  if (!form.Cancelled) form.Line = static_cast<std::size_t>(dialog.intValue());
}

void QtDesktop::SetLineNumbersVisible(bool visible) {
  line_numbers_visible_ = visible;
  if (QAction* item = window_->Action(QStringLiteral("MenuConfigLineNumbers"))) {
    item->setChecked(visible);
  }
  for (DocumentView* view : views_) ApplyLineNumbers(*view);
}

void QtDesktop::ApplyLineNumbers(DocumentView& view) {
  view.SetLineNumbersVisible(line_numbers_visible_);
}

// --- Recent files and settings ----------------------------------------------------------

void QtDesktop::SetRecentFiles(const std::vector<RecentFile>& files) {
  recent_menu_->clear();
  for (std::size_t i = 0; i < files.size(); ++i) {
    QString path = QString::fromStdString(files[i].Path);
    // An "&" in a path is no access key.
    path.replace(u'&', QStringLiteral("&&"));
    const QString number = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QStringLiteral("1&0");
    QAction* item = recent_menu_->addAction(QStringLiteral("%1 %2").arg(number, path));
    item->setObjectName(QStringLiteral("MenuFileRecent%1").arg(i + 1));
    const int index = static_cast<int>(i);
    QObject::connect(item, &QAction::triggered, window_.get(), [this, index] {
      Run([this, index] { editor_->MenuFileRecentClick(index); });
    });
  }
  recent_menu_->setEnabled(!files.empty());
}

std::vector<std::string> QtDesktop::ReadSetting(const std::string& key) {
  std::vector<std::string> values;
  for (const QString& value : Settings().value(QString::fromStdString(key)).toStringList()) {
    values.push_back(value.toStdString());
  }
  return values;
}

void QtDesktop::WriteSetting(const std::string& key, const std::vector<std::string>& values) {
  Settings().setValue(QString::fromStdString(key), QStringListOf(values));
}

}  // namespace morvik
