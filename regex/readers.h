// Character readers of the regular-expression engine (character values are
// described in char_codes.h).
//
// Readers turn a byte buffer into character values that the pattern scanner
// reads one at a time and can step back over. Every position a reader takes or
// hands out is a byte offset from the start of its text, for every code.
// Readers never read outside their text: a lead byte that is the last byte of
// the text pairs with a trail byte of 0, and reading at or past the end gives
// -1 however far the position has been moved.
#ifndef MORVIK_REGEX_READERS_H_
#define MORVIK_REGEX_READERS_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "regex/char_codes.h"

namespace morvik {

class TbmWchReader;

// A new reader for codes 0..3, or nullptr (code 4, JIS, has no reader). Never
// raises for an unknown code: the scanner reports a missing reader itself.
std::unique_ptr<TbmWchReader> bmccCreateReader(TbmCharCode code);

// The base of all readers. Positions are byte offsets; ReadChar may move the
// position past the end of the text (by one for the end itself, by one more
// for a lead byte at the very end), and UnreadChar takes such steps back.
class TbmWchReader {
 public:
  explicit TbmWchReader(TbmCharCode code) : CharCode(code) {}
  virtual ~TbmWchReader() = default;
  TbmWchReader(const TbmWchReader&) = delete;
  TbmWchReader& operator=(const TbmWchReader&) = delete;

  virtual std::string GetText() const = 0;
  // Keeps a copy of text and reads from it; the position returns to 0.
  virtual void SetText(std::string_view text) = 0;
  virtual int GetPos() const = 0;
  // Unchecked: reading from a position outside the text gives -1.
  virtual void SetPos(int pos) = 0;
  virtual int ReadChar() = 0;
  virtual bool UnreadChar() = 0;
  virtual int GetCharIndex() const = 0;
  virtual void Reset() = 0;
  // Called just behind the x of an escape: up to 4 hex digits (-1 for none).
  virtual int ReadHex();
  // Called on the first octal digit: up to 6 digits, value at most 0xFFFF.
  virtual int ReadOct();
  // Called just behind a backslash.
  virtual int ReadEscape();
  // Reads from the caller's buffer without copying; it must outlive its use.
  virtual void SetTextBuff(const char* buffer, std::size_t byte_length) = 0;
  // The rest of the text with escapes resolved, in the reader's encoding.
  virtual std::string ReadUnescaped();
  virtual std::string CharToStr(int ch) const;
  virtual std::string CharToEscape(int ch) const;

  TbmCharCode CharCode;

 protected:
  // Shared by ReadHex and ReadOct: reads digits of the base while they come,
  // at most max_digits of them and without letting the value pass limit, and
  // puts the first character not taken back.
  int ReadNumber(int base, int max_digits, int limit, int (*digit_value)(int));
  static void CheckTextLength(std::size_t byte_length);
};

// Shift JIS and Japanese EUC.
class TbmMBCSReader : public TbmWchReader {
 public:
  explicit TbmMBCSReader(TbmCharCode code);

  std::string GetText() const override;
  void SetText(std::string_view text) override;
  int GetPos() const override { return static_cast<int>(BufPos); }
  void SetPos(int pos) override { BufPos = pos; }
  int ReadChar() override;
  bool UnreadChar() override;
  int GetCharIndex() const override;
  void Reset() override { BufPos = 0; }
  void SetTextBuff(const char* buffer, std::size_t byte_length) override;

 protected:
  std::string_view Buffer() const { return std::string_view(BufStart, BufEnd); }
  // The byte at offset pos, or -1 outside the text.
  int ByteAt(std::ptrdiff_t pos) const {
    return pos >= 0 && pos < static_cast<std::ptrdiff_t>(BufEnd)
               ? static_cast<unsigned char>(BufStart[pos])
               : -1;
  }

  std::string Text;
  const char* BufStart = nullptr;
  std::size_t BufEnd = 0;     // length of the text in bytes
  std::ptrdiff_t BufPos = 0;  // offset from BufStart; may pass BufEnd
  TbmIsLeadByteFunc IsLeadByte;
};

// Windows-1252: every byte is one character.
class TbmSBCSReader : public TbmMBCSReader {
 public:
  explicit TbmSBCSReader(TbmCharCode code);

  int ReadChar() override;
  bool UnreadChar() override;
  int GetCharIndex() const override { return static_cast<int>(BufPos); }
  int ReadHex() override;  // at most 2 digits
  int ReadOct() override;  // at most 3 digits, value at most 255
};

// UTF-16 little-endian: each 16-bit unit is one character.
class TbmUniCodeReader : public TbmWchReader {
 public:
  TbmUniCodeReader() : TbmWchReader(bmccUniCode) {}

  std::string GetText() const override;
  void SetText(std::string_view text) override;
  int GetPos() const override { return static_cast<int>(BufPos); }
  void SetPos(int pos) override { BufPos = pos; }
  int ReadChar() override;
  bool UnreadChar() override;
  int GetCharIndex() const override { return static_cast<int>(BufPos / 2); }
  void Reset() override { BufPos = 0; }
  // An odd byte_length raises RegexError
  // "TbmUniCodeReader.SetTextBuff: ByteLength must be even." and keeps the
  // previous text and position.
  void SetTextBuff(const char* buffer, std::size_t byte_length) override;
  std::string CharToStr(int ch) const override;
  std::string CharToEscape(int ch) const override;

 private:
  std::string Text;
  const char* BufStart = nullptr;
  std::size_t BufEnd = 0;
  std::ptrdiff_t BufPos = 0;
};

}  // namespace morvik

#endif  // MORVIK_REGEX_READERS_H_
