// What the benchmarks share without a window: the million-record data they
// run on and the median of repeated timings.
#ifndef MORVIK_BENCH_BENCH_DATA_H_
#define MORVIK_BENCH_BENCH_DATA_H_

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace morvik::bench {

inline constexpr int kRecordCount = 1000000;

// i * 7919 modulo a million: every key once, out of order, so a sort has
// work to do.
int ShuffledKey(int i);

// kRecordCount record lines of about 50 bytes (about 52 MB), line i being
//   "<prefix(i)>キーワード<key(i), 7 digits>","値<i, 7 digits>","abcdefghijklmn"
// and CR LF. Without a prefix function the keyword has none.
std::string MillionRecords(std::string_view (*prefix)(int) = nullptr,
                           int (*key)(int) = ShuffledKey);

// Writes records and then the end-of-data line a data file closes with.
void WriteDataFile(const std::filesystem::path& path, std::string_view records);

// The middle value (the upper one of an even count); values must not be
// empty.
double Median(std::vector<double> values);

}  // namespace morvik::bench

#endif  // MORVIK_BENCH_BENCH_DATA_H_
