"""The README's examples of the library, the Python package and the tool, run as written:
the C program compiled against the build's header and library, the Python script over the
package in the source tree, each command line with the build's tool."""

import os
import re
import shlex
import subprocess
from pathlib import Path

REPOSITORY = Path(__file__).resolve().parents[2]
BUILD = Path(os.environ.get("ZELVA1_BUILD", REPOSITORY / "build" / "ci"))
SECTION = "## Scripts: C, Python and the command line"


def example(language):
    readme = (REPOSITORY / "README.md").read_text(encoding="utf-8")
    section = readme[readme.index(SECTION):]
    section = section[:section.index("\n## ", len(SECTION))]
    blocks = re.findall(r"```" + language + r"\n(.*?)```", section, re.S)
    assert len(blocks) == 1, language
    return blocks[0]


def environment():
    variables = {k: v for k, v in os.environ.items()
                 if k not in ("ZELVA1_SIM_CONFIG", "ZELVA1_BACKEND", "ZELVA1_DRIVER_TRACE")}
    variables["PATH"] = f"{BUILD / 'cli'}{os.pathsep}{variables.get('PATH', '')}"
    variables["PYTHONPATH"] = str(REPOSITORY / "python")
    variables["ZELVA1_LIBRARY"] = str(BUILD / "lib" / "libzelva1.so.1")
    return variables


def test_the_command_lines_run_and_the_loopback_comes_back():
    for line in example("sh").splitlines():
        done = subprocess.run(shlex.split(line), capture_output=True, text=True, timeout=30,
                              cwd=REPOSITORY, env=environment())
        assert done.returncode == 0, (line, done.stderr)
        assert done.stdout, line
        if "loopback" in line:
            assert "совпало 256 из 256 ячеек" in done.stdout


def test_the_python_example_sees_the_test_pattern_come_back(tmp_path):
    script = tmp_path / "loopback.py"
    script.write_text(example("python"), encoding="utf-8")
    done = subprocess.run(["/usr/bin/python3", str(script)], capture_output=True, text=True,
                          timeout=30, env=environment())
    assert done.returncode == 0, done.stderr
    assert done.stdout == "256 of 256 words came back\n"


def test_the_c_example_compiles_without_a_warning_and_sees_the_test_pattern_come_back(
        tmp_path):
    source = tmp_path / "loopback.c"
    source.write_text(example("c"), encoding="utf-8")
    program = tmp_path / "loopback"
    library = BUILD / "lib"
    subprocess.run(["cc", "-Wall", "-Wextra", "-Werror", f"-I{REPOSITORY / 'lib'}", str(source),
                    f"-L{library}", f"-Wl,-rpath,{library}", "-lzelva1", "-o", str(program)],
                   check=True, timeout=60)
    done = subprocess.run([str(program)], capture_output=True, text=True, timeout=30,
                          env=environment())
    assert done.returncode == 0, done.stderr
    assert done.stdout == "256 of 256 words came back\n"
