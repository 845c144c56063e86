#!/usr/bin/env bash
# The monitor for Windows, built and checked on Debian (the test command runs it):
#   1. cross-compiles everything with mingw-w64 into build/win (or ZELVA_WINDOWS_BUILD),
#      warnings as errors: the logic libraries, the driver back-end, the windows, the program,
#      the tools and both test suites (GoogleTest built from /usr/src/googletest with the same
#      compiler);
#   2. runs every test program under Wine, offscreen, each once, in one X session (xvfb-run)
#      with a Wine prefix inside the build folder, and prints
#      "Windows (Wine): N passed, N failed";
#   3. makes the zip (cpack), unpacks it into an empty folder and starts it from there under
#      Wine: it must print "main window shown", so no DLL it needs is missing;
#   4. times that start against the minimal Qt program built in the same tree;
#   5. makes the installer (cpack -G NSIS), installs it silently, checks what it installed,
#      its Start menu entries and its SDK, and uninstalls it (scripts/wine-installer-check.sh).
#
# Qt for mingw comes from the folder in ZELVA_QT_MINGW (holding bin/, lib/, plugins/), else
# from the tarball in ZELVA_QT_MINGW_TARBALL (default ../shared/toolchains/ beside the
# source), unpacked into the build folder. Without either, the Windows part is reported as
# skipped and the script exits with status 3. Any failure exits with status 1.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/say-why.sh"
cd "$(dirname "$0")/.."
started=$SECONDS

build=${ZELVA_WINDOWS_BUILD:-build/win}
tarball=${ZELVA_QT_MINGW_TARBALL:-$PWD/../shared/toolchains/qt6-mingw-6.4.2.tar.xz}
wine=/usr/lib/wine/wine64

for tool in x86_64-w64-mingw32-g++-posix "$wine" xvfb-run; do
  if ! command -v "$tool" >/dev/null; then
    echo "windows.sh: $tool is missing; run scripts/install-deps.sh" >&2
    exit 1
  fi
done

mkdir -p "$build"
if [[ -n ${ZELVA_QT_MINGW:-} ]]; then
  qt=$(realpath "$ZELVA_QT_MINGW")
elif [[ -f $tarball ]]; then
  qt=$PWD/$build/qt6-mingw
  stamp=$build/qt6-mingw.unpacked
  if [[ ! -f $stamp || $tarball -nt $stamp ]]; then
    rm -rf "$qt"
    tar -xJf "$tarball" -C "$build"
    touch "$stamp"
  fi
else
  cat >&2 <<EOF
windows.sh: no Qt for mingw-w64. Set ZELVA_QT_MINGW to an unpacked one, or
ZELVA_QT_MINGW_TARBALL to qt6-mingw-6.4.2.tar.xz (default $tarball); the script
build-qt6-mingw.sh beside that tarball makes it from Debian's qt6-base source (about 35 min).
EOF
  echo "Windows (Wine): skipped (no Qt for mingw-w64)"
  exit 3
fi
if [[ ! -f $qt/lib/cmake/Qt6/Qt6Config.cmake ]]; then
  echo "windows.sh: $qt holds no Qt 6 for mingw-w64 (lib/cmake/Qt6/Qt6Config.cmake)" >&2
  exit 1
fi

echo "--- Windows build ($build, Qt from $qt)"
# -O2 as the Linux suite: at -O3 this GCC (12) warns falsely inside std::string (-Wrestrict).
cmake -S . -B "$build" -G Ninja --no-warn-unused-cli \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" -DZELVA_QT_MINGW_DIR="$qt" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" \
  -DZELVA_WARNINGS_AS_ERRORS=ON -DZELVA_BUILD_BENCHMARKS=OFF \
  -DZELVA_GTEST_SOURCE_DIR=/usr/src/googletest \
  -DZELVA_QT_TRANSLATIONS_DIR=/usr/share/qt6/translations >/dev/null
cmake --build "$build" -j "${ZELVA_BUILD_JOBS:-2}"

# The package has no interface class built in (it comes from the settings file); that the
# build setting still compiles is checked on the one file that reads it.
x86_64-w64-mingw32-g++-posix -std=c++20 -Wall -Wextra -Wpedantic -Werror -I. \
  '-DZELVA1_DEVICE_INTERFACE_GUID="{6F0E1A2B-3C4D-4E5F-8091-A2B3C4D5E6F7}"' \
  -c board/windows/driver_access.cpp -o "$build/guid_setting_check.o"

rm -f "$build"/zelva1-monitor-*-win64.zip "$build"/zelva1-monitor-*-win64-setup.exe
(cd "$build" && cpack -G ZIP >/dev/null)
zip=$(ls "$PWD/$build"/zelva1-monitor-*-win64.zip)
echo "package: $zip ($(du -k "$zip" | cut -f1) kB)"
installer_started=$SECONDS
(cd "$build" && cpack -G NSIS >/dev/null)
setup=$(ls "$PWD/$build"/zelva1-monitor-*-win64-setup.exe)
echo "installer: $setup ($(du -k "$setup" | cut -f1) kB, made in $((SECONDS - installer_started)) s)"

echo "--- Windows tests under Wine"
xvfb-run -a -s "-screen 0 1280x1024x24" bash scripts/wine-checks.sh "$build" "$qt" "$zip" "$setup"
echo "windows.sh: done in $((SECONDS - started)) s"
