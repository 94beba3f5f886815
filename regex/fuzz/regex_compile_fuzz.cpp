// libFuzzer target for the whole compilation: any byte string, in any code
// and with any options, must give a table or one of the engine's exceptions.
//
// The first byte chooses the character code (low three bits, 0..4 with JIS
// included) and the options (bit 3: literal, bit 4: ignore case); the rest
// is the pattern. A compiled table is then run over the pattern's own bytes
// as a line, which walks the automaton over characters it knows.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "regex/engine.h"
#include "regex/error.h"
#include "regex/line_matcher.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace morvik;
  if (size == 0) return 0;
  const auto code = static_cast<TbmCharCode>((data[0] & 7) % 5);
  const std::string_view pattern(reinterpret_cast<const char*>(data + 1), size - 1);
  TbmRExp rexp;
  // Smaller than the defaults so that one input stays within the fuzzer's
  // time and memory; the limits themselves are what is exercised.
  rexp.SetLimits(4000, 1 << 19, 1 << 18, 1 << 22);
  rexp.SetCharCode(code);
  rexp.SetOption(TbmRExp::kRegExpSyntax, (data[0] & 8) == 0);
  rexp.SetOption(TbmRExp::kIgnoreCase, (data[0] & 16) != 0);
  rexp.SetPattern(pattern);
  try {
    const TbmREDFATable& table = rexp.GetDFATable();
    DfaLineMatcher matcher(table);
    matcher.Contains(ReadCharacterValues(code, pattern));
  } catch (const RegexError&) {
    // Pattern errors and limits are expected outcomes.
  }
  return 0;
}
