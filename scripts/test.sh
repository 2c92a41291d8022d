#!/usr/bin/env bash
# The whole check on a fresh machine: install what is missing, then configure, build and run
# every test, first in the development build and then under AddressSanitizer and
# UndefinedBehaviorSanitizer (both include the 5,000-frame soak and the replay of every kept
# fuzz input); then a short run of each libFuzzer target over its corpus. Exits non-zero when
# anything fails.
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
