// The line view and the mapping between bytes, lines and view characters.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "app/document/rich_edit_ex.h"
#include "data/sjis_codec.h"
#include "document_test_util.h"

namespace morvik {
namespace {

using testing::MakeDocument;

TEST(LineViewTest, CountsAndLines) {
  const struct {
    std::string text;
    std::size_t line_count;
    std::size_t raw_line_count;
    std::vector<std::string> raw_lines;
  } cases[] = {
      {"", 0, 1, {""}},
      {"abc", 1, 1, {"abc"}},
      {"abc\r\n", 1, 2, {"abc", ""}},
      {"a\r\nb", 2, 2, {"a", "b"}},
      {"a\rb\nc\r\n", 3, 4, {"a", "b", "c", ""}},
      {"\r\n", 1, 2, {"", ""}},
      {"\n\n", 2, 3, {"", "", ""}},
      {"\r\r\n", 2, 3, {"", "", ""}},
      {std::string("a\0b\r\n", 5), 1, 2, {std::string("a\0b", 3), ""}},
  };
  for (const auto& c : cases) {
    const auto doc = MakeDocument(c.text);
    EXPECT_EQ(doc->LineCount(), c.line_count) << c.text;
    EXPECT_EQ(doc->RawLineCount(), c.raw_line_count) << c.text;
    for (std::size_t i = 0; i < c.raw_lines.size(); ++i) {
      EXPECT_EQ(doc->Line(i), c.raw_lines[i]) << c.text << " line " << i;
    }
    EXPECT_THROW(doc->Line(c.raw_line_count), std::out_of_range);
  }
}

TEST(LineViewTest, LineFromPositionAndPositionOfLine) {
  // Lines start at 0, 4 (after CR LF), 7 (after CR), 10 (after LF).
  const auto doc = MakeDocument("ab\r\ncd\ref\ngh");
  const std::size_t expected_lines[] = {0, 0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3};
  for (std::size_t offset = 0; offset < std::size(expected_lines); ++offset) {
    EXPECT_EQ(doc->LineFromPosition(offset), expected_lines[offset]) << offset;
  }
  EXPECT_EQ(doc->LineFromPosition(1000), 3u);
  const std::size_t starts[] = {0, 4, 7, 10};
  for (std::size_t line = 0; line < 4; ++line) EXPECT_EQ(doc->PositionOfLine(line), starts[line]);
  EXPECT_EQ(doc->PositionOfLine(4), doc->Length());
}

TEST(LineViewTest, InsertLine) {
  const struct {
    const char* name;
    std::string text;
    std::size_t index;
    std::string line;
    std::string expected;
  } cases[] = {
      {"before a line", "a\r\nb\r\n", 1, "X", "a\r\nX\r\nb\r\n"},
      {"at the front", "a\r\n", 0, "X", "X\r\na\r\n"},
      {"after a final break", "a\r\n", 1, "X", "a\r\nX\r\n"},
      {"past the end without a final break", "a\r\nb", 5, "X", "a\r\nb\r\nX"},
      {"after an empty last line of the list", "a\r\n\r\n", 2, "X", "a\r\n\r\nX\r\n"},
      {"into an empty text", "", 0, "X", "X\r\n"},
      {"after a lone LF", "a\n", 1, "\"\",\"\"", "a\n\"\",\"\"\r\n"},
  };
  for (const auto& c : cases) {
    const auto doc = MakeDocument(c.text);
    doc->InsertLine(c.index, c.line);
    EXPECT_EQ(doc->Text(), c.expected) << c.name;
    EXPECT_TRUE(doc->Modified()) << c.name;
    doc->Undo();
    EXPECT_EQ(doc->Text(), c.text) << c.name;
  }
}

TEST(LineViewTest, SetLinesTextEndsEveryLineWithCrLf) {
  const struct {
    std::string text;
    std::string expected;
  } cases[] = {
      {"a\nb\rc\r\nd", "a\r\nb\r\nc\r\nd\r\n"},
      {"a\r\n", "a\r\n"},
      {"", ""},
      {"\n", "\r\n"},
      {std::string("a\0b\nc", 5), std::string("a\0b\r\nc\r\n", 8)},  // NUL does not cut
  };
  // TakeLinesText must agree, and its whole-text undo step must give back
  // exact bytes (invalid ones, a lone lead byte at the end) both ways, with
  // a view that follows the notifications staying exact.
  const std::string old_text("old\r\n\x81\x7F\xFD\0text\r\x82", 13);
  for (const auto& c : cases) {
    for (const bool take : {false, true}) {
      SCOPED_TRACE(::testing::PrintToString(c.text) + (take ? " taken" : ""));
      const auto doc = MakeDocument(old_text);
      testing::MirrorObserver view(*doc);
      if (take) {
        doc->TakeLinesText(c.text);
      } else {
        doc->SetLinesText(c.text);
      }
      EXPECT_EQ(doc->Text(), c.expected);
      EXPECT_TRUE(doc->Modified());
      for (int round = 0; round < 2; ++round) {
        doc->Undo();
        EXPECT_EQ(doc->Text(), old_text);
        EXPECT_EQ(view.bytes(), old_text);
        doc->Redo();
        EXPECT_EQ(doc->Text(), c.expected);
        EXPECT_EQ(view.chars(), doc->DecodedText());
      }
    }
  }
}

TEST(CharacterMappingTest, ByteOffsetsAndViewCharacters) {
  // あ (2 bytes), a, CR LF, invalid 0xFF, lone lead byte 0x81 at the end.
  const auto doc = MakeDocument(
      "\x82\xa0"
      "a\r\n\xff\x81");
  EXPECT_EQ(doc->CharCount(), 5u);
  EXPECT_EQ(doc->DecodedText(),
            (std::u16string{u'\u3042', u'a', u'\n', char16_t{0xDCFF}, char16_t{0xDC81}}));
  const std::size_t char_of_offset[] = {0, 0, 1, 2, 2, 3, 4, 5};
  for (std::size_t offset = 0; offset < std::size(char_of_offset); ++offset) {
    EXPECT_EQ(doc->CharPositionOfOffset(offset), char_of_offset[offset]) << offset;
  }
  const std::size_t offset_of_char[] = {0, 2, 3, 5, 6, 7};
  for (std::size_t c = 0; c < std::size(offset_of_char); ++c) {
    EXPECT_EQ(doc->OffsetOfCharPosition(c), offset_of_char[c]) << c;
  }
  EXPECT_EQ(doc->OffsetOfCharPosition(99), doc->Length());
}

// Straightforward answers computed from the whole text, to check the
// indexed ones against.
struct Reference {
  std::string text;
  std::vector<std::size_t> line_starts{0};
  std::vector<std::size_t> char_starts;  // byte offset of each view character

