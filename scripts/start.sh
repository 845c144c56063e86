#!/usr/bin/env bash
# Installs what is missing, builds the monitor and starts it on the simulated board.
#
# The monitor keeps its format state file "KST3frmt.stt" in its working directory, so it runs
# in a folder of its own. On the first run that folder is seeded with the example formats for
# the simulated board's built-in stream; later runs keep whatever the user has saved there.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/say-why.sh"
caller_dir="$PWD"
cd "$(dirname "$0")/.."
repo_dir="$PWD"

bash scripts/install-deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev --target zelva1-monitor

# Board settings named by a relative path mean the caller's folder, not the working folder.
for setting in ZELVA1_SIM_CONFIG ZELVA1_DRIVER_TRACE; do
  value="${!setting:-}"
  if [[ -n "$value" && "$value" != /* ]]; then
    export "$setting=$caller_dir/$value"
  fi
done

work_dir="${XDG_DATA_HOME:-$HOME/.local/share}/zelva1-monitor"
mkdir -p "$work_dir"
if [[ ! -e "$work_dir/KST3frmt.stt" ]]; then
  cp examples/KST3frmt.stt "$work_dir/"
  [[ -e "$work_dir/builtin-traffic.si" ]] || cp examples/builtin-traffic.si "$work_dir/"
  echo "First run: example formats for the simulated board copied to $work_dir." >&2
fi
[[ -e "$work_dir/label-database.csv" ]] || cp examples/label-database.csv "$work_dir/"
[[ -e "$work_dir/stimulus.csv" ]] || cp examples/stimulus.csv "$work_dir/"
echo "Working folder (format state file, *.si files, label database, stimulus): $work_dir" >&2
cd "$work_dir"

monitor="$repo_dir/build/dev/app/zelva1-monitor"
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  echo "No display found: starting the monitor under Xvfb." >&2
  exec xvfb-run -a "$monitor" "$@"
fi
exec "$monitor" "$@"
