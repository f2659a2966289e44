#!/bin/sh
# Pictures of the dialog (closed, and with the .lnk pane open), of the
# about box, of a folder opened with /select and of the dialog at 200 per
# cent, taken from the real windows under Wine, into docs/img/.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" >/dev/null
out=$top/docs/img
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
win() { printf 'Z:%s' "$1" | tr / '\\'; }
"$top/tests/harness/wine-test.sh" "$top/build/wine" "$top/build/shots/shoot.exe" \
    "$(win "$top/build/tessaro.exe")" "$(win "$work")" 2>/dev/null &
shooter=$!
for name in select dialog dialog-lnk about dialog-200; do
    i=0
    while [ ! -s "$work/$name.rect" ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i + 1)); done
    read -r display geometry <"$work/$name.rect"
    DISPLAY=$display import -window root -crop "$geometry" +repage -strip "$out/$name.png"
    touch "$work/$name.done"
    echo "docs/img/$name.png ($geometry)"
done
wait $shooter
