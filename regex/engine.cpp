// The engine object and its compilation.
#include "regex/engine.h"

#include "regex/compile_kit.h"

namespace morvik {

namespace {

// Empties the kit's working objects on every way out of a compilation, so
// that nothing of a failed pattern stays alive until the next one.
class WorkingDataRelease {
 public:
  WorkingDataRelease() = default;
  WorkingDataRelease(const WorkingDataRelease&) = delete;
  WorkingDataRelease& operator=(const WorkingDataRelease&) = delete;
  ~WorkingDataRelease() {
    bmreTokens->ClearTokens();
    bmreTransTokens->ClearTokens();
    bmreRanges->ClearRanges();
    bmreTree->Clear();
  }
};

}  // namespace

TbmRExp::TbmRExp() : CharCode(bmccDefaultCharCode()) {}

const TbmREDFATable& TbmRExp::GetDFATable() {
  if (!Compiled) Compile();
  return Table;
}

void TbmRExp::Compile() {
  // An engine object used before start-up has run (from another static
  // initialiser) still finds its working objects.
  bmreKitStartUp();
  WorkingDataRelease release;
  bmreScanner->SetCharCode(GetCharCode());
  bmreScanner->SetPattern(Pattern);
  bmreScanner->RegExpOps = RegExpSyntax;
  bmreTokens->Tokenize(*bmreScanner);
  TbmRETokens& list = TransformTokens(*bmreTokens);
  list.Standardize(*bmreRanges);
  bmreTree->SetMaxSetEntries(MaxTreeEntries);
  bmreTree->Parse(list, *bmreRanges);
  Table.Build(*bmreTree, *bmreRanges);
  Compiled = true;
}

void TbmRExp::SetCharCode(TbmCharCode code) {
  if (code == CharCode) return;
  CharCode = code;
  Compiled = false;
}

TbmRETokens& TbmRExp::TransformTokens(TbmRETokens& tokens) {
  if (!IgnoreCase) return tokens;
  bmreIgnoreCaseDic->Translate(tokens, *bmreTransTokens);
  return *bmreTransTokens;
}

void TbmRExp::SetPattern(std::string_view text) {
  if (SameBytes(text, Pattern)) return;
  Pattern.assign(text.data(), text.size());
  Compiled = false;
}

void TbmRExp::SetLimits(std::size_t max_states, std::size_t max_table_entries,
                        std::size_t max_tree_entries, std::size_t max_table_work) {
  Table.SetLimits(max_states, max_table_entries, max_table_work);
  MaxTreeEntries = max_tree_entries;
  Compiled = false;
}

void TbmRExp::SetOption(int index, bool value) {
  bool* option = index == kRegExpSyntax ? &RegExpSyntax
                 : index == kIgnoreCase ? &IgnoreCase
                                        : nullptr;
  if (option == nullptr || *option == value) return;
  *option = value;
  Compiled = false;
}

}  // namespace morvik
