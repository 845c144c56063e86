#!/usr/bin/env bash
# The installer's check under Wine, called by scripts/wine-checks.sh after the zip's, in its
# Wine prefix and X session:
#
#   wine-installer-check.sh <build folder> <installer> <package zip>
#
# installs silently (/S) under Program Files, which must then hold what the zip holds and the
# uninstaller; reads the Start menu entries (scripts/read-lnk.py) and starts the monitor from
# its entry's target, arguments and working folder, which must show the main window and move
# the program into the user's own Documents\ZELVA-1; runs the installed zelva1.exe list;
# builds a C program against the installed SDK with mingw-w64 and one with CMake against the
# zip's sdk/cmake (find_package(zelva1)), and runs both; reads the entry among the installed
# programs; uninstalls silently, after which the folder, the Start menu entries and the entry
# must be gone and the user's folder left. Prints the time it took; exits 1 with the reason
# at the first thing that fails.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/say-why.sh"
build=$(realpath "$1")
setup=$(realpath "$2")
zip=$(realpath "$3")
source_folder=$(realpath "$(dirname "$0")/..")
wine=/usr/lib/wine/wine64
started=$SECONDS

fail() {
  echo "installer check: $*" >&2
  exit 1
}
# C:\... of the prefix as the path on this side.
unix_path() {
  local path=${1//\\//}
  printf '%s/drive_c%s' "$WINEPREFIX" "${path#[Cc]:}"
}
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
same_path() { [[ ${1,,} == "${2,,}" ]]; }

installed='C:\Program Files\ZELVA-1'
install_folder=$(unix_path "$installed")
start_menu=$(unix_path 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\ZELVA-1')
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZELVA-1'
work=$build/installer-check
rm -rf "$work"
mkdir -p "$work"

# Wine links the user's Documents to the home folder here; a folder of the prefix's own keeps
# what the monitor writes there inside the prefix.
documents=$WINEPREFIX/drive_c/users/$(whoami)/Documents
if [[ -L $documents ]]; then
  rm "$documents"
fi
mkdir -p "$documents"

# --- Silent install.
if ! timeout 300 "$wine" "$(windows_path "$setup")" /S >"$work/install.out" 2>&1; then
  cat "$work/install.out" >&2
  fail "the silent install (/S) failed"
fi
[[ -f $install_folder/zelva1-monitor.exe ]] ||
  fail "nothing installed under $installed after the silent install"
# What is installed is what the zip holds (all three components by default), and the
# uninstaller.
python3 - "$zip" >"$work/zip.txt" <<'PYTHON'
import sys, zipfile
for name in zipfile.ZipFile(sys.argv[1]).namelist():
    if not name.endswith("/"):
        print(name.split("/", 1)[1])
PYTHON
{
  cat "$work/zip.txt"
  echo Uninstall.exe
} | sort >"$work/expected.txt"
(cd "$install_folder" && find . -type f -printf '%P\n' | sort) >"$work/installed.txt"
if ! diff "$work/expected.txt" "$work/installed.txt" >"$work/difference.txt"; then
  cat "$work/difference.txt" >&2
  fail "the installation folder does not hold what the zip holds (< zip, > installed)"
fi
echo "installer check: installed silently into $installed ($(wc -l <"$work/installed.txt") files)"

# --- The Start menu entries, and the monitor started from its entry.
read_entry() { # <entry name> <field>
  local link="$start_menu/$1.lnk"
  [[ -f $link ]] || fail "no Start menu entry «$1» in $start_menu"
  python3 "$source_folder/scripts/read-lnk.py" "$link" | sed -n "s/^$2=//p"
}
check_target() { # <entry name> <expected target>
  local target
  target=$(read_entry "$1" target)
  same_path "$target" "$2" || fail "the entry «$1» starts $target, not $2"
}
check_target "Справка монитора ZELVA-1" "$installed\\help\\contents.html"
check_target "Удалить монитор ZELVA-1" "$installed\\Uninstall.exe"
check_target "Монитор модуля ZELVA-1" "$installed\\zelva1-monitor.exe"
target=$(read_entry "Монитор модуля ZELVA-1" target)
arguments=$(read_entry "Монитор модуля ZELVA-1" arguments)
working_folder=$(read_entry "Монитор модуля ZELVA-1" working-folder)
[[ -n $working_folder ]] || fail "the monitor's entry names no working folder"
read -ra words <<<"$arguments"
if ! (cd "$(unix_path "$working_folder")" && env -u WINEPATH ZELVA1_STARTUP_CHECK=1 \
  timeout 120 "$wine" "$target" "${words[@]}") 2>"$work/start.err" | tr -d '\r' |
  grep -qx "main window shown"; then
  cat "$work/start.err" >&2
  fail "the monitor started from its Start menu entry did not show its main window"
fi
user_folder=$documents/ZELVA-1
[[ -d $user_folder ]] ||
  fail "the monitor started from its entry did not make the user's folder Documents\\ZELVA-1"
# Nothing written into the installation folder: a user who is not an administrator could not.
(cd "$install_folder" && find . -type f -printf '%P\n' | sort) | diff "$work/installed.txt" - >&2 ||
  fail "the monitor wrote into the installation folder"
echo "installer check: the Start menu entries point into $installed; the monitor's" \
  "($target $arguments, in $working_folder) showed its main window, working in Documents\\ZELVA-1"

# --- The installed tool, from another folder: zelva1.dll beside it is enough.
if ! (cd "$work" && env -u WINEPATH timeout 120 "$wine" "$installed\\zelva1.exe" list) \
  >"$work/list.out" 2>&1; then
  cat "$work/list.out" >&2
  fail "the installed zelva1.exe list failed"
fi
echo "installer check: zelva1.exe list: $(tr -d '\r' <"$work/list.out" | tail -n 1)"

# --- C programs against the installed SDK (the compiler's flags) and the zip's (CMake).
cat >"$work/sdk_example.c" <<'C'
#include <zelva1.h>

#include <stdio.h>

int main(void) {
    zelva1_system* system = NULL;
    size_t count = 0;
    int status = zelva1_system_open(&system);
    if (status == ZELVA1_OK)
        status = zelva1_list(system, NULL, 0, &count);
    if (status != ZELVA1_OK) {
        fprintf(stderr, "%s\n", zelva1_status_text(status));
        return 1;
    }
    zelva1_system_close(system);
    printf("zelva1 %d, %u boards\n", zelva1_version(), (unsigned)count);
    return zelva1_version() == ZELVA1_VERSION_NUMBER ? 0 : 1;
}
C
run_example() { # <what> <program> <folder holding zelva1.dll>
  if ! (cd "$work" && WINEPATH=$(windows_path "$3") timeout 120 "$wine" "$2") \
    >"$work/example.out" 2>&1; then
    cat "$work/example.out" >&2
    fail "$1 does not run"
  fi
  echo "installer check: $1: $(tr -d '\r' <"$work/example.out" | tail -n 1)"
}
x86_64-w64-mingw32-gcc-posix -Wall -Wextra -Werror -I"$install_folder/sdk" \
  "$work/sdk_example.c" -L"$install_folder/sdk" -lzelva1 -o "$work/sdk_example.exe" ||
  fail "a C program does not build against the installed SDK"
# The DLL is found the Windows way, by the path; the program's folder holds none.
run_example "a C program built against the installed SDK" "$work/sdk_example.exe" \
  "$install_folder"

unpacked=$work/zip
mkdir -p "$unpacked/example"
(cd "$unpacked" && cmake -E tar xf "$zip")
zip_folder=$(find "$unpacked" -mindepth 1 -maxdepth 1 -type d -name 'zelva1-monitor-*')
cp "$work/sdk_example.c" "$unpacked/example/"
cat >"$unpacked/example/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(sdk_example C)
find_package(zelva1 1.0 REQUIRED)
add_executable(sdk_example sdk_example.c)
target_link_libraries(sdk_example PRIVATE zelva1::zelva1)
CMAKE
if ! { cmake -S "$unpacked/example" -B "$unpacked/example/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$source_folder/cmake/mingw-w64-x86_64.cmake" \
  -Dzelva1_DIR="$zip_folder/sdk/cmake" && cmake --build "$unpacked/example/build"; } \
  >"$work/cmake.out" 2>&1; then
  cat "$work/cmake.out" >&2
  fail "a CMake project does not build with find_package(zelva1) from the zip's sdk/cmake"
fi
run_example "a CMake project built against the zip's sdk/cmake" \
  "$unpacked/example/build/sdk_example.exe" "$zip_folder"

# --- The entry among the installed programs.
# Read from Wine's export (UTF-16), as its console prints no Cyrillic.
registry_value() { # <name>: its text, or nothing
  rm -f "$work/entry.reg"
  "$wine" reg export "$key" "$(windows_path "$work/entry.reg")" >/dev/null 2>&1 || return 0
  python3 - "$work/entry.reg" "$1" <<'PYTHON'
import re, sys
for line in open(sys.argv[1], encoding="utf-16").read().splitlines():
    found = re.fullmatch(r'"((?:[^"\\]|\\.)*)"="((?:[^"\\]|\\.)*)"', line)
    if found and re.sub(r"\\(.)", r"\1", found[1]) == sys.argv[2]:
        print(re.sub(r"\\(.)", r"\1", found[2]))
PYTHON
}
version=$(cd "$work" && "$wine" "$installed\\zelva1-monitor.exe" --version | tr -d '\r')
cpack_setting() { sed -nE "s/^set\\($1 \"(.*)\"\\)$/\\1/p" "$build/CPackConfig.cmake"; }
publisher=$(cpack_setting CPACK_PACKAGE_VENDOR)
name=$(cpack_setting CPACK_NSIS_DISPLAY_NAME)
[[ $(registry_value DisplayVersion) == "$version" ]] ||
  fail "the entry among the installed programs gives the version «$(registry_value DisplayVersion)», not $version"
[[ $(registry_value Publisher) == "$publisher" ]] ||
  fail "the entry among the installed programs gives the publisher «$(registry_value Publisher)», not $publisher"
[[ $(registry_value DisplayName) == "$name" ]] ||
  fail "the entry among the installed programs is named «$(registry_value DisplayName)», not $name"
uninstaller=$(registry_value UninstallString)
same_path "$uninstaller" "\"$installed\\Uninstall.exe\"" ||
  fail "the entry among the installed programs uninstalls with $uninstaller"
echo "installer check: installed programs: $name $version, $publisher"

# --- Silent uninstall. The uninstaller copies itself away and returns at once; the entry
# among the installed programs is the last thing it removes.
cp "$source_folder/examples/KST3frmt.stt" "$user_folder/"
"$wine" "$installed\\Uninstall.exe" /S >"$work/uninstall.out" 2>&1 ||
  fail "the silent uninstall (/S) failed: $(tr -d '\r' <"$work/uninstall.out")"
for ((wait = 0; wait < 120; ++wait)); do
  "$wine" reg query "$key" >/dev/null 2>&1 || break
  sleep 0.5
done
"$wine" reg query "$key" >/dev/null 2>&1 &&
  fail "the entry among the installed programs is still there a minute after the uninstall"
if [[ -e $install_folder ]]; then
  find "$install_folder" >&2
  fail "the installation folder is left after the uninstall"
fi
[[ ! -e $start_menu ]] || fail "the Start menu entries are left after the uninstall"
[[ -f $user_folder/KST3frmt.stt ]] || fail "the uninstall removed the user's own files"
echo "installer check: the silent uninstall removed the folder, the Start menu entries and" \
  "the entry; the user's Documents\\ZELVA-1 stays"
echo "installer check: done in $((SECONDS - started)) s"
