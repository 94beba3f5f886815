// svtool regex grep: prints the lines of files that hold a match, as grep
// does, with the engine's byte searcher (regex/byte_searcher.h) scanning
// whole files. Lines end at CR LF, a lone CR or a lone LF and are printed
// with CR LF, byte for byte, or converted to UTF-8 with --to-utf8.
#include <exception>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/file_io.h"
#include "data/text_encoding.h"
#include "regex/byte_searcher.h"
#include "regex/line_matcher.h"
#include "tools/regex_pattern.h"

namespace morvik::svtool {
namespace {

constexpr const char* kGrepUsage =
    "usage: svtool regex grep [OPTION]... (PATTERN | -f PATFILE) [FILE]...";

constexpr const char* kGrepHelp =
    "usage: svtool regex grep [OPTION]... (PATTERN | -f PATFILE) [FILE]...\n"
    "Prints the lines of each FILE (standard input for - or no FILE) that hold a\n"
    "match of PATTERN. Lines end at CR LF, CR or LF and are printed with CR LF.\n"
    "  --code C          character code of pattern and files: sjis (default), euc,\n"
    "                    western, unicode, jis\n"
    "  -i, --ignore-case ASCII letters match in either case\n"
    "  --literal         the pattern has no operators\n"
    "  -f PATFILE        read the pattern from PATFILE\n"
    "  --pattern-encoding sjis|utf-8\n"
    "                    PATFILE's encoding: the bytes of the code (default) or\n"
    "                    UTF-8; a file not valid in it is an error\n"
    "  -c  print only a count of selected lines per file\n"
    "  -v  select the lines without a match\n"
    "  -l  print only the names of files with selected lines\n"
    "  -L  print only the names of files without selected lines\n"
    "  -o  print only the matches, each on its own line\n"
    "  -n  prefix each line with its line number\n"
    "  -H  prefix each line with the file name (the default for several files)\n"
    "  -h  never prefix the file name\n"
    "  -m N  stop reading a file after N selected lines\n"
    "  --to-utf8         print lines in UTF-8 (invalid bytes as \\xHH) with LF\n"
    "A PATTERN argument is taken in the terminal's encoding (the locale's code set)\n"
    "and converted to the code; PATFILE is taken as bytes of the code unless\n"
    "--pattern-encoding utf-8 says otherwise. A final line break of PATFILE is\n"
    "not part of the pattern.\n"
    "Exit status: 0 when a line is selected (with -L: a file is listed), 1 when\n"
    "none is, 2 on trouble, even when lines were selected.\n";

struct GrepArgs {
  PatternArgs pattern = DefaultPatternArgs();
  bool count = false;
  bool invert = false;
  bool files_with_matches = false;
  bool files_without_match = false;
  bool only_matching = false;
  bool line_numbers = false;
  std::optional<bool> with_file_name;
  long long max_count = -1;
  bool to_utf8 = false;
  bool help = false;
  std::vector<std::string> files;
};

long long ParseCount(const std::string& text) {
  std::size_t used = 0;
  long long value = -1;
  try {
    value = std::stoll(text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used != text.size() || value < 0) throw CommandError("invalid count '" + text + "'");
  return value;
}

// Single letters may be bundled ("-in"); -m and -f take the rest of the word
// or the next argument.
bool ParseShortOptions(const Args& args, std::size_t& i, GrepArgs& parsed) {
  const std::string& arg = args[i];
  for (std::size_t k = 1; k < arg.size(); ++k) {
    const char letter = arg[k];
    if (letter == 'm' || letter == 'f') {
      std::string value = arg.substr(k + 1);
      if (value.empty()) {
        if (i + 1 >= args.size())
          throw CommandError(std::string("option -") + letter + " needs a value");
        value = args[++i];
      }
      if (letter == 'm') {
        parsed.max_count = ParseCount(value);
      } else {
        parsed.pattern.source = value;
        parsed.pattern.from_file = true;
      }
      return true;
    }
    switch (letter) {
      case 'c':
        parsed.count = true;
        break;
      case 'v':
        parsed.invert = true;
        break;
      case 'l':
        parsed.files_with_matches = true;
        break;
      case 'L':
        parsed.files_without_match = true;
        break;
      case 'o':
        parsed.only_matching = true;
        break;
      case 'n':
        parsed.line_numbers = true;
        break;
      case 'H':
        parsed.with_file_name = true;
        break;
      case 'h':
        parsed.with_file_name = false;
        break;
      case 'i':
        parsed.pattern.ignore_case = true;
        break;
      default:
        return false;
    }
  }
  return true;
}

GrepArgs ParseGrepArgs(const Args& args) {
  GrepArgs parsed;
  const bool have_pattern = ParseRegexArgs(
      args, parsed.pattern, kGrepUsage,
      [&](std::size_t& i) {
        const std::string& arg = args[i];
        if (arg == "--help") {
          parsed.help = true;
        } else if (arg == "--to-utf8") {
          parsed.to_utf8 = true;
        } else if (arg[1] == '-' || !ParseShortOptions(args, i, parsed)) {
          return false;
        }
        return true;
      },
      [&](const std::string& file) { parsed.files.push_back(file); });
  if (parsed.help) return parsed;
  if (!have_pattern) throw CommandError(kGrepUsage);
  if (parsed.files.empty()) parsed.files.push_back("-");
  return parsed;
}

// The number of line breaks in [from, to), CR LF counting once.
long long CountBreaks(std::string_view text, std::size_t from, std::size_t to) {
  long long breaks = 0;
  for (std::size_t k = from; k < to; ++k) {
    const char c = text[k];
    breaks += (c == '\n') | (c == '\r' && (k + 1 >= text.size() || text[k + 1] != '\n'));
  }
  return breaks;
}

// Text in the output's encoding: ASCII as is, or as UTF-16LE units.
std::string Encode(std::string_view ascii, TbmCharCode code) {
  if (code != bmccUniCode) return std::string(ascii);
  std::string wide;
  for (char c : ascii) {
    wide += c;
    wide += '\0';
  }
  return wide;
}

// A line of the code in UTF-8 for a terminal; bytes that are no character
// show as \xHH.
std::string LineToUtf8(std::string_view line, const RegexCode& code) {
  if (code.code == bmccShiftJIS) return SjisToUtf8ShowingBytes(line);
  try {
    return ConvertText(line, code.iconv_name, "UTF-8");
  } catch (const std::exception&) {
    std::string out;
    for (char c : line) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte < 0x80) {
        out += c;
      } else {
        AppendByteEscape(out, byte);
      }
    }
    return out;
  }
}

// Finds the selected lines of one text and writes what the options ask for.
class FileGrep {
 public:
  FileGrep(const GrepArgs& args, ByteSearcher* searcher, DfaLineMatcher* matcher,
           std::string prefix, std::string& out)
      : args_(args), searcher_(searcher), matcher_(matcher), prefix_(std::move(prefix)), out_(out) {
    line_end_ = args.to_utf8 ? std::string("\n") : Encode("\r\n", args.pattern.code->code);
  }

