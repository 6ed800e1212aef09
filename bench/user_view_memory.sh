#!/usr/bin/env bash
# Peak memory of the user view against a bare Qt window (menu bar, tool bar,
# tree, list), best of 5 each, offscreen, as an account outside the
# administrators (nobody): with no profile of its own (the start page), with
# a profile whose one location (20 files) is shown, and with that profile
# among 5,000 other users' entries (without a configuration the view waits
# on its error box):   sudo bench/user_view_memory.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target quillon_startup_probe bare_window_probe make_large_config quillonctl -j2 >/dev/null
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
mkdir -m 755 "$work/files"
for i in $(seq 1 20); do echo "file $i" > "$work/files/note $i.txt"; done
# The configuration of `make_large_config ENTRIES`, plus an entry for nobody
# with one location on $work/files placed first.
with_profile() {
  "$build/bin/make_large_config" "$work/base.QLNData" "$1" 10 >/dev/null
  local account
  account=$(runuser -u nobody -- "$build/bin/quillonctl" whoami "$work/base.QLNData" \
              | sed -n 's/^  "account": "\(.*\)",$/\1/p')
  local entry='{"type":2,"name":"'"$account"'","locations":[{"name":"Files","serverLocation":"'"$work/files"'","clientLocation":"","overwriteMode":101,"clientToServer":false,"serverToClient":false,"manualTransfer":false,"syncEnabled":false,"hideTransferWindow":false,"connectAction":0,"rightMouseButton":false,"expandEnvironment":false,"visualOptions":{"showCommonTasks":false,"imagePath":"","imageStyle":-1,"viewStyle":-1}}],"script":{"arguments":"","userCanAbort":true,"programPath":"","displayName":"","timeout":0,"wait":false,"workingDirectory":"","enabled":false}}'
  "$build/bin/quillonctl" dump "$work/base.QLNData" > "$work/base.json"
  # Line 3 opens the entry list.
  { head -n 3 "$work/base.json"; printf '    %s,\n' "$entry"; tail -n +4 "$work/base.json"; } > "$work/profile.json"
  "$build/bin/quillonctl" load "$work/profile.json" "$work/userConfig.QLNData" >/dev/null
}
"$build/bin/make_large_config" "$work/userConfig.QLNData" 1 10 >/dev/null
empty=$(best_rss "$work/quillon_startup_probe" 300)
echo "user view, no profile (start page): $(mb "$empty") MB, $(ratio "$empty" "$bare") x (goal <= 1.1)"
with_profile 1
one=$(best_rss "$work/quillon_startup_probe" 300)
echo "user view, its location shown: $(mb "$one") MB, $(ratio "$one" "$bare") x"
with_profile 5000
many=$(best_rss "$work/quillon_startup_probe" 300)
echo "user view, its location shown, 5,000 other entries ($(stat -c %s "$work/userConfig.QLNData") bytes): $(mb "$many") MB, $(ratio "$many" "$bare") x"
