#!/usr/bin/env bash
# Runs clang-tidy with the checks of .clang-tidy over every translation unit of the ci build
# (build/ci/compile_commands.json) and over the fuzz targets, which that build leaves out. The
# files CMake generates under build/ (moc, rcc, mocs_compilation) are not ours and are skipped;
# the moc output they include must exist, so the ci build has to have run first.
# Fails with status 1 and prints every finding once (a header's finding repeats in each file
# that includes it); ends with the three slowest runs (all in <build>/tidy/times.txt) and one
# line: files checked, runs, findings, seconds.
#
# The files one target builds with the same flags are checked in one run (scripts/tidy_units.py):
# a unit that includes them all, whose own header filter shows their findings as it shows the
# ones of their headers. Every check walks the whole syntax tree, the standard library's and
# Qt's headers included, and those are most of it: four of the windows' files took 45 s of
# processor time one by one and take 11 s together, nine test files of the logic 39 s and 6 s;
# the ci build's 257 files go in 82 runs and 550 s (280 s on two cores), where they took
# some 1800 s.
# Each check sees the same code, so nothing is lost that the files alone would show; what a unit
# cannot hold is checked alone as before: a file with a program's entry point beside another
# one, and a file whose anonymous namespace repeats a name of another (found by parsing the
# unit first; such a clash is an error, not a quiet change). The one difference: clang's own
# warnings about unused file-scope declarations come from the main file only, which a unit's
# files are not; none of them is among the checks (only -Wreserved-identifier is, and it is
# given everywhere), and the build's -Wall -Werror gives them for every file.
#
#   scripts/tidy.sh [--windows] [clang-tidy option ...]   e.g. --checks=-*,bugprone-use-after-move
#
# --windows checks what only the Windows build compiles (the boards' driver back-end, its
# tests and the Wine test driver's programs), from the mingw-w64 build of scripts/windows.sh
# (build/win), parsed for that target.
#
# ZELVA_BUILD_JOBS sets the parallel clang-tidy runs (default 2).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/say-why.sh"
cd "$(dirname "$0")/.."
root=$PWD
windows=false
if [[ ${1:-} == --windows ]]; then
  windows=true
  shift
fi
if $windows; then
  build=${ZELVA_TIDY_WINDOWS_BUILD:-build/win}
else
  build=${ZELVA_TIDY_BUILD:-build/ci}
fi
jobs=${ZELVA_BUILD_JOBS:-2}
tidy=${CLANG_TIDY:-clang-tidy}
target=()

if ! command -v "$tidy" >/dev/null; then
  echo "$tidy is missing: run scripts/install-deps.sh" >&2
  exit 2
fi
if $windows; then
  if [[ ! -f $build/compile_commands.json ]]; then
    echo "tidy.sh: build $build first (scripts/windows.sh)" >&2
    exit 2
  fi
  # clang finds the mingw-w64 C++ library only when told where GCC keeps it.
  gcc_dir=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
  target=(--extra-arg=--target=x86_64-w64-mingw32
    "--extra-arg=-isystem$gcc_dir/include/c++"
    "--extra-arg=-isystem$gcc_dir/include/c++/x86_64-w64-mingw32")
elif [[ ! -f $build/compile_commands.json || ! -d $build/ui/zelva_ui_autogen ]]; then
  echo "tidy.sh: build $build first (cmake --preset ci && cmake --build --preset ci)" >&2
  exit 2
fi

start=$SECONDS
work=$build/tidy
rm -rf "$work"
mkdir -p "$work/logs"

# The fuzz targets compile only with clang and libFuzzer, so the ci build has no commands for
# them; they get the flags of the logic libraries plus their own include folders, which is
# what their CMakeLists gives them apart from the instrumentation.
python3 - "$root" "$build/compile_commands.json" "$work/compile_commands.json" \
  "$work/files.txt" "$windows" <<'EOF'
import json, os, shlex, sys
root, source, target, listing, windows = sys.argv[1:]
build_dir = os.path.realpath(os.path.dirname(source))
generated = (build_dir + os.sep, os.path.join(os.path.realpath(root), "build") + os.sep)
commands = [entry for entry in json.load(open(source))
            if not os.path.realpath(entry["file"]).startswith(generated)]
if windows == "true":
    only = tuple(os.path.join(os.path.realpath(root), folder) + os.sep
                 for folder in ("board/windows", "tests/board/windows", "tests/wine_driver"))
    # The Wine test driver's kernel file includes mingw-w64's DDK headers, which clang does
    # not take (their #pragma pack); gcc builds it with warnings as errors.
    kernel = os.path.join(os.path.realpath(root), "tests/wine_driver/kernel/driver_entry.cpp")
    commands = [entry for entry in commands if os.path.realpath(entry["file"]).startswith(only)
                and os.path.realpath(entry["file"]) != kernel]
