import os
import shutil
import subprocess
import sys
from pathlib import Path

import pytest

from conftest import PACKAGE_FOLDER


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


@pytest.mark.parametrize("interpreter", _interpreters())
def test_the_readmes_line_installs_the_package_into_a_fresh_environment_offline(tmp_path,
                                                                              interpreter):
    # As the README says it: a virtual environment of its own, pip from it, no index at all.
    environment = tmp_path / "env"
    subprocess.run([interpreter, "-m", "venv", str(environment)], check=True, timeout=120)
    python = environment / "bin" / "python"
    subprocess.run([str(environment / "bin" / "pip"), "install", "--quiet", str(PACKAGE_FOLDER)],
                   check=True, timeout=120, env={**os.environ, "PIP_NO_INDEX": "1"})
    _imports_from(python, environment, tmp_path)


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
