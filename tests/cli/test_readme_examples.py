"""The README's examples of the library, the Python package and the tool, run as written:
the C programs compiled against the build's header and library, the Python scripts over the
package in the source tree, each command line with the build's tool, all from the repository's
folder as the README's paths are written."""

import os
import re
import shlex
import subprocess
from pathlib import Path

REPOSITORY = Path(__file__).resolve().parents[2]
BUILD = Path(os.environ.get("ZELVA1_BUILD", REPOSITORY / "build" / "ci"))
SECTION = "## Scripts: C, Python and the command line"
# What each example prints, block by block in the README's order.
ALTITUDE = "Высота барометрическая: 10500 ft, норма\n"
PYTHON_PRINTS = [lambda out: out == "256 of 256 words came back\n",
                 lambda out: re.fullmatch(ALTITUDE + "Приборная скорость: 250.5000 kt, норма\n"
                                          r"(\d+) words of label 206 sent\n", out),
                 lambda out: re.fullmatch(r"(\d+) of \1 recorded words sent again\n", out),
                 lambda out: re.fullmatch(r"label 203 \(decimal 131\): -?\d+ фут\n", out)]
C_PRINTS = [lambda out: out == "256 of 256 words came back\n", lambda out: out == ALTITUDE]


def examples(language):
    readme = (REPOSITORY / "README.md").read_text(encoding="utf-8")
    section = readme[readme.index(SECTION):]
    section = section[:section.index("\n## ", len(SECTION))]
    return re.findall(r"```" + language + r"\n(.*?)```", section, re.S)


def environment():
    variables = {k: v for k, v in os.environ.items()
                 if k not in ("ZELVA1_SIM_CONFIG", "ZELVA1_BACKEND", "ZELVA1_DRIVER_TRACE")}
    variables["PATH"] = f"{BUILD / 'cli'}{os.pathsep}{variables.get('PATH', '')}"
    variables["PYTHONPATH"] = str(REPOSITORY / "python")
    variables["ZELVA1_LIBRARY"] = str(BUILD / "lib" / "libzelva1.so.1")
    return variables


def test_the_command_lines_run_and_the_loopback_comes_back(tmp_path):
    # In a folder of their own with the examples beside, as in the Windows zip: the recording
    # the lines make is left there, not in the repository.
    (tmp_path / "examples").symlink_to(REPOSITORY / "examples")
    [block] = examples("sh")
    for line in block.splitlines():
        done = subprocess.run(shlex.split(line), capture_output=True, text=True, timeout=30,
                              cwd=tmp_path, env=environment())
        assert done.returncode == 0, (line, done.stderr)
        assert done.stdout or "--csv" in line, line
        if "replay" in line:
            assert done.stdout.startswith("выходной канал\tпередано слов\n1\t"), done.stdout
        if "loopback" in line:
            assert "совпало 256 из 256 ячеек" in done.stdout
        if "stimulate" in line:
            assert len(done.stdout.splitlines()) == 10, done.stdout


def test_the_python_examples_print_what_the_readme_says(tmp_path):
    blocks = examples("python")
    assert len(blocks) == len(PYTHON_PRINTS)
    for number, (block, prints) in enumerate(zip(blocks, PYTHON_PRINTS)):
        script = tmp_path / f"example{number}.py"
        script.write_text(block, encoding="utf-8")
        done = subprocess.run(["/usr/bin/python3", str(script)], capture_output=True, text=True,
                              timeout=30, cwd=REPOSITORY, env=environment())
        assert done.returncode == 0, done.stderr
        assert prints(done.stdout), done.stdout


def test_the_c_examples_compile_without_a_warning_and_print_what_the_readme_says(tmp_path):
    blocks = examples("c")
    assert len(blocks) == len(C_PRINTS)
    library = BUILD / "lib"
    for number, (block, prints) in enumerate(zip(blocks, C_PRINTS)):
        source = tmp_path / f"example{number}.c"
        source.write_text(block, encoding="utf-8")
        program = tmp_path / f"example{number}"
        subprocess.run(["cc", "-Wall", "-Wextra", "-Werror", f"-I{REPOSITORY / 'lib'}",
                        str(source), f"-L{library}", f"-Wl,-rpath,{library}", "-lzelva1", "-o",
                        str(program)], check=True, timeout=60)
        done = subprocess.run([str(program)], capture_output=True, text=True, timeout=30,
                              cwd=REPOSITORY, env=environment())
        assert done.returncode == 0, done.stderr
        assert prints(done.stdout), done.stdout
