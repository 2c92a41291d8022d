#!/usr/bin/env bash
# The whole check on a fresh machine: install what is missing, then configure, build and run
# every test, first in the development build and then under AddressSanitizer and
# UndefinedBehaviorSanitizer (both include the 5,000-frame soak and the replay of every kept
# fuzz input); then a short run of each libFuzzer target over its corpus; then the Windows
# plug-in: the 32-bit product is built and its exports and imports checked, the 64-bit one is
# built and run in the test host under Wine. The Wine soak runs CORVEX_SOAK_FRAMES frames (2000
# here, to keep the run short; 20000 by hand). Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

for preset in dev asan; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j "$(nproc)"
done

echo "== fuzz"
scripts/fuzz.sh 10

for preset in win32 win64; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  CORVEX_SOAK_FRAMES=${CORVEX_SOAK_FRAMES:-2000} ctest --preset "$preset"
done
