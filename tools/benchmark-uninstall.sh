#!/usr/bin/env bash
# Measures how the uninstall's time grows with the number of files it takes back. For each N
# (300, 1,200 and 4,800 by default) makes a medium of N small plain files and the uninstall
# program, installs it for real with SETUP.EXE under Wine on a headless display of its own, then
# runs the uninstall entry's command, answers Yes and waits for its closing message. Prints each
# N's install time (the copy page, from its appearance to the finish page), uninstall time (from
# the answer to the closing message) and their ratio, and at the end how the uninstall grows
# between the counts.
# Usage: benchmark-uninstall.sh [N...]   (SETUP_BUILD_DIR: build folder, default build/ of the
#                                         project; BENCHMARK_KEEP=1 keeps the work folder)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SETUP_BUILD_DIR:-$root/build}
. "$root/tools/wine-env.sh"
counts=("$@")
[ ${#counts[@]} -gt 0 ] || counts=(300 1200 4800)

build_for_wine "$root" "$build" setup_exe uninstall_exe setup_driver

work=$(mktemp -d /tmp/uninstall-benchmark.XXXXXX)
wine_select "$arch"
export WINEPREFIX=$work/prefix
xvfb=""
cleanup() {
  set +e
  [ -d "$WINEPREFIX" ] && "$WINE_SERVER" -k 2>/dev/null
  [ -n "$xvfb" ] && { kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; }
  if [ "${BENCHMARK_KEEP:-0}" = 1 ]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

"$root/tools/make-wine-prefix.sh" "$arch" "$WINEPREFIX"
start_xvfb "$work" || { echo "benchmark-uninstall.sh: Xvfb did not start" >&2; exit 2; }
"$WINE_SERVER" -w

driver() { "$WINE_LOADER" "$run_build/tests/win32/setup_driver.exe" "$@" | tr -d '\r'; }
now_ms() { date +%s%3N; }
dest=$WINEPREFIX/drive_c/BENCH
: >"$work/results.txt"

for n in "${counts[@]}"; do
  # The medium: N files of 1 to 3 KB over the folder and four subfolders, and the uninstaller.
  rm -rf "$work/originals" "$work/medium" "$dest"
  mkdir -p "$work/originals"
  cp "$run_build/UNINSTAL.EXE" "$work/originals/"
  python3 - "$n" "$work/SETUP.INF" "$work/originals" <<'EOF'
import os, sys
count, script, originals = int(sys.argv[1]), sys.argv[2], sys.argv[3]
keys = ["RootDir", "SubDir1", "SubDir2", "SubDir3", "SubDir4"]
lines = ["1=UNINSTAL.EXE,UNINSTAL.EXE,Uninstall,RootDir"]
for n in range(1, count + 1):
    name = f"F{n:05d}.DAT"
    with open(os.path.join(originals, name), "wb") as f:
        f.write((f"file {n} " * (100 + n % 200)).encode())
    lines.append(f"{n + 1}={name},{name},File {n},{keys[n % len(keys)]}")
with open(script, "w", newline="\r\n") as f:
    f.write("[Main]\nProductName=Uninstall Benchmark\nDefaultPath=C:\\BENCH\nMinimumSpace=1\n\n")
    f.write("[DiskLabel]\nDisk1=Uninstall Benchmark\n\n[DirectoryName]\nRootDir=\n")
    f.write("".join(f"SubDir{i}=DATA{i}\n" for i in range(1, 5)))
    f.write(f"\n[FileCounts]\nDisk1={count + 1}\n\n[Disk1]\n" + "\n".join(lines) + "\n\n")
    f.write("[REGISTRY_BEGIN]\nHKLM,SOFTWARE\\UninstallBenchmark,Version,,1.0\n[REGISTRY_END]\n")
EOF
  "$build/native/setup-medium" --force --script "$work/SETUP.INF" --originals "$work/originals" \
    --setup "$run_build/SETUP.EXE" --out "$work/medium" >/dev/null
  ln -sfn "$work/medium" "$WINEPREFIX/dosdevices/a:"

  # The install, its copy page timed.
  "$WINE_SERVER" -p
  "$WINE_LOADER" 'A:\SETUP.EXE' &
  setup=$!
  driver wait SETUP_BEGIN 120 >/dev/null
  driver click SETUP_BEGIN 1
  driver wait SETUP_SELDIR >/dev/null
  driver times 3600 >"$work/times" &
  timer=$!
  driver click SETUP_SELDIR 1
  driver box 1 >/dev/null # the destination does not exist yet: create it
  wait "$timer"
  driver click SETUP_END 1033
  driver click SETUP_END 1
  wait "$setup" || true
  "$WINE_SERVER" -k 2>/dev/null || true
  "$WINE_SERVER" -w 2>/dev/null || true
  install_ms=$(awk '{print $4}' "$work/times")
  placed=$(find "$dest" -name 'F*.DAT' | wc -l)
  [ "$placed" = "$n" ] || { echo "benchmark-uninstall.sh: $placed of $n files installed" >&2; exit 1; }

  # The uninstall, from the answer to its closing message.
  "$WINE_SERVER" -p
  driver run 'C:\BENCH\UNINSTAL.EXE' >/dev/null &
  runner=$!
  driver box 6 120 >/dev/null
  start=$(now_ms)
  message=$(driver box 1 3600)
  uninstall_ms=$(($(now_ms) - start))
  wait "$runner" || true
  "$WINE_SERVER" -k 2>/dev/null || true
  "$WINE_SERVER" -w 2>/dev/null || true
  left=$( (find "$dest" -name 'F*.DAT' 2>/dev/null || true) | wc -l)
  [ "$left" = 0 ] || { echo "benchmark-uninstall.sh: $left files left: $message" >&2; exit 1; }
  echo "$n $install_ms $uninstall_ms" >>"$work/results.txt"
  awk -v n="$n" -v i="$install_ms" -v u="$uninstall_ms" \
    'BEGIN { printf "N = %5d: install %7d ms, uninstall %7d ms, ratio %.2f\n", n, i, u, u / i }'
done

python3 - "$work/results.txt" <<'EOF'
import sys
rows = [tuple(float(x) for x in line.split()) for line in open(sys.argv[1])]
for (n1, _, u1), (n2, _, u2) in zip(rows, rows[1:]):
    print(f"{n2 / n1:.0f}x the files ({n1:.0f} to {n2:.0f}): {u2 / u1:.2f}x the uninstall time")
EOF
