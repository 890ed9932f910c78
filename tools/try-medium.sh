#!/usr/bin/env bash
# Tries a distribution medium before it ships: installs it under Wine in a fresh prefix, prints
# what the install changed, runs the uninstall entry's command, restarts Wine's Windows once and
# prints what is left compared with the prefix before the install.
#
# Usage: try-medium.sh [OPTIONS] MEDIUM [DISK...]
#   MEDIUM                  a medium folder (drive A:), its floppy image (A:) or its ISO image (D:)
#   DISK...                 the further disks of a set, in order, MEDIUM being disk 1: floppy
#                           images or folders, each put into drive A: when the setup asks for it
#   --windows VERSION       the Windows version that Wine reports: win95, win98 (default), winme
#   --destination PATH      install there instead of the script's default (typed on the page)
#   --keep-prefix           keep the Wine prefix in OUT/wine-prefix for a look afterwards
#   --out DIR               screenshots and states go there (default: ./try-medium-out)
#   --headless              walk the pages on a display of its own even when there is a display
#   --build DIR             the Windows build of this tree whose setup_driver.exe walks the pages
#                           (default: build/win32, or build/win64 where 32-bit code cannot run);
#                           what it lacks is built
#   --arch win32|win64      the Wine to run (default: win32 where this machine runs 32-bit code)
#
# With a usable X display the author clicks through the setup and answers the uninstaller. Without
# one (or with --headless) it walks every page as a user would (Next, Next, OK to the question, the
# copy, "No" and Finish on the finish page), saves a screenshot of each in OUT, closes the control
# panel, and answers the uninstaller's first box with Yes and any later one with OK. When the
# setup asks for a disk of a set, it puts the disk whose label the question names into drive A:
# and answers OK.
#
# Exit status: 0 the round trip came back clean; 1 warnings (something left or changed, files the
# setup could not copy, no uninstall entry or one that does not start); 2 it could not run.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
. "$here/wine-env.sh"

fail() { echo "try-medium: $*" >&2; exit 2; }
usage() { sed -n '6,19s/^# \{0,1\}//p' "$0" >&2; exit 2; }

windows=win98 destination="" keep=false out=$PWD/try-medium-out headless=false build="" arch=""
media=()
while [ $# -gt 0 ]; do
  case $1 in
    --windows) windows=${2:-}; shift 2 || usage ;;
    --destination) destination=${2:-}; shift 2 || usage ;;
    --keep-prefix) keep=true; shift ;;
    --out) out=${2:-}; shift 2 || usage ;;
    --headless) headless=true; shift ;;
    --build) build=${2:-}; shift 2 || usage ;;
    --arch) arch=${2:-}; shift 2 || usage ;;
    -*) usage ;;
    *) media+=("$1"); shift ;;
  esac
done
[ ${#media[@]} -gt 0 ] || usage
medium=${media[0]}
case $windows in win95|win98|winme) ;; *) fail "--windows takes win95, win98 or winme" ;; esac
for disk in "${media[@]}"; do
  [ -e "$disk" ] || fail "$disk: no such medium folder or image"
done
if [ -z "$arch" ]; then
  if can_run_32bit; then arch=win32; else arch=win64; fi
fi
case $arch in win32|win64) ;; *) fail "--arch takes win32 or win64" ;; esac
: "${build:=${SETUP_BUILD_DIR:-$root/build}/$arch}"

need() { # command, package
  command -v "$1" >/dev/null || fail "$1 is missing: install the package $2 (tools/install-deps.sh)"
}
need python3 python3
need Xvfb xvfb
[ -x /usr/bin/import ] || fail "/usr/bin/import is missing: install the package imagemagick"
if [ "$arch" = win32 ] && ! can_run_32bit; then
  fail "this machine runs no 32-bit code: use --arch win64 with a 64-bit build"
fi

