#!/bin/sh
# Configures (once) and builds tessaro.exe and the tests into build/.
# Extra arguments go to cmake --build, e.g. scripts/build.sh --target tessaro
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
[ -f build/build.ninja ] || cmake --preset win32 >/dev/null
cmake --build build "$@"
