import gc
import math
import warnings

import pytest

import zelva1
from conftest import EXAMPLES
from test_board import wait_for

DATABASE = EXAMPLES / "label-database.csv"


def test_a_value_encoded_reads_back_by_its_row_and_what_no_word_carries_raises():
    with zelva1.Database(DATABASE) as database:
        word = database.encode(0o206, 250.53, sdi=2)
        reading = database.decode(word, channel=4)
        assert reading.known and reading.parity_ok and reading.ssm_normal
        assert (reading.label, reading.sdi, reading.value) == (0o206, 2, 250.5)
        assert (reading.name, reading.text, reading.units, reading.ssm_text) == \
            ("Приборная скорость", "250.5000", "kt", "норма")
        odd = database.decode(database.encode(0o203, 60000, ssm=2, wrong_parity=True,
                                              outside_range=True))
        assert not odd.parity_ok and odd.out_of_range and odd.ssm_text == "функц. тест"
        assert not database.decode(0x60000040).known

        with pytest.raises(zelva1.Zelva1Error) as beyond:
            database.encode(0o203, 60000)
        assert beyond.value.status == zelva1.ERROR_VALUE
        assert str(beyond.value).startswith("метка 203: ")
        with pytest.raises(zelva1.Zelva1Error) as unknown:
            database.encode(0o100, 1)
        assert unknown.value.status == zelva1.ERROR_LABEL
        with pytest.raises(ValueError):
            database.encode(0o203, math.nan)
        # Integers outside their C type never reach the library cut down.
        for call in (lambda: database.decode(2 ** 32), lambda: database.decode(-1),
                     lambda: database.encode(2 ** 32 + 0o203, 1),
                     lambda: database.encode(0o203, 1, channel=2 ** 32 + 1)):
            with pytest.raises(OverflowError):
                call()
    with pytest.raises(zelva1.Zelva1Error) as closed:
        database.decode(0)
    assert closed.value.status == zelva1.ERROR_HANDLE


def test_a_database_that_does_not_load_says_where_and_a_forgotten_one_warns(tmp_path):
    wrong = tmp_path / "wrong.csv"
    wrong.write_text("label,name,encoding,bits,resolution\n203,Высота,BNR,40,1\n",
                     encoding="utf-8")
    with pytest.raises(zelva1.Zelva1Error) as refused:
        zelva1.Database(wrong)
    assert refused.value.status == zelva1.ERROR_CONTENT
    assert "«wrong.csv» не загружен: строка 2, столбец «bits»" in str(refused.value)
    with pytest.raises(zelva1.Zelva1Error) as missing:
        zelva1.Database(tmp_path / "missing.csv")
    assert missing.value.status == zelva1.ERROR_FILE

    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        zelva1.Database(DATABASE)
        gc.collect()
    assert any(issubclass(w.category, ResourceWarning) for w in caught)


def test_a_task_sends_its_words_at_their_intervals_takes_changes_and_stops_with_the_block():
    with zelva1.simulated() as system, system.open(0) as board, \
            zelva1.Database(DATABASE) as database:
        board.initialize(2)
        board.inputs[1].start("address")
        altitude, speed = database.encode(0o203, 10000), database.encode(0o206, 120)
        with board.outputs[1].periodic([altitude, speed], [10, 25]) as task:
            assert wait_for(lambda: board.inputs[1].read(0o206).word == speed)
            task.set_word(0, database.encode(0o203, 12000))
            assert wait_for(lambda: database.decode(board.inputs[1].read(0o203).word).value
                            == 12000)
            task.set_interval(1, 50)
            task.pause(0)
            assert task.running and task.failure == ""
            assert task.timing(0).sent >= 1
            with pytest.raises(ValueError):
                task.set_interval(0, math.nan)
            with pytest.raises(OverflowError):
                task.set_word(0, 2 ** 32)
            with pytest.raises(zelva1.Zelva1Error) as index:
                task.timing(2)
            assert index.value.status == zelva1.ERROR_INDEX
        with pytest.raises(zelva1.Zelva1Error) as closed:
            task.timing(0)
        assert closed.value.status == zelva1.ERROR_HANDLE
        with pytest.raises(zelva1.Zelva1Error) as overload:
            board.outputs[1].periodic([speed] * 256, 1)
        assert overload.value.status == zelva1.ERROR_BUS
        with pytest.raises(ValueError):
            board.outputs[1].periodic([speed], [math.nan])


def test_a_failed_request_stops_the_task_and_the_next_call_raises_it():
    with zelva1.simulated("fail 0 IOCTL_SO_START_SINGLE channel 2\n") as system, \
            system.open(0) as board:
        board.initialize(2)
        task = board.outputs[2].periodic([0x60000083], 5)
        assert wait_for(lambda: not task.running)
        assert "IOCTL_SO_START_SINGLE" in task.failure
        with pytest.raises(zelva1.Zelva1Error) as failed:
            task.set_word(0, 0)
        assert failed.value.status == zelva1.ERROR_REQUEST and failed.value.system_error == 31
        with pytest.raises(zelva1.Zelva1Error):
            task.stop()
        # A task whose board was closed was stopped with it: stop() has nothing left to do.
        left = board.outputs[1].periodic([0x60000083], 5)
    left.stop()
