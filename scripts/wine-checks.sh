#!/usr/bin/env bash
# The Windows checks that run under Wine, called by scripts/windows.sh inside one xvfb-run
# session (Qt under Wine needs an X display even offscreen, for Wine's own hidden windows):
#
#   wine-checks.sh <build folder> <Qt for mingw> <package zip> [<installer>]
#
# Installs the Wine test driver's boards (tests/wine_driver/boards.conf) into the prefix; runs
# every test program listed in <build folder>/tests.txt once (the window tests on the
# offscreen platform), then those of device-path-tests.txt, which go through the system's
# real device path to those boards, one after the other; prints each program's counts, then
# "Windows (Wine): N passed, N failed", the parity check's verdict and the device path
# benchmark; unpacks the zip into an empty folder and starts the program from there as a
# user would (the windows platform, no DLL path of our own), which must print "main window
# shown", and runs the command-line tool's loopback check from there, then the README's
# command lines and C examples of its scripting section; then times that start against the
# minimal Qt program; then checks the installer (scripts/wine-installer-check.sh) when one is
# given. The Wine prefix, <build folder>/wine-prefix, is made afresh
# each run, so that no board of an earlier run is left in it. Exits 1 when anything fails.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/say-why.sh"
build=$(realpath "$1")
qt=$(realpath "$2")
zip=$(realpath "$3")
setup=${4:+$(realpath "$4")}
source_folder=$(realpath "$(dirname "$0")/..")
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
startup_runs=${ZELVA_STARTUP_RUNS:-5}

windows_path() { printf 'Z:%s' "${1//\//\\}"; }

export WINEPREFIX=$build/wine-prefix WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko: nothing here needs them, and their set-up would ask for downloads.
export WINEDLLOVERRIDES="mscoree,mshtml="
# A server left running in the old prefix (a run that was cut short) goes first.
"$wineserver" -k >/dev/null 2>&1 || true
rm -rf "$WINEPREFIX"
"$wine" wineboot --init >/dev/null 2>&1
# The set-up's own server lingers a while; a persistent one can start only after it.
"$wineserver" -w
# One server for the whole session rather than one per program.
"$wineserver" -p
trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT
# Wine hands no QT_* variable of ours to its programs: the platform is given as an argument,
# and the font folder of Qt's offscreen platform (which reads font files itself rather than
# asking the system) goes into the prefix's own environment. Liberation Mono stands in for
# Courier New, with its metrics, as on Debian.
"$wine" reg add 'HKCU\Environment' /v QT_QPA_FONTDIR /f \
  /d "$(windows_path /usr/share/fonts/truetype/liberation2)" >/dev/null 2>&1

runtime_folder() {
  dirname "$(realpath "$(x86_64-w64-mingw32-g++-posix -print-file-name="$1")")"
}

# --- The tests: the Qt and mingw runtime DLLs from where they lie.
logs=$build/wine-tests
rm -rf "$logs"
mkdir -p "$logs"
test_path="$(windows_path "$qt/bin");$(windows_path "$(runtime_folder libstdc++-6.dll)")"
test_path+=";$(windows_path "$(runtime_folder libwinpthread-1.dll)")"
# zelva1.dll for the programs that link the library.
test_path+=";$(windows_path "$build/lib")"

run_test() { # <kind> <program>: runs it in its folder; log and exit status in $logs
  local name
  name=$(basename "$2" .exe)
  local log=$logs/$name.log
  # QtTest writes to the system's debug output there unless given a file.
  local arguments=()
  if [[ $1 == qtest ]]; then
    arguments=(-platform offscreen -o "Z:${log//\//\\},txt")
  fi
  local status=0
  (cd "$(dirname "$2")" && WINEPATH=$test_path timeout "${test_timeout:-900}" "$wine" "$2" "${arguments[@]}") \
    >"$logs/$name.out" 2>&1 || status=$?
  # What else it printed (a crash, say) goes after its own log.
  cat "$logs/$name.out" >>"$log"
  rm -f "$logs/$name.out"
  echo "$status" >"$logs/$name.status"
}
export -f run_test
export wine logs test_path

# --- The Wine test driver's boards, those of its boards.conf, installed into the prefix for
# the end-to-end tests of the real device path (tests/wine_driver). The other test programs
# run on the simulated boards meanwhile: no settings file beside them names the driver.
driver_folder=$build
driver_tests=$build/device-path-tests.txt
installed=0
if [[ -f $driver_tests ]]; then
  if (cd "$driver_folder" && WINEPATH=$test_path "$wine" zelva1_test_install.exe zelva1_test.inf \
    "$(windows_path "$source_folder/tests/wine_driver/boards.conf")") >"$logs/install.log" 2>&1; then
    installed=1
  else
    echo "Wine test driver: the boards were not installed:" >&2
    tr -d '\r' <"$logs/install.log" >&2
  fi
fi

