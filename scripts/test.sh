#!/usr/bin/env bash
# Installs what is missing, then builds and runs every check:
#   0. the code format (.clang-format) of every source;
#   1. the whole test suite, optimised, warnings as errors (preset ci), with the count of the
#      zelva1 library's tests, and the tests of the Python package and of the zelva1 tool
#      (Debian's pytest) over what that build made; clang-tidy (.clang-tidy) over every file
#      that build compiles, from the moment it is built, and later over the Windows-only
#      files of the mingw-w64 build, each in the background at the lowest priority, so that
#      it takes the processor time the tests and the steps below leave idle (the tests run
#      on one core); its findings fail the command at the end;
#   2. the same suite under the address and undefined-behaviour sanitizers (preset asan);
#   3. Windows (scripts/windows.sh): everything cross-built with mingw-w64, every test program
#      run under Wine, the zip package unpacked and started; it prints its own count,
#      "Windows (Wine): N passed, N failed", or says it was skipped where no Qt for mingw-w64
#      is at hand;
#   4. each fuzz target for a short time (15 s, two at a time), so a regression is caught at
#      once;
#   5. the Debian packages (debhelper): made from the ci build, checked by lintian, installed,
#      each used as its user would (the monitor started offscreen), purged.
# It ends with a line giving the minutes each step took and one counting the tests of the two
# Linux suites. A run that fails ends with the step it failed in; every script names the
# command, line and status it stopped at (scripts/say-why.sh), so none ends without a word.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/say-why.sh"
cd "$(dirname "$0")/.."

# The time each step took, so that a slow one shows where CI's time goes.
step_times=()
step_name=""
step_started=$SECONDS
step() {
  if [[ -n $step_name ]]; then step_times+=("$step_name $((SECONDS - step_started)) s"); fi
  step_name=$1
  step_started=$SECONDS
}
step "dependencies"

bash scripts/install-deps.sh
# The package check below needs nothing more; it installs the dependencies only when run alone.
export ZELVA_DEPS_INSTALLED=1

step "format"
echo "=== code format"
bash scripts/format-check.sh

passed=0
failed=0

run_suite() {
  local preset=$1
  shift
  echo "=== test suite: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  # What needs only the build starts before the tests, which leave a core idle.
  "$@"
  local log="build/ctest-$preset.log"
  local status=0
  ctest --preset "$preset" 2>&1 | tee "$log" || status=$?
  # "100% tests passed, 0 tests failed out of 292"
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1 || true)
  if [[ -z "$line" ]]; then
    echo "ctest ($preset) printed no summary" >&2
    exit 1
  fi
  local suite_failed suite_total
  suite_failed=$(sed -E 's/.*tests passed, ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
  suite_total=$(sed -E 's/.*tests passed, ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
  passed=$((passed + suite_total - suite_failed))
  failed=$((failed + suite_failed))
  if ((status != 0 || suite_failed != 0)); then
    echo "$passed passed, $failed failed"
    exit 1
  fi
}

background=()
stop_tree() {
  local child
  for child in $(pgrep -P "$1" || true); do stop_tree "$child"; done
  kill "$1" 2>/dev/null || true
}
stop_background() {
  for pid in "${background[@]}"; do stop_tree "$pid"; done
}
# Whatever ends the command early, its last lines say in which step.
on_exit() {
  local status=$?
  stop_background
  if ((status != 0)); then
    echo "test.sh: failed in the step \"$step_name\" (status $status, after $((SECONDS - step_started)) s in it); the lines above say why" >&2
  fi
}
trap on_exit EXIT

start_tidy() {
  local log=$1
  shift
  # In this session: a session of its own would be scheduled beside this one as an equal,
  # whatever its nice value, where the kernel groups processes by session.
  nice -n 19 bash scripts/tidy.sh "$@" >"$log" 2>&1 &
  background+=($!)
}

# Waits for the clang-tidy runs and shows what they found; fails on any finding.
finish_tidy() {
  local waited=$SECONDS status=0 pid log
  for pid in "${background[@]}"; do
    wait "$pid" || status=1
  done
  background=()
  echo "=== clang-tidy (waited $((SECONDS - waited)) s for it after the other checks)"
  for log in "$@"; do
    if ((status != 0)); then cat "$log"; else tail -n 1 "$log"; fi
  done
  if ((status != 0)); then
    echo "$passed passed, $failed failed"
    echo "test.sh: clang-tidy found something (fix it, or suppress it at its line with the reason)" >&2
    exit 1
  fi
}

# The zelva1 library's tests among the suite's, counted on their own.
count_library_tests() {
  local log="build/ctest-$1.log" library_passed library_failed
  library_passed=$(grep -cE 'zelva1_library\.[^ ]+ \.+ +Passed' "$log" || true)
  library_failed=$(grep -E 'Test +#[0-9]+: zelva1_library\.' "$log" | grep -cvE 'Passed' || true)
  echo "zelva1 library ($1): $library_passed passed, $library_failed failed"
}

# The Python package and the zelva1 tool (tests/cli) with Debian's pytest (not another
# Python's) over what the ci build made.
# Its count joins the total; a run that collects no test (pytest's status 5) is a failure.
run_pytest() {
  echo "=== Python package (pytest)"
  local log=build/pytest.log status=0 line py_passed py_failed
  ZELVA1_LIBRARY=$PWD/build/ci/lib/libzelva1.so.1 ZELVA1_TOOL=$PWD/build/ci/cli/zelva1 \
    /usr/bin/python3 -m pytest -p no:cacheprovider --rootdir . python tests/cli tests/scripts 2>&1 | tee "$log" || status=$?
  line=$(grep -E '^=+ .*[0-9]+ (passed|failed|error).* in [0-9.]+s' "$log" | tail -n 1 || true)
  py_passed=$({ grep -oE '[0-9]+ passed' <<<"$line" || true; } | awk '{ s += $1 } END { print s + 0 }')
  py_failed=$({ grep -oE '[0-9]+ (failed|errors?)' <<<"$line" || true; } | awk '{ s += $1 } END { print s + 0 }')
  echo "pytest: $py_passed passed, $py_failed failed"
  passed=$((passed + py_passed))
  failed=$((failed + py_failed))
  if ((status != 0 || py_passed == 0)); then
    echo "test.sh: pytest failed (status $status; 5 means no test was collected)" >&2
    echo "$passed passed, $failed failed"
    exit 1
  fi
}

tidy_logs=(build/tidy.log)
step "ci suite"
run_suite ci start_tidy build/tidy.log
count_library_tests ci
step "pytest"
run_pytest
step "asan suite"
run_suite asan

step "Windows"
echo "=== Windows: build, tests under Wine, package"
windows_status=0
bash scripts/windows.sh || windows_status=$?
# Status 3: skipped, which the script has said; anything else but 0 is a failure.
if ((windows_status != 0 && windows_status != 3)); then
  echo "test.sh: the Windows part failed (status $windows_status)" >&2
  exit 1
fi
if ((windows_status == 0)); then
  start_tidy build/tidy-windows.log --windows
  tidy_logs+=(build/tidy-windows.log)
fi

step "fuzz"
echo "=== fuzz targets"
bash scripts/fuzz.sh 15

step "Debian package"
echo "=== Debian package"
bash scripts/package-check.sh

step "clang-tidy wait"
finish_tidy "${tidy_logs[@]}"
step ""

echo "time: $(IFS=','; echo "${step_times[*]}" | sed 's/,/, /g') (total $SECONDS s)"

echo "$passed passed, $failed failed"
