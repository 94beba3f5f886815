// The kit's shared objects and their lifetime.
#include "regex/compile_kit.h"

namespace morvik {

std::unique_ptr<TbmREScanner> bmreScanner;
std::unique_ptr<TbmRETokens> bmreTokens;
std::unique_ptr<TbmRETokens> bmreTransTokens;
std::unique_ptr<TbmREWchRanges> bmreRanges;
std::unique_ptr<TbmRETree> bmreTree;
std::unique_ptr<TbmRExp> bmreRegExp;
std::unique_ptr<TbmREAsciiIgnoreCaseDic> bmreIgnoreCaseDic;

void bmreKitStartUp() {
  if (bmreScanner) return;
  bmreScanner = std::make_unique<TbmREScanner>(bmccShiftJIS);
  bmreTokens = std::make_unique<TbmRETokens>();
  bmreTransTokens = std::make_unique<TbmRETokens>();
  bmreRanges = std::make_unique<TbmREWchRanges>();
  bmreTree = std::make_unique<TbmRETree>();
  bmreRegExp = std::make_unique<TbmRExp>();
  bmreIgnoreCaseDic = std::make_unique<TbmREAsciiIgnoreCaseDic>();
}

void bmreKitShutDown() {
  bmreScanner.reset();
  bmreTokens.reset();
  bmreTransTokens.reset();
  bmreRanges.reset();
  bmreTree.reset();
  bmreRegExp.reset();
  bmreIgnoreCaseDic.reset();
}

namespace {

// Start-up and exit of the program: the objects live from before main until
// after it returns.
struct KitLifetime {
  KitLifetime() { bmreKitStartUp(); }
  ~KitLifetime() { bmreKitShutDown(); }
  KitLifetime(const KitLifetime&) = delete;
  KitLifetime& operator=(const KitLifetime&) = delete;
};

const KitLifetime kit_lifetime;

}  // namespace

}  // namespace morvik