xargs -a "$build/tests.txt" -d '\n' -P "${ZELVA_BUILD_JOBS:-2}" -I{} bash -c 'run_test $1' _ {}
# They remove and install a board: alone, after the others.
if [[ -f $driver_tests ]]; then
  while read -r kind program; do
    if ((installed)); then
      # They take seconds; a device stack that wedges must not hold the checks for long.
      test_timeout=180 run_test "$kind" "$program"
    else
      name=$(basename "$program" .exe)
      echo "the Wine test driver's boards were not installed" >"$logs/$name.log"
      echo 1 >"$logs/$name.status"
    fi
  done <"$driver_tests"
fi

passed=0
failed=0
skipped=0
while read -r kind program; do
  name=$(basename "$program" .exe)
  log=$logs/$name.log
  status=$(cat "$logs/$name.status")
  text=$(tr -d '\r' <"$log" 2>/dev/null || true)
  p=0 f=0 s=0 summary=0
  if line=$(grep -E '^Totals: [0-9]+ passed, [0-9]+ failed, [0-9]+ skipped' <<<"$text"); then
    # QtTest: every test function, initTestCase and cleanupTestCase included.
    read -r p f s < <(sed -E 's/^Totals: ([0-9]+) passed, ([0-9]+) failed, ([0-9]+) skipped.*/\1 \2 \3/' <<<"$line")
    summary=1
  elif line=$(grep -E '^\[  PASSED  \] [0-9]+ tests?\.' <<<"$text"); then
    # GoogleTest: passed, then failed and skipped when there are any.
    p=$(sed -E 's/^\[  PASSED  \] ([0-9]+).*/\1/' <<<"$line")
    f=$(grep -E '^\[  FAILED  \] [0-9]+ tests?, listed below' <<<"$text" | sed -E 's/^\[  FAILED  \] ([0-9]+).*/\1/' || true)
    s=$(grep -E '^\[  SKIPPED \] [0-9]+ tests?, listed below' <<<"$text" | sed -E 's/^\[  SKIPPED \] ([0-9]+).*/\1/' || true)
    f=${f:-0} s=${s:-0}
    summary=1
  elif [[ $kind == plain ]] && ((status == 0)); then
    # A program of its own that checks one thing: its exit status is its result.
    p=1 summary=1
  fi
  # A program that crashed, hung or printed no summary is a failure of its own.
  if ((summary == 0 || status != 0)) && ((f == 0)); then
    f=1
  fi
  printf '  %-28s %4d passed, %d failed%s\n' "$name" "$p" "$f" "$( ((s > 0)) && echo ", $s skipped")"
  grep -E '^(SKIP   :|\[  SKIPPED \] [A-Za-z])' <<<"$text" | sed 's/^/    /' || true
  if ((f > 0)); then
    echo "---- $name (exit status $status):"
    tail -n 60 <<<"$text"
    echo "----"
  fi
  passed=$((passed + p))
  failed=$((failed + f))
  skipped=$((skipped + s))
done < <(cat "$build/tests.txt" "$driver_tests" 2>/dev/null)
if ((skipped > 0)); then
  echo "Windows (Wine): $skipped skipped (named above)"
fi
echo "Windows (Wine): $passed passed, $failed failed"
grep -h '^parity: ' "$logs"/wine_device_path_tests.log 2>/dev/null | tr -d '\r' || true

# --- One refresh tick's reads through the device path against the simulated back-end.
if ((installed)); then
  (cd "$build" && WINEPATH=$test_path timeout 300 "$wine" wine_device_path_benchmark.exe) 2>&1 |
    tr -d '\r' || echo "device path benchmark: did not run" >&2
fi

# --- The package, unpacked into an empty folder and started as a user would.
unpacked=$build/package-check
rm -rf "$unpacked"
mkdir -p "$unpacked"
(cd "$unpacked" && cmake -E tar xf "$zip")
folder=$(find "$unpacked" -mindepth 1 -maxdepth 1 -type d)

start_shown() { # <folder> <program>: one start, quitting after the first paint
  (cd "$1" && env -u WINEPATH ZELVA1_STARTUP_CHECK=1 \
    timeout 120 "$wine" "$2") 2>"$unpacked/start.err" | tr -d '\r' | grep -qx "main window shown"
}

package_ok=1
if start_shown "$folder" zelva1-monitor.exe; then
  echo "package check: the unpacked zelva1-monitor.exe showed its main window"
else
  package_ok=0
  echo "package check: the unpacked zelva1-monitor.exe did not show its main window" >&2
  cat "$unpacked/start.err" >&2
fi

# --- The library's tool from the unpacked folder: the test pattern round the loop on the
# simulated board, with nothing but the package's own DLLs.
if (cd "$folder" && env -u WINEPATH timeout 120 "$wine" zelva1.exe loopback) \
  >"$unpacked/loopback.out" 2>&1; then
  echo "package check: $(tr -d '\r' <"$unpacked/loopback.out" | tail -n 1)"
else
  package_ok=0
  echo "package check: zelva1.exe loopback failed from the unpacked folder" >&2
  cat "$unpacked/loopback.out" >&2
fi

