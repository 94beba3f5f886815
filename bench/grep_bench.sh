#!/usr/bin/env bash
# Measures `svtool regex grep` against `LC_ALL=C grep -E` on the same 50 MB
# Shift_JIS file in one run, alternating the two commands, best of five runs
# (wall time). Reports only; checks that both print the same lines.
#   a literal word; a literal with classes (Zあ[0-9]+, in Shift_JIS);
#   a 2,000-word alternation from a pattern file (for GNU grep one word a
#   line, its fastest form); an ignore-case word.
# Usage: grep_bench.sh SVTOOL [SCRATCH_DIR]
set -euo pipefail
svtool=$1
dir=${2:-$(mktemp -d)}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$dir"
[ -f "$dir/keywords.txt" ] || python3 "$here/make_data_files.py" "$dir"
data=$dir/grep.txt
if [ ! -f "$data" ]; then
  # About 50 MB of record lines, ending at a line break.
  python3 - "$dir" "$data" <<'PY'
import sys
folder = sys.argv[1]
text = b"".join(open(f"{folder}/{name}", "rb").read() for name in ("keywords.txt", "sort.txt"))
text = (text * 2)[:50_000_000]
open(sys.argv[2], "wb").write(text[: text.rfind(b"\n") + 1])
PY
fi

# Pattern files, Shift_JIS bytes, one line each, read by both tools.
printf 'x0012' >"$dir/literal.pat"
printf 'Z\x82\xa0[0-9]+' >"$dir/classes.pat"
printf 'prior' >"$dir/word.pat"
python3 - "$dir/keywords.txt" "$dir/words.pat" <<'PY'
import random, sys
keys = sorted({line.split(b'"')[1] for line in open(sys.argv[1], "rb") if line.count(b'"') >= 2})
random.Random(7).shuffle(keys)
words = [k for k in keys if b"{" not in k][:2000]
open(sys.argv[2], "wb").write(b"|".join(words))
# One word a line, as grep reads pattern files: its fastest form for a list.
open(sys.argv[2] + ".lines", "wb").write(b"\n".join(words) + b"\n")
PY

wall() {  # prints the wall seconds of one run
  local start end
  start=$(date +%s.%N)
  # Not /dev/null: GNU grep stops at the first match when it writes there.
  "$@" >"$dir/timed.out" 2>&1 || true
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}

min() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }

measure() {  # name grep-options pattern-file [GNU grep's pattern-file]
  local name=$1 options=$2 pat=$3 gnu_pat=${4:-$3} ours= theirs= t
  # shellcheck disable=SC2086
  "$svtool" regex grep $options -f "$pat" "$data" >"$dir/ours.out" || true
  # shellcheck disable=SC2086
  LC_ALL=C grep -E $options -f "$gnu_pat" "$data" >"$dir/theirs.out" || true
  local same=same
  cmp -s "$dir/ours.out" "$dir/theirs.out" || same=DIFFERENT
  for _ in 1 2 3 4 5; do
    # shellcheck disable=SC2086
    t=$(wall "$svtool" regex grep $options -f "$pat" "$data"); ours=$(min "$t" "$ours")
    # shellcheck disable=SC2086
    t=$(wall env LC_ALL=C grep -E $options -f "$gnu_pat" "$data"); theirs=$(min "$t" "$theirs")
  done
  printf '%-14s svtool %6.3f s   grep -E %6.3f s   ratio %4.2f (target <= 1.5)   %d lines, %s output\n' \
    "$name" "$ours" "$theirs" "$(awk -v a="$ours" -v b="$theirs" 'BEGIN { print a / b }')" \
    "$(wc -l <"$dir/ours.out")" "$same"
}

echo "file: $(du -m "$data" | cut -f1) MB, $(wc -l <"$data") lines"
measure literal "" "$dir/literal.pat"
measure classes "" "$dir/classes.pat"
measure 2000-words "" "$dir/words.pat" "$dir/words.pat.lines"
measure ignore-case "-i" "$dir/word.pat"
