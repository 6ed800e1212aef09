#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
# Sourced by scripts/run and scripts/test; quick when everything is there.
set -euo pipefail

# The release decides the names that differ: Debian 12 (bookworm) has
# clang 14, Debian 13 (trixie) clang 19; only Debian 12 makes the Debian 13
# root (debootstrap) for the second leg of scripts/test.
QUILLON_CODENAME=$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")
case $QUILLON_CODENAME in
  bookworm) QUILLON_CLANG_VERSION=14; QUILLON_RELEASE_PACKAGES=(debootstrap) ;;
  trixie) QUILLON_CLANG_VERSION=19; QUILLON_RELEASE_PACKAGES=() ;;
  *) echo "Debian ${QUILLON_CODENAME:-(unknown)} is neither 12 nor 13: trying Debian 13's package names" >&2
     QUILLON_CLANG_VERSION=19; QUILLON_RELEASE_PACKAGES=() ;;
esac
QUILLON_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl1-mesa-dev libx11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev
  xvfb xauth
  rdesktop
  dpkg-dev lintian man-db
  "clang-$QUILLON_CLANG_VERSION" "libclang-rt-$QUILLON_CLANG_VERSION-dev"
  "${QUILLON_RELEASE_PACKAGES[@]}"
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
