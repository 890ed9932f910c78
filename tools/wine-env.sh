# Sourced by the Wine scripts: picks Wine's loader and server for a prefix architecture.
# WINE_ARCH is win32 (32-bit Wine) or win64 (64-bit Wine).
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
