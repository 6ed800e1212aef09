#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
# Sourced by scripts/run and scripts/test; quick when everything is there.
set -euo pipefail

QUILLON_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl1-mesa-dev libx11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev
  xvfb xauth
  rdesktop
  dpkg-dev lintian man-db
  clang-14 libclang-rt-14-dev
)

quillon_install_deps() {
  local missing=()
  local p
  for p in "${QUILLON_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  # Standard output is for callers' results (scripts/package prints the
  # package's path), so everything said here goes to standard error.
  echo "Installing: ${missing[*]}" >&2
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
  fi
  "${sudo[@]}" apt-get update -qq >&2
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

quillon_build() {
  local dir=$1; shift
  local gen=()
  command -v ninja >/dev/null && gen=(-G Ninja)
  command -v ccache >/dev/null && gen+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$QUILLON_ROOT" -B "$dir" "${gen[@]}" "$@"
  fi
  cmake --build "$dir" -j "$(nproc)"
}
