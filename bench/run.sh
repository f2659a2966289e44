#!/bin/sh
# Measures tessaro against its floors and prints one table.
#   bench/run.sh [--pairs N] [--write-docs]
# Builds into build-bench/ (never build/; TESSARO_BENCH_DIR moves it), times
# both modes under Wine in a private prefix with a persistent wineserver and
# a private Xvfb display, weighs the executables, and runs the splitter's
# host benchmark. --pairs sets the number of rounds (tessaro, its floor,
# the floor with the design's added call; 20 by default). --write-docs also
# rewrites docs/performance.md with this run's figures.
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
[ -f "$native/build.ninja" ] ||
    cmake -G Ninja -S "$top/bench/native" -B "$native" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$native" >/dev/null

results=$out/results
rm -rf "$results"
mkdir -p "$results"
cat /proc/loadavg >"$results/load-start.txt"

# --- size --------------------------------------------------------------
objdump=i686-w64-mingw32-objdump
nm=i686-w64-mingw32-nm
stat -c '%n %s' "$cross/tessaro.exe" "$cross/bench/floor_empty.exe" \
    "$cross/bench/floor_open.exe" "$cross/bench/floor_dialog.exe" >"$results/sizes.txt"
$objdump -h "$cross/tessaro.exe" >"$results/sections.txt"
$objdump -h "$cross/bench/floor_empty.exe" >"$results/sections-empty.txt"
# Symbols of the same link before stripping: functions and data by size.
$nm -C --size-sort -S "$cross/bench/tessaro_unstripped.exe" >"$results/symbols.txt"
cp "$cross/bench/tessaro.map" "$results/tessaro.map"

# --- splitter, on the host ---------------------------------------------
log "splitter benchmark"
"$native/split_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_format=json >"$results/split.json" 2>"$results/split.stderr"

# --- Wine --------------------------------------------------------------
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wineroot=$out/wine
mkdir -p "$wineroot"
[ -f "$wineroot/template/.ready" ] || {
    log "booting the template prefix"
    "$top/tests/harness/make-template.sh" "$wineroot/template"
}
prefix=$(mktemp -d "$wineroot/run.XXXXXX")
xpid=
cleanup() {
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    [ -z "$xpid" ] || kill "$xpid" 2>/dev/null || true
    rm -rf "$prefix"
}
trap cleanup EXIT INT TERM
# The registry files are rewritten in place: copies, not links.
cp -al "$wineroot/template/." "$prefix/"
for f in system.reg user.reg userdef.reg; do
    cp --remove-destination "$wineroot/template/$f" "$prefix/$f"
done
export WINEPREFIX="$prefix"

displayfile=$prefix/.display
Xvfb -displayfd 7 -screen 0 1280x900x24 -nolisten tcp 7>"$displayfile" 2>/dev/null &
xpid=$!
i=0
while [ ! -s "$displayfile" ] && [ $i -lt 100 ]; do sleep 0.05; i=$((i + 1)); done
DISPLAY=":$(cat "$displayfile")"
export DISPLAY
wineserver -p >/dev/null 2>&1 </dev/null

observe=$cross/bench/observe.exe
# One desktop for the whole series, as a real session has (bench/hold.cpp);
# started first, so that it does not join a desktop that is about to end.
wine "$cross/bench/hold.exe" >"$prefix/.hold" 2>/dev/null </dev/null &
i=0
while ! grep -q ready "$prefix/.hold" 2>/dev/null && [ $i -lt 600 ]; do sleep 0.05; i=$((i + 1)); done
grep -q ready "$prefix/.hold" || { echo "bench: no desktop" >&2; exit 1; }

win() { printf 'Z:%s' "$1" | tr / '\\'; }
tessaro=$(win "$cross/tessaro.exe")
floor_open=$(win "$cross/bench/floor_open.exe")
floor_dialog=$(win "$cross/bench/floor_dialog.exe")
floor_open_comctl=$(win "$cross/bench/floor_open_comctl.exe")
floor_dialog_icon=$(win "$cross/bench/floor_dialog_icon.exe")
caption='tessaro の関連づけ'

# Two folder verbs with commands, so the dialog has lists to fill (Wine's
# own Folder key has none).
verbs=2
for v in $(seq 1 $verbs); do
    wine reg add "HKCR\\Folder\\shell\\bench$v\\command" /ve /d "notepad.exe \"%1\"" /f \
        >/dev/null 2>&1 </dev/null
done
# One real shortcut to a file; its folder window is titled "sub".
mkdir -p "$prefix/drive_c/bench/sub"
echo target >"$prefix/drive_c/bench/sub/target.txt"
lnk='C:\bench\target.lnk'
wine "$observe" shortcut "$lnk" 'C:\bench\sub\target.txt' </dev/null >/dev/null 2>&1 ||
    { echo "bench: could not write the shortcut" >&2; exit 1; }

# One timed run: appends "NAME ms ok desktop" to FILE.
run() {
    file=$1 name=$2
    shift 2
    line=$(wine "$observe" "$@" </dev/null 2>>"$results/observe.stderr" | tr -d '\r')
    case $line in
    ms=*) echo "$name $line" | sed 's/ms=//; s/ok=//; s/desktop=//' >>"$file" ;;
    *) log "no timing from: $*"; echo "$name 0 0 0" >>"$file" ;;
    esac
}
# A folder window closed less than about two seconds ago swallows the next
# open under Wine.
settle=2
open_run() { run "$1" "$2" exit sub "$3" "$4" ${5:+"$5"}; sleep $settle; }
dialog_run() { run "$1" "$2" dialog "$caption" "$3" "$4"; }
# Each round runs tessaro, its floor, then the floor plus the one platform
# call the design adds (bench/CMakeLists.txt), so all three share the load.
open_round() {
    open_run "$1" tessaro "$tessaro" '/verb:"open"' "\"$lnk\""
    open_run "$1" floor "$floor_open" "$lnk"
    open_run "$1" design "$floor_open_comctl" "$lnk"
}
dialog_round() {
    dialog_run "$1" tessaro $verbs "$tessaro"
    dialog_run "$1" floor 0 "$floor_dialog"
    dialog_run "$1" design 0 "$floor_dialog_icon"
}

# The first starts in a fresh prefix pay for loading it: not counted.
log "warming up"
for _ in 1 2; do
    open_round "$results/warmup.txt"
    dialog_round "$results/warmup.txt"
done

log "OpenMode: $pairs rounds"
for _ in $(seq 1 "$pairs"); do open_round "$results/open.txt"; done
log "InstallMode: $pairs rounds"
for _ in $(seq 1 "$pairs"); do dialog_round "$results/dialog.txt"; done

wine --version >"$results/wine-version.txt"
python3 "$top/bench/report.py" "$results" ${docs:+--docs "$docs"}
