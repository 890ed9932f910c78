#!/usr/bin/env bash
# Builds the libFuzzer fuzzers with clang and runs each for a while (default 60 seconds) over its
# seed corpus, keeping what it finds in the build's corpus folder. A fault stops that fuzzer and
# leaves the input in $build/sanitize/artifacts/<name>/. The build is tools/test.sh's native one.
# Usage: tools/fuzz.sh [SECONDS] [FUZZER...]   (fuzzers: split_field read_line registry_line
#                                               script_loader checker szdd_compress
#                                               install_record)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SETUP_BUILD_DIR:-$root/build}/sanitize
seconds=${1:-60}
[ $# -gt 0 ] && shift
fuzzers=("$@")
[ ${#fuzzers[@]} -gt 0 ] || fuzzers=(split_field read_line registry_line script_loader checker szdd_compress
                                   install_record)
jobs=$(nproc)

"$root/tools/install-deps.sh"
cmake -G Ninja -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DSETUP_SANITIZE=ON -DSETUP_FUZZ=ON >/dev/null
cmake --build "$build" -j "$jobs" --target "${fuzzers[@]/%/_fuzzer}"

status=0
for name in "${fuzzers[@]}"; do
  program=$build/tests/fuzz/${name}_fuzzer
  corpus=$build/corpus/$name
  artifacts=$build/artifacts/$name
  mkdir -p "$corpus" "$artifacts"
  echo "== $name, $seconds s"
  if ! "$program" -max_total_time="$seconds" -print_final_stats=1 -max_len=8192 \
       -artifact_prefix="$artifacts/" "$corpus" "$root/tests/fuzz/corpus/$name" \
       2>"$build/$name.log"; then
    echo "$name: FAULT, see $build/$name.log and $artifacts/" >&2
    status=1
  fi
  grep -E '^stat::number_of_executed_units|^Done' "$build/$name.log" || true
done
exit $status
