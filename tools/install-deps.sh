#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian 12: the MinGW-w64 i686 cross
# compiler, clang with its libFuzzer and sanitizer runtimes (libclang-rt-dev, which clang only
# recommends), 32-bit Wine with a headless X server, ImageMagick, mscompress (msexpand checks the
# medium builder's compression), mtools and xorriso (the medium builder's floppy and CD images),
# CMake, Ninja and the GoogleTest sources. Idempotent: when every package is present it only
# checks and returns.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-dev googletest libgtest-dev libgmock-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine64 xvfb xdotool x11-apps imagemagick
  mscompress mtools xorriso python3
)
i386_packages=(wine32:i386)

missing=()
for p in "${packages[@]}" "${i386_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ -x /usr/lib/wine/wine ] || missing+=(wine32:i386)

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
echo "Installing: ${missing[*]}" >&2
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${packages[@]}" "${i386_packages[@]}" >/dev/null

if [ ! -x /usr/lib/wine/wine ]; then
  echo "32-bit Wine (/usr/lib/wine/wine) is missing after the install" >&2
  exit 1
fi
