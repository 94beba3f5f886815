// svtool: runs the editor's data commands and the regular-expression engine on
// files, for batch work and for measuring. Usage errors print one line
// starting "svtool: " and exit with status 2.
#include <exception>
#include <iostream>
#include <string>
#include <string_view>

#include "tools/commands.h"

namespace morvik::svtool {
namespace {

struct Family {
  const char* word;
  int (*run)(const Args& args);
  const char* usage;
};

const Family kFamilies[] = {
    {"script", RunScriptCommand,
     "svtool script decompose [FILE]   one-line SavraScript to the indented form\n"
     "svtool script linize [FILE]      indented SavraScript back to one line\n"
     "    untouched characters keep their bytes\n"},
    {"info", RunInfoCommand,
     "svtool info [--type TYPE] [--show path|invalid|keywords] [FILE]\n"
     "    file information: the type and file name and the line counts (UTF-8),\n"
     "    or one listing (the absolute path, or Shift_JIS lines)\n"},
    {"sort", RunSortCommand,
     "svtool sort [--whole] [--line N] [--descending] [FILE] [-o OUT]\n"
     "    sorts the priority block around line N (default 1), or with --whole\n"
     "    every line above the end marker; -o OUT (may be FILE) is replaced\n"
     "    atomically, so a failure leaves it as it was\n"},
    {"merge", RunMergeCommand,
     "svtool merge [--type TYPE] [--line N] DOC SOURCE [-o OUT]\n"
     "    adds SOURCE's record lines that DOC lacks below line N (default 1);\n"
     "    the result message goes to standard error; DOC or SOURCE may be '-'\n"
     "TYPE: Data01 (default) Data02 DataA1 DataA2 DataB1 DataB2 DataC1 DataC2\n"},
    {"regex", RunRegexCommand,
     "svtool regex dump [--code sjis|euc|western|unicode|jis] [--ignore-case] [--literal]\n"
     "                  (-f PATFILE | PATTERN)   print the pattern's DFA table\n"
     "svtool regex grep [same options] [-cvlLonHh] [-m N] [--to-utf8]\n"
     "                  (-f PATFILE | PATTERN) [FILE...]\n"
     "                  print the lines that contain a match, as grep does\n"
     "                  (status 1: none; 'svtool regex grep --help' for more)\n"},
};

void PrintHelp() {
  std::cout << "usage: svtool COMMAND [ARGS]\n"
               "       svtool COMMAND --help | svtool --version\n"
               "Shift_JIS input is read from FILE, or standard input when FILE is '-' or\n"
               "missing; files over 1 GiB and files that are not regular files are refused.\n\n";
  for (const Family& family : kFamilies) std::cout << family.usage;
}

bool IsHelp(const std::string& word) {
  return word == "--help" || word == "-h";
}

int Main(int argc, char** argv) {
  const Args words(argv + 1, argv + argc);
  if (words.empty()) throw CommandError("no command given (try 'svtool --help')");
  if (IsHelp(words[0]) || words[0] == "help") {
    PrintHelp();
    return kExitOk;
  }
  if (words[0] == "--version") {
    std::cout << "svtool (Morvik) " << MORVIK_VERSION << '\n';
    return kExitOk;
  }
  for (const Family& family : kFamilies) {
    if (words[0] != family.word) continue;
    const Args args(words.begin() + 1, words.end());
    // Help wins over everything else on the line, as in most tools; after
    // "--" it is an argument like any other.
    // Only the long form: "-h" is an option of grep. "regex grep --help"
    // has a page of its own, which grep prints itself.
    const bool grep_help =
        std::string_view(family.word) == "regex" && !args.empty() && args[0] == "grep";
    for (const std::string& arg : args) {
      if (arg == "--" || grep_help) break;
      if (arg == "--help") {
        std::cout << family.usage;
        return kExitOk;
      }
    }
    return family.run(args);
  }
  throw CommandError("unknown command '" + words[0] + "' (try 'svtool --help')");
}

}  // namespace
}  // namespace morvik::svtool

int main(int argc, char** argv) {
  try {
    return morvik::svtool::Main(argc, argv);
  } catch (const std::exception& error) {
    std::cerr << "svtool: " << error.what() << '\n';
    return morvik::svtool::kExitError;
  }
}
