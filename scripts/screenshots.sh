#!/usr/bin/env bash
# Pictures of every window of the monitor on the simulated board, drawn by an X server
# (Xvfb) at two screen sizes: docs/screenshots/1280x800/ and docs/screenshots/1920x1080/.
# Each run works in a fresh folder seeded with the example formats, so the decimal column
# decodes the built-in stream. With imagemagick installed the pictures are made smaller.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/say-why.sh"
cd "$(dirname "$0")/.."
repo_dir="$PWD"

cmake --preset dev >/dev/null
cmake --build --preset dev --target ui_screenshots

for size in 1280x800 1920x1080; do
  out="$repo_dir/docs/screenshots/$size"
  mkdir -p "$out"
  rm -f "$out"/*.png
  work=$(mktemp -d)
  cp examples/KST3frmt.stt examples/builtin-traffic.si "$work/"
  (cd "$work" && env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 ${size}x24" \
    "$repo_dir/build/dev/tests/ui/ui_screenshots" "$out")
  rm -rf "$work"
  if command -v convert >/dev/null; then
    for png in "$out"/*.png; do
      convert "$png" -strip -colors 64 "PNG8:$png"
    done
  fi
  echo "screenshots.sh: $(ls "$out" | wc -l) pictures in docs/screenshots/$size"
done
