#!/usr/bin/env bash
# Fails when a C++ source differs from the project's code format (.clang-format), showing how.
# To format a file: clang-format -i <file>.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/say-why.sh"
cd "$(dirname "$0")/.."

if ! command -v clang-format >/dev/null; then
  echo "clang-format is missing: run scripts/install-deps.sh" >&2
  exit 2
fi

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t sources < <(git ls-files -- '*.cpp' '*.h')
else
  mapfile -t sources < <(find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
fi

# One call for the whole tree; only when it finds something is each file looked at.
if clang-format --dry-run --Werror "${sources[@]}" >/dev/null 2>&1; then
  echo "Code format: ${#sources[@]} files as .clang-format lays them out"
  exit 0
fi

unformatted=()
for source in "${sources[@]}"; do
  if ! clang-format --dry-run --Werror "$source" >/dev/null 2>&1; then
    unformatted+=("$source")
  fi
done

if ((${#unformatted[@]} > 0)); then
  for source in "${unformatted[@]}"; do
    echo "--- $source differs from the code format:"
    diff -u "$source" <(clang-format "$source") | tail -n +3 | head -n 40 || true
  done
  echo "Code format: ${#unformatted[@]} of ${#sources[@]} files differ (clang-format -i fixes them)" >&2
else
  echo "Code format: clang-format failed on the sources" >&2
fi
exit 1
