#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian 12: the MinGW-w64 i686 cross
# compiler, clang with its libFuzzer and sanitizer runtimes (libclang-rt-dev, which clang only
# recommends), 32-bit Wine with a headless X server, ImageMagick, mscompress (msexpand checks the
# medium builder's compression), mtools and xorriso (the medium builder's floppy and CD images),
# CMake, Ninja and the GoogleTest sources. Idempotent: when every package is present it only
# checks and returns.
#
# A package index that cannot be fetched (a mirror in the middle of a sync) is tried again a few
# times, then the lists at hand are used. When 32-bit Wine still cannot be installed, everything
# else is, and the scripts take their 64-bit Wine path (tools/wine-env.sh), saying so.
# That finding is kept for a day (in $SETUP_NO_WINE32_MARK): runs in that day that miss nothing
# else say so at once instead of paying the updates again; a fresh machine, or a day later, tries.
# SETUP_SIMULATE_APT_FAILURE=1 plays such a machine: every update fails and 32-bit Wine is
# refused, for the test of this fallback (which neither reads nor writes the finding).
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-dev googletest libgtest-dev libgmock-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine64 xvfb xdotool x11-apps imagemagick
  mscompress mtools xorriso python3
)
i386_packages=(wine32:i386)
update_tries=${SETUP_APT_UPDATE_TRIES:-3}
simulate=${SETUP_SIMULATE_APT_FAILURE:-0}
no_wine32_mark=${SETUP_NO_WINE32_MARK:-/var/cache/setup-install-deps/no-32bit-wine}
no_wine32="install-deps.sh: 32-bit Wine cannot be installed now; the tests and the demo run the \
64-bit build under 64-bit Wine"

missing_of() { # packages... : prints those not installed (one dpkg-query for all of them)
  local installed p
  installed=$(dpkg-query -W -f='${Package} ${Package}:${Architecture} ${Status}\n' "$@" \
    2>/dev/null | awk '/ install ok installed$/ { print $1; print $2 }')
  for p in "$@"; do
    grep -qxF -- "$p" <<<"$installed" || echo "$p"
  done
}
mapfile -t missing < <(missing_of "${packages[@]}")
mapfile -t missing32 < <(missing_of "${i386_packages[@]}")
[ -x /usr/lib/wine/wine ] || [ ${#missing32[@]} -gt 0 ] || missing32=(wine32:i386)
[ "$simulate" = 1 ] && missing32=(wine32:i386)

if [ ${#missing[@]} -eq 0 ] && [ ${#missing32[@]} -eq 0 ]; then
  exit 0
fi
if [ ${#missing[@]} -eq 0 ] && [ "$simulate" != 1 ] &&
   [ -n "$(find "$no_wine32_mark" -mmin -1440 2>/dev/null)" ]; then
  echo "$no_wine32 (found $(date -r "$no_wine32_mark" '+%F %R'); tried again a day later, or" \
    "at once without $no_wine32_mark)" >&2
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive

apt_update() {
  [ "$simulate" = 1 ] && { echo "E: simulated: an index has an unexpected size" >&2; return 100; }
  $SUDO apt-get update -qq
}
apt_install() { # packages...
  [ $# -gt 0 ] || return 0
  if [ "$simulate" = 1 ] && [[ " $* " == *":i386 "* ]]; then
    echo "E: simulated: 32-bit packages cannot be installed" >&2
    return 100
  fi
  $SUDO apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
echo "Installing: ${missing[*]} ${missing32[*]}" >&2
for try in $(seq "$update_tries"); do
  apt_update && break
  if [ "$try" -lt "$update_tries" ]; then
    echo "install-deps.sh: apt-get update failed (try $try of $update_tries); trying again" >&2
    [ "$simulate" = 1 ] || sleep 10
  else
    echo "install-deps.sh: apt-get update failed $update_tries times; going on with the package lists at hand" >&2
  fi
done

apt_install "${missing[@]}"
if ! apt_install "${missing32[@]}" || [ ! -x /usr/lib/wine/wine ]; then
  echo "$no_wine32" >&2
  if [ "$simulate" != 1 ]; then
    $SUDO mkdir -p "$(dirname "$no_wine32_mark")" && $SUDO touch "$no_wine32_mark" || true
  fi
else
  $SUDO rm -f "$no_wine32_mark"
fi
