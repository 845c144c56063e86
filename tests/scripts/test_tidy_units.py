"""clang-tidy checks the files of one set of flags together; a file that cannot share the
unit must be checked alone, and a finding in any file of a unit must still be shown."""

import json
import shlex
import shutil
import subprocess
import sys
from pathlib import Path

import pytest

SCRIPTS = Path(__file__).resolve().parents[2] / "scripts"
TIDY = shutil.which("clang-tidy")

FILES = {
    # Two files naming a constant alike in their anonymous namespaces, as the windows do.
    "width_a.cpp": "namespace {\nconstexpr int kWidth = 4;\n}\nint widthA() { return kWidth; }\n",
    "width_b.cpp": "namespace {\nconstexpr int kWidth = 8;\n}\nint widthB() { return kWidth; }\n",
    "first_main.cpp": "int main() { return 0; }\n",
    "second_main.cpp": "int main(int, char**) { return 1; }\n",
    # The finding the unit has to show although the file is not its main file.
    "finding.cpp": "int* none() { return 0; }\n",
}


def plan(tmp_path):
    source = tmp_path / "src"
    source.mkdir()
    (source / ".clang-tidy").write_text(
        "Checks: '-*,modernize-use-nullptr'\nHeaderFilterRegex: '^$'\n")
    work = tmp_path / "work"
    work.mkdir()
    commands, order = [], []
    for name, text in FILES.items():
        path = source / name
        path.write_text(text)
        order.append(str(path))
        commands.append({"directory": str(tmp_path), "file": str(path),
                         "command": shlex.join(["c++", "-std=c++20", "-c", str(path)])})
    (work / "compile_commands.json").write_text(json.dumps(commands))
    (work / "files.txt").write_text("".join(line + "\n" for line in order))
    # Relative, as the test command gives it: the units must still be found in the database.
    subprocess.run([sys.executable, str(SCRIPTS / "tidy_units.py"), str(source), "work", TIDY,
                    "2"], cwd=tmp_path, check=True)
    units = {}
    for line in (work / "unit-files.txt").read_text().splitlines():
        path, members = line.split("\t")
        units[path] = sorted(Path(member).name for member in members.split())
    return work, units


@pytest.mark.skipif(TIDY is None, reason="clang-tidy is not installed")
def test_clashing_files_and_second_entry_points_are_checked_alone(tmp_path):
    work, units = plan(tmp_path)
    assert sorted(units.values()) == [["finding.cpp", "first_main.cpp", "width_a.cpp"],
                                      ["second_main.cpp"], ["width_b.cpp"]]
    listed = (work / "units.txt").read_text().splitlines()
    assert sorted(listed) == sorted(units)

    unit = next(path for path, members in units.items() if len(members) > 1)
    header_filter = Path(unit + ".args").read_text().strip()
    shown = subprocess.run([TIDY, "-p", str(work), "--quiet", header_filter, unit],
                           capture_output=True, text=True, check=False).stdout
    assert "finding.cpp:1:22: warning: use nullptr [modernize-use-nullptr]" in shown
