#!/usr/bin/env bash
# Builds the libFuzzer targets (the fuzz preset, clang) and runs each in turn for a set time,
# starting from its seed corpus in fuzz/corpus/<target>. New inputs that reach new code go to
# build/fuzz/corpus/<target> (the committed seeds stay small); a crash input is written to
# build/fuzz/crashes/<target>/ and ends the script with a failure: keep it in
# fuzz/regressions/<target>/ once fixed, where every test run replays it.
#
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]     (default: 60 seconds, every target)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
targets=("$@")
[[ ${#targets[@]} -gt 0 ]] || targets=(settings_file window_messages host_requests audio_reader)

export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER-ccache}
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER-ccache}
command -v ccache >/dev/null || unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j 2

export ASAN_OPTIONS=${ASAN_OPTIONS-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS-print_stacktrace=1:halt_on_error=1}
for target in "${targets[@]}"; do
  work=build/fuzz/corpus/$target
  crashes=build/fuzz/crashes/$target
  mkdir -p "$work" "$crashes"
  echo "== $target for ${seconds}s"
  # One process, one job: the machine is shared. -timeout catches a hang, -rss_limit_mb a
  # growth without end.
  set +e
  build/fuzz/fuzz/fuzz_"$target" "$work" "fuzz/corpus/$target" \
    -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -max_len=4096 \
    -artifact_prefix="$crashes/" -print_final_stats=1 2>&1 | tee "build/fuzz/$target.log" |
    grep -E '^(#[0-9]+.*(INITED|DONE)|stat::|==[0-9]+==|SUMMARY|fuzz check failed)'
  status=${PIPESTATUS[0]}
  set -e
  if [[ $status -ne 0 ]]; then
    echo "fuzz_$target found a failure; the input is in $crashes/ (log: build/fuzz/$target.log)" >&2
    exit 1
  fi
done
