// TextStore: the bytes of one document, indexed by byte offset, line and
// view character.
//
// Only storage and arithmetic: no undo, no selection, no observers. Every
// query is logarithmic in the size of the text (plus a scan of one small
// piece); Replace costs the same plus the size of the edit. A large text is
// held packed, so even the queries keep state: a store is used from one
// thread at a time.
#ifndef MORVIK_APP_DOCUMENT_TEXT_STORE_H_
#define MORVIK_APP_DOCUMENT_TEXT_STORE_H_

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "app/document/text_metrics.h"

namespace morvik {

class TextStore {
 public:
  TextStore();
  ~TextStore();
  TextStore(const TextStore&) = delete;
  TextStore& operator=(const TextStore&) = delete;

  std::size_t Size() const;
  // Bytes, line breaks and view characters of the whole text.
  TextCounts Totals() const;
  std::string Range(std::size_t offset, std::size_t length) const;  // clamped
  std::string Text() const;
  std::u16string DecodedText() const;
  // Hands the text to sink in consecutive pieces, in order.
  void ForEachPiece(const std::function<void(std::string_view)>& sink) const;
  // Hands visit(offset of the piece, piece) the pieces that hold bytes of
  // [from, to), in order or, when !forward, from the last one back, until
  // visit returns false. A piece starts and ends on a character boundary and
  // never between a CR and its LF, so it can be searched on its own. A
  // piece is valid only while visit (or sink) runs.
  using PieceVisitor = std::function<bool(std::size_t offset, std::string_view piece)>;
  void VisitPieces(std::size_t from, std::size_t to, bool forward, const PieceVisitor& visit) const;

  // The offset where raw line index starts (index <= breaks).
  std::size_t LineStart(std::size_t raw_line) const;
  // The raw line holding offset (a CR LF belongs to the line it ends).
  std::size_t LineOfOffset(std::size_t offset) const;
  // The view character holding offset (Size() maps to the character count).
  std::size_t CharOfOffset(std::size_t offset) const;
  // Where view character char_position starts (Size() past the end).
  std::size_t OffsetOfChar(std::size_t char_position) const;

  // Replaces length bytes at offset (both within the text) and tells what
  // changed, in whole characters.
  TextChange Replace(std::size_t offset, std::size_t length, std::string_view bytes);
  // Makes bytes the whole text.
  void Assign(std::string bytes);
  // Assign, told as a change of the whole text.
  TextChange ReplaceAll(std::string bytes);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace morvik

#endif  // MORVIK_APP_DOCUMENT_TEXT_STORE_H_
