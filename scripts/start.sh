#!/usr/bin/env bash
# Installs what is missing, builds the monitor and starts it on the simulated board.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev --target zelva1-monitor

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  echo "No display found: starting the monitor under Xvfb." >&2
  exec xvfb-run -a build/dev/app/zelva1-monitor "$@"
fi
exec build/dev/app/zelva1-monitor "$@"
