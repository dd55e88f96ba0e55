#!/usr/bin/env bash
# Sets up the machine, builds every target and runs every test tier in one CTest run:
# the native unit tests and, inside one Xvfb, the Windows, script and end-to-end tests
# under wine64.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
bash scripts/build.sh native win64 win32

# One CTest run over both build trees.
cat > build/CTestTestfile.cmake <<'CTEST'
subdirs("native")
subdirs("win64")
CTEST

cd build
xvfb-run -a -s "-screen 0 1920x1080x24" ctest --output-on-failure --timeout 600 "$@"
