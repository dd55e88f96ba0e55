#!/usr/bin/env bash
# Installs every Debian package the build and the tests need, and any further packages named
# as arguments (the benchmark drivers name theirs). Safe to run again: on a ready machine it
# only checks and returns within seconds.
set -euo pipefail

packages=(
  cmake make g++ clang libclang-rt-14-dev python3
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64
  wine wine64 xvfb xauth googletest file
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  # No recommends: they would pull in wine32, and a 32-bit Wine cannot start here.
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if dpkg-query -W -f='${Status}' wine32 2>/dev/null | grep -q 'install ok installed'; then
  echo "setup: wine32 is installed; it makes 'wine' pick a 32-bit loader that cannot run here" >&2
  echo "setup: remove it with: apt-get remove -y wine32" >&2
  exit 1
fi
