#!/bin/sh
# Builds everything and runs every test (the Windows programs under Wine).
# Extra arguments go to ctest, e.g. scripts/test.sh -R open -V
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh"
cd "$top"
ctest --preset win32 "$@"
