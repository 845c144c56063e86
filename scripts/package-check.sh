#!/usr/bin/env bash
# Package check: makes the Debian packages with debhelper (packaging/debian) from the ci build,
# the binaries the test suite ran, building there only what the packages hold when run alone;
# checks them with lintian (a warning fails); installs them all with apt-get as a user would
# and uses each as its user does: the monitor started offscreen shows its main window, the tool
# lists the boards, Debian's Python imports the package, and a C program is built against the
# library with pkg-config and with CMake's find_package and run. Then it purges them (and any
# installed before the check) and checks that nothing of theirs is left under /usr. Fails when
# any step does; prints the time taken.
#
# Runs as root (or through sudo) on Debian 12. ZELVA_PACKAGE_BUILD names another build folder
# to package (configured by the ci preset there). The program is started with
# ZELVA1_STARTUP_CHECK set, which makes it print "main window shown" and quit once its main
# window is up.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/say-why.sh"
cd "$(dirname "$0")/.."
started=$SECONDS
# The seconds of each part, for the line at the end.
times=()
part_started=$SECONDS
part_done() { times+=("$1 $((SECONDS - part_started)) s"); part_started=$SECONDS; }

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
apt_get() { "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -y -qq "$@"; }

packages=(zelva1-monitor libzelva1-1 libzelva1-dev python3-zelva1 zelva1-tools)
# Those of them dpkg has installed (the single package of earlier versions among them).
installed_packages() {
  dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null |
    awk '$NF == "installed" { print $1 }' || true
}
purge_all() {
  local present
  mapfile -t present < <(installed_packages)
  if ((${#present[@]})); then apt_get purge "${present[@]}" >/dev/null; fi
}

# Run from scripts/test.sh, which installed the dependencies just before.
if [[ -z ${ZELVA_DEPS_INSTALLED:-} ]]; then
  bash scripts/install-deps.sh
fi

# From the test command, the suite has built all of it already: a second, differently
# optimised build of the same sources took minutes and tested nothing the suite had not.
build=${ZELVA_PACKAGE_BUILD:-build/ci}
cmake --preset ci -B "$build" >/dev/null
cmake --build "$build" -j "${ZELVA_BUILD_JOBS:-2}" --target zelva1-monitor zelva1-cli zelva1
part_done build

# debhelper wants debian/ at the top of the folder it runs in and writes the .debs beside it;
# the repository's top stays free of both.
stage=build/debian-pkg
rm -rf "$stage"
mkdir -p "$stage/zelva1-monitor/packaging"
cp -r packaging/debian "$stage/zelva1-monitor/debian"
cp -r packaging/man "$stage/zelva1-monitor/packaging/man"
tree=$(realpath "$build")
# Through debian/rules, not dh alone: its settings (the symbols check among them) hold for every
# debhelper command only so.
if ! (cd "$stage/zelva1-monitor" && ZELVA1_PREBUILT_TREE="$tree" fakeroot debian/rules binary \
      >../dh.log 2>&1); then
  echo "package-check: debian/rules binary failed:" >&2
  tail -n 40 "$stage/dh.log" >&2
  exit 1
fi
debs=()
for package in "${packages[@]}"; do
  debs+=("$(ls "$PWD/$stage/${package}"_*.deb)")
done
ls -s --block-size=K "${debs[@]}" | sed "s|$PWD/$stage/||"
part_done packages

work_dir=$(mktemp -d)
lintian_pid=""
cleanup() {
  if [[ -n $lintian_pid ]]; then kill "$lintian_pid" 2>/dev/null || true; fi
  purge_all 2>/dev/null || true
  rm -rf "$work_dir"
}
trap cleanup EXIT

# lintian reads the .debs only: it runs while they are installed and used, which takes as long.
lintian --fail-on error,warning --display-info "${debs[@]}" >"$stage/lintian.log" 2>&1 &
lintian_pid=$!

field() { dpkg-deb --field "$PWD/$stage/$1"_*.deb "$2"; }
if ! grep -q libqt6widgets6 <<<"$(field zelva1-monitor Depends)" ||
   ! grep -q 'libzelva1-1 (= ' <<<"$(field zelva1-tools Depends)"; then
  echo "package-check: the Depends are not worked out (is dpkg-shlibdeps installed?)" >&2
  exit 1
fi

purge_all
find /usr -name '*zelva1*' | sort >"$work_dir/before.txt"
if ! apt_get install "${debs[@]}" >"$work_dir/apt.log" 2>&1; then
  echo "package-check: apt-get could not install the packages:" >&2
  cat "$work_dir/apt.log" >&2
  exit 1
fi
part_done install

# Started as a user would: from a working folder holding the example formats.
cp /usr/share/zelva1-monitor/examples/KST3frmt.stt "$work_dir/"
mkdir -m 700 "$work_dir/runtime"
if ! (cd "$work_dir" && QT_QPA_PLATFORM=offscreen ZELVA1_STARTUP_CHECK=1 \
      XDG_RUNTIME_DIR="$work_dir/runtime" timeout 60 zelva1-monitor \
      >"$work_dir/out.txt" 2>"$work_dir/err.txt"); then
  echo "package-check: the installed zelva1-monitor failed or timed out" >&2
  cat "$work_dir/err.txt" >&2
  exit 1
fi
if ! grep -qx "main window shown" "$work_dir/out.txt"; then
  echo "package-check: the installed zelva1-monitor did not show its main window" >&2
  cat "$work_dir/out.txt" "$work_dir/err.txt" >&2
  exit 1
fi
echo "installed zelva1-monitor showed its main window"

# The script tools as installed, with no setting of ours: the tool, Debian's Python finding
# the package and the library, and a C program built as its README says, by pkg-config and by
# CMake, both of which must find the header and the library where the packages put them.
user_env=(env -u ZELVA1_SIM_CONFIG -u ZELVA1_BACKEND -u ZELVA1_LIBRARY -u ZELVA1_DRIVER_TRACE
          -u PKG_CONFIG_PATH -u CMAKE_PREFIX_PATH -u LD_LIBRARY_PATH PYTHONPATH=)
cp tests/cli/sdk_boards.c "$work_dir/"
printf '%s\n' 'cmake_minimum_required(VERSION 3.25)' 'project(boards C)' \
  'find_package(zelva1 1.0 REQUIRED)' 'add_executable(boards sdk_boards.c)' \
  'target_link_libraries(boards zelva1::zelva1)' >"$work_dir/CMakeLists.txt"
if ! (cd "$work_dir" && "${user_env[@]}" sh -ec '
      timeout 60 zelva1 list
      /usr/bin/python3 -c "import zelva1; assert zelva1.__file__.startswith(\"/usr/lib/python3/dist-packages/\"); print(\"python3: zelva1\", zelva1.version(), \"finds\", len(zelva1.list_boards()), \"boards\")"
      cc -Wall -Werror sdk_boards.c $(pkg-config --cflags --libs zelva1) -o by-pkg-config
      cmake -S . -B cmake-build -G Ninja >/dev/null && cmake --build cmake-build >/dev/null
      by_pkg_config=$(./by-pkg-config) && by_cmake=$(cmake-build/boards)
      echo "C program (pkg-config): $by_pkg_config; (find_package): $by_cmake"
      test "$by_pkg_config" = "$by_cmake"'); then
  echo "package-check: the installed zelva1 tool, Python package or C library failed" >&2
  exit 1
fi
part_done use

# Everything the packages installed, to look for again after the purge: their files and links
# must be gone; a folder stays while another package holds it, and one of ours is named
# zelva1 and so found by the search below.
for package in "${packages[@]}"; do dpkg -L "$package"; done | sort -u >"$work_dir/listed.txt"
purge_all
left=$(installed_packages)
if [[ -n $left ]]; then
  echo "package-check: could not purge: $left" >&2
  exit 1
fi
while IFS= read -r path; do
  if [[ -L $path || (-e $path && ! -d $path) ]]; then
    echo "package-check: $path is left after the purge" >&2
    exit 1
  fi
done <"$work_dir/listed.txt"
if ! diff <(find /usr -name '*zelva1*' | sort) "$work_dir/before.txt" >&2; then
  echo "package-check: files named zelva1 are left under /usr after the purge" >&2
  exit 1
fi
echo "purged: nothing of the packages is left"
part_done purge

lintian_status=0
wait "$lintian_pid" || lintian_status=$?
lintian_pid=""
if ((lintian_status != 0)); then
  echo "package-check: lintian found errors or warnings:" >&2
  cat "$stage/lintian.log" >&2
  exit 1
fi
grep -v '^running with root privileges' "$stage/lintian.log" || true
echo "lintian: no errors or warnings"
part_done "lintian's rest"

cleanup
trap - EXIT
echo "package-check: passed in $((SECONDS - started)) s ($(IFS=,; echo "${times[*]}" | sed 's/,/, /g'))"
