#!/usr/bin/env bash
# Static checks, failing on any finding:
#   clang-format --dry-run --Werror on every tracked C++ file (.clang-format);
#   clang-tidy (.clang-tidy) on the product code in regex/ data/ app/ gui/ tools/
#   and the headers it includes from there, through the compile commands of a
#   configured and built tree (the GUI's generated moc files must exist).
# Usage: scripts/lint.sh [BUILD_DIR]   (default build/test, as scripts/test.sh builds it)
# MORVIK_LINT_JOBS sets how many clang-tidy processes run at once (default: nproc);
# MORVIK_LINT_DIRS narrows clang-tidy to some of the folders (e.g. "regex data").
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/test}
jobs=${MORVIK_LINT_JOBS:-$(nproc)}
dirs=${MORVIK_LINT_DIRS:-regex data app gui tools}
product="$root/(${dirs// /|})/"
status=0

if [[ ! -f "$build/compile_commands.json" ]]; then
  echo "lint: no $build/compile_commands.json; configure and build first" >&2
  exit 2
fi

start=$SECONDS
if ! git -C "$root" ls-files -z '*.cpp' '*.h' |
  (cd "$root" && xargs -0 clang-format --dry-run --Werror); then
  echo "lint: clang-format wants changes in the files above (run clang-format -i on them)" >&2
  status=1
fi
echo "lint: clang-format done in $((SECONDS - start)) s" >&2

# One clang-tidy per source file; a file's findings are printed only when it
# has some, and the findings in a shared header only once.
start=$SECONDS
findings=$(mktemp)
trap 'rm -f "$findings"' EXIT
sed -n 's/^ *"file": "\(.*\)",\{0,1\}$/\1/p' "$build/compile_commands.json" |
  grep -E "^$product" | sort -u |
  xargs -d '\n' -n 1 -P "$jobs" sh -c '
    out=$(clang-tidy -p "$0" --quiet --header-filter="$1" "$2" 2>&1) && exit 0
    printf "%s\n" "$out" | grep -E ": (error|warning):" || printf "%s\n" "$out"
    exit 1' "$build" "^$product" >"$findings" || status=1
if [[ -s "$findings" ]]; then
  sort -u "$findings"
  echo "lint: clang-tidy found $(sort -u "$findings" | wc -l) problems" >&2
  status=1
fi
echo "lint: clang-tidy done in $((SECONDS - start)) s with $jobs jobs" >&2
exit "$status"
