#!/usr/bin/env bash
# Compiles the probe with each MinGW cross compiler present (the 32-bit one checks the host
# records' 32-bit layout as well), then checks that no identifier of the platform interface's
# headers is one of the system headers' macros: an object-like macro would rename a method
# without any error, so the probe's success alone would not show it.
# Usage: compile_with_windows_headers.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
probe=$source_dir/tests/probes/windows_names_probe.cpp
headers=("$source_dir"/src/platform/*.h)
skip=77

compilers=()
for triple in x86_64-w64-mingw32 i686-w64-mingw32; do
  command -v "$triple-g++" >/dev/null && compilers+=("$triple-g++")
done
if [ ${#compilers[@]} -eq 0 ]; then
  echo "skipped: no MinGW-w64 cross compiler (x86_64-w64-mingw32-g++ or i686-w64-mingw32-g++) on PATH"
  exit $skip
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for compiler in "${compilers[@]}"; do
  echo "== $compiler"
  "$compiler" -std=c++17 -Wall -Wextra -Werror -fsyntax-only -I"$source_dir/src" "$probe"

  printf '#include <windows.h>\n#include <commctrl.h>\n#include <ddraw.h>\n#include <mmsystem.h>\n#include <shellapi.h>\n' |
    "$compiler" -x c++ -E -dM - | awk '{ sub(/\(.*/, "", $2); print $2 }' | sort -u >"$work/macros"
  # Identifiers of the headers with comments and string literals removed. The calling
  # convention and the platform tests (_WIN32, __stdcall) are meant to be the system's.
  for header in "${headers[@]}"; do
    "$compiler" -x c++ -fpreprocessed -dD -E "$header" 2>/dev/null
  done | sed -E 's/"([^"\\]|\\.)*"//g' | grep -oE '\b[A-Za-z_][A-Za-z0-9_]*\b' |
    grep -vxE '_WIN32|_WIN64|__stdcall' | sort -u >"$work/ours"
  taken=$(comm -12 "$work/macros" "$work/ours")
  if [ -n "$taken" ]; then
    echo "names of the platform interface that the system headers define as macros:"
    echo "$taken"
    exit 1
  fi
done
echo "the platform interface compiles beside <windows.h> with the system's values"