  // The number of selected lines.
  long long Run(std::string_view text) {
    text_ = text;
    const bool names_only = args_.files_with_matches || args_.files_without_match;
    limit_ = args_.max_count;
    if (names_only) limit_ = limit_ < 0 ? 1 : std::min<long long>(limit_, 1);
    if (limit_ == 0) return 0;
    if (searcher_ != nullptr) {
      ScanBytes();
    } else {
      ScanUnits();
    }
    return selected_;
  }

 private:
  // Reports a selected line; false once the limit is reached.
  bool Select(std::size_t begin, std::size_t end, long long number) {
    ++selected_;
    if (!args_.count && !args_.files_with_matches && !args_.files_without_match)
      Print(begin, end, number);
    return limit_ < 0 || selected_ < limit_;
  }

  void Print(std::size_t begin, std::size_t end, long long number) {
    const std::string number_prefix =
        args_.line_numbers ? Encode(std::to_string(number) + ":", args_.pattern.code->code) : "";
    if (args_.only_matching) {
      if (args_.invert || searcher_ == nullptr) return;
      for (const ByteSpan& match : searcher_->MatchesInLine(text_, begin, end)) {
        PrintPiece(number_prefix, match.begin, match.end);
      }
      return;
    }
    PrintPiece(number_prefix, begin, end);
  }

  void PrintPiece(const std::string& number_prefix, std::size_t begin, std::size_t end) {
    out_ += prefix_;
    out_ += number_prefix;
    const std::string_view piece = text_.substr(begin, end - begin);
    if (args_.to_utf8) {
      out_ += LineToUtf8(piece, *args_.pattern.code);
    } else {
      out_.append(piece.data(), piece.size());
    }
    out_ += line_end_;
    if (out_.size() > (1u << 20)) {
      WriteOutput("", out_);
      out_.clear();
    }
  }

