#!/usr/bin/env bash
# Runs one Windows program under Wine the way the tests need it: in a fresh copy of the template
# prefix (made on first use; Wine's own files are shared with it, see tools/wine-env.sh), with a
# wineserver and an Xvfb display of its own, both ended afterwards. Exits with the program's exit
# code. SETUP_DRIVE_A, when set, names a folder that the prefix has as drive A:.
# Usage: wine-run.sh --arch win32|win64 --template DIR [--keep DIR] -- PROGRAM [ARGS...]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
arch=win32
template=""
keep=""
while [ $# -gt 0 ]; do
  case $1 in
    --arch) arch=$2; shift 2 ;;
    --template) template=$2; shift 2 ;;
    --keep) keep=$2; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[ -n "$template" ] || { echo "wine-run.sh: --template is required" >&2; exit 2; }

# The template is made once, and again when the script that makes it changes.
wine_template "$arch" "$template" || { echo "wine-run.sh: cannot make the Wine prefix" >&2; exit 2; }
work=$(mktemp -d /tmp/setup-wine.XXXXXX)
wine_select "$arch"
export WINEPREFIX=$work/prefix
wine_prefix_from "$template" "$WINEPREFIX" || { rm -rf "$work"; exit 2; }
if [ -n "${SETUP_DRIVE_A:-}" ]; then
  ln -sfn "$SETUP_DRIVE_A" "$WINEPREFIX/dosdevices/a:"
fi

# A display of its own, on a free number that Xvfb picks and writes to a file.
Xvfb -displayfd 8 -screen 0 "${SETUP_SCREEN:-640x480x24}" -nolisten tcp 8>"$work/display" >/dev/null 2>&1 &
xvfb=$!
display=""
for _ in $(seq 1 100); do
  display=$(cat "$work/display" 2>/dev/null)
  [ -n "$display" ] && break
  sleep 0.05
done
if [ -z "$display" ]; then
  echo "wine-run.sh: Xvfb did not start" >&2
  kill "$xvfb" 2>/dev/null
  rm -rf "$work"
  exit 2
fi
export DISPLAY=:$display

"$WINE_SERVER" -p
"$WINE_LOADER" "$@"
status=$?
"$WINE_SERVER" -k 2>/dev/null
"$WINE_SERVER" -w 2>/dev/null
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
if [ -n "$keep" ]; then
  rm -rf "$keep"
  mv "$WINEPREFIX" "$keep"
fi
rm -rf "$work"
exit $status
