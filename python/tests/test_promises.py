"""What a script gets when it uses an object wrongly: a closed one, a number outside its C type,
a path that names no readable file, an object it forgot to close."""

import gc
import os
import shutil
import subprocess
import sys
import tempfile
import time
import warnings
from pathlib import Path

import pytest

import zelva1
from conftest import EXAMPLES, PACKAGE_FOLDER

FORMATS = EXAMPLES / "KST3frmt.stt"
ASSIGNMENTS = EXAMPLES / "builtin-traffic.si"
NOBODY = 65534


def refused(call):
    with pytest.raises(zelva1.Zelva1Error) as raised:
        call()
    return raised.value


def test_a_closed_object_raises_instead_of_standing_for_the_default():
    system = zelva1.simulated("board 5 serial 77 inputs 2 outputs 2\n")
    board = system.open(5)
    board.close()
    system.close()
    formats = zelva1.Formats(FORMATS, ASSIGNMENTS)
    formats.close()
    calls = [system.boards, lambda: system.open(0), lambda: formats.decode(0o203, 5),
             lambda: board.inputs[1].read(0), board.inputs[1].read_all,
             lambda: board.inputs[1].start(), lambda: board.outputs[1].send([1]),
             lambda: board.outputs[1].write(0, 1), board.reset, board.initialize,
             lambda: board.outputs[1].periodic([1], 10)]
    for call in calls:
        assert refused(call).status == zelva1.ERROR_HANDLE
    # Closing again, by hand or by leaving a block the object was closed in, is no error.
    for closable in (board, system, formats):
        closable.close()
    with zelva1.open_board(0) as inner:
        inner.close()
    with system:
        pass


def test_numbers_outside_their_c_type_raise_before_the_call():
    for index in (2 ** 32, -1):
        with pytest.raises(OverflowError):
            zelva1.open_board(index)
    with pytest.raises(OverflowError):
        zelva1.decode(2 ** 32 + 7)
    with zelva1.open_board(0) as board, zelva1.Formats(FORMATS, ASSIGNMENTS) as formats:
        board.initialize(2)
        output, input_ = board.outputs[1], board.inputs[1]
        output.send(zelva1.test_pattern(1), cyclic=True)
        for call in (lambda: output.write(2 ** 32, 0xABCD0000), lambda: output.write(-1, 5),
                     lambda: output.write(0, 2 ** 32 + 7), lambda: output.send([2 ** 32 + 7]),
                     lambda: output.send([-1]), lambda: input_.read(2 ** 32),
                     lambda: input_.read(-1), lambda: formats.decode(0o203, 2 ** 32 + 5),
                     lambda: formats.decode(2 ** 32 + 0o203, 5)):
            with pytest.raises(OverflowError):
                call()
        # Nothing reached the board: the array still sends the pattern.
        input_.start()
        pattern = zelva1.test_pattern(1)
        deadline = time.monotonic() + 5
        while [c.word for c in input_.read_all()] != pattern and time.monotonic() < deadline:
            time.sleep(0.02)
        assert [c.word for c in input_.read_all()] == pattern


def test_a_board_never_closed_is_closed_when_collected_with_a_warning():
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always", ResourceWarning)
        # More than the library has handles for boards at once, each closed as its last
        # reference goes, not when the cycle collector comes round.
        gc.disable()
        try:
            for _ in range(4200):
                assert zelva1.open_board(0).info.interface_index == 0
        finally:
            gc.enable()
    assert any(issubclass(w.category, ResourceWarning) for w in caught)
    with zelva1.open_board(0):
        pass


def test_a_message_cut_inside_a_letter_still_reads():
    # Whatever byte the library's message ends at, the text is Russian the length of the buffer.
    for lead in range(4):
        with pytest.raises(zelva1.Zelva1Error) as raised:
            zelva1.simulated("x" * lead + "плата " * 200)
        assert raised.value.status == zelva1.ERROR_CONFIG


@pytest.fixture
def paths():
    """A folder, an empty file, a FIFO and a file only its owner reads, in a folder any user
    may enter (pytest's own are its owner's alone)."""
    folder = Path(tempfile.mkdtemp(prefix="zelva1-paths-"))
    folder.chmod(0o755)
    (folder / "folder").mkdir()
    (folder / "empty").write_bytes(b"")
    os.mkfifo(folder / "fifo")
    locked = folder / "locked"
    locked.write_bytes(FORMATS.read_bytes())
    locked.chmod(0)
    yield folder
    shutil.rmtree(folder)


REASONS = {"missing": "файла нет", "folder": "это папка, а не файл", "empty": "файл пуст",
           "fifo": "это не обычный файл (канал или устройство)"}


@pytest.mark.skipif(sys.platform == "win32", reason="a FIFO and another user are POSIX")
def test_a_path_that_names_no_readable_file_raises_with_its_reason(paths):
    for name, reason in REASONS.items():
        message = str(refused(lambda: zelva1.Formats(paths / name)))
        assert message.startswith(f"Файл форматов «{name}» не загружен: {reason}.")
        message = str(refused(lambda: zelva1.Formats(FORMATS, paths / name)))
        assert message.startswith(f"Файл назначений «{name}» не загружен: {reason}.")
        for opened in (zelva1.Database, zelva1.Replay):
            message = str(refused(lambda: opened(paths / name)))
            assert f"«{name}» не " in message and f": {reason}." in message
    # Read as a user who is not the file's owner: the tests may run as root, who reads any.
    script = ("import zelva1, sys\n"
              "for opened in (zelva1.Formats, zelva1.Database, zelva1.Replay):\n"
              "    try:\n"
              "        opened(sys.argv[1])\n"
              "    except zelva1.Zelva1Error as error:\n"
              "        print(error)\n")
    run = subprocess.run([sys.executable, "-c", script, str(paths / "locked")],
                         capture_output=True, text=True, timeout=60, check=True,
                         env=dict(os.environ, PYTHONPATH=str(PACKAGE_FOLDER)),
                         **({"user": NOBODY, "group": NOBODY, "extra_groups": []}
                            if os.geteuid() == 0 else {}))
    lines = run.stdout.splitlines()
    assert lines[0].startswith("Файл форматов «locked» не загружен: нет прав на чтение.")
    assert len(lines) == 3 and all("«locked» не " in line and ": нет прав на чтение." in line
                                   for line in lines)
