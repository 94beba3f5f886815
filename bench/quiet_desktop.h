// The desktop of the benchmarks that drive the editor without a window: it
// shows nothing and answers every question with the least it can.
#ifndef MORVIK_BENCH_QUIET_DESKTOP_H_
#define MORVIK_BENCH_QUIET_DESKTOP_H_

#include <benchmark/benchmark.h>

#include <string>

#include "app/dialogs/file_info.h"
#include "app/dialogs/select_type.h"
#include "app/dialogs/sort.h"
#include "app/editor/editor.h"

namespace morvik::bench {

class QuietDesktop : public DesktopPort {
 public:
  int active = -1;
  int messages = 0;          // message boxes shown
  bool accept_sort = false;  // OK in the sort dialog: whole document, ascending

  void DocumentCreated(int, TRichEditEx&, const std::string&, const std::string&,
                       const FontSpec&) override {}
  int ActivePageIndex() const override { return active; }
  void SetActivePage(int index) override { active = index; }
  void SetPageCaption(int, const std::string&) override {}
  void SetDocumentFont(int, const FontSpec&) override {}
  void FocusDocument(int) override {}
  bool IsShiftDown() const override { return false; }
  std::string ProgramDirectory() const override { return "/"; }
  void RequestClose() override {}
  bool ChooseOpenFile(FileDialogState&) override { return false; }
  bool ChooseSaveFile(FileDialogState&) override { return false; }
  void RunSelectType(TFormSelectType&) override {}
  void RunSort(TFormSort& form) override {
    if (!accept_sort) return;
    form.RadioTargetItemIndex = 1;
    form.ButtonOKClick();
  }
  void RunFileInfo(TFormFileInfo&) override {}
  void RunScriptEditor(TFormScript&) override {}
  bool ChooseFont(FontSpec&) override { return false; }
  void ShowFindDialog(FindDialogKind) override {}
  MessageButton ShowMessage(MessageKind, const std::string&, MessageButtons) override {
    ++messages;
    return MessageButton::Ok;
  }
  void SetStatusPanel(int, const std::string& text) override {
    benchmark::DoNotOptimize(text.data());
  }
  void ProcessPendingEvents() override {}
  void SetBusyCursor(bool) override {}
  void SetMenuCaption(MenuItemId, const std::string&) override {}
  void WatchFile(const std::string&) override {}
  void UnwatchFile(const std::string&) override {}
  void StartRecoveryTimer() override {}
  void ContinueRecoverySoon() override {}
  void OpenWithDesktop(const std::string&, bool) override {}
  void DocumentClosing(int) override {}
  void SetPageModified(int, bool) override {}
  void SetLineNumbersVisible(bool) override {}
  void RunGoToLine(GoToLineForm&) override {}
  void SetRecentFiles(const std::vector<RecentFile>&) override {}
  std::vector<std::string> ReadSetting(const std::string&) override { return {}; }
  void WriteSetting(const std::string&, const std::vector<std::string>&) override {}
};

// An editor on the quiet desktop with one DataA1 document holding text.
struct EditorSession {
  QuietDesktop desktop;
  TFormEditor editor{desktop};
  TRichEditEx* document = nullptr;

  explicit EditorSession(const std::string& text, bool accept_sort = false) {
    desktop.accept_sort = accept_sort;
    editor.FormCreate();
    editor.CreateDocument(DataA1);
    document = editor.CurrentDocument();
    document->Replace(0, document->Length(), text);
  }

  // Times action on each of state's iterations and undoes it untimed, so
  // that every run starts from the same document.
  template <typename Action>
  void TimeUndoing(benchmark::State& state, const Action& action) {
    for (auto _ : state) {
      action();
      state.PauseTiming();
      document->Undo();
      state.ResumeTiming();
    }
  }

  // Replace All from the replace dialog, timed and undone.
  void TimeReplaceAll(benchmark::State& state, const char* find_text, const char* replace_text) {
    FindDialogState replace;
    replace.FindText = find_text;
    replace.ReplaceText = replace_text;
    replace.ReplaceAll = true;
    TimeUndoing(state, [&] { editor.ReplaceDialogReplace(replace); });
  }
};

}  // namespace morvik::bench

#endif  // MORVIK_BENCH_QUIET_DESKTOP_H_
