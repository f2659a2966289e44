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
for p in $pkgs; do have "$p" || need="$need $p"; done

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

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
    release=$(. /etc/os-release && echo "$VERSION_CODENAME")
    # shellcheck disable=SC2086
    if ! step "installing $count packages:$need" $install $need; then
        # shellcheck disable=SC2086
        step "the install did not resolve; installing the $count packages from $release itself" \
            $install -t "$release" $need || fail "apt-get install"
    fi
fi

# Wine takes the ANSI code page from the Unix locale; without ja_JP it
# silently falls back to 1252 and every Shift-JIS test means nothing.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    gen() {
        $sudo sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
        grep -q '^ja_JP.UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen
        $sudo locale-gen
    }
    step "generating the ja_JP.UTF-8 locale" gen || fail "locale-gen"
fi
[ -z "$started" ] || echo "setup: done"
