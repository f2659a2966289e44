#!/bin/sh
# tessaro.exe must start on a bare Windows: PE32, GUI subsystem 4.0, system
# DLLs only, and at most 44 KiB with its resources.
set -eu
exe=$1
objdump=$2
fail=0
dump=$("$objdump" -p "$exe")
allowed='kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll comctl32.dll version.dll msvcrt.dll'
for dll in $(printf '%s\n' "$dump" | awk '/DLL Name:/ {print tolower($3)}'); do
    case " $allowed " in
    *" $dll "*) echo "import: $dll" ;;
    *) echo "FAIL: imports $dll, which a bare Windows lacks"; fail=1 ;;
    esac
done
printf '%s\n' "$dump" | grep -q 'file format pei-i386' || { echo "FAIL: not PE32"; fail=1; }
printf '%s\n' "$dump" | grep -Eq '^Subsystem[[:space:]]+0+2[[:space:]]' || { echo "FAIL: not the GUI subsystem"; fail=1; }
printf '%s\n' "$dump" | grep -Eq '^MajorSubsystemVersion[[:space:]]+4$' || { echo "FAIL: subsystem version is not 4"; fail=1; }
printf '%s\n' "$dump" | grep -Eq '^MinorSubsystemVersion[[:space:]]+0$' || { echo "FAIL: subsystem version is not 4.0"; fail=1; }
size=$(stat -c %s "$exe")
echo "size: $size bytes"
[ "$size" -le 45056 ] || { echo "FAIL: larger than 44 KiB"; fail=1; }
exit $fail
