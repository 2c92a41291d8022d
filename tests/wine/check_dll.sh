#!/usr/bin/env bash
# Checks the built plug-in library as a media player's loader sees it: winampVisGetHeader is
# its one export, and it needs only DLLs every Windows has (no MinGW runtime beside it). And
# it holds no aligned AVX move: MinGW keeps the stack 16-byte aligned only, so a 32-byte
# aligned move of a spilled local would fault; the build turns every one into its unaligned
# twin.
#   check_dll.sh OBJDUMP DLL
set -uo pipefail
objdump=$1
dll=$2
listing=$("$objdump" -p "$dll") || { echo "cannot read $dll"; exit 1; }
failures=0

exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$listing" | sed -n 's/^\s*\[ *[0-9]*\] //p' | paste -sd' ')
if [[ "$exports" != "winampVisGetHeader" ]]; then
  echo "FAILED: the exports are '$exports', not winampVisGetHeader alone"
  failures=1
fi

system_dlls=" advapi32.dll comctl32.dll ddraw.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll shell32.dll user32.dll winmm.dll "
while read -r name; do
  lower=$(tr '[:upper:]' '[:lower:]' <<<"$name")
  if [[ "$system_dlls" != *" $lower "* ]]; then
    echo "FAILED: depends on $name, which is no system DLL"
    failures=1
  fi
  echo "imports $name"
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$listing")

aligned=$("$objdump" -d "$dll" | grep -cE '\svmov(dqa|aps|apd|dqa32|dqa64)\s')
if [[ "$aligned" != 0 ]]; then
  echo "FAILED: $aligned aligned AVX moves"
  failures=1
fi

echo "exports: $exports"
echo "size: $(stat -c %s "$dll") bytes"
exit $failures
