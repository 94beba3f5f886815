// The case-insensitive equality of lines and keywords that the merge and the
// keyword list use: decode from Shift_JIS, then Unicode case folding. Width
// and kana variants stay different (full-width Ａ folds to full-width ａ, not
// to a), as do the code page's invalid bytes, which stand for themselves.
#ifndef MORVIK_DATA_LINE_EQUALITY_H_
#define MORVIK_DATA_LINE_EQUALITY_H_

#include <string>
#include <string_view>
#include <unordered_set>

namespace morvik {

// The key under which two Shift_JIS texts are equal exactly when they are
// equal without regard to letter case.
std::u16string CaseFoldedKey(std::string_view sjis_text);

// A set of texts under that equality, for linear duplicate tests.
class CaseInsensitiveLineSet {
 public:
  // True when the set holds a text equal to this one.
  bool Contains(std::string_view sjis_text) const;
  // Adds the text; false when an equal one was there already.
  bool Insert(std::string_view sjis_text);
  std::size_t size() const { return keys_.size(); }
  void reserve(std::size_t count) { keys_.reserve(count); }

 private:
  std::unordered_set<std::u16string> keys_;
};

}  // namespace morvik

#endif  // MORVIK_DATA_LINE_EQUALITY_H_
