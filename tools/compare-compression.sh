#!/usr/bin/env bash
# Compares setup-medium's SZDD compressor with mscompress on the same files: the compressed size
# of each file, the totals, and the time that each takes for all of them (setup-medium's is the
# whole build of a medium of those files: reading, compressing, checking, writing). Prints a
# Markdown table.
# Usage: compare-compression.sh [FILE...]
#   default FILEs: the sample's originals as the Windows build puts them together (with its
#   UNINSTAL.EXE), else sample/files/*; SETUP_BUILD_DIR: build folder, default build/ of the project
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SETUP_BUILD_DIR:-$root/build}
if ! command -v mscompress >/dev/null; then
  echo "compare-compression.sh: mscompress is missing (tools/install-deps.sh installs it)" >&2
  exit 2
fi
files=("$@")
if [ ${#files[@]} -eq 0 ]; then
  files=("$build"/win32/originals/*)
  [ -e "${files[0]}" ] || files=("$root"/sample/files/*)
fi

cmake -G Ninja -S "$root" -B "$build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build/native" --target setup_medium >/dev/null

work=$(mktemp -d /tmp/compare-compression.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/originals" "$work/mscompress"

# A medium that compresses every file, each under an 8.3 name of its own.
lines=""
for i in "${!files[@]}"; do
  name=$(printf 'F%03d.DAT' "$((i + 1))")
  cp "${files[$i]}" "$work/originals/$name"
  cp "${files[$i]}" "$work/mscompress/$name"
  lines+="$((i + 1))=${name%T}_,$name,File $((i + 1)),RootDir"$'\n'
done
{
  printf '[Main]\nProductName=Compression\nDriverName=F001.DAT\nMinimumSpace=32767\n'
  printf '[DiskLabel]\nDisk1=Compression\n[FileCounts]\nDisk1=%d\n[Disk1]\n%s' "${#files[@]}" "$lines"
} >"$work/SETUP.INF"
echo "MZ" >"$work/SETUP.EXE"

now() { date +%s%N; }
start=$(now)
"$build/native/setup-medium" --force --script "$work/SETUP.INF" --originals "$work/originals" \
  --setup "$work/SETUP.EXE" --out "$work/medium" >/dev/null 2>&1
ours_ms=$(( ($(now) - start) / 1000000 ))
start=$(now)
(cd "$work/mscompress" && mscompress ./*.DAT)
theirs_ms=$(( ($(now) - start) / 1000000 ))

percent() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%+.1f %%", b ? 100 * (a - b) / b : 0 }'; }
echo "| File | Size | mscompress | setup-medium | Difference |"
echo "|---|---:|---:|---:|---:|"
total=0 total_theirs=0 total_ours=0
for i in "${!files[@]}"; do
  name=$(printf 'F%03d.DAT' "$((i + 1))")
  size=$(stat -c %s "$work/originals/$name")
  theirs=$(stat -c %s "$work/mscompress/${name}_")
  ours=$(stat -c %s "$work/medium/${name%T}_")
  total=$((total + size)) total_theirs=$((total_theirs + theirs)) total_ours=$((total_ours + ours))
  difference="$((ours - theirs)) ($(percent "$ours" "$theirs"))"
  echo "| $(basename "${files[$i]}") | $size | $theirs | $ours | $difference |"
done
difference="$((total_ours - total_theirs)) ($(percent "$total_ours" "$total_theirs"))"
echo "| **all ${#files[@]} files** | $total | $total_theirs | $total_ours | $difference |"
echo "| time | | $theirs_ms ms | $ours_ms ms | |"
