// The main window's commands on a document of a million record lines
// (about 50 MB): the keys and status a user feels on every keystroke, and
// the whole-document find and replace.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/quiet_desktop.h"

namespace morvik {
namespace {

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

bench::EditorSession& Shared() {
  static bench::EditorSession session(MillionLines(), /*accept_sort=*/true);
  return session;
}

void BM_EnterInTheMiddle(benchmark::State& state) {
  bench::EditorSession& s = Shared();
  s.TimeUndoing(state, [&s] {
    s.document->SetSelection(s.document->PositionOfLine(kLines / 2) + 3, 0);
    s.editor.DocumentKeyPress(*s.document, TFormEditor::kEnterKey);
  });
}
BENCHMARK(BM_EnterInTheMiddle)->Unit(benchmark::kMicrosecond);

void BM_CaretStatus(benchmark::State& state) {
  bench::EditorSession& s = Shared();
  s.document->SetSelection(s.document->PositionOfLine(kLines / 2) + 7, 0);
  for (auto _ : state) s.editor.DocumentKeyUp(*s.document);
}
BENCHMARK(BM_CaretStatus)->Unit(benchmark::kMicrosecond);

// Worst case: from the first line down, found on no line.
void BM_FindNextNotFound(benchmark::State& state) {
  bench::EditorSession& s = Shared();
  FindDialogState find;
  find.FindText = "nowhere";
  for (auto _ : state) {
    s.document->SetSelection(0, 0);
    s.editor.FindDialogFind(find);
  }
}
BENCHMARK(BM_FindNextNotFound)->Unit(benchmark::kMillisecond);

void BM_ReplaceAll(benchmark::State& state) {
  Shared().TimeReplaceAll(state, "VALUE", "data");
}
BENCHMARK(BM_ReplaceAll)->Unit(benchmark::kMillisecond)->Iterations(3);

// Sort of the whole document from the menu (undone between runs).
void BM_SortFromMenu(benchmark::State& state) {
  bench::EditorSession& s = Shared();
  s.TimeUndoing(state, [&s] { s.editor.MenuEditSortClick(); });
}
BENCHMARK(BM_SortFromMenu)->Unit(benchmark::kMillisecond)->Iterations(3);

// The keyword listing of the file-information dialog: every line's keyword
// is distinct.
void BM_FileInfoKeywordList(benchmark::State& state) {
  bench::EditorSession& s = Shared();
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
