#!/usr/bin/env bash
# Runs the whole test suite: installs what is missing, builds natively and for Windows, and runs
# every test with CTest. The Windows tests run under Wine: 32-bit Wine where this machine can run
# 32-bit code, otherwise 64-bit Wine with a 64-bit build of the same sources. SETUP.EXE itself is
# always built for 32-bit Windows and its format checked.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SETUP_BUILD_DIR:-$root/build}
jobs=$(nproc)
. "$root/tools/wine-env.sh"

"$root/tools/install-deps.sh"

configure() { # dir, extra cmake args...
  local dir=$1; shift
  cmake -G Ninja -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}
run_ctest() {
  ctest --test-dir "$1" --output-on-failure -j "$jobs" --timeout 600
}

echo "== native unit tests"
configure "$build/native"
run_ctest "$build/native"

echo "== native unit tests with AddressSanitizer and UndefinedBehaviorSanitizer"
configure "$build/native-sanitize" -DSETUP_SANITIZE=ON
run_ctest "$build/native-sanitize"

echo "== fuzzers (clang, libFuzzer): a short run of each over its seed corpus"
configure "$build/fuzz" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DSETUP_FUZZ=ON
run_ctest "$build/fuzz"

# The Windows builds lay out the sample medium with the native build's setup-medium.
medium_tool=-DSETUP_MEDIUM_TOOL="$build/native/setup-medium"
if can_run_32bit; then
  echo "== SETUP.EXE for Windows 95/98 and the Win32 tests under 32-bit Wine"
  configure "$build/win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" "$medium_tool"
  run_ctest "$build/win32"
else
  echo "== SETUP.EXE for Windows 95/98 (no 32-bit Wine here: format check only)"
  configure "$build/win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" \
    -DSETUP_WIN32_TESTS=OFF "$medium_tool"
  run_ctest "$build/win32"
  echo "== the Win32 tests, built for 64-bit Windows, under 64-bit Wine"
  configure "$build/win64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake" \
    "$medium_tool"
  run_ctest "$build/win64"
fi