# The driver that walks the pages, and on a machine without 32-bit code the 64-bit SETUP.EXE and
# UNINSTAL.EXE that stand in for the medium's 32-bit ones; built when the build lacks them.
driver_exe=$build/tests/win32/setup_driver.exe
needed=("$driver_exe")
[ "$arch" = win64 ] && needed+=("$build/SETUP.EXE" "$build/UNINSTAL.EXE")
for file in "${needed[@]}"; do
  [ -f "$file" ] && continue
  echo "Building what try-medium needs in $build"
  if [ ! -f "$build/CMakeCache.txt" ]; then
    toolchain=$root/cmake/toolchain-mingw-i686.cmake
    [ "$arch" = win64 ] && toolchain=$root/cmake/toolchain-mingw-x86_64.cmake
    configure=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE="$toolchain")
    tool=${SETUP_BUILD_DIR:-$root/build}/native/setup-medium
    [ -x "$tool" ] && configure+=(-DSETUP_MEDIUM_TOOL="$tool")
    cmake -G Ninja -S "$root" -B "$build" "${configure[@]}" >/dev/null \
      || fail "cannot configure $build"
  fi
  cmake --build "$build" -j 2 --target setup_driver setup_exe uninstall_exe >/dev/null \
    || fail "cannot build setup_driver in $build"
  break
done

