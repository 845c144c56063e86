import gc
import math
import warnings

import pytest

import zelva1
from test_board import wait_for

HEADER = ("дата и время,мс от начала записи,№ цикла,входной канал,ячейка,слово,метка,SDI,SSM,"
          "четность,десятичное значение\r\n")
ALTITUDE, SPEED = 0x60000083, 0x60010086


def recording(path, ticks, channel=1):
    """Input `channel` as the monitor records it: labels 203 and 206 every tick of 10 ms."""
    rows = [f"2026-01-01 00:00:00.000,{tick * 10},{tick},{channel},{word & 0xFF},{word:08X},"
            f"{word & 0xFF:03o},0,3,норма,\r\n"
            for tick in range(ticks) for word in (ALTITUDE, SPEED)]
    path.write_text(HEADER + "".join(rows), encoding="utf-8", newline="")
    return path


def test_a_recording_goes_back_out_word_for_word_and_says_how_far_it_came(tmp_path):
    with zelva1.simulated() as system, system.open(0) as board, \
            zelva1.Replay(recording(tmp_path / "r.csv", 20, channel=3)) as replay:
        assert replay.recording == zelva1.Recording(40, 0, 190, [3], 0)
        board.initialize(2)
        board.inputs[1].start("file")
        replay.start(board, output=1, input=3, speed=2)
        assert wait_for(lambda: replay.progress.state == "ended")
        progress = replay.progress
        assert (progress.rows, progress.recorded_ms, progress.sent, progress.failure) == \
            (40, 190, {1: 40}, "")
        assert wait_for(lambda: board.inputs[1].read(39).received)
        assert [cell.word for cell in board.inputs[1].read_all()[:40]] == [ALTITUDE, SPEED] * 20

        replay.start(board, input=3, speed=0.1, labels=[0o203])
        replay.pause()
        assert replay.progress.state == "paused"
        replay.resume()
        replay.stop()
        assert replay.progress.state == "stopped"


def test_what_cannot_replay_raises_before_or_from_the_call(tmp_path):
    damaged = tmp_path / "damaged.csv"
    damaged.write_text(HEADER + "2026-01-01 00:00:00.000,x,0,1,0,60000083,203,0,3,норма,\r\n",
                       encoding="utf-8", newline="")
    with pytest.raises(zelva1.Zelva1Error) as refused:
        zelva1.Replay(damaged)
    assert refused.value.status == zelva1.ERROR_CONTENT
    assert "строка 2, столбец «мс от начала записи», не число миллисекунд" in str(refused.value)

    with zelva1.simulated() as system, system.open(0) as board, \
            zelva1.Replay(recording(tmp_path / "r.csv", 5)) as replay:
        for wrong, error in ((dict(speed=math.nan), ValueError),
                             (dict(input=9), OverflowError),
                             (dict(output=2 ** 32), OverflowError),
                             (dict(labels=[256]), OverflowError),
                             (dict(start_ms=-1), OverflowError)):
            with pytest.raises(error):
                replay.start(board, **wrong)
        with pytest.raises(zelva1.Zelva1Error) as slow:
            replay.start(board, speed=20)
        assert slow.value.status == zelva1.ERROR_ARGUMENT and "скорость" in str(slow.value)
        with pytest.raises(zelva1.Zelva1Error) as absent:
            replay.start(board, input=2)
        assert absent.value.status == zelva1.ERROR_CONTENT
        assert replay.progress.state == "stopped"
    with pytest.raises(zelva1.Zelva1Error) as closed:
        replay.pause()
    assert closed.value.status == zelva1.ERROR_HANDLE

    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        zelva1.Replay(recording(tmp_path / "r.csv", 5))
        gc.collect()
    assert any(issubclass(w.category, ResourceWarning) for w in caught)
