// QtDesktop: the dialogs of the data commands (sort options, file
// information, script editor), each a Qt view driven by its logic object.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QStringList>

#include "app/dialogs/file_info.h"
#include "app/dialogs/script_edit.h"
#include "app/dialogs/sort.h"
#include "gui/file_info_dialog.h"
#include "gui/main_window.h"
#include "gui/qt_desktop.h"
#include "gui/script_dialog.h"
#include "gui/sjis_text.h"
#include "gui/sort_dialog.h"

namespace morvik {
namespace {

// The desktop's clipboard for the script editor, in Shift_JIS.
class QtScriptClipboard : public ScriptClipboard {
 public:
  explicit QtScriptClipboard(std::function<void(int)> refused) : refused_(std::move(refused)) {}

  std::optional<std::string> Text() override {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data == nullptr || !data->hasText()) return std::nullopt;
    int dropped = 0;
    const QString kept = KeepEncodable(data->text(), &dropped);
    if (dropped > 0) refused_(dropped);
    return SjisOfQString(kept);  // the logic turns lone breaks into CR LF
  }

  void SetText(std::string_view text) override {
    QGuiApplication::clipboard()->setText(QStringOfSjis(text));
  }

 private:
  std::function<void(int)> refused_;
};

}  // namespace

void QtDesktop::RunSort(TFormSort& form) {
  SortDialog dialog(window_.get(), QStringListOf(TFormSort::RadioTargetItems()),
                    QStringListOf(TFormSort::RadioOrderItems()));
  dialog.SetIndexes(form.RadioTargetItemIndex, form.RadioOrderItemIndex);
  dialog.exec();
  form.RadioTargetItemIndex = dialog.TargetIndex();
  form.RadioOrderItemIndex = dialog.OrderIndex();
  ApplyOutcome(dialog.Outcome(), form);
  form.FormClose();
}

void QtDesktop::RunFileInfo(TFormFileInfo& form) {
  form.SetBusyCursor = [this](bool busy) { SetBusyCursor(busy); };
  if (form.CloseRequested) return;  // no document
  FileInfoDialog dialog(window_.get(), QStringListOf(TFormFileInfo::ComboShowInfoItems()));
  dialog.SetFileNameLabel(QString::fromStdString(form.LabelFileName));
  dialog.SetLinesLabel(QString::fromStdString(form.LabelLines));
  QObject::connect(&dialog, &FileInfoDialog::ShowInfoChosen, &dialog, [&](int index) {
    Run([&] {
      // The hourglass covers the listing's display too, not only the logic.
      struct BusyWhileListing {
        QtDesktop& desktop;
        explicit BusyWhileListing(QtDesktop& d) : desktop(d) { desktop.SetBusyCursor(true); }
        ~BusyWhileListing() { desktop.SetBusyCursor(false); }
      } busy(*this);
      dialog.SetInfoLines(nullptr);  // the logic is about to change them
      form.ComboShowInfoItemIndex = index;
      form.ComboShowInfoChange();
      dialog.SetInfoLines(&form.MemoInfo);
    });
  });
  // A double-click on an invalid line closes the dialog to show that line.
  QObject::connect(&dialog, &FileInfoDialog::InfoLineDoubleClicked, &dialog, [&](int row) {
    form.MemoInfoDblClick(row);
    if (form.CloseRequested) dialog.accept();
  });
  dialog.exec();
  form.ButtonOKClick();
}

void QtDesktop::RunScriptEditor(TFormScript& form) {
  ScriptDialog dialog(window_.get());
  dialog.SetMemoFont(QFontOfSpec(form.MemoScriptFont));
  dialog.SetIgnoreShortcut(QString::fromStdString(form.MenuQuitIgnoreShortCut));
  ScriptMemo* memo = dialog.MemoScript();
  auto refused = [this](int dropped) { window_->SetStatusPanel(1, UnencodableMessage(dropped)); };
  QtScriptClipboard clipboard(refused);

  // The logic's text follows every edit; the field follows every command.
  bool showing = false;
  auto show_text = [&] {
    if (dialog.TextBytes() == form.MemoScript) return;
    showing = true;
    dialog.SetTextBytes(form.MemoScript);
    showing = false;
  };
  show_text();
  QObject::connect(memo, &QPlainTextEdit::textChanged, &dialog, [&] {
    if (!showing) form.SetMemoText(dialog.TextBytes());
  });
  QObject::connect(memo, &ScriptMemo::InputRefused, &dialog,
                   [this](const QString& message) { window_->SetStatusPanel(1, message); });
  QObject::connect(memo, &ScriptMemo::EnterPressed, &dialog, [&] {
    Run([&] {
      const std::optional<std::string> inserted = form.MemoScriptKeyPress(
          TFormScript::kEnterKey, false, dialog.CaretLineBytes(), dialog.CaretColumnBytes());
      dialog.ReplaceSelectionBytes(inserted.value_or("\r\n"));
    });
  });
  auto command = [&](const std::function<void()>& handler) {
    Run([&] {
      handler();
      show_text();
      if (form.CloseRequested) dialog.CloseWindow();
    });
  };
  QObject::connect(&dialog, &ScriptDialog::AnalyzeClicked, &dialog,
                   [&] { command([&] { form.MenuEditAnalyzeClick(); }); });
  QObject::connect(&dialog, &ScriptDialog::LinizeClicked, &dialog,
                   [&] { command([&] { form.MenuEditLinizeClick(); }); });
  QObject::connect(&dialog, &ScriptDialog::CopyClicked, &dialog,
                   [&] { command([&] { form.MenuEditCopyClick(clipboard); }); });
  QObject::connect(&dialog, &ScriptDialog::PasteClicked, &dialog,
                   [&] { command([&] { form.MenuEditPasteClick(clipboard); }); });
  QObject::connect(&dialog, &ScriptDialog::ReflectClicked, &dialog,
                   [&] { command([&] { form.MenuQuitReflectClick(); }); });
  QObject::connect(&dialog, &ScriptDialog::IgnoreClicked, &dialog,
                   [&] { command([&] { form.MenuQuitIgnoreClick(); }); });
  dialog.exec();
}

}  // namespace morvik
