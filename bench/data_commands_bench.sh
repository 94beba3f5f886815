#!/usr/bin/env bash
# Measures svtool's sort, merge and file information against standard tools
# on the same files, in one run:
#   sort of 1 000 000 lines (whole document)  vs  LC_ALL=C sort      target <= 1.5x
#   merge of 200 000 into 200 000 lines       vs  awk tolower dedup  target <= 2x
#   keyword list of 1 000 000 lines (100 000 distinct keywords)      target < 1 s
# Usage: data_commands_bench.sh SVTOOL [SCRATCH_DIR]
set -euo pipefail
svtool=$1
dir=${2:-$(mktemp -d)}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$dir"
[ -f "$dir/keywords.txt" ] || python3 "$here/make_data_files.py" "$dir"

# Best of three wall-clock runs, in seconds.
best() {
  local best_time=
  for _ in 1 2 3; do
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    best_time=$(echo "$end - $start" | bc -l | awk -v b="$best_time" '{ if (b == "" || $1 < b) print $1; else print b }')
  done
  printf '%.3f' "$best_time"
}

report() {  # name ours theirs limit
  local ratio
  ratio=$(echo "$2 / $3" | bc -l)
  printf '%-10s svtool %6.3f s   %-28s %6.3f s   ratio %5.2f (target <= %s)\n' \
    "$1" "$2" "$4" "$3" "$ratio" "$5"
}

sort_ours=$(best "$svtool" sort --whole "$dir/sort.txt" -o "$dir/sorted.txt")
sort_theirs=$(best env LC_ALL=C sort "$dir/sort.txt" -o "$dir/sorted_c.txt")
report sort "$sort_ours" "$sort_theirs" "LC_ALL=C sort" 1.5

merge_ours=$(best "$svtool" merge "$dir/merge_doc.txt" "$dir/merge_source.txt" -o "$dir/merged.txt")
merge_theirs=$(best awk '!seen[tolower($0)]++' "$dir/merge_doc.txt" "$dir/merge_source.txt")
report merge "$merge_ours" "$merge_theirs" "awk '!seen[tolower(\$0)]++'" 2

info_ours=$(best "$svtool" info --show keywords "$dir/keywords.txt")
printf '%-10s svtool %6.3f s   (target < 1 s)\n' keywords "$info_ours"
