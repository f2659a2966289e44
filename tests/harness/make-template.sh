#!/bin/sh
# Boots the template prefix that every test run copies, and the prefix that
# scripts/run.sh uses. Wine's own output goes to TEMPLATE.log, beside the
# prefix; when a step fails, that step is named and the log is shown.
set -eu
tmpl=$1
rm -rf "$tmpl"
# wineboot cannot make a prefix whose parent folder is missing.
mkdir -p "$(dirname "$tmpl")"
log=$tmpl.log
: >"$log"
export WINEPREFIX=$tmpl
# No Mono or Gecko installer dialog, no menu entries in the user's desktop.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
step() {
    what=$1
    shift
    printf '\n=== %s\n' "$what" >>"$log"
    if ! "$@" >>"$log" 2>&1 </dev/null; then
        echo "make-template.sh: FAILED: $what (prefix $tmpl); its output follows" >&2
        cat "$log" >&2
        exit 1
    fi
}
reg() { step "wine reg add $*" wine reg add "$@" /f; }
step "wineboot -i" wineboot -i
# Without these, kana and kanji in the dialog fonts come out as boxes.
for face in 'ＭＳ Ｐゴシック' 'ＭＳ ゴシック' 'MS Shell Dlg' 'MS Shell Dlg 2' 'Tahoma' 'MS UI Gothic'; do
    reg 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d IPAPGothic
done
# Xvfb has no window manager: Wine draws the frames itself, and unmanaged
# windows are destroyed without the two-second wait.
reg 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
# A crash ends the process with a backtrace instead of a dialog that waits.
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
# Windows maps ".exe" to "exefile", whose icon is the program's own; Wine's
# prefix lacks the key, and every program then shows the shell's default.
reg 'HKCR\.exe' /ve /d exefile
step "wineserver -w" wineserver -w
# The layout it was booted with: a prefix serves only that one.
echo "${WINEARCH:-win64}" >"$tmpl/.ready"
