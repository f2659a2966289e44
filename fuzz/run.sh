#!/bin/sh
# Builds the native fuzz targets and runs each in turn; fails when any of
# them finds something.
#
#   fuzz/run.sh [BUILD_DIR [SECONDS [libFuzzer options...]]]
#
# BUILD_DIR defaults to build-fuzz at the top of the checkout. SECONDS per
# target defaults to 20; 0 lifts the time limit, for use with -runs=N.
# What a run adds to the corpus stays in BUILD_DIR/corpus; a finding is
# kept as BUILD_DIR/findings/<target>-crash-*.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$(dirname "$here")/build-fuzz}
seconds=${2:-20}
[ $# -gt 0 ] && shift
[ $# -gt 0 ] && shift
mkdir -p "$build"
build=$(cd "$build" && pwd)

# The main tree cross-compiles for Windows: none of its setting may leak in.
unset CMAKE_TOOLCHAIN_FILE CMAKE_GENERATOR CC CXX CFLAGS CXXFLAGS LDFLAGS
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build"

mkdir -p "$build/findings"
failed=""
for target in "$build"/fuzz_*; do
    name=${target##*/fuzz_}
    seeds=$here/corpus/$name
    if [ ! -d "$seeds" ]; then
        echo "$name: no seed corpus in $seeds" >&2
        failed="$failed $name"
        continue
    fi
    mkdir -p "$build/corpus/$name"
    log=$build/$name.log
    # New inputs go to the first directory, so the committed seeds stay as
    # they are.
    if "$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$build/findings/$name-" "$@" "$build/corpus/$name" "$seeds" \
        >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "$name: $runs runs, no finding"
    else
        tail -n 40 "$log" >&2
        echo "$name: FINDING (log $log)" >&2
        failed="$failed $name"
    fi
done
[ -z "$failed" ] || { echo "fuzz: failed:$failed" >&2; exit 1; }
