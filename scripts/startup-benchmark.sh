#!/usr/bin/env bash
# Start-up cost of the monitor against a minimal Qt Widgets program (a main window holding a
# table) built in the same tree: builds both optimised into build/startup, starts each one
# RUNS times offscreen (default 20, alternating) and prints the median time from process
# start to the main window being shown, the median peak resident memory, and the two
# ratios. The target is the monitor within 1.2 times the minimal program on both.
#
#   scripts/startup-benchmark.sh [runs]
#
# Both programs print "main window shown" and quit after their first paint when
# ZELVA1_STARTUP_CHECK is set; tools/startup_probe times that and reads the peak memory.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/say-why.sh"
cd "$(dirname "$0")/.."
repo_dir="$PWD"

runs=${1:-20}
build=build/startup

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZELVA_BUILD_TESTS=OFF \
  -DZELVA_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j "${ZELVA_BUILD_JOBS:-2}" \
  --target zelva1-monitor minimal_qt_window startup_probe >/dev/null

# The monitor starts as a user's does: in a working folder holding the example formats.
work_dir=$(mktemp -d)
trap 'rm -rf "$work_dir"' EXIT
cp examples/KST3frmt.stt "$work_dir/"
cd "$work_dir"

export QT_QPA_PLATFORM=offscreen ZELVA1_STARTUP_CHECK=1
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$work_dir}"
probe="$repo_dir/$build/tools/startup_probe"
monitor="$repo_dir/$build/app/zelva1-monitor"
minimal="$repo_dir/$build/tools/minimal_qt_window"

# One start each first, so that both run with warm file caches.
"$probe" "$monitor" >/dev/null 2>&1
"$probe" "$minimal" >/dev/null 2>&1
for ((run = 0; run < runs; ++run)); do
  "$probe" "$monitor" 2>/dev/null >>monitor.txt
  "$probe" "$minimal" 2>/dev/null >>minimal.txt
done

median() { # column of a file
  sort -n -k"$2" "$1" | awk -v column="$2" '{ values[NR] = $column }
    END { if (NR % 2) print values[(NR + 1) / 2]; else print (values[NR / 2] + values[NR / 2 + 1]) / 2 }'
}

monitor_ms=$(median monitor.txt 1)
minimal_ms=$(median minimal.txt 1)
monitor_kb=$(median monitor.txt 2)
minimal_kb=$(median minimal.txt 2)
printf '%-22s %12s %16s\n' "" "shown (ms)" "peak RSS (kB)"
printf '%-22s %12.1f %16.0f\n' "zelva1-monitor" "$monitor_ms" "$monitor_kb"
printf '%-22s %12.1f %16.0f\n' "minimal_qt_window" "$minimal_ms" "$minimal_kb"
awk -v a="$monitor_ms" -v b="$minimal_ms" -v c="$monitor_kb" -v d="$minimal_kb" -v n="$runs" \
  'BEGIN { printf "ratio monitor/minimal: time %.2f, memory %.2f (medians of %d runs; target 1.20)\n", a / b, c / d, n }'
