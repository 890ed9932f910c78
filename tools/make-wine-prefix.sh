#!/usr/bin/env bash
# Makes a Wine prefix for running SETUP.EXE and the Win32 tests: Windows 98 reported to the
# package's programs (SETUP.EXE, UNINSTAL.EXE), Windows 98's colours, unmanaged windows (no
# window-manager stalls under Xvfb), Wine's own fonts, and another program's files and settings,
# as a machine in use holds them (the tests check that they outlive an install and its uninstall).
# Usage: make-wine-prefix.sh win32|win64 DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
wine_select "$1"
export WINEPREFIX=$2
unset DISPLAY
rm -rf "$WINEPREFIX"
mkdir -p "$(dirname "$WINEPREFIX")"
"$WINE_LOADER" wineboot -i >/dev/null 2>&1
# The settings, imported at once: one Wine program instead of one for each value.
settings=$(mktemp /tmp/setup-prefix.XXXXXX.reg)
cat >"$settings" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\AppDefaults\SETUP.EXE]
"Version"="win98"

[HKEY_CURRENT_USER\Software\Wine\AppDefaults\UNINSTAL.EXE]
"Version"="win98"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="N"

; The colours of Windows 98's standard scheme, so that controls sit on the same grey as the pages.
[HKEY_CURRENT_USER\Control Panel\Colors]
"ButtonFace"="192 192 192"
"Menu"="192 192 192"
"ButtonShadow"="128 128 128"
"ActiveTitle"="0 0 128"
"TitleText"="255 255 255"
"GradientActiveTitle"="16 132 208"
"InactiveTitle"="128 128 128"

; Another program: "Falcon Stick", with a shared file in SYSTEM and its use count, settings of its
; own, an uninstall entry and a file type.
[HKEY_LOCAL_MACHINE\SOFTWARE\Falcon\Stick]
"Mode"="fast"
"Speed"=dword:00000003

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\SharedDLLs]
"C:\\windows\\system\\FALSHARE.DLL"=dword:00000001

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Falcon Stick]
"DisplayName"="Falcon Stick"
"UninstallString"="C:\\FALCON\\UNFALCON.EXE"

[HKEY_CLASSES_ROOT\.fal]
@="Falcon.Profile"
EOF
status=0
"$WINE_LOADER" regedit /S "Z:${settings//\//\\}" >/dev/null 2>&1 || status=$?
rm -f "$settings"
[ $status -eq 0 ] || { echo "make-wine-prefix.sh: regedit could not import the settings" >&2; exit 1; }
# The server saves the registry as it ends: no need to wait out its idle seconds.
"$WINE_SERVER" -k
"$WINE_SERVER" -w
# Windows 95/98 keep their system files in C:\WINDOWS\SYSTEM; a Wine prefix may lack the folder.
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts" "$WINEPREFIX/drive_c/windows/system" \
  "$WINEPREFIX/drive_c/FALCON"
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
printf 'Falcon Stick program\r\n' >"$WINEPREFIX/drive_c/FALCON/FALCON.EXE"
printf 'Falcon shared library\r\n' >"$WINEPREFIX/drive_c/windows/system/FALSHARE.DLL"