  explicit Reference(std::string t) : text(std::move(t)) {
    std::size_t pos = 0;
    while (pos < text.size()) {
      char_starts.push_back(pos);
      const char c = text[pos];
      if (c == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') {
        pos += 2;
      } else if (c == '\r' || c == '\n') {
        pos += 1;
      } else {
        pos += SjisCharLength(text, pos);
      }
      if (c == '\r' || c == '\n') line_starts.push_back(pos);
    }
  }
  std::size_t LineOf(std::size_t offset) const {
    const auto after = std::upper_bound(line_starts.begin(), line_starts.end(), offset);
    return static_cast<std::size_t>(after - line_starts.begin()) - 1;
  }
  std::size_t CharOf(std::size_t offset) const {
    if (offset >= text.size()) return char_starts.size();
    const auto after = std::upper_bound(char_starts.begin(), char_starts.end(), offset);
    return static_cast<std::size_t>(after - char_starts.begin()) - 1;
  }
};

// Random edits with bytes that stress the corner cases (lead bytes, CR, LF,
// NUL), checked after each against the reference and against a view that
// follows only the notifications.
TEST(CharacterMappingTest, RandomEditsAgreeWithReferenceAndNotifications) {
  std::mt19937 random(20261208);
  const std::string alphabet("ab\r\n\x81\x82\xa0\x40\xe0\xff\x5c\xb1\0", 13);
  const auto random_bytes = [&](std::size_t max_length) {
    std::string bytes(random() % (max_length + 1), ' ');
    for (char& b : bytes) b = alphabet[random() % alphabet.size()];
    return bytes;
  };
  auto doc = MakeDocument(random_bytes(200));
  testing::MirrorObserver view(*doc);
  for (int round = 0; round < 400; ++round) {
    const std::size_t offset = random() % (doc->Length() + 1);
    const std::size_t length = random() % 4 == 0 ? random() % 20 : random() % 3;
    doc->Replace(offset, length, random_bytes(round % 10 == 0 ? 60 : 3));
    const Reference ref(doc->Text());
    ASSERT_EQ(view.bytes(), ref.text) << round;
    ASSERT_EQ(view.chars(), doc->DecodedText()) << round;
    ASSERT_EQ(doc->CharCount(), ref.char_starts.size()) << round;
    ASSERT_EQ(doc->RawLineCount(), ref.line_starts.size()) << round;
    for (std::size_t line = 0; line < ref.line_starts.size(); ++line) {
      ASSERT_EQ(doc->PositionOfLine(line), ref.line_starts[line]) << round;
    }
    for (std::size_t pos = 0; pos <= ref.text.size(); ++pos) {
      ASSERT_EQ(doc->LineFromPosition(pos), ref.LineOf(pos)) << round << " at " << pos;
      ASSERT_EQ(doc->CharPositionOfOffset(pos), ref.CharOf(pos)) << round << " at " << pos;
    }
    for (std::size_t c = 0; c < ref.char_starts.size(); ++c) {
      ASSERT_EQ(doc->OffsetOfCharPosition(c), ref.char_starts[c]) << round;
    }
  }
}

// The same on texts of many kilobytes, so that edits cross the pieces the
// text is stored in (packed, or plain where packing does not pay): long
// lines without a break, runs of lead bytes whose pairing flips with one
// byte more or less, bytes that do not pack, and large insertions and
// deletions; once on a text that packs and once on one that mostly does
// not. Positions are sampled.
TEST(CharacterMappingTest, LargeTextEditsAgreeWithReference) {
  std::mt19937 random(8122026);
  const auto noise = [&] {
    std::string bytes(random() % 6000, ' ');
    for (char& b : bytes) b = static_cast<char>(random());
    return bytes;
  };
  const auto piece = [&]() -> std::string {
    switch (random() % 7) {
      case 0:
        return std::string(random() % 20000, 'a');  // a long line
      case 1:
        return std::string(random() % 9000, '\x81');  // lead bytes pairing up
      case 2:
        return "\"key\",\"\x93\xfa\x96\x7b\"\r\n";  // a record line
      case 3:
        return std::string(random() % 3000, '\n');
      case 4:
        return "\r";
      case 5:
        return noise();
      default:
        return "x\r\n\x82";
    }
  };
  for (const bool packs : {true, false}) {
    SCOPED_TRACE(packs ? "a text that packs" : "a text that does not pack");
    std::string initial;
    while (initial.size() < 100000) initial += packs ? piece() : noise();
    auto doc = MakeDocument(initial);
    testing::MirrorObserver view(*doc);
    for (int round = 0; round < 100; ++round) {
      const std::size_t offset = random() % (doc->Length() + 1);
      std::size_t length = random() % 3;
      if (round % 7 == 0) length = random() % 20000;
      // Now and then most of a large piece of storage goes, which frees it.
      if (round % 13 == 0) length = 70000;
      std::string inserted = round % 5 == 0 ? piece() : std::string(1, "a\r\n\x81@"[random() % 5]);
      if (doc->Length() > 200000) inserted.clear();
      doc->Replace(offset, length, inserted);

      const Reference ref(doc->Text());
      ASSERT_EQ(view.bytes(), ref.text) << round;
      ASSERT_EQ(view.chars(), doc->DecodedText()) << round;
      ASSERT_EQ(doc->CharCount(), ref.char_starts.size()) << round;
      ASSERT_EQ(doc->RawLineCount(), ref.line_starts.size()) << round;
      for (int sample = 0; sample < 300; ++sample) {
        // Near the edit first, then anywhere.
        const std::size_t near = offset + sample > 10 ? offset + sample - 10 : 0;
        const std::size_t pos =
            sample < 20 ? std::min(ref.text.size(), near) : random() % (ref.text.size() + 1);
        ASSERT_EQ(doc->LineFromPosition(pos), ref.LineOf(pos)) << round << " at " << pos;
        ASSERT_EQ(doc->CharPositionOfOffset(pos), ref.CharOf(pos)) << round << " at " << pos;
        const std::size_t line = random() % ref.line_starts.size();
        ASSERT_EQ(doc->PositionOfLine(line), ref.line_starts[line]) << round;
        if (!ref.char_starts.empty()) {
          const std::size_t c = random() % ref.char_starts.size();
          ASSERT_EQ(doc->OffsetOfCharPosition(c), ref.char_starts[c]) << round;
        }
      }
      if (round % 10 == 0) {
        const std::size_t from = random() % (ref.text.size() + 1);
        ASSERT_EQ(doc->TextRange(from, 10000), ref.text.substr(from, 10000)) << round;
      }
    }
    // Undoing everything gives back the first text, byte for byte.
    while (doc->CanUndo()) doc->Undo();
    EXPECT_EQ(doc->Text(), "");
    doc->Redo();
    EXPECT_EQ(doc->Text(), initial);
    EXPECT_EQ(view.chars(), doc->DecodedText());
  }
}

}  // namespace
}  // namespace morvik
