#!/bin/sh
# Prints the binfmt_misc entry that hands 32-bit x86 programs to an
# emulator, and fails when there is none (they then run natively, or not
# at all: scripts/setup.sh tells which).
for entry in /proc/sys/fs/binfmt_misc/*; do
    grep -qx enabled "$entry" 2>/dev/null &&
        grep -qx 'magic 7f454c4601010100000000000000000002000300' "$entry" &&
        echo "$entry" && exit 0
done
exit 1
