// The engine object: TbmRExp compiles a pattern, written in one character
// code, into a DFA table on demand and keeps it until the pattern, the code or
// an option changes. TbmRExpABC is what a consumer of compiled patterns sees.
//
// Compilation uses the kit's shared working objects (compile_kit.h), so only
// one compilation may run at a time, and GetDFATable must not be entered
// again from within a compilation.
#ifndef MORVIK_REGEX_ENGINE_H_
#define MORVIK_REGEX_ENGINE_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "regex/char_codes.h"
#include "regex/dfa_table.h"
#include "regex/syntax_tree.h"
#include "regex/token_list.h"

namespace morvik {

class TbmRExpABC {
 public:
  virtual ~TbmRExpABC() = default;
  virtual TbmCharCode GetCharCode() = 0;
  virtual const TbmREDFATable& GetDFATable() = 0;
};

class TbmRExp : public TbmRExpABC {
 public:
  enum Option { kRegExpSyntax = 0, kIgnoreCase = 1 };

  TbmRExp();
  TbmRExp(const TbmRExp&) = delete;
  TbmRExp& operator=(const TbmRExp&) = delete;

  TbmCharCode GetCharCode() override { return CharCode; }
  // Compiles when the table is not current. Raises EbmREToken for a pattern
  // error and RegexError for anything else; the table is then not current
  // and the next call compiles again from the start.
  const TbmREDFATable& GetDFATable() override;
  virtual void SetCharCode(TbmCharCode code);
  // With IgnoreCase, rewrites tokens into the kit's second list and returns
  // it; otherwise returns tokens.
  virtual TbmRETokens& TransformTokens(TbmRETokens& tokens);
  virtual void SetPattern(std::string_view text);
  // Index 0 is RegExpSyntax, 1 IgnoreCase; other indices do nothing.
  virtual void SetOption(int index, bool value);

  // Size limits of the compilation: states, entries and construction work of
  // the table, and position entries of the syntax tree (dfa_table.h,
  // syntax_tree.h). Changing them makes the table not current.
  void SetLimits(std::size_t max_states, std::size_t max_table_entries,
                 std::size_t max_tree_entries,
                 std::size_t max_table_work = TbmREDFATable::kDefaultMaxWork);

  bool IsCompiled() const { return Compiled; }
  const std::string& GetPattern() const { return Pattern; }
  bool GetRegExpSyntax() const { return RegExpSyntax; }
  bool GetIgnoreCase() const { return IgnoreCase; }

 private:
  void Compile();

  TbmCharCode CharCode;
  std::string Pattern;
  TbmREDFATable Table;
  bool Compiled = false;
  bool RegExpSyntax = true;
  bool IgnoreCase = false;
  std::size_t MaxTreeEntries = TbmRETree::kDefaultMaxSetEntries;
};

}  // namespace morvik

#endif  // MORVIK_REGEX_ENGINE_H_
