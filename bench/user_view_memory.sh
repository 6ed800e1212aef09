#!/usr/bin/env bash
# Peak memory of the user view against a bare Qt window (menu bar, tool bar,
# tree, list), best of 5 each, offscreen, as an account outside the
# administrators (nobody), with one entry and with 5,000 other users'
# entries (without a configuration the view waits on its error box):   sudo bench/user_view_memory.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target quillon_startup_probe bare_window_probe make_large_config -j2 >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
# The user view reads the configuration beside the program.
cp "$build/bin/quillon_startup_probe" "$build/bin/bare_window_probe" "$work/"
mkdir -m 777 "$work/home"

best_rss() {
  local best=""
  for _ in 1 2 3 4 5; do
    local kb
    kb=$(runuser -u nobody -- env -i HOME="$work/home" QT_QPA_PLATFORM=offscreen PATH=/usr/bin:/bin \
           /usr/bin/time -f '%M' timeout 60 "$@" 2>&1 >/dev/null | tail -n 1)
    if [[ -z $best || $kb -lt $best ]]; then best=$kb; fi
  done
  echo "$best"
}
mb() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

bare=$(best_rss "$work/bare_window_probe" 300)
echo "bare Qt window: $(mb "$bare") MB"
"$build/bin/make_large_config" "$work/userConfig.QLNData" 1 10 >/dev/null
one=$(best_rss "$work/quillon_startup_probe" 300)
echo "user view, 1 entry: $(mb "$one") MB, $(ratio "$one" "$bare") x (goal <= 1.1)"
"$build/bin/make_large_config" "$work/userConfig.QLNData" 5000 10 >/dev/null
many=$(best_rss "$work/quillon_startup_probe" 300)
echo "user view, 5,000 entries ($(stat -c %s "$work/userConfig.QLNData") bytes): $(mb "$many") MB, $(ratio "$many" "$bare") x"
