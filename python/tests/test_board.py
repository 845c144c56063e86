import time

import pytest

import zelva1
from conftest import EXAMPLES

# Octal labels of the built-in air-data and attitude traffic.
TRAFFIC_LABELS = [0o203, 0o206, 0o210, 0o212, 0o310, 0o311, 0o320, 0o324, 0o325]


def wait_for(condition, seconds=5.0):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.02)
    return condition()


@pytest.fixture
def system():
    with zelva1.simulated() as made:
        yield made


def test_the_test_pattern_sent_cyclically_comes_back_cell_for_cell(system):
    with system.open(0) as board:
        board.initialize(2)
        board.inputs[1].start()
        board.outputs[1].send(zelva1.test_pattern(1), cyclic=True)
        assert board.outputs[1].transmitting and board.inputs[1].receiving
        pattern = zelva1.test_pattern(1)
        assert wait_for(lambda: [c.word for c in board.inputs[1].read_all()] == pattern)
        board.outputs[1].write(5, 0xABCDEF05)
        assert wait_for(lambda: board.inputs[1].read(5).word == 0xABCDEF05)
    # Leaving the block reset the board and closed the handle.
    with pytest.raises(zelva1.Zelva1Error) as closed:
        board.inputs[1].read(0)
    assert closed.value.status == zelva1.ERROR_HANDLE


def test_the_built_in_traffic_brings_its_nine_labels_decoded_by_the_example_formats():
    assert [b.interface_index for b in zelva1.list_boards()] == [0, 2]
    with zelva1.open_board(0) as board, \
            zelva1.Formats(EXAMPLES / "KST3frmt.stt", EXAMPLES / "builtin-traffic.si") as formats:
        board.initialize(0)
        board.inputs[5].start("address")
        assert wait_for(lambda: all(board.inputs[5].read(label).received
                                    for label in TRAFFIC_LABELS))
        cells = board.inputs[5].read_all()
        assert {i for i, cell in enumerate(cells) if cell.received} == set(TRAFFIC_LABELS)
        for label in TRAFFIC_LABELS:
            decoded = formats.decode(cells[label].word, 5)
            assert decoded.label == label and decoded.parity_ok and decoded.ssm == 3
            assert decoded.value is not None and decoded.text


def test_a_failing_request_raises_with_its_status_and_the_systems_error():
    with zelva1.simulated("fail 0 IOCTL_SI_READ\n") as failing, failing.open(0) as board:
        board.initialize()
        board.inputs[1].start()
        with pytest.raises(zelva1.Zelva1Error) as failed:
            board.inputs[1].read_all()
        assert failed.value.status == zelva1.ERROR_REQUEST
        assert failed.value.system_error == 31
        assert failed.value.text in str(failed.value)


def test_a_board_without_channels_refuses_every_channel():
    with zelva1.simulated("board 0 serial 77 inputs 0 outputs 0\n") as bare:
        assert bare.boards() == [zelva1.BoardInfo(0, 77, 0, 0)]
        with bare.open(0) as board:
            board.initialize()
            with pytest.raises(zelva1.Zelva1Error) as refused:
                board.inputs[1].start()
            assert refused.value.status == zelva1.ERROR_NO_CHANNEL
            with pytest.raises(zelva1.Zelva1Error):
                board.outputs[1].send([1])


@pytest.mark.parametrize("call, status", [
    (lambda b: b.inputs[1].read(256), zelva1.ERROR_INDEX),
    (lambda b: zelva1.Input(b, 9).start(), zelva1.ERROR_CHANNEL),
    (lambda b: zelva1.Output(b, 0).stop(), zelva1.ERROR_CHANNEL),
    (lambda b: b.outputs[1].send(range(257)), zelva1.ERROR_ARGUMENT),
    (lambda b: b.outputs[1].send([]), zelva1.ERROR_ARGUMENT),
    (lambda b: b.inputs[1].start("sideways"), zelva1.ERROR_ARGUMENT),
    (lambda b: b.initialize(3), zelva1.ERROR_ARGUMENT),
    (lambda b: b.initialize([0] * 15), zelva1.ERROR_ARGUMENT),
])
def test_bad_arguments_raise_their_status(system, call, status):
    with system.open(0) as board:
        board.initialize()
        with pytest.raises(zelva1.Zelva1Error) as refused:
            call(board)
        assert refused.value.status == status


def test_a_wrong_configuration_and_a_missing_board_or_file_raise():
    with pytest.raises(zelva1.Zelva1Error) as wrong:
        zelva1.simulated("board 0 serial 1 inputs 9 outputs 0\n")
    assert wrong.value.status == zelva1.ERROR_CONFIG and "line 1" in str(wrong.value)
    with pytest.raises(zelva1.Zelva1Error) as missing:
        zelva1.open_board(1)  # present, fails to open
    assert missing.value.status == zelva1.ERROR_NO_BOARD
    with pytest.raises(zelva1.Zelva1Error) as no_file:
        zelva1.Formats(EXAMPLES / "missing.stt")
    assert no_file.value.status == zelva1.ERROR_FILE
    assert zelva1.decode(0x83).label == 0o203
    assert zelva1.version() == "1.0.0"


def resident_kib():
    with open("/proc/self/statm") as statm:
        return int(statm.read().split()[1]) * 4


@pytest.mark.skipif(not __import__("os").path.exists("/proc/self/statm"),
                    reason="resident memory is read from /proc")
def test_a_thousand_start_stop_cycles_leave_memory_as_it_was(system):
    with system.open(0) as board:
        board.initialize(2)
        words = zelva1.test_pattern(2)

        def cycles(count):
            for _ in range(count):
                board.inputs[2].start()
                board.outputs[2].send(words, cyclic=True)
                board.inputs[2].read_all()
                board.outputs[2].stop()
                board.inputs[2].stop()

        cycles(100)
        before = resident_kib()
        cycles(1000)
        assert resident_kib() - before < 256
