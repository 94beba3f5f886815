// Find and replace of the main window on a document of a million record
// lines (about 52 MB): Find Next that finds nothing, down from the top and up
// from the end, with a plain text and with a pattern, and Replace All of a
// million occurrences.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "app/dialogs/select_type.h"
#include "app/editor/editor.h"

namespace morvik {
namespace {

// A desktop that answers nothing and shows nothing.
class QuietDesktop : public DesktopPort {
 public:
  int active = -1;
  int messages = 0;
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
  void RunSort(TFormSort&) override {}
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
  void OpenWithDesktop(const std::string&, bool) override {}
};

// "キーワードNNNNNNN","値NNNNNNN","abcdefghijklmn" and CR LF, a million times.
std::string MillionRecords() {
  std::string text;
  text.reserve(53'000'000);
  char line[128];
  for (int i = 0; i < 1000000; ++i) {
    const int key = static_cast<int>((static_cast<long long>(i) * 7919) % 1000000);
    const int n = std::snprintf(line, sizeof line,
                                "\"\x83\x4c\x81\x5b\x83\x8f\x81\x5b\x83\x68%07d\",\"\x92\x6c%07d\","
                                "\"abcdefghijklmn\"\r\n",
                                key, i);
    text.append(line, static_cast<std::size_t>(n));
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
    document->Replace(0, document->Length(), MillionRecords());
  }
};

Session& Shared() {
  static Session session;
  return session;
}

// Every line holds an "n", so the key's first byte is found a million
// times and rejected there.
void FindNothing(benchmark::State& state, const char* find_text, bool regular_expression,
                 bool down) {
  Session& s = Shared();
  FindDialogState find;
  find.FindText = find_text;
  find.RegularExpression = regular_expression;
  find.Down = down;
  const int messages = s.desktop.messages;
  for (auto _ : state) {
    s.document->SetSelection(down ? 0 : s.document->Length(), 0);
    s.editor.FindDialogFind(find);
  }
  if (s.desktop.messages - messages != static_cast<int>(state.iterations()))
    state.SkipWithError("something was found");
}

void BM_FindNextNotFound(benchmark::State& state) {
  FindNothing(state, "nowhere", false, true);
}
BENCHMARK(BM_FindNextNotFound)->Unit(benchmark::kMillisecond);

void BM_FindPreviousNotFound(benchmark::State& state) {
  FindNothing(state, "nowhere", false, false);
}
BENCHMARK(BM_FindPreviousNotFound)->Unit(benchmark::kMillisecond);

// Both alternatives begin on every line: the worst case for skipping ahead.
void BM_RegexFindNextNotFound(benchmark::State& state) {
  FindNothing(state, "値[0-9]+x|n[a-z]*z$", true, true);
}
BENCHMARK(BM_RegexFindNextNotFound)->Unit(benchmark::kMillisecond);

void BM_RegexFindPreviousNotFound(benchmark::State& state) {
  FindNothing(state, "値[0-9]+x|n[a-z]*z$", true, false);
}
BENCHMARK(BM_RegexFindPreviousNotFound)->Unit(benchmark::kMillisecond);

// A literal with a class, whose first letter occurs nowhere.
void BM_RegexFindNextNotFoundRareStart(benchmark::State& state) {
  FindNothing(state, "Z あ[0-9]+", true, true);
}
BENCHMARK(BM_RegexFindNextNotFoundRareStart)->Unit(benchmark::kMillisecond);

void BM_ReplaceAllMillion(benchmark::State& state) {
  Session& s = Shared();
  FindDialogState replace;
  replace.FindText = "ABC";  // once on every line
  replace.ReplaceText = "xyz";
  replace.ReplaceAll = true;
  for (auto _ : state) {
    s.editor.ReplaceDialogReplace(replace);
    state.PauseTiming();
    s.document->Undo();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ReplaceAllMillion)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace morvik

BENCHMARK_MAIN();
