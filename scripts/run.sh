#!/bin/sh
# Builds tessaro.exe and runs it under Wine: without arguments it shows the
# installer dialog; arguments are passed on (shortcut paths, /verb:...).
# Uses $DISPLAY when set, otherwise a private Xvfb display.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" >/dev/null

export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEPREFIX="${WINEPREFIX:-$top/build/wine/user}"
if [ ! -f "$WINEPREFIX/.ready" ]; then
    "$top/tests/harness/make-template.sh" "$WINEPREFIX"
fi
if [ -z "${DISPLAY:-}" ]; then
    displayfile=$(mktemp)
    Xvfb -displayfd 7 -screen 0 1280x900x24 -nolisten tcp 7>"$displayfile" 2>/dev/null &
    xpid=$!
    trap 'kill $xpid 2>/dev/null || true; rm -f "$displayfile"' EXIT
    while [ ! -s "$displayfile" ]; do sleep 0.05; done
    export DISPLAY=:$(cat "$displayfile")
    echo "No \$DISPLAY: running on the private display $DISPLAY"
fi
set +e
wine "$top/build/tessaro.exe" "$@"
rc=$?
echo "tessaro.exe exited with $rc"
exit $rc
