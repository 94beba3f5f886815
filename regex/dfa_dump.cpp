// The text dump of a DFA table.
#include "regex/dfa_dump.h"

namespace morvik {

std::string DumpDFATable(const TbmREDFATable& table) {
  std::string out = "flags";
  const TbmREPatternInfo& info = table.Info;
  const std::pair<bool, const char*> flags[] = {
      {info.HasLineHead, "HasLineHead"},
      {info.HasLineTail, "HasLineTail"},
      {info.LineHeadAccepts, "LineHeadAccepts"},
      {info.LineTailAccepts, "LineTailAccepts"},
      {info.EmptyAccepts, "EmptyAccepts"},
      {info.HeadTailAccepts, "HeadTailAccepts"},
      {info.IsPlain, "IsPlain"},
  };
  for (const auto& [set, name] : flags) {
    if (set) {
      out += ' ';
      out += name;
    }
  }
  out += '\n';
  for (int i = 0; i < table.Count(); ++i) {
    const TbmREState& state = table[i];
    out += std::to_string(i);
    if (state.Accepting) out += " accepting";
    for (const TbmRETransition& t : state.Transitions) {
      out += ' ';
      out += std::to_string(t.Lo);
      out += "..";
      out += std::to_string(t.Hi);
      out += '>';
      out += std::to_string(t.Target);
    }
    out += '\n';
  }
  return out;
}

}  // namespace morvik
