// The main window's commands on a document of a million record lines
// (about 50 MB): the keys and status a user feels on every keystroke, and
// the whole-document find and replace.
#include <benchmark/benchmark.h>

#include <string>

#include "app/dialogs/file_info.h"
#include "app/dialogs/select_type.h"
#include "app/dialogs/sort.h"
#include "app/editor/editor.h"

namespace morvik {
namespace {

// A desktop that answers nothing and shows nothing.
class QuietDesktop : public DesktopPort {
 public:
  int active = -1;
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
  void RunSort(TFormSort& form) override {  // OK on the whole document, ascending
    form.RadioTargetItemIndex = 1;
    form.ButtonOKClick();
  }
  void RunFileInfo(TFormFileInfo&) override {}
  void RunScriptEditor(TFormScript&) override {}
  bool ChooseFont(FontSpec&) override { return false; }
  void ShowFindDialog(FindDialogKind) override {}
  MessageButton ShowMessage(MessageKind, const std::string&, MessageButtons) override {
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

constexpr std::size_t kLines = 1000000;

std::string MillionLines() {
  std::string text;
  text.reserve(kLines * 50);
  for (std::size_t i = 0; i < kLines; ++i) {
    text +=
        "\"keyword" + std::to_string(i) + "\",\"\x83\x41\x83\x43\x83\x45 value text\",\"x\"\r\n";
  }
  return text;
}

struct Session {
  QuietDesktop desktop;
  TFormEditor editor{desktop};
  TRichEditEx* document;
  Session() {
    editor.FormCreate();
    editor.CreateDocument(DataA1);
    document = editor.CurrentDocument();
    document->Replace(0, document->Length(), MillionLines());
  }
};

Session& Shared() {
  static Session session;
  return session;
}

void BM_EnterInTheMiddle(benchmark::State& state) {
  Session& s = Shared();
  for (auto _ : state) {
    s.document->SetSelection(s.document->PositionOfLine(kLines / 2) + 3, 0);
    s.editor.DocumentKeyPress(*s.document, TFormEditor::kEnterKey);
    state.PauseTiming();
    s.document->Undo();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_EnterInTheMiddle)->Unit(benchmark::kMicrosecond);

void BM_CaretStatus(benchmark::State& state) {
  Session& s = Shared();
  s.document->SetSelection(s.document->PositionOfLine(kLines / 2) + 7, 0);
  for (auto _ : state) s.editor.DocumentKeyUp(*s.document);
}
BENCHMARK(BM_CaretStatus)->Unit(benchmark::kMicrosecond);

// Worst case: from the first line down, found on no line.
void BM_FindNextNotFound(benchmark::State& state) {
  Session& s = Shared();
  FindDialogState find;
  find.FindText = "nowhere";
  for (auto _ : state) {
    s.document->SetSelection(0, 0);
    s.editor.FindDialogFind(find);
  }
}
BENCHMARK(BM_FindNextNotFound)->Unit(benchmark::kMillisecond);

void BM_ReplaceAll(benchmark::State& state) {
  Session& s = Shared();
  FindDialogState replace;
  replace.FindText = "VALUE";
  replace.ReplaceText = "data";
  replace.ReplaceAll = true;
  for (auto _ : state) {
    s.editor.ReplaceDialogReplace(replace);
    state.PauseTiming();
    s.document->Undo();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ReplaceAll)->Unit(benchmark::kMillisecond)->Iterations(3);

// Sort of the whole document from the menu (undone between runs).
void BM_SortFromMenu(benchmark::State& state) {
  Session& s = Shared();
  for (auto _ : state) {
    s.editor.MenuEditSortClick();
    state.PauseTiming();
    s.document->Undo();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SortFromMenu)->Unit(benchmark::kMillisecond)->Iterations(3);

// The keyword listing of the file-information dialog: every line's keyword
// is distinct.
void BM_FileInfoKeywordList(benchmark::State& state) {
  Session& s = Shared();
  for (auto _ : state) {
    TFormFileInfo form(s.document);
    form.FormCreate();
    form.ComboShowInfoItemIndex = 2;
    form.ComboShowInfoChange();
    benchmark::DoNotOptimize(form.MemoInfo.data());
  }
}
BENCHMARK(BM_FileInfoKeywordList)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace morvik

BENCHMARK_MAIN();
