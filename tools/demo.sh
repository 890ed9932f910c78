#!/usr/bin/env bash
# Installs what is needed, builds SETUP.EXE and the sample medium with its floppy image, and tries
# the image with tools/try-medium.sh, the disk author's command: the setup from drive A: in a fresh
# Wine prefix, what it changed, the uninstall, and what is left. With a usable X display you click
# through it yourself; without one the pages are walked by themselves and saved as PNGs in out/.
# With --two-floppies the sample ships as a set of two floppies, one for each disk of its script
# (setup-medium --floppy-set), and the setup asks for the second: without a display, disk 2 goes
# into drive A: when it asks and OK is pressed.
# Usage: demo.sh [--two-floppies]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SETUP_BUILD_DIR:-$root/build}
out=$root/out
jobs=$(nproc)
images=(medium.img)
case ${1:-} in
  "") ;;
  --two-floppies) images=(sample-set/kestrel-1.img sample-set/kestrel-2.img) ;;
  *) echo "usage: demo.sh [--two-floppies]" >&2; exit 2 ;;
esac
. "$root/tools/wine-env.sh"

"$root/tools/install-deps.sh"

configure() { # dir, extra cmake args...
  local dir=$1; shift
  cmake -G Ninja -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}

# setup-medium, which lays out the sample medium and its floppy image, is built natively.
cmake -G Ninja -S "$root" -B "$build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build/native" -j "$jobs" --target setup_medium
medium_tool=-DSETUP_MEDIUM_TOOL="$build/native/setup-medium"

# The release SETUP.EXE is always the 32-bit one. Where this machine cannot run 32-bit code, the
# demo runs a 64-bit build of the same sources under 64-bit Wine.
if can_run_32bit; then
  arch=win32 run_build=$build/win32
  configure "$run_build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" "$medium_tool"
else
  arch=win64 run_build=$build/win64
  configure "$build/win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" \
    -DSETUP_WIN32_TESTS=OFF "$medium_tool"
  cmake --build "$build/win32" -j "$jobs" --target setup_exe sample_medium
  echo "No 32-bit Wine here: running the 64-bit build of SETUP.EXE under 64-bit Wine."
  configure "$run_build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake" \
    "$medium_tool"
fi
cmake --build "$run_build" -j "$jobs" --target setup_exe sample_medium sample_set setup_driver
echo "SETUP.EXE for Windows 95/98: $(stat -c %s "$build/win32/SETUP.EXE") bytes, UNINSTAL.EXE: $(stat -c %s "$build/win32/UNINSTAL.EXE") bytes"

# The sample medium's floppy image (or its set of two), tried as a disk author tries theirs.
exec "$root/tools/try-medium.sh" --arch "$arch" --build "$run_build" --out "$out" \
  "${images[@]/#/$run_build/}"
