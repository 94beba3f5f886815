#include "data/line_insertion.h"

#include <gtest/gtest.h>

#include <vector>

namespace morvik {
namespace {

// Appending after the last line, written out for every way a text can end.
TEST(LineInsertion, AppendingKeepsHowTheTextEnds) {
  const struct {
    std::string text;
    std::vector<std::string> lines;
    std::string result;
  } cases[] = {
      {"", {"a"}, "a\r\n"},
      {"", {"a", "b"}, "a\r\nb\r\n"},
      {"", {""}, "\r\n"},
      {"x\r\n", {"a"}, "x\r\na\r\n"},
      {"x\r", {"a"}, "x\ra\r\n"},
      {"x\n", {"a", "b"}, "x\na\r\nb\r\n"},
      {"x", {"a"}, "x\r\na"},  // still ends without a break
      {"x", {"a", "b"}, "x\r\na\r\nb"},
      {"x", {""}, "x\r\n"},
      {"x", {}, "x"},
      {"", {}, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.text + InsertedLinesBytes(c.lines, EndsWithoutBreak(c.text)), c.result) << c.text;
  }
  // In front of an existing line every line brings its own break.
  EXPECT_EQ(InsertedLinesBytes(std::vector<std::string>{"a", "b"}, false), "a\r\nb\r\n");
}

}  // namespace
}  // namespace morvik
