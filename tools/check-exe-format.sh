#!/usr/bin/env bash
# Checks that SETUP.EXE loads on a fresh Windows 95: a 32-bit GUI program with subsystem version
# 4.0 that imports only from the system DLLs that Windows 95 has (no C runtime DLL), each function
# from the DLL that exports it there; without relocations, which a program at its fixed base never
# needs; and, when a size is given, no larger than that.
# Usage: check-exe-format.sh SETUP.EXE [MOST_BYTES]
set -euo pipefail
exe=$1
most=${2:-}
dump=$(i686-w64-mingw32-objdump -p "$exe")
fail=0
grep -q '^Magic[[:space:]]*010b' <<<"$dump" || { echo "not a 32-bit (PE32) image"; fail=1; }
grep -qE '^Subsystem[[:space:]]+00000002' <<<"$dump" || { echo "not a Windows GUI program"; fail=1; }
major=$(awk '/^MajorSubsystemVersion/ {print $2}' <<<"$dump")
minor=$(awk '/^MinorSubsystemVersion/ {print $2}' <<<"$dump")
if [ "$major" != 4 ] || [ "$minor" != 0 ]; then
  echo "subsystem version is $major.$minor, not 4.0"; fail=1
fi
allowed='^(KERNEL32|USER32|GDI32|COMDLG32|ADVAPI32|LZ32|VERSION)\.DLL$'
while read -r dll; do
  if ! grep -qiE "$allowed" <<<"$dll"; then
    echo "imports from $dll"; fail=1
  fi
done < <(awk '/DLL Name:/ {print $3}' <<<"$dump")
# Windows 95/98 export the LZ expansion functions only from LZ32.DLL, not from KERNEL32.
misplaced=$(awk -F'\t' '/DLL Name:/ {split($2, name, " "); dll = toupper(name[3]); next}
  dll != "LZ32.DLL" && $3 ~ /^ *[0-9]+ +LZ[A-Z]/ {split($3, entry, " "); print dll ":" entry[2]}' <<<"$dump")
if [ -n "$misplaced" ]; then
  echo "LZ functions not imported from LZ32.DLL:" $misplaced; fail=1
fi
if grep -qE '^ +[0-9]+ +\.reloc ' < <(i686-w64-mingw32-objdump -h "$exe"); then
  echo "has a relocation section"; fail=1
fi
grep -q 'relocations stripped' <<<"$dump" || { echo "not marked as having no relocations"; fail=1; }
size=$(stat -c %s "$exe")
if [ -n "$most" ] && [ "$size" -gt "$most" ]; then
  echo "$size bytes, more than $most"; fail=1
fi
echo "$size bytes; imports: $(awk '/DLL Name:/ {printf "%s ", $3}' <<<"$dump")"
exit $fail
