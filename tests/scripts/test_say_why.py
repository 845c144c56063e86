"""The test command's scripts end under `set -e` at the first failing command; where that
command prints nothing itself, the sourced trap must still say where and what."""

import subprocess
from pathlib import Path

SCRIPTS = Path(__file__).resolve().parents[2] / "scripts"


def run(body, tmp_path):
    script = tmp_path / "step.sh"
    script.write_text(f'set -euo pipefail\nsource "{SCRIPTS}/say-why.sh"\n{body}\necho reached\n')
    return subprocess.run(["bash", str(script)], capture_output=True, text=True, check=False)


def test_a_silent_failure_is_named_with_its_line_and_status(tmp_path):
    # The case that once ended a run with no word: an array assignment from a function that
    # failed inside a command substitution.
    result = run('timed() { return 4; }\ntimes=()\ntimes+=("$(timed)")', tmp_path)
    assert result.returncode != 0
    assert "reached" not in result.stdout
    assert 'step.sh: line 5: `times+=("$(timed)")` failed with status 4' in result.stderr


def test_failures_the_script_handles_stay_quiet(tmp_path):
    result = run("status=0\n(false) || status=$?\nif grep -q x /dev/null; then :; fi\n"
                 "f() { false; }\nf || true", tmp_path)
    assert result.returncode == 0
    assert result.stdout == "reached\n"
    assert result.stderr == ""
