#!/bin/sh
# Installs what building and testing tessaro needs on Debian 12.
# Idempotent: when everything is present it only checks and returns.
set -eu

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

if [ -n "$need" ]; then
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
    fi
    # A mirror in mid-sync can fail one index (seen: the i386 security list);
    # apt then keeps the others, which is enough when the install resolves.
    $sudo apt-get update -qq || echo "setup: apt-get update reported errors; going on" >&2
    install="$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends"
    # Without one architecture's security list, its packages cannot match the
    # other's newer versions; the release's own versions always pair up.
    # shellcheck disable=SC2086
    $install $need || $install -t "$(. /etc/os-release && echo "$VERSION_CODENAME")" $need
fi

# Wine takes the ANSI code page from the Unix locale; without ja_JP it
# silently falls back to 1252 and every Shift-JIS test means nothing.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    $sudo sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
fi
