#!/usr/bin/env bash
# Installs what is needed, builds SETUP.EXE, lays out the sample medium and its floppy image with
# setup-medium, and runs the setup under Wine from drive A:, which holds what was read back from
# the image. With a usable X display you click through it yourself. Without one it runs under
# Xvfb, walks every page automatically (Next, Next, the copy, Finish with "No"), saves a PNG of
# each page in out/, prints what was installed, and then runs the uninstall entry's command
# (UNINSTAL.EXE, answered with Yes) and prints what is left.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SETUP_BUILD_DIR:-$root/build}
out=$root/out
jobs=$(nproc)
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
  echo "This machine runs no 32-bit code: running the 64-bit build of SETUP.EXE under 64-bit Wine."
  configure "$run_build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake" \
    "$medium_tool"
fi
cmake --build "$run_build" -j "$jobs" --target setup_exe sample_medium setup_driver
echo "SETUP.EXE for Windows 95/98: $(stat -c %s "$build/win32/SETUP.EXE") bytes, UNINSTAL.EXE: $(stat -c %s "$build/win32/UNINSTAL.EXE") bytes"

# A fresh prefix; the medium is drive A:, and the system has one joystick driver key and one
# game-controller device (the key that the script's HKR lines write below).
wine_select "$arch"
export WINEPREFIX=$out/wine-prefix
rm -rf "$out"
mkdir -p "$out"
"$root/tools/make-wine-prefix.sh" "$arch" "$WINEPREFIX"
cp -r "$run_build/medium" "$out/medium"
ln -sfn "$out/medium" "$WINEPREFIX/dosdevices/a:"
joystick='HKLM\System\CurrentControlSet\control\MediaResources\joystick\msjstick.drv<0000>'
device='HKLM\System\CurrentControlSet\Services\Class\MEDIA\0000'
prepare_system() {
  "$WINE_LOADER" reg add "$joystick\\CurrentJoystickSettings" /f >/dev/null 2>&1
  "$WINE_LOADER" reg add "$device\\Drivers\\joystick" /f >/dev/null 2>&1
}

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  prepare_system
  "$WINE_LOADER" 'A:\SETUP.EXE'
  "$WINE_SERVER" -w
  exit 0
fi

# Headless: a display of our own, and the driver takes the user's place.
Xvfb -displayfd 8 -screen 0 800x600x24 -nolisten tcp 8>"$out/display" >/dev/null 2>&1 &
xvfb=$!
trap '"$WINE_SERVER" -k 2>/dev/null; kill $xvfb 2>/dev/null' EXIT
for _ in $(seq 1 100); do [ -s "$out/display" ] && break; sleep 0.05; done
export DISPLAY=:$(cat "$out/display")
"$WINE_SERVER" -p
prepare_system

driver() { "$WINE_LOADER" "$run_build/tests/win32/setup_driver.exe" "$@"; }
shot() { sleep 0.5; /usr/bin/import -window root "$out/$1.png"; echo "  saved out/$1.png"; }

"$WINE_LOADER" 'A:\SETUP.EXE' &
setup=$!
echo "Welcome page: $(driver wait SETUP_BEGIN)"
shot 1-welcome
driver click SETUP_BEGIN 1
echo "Destination page: $(driver wait SETUP_SELDIR), destination $(driver text SETUP_SELDIR 1003)"
shot 2-destination
driver click SETUP_SELDIR 1
echo "Asked: $(driver box 1)"
driver wait SETUP_INSTALL >/dev/null && echo "Copy page"
shot 3-copy
echo "Finish page: $(driver wait SETUP_END 120)"
shot 4-finish
driver click SETUP_END 1033
driver click SETUP_END 1
wait $setup || true
if driver wait '#32770' 20 >/dev/null; then
  shot 5-control-panel
  driver close '#32770'
  driver gone '#32770' 10 || true
fi

echo
echo "Installed files:"
(cd "$WINEPREFIX/drive_c" && find KESTREL windows/system/KESTREL.VXD windows/system/KPANEL.DLL \
  windows/inf/KESTREL.INF -type f -printf '  C:/%p  %s bytes\n' 2>/dev/null | sort)
echo
echo "Registry values written:"
for key in 'HKLM\SOFTWARE\Kestrel' "$device" \
           'HKCR\KestrelGamepad.Profile' \
           'HKLM\System\CurrentControlSet\control\MediaResources\joystick' \
           'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Kestrel Gamepad'; do
  { "$WINE_LOADER" reg query "$key" /s 2>/dev/null || true; } | tr -d '\r' | sed -n '/./s/^/  /p'
done

# The uninstall entry's command, as "Add/Remove Programs" runs it, answered with Yes.
echo
"$WINE_LOADER" 'C:\KESTREL\UNINSTAL.EXE' &
uninstall=$!
echo "Uninstall: $(driver wait '#32770')"
shot 6-uninstall
echo "  $(driver box 6)"
sleep 2
shot 7-uninstalled
echo "  $(driver box 1)"
wait $uninstall || true
echo
echo "Left after the uninstall (UNINSTAL.EXE goes at the next start of Windows):"
(cd "$WINEPREFIX/drive_c" && find KESTREL windows/system/KESTREL.VXD windows/system/KPANEL.DLL \
  windows/inf/KESTREL.INF -printf '  C:/%p\n' 2>/dev/null | sort) || true
wininit=$(find "$WINEPREFIX/drive_c/windows" -maxdepth 1 -iname wininit.ini)
echo "  WININIT.INI: $(tr -d '\r' <"$wininit" | tr '\n' ' ')"
