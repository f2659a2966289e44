#!/bin/sh
# Runs one Windows test program under Wine in a private prefix.
#   wine-test.sh ROOT PROGRAM [ARGS...]
# ROOT holds the booted template prefixes (made once, under a lock, because
# booting takes seconds while copying takes one). Each run gets its own
# copy, its own persistent wineserver and its own Xvfb display, so runs in
# parallel never share registry, windows or cursor.
# TESSARO_SCREEN sets the display's size (1280x900 unless given).
# TESSARO_WINEARCH picks the prefix's layout: win64 (the default) runs the
# 32-bit programs under WoW64 as today's Windows does, win32 is the layout
# of Windows 95 to the 32-bit Windows 10.
# TESSARO_LOCALE sets the Unix locale, from which Wine takes the ANSI code
# page (ja_JP.UTF-8, code page 932, unless given).
set -eu
mkdir -p "$1"
root=$(cd "$1" && pwd)
shift
here=$(cd "$(dirname "$0")" && pwd)

export LANG="${TESSARO_LOCALE:-ja_JP.UTF-8}"
export LC_ALL="$LANG"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH="${TESSARO_WINEARCH:-win64}"
# Tests that wait on Wine's own one-second timeouts need to know whether
# its 32-bit programs run through an emulator (scripts/setup.sh).
TESSARO_EMULATED_I386=0
! "$here/../../scripts/i386-emulator.sh" >/dev/null || TESSARO_EMULATED_I386=1
export TESSARO_EMULATED_I386
template=$root/template-$WINEARCH

(
    flock 9
    [ -f "$template/.ready" ] || "$here/make-template.sh" "$template"
) 9>"$template.lock"

prefix=$(mktemp -d "$root/run.XXXXXX")
xpid=
cleanup() {
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    [ -z "$xpid" ] || kill "$xpid" 2>/dev/null || true
    rm -rf "$prefix"
}
trap cleanup EXIT INT TERM

# Hard links are safe for everything but the registry files, which
# wineserver rewrites in place.
cp -al "$template/." "$prefix/"
for f in system.reg user.reg userdef.reg; do
    cp --remove-destination "$template/$f" "$prefix/$f"
done
export WINEPREFIX=$prefix

exec 8<>/dev/null
displayfile=$prefix/.display
Xvfb -displayfd 7 -screen 0 ${TESSARO_SCREEN:-1280x900}x24 -nolisten tcp 7>"$displayfile" 2>/dev/null &
xpid=$!
i=0
while [ ! -s "$displayfile" ] && [ $i -lt 100 ]; do sleep 0.05; i=$((i + 1)); done
export DISPLAY=:$(cat "$displayfile")

wineserver -p >/dev/null 2>&1 </dev/null
# Wine's debug channels write to the Unix standard error, which children
# share; the tests read it back from this file.
log=$prefix/wine-stderr.log
export TESSARO_WINE_LOG="Z:$(printf '%s' "$log" | tr / '\\')"
set +e
wine "$@" </dev/null 2>"$log"
rc=$?
set -e
grep -av ':trace:' "$log" >&2 || true
exit $rc
