import os
import shutil
import subprocess
import sys
from pathlib import Path

from conftest import PACKAGE_FOLDER


def test_pip_installs_the_package_offline_with_debians_setuptools(tmp_path):
    # A copy, since setuptools builds inside the folder it is given. The environment takes
    # Debian's pip, setuptools and wheel from the system's site-packages: nothing is fetched.
    source = tmp_path / "source"
    shutil.copytree(PACKAGE_FOLDER, source, ignore=shutil.ignore_patterns("tests", "__pycache__"))
    environment = tmp_path / "venv"
    subprocess.run([sys.executable, "-m", "venv", "--system-site-packages", "--without-pip",
                    str(environment)],
                   check=True, timeout=120)
    python = environment / "bin" / "python"
    subprocess.run([str(python), "-m", "pip", "install", "--quiet", "--no-index",
                    "--no-build-isolation", str(source)], check=True, timeout=120)
    shown = subprocess.run([str(python), "-c", "import zelva1; print(zelva1.__file__, "
                            "zelva1.version(), len(zelva1.list_boards()))"],
                           capture_output=True, text=True, check=True, timeout=60, cwd=tmp_path,
                           env={**os.environ, "PYTHONPATH": ""})
    where, version, boards = shown.stdout.split()
    assert Path(where).is_relative_to(environment)
    assert (version, boards) == ("1.0.0", "2")
