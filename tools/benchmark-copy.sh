#!/usr/bin/env bash
# Measures what the copy page costs beyond the file transfers themselves. Makes a medium of 500
# files (about 20 MB, every second one SZDD-compressed) with setup-medium, installs it with
# SETUP.EXE under Wine on a headless display of its own, and times the copy page from the
# outside with setup_driver. Then bare_expand does the same transfers (LZOpenFileA, LZCopy,
# LZClose for the same source and target pairs) without any window. Prints both times and their
# ratio, the page's time taken without its two fixed 500 ms pauses, over a few rounds.
# Usage: benchmark-copy.sh   (SETUP_BUILD_DIR: build folder, default build/ of the project;
#                             BENCHMARK_ROUNDS: rounds, default 5; BENCHMARK_KEEP=1 keeps the
#                             work folder)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SETUP_BUILD_DIR:-$root/build}
. "$root/tools/wine-env.sh"

build_for_wine "$root" "$build" setup_exe setup_driver bare_expand

work=$(mktemp -d /tmp/setup-benchmark.XXXXXX)
wine_select "$arch"
export WINEPREFIX=$work/prefix
xvfb=""
setup=""
cleanup() {
  set +e # every step runs, whatever failed before
  [ -n "$setup" ] && kill "$setup" 2>/dev/null
  [ -d "$WINEPREFIX" ] && "$WINE_SERVER" -k 2>/dev/null
  [ -n "$xvfb" ] && { kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; }
  if [ "${BENCHMARK_KEEP:-0}" = 1 ]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

# ---- The medium: SETUP.EXE, SETUP.INF, 500 files; and the list of transfers for bare_expand.
medium=$work/medium
mkdir -p "$work/originals"
python3 - "$work/SETUP.INF" "$work/originals" "$work/pairs.txt" <<'EOF'
import os, random, sys
script, originals, pairs_path = sys.argv[1:4]
count = 500
subdirs = ["DATA1", "DATA2", "DATA3", "DATA4"]
keys = ["RootDir", "SubDir1", "SubDir2", "SubDir3", "SubDir4"]
rng = random.Random(1998)
words = [bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 9)))
         for _ in range(400)]
lines, pairs = [], []
for n in range(1, count + 1):
    size = rng.randint(8 * 1024, 72 * 1024)  # 40 KB on average: about 20 MB in all
    text = bytearray()
    while len(text) < size:  # words and some noise: compressible, as driver files are
        text += rng.choice(words) + b" "
        if rng.random() < 0.1:
            text += bytes(rng.getrandbits(8) for _ in range(8))
    target = f"F{n:04d}.DAT"
    compressed = n % 2 == 1
    source = target[:-1] + "_" if compressed else target
    with open(os.path.join(originals, target), "wb") as f:
        f.write(text[:size])
    key = keys[n % len(keys)]
    lines.append(f'{n}=%s,%s,"Benchmark file {n}",{key}' % (source, target))
    folder = "" if key == "RootDir" else "\\" + subdirs[keys.index(key) - 1]
    pairs.append(f"A:\\{source}\tC:\\BENCH{folder}\\{target}")
with open(script, "w", newline="\r\n") as f:
    f.write("[Main]\nProductName=Copy Benchmark\nDefaultPath=C:\\BENCH\nDriverName=F0002.DAT\n"
            "MinimumSpace=30000\n\n")
    f.write("[DiskLabel]\nDisk1=Copy Benchmark Disk 1\n\n[DirectoryName]\nRootDir=\n")
    f.write("".join(f"SubDir{i + 1}={d}\n" for i, d in enumerate(subdirs)))
    f.write(f"\n[FileCounts]\nDisk1={count}\n\n[Disk1]\n" + "\n".join(lines) + "\n\n")
    f.write("[REGISTRY_BEGIN]\nHKLM,SOFTWARE\\CopyBenchmark,Version,,1.0\n[REGISTRY_END]\n")
with open(pairs_path, "w") as f:
    f.write("\n".join(pairs) + "\n")
EOF
# The benchmark's medium installs no uninstaller, which the checker reports: --force.
"$build/native/setup-medium" --force --script "$work/SETUP.INF" --originals "$work/originals" \
  --setup "$run_build/SETUP.EXE" --out "$medium" | tail -n 1
echo "Medium: $(ls "$medium" | wc -l) files, $(du -sm "$medium" | cut -f1) MB packed," \
  "$(du -sm "$work/originals" | cut -f1) MB expanded"

