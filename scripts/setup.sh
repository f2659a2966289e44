#!/bin/sh
# Installs what building and testing tessaro needs on Debian 12.
# Idempotent: when everything is present it only checks and returns.
# One line per step on the screen; apt's own output goes to a log that is
# shown in full only when a step fails.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)

need=""
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

pkgs="cmake ninja-build g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32:i386 wine64 \
xvfb xdotool imagemagick fonts-ipafont-gothic locales googletest python3 clang \
clang-format"
# The benchmarks: the splitter's host build and Google Benchmark.
pkgs="$pkgs g++ libbenchmark-dev"
# The fuzz targets: libFuzzer and the sanitizer runtimes of the host's clang.
pkgs="$pkgs libclang-rt-14-dev"
# Test support: real Windows Installer packages, built at test time.
pkgs="$pkgs wixl"
for p in $pkgs; do have "$p" || need="$need $p"; done

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
release=$(. /etc/os-release && echo "$VERSION_CODENAME")

log=$top/build/setup.log
started=
# step TEXT COMMAND...: one line on the screen, the command's output in the log.
step() {
    if [ -z "$started" ]; then
        mkdir -p "$top/build"
        : >"$log"
        echo "setup: apt's output goes to $log"
        started=1
    fi
    printf 'setup: %s\n' "$1"
    printf '\n=== %s\n' "$1" >>"$log"
    shift
    "$@" >>"$log" 2>&1 </dev/null
}
fail() {
    echo "setup: FAILED: $1; the log follows" >&2
    cat "$log" >&2
    exit 1
}

if [ -n "$need" ]; then
    count=$(echo $need | wc -w)
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        step "adding the i386 architecture (wine32 is an i386 package)" \
            $sudo dpkg --add-architecture i386 || fail "dpkg --add-architecture i386"
    fi
    # A mirror in mid-sync can fail one index (seen: the i386 security list);
    # apt then keeps the others, which is enough when the install resolves.
    step "updating the package lists" $sudo apt-get update -q ||
        echo "setup: apt-get update reported errors (see the log); going on"
    install="$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends"
    # Without one architecture's security list, its packages cannot match the
    # other's newer versions; the release's own versions always pair up.
    # shellcheck disable=SC2086
    if ! step "installing $count packages:$need" $install $need; then
        # shellcheck disable=SC2086
        step "the install did not resolve; installing the $count packages from $release itself" \
            $install -t "$release" $need || fail "apt-get install"
    fi
fi

# Wine takes the ANSI code page from the Unix locale; without ja_JP it
# silently falls back to 1252 and every Shift-JIS test means nothing.
# hi_IN has no ANSI code page of its own, so Wine gives it UTF-8 (65001),
# as Windows does with its "Use Unicode UTF-8" box ticked.
for loc in ja_JP hi_IN; do
    locale -a 2>/dev/null | grep -qix "$loc.utf8" && continue
    gen() {
        $sudo sed -i "s/^# *$loc\\.UTF-8 /$loc.UTF-8 /" /etc/locale.gen
        grep -q "^$loc.UTF-8" /etc/locale.gen || echo "$loc.UTF-8 UTF-8" | $sudo tee -a /etc/locale.gen
        $sudo locale-gen
    }
    step "generating the $loc.UTF-8 locale" gen || fail "locale-gen"
done

# Some kernels refuse every 32-bit x86 program ("Exec format error"), so
# Wine's 32-bit loader never starts. There a user-mode emulator, registered
# with binfmt_misc for i386 ELF programs and shared objects, runs it
# unchanged. qemu before 8.1 needs close to a minute of CPU per Wine process
# start; bookworm-backports has a recent one with no dependencies.
# TESSARO_EMULATE_I386=1 registers it on any machine (then every 32-bit
# program of the machine runs emulated, until a reboot or
# TESSARO_EMULATE_I386=0, which removes that registration again).
binfmt=/proc/sys/fs/binfmt_misc
entry=$binfmt/tessaro-i386
runs32() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
if [ "${TESSARO_EMULATE_I386:-}" = 0 ] && [ -e "$entry" ]; then
    echo -1 | $sudo tee "$entry" >/dev/null
fi
if [ "${TESSARO_EMULATE_I386:-}" = 1 ] || { [ ! -e "$entry" ] && ! runs32; }; then
    if ! qemu-i386 --version 2>/dev/null | grep -Eq 'version (8\.[1-9]|9\.|[1-9][0-9])'; then
        suite=$release-backports
        if ! grep -rqs "$suite" /etc/apt/sources.list /etc/apt/sources.list.d; then
            add() { echo "deb http://deb.debian.org/debian $suite main" | $sudo tee "/etc/apt/sources.list.d/$suite.list"; }
            step "adding the $suite suite (for a recent qemu-user)" add || fail "adding $suite"
            step "updating the package lists" $sudo apt-get update -q ||
                echo "setup: apt-get update reported errors (see the log); going on"
        fi
        # Only qemu-user from backports; anything else it needed would come
        # from the release.
        step "installing qemu-user from $suite" $sudo env DEBIAN_FRONTEND=noninteractive \
            apt-get install -y -q --no-install-recommends "qemu-user/$suite" ||
            fail "installing qemu-user from $suite"
    fi
    if [ ! -e "$binfmt/register" ]; then
        step "mounting binfmt_misc" $sudo mount -t binfmt_misc binfmt_misc "$binfmt" ||
            fail "mounting binfmt_misc"
    fi
    if [ ! -e "$entry" ]; then
        # F: the kernel opens the emulator now, so it works in any mount
        # namespace and chroot. The mask also takes shared objects.
        magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
        mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
        register() {
            printf ':tessaro-i386:M::%s:%s:%s:F\n' "$magic" "$mask" "$(command -v qemu-i386)" |
                $sudo tee "$binfmt/register"
        }
        step "registering qemu-i386 for 32-bit x86 programs" register ||
            fail "registering qemu-i386 with binfmt_misc"
    fi
    runs32 || {
        echo "setup: FAILED: 32-bit x86 programs do not run, not even through qemu-i386" \
            "($(qemu-i386 --version | head -n 1)); Wine cannot start" >&2
        exit 1
    }
    echo "setup: 32-bit x86 programs run emulated by $(qemu-i386 --version | head -n 1 | sed 's/ *Copyright.*//')"
elif emulator=$("$top/scripts/i386-emulator.sh"); then
    echo "setup: 32-bit x86 programs run emulated (binfmt_misc entry $emulator)"
else
    echo "setup: 32-bit x86 programs run natively"
fi
[ -z "$started" ] || echo "setup: done"
