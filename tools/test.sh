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
# cores, a step that keeps both busy takes about half its CPU seconds on an idle machine).
costs=()
times_file=$(mktemp)
cpu_seconds() { # into `cpu`: those of the programs this shell has run so far (`times` runs here,
  times >"$times_file" # not in a subshell, which would count only its own)
  cpu=$(awk 'NR == 2 { split($1, u, /[ms]/); split($2, s, /[ms]/)
                       printf "%.0f\n", u[1] * 60 + u[2] + s[1] * 60 + s[2] }' "$times_file")
}
timed() { # what, command...
  local what=$1 start=$SECONDS cpu cpu_start status=0
  shift
  cpu_seconds
  cpu_start=$cpu
  "$@" || status=$?
  cpu_seconds
  costs+=("$(printf '%-22s %5d s  (CPU %5d s)' "$what" $((SECONDS - start)) \
    $((cpu - cpu_start)))")
  echo "-- ${costs[-1]}"
  return $status
}
quietly() { "$@" >/dev/null; }
report_costs() {
  rm -f "$times_file" "$times_file.wine"
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

# The Wine tests take longest and need only the Windows build and the native setup-medium (which
# lays out the Windows builds' sample medium): those are built first, the Wine tests then run in
# the background, and the rest of the native build, its tests and the 32-bit format check are done
# beside them. What the Wine tests print comes last, so that the run ends with CTest's count.
echo "== native: setup-medium, which lays out the Windows builds' sample medium (clang, sanitizers)"
configure "$build/sanitize" setup-medium -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DSETUP_SANITIZE=ON -DSETUP_FUZZ=ON -- setup_medium
medium_tool=-DSETUP_MEDIUM_TOOL="$build/sanitize/setup-medium"

if can_run_32bit; then
  echo "== SETUP.EXE for Windows 95/98 and the Win32 tests, for 32-bit Wine"
  wine_build=$build/win32 wine_what=win32
  configure "$wine_build" win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" \
    "$medium_tool"
else
  echo "== the Win32 tests, built for 64-bit Windows, for 64-bit Wine"
  # What the tests run: the 32-bit build below compiles the console tools for Windows.
  wine_build=$build/win64 wine_what=win64
  configure "$wine_build" win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake" \
    "$medium_tool" -- win32_test_programs
fi
wine_log=$wine_build/test-output.log
(times_file=$times_file.wine; run_ctest "$wine_build" "$wine_what" "$wine_jobs") >"$wine_log" 2>&1 &
wine_tests=$!
echo "   (the Wine tests run now, beside what follows; they print when it is done)"

status=0
echo "== native: unit tests and a short run of each fuzzer, under AddressSanitizer and UBSan"
timed "native: build" cmake --build "$build/sanitize" -j "$jobs" &&
  run_ctest "$build/sanitize" native || status=$?
if ! can_run_32bit; then
  echo "== SETUP.EXE for Windows 95/98 (no 32-bit Wine here: format check only)"
  configure "$build/win32" win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" \
    -DSETUP_WIN32_TESTS=OFF "$medium_tool" && run_ctest "$build/win32" win32 || status=$?
fi
wait "$wine_tests" || status=$?
# Their cost, as they printed it in the background.
costs+=("$(sed -n 's/^-- //p' "$wine_log" | tail -n 1)")
report_costs
costs=()
echo "== the Win32 tests under Wine"
sed '${/^-- /d}' "$wine_log"
exit $status
