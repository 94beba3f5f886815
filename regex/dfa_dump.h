// A deterministic text dump of a DFA table, for golden tests and svtool.
//
//   flags IsPlain          the true fields of the pattern info, in record order
//   0 97..97>1             per state: index, " accepting", " LO..HI>TARGET"...
//   1 accepting
//
// ASCII, LF line ends, decimal numbers (LO and HI may be negative).
#ifndef MORVIK_REGEX_DFA_DUMP_H_
#define MORVIK_REGEX_DFA_DUMP_H_

#include <string>

#include "regex/dfa_table.h"

namespace morvik {

std::string DumpDFATable(const TbmREDFATable& table);

}  // namespace morvik

#endif  // MORVIK_REGEX_DFA_DUMP_H_
