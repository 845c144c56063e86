#!/usr/bin/env bash
# Package check: makes the Debian package from the ci build (the binaries the test suite ran,
# optimised; stripped as they are packaged), building there only what the package holds when
# run alone; installs it with apt-get as a user would, starts the installed program offscreen and checks that it
# shows its main window, then removes the package again (also one installed before the
# check). Fails when any step does; prints the time taken.
#
# Runs as root (or through sudo) on Debian 12. The program is started with
# ZELVA1_STARTUP_CHECK set, which makes it print "main window shown" and quit once its main
# window is up.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/say-why.sh"
cd "$(dirname "$0")/.."
started=$SECONDS

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi

# Run from scripts/test.sh, which installed the dependencies just before.
if [[ -z ${ZELVA_DEPS_INSTALLED:-} ]]; then
  bash scripts/install-deps.sh
fi

# From the test command, the suite has built all of it already: a second, differently
# optimised build of the same sources took minutes and tested nothing the suite had not.
build=build/ci
cmake --preset ci >/dev/null
cmake --build "$build" -j "${ZELVA_BUILD_JOBS:-2}" --target zelva1-monitor zelva1-cli zelva1
rm -f "$build"/zelva1-monitor_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$PWD/$build"/zelva1-monitor_*.deb)
echo "package: $deb"

depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
for needed in libqt6widgets6 libqt6gui6 libqt6core6; do
  if ! grep -q "$needed" <<<"$depends"; then
    echo "package-check: the package does not depend on $needed (is dpkg-shlibdeps installed?)" >&2
    exit 1
  fi
done

work_dir=$(mktemp -d)
cleanup() {
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq zelva1-monitor \
    >/dev/null 2>&1 || true
  rm -rf "$work_dir"
}
trap cleanup EXIT

"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null

for file in /usr/bin/zelva1-monitor \
    /usr/share/applications/zelva1-monitor.desktop \
    /usr/share/icons/hicolor/scalable/apps/zelva1-monitor.svg \
    /usr/share/zelva1-monitor/examples/KST3frmt.stt \
    /usr/share/zelva1-monitor/examples/builtin-traffic.si; do
  if [[ ! -f $file ]]; then
    echo "package-check: $file is not installed" >&2
    exit 1
  fi
done

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

# The script tools as installed: the tool, and Debian's Python finding the package and the
# library without any path of ours.
if ! (cd "$work_dir" && env -u ZELVA1_SIM_CONFIG -u ZELVA1_LIBRARY timeout 60 zelva1 loopback &&
      env -u ZELVA1_SIM_CONFIG -u ZELVA1_LIBRARY PYTHONPATH= /usr/bin/python3 -c \
        'import zelva1; assert zelva1.__file__.startswith("/usr/lib/python3/dist-packages/"); print("python3: zelva1", zelva1.version(), "finds", len(zelva1.list_boards()), "boards")'); then
  echo "package-check: the installed zelva1 tool or Python package failed" >&2
  exit 1
fi

cleanup
trap - EXIT
if dpkg-query -W -f='${Status}' zelva1-monitor 2>/dev/null | grep -q 'install ok installed'; then
  echo "package-check: the package could not be removed" >&2
  exit 1
fi
echo "package-check: passed in $((SECONDS - started)) s"
