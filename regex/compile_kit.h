// The kit: the working objects that every compilation shares, and one ready
// engine object. They are created when the program starts and released when
// it exits, both in the order below. Between compilations the token lists, the
// partition and the tree are empty.
#ifndef MORVIK_REGEX_COMPILE_KIT_H_
#define MORVIK_REGEX_COMPILE_KIT_H_

#include <memory>

#include "regex/char_ranges.h"
#include "regex/engine.h"
#include "regex/scanner.h"
#include "regex/syntax_tree.h"
#include "regex/token_list.h"
#include "regex/token_rewriter.h"

namespace morvik {

extern std::unique_ptr<TbmREScanner> bmreScanner;
extern std::unique_ptr<TbmRETokens> bmreTokens;
extern std::unique_ptr<TbmRETokens> bmreTransTokens;
extern std::unique_ptr<TbmREWchRanges> bmreRanges;
extern std::unique_ptr<TbmRETree> bmreTree;
extern std::unique_ptr<TbmRExp> bmreRegExp;
extern std::unique_ptr<TbmREAsciiIgnoreCaseDic> bmreIgnoreCaseDic;

// Creates the objects (scanner for Shift JIS, token lists, partition, tree,
// engine object, dictionary); does nothing when they exist.
void bmreKitStartUp();
// Frees them in the same order.
void bmreKitShutDown();

}  // namespace morvik

#endif  // MORVIK_REGEX_COMPILE_KIT_H_
