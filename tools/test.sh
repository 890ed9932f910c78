#!/usr/bin/env bash
# Runs the whole test suite: installs what is missing, builds natively and for Windows, and runs
# every test with CTest. The Windows tests run under Wine: 32-bit Wine where this machine can run
# 32-bit code, otherwise 64-bit Wine with a 64-bit build of the same sources. SETUP.EXE itself is
# always built for 32-bit Windows and its format checked.
#
# The native code is built once, with clang, AddressSanitizer and UBSan: the unit tests and the
# libFuzzer fuzzers come from that one build (a build without the sanitizers would run the same
# unit tests and check nothing more), and its setup-medium lays out the Windows builds' sample
# medium. Each step's seconds are printed as it ends, and all of them at the end; README.md says
# where they go.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SETUP_BUILD_DIR:-$root/build}
jobs=$(nproc)
. "$root/tools/wine-env.sh"

# What each step cost: seconds on the clock, and the CPU seconds of the programs it ran (with two
# cores, a step that keeps both busy takes about half its CPU seconds on an idle machine). A step
# runs in a subshell of its own, whose `times` counts its programs and no other step's.
costs=()
timed() { # what, command...
  local what=$1 start=$SECONDS status=0 own cpu
  shift
  own=$(mktemp)
  (status=0; "$@" || status=$?; times >"$own"; exit $status) || status=$?
  cpu=$(awk 'NR == 2 { split($1, u, /[ms]/); split($2, s, /[ms]/)
                       printf "%.0f\n", u[1] * 60 + u[2] + s[1] * 60 + s[2] }' "$own")
  rm -f "$own"
  costs+=("$(printf '%-22s %5d s  (CPU %5d s)' "$what" $((SECONDS - start)) "${cpu:-0}")")
  echo "-- ${costs[-1]}"
  return $status
}
quietly() { "$@" >/dev/null; }
report_costs() {
  [ ${#costs[@]} -gt 0 ] || return 0
  echo "== what each step cost (load now: $(cut -d' ' -f1-3 /proc/loadavg))"
  printf '   %s\n' "${costs[@]}"
  printf '   %-22s %5d s\n' "whole run" $SECONDS
}
trap report_costs EXIT

timed "install-deps.sh" "$root/tools/install-deps.sh"

configure() { # dir, what, cmake args... [-- targets (default: all)]
  local dir=$1 what=$2 args=() targets=()
  shift 2
  while [ $# -gt 0 ] && [ "$1" != -- ]; do args+=("$1"); shift; done
  [ $# -eq 0 ] || { shift; targets=(--target "$@"); }
  timed "$what: configure" quietly \
    cmake -G Ninja -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${args[@]}" &&
    timed "$what: build" cmake --build "$dir" -j "$jobs" "${targets[@]}"
}
run_ctest() { # dir, what[, parallel tests]
  timed "$2: tests" ctest --test-dir "$1" --output-on-failure -j "${3:-$jobs}" --timeout 600
}
# A Wine test keeps about one processor busy (the program under test, Wine's server, the display),
# the longest for two minutes: twice as many as there are cores run at once, so that the short
# ones and the builds beside them fill the time of the long ones.
wine_jobs=$((2 * jobs))

# Steps run in the background, beside the others: `background LOG command...` writes what they
# print to LOG, and their cost lines (those starting "-- ") are taken in when `finish_background`
# waits for them.
background_pids=() background_logs=()
background() { # log, command...
  local log=$1
  shift
  "$@" >"$log" 2>&1 &
  background_pids+=($!) background_logs+=("$log")
}
finish_background() { # index: waits for that step; false when it failed
  local status=0
  wait "${background_pids[$1]}" || status=$?
  while IFS= read -r line; do costs+=("$line"); done \
    < <(sed -n 's/^-- //p' "${background_logs[$1]}")
  return $status
}
# What a background step printed, without its cost lines (the summary shows them).
print_background() { grep -v '^-- ' "${background_logs[$1]}" || true; }

# The Wine tests take longest and need only the Windows build and the native setup-medium (which
# lays out the Windows builds' sample medium): those are built first. Then three things run at
# once: the Wine tests, the rest of the native build with its tests, and the 32-bit format check,
# so that a step's pauses (a link, a configure, the last long test) leave no processor idle. What
# the Wine tests print comes last, so that the run ends with CTest's count.
echo "== native: setup-medium, which lays out the Windows builds' sample medium (clang, sanitizers)"
configure "$build/sanitize" setup-medium -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DSETUP_SANITIZE=ON -DSETUP_FUZZ=ON -- setup_medium
medium_tool=-DSETUP_MEDIUM_TOOL="$build/sanitize/setup-medium"
i686=-DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake"
wine32=false
can_run_32bit && wine32=true

if $wine32; then
  echo "== SETUP.EXE for Windows 95/98 and the Win32 tests, for 32-bit Wine"
  wine_build=$build/win32 wine_what=win32
  configure "$wine_build" win32 "$i686" "$medium_tool"
else
  echo "== the Win32 tests, built for 64-bit Windows, for 64-bit Wine"
  # What the tests run: the 32-bit build below compiles the console tools for Windows.
  wine_build=$build/win64 wine_what=win64
  configure "$wine_build" win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake" \
    "$medium_tool" -- win32_test_programs
fi
background "$wine_build/test-output.log" run_ctest "$wine_build" "$wine_what" "$wine_jobs"
echo "   (the Wine tests run now, beside what follows; they print when they are done)"
status=0
if ! $wine32; then
  echo "== SETUP.EXE for Windows 95/98, beside (no 32-bit Wine here: format check only)"
  build_32bit() {
    configure "$build/win32" win32 "$i686" -DSETUP_WIN32_TESTS=OFF "$medium_tool" &&
      run_ctest "$build/win32" win32
  }
  background "$build/win32-output.log" build_32bit
fi

echo "== native: unit tests and a short run of each fuzzer, under AddressSanitizer and UBSan"
timed "native: build" cmake --build "$build/sanitize" -j "$jobs" &&
  run_ctest "$build/sanitize" native || status=$?
for index in $(seq $((${#background_pids[@]} - 1)) -1 1); do
  finish_background "$index" || status=$?
done
finish_background 0 || status=$?
report_costs
costs=()
for index in $(seq $((${#background_pids[@]} - 1)) -1 1); do
  echo "== SETUP.EXE for Windows 95/98: what its build and format check printed"
  print_background "$index"
done
echo "== the Win32 tests under Wine"
print_background 0
exit $status
