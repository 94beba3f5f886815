// svtool regex dump|grep: compiles a pattern with the engine and prints its
// DFA table, or prints the lines of files that contain a match.
//
//   svtool regex dump [--code C] [--ignore-case] [--literal] (-f PATFILE | PATTERN)
//   svtool regex grep [--code C] [--ignore-case] [--literal] [-n] (-f PATFILE | PATTERN) FILE...
//
// C is sjis (the default), euc, western, unicode or jis. A pattern file is
// read as raw bytes in the chosen code (UTF-16 patterns need one); a PATTERN
// argument is converted from the locale's encoding. Lines are read with the
// pattern's code, so a trail byte of a Shift_JIS character never matches an
// ASCII character of the pattern.
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "data/text_encoding.h"
#include "regex/dfa_dump.h"
#include "regex/engine.h"
#include "regex/line_matcher.h"
#include "regex/token.h"
#include "tools/commands.h"

namespace morvik::svtool {
namespace {

constexpr const char* kUsage =
    "usage: svtool regex dump|grep [--code sjis|euc|western|unicode|jis] [--ignore-case] "
    "[--literal] [-n] (-f PATFILE | PATTERN) [FILE...]";

struct CodeName {
  const char* option;
  TbmCharCode code;
  const char* iconv_name;  // for converting a PATTERN argument
};

constexpr CodeName kCodes[] = {
    {"sjis", bmccShiftJIS, "CP932"},    {"euc", bmccJapaneseEUC, "EUC-JP"},
    {"western", bmccWestern, "CP1252"}, {"unicode", bmccUniCode, "UTF-16LE"},
    {"jis", bmccJIS, "ISO-2022-JP"},
};

struct RegexArgs {
  const CodeName* code = &kCodes[0];
  bool ignore_case = false;
  bool literal = false;
  bool line_numbers = false;
  bool pattern_from_file = false;
  std::string pattern_source;  // the PATTERN argument or the PATFILE path
  std::vector<std::string> files;
};

RegexArgs ParseArgs(const Args& args, bool grep) {
  RegexArgs parsed;
  bool have_pattern = false;
  bool options_done = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw CommandError("option " + arg + " needs a value");
      return args[++i];
    };
    if (!options_done && arg.size() > 1 && arg[0] == '-') {
      if (arg == "--") {
        options_done = true;
      } else if (arg == "--code") {
        const std::string& name = value();
        parsed.code = nullptr;
        for (const CodeName& code : kCodes) {
          if (name == code.option) parsed.code = &code;
        }
        if (parsed.code == nullptr) {
          throw CommandError("unknown code '" + name + "' (sjis, euc, western, unicode or jis)");
        }
      } else if (arg == "--ignore-case") {
        parsed.ignore_case = true;
      } else if (arg == "--literal") {
        parsed.literal = true;
      } else if (arg == "-n" && grep) {
        parsed.line_numbers = true;
      } else if (arg == "-f" && !have_pattern) {
        parsed.pattern_source = value();
        parsed.pattern_from_file = true;
        have_pattern = true;
      } else {
        throw CommandError("unknown option '" + arg + "'");
      }
      continue;
    }
    if (!have_pattern) {
      parsed.pattern_source = arg;
      have_pattern = true;
    } else if (grep) {
      parsed.files.push_back(arg);
    } else {
      throw CommandError(kUsage);
    }
  }
  if (!have_pattern || (grep && parsed.files.empty())) throw CommandError(kUsage);
  return parsed;
}

std::string ConvertFromLocale(const std::string& text, const char* to) {
  try {
    return ConvertText(text, LocaleCodeSet().c_str(), to);
  } catch (const std::exception&) {
    throw CommandError("cannot convert the pattern from " + LocaleCodeSet() + " to " + to);
  }
}

// Compiles the pattern; a pattern error names the offending token's bytes.
const TbmREDFATable& Compile(TbmRExp& rexp, const RegexArgs& args) {
  const std::string pattern = args.pattern_from_file
                                  ? ReadInput(args.pattern_source)
                                  : ConvertFromLocale(args.pattern_source, args.code->iconv_name);
  rexp.SetCharCode(args.code->code);
  rexp.SetOption(TbmRExp::kRegExpSyntax, !args.literal);
  rexp.SetOption(TbmRExp::kIgnoreCase, args.ignore_case);
  rexp.SetPattern(pattern);
  try {
    return rexp.GetDFATable();
  } catch (const EbmREToken& error) {
    throw CommandError(std::string(error.what()) + " at " + std::to_string(error.Token.StartPos) +
                       ".." + std::to_string(error.Token.EndPos));
  }
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

// Calls on_line(line) for each line of text; lines end at CR LF, lone CR or
// lone LF, counted in the code's units (two bytes for UTF-16). A break at
// the very end starts no further line.
template <typename OnLine>
void ForEachLine(std::string_view text, TbmCharCode code, OnLine on_line) {
  const std::size_t unit = code == bmccUniCode ? 2 : 1;
  const std::size_t usable = text.size() - text.size() % unit;
  auto unit_at = [&](std::size_t pos) {
    return unit == 1 ? static_cast<unsigned>(static_cast<unsigned char>(text[pos]))
                     : static_cast<unsigned>(static_cast<unsigned char>(text[pos])) |
                           (static_cast<unsigned>(static_cast<unsigned char>(text[pos + 1])) << 8);
  };
  std::size_t start = 0;
  std::size_t pos = 0;
  while (pos < usable) {
    const unsigned c = unit_at(pos);
    if (c != '\r' && c != '\n') {
      pos += unit;
      continue;
    }
    on_line(text.substr(start, pos - start));
    pos += unit;
    if (c == '\r' && pos < usable && unit_at(pos) == '\n') pos += unit;
    start = pos;
  }
  if (start < text.size()) on_line(text.substr(start));
}

int RunDump(const Args& args) {
  const RegexArgs parsed = ParseArgs(args, false);
  TbmRExp rexp;
  WriteOutput("", DumpDFATable(Compile(rexp, parsed)));
  return kExitOk;
}

int RunGrep(const Args& args) {
  const RegexArgs parsed = ParseArgs(args, true);
  TbmRExp rexp;
  const TbmREDFATable& table = Compile(rexp, parsed);
  const TbmCharCode code = parsed.code->code;
  DfaLineMatcher matcher(table);
  const std::string line_end = Encode("\r\n", code);
  bool any = false;
  for (const std::string& file : parsed.files) {
    const std::string text = ReadInput(file);
    std::string out;
    long long number = 0;
    ForEachLine(text, code, [&](std::string_view line) {
      ++number;
      if (!matcher.Contains(ReadCharacterValues(code, line))) return;
      any = true;
      if (parsed.line_numbers) out += Encode(std::to_string(number) + ":", code);
      out.append(line.data(), line.size());
      out += line_end;
    });
    WriteOutput("", out);
  }
  return any ? kExitOk : kExitNoMatch;
}

}  // namespace

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