mkdir -p "$out" || fail "cannot make $out"
out=$(cd "$out" && pwd)
rm -f "$out"/[0-9]-*.png "$out"/*.state
work=$(mktemp -d /tmp/try-medium.XXXXXX)
xvfb="" prefix_up=false
cleanup() {
  $prefix_up && "$WINE_SERVER" -k 2>/dev/null && "$WINE_SERVER" -w 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The medium, copied so that nothing touches the author's: a folder as it is, a floppy image read
# back with mtools, an ISO image extracted with xorriso. Disk k of a set goes to disk_folders[k-1],
# disk 1 to $work/medium.
read_medium() { # medium, folder
  if [ -d "$1" ]; then
    drive=a
    cp -r "$1/." "$2" || fail "cannot read $1"
  elif [ "$(od -An -c -j32769 -N5 "$1" 2>/dev/null | tr -d ' ')" = CD001 ]; then
    drive=d
    need xorriso xorriso
    xorriso -osirrox on -indev "$1" -extract / "$2" >/dev/null 2>&1 \
      || fail "cannot read the ISO image $1"
    chmod -R u+w "$2"
  else
    drive=a
    need mcopy mtools
    "$here/read-floppy.sh" "$1" "$2" >/dev/null || fail "cannot read $1"
  fi
}
disk_folders=()
for index in "${!media[@]}"; do
  folder=$work/disk$((index + 1))
  [ "$index" -eq 0 ] && folder=$work/medium
  read_medium "${media[index]}" "$folder"
  disk_folders+=("$folder")
done
[ ${#media[@]} -eq 1 ] || [ "$drive" = a ] || fail "a set of disks is one of floppies or folders"
setup_exe=$(find "$work/medium" -maxdepth 1 -iname SETUP.EXE | head -n 1)
[ -n "$setup_exe" ] || fail "$medium holds no SETUP.EXE"
echo "Medium: $medium, as drive ${drive^^}: ($(find "$work/medium" -type f | wc -l) files)"
for index in "${!media[@]}"; do
  [ "$index" -eq 0 ] && continue
  echo "Disk $((index + 1)) of the set: ${media[index]} ($(find "${disk_folders[index]}" \
    -type f | wc -l) files)"
done

# The machine code of a Windows program: 014c for 32-bit x86, 8664 for x64.
pe_machine() {
  local header
  header=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tx2 -j$((header + 4)) -N2 "$1" | tr -d ' '
}
stand_in() { # installed program, 64-bit build of it
  if [ "$arch" = win64 ] && [ "$(pe_machine "$1")" = 014c ]; then
    echo "  (64-bit Wine: the 64-bit build's $(basename "$2") stands in for $3)"
    cp "$2" "$1"
  fi
}
stand_in "$setup_exe" "$build/SETUP.EXE" "the medium's 32-bit SETUP.EXE"

# A fresh prefix made as the tests make theirs; the medium is its drive, the setup and the
# uninstaller see the chosen Windows version, and the system has one joystick driver key and one
# game-controller device (the key that the script's HKR lines write below).
wine_select "$arch"
prefix=$work/prefix
$keep && prefix=$out/wine-prefix
# The build's template prefix, which its tests start from too, is made once.
template=$build/wine-template
wine_template "$arch" "$template" || fail "cannot make a Wine prefix in $template"
rm -rf "$prefix"
if $keep; then
  cp -a "$template" "$prefix"
else
  wine_prefix_from "$template" "$prefix"
fi || fail "cannot make a Wine prefix in $prefix"
export WINEPREFIX=$prefix
prefix_up=true

interactive=false
if ! $headless && [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
  interactive=true
else
  start_xvfb "$work" || fail "Xvfb did not start"
fi
"$WINE_SERVER" -p
ln -sfn "$work/medium" "$WINEPREFIX/dosdevices/$drive:"
reg() { "$WINE_LOADER" reg add "$@" /f >/dev/null 2>&1; }
for program in SETUP.EXE UNINSTAL.EXE; do
  reg "HKCU\\Software\\Wine\\AppDefaults\\$program" /v Version /t REG_SZ /d "$windows"
done
joystick='HKLM\System\CurrentControlSet\control\MediaResources\joystick\msjstick.drv<0000>'
reg "$joystick\\CurrentJoystickSettings"
reg 'HKLM\System\CurrentControlSet\Services\Class\MEDIA\0000\Drivers\joystick'

driver() { "$WINE_LOADER" "$driver_exe" "$@" | tr -d '\r'; }
shot() { # name: a screenshot of the whole display, once the window has drawn itself
  $interactive && return
  sleep 0.5
  /usr/bin/import -window root "$out/$1.png" && echo "  saved $out/$1.png"
}
# A state of the prefix: drive C: and the registry as the running wineserver holds it.
# Wine's own files keep their checksums from the state before (`earlier`), when there is one.
snapshot() { # name [earlier]
  "$WINE_LOADER" regedit /E "$work/$1.reg" || fail "regedit could not export the registry"
  python3 "$here/prefix_state.py" snapshot "$WINEPREFIX/drive_c" "$work/$1.reg" "$out/$1.state" \
    ${2:+"$out/$2.state"} || fail "cannot read the prefix"
}
warnings=0
warn() { echo "  warning: $*"; warnings=$((warnings + 1)); }

# Answers a message box with a button; prints its caption and text on one line.
answer() { driver box "$1" | tr -s '\r\n' ' ' | sed 's/ $//'; }
# True while the program `pid` runs; for the setup also while SETUP.EXE runs on from the copy of
# itself that a set's disk 1 hands over to (its backdrop is up).
pid="" following_setup=false
running() {
  kill -0 "$pid" 2>/dev/null || { $following_setup && driver wait SetupMain 0 >/dev/null 2>&1; }
}
# Waits while the program runs, at most SECONDS, for a window of one of the classes or a message
# box; prints its class and caption.
await() { # seconds, class...
  local seconds=$1 start=$SECONDS
  shift
  while running && [ $((SECONDS - start)) -lt "$seconds" ]; do
    driver first 2 "$@" '#32770' && return 0
  done
  return 1
}
is_box() { [ "${1%% *}" = '#32770' ]; }
gave_up() { # what was awaited, seconds
  if running; then
    fail "SETUP.EXE showed no $1 within $2 s"
  fi
  wait "$pid"
  fail "SETUP.EXE ended (exit code $?) before its $1"
}
expect_page() { # seconds, class, what
  local shown
  shown=$(await "$1" "$2") || gave_up "$3" "$1"
  if is_box "$shown"; then
    echo "  $(answer 1)"
    fail "SETUP.EXE showed this message box instead of its $3"
  fi
  echo "$3: ${shown#* }"
}

# The labels of the set's disks as SETUP.EXE keeps them (39 characters), from disk 1's SETUP.INF.
labels=()
if [ ${#media[@]} -gt 1 ]; then
  mapfile -t labels < <(python3 - "$(find "$work/medium" -maxdepth 1 -iname SETUP.INF)" <<'EOF'
import sys
section, labels = None, {}
for line in open(sys.argv[1], encoding="latin-1"):
    line = line.strip()
    if line.startswith("["):
        section = line[1:line.find("]")].strip().lower()
    elif section == "disklabel" and "=" in line:
        key, value = (part.strip() for part in line.split("=", 1))
        labels.setdefault(key.lower(), value.strip('"')[:39])
for disk in range(1, 7):
    print(labels.get("disk%d" % disk, ""))
EOF
)
fi
# The setup asks for a disk of the set: the disk whose label the question names goes into drive
# A:, and OK is pressed. A disk that the set does not have, or one that the setup does not take,
# is a warning, and the question is cancelled.
disk_questions=0 last_disk=1
answer_disk() {
  local question disk=0 index
  question=$(driver text SETUP_DISK 1050 | tr -s '\r\n' ' ' | sed 's/ $//')
  disk_questions=$((disk_questions + 1))
  for index in "${!labels[@]}"; do
    [ -n "${labels[index]}" ] && [[ "$question" == *"${labels[index]}"* ]] && disk=$((index + 1))
  done
  echo "  asked for a disk: $question"
  shot "3-disk-$disk_questions"
  if [ $disk -eq 0 ] || [ $disk -gt ${#disk_folders[@]} ]; then
    warn "the setup asks for a disk that the set does not have"
    driver click SETUP_DISK 2
    driver gone SETUP_DISK 10 || true
    return
  fi
  echo "  disk $disk put into drive A: (${media[disk - 1]}), OK"
  ln -sfn "${disk_folders[disk - 1]}" "$WINEPREFIX/dosdevices/a:"
  [ $disk -gt $last_disk ] && last_disk=$disk
  driver click SETUP_DISK 1
  # The question stays, and says so, while the disk is not there; another may follow at once.
  if ! driver gone SETUP_DISK 10 && [ -n "$(driver text SETUP_DISK 1053 | tr -d '\r\n')" ]; then
    warn "the setup does not take disk $disk: $(driver text SETUP_DISK 1053 | tr -d '\r')"
    driver click SETUP_DISK 2
    driver gone SETUP_DISK 10 || true
  fi
}

walk_setup() {
  "$WINE_LOADER" "${drive^^}:\\SETUP.EXE" &
  pid=$!
  following_setup=true
  local shown asked=0
  expect_page 60 SETUP_BEGIN "welcome page"
  shot 1-welcome
  driver click SETUP_BEGIN 1
  expect_page 30 SETUP_SELDIR "destination page"
  [ -z "$destination" ] || driver set SETUP_SELDIR 1003 "$destination" \
    || fail "cannot type the destination"
  echo "  destination: $(driver text SETUP_SELDIR 1003)"
  shot 2-destination
  driver click SETUP_SELDIR 1
  # The page asks before it uses or makes the folder, and warns when it cannot.
  while shown=$(await 30 SETUP_INSTALL) && is_box "$shown" && [ $asked -lt 3 ]; do
    echo "  asked: $(answer 1)"
    asked=$((asked + 1))
  done
  [ -n "$shown" ] && ! is_box "$shown" || gave_up "copy page after the destination page" 30
  echo "copy page"
  shot 3-copy
  while shown=$(await 600 SETUP_END SETUP_DISK) && [ "${shown%% *}" = SETUP_DISK ]; do
    answer_disk
  done
  [ -n "$shown" ] || gave_up "finish page" 600
  [ $last_disk -ge ${#media[@]} ] || warn "the setup never asked for disk $((last_disk + 1))"
  if is_box "$shown"; then
    shot 4-copy-failed
    warn "the setup could not copy everything: $(answer 1)"
    while shown=$(await 10) && is_box "$shown"; do
      echo "  told: $(answer 1)"
    done
  else
    echo "finish page: ${shown#* }"
    shot 4-finish
    driver click SETUP_END 1033
    driver click SETUP_END 1
    # "No" opens the joystick control panel.
    if driver wait '#32770' 20 >/dev/null; then
      shot 5-control-panel
      driver close '#32770'
      driver gone '#32770' 10 || true
    fi
  fi
  wait "$pid"
  # A copy that took over ends once it has left itself to the next start of Windows.
  driver gone SetupMain 30 || true
  following_setup=false
}

run_uninstall() { # command line
  # Not through driver(): its "started" must reach the file at once.
  "$WINE_LOADER" "$driver_exe" run "$1" >"$work/run" &
  pid=$!
  local boxes=0 first
  await_line "$work/run" "$pid"
  first=$(head -n 1 "$work/run" | tr -d '\r')
  if [ "$first" != started ]; then
    wait "$pid"
    warn "the uninstall command does not start: $first"
    return
  fi
  # The first box is the question, answered with Yes; every later one is answered with OK.
  while ! $interactive && await 600 >/dev/null; do
    boxes=$((boxes + 1))
    if [ $boxes -eq 1 ]; then
      shot 6-uninstall
      echo "  asked: $(answer 6)"
    else
      shot $((boxes + 5))-uninstalled
      echo "  told: $(answer 1)"
    fi
  done
  ! $interactive && kill -0 "$pid" 2>/dev/null && fail "the uninstall program did not end"
  wait "$pid"
  echo "  the uninstall program ended: $(tail -n 1 "$work/run" | tr -d '\r')"
}

snapshot before
echo
if $interactive; then
  echo "Click through the setup on your display."
  for index in "${!disk_folders[@]}"; do
    [ "$index" -eq 0 ] && continue
    echo "When it asks for disk $((index + 1)), type Z:${disk_folders[index]//\//\\}"
  done
  "$WINE_LOADER" "${drive^^}:\\SETUP.EXE"
  if [ -t 0 ]; then
    read -r -p "Press Enter once the setup's windows are closed (the control panel too) " _
  fi
else
  walk_setup
fi

snapshot installed before
echo
python3 "$here/prefix_state.py" installed "$out/before.state" "$out/installed.state"

echo
commands=$(python3 "$here/prefix_state.py" uninstall-commands "$out/before.state" \
  "$out/installed.state")
if [ -z "$commands" ]; then
  echo "Uninstall:"
  warn "the install made no uninstall entry"
fi
while IFS= read -r command <&3; do
  [ -n "$command" ] || continue
  echo "Uninstall: $command"
  # The program it names (quoted, or up to its first option), which 64-bit Wine cannot run when
  # it is 32-bit.
  if [ "${command:0:1}" = '"' ]; then
    program=${command:1}
    program=${program%%\"*}
  else
    program=${command%% /*}
  fi
  program=$("$WINE_LOADER" winepath -u "$program" 2>/dev/null)
  [ -f "$program" ] && stand_in "$program" "$build/UNINSTAL.EXE" \
    "the installed 32-bit $(basename "$program")"
  $interactive && echo "Answer the uninstaller on your display."
  run_uninstall "$command"
done 3<<<"$commands"

# The restart that carries out what was left for the next start (WININIT.INI). The wineserver
# keeps running, so that keys made volatile live on, as Windows 95 and 98 keep them.
echo "Restarting Windows"
"$WINE_LOADER" wineboot -r >/dev/null 2>&1
snapshot after installed
echo
python3 "$here/prefix_state.py" left "$out/before.state" "$out/installed.state" \
  "$out/after.state" >"$work/left"
[ $? -le 1 ] || fail "cannot compare the states of the prefix"
cat "$work/left"
warnings=$((warnings + $(grep -c '^  warning:' "$work/left")))

echo
if $keep; then
  echo "The prefix stays in $prefix (keys made volatile are gone with the wineserver)."
fi
if [ $warnings -eq 0 ]; then
  echo "The round trip came back clean (exit status 0)."
  exit 0
fi
noun=warnings
[ $warnings -eq 1 ] && noun=warning
echo "The round trip did not come back clean: $warnings $noun (exit status 1)."
exit 1
