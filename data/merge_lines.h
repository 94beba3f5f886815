// The Merge command without a window: copies into a document every record
// line of a source that the document does not hold yet, comparing whole
// lines without regard to letter case.
//
// The document is reached through MergeTarget, so the editor's document
// model and svtool's file share the loop; progress and the stop request go
// through MergeProgress. The merge is linear in the lines of both: the
// document is read once into a set of folded lines, which then grows with
// every added line.
#ifndef MORVIK_DATA_MERGE_LINES_H_
#define MORVIK_DATA_MERGE_LINES_H_

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "data/record_lines.h"

namespace morvik {

// Menu captions of the command, idle and while a merge runs.
inline constexpr char kMergeCaption[] = "合成/マージ(&M)...";
inline constexpr char kMergeStopCaption[] = "合成/マージを中止(&M)";

// The document lines, as the document's line view gives them.
class MergeTarget {
 public:
  virtual ~MergeTarget() = default;
  virtual std::size_t LineCount() const = 0;
  virtual std::string Line(std::size_t index) const = 0;
  // Puts line in front of line index, or after the last line when index is
  // the line count.
  virtual void InsertLine(std::size_t index, std::string_view line) = 0;
};

// The status bar and the stop request of the running merge.
class MergeProgress {
 public:
  virtual ~MergeProgress() = default;
  // SetStatusMessage: may run pending events, and so set the stop request.
  virtual void ShowStatus(const std::string& text) = 0;
  virtual bool StopRequested() = 0;
};

struct MergeOutcome {
  std::size_t source_lines = 0;  // all of them, whatever their kind
  std::size_t added = 0;
  bool ended_by_marker = false;
  bool stopped = false;
};

// "%d / %d 行 を処理中...", "%d 行中 %d 行を処理して中止しました" and
// "全有効 %d 行中 %d 行をマージしました".
std::string MergeProgressText(std::size_t done, std::size_t total);
std::string MergeEndMarkerText(std::size_t total, std::size_t before_marker);
std::string MergeResultText(const MergeOutcome& outcome);

// Merges source (lines of a data file, as SplitLines gives them) into
// target. Lines with at least field_count fields are candidates; an end
// marker among them ends the merge (and is not merged). A candidate that
// target holds in no letter case is inserted directly below caret_line, so
// the added lines stand there in the reverse of their source order; with
// the caret on the last line or on the empty line after a final break they
// go, in that same order, after the last line.
//
// The progress text is posted for the first line, then at most once per
// progress_interval, and always for the last line handled; the stop request
// is looked at before every line. Exceptions from target or progress pass
// through; lines added before them stay.
MergeOutcome MergeLines(
    MergeTarget& target, const LineList& source, int field_count, std::size_t caret_line,
    MergeProgress& progress,
    std::chrono::steady_clock::duration progress_interval = std::chrono::milliseconds(50));

// Lines inserted one by one at a single index, held back so that they go
// into a text in one edit: inserting each into a large text at once would
// move the text behind it every time, making a merge quadratic. The merge
// inserts every line at the same index, so all of its lines collect here.
class PendingLines {
 public:
  bool empty() const { return lines_.empty(); }
  std::size_t size() const { return lines_.size(); }
  std::size_t index() const { return index_; }
  // True when line can join the pending ones (same index, or none held).
  bool Accepts(std::size_t index) const { return lines_.empty() || index == index_; }
  void Add(std::size_t index, std::string_view line);
  // The bytes to insert: the lines as they end up standing (each in front
  // of the ones added before it), each followed by CR LF. With
  // break_in_front (appending after a last line that has no break) CR LF
  // comes first and the last line gets none, as the document appends.
  std::string Bytes(bool break_in_front) const;
  void clear() { lines_.clear(); }

 private:
  std::vector<std::string> lines_;
  std::size_t index_ = 0;
};

// A document text as a MergeTarget, for svtool: lines are split as the
// document's line view splits them, insertion behaves as the document's,
// and insertions at one index (the merge's case) cost no copying of the
// text, so a large merge stays linear.
class TextMergeTarget : public MergeTarget {
 public:
  explicit TextMergeTarget(std::string text);
  std::size_t LineCount() const override;
  std::string Line(std::size_t index) const override;
  void InsertLine(std::size_t index, std::string_view line) override;
  // The text with every insertion made.
  std::string Text() const;

 private:
  void Flush();

  std::string text_;
  std::vector<std::string_view> lines_;  // into text_
  PendingLines pending_;
};

}  // namespace morvik

#endif  // MORVIK_DATA_MERGE_LINES_H_
