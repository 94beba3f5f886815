// Compilation speed of the regular-expression engine: time, states and
// classes for patterns whose automata grow in states, in classes, or both.
// Building should grow about linearly with states x classes.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "regex/engine.h"
#include "regex/scanner.h"
#include "regex/token_list.h"
#include "regex/token_rewriter.h"

namespace morvik {
namespace {

// The partition's class count, from the standardised token list.
int CountClasses(const std::string& pattern, TbmCharCode code, bool ignore_case) {
  TbmREScanner scanner(code);
  TbmRETokens tokens;
  TbmRETokens translated;
  TbmREWchRanges ranges;
  scanner.SetPattern(pattern);
  tokens.Tokenize(scanner);
  TbmRETokens* list = &tokens;
  if (ignore_case) {
    TbmREAsciiIgnoreCaseDic().Translate(tokens, translated);
    list = &translated;
  }
  list->Standardize(ranges);
  return ranges.Count();
}

void Compile(benchmark::State& state, const std::string& pattern, TbmCharCode code,
             bool ignore_case) {
  int states = 0;
  for (auto _ : state) {
    TbmRExp rexp;
    rexp.SetCharCode(code);
    rexp.SetOption(TbmRExp::kIgnoreCase, ignore_case);
    rexp.SetPattern(pattern);
    states = rexp.GetDFATable().Count();
    benchmark::DoNotOptimize(states);
  }
  const int classes = CountClasses(pattern, code, ignore_case);
  state.counters["states"] = states;
  state.counters["classes"] = classes;
  state.counters["ns_per_state_class"] = benchmark::Counter(
      static_cast<double>(states) * classes,
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

std::string LowercaseWord(std::mt19937& random) {
  std::string word;
  const int length = 3 + static_cast<int>(random() % 8);
  for (int i = 0; i < length; ++i) word += static_cast<char>('a' + random() % 26);
  return word;
}

std::string Alternation(int count) {
  std::mt19937 random(42);
  std::string pattern;
  for (int i = 0; i < count; ++i) {
    if (i > 0) pattern += '|';
    pattern += LowercaseWord(random);
  }
  return pattern;
}

// Kanji of the first JIS level: lead bytes 0x89..0x97 with every trail byte.
std::string KanjiAlternation(int count) {
  std::mt19937 random(7);
  std::string pattern;
  for (int i = 0; i < count; ++i) {
    if (i > 0) pattern += '|';
    const int length = 2 + static_cast<int>(random() % 3);
    for (int k = 0; k < length; ++k) {
      const int lead = 0x89 + static_cast<int>(random() % 15);
      int trail = 0x40 + static_cast<int>(random() % 188);
      if (trail >= 0x7F) ++trail;  // 0x7F is no trail byte
      pattern += static_cast<char>(lead);
      pattern += static_cast<char>(trail);
    }
  }
  return pattern;
}

void BM_Exponential(benchmark::State& state) {
  std::string pattern = "(a|b)*a";
  for (int i = 0; i < state.range(0); ++i) pattern += "(a|b)";
  Compile(state, pattern, bmccShiftJIS, false);
}
BENCHMARK(BM_Exponential)->Arg(8)->Arg(12)->Arg(14)->Arg(16)->Unit(benchmark::kMillisecond);

void BM_LetterClasses50(benchmark::State& state) {
  std::string pattern;
  for (int i = 0; i < 50; ++i) pattern += "[a-zA-Z]";
  Compile(state, pattern, bmccShiftJIS, false);
}
BENCHMARK(BM_LetterClasses50)->Unit(benchmark::kMillisecond);

void BM_Words(benchmark::State& state) {
  Compile(state, Alternation(static_cast<int>(state.range(0))), bmccShiftJIS, state.range(1) != 0);
}
BENCHMARK(BM_Words)
    ->ArgNames({"words", "ignore_case"})
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Unit(benchmark::kMillisecond);

void BM_WordsPlus(benchmark::State& state) {
  std::string pattern = "(";
  pattern += Alternation(1000);
  pattern += ")+";
  Compile(state, pattern, bmccShiftJIS, false);
}
BENCHMARK(BM_WordsPlus)->Unit(benchmark::kMillisecond);

void BM_KanjiWords(benchmark::State& state) {
  Compile(state, KanjiAlternation(10000), bmccShiftJIS, false);
}
BENCHMARK(BM_KanjiWords)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvik
