#!/bin/sh
# Measures tessaro against its floors (start-up of both modes under Wine,
# size, the splitter's host benchmark) and prints one table.
#   scripts/bench.sh [--pairs N] [--write-docs]
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
exec "$top/bench/run.sh" "$@"
