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
reg() { "$WINE_LOADER" reg add "$@" /f >/dev/null 2>&1; }
for program in SETUP.EXE UNINSTAL.EXE; do
  reg "HKCU\\Software\\Wine\\AppDefaults\\$program" /v Version /t REG_SZ /d win98
done
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
reg 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N
# The colours of Windows 98's standard scheme, so that controls sit on the same grey as the pages.
colour() { reg 'HKCU\Control Panel\Colors' /v "$1" /t REG_SZ /d "$2"; }
colour ButtonFace '192 192 192'
colour Menu '192 192 192'
colour ButtonShadow '128 128 128'
colour ActiveTitle '0 0 128'
colour TitleText '255 255 255'
colour GradientActiveTitle '16 132 208'
colour InactiveTitle '128 128 128'
# Another program: "Falcon Stick", with a shared file in SYSTEM and its use count, settings of its
# own, an uninstall entry and a file type.
falcon='HKLM\SOFTWARE\Falcon\Stick'
reg "$falcon" /v Mode /t REG_SZ /d fast
reg "$falcon" /v Speed /t REG_DWORD /d 3
reg 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\SharedDLLs' /v 'C:\windows\system\FALSHARE.DLL' \
  /t REG_DWORD /d 1
uninstall='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Falcon Stick'
reg "$uninstall" /v DisplayName /t REG_SZ /d 'Falcon Stick'
reg "$uninstall" /v UninstallString /t REG_SZ /d 'C:\FALCON\UNFALCON.EXE'
reg 'HKCR\.fal' /ve /t REG_SZ /d Falcon.Profile
"$WINE_SERVER" -w
# Windows 95/98 keep their system files in C:\WINDOWS\SYSTEM; a Wine prefix may lack the folder.
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts" "$WINEPREFIX/drive_c/windows/system" \
  "$WINEPREFIX/drive_c/FALCON"
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
printf 'Falcon Stick program\r\n' >"$WINEPREFIX/drive_c/FALCON/FALCON.EXE"
printf 'Falcon shared library\r\n' >"$WINEPREFIX/drive_c/windows/system/FALSHARE.DLL"
