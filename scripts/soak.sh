#!/usr/bin/env bash
# The long run of the plug-in under AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer, optimised (the fuzz preset's build): 200,000 frames at 640x480
# and 100 Init/Quit cycles by default. Prints resident memory at 10 % and at the end.
#
#   scripts/soak.sh [FRAMES] [CYCLES]
set -euo pipefail
cd "$(dirname "$0")/.."

export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER-ccache}
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER-ccache}
command -v ccache >/dev/null || unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j 2 --target corvex_soak
ASAN_OPTIONS=${ASAN_OPTIONS-detect_leaks=1} build/fuzz/soak/corvex_soak "${1:-200000}" "${2:-100}"
