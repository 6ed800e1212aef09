#!/usr/bin/env bash
# Builds the configuration reader's fuzz target with clang and runs it for a
# bounded time: fuzz/run.sh OUTDIR SECONDS
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/fuzz}
seconds=${2:-20}
# The clang of the release that scripts/deps.sh installs (14 on Debian 12,
# 19 on Debian 13), else whichever versioned clang++ is there.
clang=
for c in clang++-19 clang++-14 $(compgen -c clang++- | sort -t- -k2 -rn); do
  command -v "$c" >/dev/null && { clang=$c; break; }
done
[ -n "$clang" ] || { echo "fuzz: no clang++ (scripts/deps.sh installs it)" >&2; exit 1; }
mkdir -p "$out/corpus"
"$clang" -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I "$root/src" \
  "$root/fuzz/config_reader_fuzz.cpp" \
  "$root"/src/config/*.cpp \
  "$root"/src/platform/posix/files.cpp \
  "$root"/src/platform/posix/system_error.cpp \
  "$root"/src/platform/read_retry.cpp \
  -o "$out/config_reader_fuzz"
# Seeds: an empty configuration and a one-entry file.
printf '\xeb\x03\x00\x00\x00\x00\x00\x00' > "$out/corpus/empty"
printf '\xeb\x03\x00\x00\x01\x00\x00\x00\x02\x00\x00\x00\xff\xfe\xff\x03A\x00\\\x00B\x00\x00\x00\x00\x00\xff\xfe\xff\x00\x01\x00\x00\x00\xff\xfe\xff\x00\xff\xfe\xff\x00\x00\x00\x00\x00\x01\x00\x00\x00\xff\xfe\xff\x00\x00\x00\x00\x00' > "$out/corpus/group"
"$out/config_reader_fuzz" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=1 "$out/corpus" 2>&1 | tail -n 6
