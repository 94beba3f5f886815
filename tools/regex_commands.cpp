// svtool regex dump: compiles a pattern with the engine and prints its DFA
// table; also what dump and grep (regex_grep.cpp) share: the codes, the
// pattern options and the pattern's encoding.
//
// C is sjis (the default), euc, western, unicode or jis. A pattern file is
// read as raw bytes in the chosen code (UTF-16 patterns need one), or from
// UTF-8 with --pattern-encoding utf-8, and must be valid in that encoding; a
// PATTERN argument is converted from the terminal's encoding.
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "data/text_encoding.h"
#include "regex/dfa_dump.h"
#include "regex/engine.h"
#include "regex/token.h"
#include "tools/commands.h"
#include "tools/regex_pattern.h"

namespace morvik::svtool {
namespace {

constexpr const char* kUsage =
    "usage: svtool regex dump [--code sjis|euc|western|unicode|jis] [--ignore-case] "
    "[--literal] (-f PATFILE | PATTERN)";

constexpr RegexCode kCodes[] = {
    {"sjis", bmccShiftJIS, "CP932"},    {"euc", bmccJapaneseEUC, "EUC-JP"},
    {"western", bmccWestern, "CP1252"}, {"unicode", bmccUniCode, "UTF-16LE"},
    {"jis", bmccJIS, "ISO-2022-JP"},
};

std::string Convert(const std::string& text, const char* from, const char* to,
                    const std::string& what) {
  try {
    return ConvertText(text, from, to);
  } catch (const std::exception&) {
    throw CommandError("cannot convert " + what + " from " + from + " to " + to);
  }
}

// The pattern file's text without its final line break (in code units).
std::string WithoutFinalBreak(const std::string& text, TbmCharCode code) {
  const std::size_t unit = code == bmccUniCode ? 2 : 1;
  std::size_t size = text.size();
  for (char c : {'\n', '\r'}) {
    if (size >= unit && text[size - unit] == c && (unit == 1 || text[size - 1] == '\0')) {
      size -= unit;
    }
  }
  return text.substr(0, size);
}

std::string PatternBytes(const PatternArgs& pattern) {
  const char* to = pattern.code->iconv_name;
  if (!pattern.from_file) {
    return Convert(pattern.source, LocaleCodeSet().c_str(), to, "the pattern");
  }
  const std::string file = ReadInput(pattern.source);
  if (pattern.file_utf8) {
    return WithoutFinalBreak(Convert(file, "UTF-8", to, "the pattern file " + pattern.source),
                             pattern.code->code);
  }
  // Taken as the code's bytes, but checked: a file in another encoding would
  // otherwise just find nothing.
  if (pattern.code->code != bmccJIS)
    Convert(file, to, "UTF-8", "the pattern file " + pattern.source);
  return WithoutFinalBreak(file, pattern.code->code);
}

int RunDump(const Args& args) {
  PatternArgs pattern = DefaultPatternArgs();
  const bool have_pattern = ParseRegexArgs(
      args, pattern, kUsage, [](std::size_t&) { return false; },
      [](const std::string&) { throw CommandError(kUsage); });
  if (!have_pattern) throw CommandError(kUsage);
  TbmRExp rexp;
  WriteOutput("", DumpDFATable(CompilePattern(rexp, pattern)));
  return kExitOk;
}

}  // namespace

PatternArgs DefaultPatternArgs() {
  PatternArgs pattern;
  pattern.code = &kCodes[0];
  return pattern;
}

bool ParsePatternOption(const Args& args, std::size_t& i, PatternArgs& pattern) {
  const std::string& arg = args[i];
  auto value = [&]() -> const std::string& {
    if (i + 1 >= args.size()) throw CommandError("option " + arg + " needs a value");
    return args[++i];
  };
  if (arg == "--code") {
    const std::string& name = value();
    pattern.code = nullptr;
    for (const RegexCode& code : kCodes) {
      if (name == code.option) pattern.code = &code;
    }
    if (pattern.code == nullptr) {
      throw CommandError("unknown code '" + name + "' (sjis, euc, western, unicode or jis)");
    }
  } else if (arg == "--ignore-case") {
    pattern.ignore_case = true;
  } else if (arg == "--literal") {
    pattern.literal = true;
  } else if (arg == "-f") {
    pattern.source = value();
    pattern.from_file = true;
  } else if (arg == "--pattern-encoding") {
    const std::string& name = value();
    if (name != "utf-8" && name != "sjis") {
      throw CommandError("unknown pattern encoding '" + name + "' (sjis or utf-8)");
    }
    pattern.file_utf8 = name == "utf-8";
  } else {
    return false;
  }
  return true;
}

bool ParseRegexArgs(const Args& args, PatternArgs& pattern, const std::string& usage,
                    const std::function<bool(std::size_t& i)>& more_option,
                    const std::function<void(const std::string&)>& operand) {
  bool have_pattern = false;
  bool options_done = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!options_done && arg.size() > 1 && arg[0] == '-') {
      if (arg == "--") {
        options_done = true;
        continue;
      }
      const std::string source = pattern.source;
      const bool from_file = pattern.from_file;
      if (!ParsePatternOption(args, i, pattern) && !more_option(i)) {
        throw CommandError("unknown option '" + arg + "'");
      }
      if (pattern.from_file != from_file || pattern.source != source) {
        if (have_pattern) throw CommandError(usage);
        have_pattern = true;
      }
      continue;
    }
    if (have_pattern) {
      operand(arg);
    } else {
      pattern.source = arg;
      have_pattern = true;
    }
  }
  return have_pattern;
}

const TbmREDFATable& CompilePattern(TbmRExp& rexp, const PatternArgs& pattern) {
  const std::string bytes = PatternBytes(pattern);
  rexp.SetCharCode(pattern.code->code);
  rexp.SetOption(TbmRExp::kRegExpSyntax, !pattern.literal);
  rexp.SetOption(TbmRExp::kIgnoreCase, pattern.ignore_case);
  rexp.SetPattern(bytes);
  try {
    return rexp.GetDFATable();
  } catch (const EbmREToken& error) {
    throw CommandError(std::string(error.what()) + " at " + std::to_string(error.Token.StartPos) +
                       ".." + std::to_string(error.Token.EndPos));
  }
}

int RunRegexCommand(const Args& args) {
  if (args.empty()) throw CommandError(kUsage);
  // svtool is the engine's host: the engine's default code follows the
  // user's locale, Shift JIS when the engine does not know it.
  bmccInitialize(LocaleCodeSet());
  if (args[0] == "dump") return RunDump(args);
  if (args[0] == "grep") return RunGrep(args);
  throw CommandError("unknown regex command '" + args[0] + "' (dump or grep)");
}

}  // namespace morvik::svtool