# --- The README's command lines and C programs of its scripting section, from the unpacked
# folder as a user would run them there: zelva1.exe for zelva1, the package's examples/ and
# sdk\ beside it. Each must exit 0; its last line is shown.
readme_blocks() { # <fence language>: the blocks of that language, each line of one ended by "#end"
  awk -v fence="\`\`\`$1" '
    /^## Scripts: C, Python and the command line/ { section = 1; next }
    section && /^## / { exit }
    section && $0 == fence { block = 1; next }
    block && /^```/ { block = 0; print "#end"; next }
    block { print }' "$source_folder/README.md"
}
run_in_package() { # <what> <program> <arguments...>: runs it in the unpacked folder
  local what=$1
  shift
  if (cd "$folder" && env -u WINEPATH timeout 120 "$wine" "$@") >"$unpacked/example.out" 2>&1; then
    echo "package check: $what: $(tr -d '\r' <"$unpacked/example.out" | tail -n 1)"
  else
    package_ok=0
    echo "package check: $what failed from the unpacked folder" >&2
    cat "$unpacked/example.out" >&2
  fi
}
while read -r command arguments; do
  [[ $command == zelva1 && $arguments != loopback ]] || continue # the loopback ran above
  read -ra words <<<"$arguments"
  run_in_package "zelva1.exe $arguments" zelva1.exe "${words[@]}"
done < <(readme_blocks sh)
example=0
source_text=
while IFS= read -r line; do
  if [[ $line != "#end" ]]; then
    source_text+=$line$'\n'
    continue
  fi
  program=readme_example_$example.exe
  printf '%s' "$source_text" >"$unpacked/readme_example_$example.c"
  if x86_64-w64-mingw32-gcc -Wall -Wextra -Werror -I"$folder/sdk" \
    "$unpacked/readme_example_$example.c" -L"$folder/sdk" -lzelva1 -o "$folder/$program"; then
    run_in_package "the README's C example $((example + 1))" "$program"
  else
    package_ok=0
    echo "package check: the README's C example $((example + 1)) does not compile with mingw-w64" >&2
  fi
  rm -f "$folder/$program"
  source_text=
  example=$((example + 1))
done < <(readme_blocks c)

# --- Start-up time under Wine: the package's program against the minimal Qt program, both
# started from the unpacked folder (the same DLLs), alternating, medians of the wall times
# from start to the exit after the first paint.
if ((package_ok)); then
  minimal_exe=$(find "$build" -name minimal_qt_window.exe -not -path "$unpacked/*" | head -n 1)
  if [[ -z $minimal_exe ]]; then
    echo "start-up under Wine: no minimal_qt_window.exe in $build" >&2
    exit 1
  fi
  cp "$minimal_exe" "$folder/"
  elapsed_ms() {
    local from
    from=$(date +%s%N)
    start_shown "$folder" "$1" || return 1
    echo $((($(date +%s%N) - from) / 1000000))
  }
  # A start under Wine now and then does not report its window (Wine's own start-up, not the
  # program's): such a start is told and tried once more; a second failure is a failure.
  timed_start() { # <program>: prints its start time in ms
    local ms
    if ms=$(elapsed_ms "$1"); then
      echo "$ms"
      return
    fi
    echo "start-up under Wine: $1 did not report its window; trying once more:" >&2
    tr -d '\r' <"$unpacked/start.err" | tail -n 5 >&2
    if ms=$(elapsed_ms "$1"); then
      echo "$ms"
      return
    fi
    echo "start-up under Wine: $1 did not report its window twice running:" >&2
    tr -d '\r' <"$unpacked/start.err" | tail -n 20 >&2
    return 1
  }
  median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
  # One start each first, so that both run with warm file caches.
  timed_start zelva1-monitor.exe >/dev/null
  timed_start minimal_qt_window.exe >/dev/null
  monitor_times=() minimal_times=()
  for ((run = 0; run < startup_runs; ++run)); do
    monitor_times+=("$(timed_start zelva1-monitor.exe)")
    minimal_times+=("$(timed_start minimal_qt_window.exe)")
  done
  monitor_ms=$(printf '%s\n' "${monitor_times[@]}" | median)
  minimal_ms=$(printf '%s\n' "${minimal_times[@]}" | median)
  awk -v a="$monitor_ms" -v b="$minimal_ms" -v n="$startup_runs" 'BEGIN {
    printf "start-up under Wine (medians of %d): zelva1-monitor %d ms, minimal_qt_window %d ms, ratio %.2f\n", n, a, b, a / b }'
  rm -f "$folder/minimal_qt_window.exe"
fi

# --- The installer: installed, used and uninstalled in the same prefix.
installer_ok=1
if [[ -n $setup ]] && ! bash "$source_folder/scripts/wine-installer-check.sh" "$build" "$setup" "$zip"; then
  installer_ok=0
fi

if ((failed > 0)); then
  echo "wine-checks.sh: $failed test(s) failed under Wine (their logs are above)" >&2
fi
if ((installer_ok == 0)); then
  echo "wine-checks.sh: the installer's check failed (its reason is above)" >&2
fi
if ((package_ok == 0)); then
  echo "wine-checks.sh: the package check of the zip failed (what failed is above)" >&2
fi
if ((failed > 0 || package_ok == 0 || installer_ok == 0)); then
  exit 1
fi
