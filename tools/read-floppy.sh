#!/usr/bin/env bash
# Reads a floppy image back into a folder with mtools: shows its volume label (mdir), copies
# every file of its root folder out (mcopy), and checks that every file that mdir lists arrived.
# Usage: read-floppy.sh IMAGE FOLDER
set -euo pipefail
image=$1 folder=$2
if ! command -v mcopy >/dev/null; then
  echo "read-floppy.sh: mcopy is missing: install the package mtools" >&2
  exit 2
fi

mdir -i "$image" :: | sed -n 's/^ *Volume in drive : is /volume label: /p'
mkdir -p "$folder"
mcopy -n -i "$image" '::/*' "$folder/"
count=0
while read -r entry; do
  name=${entry#::/}
  [ -f "$folder/$name" ] || { echo "read-floppy.sh: $name was not read back" >&2; exit 1; }
  count=$((count + 1))
done < <(mdir -i "$image" -b ::)
echo "read back $count files from $image into $folder"
