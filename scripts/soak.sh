#!/usr/bin/env bash
# The long run of the plug-in: 200,000 frames at 640x480 and 100 Init/Quit cycles by default.
# Prints resident memory at each tenth of the run and the largest growth after a display change.
# By default under AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer, optimised (the
# fuzz preset's build); with --plain in the optimised development build, whose resident figures
# are the plug-in's own, with no quarantine or sanitizer allocator in them.
#
#   scripts/soak.sh [--plain] [FRAMES] [CYCLES]
set -euo pipefail
cd "$(dirname "$0")/.."

preset=fuzz
if [[ ${1-} == --plain ]]; then
  preset=dev
  shift
fi

export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER-ccache}
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER-ccache}
command -v ccache >/dev/null || unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j 2 --target corvex_soak
ASAN_OPTIONS=${ASAN_OPTIONS-detect_leaks=1} "build/$preset/soak/corvex_soak" "${1:-200000}" "${2:-100}"
