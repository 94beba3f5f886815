// Find and replace of the main window on a document of a million record
// lines (about 52 MB): Find Next that finds nothing, down from the top and up
// from the end, with a plain text and with a pattern, and Replace All of a
// million occurrences.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/bench_data.h"
#include "bench/quiet_desktop.h"

namespace morvik {
namespace {

bench::EditorSession& Shared() {
  static bench::EditorSession session(bench::MillionRecords());
  return session;
}

// Every line holds an "n", so the key's first byte is found a million
// times and rejected there.
void FindNothing(benchmark::State& state, const char* find_text, bool regular_expression,
                 bool down) {
  bench::EditorSession& s = Shared();
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
  Shared().TimeReplaceAll(state, "ABC", "xyz");  // once on every line
}
BENCHMARK(BM_ReplaceAllMillion)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace morvik

BENCHMARK_MAIN();
