#!/bin/sh
# Builds tessaro.exe and runs it under Wine: without arguments it shows the
# installer dialog; arguments are passed on (shortcut paths, /verb:...).
# Uses $DISPLAY when set, otherwise a private Xvfb display.
# One line per step; each tool's own output goes to a log under build/ and
# is shown when that step fails. Exits with tessaro.exe's exit code.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
mkdir -p "$top/build"

# fail STEP LOG: names the step and shows the failing tool's own output.
fail() {
    echo "run: FAILED: $1; its output ($2) follows" >&2
    cat "$2" >&2
    exit 1
}

log=$top/build/build.log
echo "run: building tessaro.exe (output in $log)"
"$top/scripts/build.sh" --target tessaro >"$log" 2>&1 </dev/null || fail "the build" "$log"

# A 64-bit prefix, as today's Windows: tessaro runs under WoW64 there.
# TESSARO_WINEARCH=win32 gives the layout of the older, 32-bit systems.
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 WINEARCH="${TESSARO_WINEARCH:-win64}"
export WINEDEBUG="${WINEDEBUG:--all}"
# A prefix of the caller's own is used as it is: booting one starts by
# deleting it.
if [ -z "${WINEPREFIX:-}" ]; then
    export WINEPREFIX="$top/build/wine/user"
    if [ "$(cat "$WINEPREFIX/.ready" 2>/dev/null)" != "$WINEARCH" ]; then
        echo "run: booting the Wine prefix $WINEPREFIX (output in $WINEPREFIX.log)"
        # It names its failing step and shows its log itself.
        "$top/tests/harness/make-template.sh" "$WINEPREFIX"
    fi
fi

xpid=
wpid=
displayfile=
cleanup() {
    if [ -n "${interrupted:-}" ]; then
        [ -z "$wpid" ] || kill "$wpid" 2>/dev/null || true
        # Nothing may keep running on a display that goes away.
        [ -z "$xpid" ] || wineserver -k 2>/dev/null || true
    fi
    if [ -n "$xpid" ]; then
        kill "$xpid" 2>/dev/null || true
        wait "$xpid" 2>/dev/null || true
    fi
    [ -z "$displayfile" ] || rm -f "$displayfile"
}
trap cleanup EXIT
trap 'interrupted=1; exit 130' INT
trap 'interrupted=1; exit 143' TERM
if [ -z "${DISPLAY:-}" ]; then
    log=$top/build/xvfb.log
    displayfile=$(mktemp)
    Xvfb -displayfd 7 -screen 0 1280x900x24 -nolisten tcp 7>"$displayfile" 2>"$log" &
    xpid=$!
    while [ ! -s "$displayfile" ]; do
        kill -0 "$xpid" 2>/dev/null || { xpid=; fail "starting Xvfb" "$log"; }
        sleep 0.05
    done
    export DISPLAY=:$(cat "$displayfile")
    echo "No \$DISPLAY: running on the private display $DISPLAY"
fi

# In the background, so that a signal is handled at once and not only
# after tessaro has ended.
wine "$top/build/tessaro.exe" "$@" &
wpid=$!
rc=0
wait "$wpid" || rc=$?
wpid=
if [ -n "$xpid" ]; then
    # Wine's desktop and services outlive the program for a few seconds;
    # a display stopped under them makes each one report an X I/O error.
    # Windows left open on a display nobody sees (a folder that OpenMode
    # opened) would keep them forever, so they get a bound.
    if ! timeout 30 wineserver -w; then
        echo "run: Wine programs still run on $DISPLAY after 30 s; ending them"
        wineserver -k 2>/dev/null || true
        wineserver -w
    fi
fi
echo "tessaro.exe exited with $rc"
exit $rc
