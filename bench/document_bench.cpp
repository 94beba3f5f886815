// The document model on a data file of a million lines (about 50 MB): the
// one-character edit, the caret status and the position queries must stay
// well under a millisecond, opening well under a second.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "app/document/rich_edit_ex.h"

namespace morvik {
namespace {

constexpr std::size_t kLines = 1000000;

// Record lines of two quoted fields with kanji, kana and ASCII, ~50 bytes each.
std::string MakeDataFile() {
  std::string text;
  text.reserve(kLines * 52);
  char number[16];
  for (std::size_t i = 0; i < kLines; ++i) {
    std::snprintf(number, sizeof number, "%07zu", i);
    text += "\"keyword";
    text += number;
    text += "\",\"\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x65\x83\x4c\x83\x58\x83\x67 value ";
    text += number;
    text += "\"\r\n";
  }
  return text;
}

// The data file, written once and removed when the benchmark ends.
class DataFile {
 public:
  DataFile() {
    char name[] = "/tmp/morvik-bench-XXXXXX";
    const int fd = mkstemp(name);
    close(fd);
    path_ = name;
    std::ofstream(path_, std::ios::binary) << MakeDataFile();
  }
  ~DataFile() { std::remove(path_.c_str()); }
  DataFile(const DataFile&) = delete;
  DataFile& operator=(const DataFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

const std::string& DataFilePath() {
  static const DataFile file;
  return file.path();
}

TRichEditEx& LoadedDocument() {
  static const std::unique_ptr<TRichEditEx> document = [] {
    auto d = std::make_unique<TRichEditEx>("RichEdit1");
    d->LoadFromFile(DataFilePath());
    return d;
  }();
  return *document;
}

void BM_LoadFromFile(benchmark::State& state) {
  const std::string& path = DataFilePath();
  for (auto _ : state) {
    TRichEditEx document("RichEdit1");
    document.LoadFromFile(path);
    benchmark::DoNotOptimize(document.RawLineCount());
  }
  state.counters["lines"] = static_cast<double>(LoadedDocument().RawLineCount());
  state.counters["MB"] = static_cast<double>(LoadedDocument().Length()) / 1e6;
}
BENCHMARK(BM_LoadFromFile)->Unit(benchmark::kMillisecond);

// One typed character in the middle, as a view reports it, then its removal.
void BM_TypeCharacterInTheMiddle(benchmark::State& state) {
  TRichEditEx& document = LoadedDocument();
  const std::size_t middle = document.PositionOfLine(kLines / 2) + 10;
  for (auto _ : state) {
    const std::size_t at = document.CharPositionOfOffset(middle);
    document.ApplyViewEdit(at, 0, u"x");
    document.ApplyViewEdit(at, 1, u"");
  }
  state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_TypeCharacterInTheMiddle)->Unit(benchmark::kMicrosecond);

void BM_ReplaceByteInTheMiddle(benchmark::State& state) {
  TRichEditEx& document = LoadedDocument();
  const std::size_t middle = document.Length() / 2;
  for (auto _ : state) document.Replace(middle, 1, "y");
}
BENCHMARK(BM_ReplaceByteInTheMiddle)->Unit(benchmark::kMicrosecond);

void BM_LineFromPosition(benchmark::State& state) {
  TRichEditEx& document = LoadedDocument();
  std::mt19937_64 random(1);
  for (auto _ : state) {
    benchmark::DoNotOptimize(document.LineFromPosition(random() % document.Length()));
  }
}
BENCHMARK(BM_LineFromPosition)->Unit(benchmark::kMicrosecond);

void BM_PositionOfLine(benchmark::State& state) {
  TRichEditEx& document = LoadedDocument();
  std::mt19937_64 random(2);
  for (auto _ : state) {
    benchmark::DoNotOptimize(document.PositionOfLine(random() % kLines));
  }
}
BENCHMARK(BM_PositionOfLine)->Unit(benchmark::kMicrosecond);

void BM_CharPositionOfOffset(benchmark::State& state) {
  TRichEditEx& document = LoadedDocument();
  std::mt19937_64 random(3);
  for (auto _ : state) {
    benchmark::DoNotOptimize(document.CharPositionOfOffset(random() % document.Length()));
  }
}
BENCHMARK(BM_CharPositionOfOffset)->Unit(benchmark::kMicrosecond);

void BM_OffsetOfCharPosition(benchmark::State& state) {
  TRichEditEx& document = LoadedDocument();
  std::mt19937_64 random(4);
  for (auto _ : state) {
    benchmark::DoNotOptimize(document.OffsetOfCharPosition(random() % document.CharCount()));
  }
}
BENCHMARK(BM_OffsetOfCharPosition)->Unit(benchmark::kMicrosecond);

// What the status bar asks at every key: caret line, its start, raw line count.
void BM_CaretStatus(benchmark::State& state) {
  TRichEditEx& document = LoadedDocument();
  std::mt19937_64 random(5);
  for (auto _ : state) {
    document.SetSelection(random() % document.Length(), 0);
    const std::size_t caret = document.SelStart();
    const std::size_t line = document.LineFromPosition(caret);
    const std::size_t column = caret - document.PositionOfLine(line) + 1;
    benchmark::DoNotOptimize(line + column + document.RawLineCount());
  }
}
BENCHMARK(BM_CaretStatus)->Unit(benchmark::kMicrosecond);

void BM_LineByIndex(benchmark::State& state) {
  TRichEditEx& document = LoadedDocument();
  std::mt19937_64 random(6);
  for (auto _ : state) benchmark::DoNotOptimize(document.Line(random() % kLines));
}
BENCHMARK(BM_LineByIndex)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace morvik
