#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, address and undefined-behaviour sanitizers, and runs
# each for a bounded time from its seed corpus. Fails when any target finds a crash, a
# sanitizer report, a leak, a hang or a broken invariant; the input is kept under
# build/fuzz/findings/. Prints the executions of every target.
#
#   scripts/fuzz.sh [seconds per target, default 30] [target ...]   (ZELVA_FUZZ_JOBS at once, default 2)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/say-why.sh"
cd "$(dirname "$0")/.."

seconds=${1:-30}
shift || true
build=build/fuzz

if ! command -v clang++ >/dev/null; then
  echo "clang++ is missing: run scripts/install-deps.sh" >&2
  exit 2
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DZELVA_BUILD_FUZZERS=ON -DZELVA_BUILD_UI=OFF \
  -DZELVA_BUILD_TESTS=OFF -DZELVA_BUILD_BENCHMARKS=OFF -DZELVA_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build "$build" --target zelva_fuzzers -j "${ZELVA_BUILD_JOBS:-2}"

if (($# > 0)); then
  targets=("$@")
else
  mapfile -t targets <"$build/fuzz-targets.txt"
fi

mkdir -p "$build/findings" "$build/logs"
export UBSAN_OPTIONS=print_stacktrace=1

# One target for its time; its status goes to a file beside its log, as it runs in the
# background beside another.
fuzz_one() {
  local target=$1 log="$build/logs/$1.log"
  # New inputs go to the build's own corpus; the committed seeds under fuzz/corpus are read only.
  mkdir -p "$build/corpus/$target" "fuzz/corpus/$target"
  if "$build/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
      -rss_limit_mb=2048 -artifact_prefix="$build/findings/$target-" \
      "$build/corpus/$target" "fuzz/corpus/$target" >"$log" 2>&1; then
    echo ok >"$log.status"
  else
    echo FAILED >"$log.status"
  fi
}

# Each target uses one core: ZELVA_FUZZ_JOBS of them run at once (default 2), which halves
# the step on the two-core machine.
jobs=${ZELVA_FUZZ_JOBS:-2}
running=0
for target in "${targets[@]}"; do
  rm -f "$build/logs/$target.log.status"
  fuzz_one "$target" &
  running=$((running + 1))
  if ((running >= jobs)); then
    wait -n || true
    running=$((running - 1))
  fi
done
wait

failed=()
for target in "${targets[@]}"; do
  log="$build/logs/$target.log"
  status=$(cat "$log.status" 2>/dev/null || echo FAILED)
  executions=$(awk '/stat::number_of_executed_units/ {print $2}' "$log")
  printf '%-26s %12s executions in %ss  %s\n' "$target" "${executions:-?}" "$seconds" "$status"
  if [[ $status != ok ]]; then
    failed+=("$target")
    grep -E 'ERROR|invariant broken|runtime error|SUMMARY|Test unit written' "$log" | head -20 >&2 || true
    echo "  full log: $log" >&2
  fi
done

if ((${#failed[@]} > 0)); then
  echo "fuzzing found problems in: ${failed[*]}" >&2
  exit 1
fi