have = {os.path.realpath(entry["file"]) for entry in commands}
fuzz = os.path.join(root, "fuzz")
if os.path.isdir(fuzz) and windows != "true":
    flags = ["-I" + root, "-I" + fuzz, "-I" + os.path.join(root, "tests", "support"),
             "-O2", "-DNDEBUG", "-Wall", "-Wextra", "-Wpedantic", "-Werror", "-std=c++20"]
    for name in sorted(os.listdir(fuzz)):
        path = os.path.join(fuzz, name)
        if name.endswith(".cpp") and os.path.realpath(path) not in have:
            commands.append({"directory": build_dir, "file": path,
                             "command": shlex.join(["/usr/bin/c++", *flags, "-c", path])})
json.dump(commands, open(target, "w"), indent=1)
# Slowest first (the Qt windows and their tests), so that the runs ending last are short ones.
def slow(entry):
    folder = os.path.relpath(entry["file"], root).split(os.sep)
    return not (folder[0] == "ui" or folder[:2] == ["tests", "ui"]), entry["file"]
with open(listing, "w") as out:
    out.writelines(entry["file"] + "\n" for entry in sorted(commands, key=slow))
EOF

count=$(sort -u "$work/files.txt" | wc -l)
python3 scripts/tidy_units.py "$root" "$work" "$tidy" "$jobs" "${target[@]}"
units=$(wc -l <"$work/units.txt")
planned=$((SECONDS - start))
# Each run writes its own log, so that parallel output does not interleave, and its seconds.
export tidy work
xargs -a "$work/units.txt" -d '\n' -P "$jobs" -I{} bash -c '
  file=$1; shift
  log=$work/logs/$(printf %s "$file" | tr / _).log
  own=()
  if [[ -f $file.args ]]; then mapfile -t own <"$file.args"; fi
  started=$(date +%s.%N)
  if ! "$tidy" -p "$work" --quiet "${own[@]}" "$@" "$file" >"$log" 2>"$log.err"; then
    echo "$file" >>"$log.failed"
  fi
  echo "$(date +%s.%N) $started $file" >"$log.time"' _ {} "${target[@]}" "$@" || true

# "path:line:col: warning: text [check]", kept once per place and check whatever file showed
# it; a header's path comes spelt from its includer ("ui/../board/x.h"). A file clang-tidy
# could not parse at all shows that only in its status and on stderr.
findings=$work/findings.txt
python3 - "$root" "$work/logs" "$findings" "$work/broken.txt" <<'EOF'
import glob, os, re, sys
root, logs, findings, broken = sys.argv[1:]
pattern = re.compile(r"^(/[^:]+):(\d+):(\d+): (warning|error): (.*) \[([^]]+)\]$")
found = {}
failed = []
for log in sorted(glob.glob(os.path.join(logs, "*.log"))):
    shown = False
    for line in open(log, errors="replace"):
        match = pattern.match(line.rstrip("\n"))
        if not match:
            continue
        shown = True
        path, row, column, kind, text, check = match.groups()
        path = os.path.relpath(os.path.normpath(path), root)
        found.setdefault((path, int(row), check),
                         f"{path}:{row}:{column}: {kind}: {text} [{check}]")
    if os.path.exists(log + ".failed") and not shown:
        failed.append(os.path.relpath(open(log + ".failed").read().strip(), root))
with open(findings, "w") as out:
    out.writelines(found[key] + "\n" for key in sorted(found))
with open(broken, "w") as out:
    out.writelines(path + "\n" for path in failed)
EOF
total=$(wc -l <"$findings")
broken=$(wc -l <"$work/broken.txt")

elapsed=$((SECONDS - start))
if ((total > 0)); then
  cat "$findings"
  echo
  sed -E 's/.*\[([^]]+)\]$/\1/' "$findings" | sort | uniq -c | sort -rn
fi
if ((broken > 0)); then
  echo "tidy.sh: clang-tidy could not check:" >&2
  while read -r file; do
    echo "  $file $({ grep -F "$root/$file"$'\t' "$work/unit-files.txt" || true; } | cut -f2 | sed "s|$root/||g")" >&2
    tail -5 "$work/logs/$(printf %s "$root/$file" | tr / _).log.err" >&2
  done <"$work/broken.txt"
fi
# The seconds of each run, longest first, to see where the time goes.
cat "$work"/logs/*.log.time | awk '{ printf "%.1f %s\n", $1 - $2, $3 }' | sort -rn >"$work/times.txt"
echo "slowest: $(head -n 3 "$work/times.txt" | sed "s|$root/||" | paste -sd, - | sed 's/,/, /g') (all in $work/times.txt)"
echo "clang-tidy: $count files in $units runs, $total findings, ${elapsed}s (-j$jobs; ${planned}s of it to plan the runs)"
if ((total > 0 || broken > 0)); then
  exit 1
fi