# ---- A prefix and a display of our own; the medium is drive A:. Every round runs under a
# wineserver of its own, ended at the round's end (which also ends the control panel that the
# finish page opens).
"$root/tools/make-wine-prefix.sh" "$arch" "$WINEPREFIX"
ln -sfn "$medium" "$WINEPREFIX/dosdevices/a:"
start_xvfb "$work" || { echo "benchmark-copy.sh: Xvfb did not start" >&2; exit 2; }
joystick='HKLM\System\CurrentControlSet\control\MediaResources\joystick\msjstick.drv<0000>'
"$WINE_LOADER" reg add "$joystick\\CurrentJoystickSettings" /f >/dev/null 2>&1
"$WINE_SERVER" -w

driver() { "$WINE_LOADER" "$run_build/tests/win32/setup_driver.exe" "$@"; }
winepath_of() { echo "Z:${1//\//\\}"; }
dest=$WINEPREFIX/drive_c/BENCH
check_targets() { # prints how many targets differ from their originals
  python3 - "$work/pairs.txt" "$work/originals" "$WINEPREFIX/drive_c" <<'EOF'
import filecmp, os, sys
pairs, originals, drive_c = sys.argv[1:4]
wrong = 0
for line in open(pairs):
    target = line.rstrip("\n").split("\t")[1]  # C:\BENCH\...
    path = os.path.join(drive_c, *target[3:].split("\\"))
    original = os.path.join(originals, os.path.basename(path))
    if not os.path.exists(path) or not filecmp.cmp(original, path, shallow=False):
        wrong += 1
print(wrong)
EOF
}
end_round() { "$WINE_SERVER" -k 2>/dev/null || true; "$WINE_SERVER" -w 2>/dev/null || true; }

# Adds the milliseconds of the bare transfers, into freshly made target folders, to bare.txt.
bare_round() {
  rm -rf "$dest"
  mkdir -p "$dest"/DATA1 "$dest"/DATA2 "$dest"/DATA3 "$dest"/DATA4
  "$WINE_SERVER" -p
  local line
  line=$("$WINE_LOADER" "$run_build/tests/win32/bare_expand.exe" "$(winepath_of "$work/pairs.txt")" | tr -d '\r')
  end_round
  [ "$(check_targets)" = 0 ] || { echo "benchmark-copy.sh: bare_expand wrote wrong targets ($line)" >&2; exit 1; }
  awk '{print $6}' <<<"$line" >>"$work/bare.txt"
}

# Walks the setup to its finish page while setup_driver times the copy page; adds the copy
# loop's and the whole page's milliseconds to page.txt.
page_round() {
  rm -rf "$dest"
  "$WINE_SERVER" -p
  "$WINE_LOADER" 'A:\SETUP.EXE' &
  setup=$!
  driver wait SETUP_BEGIN >/dev/null
  driver click SETUP_BEGIN 1
  driver wait SETUP_SELDIR >/dev/null
  driver times > "$work/times" &
  local timer=$!
  driver click SETUP_SELDIR 1
  driver box 1 >/dev/null # the destination does not exist yet: create it
  wait "$timer" || { echo "benchmark-copy.sh: the copy page was not timed" >&2; exit 1; }
  driver click SETUP_END 1033
  driver click SETUP_END 1
  wait "$setup" || true
  setup=""
  end_round
  [ "$(check_targets)" = 0 ] || { echo "benchmark-copy.sh: the setup wrote wrong targets" >&2; exit 1; }
  tr -d '\r' <"$work/times" | awk '{print $2, $4}' >>"$work/page.txt"
}

# ---- Rounds of bare transfers and setups in turn. The machine may be busy with other work, so
# the figures compared are each kind's fastest round (the least disturbed), with the medians
# beside them.
rounds=${BENCHMARK_ROUNDS:-5}
: >"$work/bare.txt"
: >"$work/page.txt"
for round in $(seq 1 "$rounds"); do
  bare_round
  page_round
  read -r loop_ms page_ms < <(tail -n 1 "$work/page.txt")
  echo "round $round: bare $(tail -n 1 "$work/bare.txt") ms, copy loop $loop_ms ms, copy page $page_ms ms"
done

python3 - "$work/bare.txt" "$work/page.txt" <<'EOF'
import statistics, sys
bare = [float(l) for l in open(sys.argv[1])]
loop, page = zip(*([float(x) for x in l.split()] for l in open(sys.argv[2])))
net = [p - 1000 for p in page]  # without the two fixed 500 ms pauses
def row(name, values, base):
    low, mid = min(values), statistics.median(values)
    ratio = "" if base is None else f"   ratio {low / min(base):.3f} (medians {mid / statistics.median(base):.3f})"
    print(f"{name:28s}{low:9.1f} ms (median {mid:7.1f}){ratio}")
print()
row("bare expansion", bare, None)
row("copy loop (to registry)", loop, bare)
row("copy page without pauses", net, bare)
extra = min(net) - min(bare)
print(f"{'page cost over bare':28s}{extra:9.1f} ms, {extra / 500:.2f} ms a file, "
      f"{100 * extra / min(bare):+.1f} %")
EOF
