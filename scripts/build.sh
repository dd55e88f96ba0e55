#!/usr/bin/env bash
# Configures and builds the given presets (default: all three) and lays out dist/: the 32-bit
# programs with the sample pages beside them.
set -euo pipefail
cd "$(dirname "$0")/.."

presets=("$@")
((${#presets[@]})) || presets=(native win64 win32)

for preset in "${presets[@]}"; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

if [[ " ${presets[*]} " == *" win32 "* ]]; then
  rm -rf dist
  mkdir -p dist
  cp build/win32/miravolt.exe build/win32/update.exe dist/
  cp -r res dist/res
  echo "== dist/: $(cd dist && echo *)"
fi
