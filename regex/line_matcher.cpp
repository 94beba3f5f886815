// The line matcher.
#include "regex/line_matcher.h"

#include <algorithm>

#include "regex/error.h"

namespace morvik {

DfaLineMatcher::DfaLineMatcher(const TbmREDFATable& table)
    : table_(table), stamp_(static_cast<std::size_t>(table.Count()), 0) {}

void DfaLineMatcher::Activate(int state, std::vector<int>& into) {
  if (state < 0 || stamp_[state] == generation_) return;
  stamp_[state] = generation_;
  into.push_back(state);
}

bool DfaLineMatcher::Contains(const std::vector<int>& line) {
  if (table_.Count() == 0) return false;
  active_.clear();
  for (std::size_t j = 0;; ++j) {
    // Begins the generation of position j: states reached from every start
    // i < j, plus the starts at j itself.
    if (++generation_ == 0) {
      std::fill(stamp_.begin(), stamp_.end(), 0);
      generation_ = 1;
    }
    next_.clear();
    for (int state : active_) Activate(state, next_);
    Activate(0, next_);
    if (j == 0) Activate(table_[0].NextState(kLineHeadChar), next_);
    active_.swap(next_);

    for (int state : active_) {
      if (table_[state].Accepting) return true;
    }
    if (j == line.size()) {
      for (int state : active_) {
        const int after_tail = table_[state].NextState(kLineTailChar);
        if (after_tail >= 0 && table_[after_tail].Accepting) return true;
      }
      return false;
    }

    if (++generation_ == 0) {
      std::fill(stamp_.begin(), stamp_.end(), 0);
      generation_ = 1;
    }
    next_.clear();
    for (int state : active_) Activate(table_[state].NextState(line[j]), next_);
    active_.swap(next_);
  }
}

bool DfaLineMatcher::AcceptsWhole(const std::vector<int>& line) const {
  if (table_.Count() == 0) return false;
  // Both with and without the optional line head.
  for (int start : {0, table_[0].NextState(kLineHeadChar)}) {
    int state = start;
    for (std::size_t k = 0; k < line.size() && state >= 0; ++k) {
      state = table_[state].NextState(line[k]);
    }
    if (state < 0) continue;
    if (table_[state].Accepting) return true;
    const int after_tail = table_[state].NextState(kLineTailChar);
    if (after_tail >= 0 && table_[after_tail].Accepting) return true;
  }
  return false;
}

std::vector<int> ReadCharacterValues(TbmCharCode code, std::string_view text) {
  std::unique_ptr<TbmWchReader> reader = bmccCreateReader(code);
  if (!reader) throw RegexError("ReadCharacterValues: no reader for this character code");
  std::vector<int> values;
  // UTF-16 text of odd length: the last byte is no code unit.
  reader->SetTextBuff(text.data(),
                      code == bmccUniCode ? text.size() & ~std::size_t{1} : text.size());
  for (int c = reader->ReadChar(); c != -1; c = reader->ReadChar()) values.push_back(c);
  return values;
}

}  // namespace morvik
