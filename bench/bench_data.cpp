#include "bench/bench_data.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace morvik::bench {

int ShuffledKey(int i) {
  return static_cast<int>((static_cast<long long>(i) * 7919) % kRecordCount);
}

std::string MillionRecords(std::string_view (*prefix)(int), int (*key)(int)) {
  std::string text;
  text.reserve(56'000'000);
  char line[128];
  for (int i = 0; i < kRecordCount; ++i) {
    const std::string_view before = prefix != nullptr ? prefix(i) : std::string_view();
    const int n =
        std::snprintf(line, sizeof line,
                      "\"%.*s\x83\x4c\x81\x5b\x83\x8f\x81\x5b\x83\x68%07d\",\"\x92\x6c%07d\","
                      "\"abcdefghijklmn\"\r\n",
                      static_cast<int>(before.size()), before.data(), key(i), i);
    text.append(line, static_cast<std::size_t>(n));
  }
  return text;
}

void WriteDataFile(const std::filesystem::path& path, std::string_view records) {
  std::ofstream out(path, std::ios::binary);
  out.write(records.data(), static_cast<std::streamsize>(records.size()));
  out << "\"{EndOfData}\",\"{Dummy}\",\"{Dummy}\"\r\n";
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace morvik::bench