  // Lines of a byte code, found by the searcher over the whole text.
  void ScanBytes() {
    const std::size_t n = text_.size();
    std::size_t pos = 0;
    long long number = 1;  // of the line at pos
    while (pos < n) {
      const std::optional<ByteSpan> hit = searcher_->NextMatchingLine(text_, pos);
      const std::size_t stop = hit ? hit->begin : n;
      if (args_.invert) {
        // Every line before the hit is selected.
        while (pos < stop) {
          const std::size_t end = LineEndOf(text_, pos);
          if (!Select(pos, end, number)) return;
          ++number;
          pos = NextLineStart(text_, end);
        }
      } else if (hit) {
        if (args_.line_numbers) number += CountBreaks(text_, pos, hit->begin);
        if (!Select(hit->begin, hit->end, number)) return;
      }
      if (!hit) return;
      if (args_.invert && args_.line_numbers) number += CountBreaks(text_, pos, hit->begin);
      pos = NextLineStart(text_, hit->end);
      ++number;
    }
  }

  // UTF-16 text: line by line through the plain matcher.
  void ScanUnits() {
    const std::size_t unit = 2;
    const std::size_t usable = text_.size() - text_.size() % unit;
    auto unit_at = [&](std::size_t pos) {
      return static_cast<unsigned>(static_cast<unsigned char>(text_[pos])) |
             (static_cast<unsigned>(static_cast<unsigned char>(text_[pos + 1])) << 8);
    };
    long long number = 0;
    const auto line = [&](std::size_t begin, std::size_t end) {
      ++number;
      const bool match =
          matcher_->Contains(ReadCharacterValues(bmccUniCode, text_.substr(begin, end - begin)));
      return match == args_.invert || Select(begin, end, number);
    };
    std::size_t start = 0;
    std::size_t pos = 0;
    while (pos < usable) {
      const unsigned c = unit_at(pos);
      if (c != '\r' && c != '\n') {
        pos += unit;
        continue;
      }
      if (!line(start, pos)) return;
      pos += unit;
      if (c == '\r' && pos < usable && unit_at(pos) == '\n') pos += unit;
      start = pos;
    }
    if (start < text_.size()) line(start, text_.size());
  }

  const GrepArgs& args_;
  ByteSearcher* searcher_;
  DfaLineMatcher* matcher_;
  std::string prefix_;
  std::string& out_;
  std::string line_end_;
  std::string_view text_;
  long long limit_ = -1;
  long long selected_ = 0;
};

}  // namespace

int RunGrep(const Args& args) {
  const GrepArgs parsed = ParseGrepArgs(args);
  if (parsed.help) {
    std::cout << kGrepHelp;
    return kExitOk;
  }
  TbmRExp rexp;
  const TbmREDFATable& table = CompilePattern(rexp, parsed.pattern);
  const TbmCharCode code = parsed.pattern.code->code;
  if (parsed.only_matching && code == bmccUniCode) {
    throw CommandError("-o is not available with --code unicode");
  }
  std::unique_ptr<ByteSearcher> searcher;
  std::unique_ptr<DfaLineMatcher> matcher;
  if (code == bmccUniCode) {
    matcher = std::make_unique<DfaLineMatcher>(table);
  } else {
    searcher = std::make_unique<ByteSearcher>(table, code);
  }
  const bool with_names = parsed.with_file_name.value_or(parsed.files.size() > 1);
  bool trouble = false;
  bool success = false;
  std::string out;
  for (const std::string& file : parsed.files) {
    const std::string name = file == "-" ? "(standard input)" : file;
    long long selected = 0;
    try {
      // A file is mapped rather than copied; standard input is read.
      std::string standard_input;
      std::optional<MappedFile> mapped;
      if (file == "-") {
        standard_input = ReadInput("-");
      } else {
        try {
          mapped.emplace(file);
        } catch (const EFileError& error) {
          throw CommandError(error.English());
        }
      }
      const std::string prefix = with_names ? Encode(name + ":", code) : "";
      FileGrep grep(parsed, searcher.get(), matcher.get(), prefix, out);
      selected = grep.Run(mapped ? mapped->Bytes() : std::string_view(standard_input));
    } catch (const CommandError& error) {
      WriteOutput("", out);
      out.clear();
      std::cerr << "svtool: " << error.what() << '\n';
      trouble = true;
      continue;
    }
    if (parsed.files_with_matches || parsed.files_without_match) {
      const bool listed = parsed.files_with_matches ? selected > 0 : selected == 0;
      if (listed) out += name + "\n";
      success = success || listed;
    } else {
      if (parsed.count) out += (with_names ? name + ":" : "") + std::to_string(selected) + "\n";
      success = success || selected > 0;
    }
  }
  WriteOutput("", out);
  if (trouble) return kExitError;
  return success ? kExitOk : kExitNoMatch;
}

}  // namespace morvik::svtool
