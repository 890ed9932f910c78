# Sourced by the Wine scripts: picks Wine's loader and server for a prefix architecture, and makes
# prefixes from a template. WINE_ARCH is win32 (32-bit Wine) or win64 (64-bit Wine).
wine_tools=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
wine_select() {
  export WINEARCH=$1
  if [ "$1" = win64 ]; then
    WINE_LOADER=/usr/lib/wine/wine64
    WINE_SERVER=/usr/lib/wine/wineserver64
  else
    WINE_LOADER=/usr/lib/wine/wine
    WINE_SERVER=/usr/lib/wine/wineserver32
  fi
  [ -x "$WINE_SERVER" ] || WINE_SERVER=wineserver
  export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
}

# The template prefix in `dir`, made by make-wine-prefix.sh once, and again when that script or the
# architecture changes; concurrent callers wait for it.
wine_template() { # arch, dir
  mkdir -p "$(dirname "$2")"
  (
    flock 9
    made_by="$1 $(sha1sum <"$wine_tools/make-wine-prefix.sh")"
    if [ "$(cat "$2/.ready" 2>/dev/null)" != "$made_by" ]; then
      "$wine_tools/make-wine-prefix.sh" "$1" "$2" && echo "$made_by" >"$2/.ready"
    fi
  ) 9>"$2.lock"
}

# A fresh prefix from the template. Wine's own programs and libraries (600 MB, which nothing writes
# to in place: a program that replaces one writes a new file) are hard links to the template's;
# every other file, the registry and the .ini files among them, is a copy of its own.
wine_prefix_from() { # template, prefix
  local windows=drive_c/windows
  # Another file system than the template's: a copy of everything.
  cp -al "$1" "$2" 2>/dev/null || { rm -rf "$2"; cp -a "$1" "$2"; return; }
  find "$2" -type f ! -path "$2/$windows/system32/*" ! -path "$2/$windows/syswow64/*" \
    ! -path "$2/$windows/winsxs/*" -exec sh -c \
    'for file; do cp -p "$file" "$file.own" && mv -f "$file.own" "$file" || exit; done' sh {} +
}

# True when 32-bit Wine is installed and this machine can execute 32-bit x86 code (some virtual
# machines cannot; a package index in the middle of a sync can keep 32-bit Wine from installing).
# Otherwise only 64-bit Wine runs. SETUP_SIMULATE_APT_FAILURE=1 plays a machine without it.
can_run_32bit() {
  [ "${SETUP_SIMULATE_APT_FAILURE:-0}" != 1 ] && [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Waits until the program `pid` has written a whole line to `file`, one that its line end closes
# (what another process writes may be seen half-written: "sta" before "rted"), or has ended. False
# when it ended without one. Call it from the shell that started the program, which reaps it.
await_line() { # file pid
  until [ "$(wc -l <"$1" 2>/dev/null || echo 0)" -gt 0 ]; do
    kill -0 "$2" 2>/dev/null || break
    sleep 0.05
  done
  [ "$(wc -l <"$1" 2>/dev/null || echo 0)" -gt 0 ]
}

# Builds what a benchmark runs under Wine here, after checking for its tools: the native
# setup-medium, and TARGETS of the 32-bit build where 32-bit Wine runs, otherwise of the 64-bit
# build of the same sources. Sets `arch` (for wine_select) and `run_build`.
build_for_wine() { # root build targets...
  local root=$1 build=$2 toolchain tool
  shift 2
  for tool in cmake ninja python3 Xvfb; do
    command -v "$tool" >/dev/null ||
      { echo "$(basename "$0"): $tool is missing (tools/install-deps.sh installs it)" >&2; exit 2; }
  done
  if can_run_32bit; then
    arch=win32 toolchain=toolchain-mingw-i686.cmake
  else
    arch=win64 toolchain=toolchain-mingw-x86_64.cmake
  fi
  run_build=$build/$arch
  cmake -G Ninja -S "$root" -B "$build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build/native" -j "$(nproc)" --target setup_medium >/dev/null
  cmake -G Ninja -S "$root" -B "$run_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" \
    -DSETUP_MEDIUM_TOOL="$build/native/setup-medium" >/dev/null
  cmake --build "$run_build" -j "$(nproc)" --target "$@" >/dev/null
}

# A headless display of its own, on a free number that Xvfb picks and writes into WORK/display:
# its process in `xvfb`, DISPLAY set. False when it does not start.
start_xvfb() { # work
  Xvfb -displayfd 8 -screen 0 800x600x24 -nolisten tcp 8>"$1/display" >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 1 100); do [ -s "$1/display" ] && break; sleep 0.05; done
  [ -s "$1/display" ] || return 1
  export DISPLAY=:$(cat "$1/display")
}
