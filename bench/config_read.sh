#!/usr/bin/env bash
# Measures reading the configuration against plain file tools on a 69 MB
# file (20,000 entries, 200,000 locations), best of 5 runs each:
#   bench/config_read.sh [BUILD_DIR]
# convert against cp to a new name, check's peak memory against the file's
# size, whoami (the session start's reading) against cat, in time and memory.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target quillonctl make_large_config -j2 >/dev/null
bin=$build/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
file=$work/large.QLNData
"$bin/make_large_config" "$file" 20000 10 47
size=$(stat -c %s "$file")
cat "$file" >/dev/null  # warm the page cache for every contender alike

# Best wall time in seconds (3 decimals) of five runs of "$@".
best_time() {
  local best=""
  for _ in 1 2 3 4 5; do
    rm -f "$work/out"
    local start end t
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1 || true
    end=$(date +%s%N)
    t=$(( (end - start) / 1000 ))
    if [[ -z $best || $t -lt $best ]]; then best=$t; fi
  done
  printf '%d.%06d' $((best / 1000000)) $((best % 1000000))
}

# Lowest peak resident memory in kB of five runs of "$@".
best_rss() {
  local best=""
  for _ in 1 2 3 4 5; do
    rm -f "$work/out"
    local kb
    /usr/bin/time -f '%M' -o "$work/rss" "$@" >/dev/null 2>&1 || true
    kb=$(tail -n 1 "$work/rss")
    if [[ -z $best || $kb -lt $best ]]; then best=$kb; fi
  done
  echo "$best"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

file_mb=$(awk -v s="$size" 'BEGIN { printf "%.1f", s / 1e6 }')
echo "file: $file_mb MB"
t_convert=$(best_time "$bin/quillonctl" convert "$file" "$work/out")
t_cp=$(best_time cp "$file" "$work/out")
# cp never syncs; the atomic replace must before its rename, so for scale:
t_cp_sync=$(best_time sh -c 'cp "$1" "$2" && sync "$2"' sh "$file" "$work/out")
echo "convert: ${t_convert} s, cp: ${t_cp} s, ratio $(ratio "$t_convert" "$t_cp") (goal <= 2); cp then sync: ${t_cp_sync} s"
rss_check=$(best_rss "$bin/quillonctl" check "$file")
echo "check peak memory: $((rss_check / 1024)) MB, $(ratio "$((rss_check * 1024))" "$size") x the file (goal <= 1.2)"
t_whoami=$(best_time "$bin/quillonctl" whoami "$file")
t_cat=$(best_time cat "$file")
echo "whoami: ${t_whoami} s, cat: ${t_cat} s, ratio $(ratio "$t_whoami" "$t_cat") (goal <= 5)"
rss_whoami=$(best_rss "$bin/quillonctl" whoami "$file")
echo "whoami peak memory: $((rss_whoami / 1024)) MB, $(ratio "$((rss_whoami * 1024))" "$size") x the file (goal <= 1.2)"
rss_dry=$(best_rss "$bin/quillonctl" session --dry-run "$file")
echo "session --dry-run peak memory: $((rss_dry / 1024)) MB"
