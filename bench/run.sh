#!/bin/sh
# Measures tessaro against its floors and prints one table.
#   bench/run.sh [--pairs N] [--write-docs]
# Builds into build-bench/ (never build/; TESSARO_BENCH_DIR moves it), times
# both modes under Wine in a private prefix with a persistent wineserver and
# a private Xvfb display, weighs the executables, and runs the splitter's
# host benchmark. --pairs sets the number of rounds (tessaro, its floor,
# the floor plus tessaro's costliest platform call; 20 by default).
# --write-docs also rewrites docs/performance.md with this run's figures.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
out=${TESSARO_BENCH_DIR:-$top/build-bench}
pairs=20
docs=
while [ $# -gt 0 ]; do
    case $1 in
    --pairs) pairs=$2; shift 2 ;;
    --write-docs) docs=$top/docs/performance.md; shift ;;
    *) echo "usage: $0 [--pairs N] [--write-docs]" >&2; exit 2 ;;
    esac
done
[ "$pairs" -ge 1 ] || { echo "--pairs must be at least 1" >&2; exit 2; }

log() { echo "bench: $*" >&2; }

# --- build -------------------------------------------------------------
cross=$out/cross
native=$out/native
[ -f "$cross/build.ninja" ] || cmake --preset win32 -B "$cross" -DTESSARO_TESTS=OFF >/dev/null
cmake --build "$cross" >/dev/null
# The package behind the advertised shortcut; wixl takes sources relative
# to the folder it runs in.
(cd "$top/tests/reliability" && wixl -o "$cross/bench/probe.msi" probe.wxs)
[ -f "$native/build.ninja" ] ||
    cmake -G Ninja -S "$top/bench/native" -B "$native" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$native" >/dev/null

results=$out/results
rm -rf "$results"
mkdir -p "$results"
cat /proc/loadavg >"$results/load-start.txt"
date -u '+%Y-%m-%d %H:%M UTC' >"$results/date.txt"

# --- size --------------------------------------------------------------
objdump=i686-w64-mingw32-objdump
nm=i686-w64-mingw32-nm
stat -c '%n %s' "$cross/tessaro.exe" "$cross/bench/floor_empty.exe" \
    "$cross/bench/floor_empty_crt.exe" "$cross/bench/floor_open.exe" \
    "$cross/bench/floor_dialog.exe" >"$results/sizes.txt"
$objdump -h "$cross/tessaro.exe" >"$results/sections.txt"
$objdump -h "$cross/bench/floor_empty.exe" >"$results/sections-empty.txt"
# Symbols of the same link before stripping: functions and data by size.
$nm -C --size-sort -S "$cross/bench/tessaro_unstripped.exe" >"$results/symbols.txt"
cp "$cross/bench/tessaro.map" "$results/tessaro.map"

# --- splitter, on the host ---------------------------------------------
log "splitter benchmark"
"$native/split_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_format=json >"$results/split.json" 2>"$results/split.stderr"

# --- Wine: both modes, timed by bench/observe.cpp in a private prefix ----
log "timing both modes, $pairs rounds each"
# The harness keeps its booted template; a changed recipe needs a new one.
recipe=$(cksum <"$top/tests/harness/make-template.sh")
if [ "$(cat "$out/wine/template.recipe" 2>/dev/null)" != "$recipe" ]; then
    rm -rf "$out/wine"/template-*
    mkdir -p "$out/wine"
    printf '%s\n' "$recipe" >"$out/wine/template.recipe"
fi
win() { printf 'Z:%s' "$1" | tr / '\\'; }
"$top/tests/harness/wine-test.sh" "$out/wine" "$cross/bench/observe.exe" series "$pairs" \
    "$(win "$cross")" >"$results/runs.txt" 2>"$results/observe.stderr" || {
    cat "$results/observe.stderr" >&2
    exit 1
}
cat /proc/loadavg >"$results/load-end.txt"
wine --version >"$results/wine-version.txt"
# The case it ran in: every figure of one run shares it, floors included.
if emulator=$("$top/scripts/i386-emulator.sh"); then
    qemu=$(sed -n 's/^interpreter //p' "$emulator")
    how="emulated by $("$qemu" --version | head -n 1 | sed 's/ *Copyright.*//')"
else
    how="run natively"
fi
layout=${TESSARO_WINEARCH:-win64}
[ "$layout" = win64 ] && layout="64-bit prefix (WoW64)" || layout="32-bit prefix"
echo "32-bit x86 programs $how; $layout" >"$results/case.txt"
python3 "$top/bench/report.py" "$results" ${docs:+--docs "$docs"}
