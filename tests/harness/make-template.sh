#!/bin/sh
# Boots the template prefix that every test run copies.
set -eu
tmpl=$1
rm -rf "$tmpl"
export WINEPREFIX=$tmpl
wineboot -i >/dev/null 2>&1 </dev/null
reg() { wine reg add "$@" /f >/dev/null 2>&1 </dev/null; }
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
wineserver -w
touch "$tmpl/.ready"
