import os
import shutil
import subprocess
import sys
from pathlib import Path

import pytest

from conftest import PACKAGE_FOLDER, REPOSITORY


def _interpreters():
    """Debian's Python, and another python3 on the PATH where there is one (pyenv's, say):
    the package must install with either."""
    found = {os.path.realpath(sys.executable): sys.executable}
    other = shutil.which("python3")
    if other:
        real = subprocess.run([other, "-c", "import sys; print(sys.executable)"],
                              capture_output=True, text=True, timeout=30).stdout.strip()
        if real and os.path.realpath(real) not in found:
            found[os.path.realpath(real)] = real
    return list(found.values())


def _imports_from(python, environment, cwd):
    shown = subprocess.run([str(python), "-c", "import zelva1; print(zelva1.__file__, "
                            "zelva1.version(), len(zelva1.list_boards()))"],
                           capture_output=True, text=True, check=True, timeout=60, cwd=cwd,
                           env={**os.environ, "PYTHONPATH": ""})
    where, version, boards = shown.stdout.split()
    assert Path(where).is_relative_to(environment)
    assert (version, boards) == ("1.0.0", "2")


def _readmes_install_line():
    readme = (REPOSITORY / "README.md").read_text(encoding="utf-8")
    lines = [line.strip() for line in readme.splitlines()
             if line.startswith("    python3 -m venv ")]
    assert len(lines) == 1, lines
    return lines[0]


@pytest.mark.parametrize("interpreter", _interpreters())
def test_the_readmes_line_installs_the_package_into_a_fresh_environment_offline(tmp_path,
                                                                              interpreter):
    # The line as written, run beside a `python` folder that is the package, with `python3`
    # the interpreter under test and pip given no index at all.
    (tmp_path / "python").symlink_to(PACKAGE_FOLDER)
    (tmp_path / "bin").mkdir()
    (tmp_path / "bin" / "python3").symlink_to(interpreter)
    subprocess.run(["bash", "-c", _readmes_install_line()], check=True, timeout=180, cwd=tmp_path,
                   env={**os.environ, "PIP_NO_INDEX": "1", "PIP_QUIET": "1",
                        "PATH": f"{tmp_path / 'bin'}{os.pathsep}{os.environ['PATH']}"})
    environment = tmp_path / "env"
    _imports_from(environment / "bin" / "python", environment, tmp_path)


def test_pip_installs_the_package_offline_with_debians_pip_in_an_environment_without_one(
        tmp_path):
    # The environment borrows Debian's pip from the system's site-packages: nothing is fetched,
    # and the build runs in it as it is.
    source = tmp_path / "source"
    shutil.copytree(PACKAGE_FOLDER, source, ignore=shutil.ignore_patterns("tests", "__pycache__"))
    environment = tmp_path / "venv"
    subprocess.run([sys.executable, "-m", "venv", "--system-site-packages", "--without-pip",
                    str(environment)],
                   check=True, timeout=120)
    python = environment / "bin" / "python"
    subprocess.run([str(python), "-m", "pip", "install", "--quiet", "--no-index",
                    "--no-build-isolation", str(source)], check=True, timeout=120)
    _imports_from(python, environment, tmp_path)
