// TextStore, first form: one byte string and a line index rebuilt on demand.
#include "app/document/text_store.h"

#include <algorithm>
#include <vector>

namespace morvik {

struct TextStore::Impl {
  std::string text;
  // Rebuilt after each change, on first use.
  mutable bool indexed = false;
  mutable std::vector<std::size_t> line_starts;  // one per raw line
  mutable std::vector<std::size_t> line_chars;   // view characters before each raw line
  mutable std::size_t total_chars = 0;

  void EnsureIndex() const {
    if (indexed) return;
    line_starts.assign(1, 0);
    line_chars.assign(1, 0);
    std::size_t chars = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
      const char c = text[pos];
      pos = NextCharBoundary(text, pos);
      ++chars;
      if (c == '\r' || c == '\n') {
        line_starts.push_back(pos);
        line_chars.push_back(chars);
      }
    }
    total_chars = chars;
    indexed = true;
  }
};

TextStore::TextStore() : impl_(std::make_unique<Impl>()) {}
TextStore::~TextStore() = default;

std::size_t TextStore::Size() const {
  return impl_->text.size();
}

TextCounts TextStore::Totals() const {
  impl_->EnsureIndex();
  return {impl_->text.size(), impl_->line_starts.size() - 1, impl_->total_chars};
}

std::string TextStore::Range(std::size_t offset, std::size_t length) const {
  if (offset >= impl_->text.size()) return {};
  return impl_->text.substr(offset, length);
}

std::string TextStore::Text() const {
  return impl_->text;
}

std::u16string TextStore::DecodedText() const {
  return DecodeForView(impl_->text);
}

void TextStore::ForEachPiece(const std::function<void(std::string_view)>& sink) const {
  if (!impl_->text.empty()) sink(impl_->text);
}

std::size_t TextStore::LineStart(std::size_t raw_line) const {
  impl_->EnsureIndex();
  if (raw_line >= impl_->line_starts.size()) return impl_->text.size();
  return impl_->line_starts[raw_line];
}

std::size_t TextStore::LineOfOffset(std::size_t offset) const {
  impl_->EnsureIndex();
  const auto& starts = impl_->line_starts;
  return static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), offset) -
                                  starts.begin()) -
         1;
}

std::size_t TextStore::CharOfOffset(std::size_t offset) const {
  impl_->EnsureIndex();
  if (offset >= impl_->text.size()) return impl_->total_chars;
  const std::size_t line = LineOfOffset(offset);
  const std::size_t start = impl_->line_starts[line];
  std::size_t chars = 0;
  CharStartOf(std::string_view(impl_->text).substr(start), offset - start, &chars);
  return impl_->line_chars[line] + chars;
}

std::size_t TextStore::OffsetOfChar(std::size_t char_position) const {
  impl_->EnsureIndex();
  if (char_position >= impl_->total_chars) return impl_->text.size();
  const auto& chars = impl_->line_chars;
  const std::size_t line =
      static_cast<std::size_t>(std::upper_bound(chars.begin(), chars.end(), char_position) -
                               chars.begin()) -
      1;
  const std::size_t start = impl_->line_starts[line];
  return start + OffsetOfCharIndex(std::string_view(impl_->text).substr(start),
                                   char_position - chars[line]);
}

TextChange TextStore::Replace(std::size_t offset, std::size_t length, std::string_view bytes) {
  std::string& text = impl_->text;
  // The edited lines, from the line holding the byte before the edit (a CR
  // there may join an inserted LF) to the end of the line after it.
  const std::size_t region_start = offset > 0 ? LineStart(LineOfOffset(offset - 1)) : 0;
  const std::size_t edit_end = offset + length;
  const std::size_t region_end =
      edit_end < text.size() ? LineStart(LineOfOffset(edit_end) + 1) : text.size();
  const std::size_t char_base = CharOfOffset(region_start);
  const std::string old_region = text.substr(region_start, region_end - region_start);
  text.replace(offset, length, bytes);
  impl_->indexed = false;
  const std::string_view new_region =
      std::string_view(text).substr(region_start, old_region.size() - length + bytes.size());
  TextChange change =
      DescribeChange(old_region, new_region, offset - region_start, length, bytes.size());
  change.offset += region_start;
  change.char_position += char_base;
  return change;
}

void TextStore::Assign(std::string bytes) {
  impl_->text = std::move(bytes);
  impl_->indexed = false;
}

}  // namespace morvik
