// Character and line arithmetic on Shift_JIS byte text, shared by the
// document's storage and its edit logic.
//
// A character here is what a view shows as one: a Shift_JIS character or an
// invalid byte (as DecodeSjis reads them), or one line break, where CR LF,
// lone CR and lone LF are each one break. CR and LF are below every trail
// byte, so decoding restarts at each line and a line's characters depend on
// that line's bytes alone.
#ifndef MORVIK_APP_DOCUMENT_TEXT_METRICS_H_
#define MORVIK_APP_DOCUMENT_TEXT_METRICS_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "data/sjis_codec.h"

namespace morvik {

// The end of the character that starts at pos (< text.size()). Only text
// from a character boundary on is read, so a region that starts at one and
// ends at one measures as it does inside the whole text.
inline std::size_t NextCharBoundary(std::string_view text, std::size_t pos) {
  const auto b = static_cast<unsigned char>(text[pos]);
  if (b < 0x80) {
    if (b == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') return pos + 2;
    return pos + 1;
  }
  if (!IsSjisLeadByte(b) || pos + 1 >= text.size()) return pos + 1;
  return pos + SjisCharLength(text, pos);
}

// Counts of a piece of text that starts at a character boundary and does
// not end between a CR and its LF.
struct TextCounts {
  std::size_t bytes = 0;
  std::size_t breaks = 0;
  std::size_t chars = 0;

  TextCounts& operator+=(const TextCounts& other) {
    bytes += other.bytes;
    breaks += other.breaks;
    chars += other.chars;
    return *this;
  }
  TextCounts& operator-=(const TextCounts& other) {
    bytes -= other.bytes;
    breaks -= other.breaks;
    chars -= other.chars;
    return *this;
  }
};

TextCounts CountText(std::string_view text);

// Line breaks that end at or before end (<= text.size()); text[end], when
// there, tells whether a CR just before end starts a CR LF that ends later.
std::size_t CountBreaksBefore(std::string_view text, std::size_t end);

// The offset just after the n-th (1-based) line break of text, or npos when
// text holds fewer.
std::size_t OffsetAfterBreak(std::string_view text, std::size_t n);

// The byte length (0, 1 or 2) of the line break that ends text.
std::size_t TrailingBreakLength(std::string_view text);

// Where the character containing offset starts, for text that starts at a
// character boundary; the number of characters before it goes to *chars.
std::size_t CharStartOf(std::string_view text, std::size_t offset, std::size_t* chars);

// The offset of the char_index-th character (text.size() past the end).
std::size_t OffsetOfCharIndex(std::string_view text, std::size_t char_index);

// One change of a text, in bytes and in characters.
struct TextChange {
  std::size_t offset = 0;
  std::size_t removed_bytes = 0;
  std::size_t inserted_bytes = 0;
  std::size_t char_position = 0;
  std::size_t removed_chars = 0;
  std::size_t inserted_chars = 0;
};

// Describes the edit that turned old_region into new_region (removed bytes at
// edit_offset replaced by inserted bytes) as a change of whole characters.
// Both regions start at a common character boundary and end at one, with
// the same bytes after the edit. The range is widened only where the edit
// changed how neighbouring bytes read (a lead byte that gains or loses its
// trail byte, a CR that gains or loses its LF). Offsets and char_position
// are relative to the region's start.
TextChange DescribeChange(std::string_view old_region, std::string_view new_region,
                          std::size_t edit_offset, std::size_t removed, std::size_t inserted);

// The text as a view shows it: each character one UTF-16 unit, each line
// break (CR LF, CR or LF) one u'\n'.
std::u16string DecodeForView(std::string_view text);

// A view's text as document bytes: each u'\n' (and u'\r', U+2028, U+2029, or
// a "\r\n" pair) becomes CR LF, everything else is encoded as code page 932.
std::u16string NormalizeViewBreaks(std::u16string_view text);
std::string EncodeFromView(std::u16string_view text);

// True for one character that continues a word while typing: letters,
// digits, '_', kana, kanji and other double-byte characters except the
// ideographic space. Blanks, breaks and punctuation are not.
bool IsWordCharacter(std::string_view character);

}  // namespace morvik

#endif  // MORVIK_APP_DOCUMENT_TEXT_METRICS_H_
