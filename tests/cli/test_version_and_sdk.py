"""One version everywhere, and the library as a C developer takes it from an installed tree:
the build installed into a folder of its own, a C program built with pkg-config and one with
CMake's find_package, each run on the simulated boards."""

import os
import re
import shutil
import subprocess
from pathlib import Path

REPOSITORY = Path(__file__).resolve().parents[2]
BUILD = Path(os.environ.get("ZELVA1_BUILD", REPOSITORY / "build" / "ci"))
# Also built against the installed Debian packages by scripts/package-check.sh.
PROGRAM = Path(__file__).with_name("sdk_boards.c")


def project_version():
    text = (REPOSITORY / "CMakeLists.txt").read_text(encoding="utf-8")
    return re.search(r"^project\(\S+ VERSION (\d+\.\d+\.\d+)", text, re.M).group(1)


def environment(**extra):
    variables = {k: v for k, v in os.environ.items()
                 if k not in ("ZELVA1_SIM_CONFIG", "ZELVA1_BACKEND", "ZELVA1_DRIVER_TRACE")}
    variables.update(extra)
    return variables


def output(*command, **extra):
    done = subprocess.run([str(part) for part in command], capture_output=True, text=True,
                          timeout=60, env=environment(**extra))
    assert done.returncode == 0, (command, done.stdout, done.stderr)
    return done.stdout


def test_the_programs_the_library_the_python_package_and_the_packages_say_one_version():
    version = project_version()
    assert output(BUILD / "cli" / "zelva1", "--version") == version + "\n"
    assert output(BUILD / "app" / "zelva1-monitor", "--version",
                  QT_QPA_PLATFORM="offscreen") == version + "\n"
    python = output("/usr/bin/python3", "-c",
                    "import zelva1; print(zelva1.version(), zelva1.__version__)",
                    PYTHONPATH=REPOSITORY / "python",
                    ZELVA1_LIBRARY=BUILD / "lib" / "libzelva1.so.1")
    assert python == f"{version} {version}\n"
    wheel = output("/usr/bin/python3", "-c", "import build_backend; print(build_backend._names()[2])",
                   PYTHONPATH=REPOSITORY / "python")
    assert wheel == f"zelva1-{version}-py3-none-any.whl\n"
    changelog = (REPOSITORY / "packaging" / "debian" / "changelog").read_text(encoding="utf-8")
    assert changelog.startswith(f"zelva1-monitor ({version}) ")


def test_c_programs_build_on_the_installed_library_with_pkg_config_and_find_package(tmp_path):
    prefix = tmp_path / "prefix"
    output("cmake", "--install", BUILD, "--prefix", prefix)
    [libdir] = {path.parent.parent for path in prefix.glob("**/pkgconfig/zelva1.pc")}
    source = PROGRAM
    major, minor, patch = map(int, project_version().split("."))
    number = str(major * 10000 + minor * 100 + patch)
    # pkg-config's flags, as a Makefile would take them; the loader is told where the library is.
    flags = output("pkg-config", "--cflags", "--libs", "zelva1",
                   PKG_CONFIG_PATH=libdir / "pkgconfig").split()
    output("cc", "-Wall", "-Werror", source, *flags, "-o", tmp_path / "by-pkg-config")
    printed = output(tmp_path / "by-pkg-config", LD_LIBRARY_PATH=libdir).split()
    assert printed[:2] == [number, number] and int(printed[2]) > 0, printed
    # A CMake project of its own: the imported target brings the header and the library.
    project = tmp_path / "project"
    project.mkdir()
    shutil.copy(source, project / "boards.c")
    (project / "CMakeLists.txt").write_text(
        "cmake_minimum_required(VERSION 3.25)\nproject(boards C)\n"
        f"find_package(zelva1 {major}.{minor} REQUIRED)\n"
        "add_executable(boards boards.c)\ntarget_link_libraries(boards zelva1::zelva1)\n")
    output("cmake", "-S", project, "-B", project / "build", "-G", "Ninja",
           f"-DCMAKE_PREFIX_PATH={prefix}")
    output("cmake", "--build", project / "build")
    assert output(project / "build" / "boards").split() == printed
