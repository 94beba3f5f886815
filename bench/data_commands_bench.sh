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

# Best of three runs: "wall cpu" in seconds (cpu = user + system). The
# machine may be shared, so both are reported; the ratios use wall time.
best() {
  local best_wall= best_cpu=
  for _ in 1 2 3; do
    local times wall cpu
    /usr/bin/time -o "$dir/time.txt" -f "%e %U %S" "$@" >/dev/null 2>&1
    times=$(tail -1 "$dir/time.txt")
    wall=$(echo "$times" | awk '{ print $1 }')
    cpu=$(echo "$times" | awk '{ print $2 + $3 }')
    if [ -z "$best_wall" ] || awk -v a="$wall" -v b="$best_wall" 'BEGIN { exit !(a < b) }'; then
      best_wall=$wall
      best_cpu=$cpu
    fi
  done
  echo "$best_wall $best_cpu"
}

report() {  # name "ours" "theirs" tool limit
  local ours_wall ours_cpu theirs_wall theirs_cpu
  read -r ours_wall ours_cpu <<<"$2"
  read -r theirs_wall theirs_cpu <<<"$3"
  printf '%-9s svtool %6.2f s (cpu %5.2f)   %-28s %6.2f s (cpu %5.2f)   ratio %4.2f (target <= %s)\n' \
    "$1" "$ours_wall" "$ours_cpu" "$4" "$theirs_wall" "$theirs_cpu" \
    "$(awk -v a="$ours_wall" -v b="$theirs_wall" 'BEGIN { print a / b }')" "$5"
}

sort_ours=$(best "$svtool" sort --whole "$dir/sort.txt" -o "$dir/sorted.txt")
sort_theirs=$(best env LC_ALL=C sort "$dir/sort.txt" -o "$dir/sorted_c.txt")
report sort "$sort_ours" "$sort_theirs" "LC_ALL=C sort" 1.5

merge_ours=$(best "$svtool" merge "$dir/merge_doc.txt" "$dir/merge_source.txt" -o "$dir/merged.txt")
merge_theirs=$(best awk '!seen[tolower($0)]++' "$dir/merge_doc.txt" "$dir/merge_source.txt")
report merge "$merge_ours" "$merge_theirs" "awk '!seen[tolower(\$0)]++'" 2

info_ours=$(best "$svtool" info --show keywords "$dir/keywords.txt")
read -r info_wall info_cpu <<<"$info_ours"
printf '%-9s svtool %6.2f s (cpu %5.2f)   (target < 1 s)\n' keywords "$info_wall" "$info_cpu"
