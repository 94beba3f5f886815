// svtool info, sort and merge: the editor's data commands on files. They run
// the same functions as the editor's commands, so a file handled here comes
// out as the editor would leave it.
//
//   info [--type TYPE] [--show path|invalid|keywords] FILE
//   sort [--whole] [--line N] [--descending] FILE [-o OUT]
//   merge [--type TYPE] [--line N] DOC SOURCE [-o OUT]
//
// Everything is read and checked before anything is written, so a failure
// leaves OUT untouched.
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "data/file_info.h"
#include "data/line_sort.h"
#include "data/merge_lines.h"
#include "data/sv_data.h"
#include "data/sv_utils.h"
#include "tools/commands.h"

namespace morvik::svtool {
namespace {

struct Options {
  std::vector<std::string> positional;
  std::map<std::string, std::string> values;  // options with a value
  std::set<std::string> flags;                // options without one
};

// Options may stand anywhere among the positional arguments; "--" ends
// them, and "-" alone is a positional argument (standard input).
Options ParseOptions(const Args& args, const std::string& command,
                     const std::set<std::string>& flag_names,
                     const std::set<std::string>& value_names) {
  Options options;
  bool only_positional = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (only_positional || arg == "-" || arg.empty() || arg[0] != '-') {
      options.positional.push_back(arg);
    } else if (arg == "--") {
      only_positional = true;
    } else if (flag_names.contains(arg)) {
      options.flags.insert(arg);
    } else if (value_names.contains(arg)) {
      if (i + 1 == args.size()) throw CommandError("option " + arg + " needs a value");
      options.values[arg] = args[++i];
    } else {
      throw CommandError("unknown option '" + arg + "' for " + command);
    }
  }
  return options;
}

std::string Value(const Options& options, const std::string& name,
                  const std::string& fallback = "") {
  const auto found = options.values.find(name);
  return found == options.values.end() ? fallback : found->second;
}

DataType ParseType(const Options& options) {
  const std::string name = Value(options, "--type", "Data01");
  for (int type = 0; type < kDataTypeCount; ++type) {
    if (DataTypeName(static_cast<DataType>(type)) == name) return static_cast<DataType>(type);
  }
  throw CommandError("unknown data type '" + name +
                     "' (Data01 Data02 DataA1 DataA2 DataB1 DataB2 DataC1 DataC2)");
}

// The 0-based caret line from --line N (1-based). The caret may stand on
// any line of the text, the empty one after a final break included.
// line_count: of DocumentLineViews(text), when the caller has split it.
std::size_t ParseCaretLine(const Options& options, std::string_view text,
                           std::optional<std::size_t> line_count = std::nullopt) {
  const std::string value = Value(options, "--line", "1");
  std::size_t line = 0;
  std::size_t used = 0;
  try {
    if (!value.empty() && value[0] != '-') line = std::stoul(value, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != value.size()) {
    throw CommandError("bad line number '" + value + "'");
  }
  const std::size_t lines = line_count ? *line_count : DocumentLineViews(text).size();
  const bool final_break = !text.empty() && (text.back() == '\n' || text.back() == '\r');
  const std::size_t last = lines + (final_break || text.empty() ? 1 : 0);
  if (line < 1 || line > last) {
    throw CommandError("line " + value + " is out of range (1.." + std::to_string(last) + ")");
  }
  return line - 1;
}

void ExpectPositional(const Options& options, std::size_t count, const char* usage) {
  if (options.positional.size() != count) throw CommandError(std::string("usage: ") + usage);
}

std::string WithBreaks(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

constexpr char kInfoUsage[] = "svtool info [--type TYPE] [--show path|invalid|keywords] FILE";
constexpr char kSortUsage[] = "svtool sort [--whole] [--line N] [--descending] FILE [-o OUT]";
constexpr char kMergeUsage[] = "svtool merge [--type TYPE] [--line N] DOC SOURCE [-o OUT]";

}  // namespace

int RunInfoCommand(const Args& args) {
  const Options options = ParseOptions(args, "info", {}, {"--type", "--show"});
  ExpectPositional(options, 1, kInfoUsage);
  const DataType type = ParseType(options);
  const std::string show = Value(options, "--show");
  if (!show.empty() && show != "path" && show != "invalid" && show != "keywords") {
    throw CommandError("unknown item '" + show + "' for --show (path, invalid or keywords)");
  }
  const std::string& file = options.positional[0];
  const std::string text = ReadInput(file);
  const std::string path =
      file == "-" ? file : std::filesystem::absolute(file).lexically_normal().string();
  const std::vector<std::string_view> lines = DocumentLineViews(text);
  const int field_count = FieldCount(type);

  std::string out;
  if (show.empty()) {
    out = FileNameLabel(type, path) + "\r\n" + LineCountsLabel(CountLines(lines, field_count)) +
          "\r\n";
  } else if (show == "path") {
    out = path + "\r\n";
  } else if (show == "invalid") {
    out = WithBreaks(InvalidLineListing(lines, field_count));
  } else {
    out = WithBreaks(KeywordList(lines, UserCollationLocale()));
  }
  WriteOutput("", out);
  return kExitOk;
}

int RunSortCommand(const Args& args) {
  const Options options = ParseOptions(args, "sort", {"--whole", "--descending"}, {"--line", "-o"});
  ExpectPositional(options, 1, kSortUsage);
  const std::string text = ReadInput(options.positional[0]);
  // SortDocumentText's steps, splitting the text once.
  std::vector<std::string_view> lines = DocumentLineViews(text);
  const std::size_t caret_line = ParseCaretLine(options, text, lines.size());
  const LineRange range = SortRange(lines, caret_line, options.flags.contains("--whole"));
  WriteOutput(Value(options, "-o"),
              SortedLinesText(std::move(lines), range, !options.flags.contains("--descending")));
  return kExitOk;
}

namespace {

// svtool has no status bar and nobody to ask for a stop.
class SilentProgress : public MergeProgress {
 public:
  void ShowStatus(const std::string&) override {}
  bool StopRequested() override { return false; }
};

}  // namespace

int RunMergeCommand(const Args& args) {
  const Options options = ParseOptions(args, "merge", {}, {"--type", "--line", "-o"});
  ExpectPositional(options, 2, kMergeUsage);
  const DataType type = ParseType(options);
  std::string document = ReadInput(options.positional[0]);
  const std::size_t caret_line = ParseCaretLine(options, document);
  const LineList source = SplitLines(ReadInput(options.positional[1]));

  TextMergeTarget target(std::move(document));
  SilentProgress progress;
  const MergeOutcome outcome = MergeLines(target, source, FieldCount(type), caret_line, progress);
  WriteOutput(Value(options, "-o"), target.Text());
  // The editor shows no result for a source without lines.
  if (outcome.source_lines > 0) std::cerr << MergeResultText(outcome) << '\n';
  return kExitOk;
}

}  // namespace morvik::svtool
