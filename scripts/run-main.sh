#!/usr/bin/env bash
# The main job: sets up the machine, builds dist/ (the 32-bit programs with res/ beside them),
# starts the client under Wine, and runs the start page's own logic headless through
# miravolt-script so the native services' answers can be seen here.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ "${1:-}" != --show ]]; then
  bash scripts/setup.sh
  bash scripts/build.sh win32 win64
fi

# This kernel runs 64-bit Windows programs only, so the demonstration uses the x86_64 build of
# the same sources, laid out like dist/.
demo=build/demo
rm -rf "$demo"
mkdir -p "$demo"
cp build/win64/miravolt.exe build/win64/miravolt-script.exe "$demo/"
cp -r res "$demo/res"

export WINEPREFIX="$PWD/build/demo-prefix" WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
if [[ ! -d "$WINEPREFIX" ]]; then
  echo "== preparing a Wine prefix in $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
fi

run() {
  echo "== starting the client: $demo/miravolt.exe"
  wine "$demo/miravolt.exe" >/dev/null 2>&1 &
  local client=$!
  sleep 5
  if kill -0 "$client" 2>/dev/null; then
    echo "   the client is running and holds its page window (Wine has no HTML engine, so the"
    echo "   window stays transparent here; on Windows it shows res/index.html)"
  else
    echo "   the client ended early" >&2
  fi
  wineserver -k 2>/dev/null || true
  wait "$client" 2>/dev/null || true

  echo "== the start page's logic, run headless: miravolt-script res/app.js"
  (cd "$demo" && wine miravolt-script.exe res/app.js)
}

if [[ "${1:-}" == --show ]]; then
  run
  exit
fi
# The client needs a display: an invisible one when there is none.
if [[ -n "${DISPLAY:-}" ]]; then
  bash "$0" --show
else
  xvfb-run -a bash "$0" --show
fi
echo "== dist/ holds the deliverables: $(cd dist && echo *)"
