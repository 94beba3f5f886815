// Searching a document from the caret: down from a position to the end of
// the text, or up to the nearest match that ends at or before a position.
// Matches lie within lines. The document is read piece by piece as it is
// stored, in blocks of whole lines, so that nothing is copied but the odd
// line that straddles two pieces.
#ifndef MORVIK_APP_EDITOR_DOCUMENT_SEARCH_H_
#define MORVIK_APP_EDITOR_DOCUMENT_SEARCH_H_

#include <cstddef>
#include <optional>
#include <string_view>

#include "app/document/rich_edit_ex.h"
#include "app/editor/text_search.h"

namespace morvik {

struct TextHit {
  std::size_t start = 0;
  std::size_t length = 0;
  bool operator==(const TextHit&) const = default;
};

// What a search looks for, asked about blocks of whole lines: a block starts
// at a line start and ends after a line break or at the end of the text.
class LineBlockMatcher {
 public:
  virtual ~LineBlockMatcher() = default;
  // The first match of block that starts at or after from.
  virtual std::optional<TextHit> First(std::string_view block, std::size_t from) const = 0;
  // The last match of block that ends at or before limit.
  virtual std::optional<TextHit> Last(std::string_view block, std::size_t limit) const = 0;
};

// A find text without regard to the case of ASCII letters.
class LiteralMatcher : public LineBlockMatcher {
 public:
  explicit LiteralMatcher(std::string_view key_sjis);
  std::optional<TextHit> First(std::string_view block, std::size_t from) const override;
  std::optional<TextHit> Last(std::string_view block, std::size_t limit) const override;

 private:
  CaseInsensitiveSearch search_;
  bool usable_;  // false for an empty key or one holding a line break
};

// Down: the first match starting at or after position. Up: the nearest
// match ending at or before position. No wrap-around.
std::optional<TextHit> FindInDocument(const TRichEditEx& document, const LineBlockMatcher& matcher,
                                      std::size_t position, bool down);

}  // namespace morvik

#endif  // MORVIK_APP_EDITOR_DOCUMENT_SEARCH_H_
