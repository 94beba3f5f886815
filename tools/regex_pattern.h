// What svtool's regex commands share: the character codes they offer, the
// pattern options, and compiling a pattern from an argument or a file.
#ifndef MORVIK_TOOLS_REGEX_PATTERN_H_
#define MORVIK_TOOLS_REGEX_PATTERN_H_

#include <cstddef>
#include <functional>
#include <string>

#include "regex/char_codes.h"
#include "regex/dfa_table.h"
#include "regex/engine.h"
#include "tools/svtool_io.h"

namespace morvik::svtool {

struct RegexCode {
  const char* option;
  TbmCharCode code;
  const char* iconv_name;
};

struct PatternArgs {
  const RegexCode* code = nullptr;  // Shift JIS unless --code says otherwise
  bool ignore_case = false;
  bool literal = false;
  bool from_file = false;
  bool file_utf8 = false;  // --pattern-encoding utf-8
  std::string source;      // the PATTERN argument or the PATFILE path
};

PatternArgs DefaultPatternArgs();

// Takes the pattern option at args[i] (--code, --ignore-case, --literal, -f,
// --pattern-encoding), moving i past its value; false when args[i] is none.
bool ParsePatternOption(const Args& args, std::size_t& i, PatternArgs& pattern);

// Walks a regex command's arguments after its name. Options, until "--",
// go to ParsePatternOption and then to more_option (false: an unknown
// option); the first operand is the PATTERN unless -f named a pattern file,
// and the other operands go to operand. A second pattern (-f after PATTERN
// or after another -f) is refused with usage, rather than one of them being
// silently dropped. Returns whether a pattern was given.
bool ParseRegexArgs(const Args& args, PatternArgs& pattern, const std::string& usage,
                    const std::function<bool(std::size_t& i)>& more_option,
                    const std::function<void(const std::string&)>& operand);

// Compiles the pattern: a PATTERN argument is converted from the terminal's
// encoding, a pattern file is taken as bytes of the code (or converted from
// UTF-8), without its final line break. A pattern error names the offending
// token's byte offsets.
const TbmREDFATable& CompilePattern(TbmRExp& rexp, const PatternArgs& pattern);

int RunGrep(const Args& args);

}  // namespace morvik::svtool

#endif  // MORVIK_TOOLS_REGEX_PATTERN_H_
