"""ZELVA-1 ARINC 429 boards, real or simulated, from Python.

A thin layer over the zelva1 C library: boards are context managers, their inputs and outputs
objects numbered 1..8 as on the board, words plain ints, and every failed call raises
Zelva1Error with the library's status, its text and the system's error code.
"""

import ctypes
import math
import operator
import warnings
import weakref
from collections import namedtuple
from collections.abc import Mapping

from . import _library as _c

# The package's version, the project's: the wheel's metadata takes it from here.
__version__ = "1.0.0"

__all__ = ["Zelva1Error", "System", "Board", "Input", "Output", "Formats", "Database", "Task",
           "Replay", "BoardInfo", "Cell", "Decoded", "Reading", "Timing", "Recording",
           "ReplayProgress", "version", "simulated",
           "list_boards", "open_board", "decode", "test_pattern"]

OK = 0
ERROR_NULL = -1
ERROR_HANDLE = -2
ERROR_CHANNEL = -3
ERROR_NO_CHANNEL = -4
ERROR_INDEX = -5
ERROR_ARGUMENT = -6
ERROR_NO_BOARD = -7
ERROR_REQUEST = -8
ERROR_CONFIG = -9
ERROR_FILE = -10
ERROR_LIMIT = -11
ERROR_INTERNAL = -12
ERROR_CONTENT = -13
ERROR_LABEL = -14
ERROR_VALUE = -15
ERROR_BUS = -16

BoardInfo = namedtuple("BoardInfo", "interface_index serial inputs outputs")
Cell = namedtuple("Cell", "word received")
Decoded = namedtuple("Decoded", "label sdi ssm parity_ok value text")
Reading = namedtuple("Reading", "label sdi ssm parity_ok known name value text units ssm_text "
                                "ssm_normal out_of_range")
Timing = namedtuple("Timing", "sent last_interval_ms shortest_ms longest_ms")
Recording = namedtuple("Recording", "words first_ms last_ms inputs torn_line")
ReplayProgress = namedtuple("ReplayProgress", "state passes rows recorded_ms sent failure")
_REPLAY_STATES = ("stopped", "running", "paused", "ended", "failed")

_lib = _c.lib


class Zelva1Error(Exception):
    """A call the library refused or the board failed: `status` (a negative ERROR_ code),
    `text` (the library's words for it) and `system_error` (the system's code, or 0)."""

    def __init__(self, status, what, system_error=0):
        self.status = status
        self.text = _text(_lib.zelva1_status_text(status))
        self.system_error = system_error
        message = f"{what}: {self.text}" if what else self.text
        if system_error:
            message += f" (system error {system_error})"
        super().__init__(message)


def _text(raw):
    """The library's UTF-8 text; a message cut short inside a letter still reads."""
    return raw.decode("utf-8", errors="replace")


def _check(status, what=""):
    if status != OK:
        raise Zelva1Error(status, what, _lib.zelva1_system_error())


def _whole(value, low, high, what):
    """An integer within its C type's range; ctypes would cut it down without a word."""
    number = operator.index(value)
    if not low <= number <= high:
        raise OverflowError(f"{what} {number} is outside {low}..{high}")
    return number


def _word(value):
    return _whole(value, 0, 0xFFFFFFFF, "word")


def _number(value, what):
    """A float that is a number: NaN would reach the library as no value at all."""
    number = float(value)
    if math.isnan(number):
        raise ValueError(f"{what} is NaN")
    return number


def version():
    """The library's version as "major.minor.patch"."""
    number = _lib.zelva1_version()
    return f"{number // 10000}.{number // 100 % 100}.{number % 100}"


def test_pattern(channel):
    """The monitor's test array of output `channel`: 256 words, word k with label k."""
    return [k | (channel << 8) | ((0xFF - k) << 16) | ((0xFF - channel) << 24)
            for k in range(_c.MAX_WORDS)]


def _info(raw):
    return BoardInfo(raw.interface_index, raw.serial, raw.inputs, raw.outputs)


class _Closable:
    """An object the library keeps behind a handle: closed once, and on leaving a `with`.
    A subclass names the library's close function and what a failure is reported as."""

    _handle = None
    _close_function = ""
    _close_context = ""
    _finalizer = None

    def _keep(self, handle):
        """Takes the handle; one never closed is closed when the object is collected, with a
        ResourceWarning, as Python's own files do."""
        self._handle = handle
        self._finalizer = weakref.finalize(self, _forgotten, self._close_function, handle,
                                           self._close_context)

    def _live(self):
        """The handle of an open object: a closed one raises rather than hand the library a
        NULL, which some calls take for the default system."""
        if self._handle is None:
            raise Zelva1Error(ERROR_HANDLE, f"{self._close_context} is closed")
        return self._handle

    def close(self):
        if self._handle is not None:
            if self._finalizer is not None:
                self._finalizer.detach()
            _check(getattr(_lib, self._close_function)(self._handle), self._close_context)
            self._handle = None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


def _forgotten(close_function, handle, context):
    warnings.warn(f"zelva1 {context} was never closed", ResourceWarning, stacklevel=2)
    getattr(_lib, close_function)(handle)


class System(_Closable):
    """A set of boards behind one back-end. `System()` is the back-end the monitor would use
    (ZELVA1_SIM_CONFIG honoured); `simulated(text)` makes simulated boards from a
    configuration text."""

    def __init__(self, _handle=None):
        if _handle is None:
            _handle = ctypes.c_void_p()
            _check(_lib.zelva1_system_open(ctypes.byref(_handle)), "system")
        self._keep(_handle)

    def boards(self):
        """The boards found, as the monitor lists them."""
        return _list(self._live())

    _close_function = "zelva1_system_close"
    _close_context = "system"

    def open(self, interface_index=0):
        return Board(interface_index, self)


def simulated(config=""):
    """A system of simulated boards from a configuration text (the statements of a
    ZELVA1_SIM_CONFIG file); an empty text gives the built-in boards."""
    handle = ctypes.c_void_p()
    message = ctypes.create_string_buffer(256)
    status = _lib.zelva1_system_open_simulated(config.encode("utf-8"), ctypes.byref(handle),
                                               message, len(message))
    _check(status, _text(message.value))
    return System(handle)


def _list(system_handle):
    boards = (_c.BoardInfo * _c.MAX_BOARDS)()
    count = ctypes.c_size_t()
    _check(_lib.zelva1_list(system_handle, boards, len(boards), ctypes.byref(count)), "list")
    return [_info(boards[i]) for i in range(min(count.value, len(boards)))]


def list_boards():
    """The boards of the default system."""
    return _list(None)


def open_board(interface_index=0, system=None):
    """Opens a board of `system`, or of the default system."""
    return Board(interface_index, system)


class Board(_Closable):
    """One open board. As a context manager it resets the board (every channel stops) and
    closes it on leaving."""

    def __init__(self, interface_index=0, system=None):
        self._system = system  # kept alive while the board is open
        handle = ctypes.c_void_p()
        system_handle = system._live() if system is not None else None
        _check(_lib.zelva1_open(system_handle, _whole(interface_index, 0, 0xFFFFFFFF, "board"),
                                ctypes.byref(handle)), f"board {interface_index}")
        self._keep(handle)
        raw = _c.BoardInfo()
        _check(_lib.zelva1_board_information(self._handle, ctypes.byref(raw)))
        self.info = _info(raw)

    # Made on demand rather than kept: channels kept by the board would hold it in a cycle,
    # and a board a script forgot would stay open until the cycle collector ran.
    @property
    def inputs(self):
        """Inputs 1..8 as a mapping: board.inputs[1]."""
        return _Channels(self, Input)

    @property
    def outputs(self):
        """Outputs 1..8 as a mapping: board.outputs[1]."""
        return _Channels(self, Output)

    def initialize(self, rates=0):
        """Initialises the board: one rate code (0, 1, 2) for every channel, or 16 codes,
        inputs 1..8 then outputs 1..8."""
        codes = [rates] * _c.RATE_CODES if isinstance(rates, int) else list(rates)
        array = (ctypes.c_uint8 * len(codes))(*[c if 0 <= c <= 255 else 255 for c in codes])
        _check(_lib.zelva1_initialize(self._live(), array, len(codes)), "initialize")

    def reset(self):
        _check(_lib.zelva1_reset(self._live()), "reset")

    _close_function = "zelva1_close"
    _close_context = "close"

    def __exit__(self, exc_type, *exc):
        try:
            if self._handle is not None:  # a board closed inside the block leaves it quietly
                self.reset()
        except Zelva1Error:
            if exc_type is None:
                raise
        finally:
            self.close()


class _Channels(Mapping):
    """A board's inputs or outputs by number, 1..8."""

    def __init__(self, board, kind):
        self._board = board
        self._kind = kind

    def __getitem__(self, number):
        if number not in range(1, _c.MAX_CHANNELS + 1):
            raise KeyError(number)
        return self._kind(self._board, number)

    def __iter__(self):
        return iter(range(1, _c.MAX_CHANNELS + 1))

    def __len__(self):
        return _c.MAX_CHANNELS


class Input:
    """Input channel `number` of a board."""

    def __init__(self, board, number):
        self._board = board
        self.number = number

    def start(self, mode="address"):
        """Starts reception, "address" (word k lands in the cell of its label) or "file"."""
        code = {"address": _c.ADDRESS_MODE, "file": _c.FILE_MODE}.get(mode, -1)
        _check(_lib.zelva1_start_receive(self._board._live(), self.number, code),
               f"input {self.number}")

    def stop(self):
        _check(_lib.zelva1_stop_receive(self._board._live(), self.number), f"input {self.number}")

    @property
    def receiving(self):
        active = ctypes.c_int()
        _check(_lib.zelva1_is_receiving(self._board._live(), self.number, ctypes.byref(active)),
               f"input {self.number}")
        return bool(active.value)

    def read(self, index):
        """One cell (0..255): Cell(word, received)."""
        cell = _c.Cell()
        _check(_lib.zelva1_read_cell(self._board._live(), self.number,
                                     _whole(index, 0, 0xFFFFFFFF, "cell"), ctypes.byref(cell)),
               f"input {self.number}")
        return Cell(cell.word, bool(cell.received))

    def read_all(self):
        """All 256 cells in one call: a list of Cell(word, received)."""
        cells = (_c.Cell * _c.CELLS)()
        _check(_lib.zelva1_read_cells(self._board._live(), self.number, cells, len(cells)),
               f"input {self.number}")
        return [Cell(c.word, bool(c.received)) for c in cells]


class Output:
    """Output channel `number` of a board."""

    def __init__(self, board, number):
        self._board = board
        self.number = number

    def send(self, words, cyclic=False):
        """Loads 1..256 words and sends them once, or again and again until stop()."""
        words = [_word(word) for word in words]
        array = (ctypes.c_uint32 * max(len(words), 1))(*words)
        _check(_lib.zelva1_transmit(self._board._live(), self.number, array, len(words),
                                    _c.CYCLIC if cyclic else _c.ONCE), f"output {self.number}")

    def write(self, index, word):
        """Changes word `index` of the array being sent cyclically."""
        _check(_lib.zelva1_write_word(self._board._live(), self.number,
                                      _whole(index, 0, 0xFFFFFFFF, "index"), _word(word)),
               f"output {self.number}")

    def stop(self):
        _check(_lib.zelva1_stop_transmit(self._board._live(), self.number),
               f"output {self.number}")

    def periodic(self, words, intervals_ms):
        """Starts a Task sending `words` at their intervals (ms) from this output."""
        return Task(self, words, intervals_ms)

    @property
    def transmitting(self):
        active = ctypes.c_int()
        _check(_lib.zelva1_is_transmitting(self._board._live(), self.number,
                                           ctypes.byref(active)), f"output {self.number}")
        return bool(active.value)


def _decoded(raw):
    value = raw.value if raw.has_value else None
    return Decoded(raw.label, raw.sdi, raw.ssm, bool(raw.parity_ok), value,
                   _text(raw.text))


def decode(word):
    """The fields of a word, without a decimal value."""
    raw = _c.Decoded()
    _check(_lib.zelva1_decode(None, 0, _word(word), ctypes.byref(raw)), "decode")
    return _decoded(raw)


class Formats(_Closable):
    """A decimal format file (KST3frmt.stt) with an assignment file (*.si), read by the
    monitor's own readers, to decode words as the monitor's decimal column does."""

    def __init__(self, format_path, assignment_path=None):
        handle = ctypes.c_void_p()
        assignments = None if assignment_path is None else str(assignment_path).encode("utf-8")
        message = ctypes.create_string_buffer(512)
        _check(_lib.zelva1_formats_load(str(format_path).encode("utf-8"), assignments,
                                        ctypes.byref(handle), message, len(message)),
               _text(message.value) or str(format_path))
        self._keep(handle)

    def decode(self, word, channel):
        """A word received on input `channel`: Decoded(label, sdi, ssm, parity_ok, value,
        text), value None where no format is assigned."""
        raw = _c.Decoded()
        _check(_lib.zelva1_decode(self._live(), _whole(channel, 0, 0xFFFFFFFF, "channel"),
                                  _word(word), ctypes.byref(raw)), "decode")
        return _decoded(raw)

    _close_function = "zelva1_formats_close"
    _close_context = "formats"


def _reading(raw):
    value = raw.value if raw.has_value else None
    return Reading(raw.label, raw.sdi, raw.ssm, bool(raw.parity_ok), bool(raw.known),
                   _text(raw.name), value, _text(raw.text), _text(raw.units),
                   _text(raw.ssm_text), bool(raw.ssm_normal),
                   bool(raw.out_of_range))


class Database(_Closable):
    """A label database file (CSV: label, name, encoding, bits, resolution, ...) read by the
    monitor's loader: words decoded as its label watch shows them, values encoded into words."""

    def __init__(self, path):
        handle = ctypes.c_void_p()
        message = ctypes.create_string_buffer(512)
        _check(_lib.zelva1_database_open(str(path).encode("utf-8"), ctypes.byref(handle),
                                         message, len(message)), _text(message.value))
        self._keep(handle)

    _close_function = "zelva1_database_close"
    _close_context = "database"

    def decode(self, word, channel=1):
        """A word received on input `channel` by its row: Reading(label, sdi, ssm, parity_ok,
        known, name, value, text, units, ssm_text, ssm_normal, out_of_range); value None
        without a number, known False (and no name) where the database has no row."""
        raw = _c.Reading()
        _check(_lib.zelva1_database_decode(self._live(), _whole(channel, 0, 0xFFFFFFFF, "channel"),
                                           _word(word), ctypes.byref(raw)), "decode")
        return _reading(raw)

    def encode(self, label, value=0.0, *, channel=1, sdi=None, ssm=None, discretes=0,
               wrong_parity=False, outside_range=False):
        """The word that says `value` for `label` (write it in octal: 0o203) by its row on
        input `channel`; `discretes` for a DISC label (bit n: the word's bit n + 1). `sdi` and
        `ssm` 0..3 or None (the row's own, normal operation); wrong parity or a value beyond
        the row's range only when asked for. Raises Zelva1Error with the reason for a value
        the word cannot carry, ValueError for NaN."""
        word = ctypes.c_uint32()
        message = ctypes.create_string_buffer(512)
        flags = (_c.WRONG_PARITY if wrong_parity else 0) | (
            _c.OUTSIDE_RANGE if outside_range else 0)
        status = _lib.zelva1_encode(
            self._live(), _whole(channel, 0, 0xFFFFFFFF, "channel"),
            _whole(label, 0, 0xFFFFFFFF, "label"),
            -1 if sdi is None else _whole(sdi, -(2 ** 31), 2 ** 31 - 1, "sdi"),
            -1 if ssm is None else _whole(ssm, -(2 ** 31), 2 ** 31 - 1, "ssm"),
            _number(value, "value"), _word(discretes), flags, ctypes.byref(word), message,
            len(message))
        _check(status, _text(message.value) or f"label {label:o}")
        return word.value


class Task(_Closable):
    """Words sent periodically from an output (board.outputs[n]), word k every
    intervals_ms[k] milliseconds (or one interval for all), on a thread of the library's own
    at deadlines that do not drift. Stopped by stop() or on leaving a `with`; a request the
    board fails stops it, and the next call raises."""

    def __init__(self, output, words, intervals_ms):
        words = [_word(word) for word in words]
        if isinstance(intervals_ms, (int, float)):
            intervals_ms = [intervals_ms] * len(words)
        intervals = [_number(ms, "interval") for ms in intervals_ms]
        if len(intervals) != len(words):
            raise ValueError(f"{len(words)} words but {len(intervals)} intervals")
        self._board = output._board  # kept open while the task runs
        self.output = output.number
        room = max(len(words), 1)
        handle = ctypes.c_void_p()
        _check(_lib.zelva1_task_start(self._board._live(), output.number,
                                      (ctypes.c_uint32 * room)(*words),
                                      (ctypes.c_double * room)(*intervals), len(words),
                                      ctypes.byref(handle)), f"output {output.number}")
        self._keep(handle)

    _close_function = "zelva1_task_stop"
    _close_context = "task"

    def stop(self):
        """Stops sending; raises Zelva1Error when a failed request had stopped it already."""
        if self._board._handle is None:  # its board closed, which stopped it
            if self._finalizer is not None:
                self._finalizer.detach()
            self._handle = None
        self.close()

    def __exit__(self, exc_type, *exc):
        try:
            self.stop()
        except Zelva1Error:
            if exc_type is None:
                raise

    def _index(self, index):
        return _whole(index, 0, 0xFFFFFFFF, "index")

    def set_word(self, index, word):
        """Word `index` goes out changed from its next deadline on."""
        _check(_lib.zelva1_task_set_word(self._live(), self._index(index), _word(word)), "task")

    def set_interval(self, index, interval_ms):
        _check(_lib.zelva1_task_set_interval(self._live(), self._index(index),
                                             _number(interval_ms, "interval")), "task")

    def pause(self, index, paused=True):
        _check(_lib.zelva1_task_pause(self._live(), self._index(index), 1 if paused else 0),
               "task")

    def timing(self, index):
        """What word `index` achieved: Timing(sent, last_interval_ms, shortest_ms, longest_ms)."""
        raw = _c.Timing()
        _check(_lib.zelva1_task_timing(self._live(), self._index(index), ctypes.byref(raw)),
               "task")
        return Timing(raw.sent, raw.last_interval_ms, raw.shortest_ms, raw.longest_ms)

    @property
    def running(self):
        """False once a failed request stopped it; `failure` then says which."""
        return self._state()[0]

    @property
    def failure(self):
        return self._state()[1]

    def _state(self):
        running = ctypes.c_int()
        message = ctypes.create_string_buffer(256)
        _check(_lib.zelva1_task_state(self._live(), ctypes.byref(running), message,
                                      len(message)), "task")
        return bool(running.value), _text(message.value)


class Replay(_Closable):
    """A recording the monitor wrote (CSV), replayed onto a board's outputs on a thread of the
    library's own, as the monitor's replay window does. Opening reads it through and raises
    Zelva1Error with the line and the reason when it is damaged; `recording` says what it
    holds. Closed by close() or on leaving a `with`, which stops it."""

    def __init__(self, path):
        handle = ctypes.c_void_p()
        message = ctypes.create_string_buffer(512)
        _check(_lib.zelva1_replay_open(str(path).encode("utf-8"), ctypes.byref(handle), message,
                                       len(message)), _text(message.value))
        self._keep(handle)
        raw = _c.RecordingInfo()
        _check(_lib.zelva1_replay_recording(handle, ctypes.byref(raw)), "replay")
        inputs = [n for n in range(1, _c.MAX_CHANNELS + 1) if raw.inputs >> (n - 1) & 1]
        self.recording = Recording(raw.words, raw.first_ms, raw.last_ms, inputs, raw.torn_line)
        self._board = None
        self._database = None

    _close_function = "zelva1_replay_close"
    _close_context = "replay"

    def start(self, board, output=1, input=1, *, routes=None, speed=1.0, loop=False,
              by_label=False, database=None, labels=None, start_ms=0, longest_gap_ms=None):
        """Starts sending recorded input `input` on `output` of `board` (or every recorded
        input to its output in `routes`, {input: output}): as recorded, or by label at the
        intervals of `database` (or those the recording shows); `speed` 0.1..10, `labels` the
        labels sent (all when None), from `start_ms` after the first word, pauses longer
        than `longest_gap_ms` cut short. Raises Zelva1Error with the reason when it cannot."""
        options = _c.ReplayOptions()
        _check(_lib.zelva1_replay_defaults(ctypes.byref(options)), "replay")
        if routes is None:
            routes = {input: output}
        options.outputs[0] = 0
        for recorded, sent in routes.items():
            recorded = _whole(recorded, 1, _c.MAX_CHANNELS, "input")
            options.outputs[recorded - 1] = _whole(sent, 0, 0xFFFFFFFF, "output")
        options.mode = _c.BY_LABEL if by_label else 0
        options.speed = _number(speed, "speed")
        options.loop = 1 if loop else 0
        options.start_ms = _whole(start_ms, 0, 2 ** 64 - 1, "start_ms")
        if longest_gap_ms is not None:
            options.longest_gap_ms = _whole(longest_gap_ms, 1, 2 ** 64 - 1, "longest_gap_ms")
        if labels is not None:
            chosen = [_whole(label, 0, 255, "label") for label in labels]
            ctypes.memset(options.labels, 0, len(options.labels))
            for label in chosen:
                options.labels[label // 8] |= 1 << (label % 8)
        if database is not None:
            options.database = database._live()
        message = ctypes.create_string_buffer(512)
        _check(_lib.zelva1_replay_start(self._live(), board._live(), ctypes.byref(options),
                                        message, len(message)),
               _text(message.value) or "replay")
        self._board = board  # kept open while it replays
        self._database = database

    def _call(self, function):
        _check(getattr(_lib, function)(self._live()), "replay")

    def pause(self):
        self._call("zelva1_replay_pause")

    def resume(self):
        self._call("zelva1_replay_resume")

    def step(self):
        """While paused, as recorded: the next tick's words at once."""
        self._call("zelva1_replay_step")

    def stop(self):
        """Stops after the request in progress; start() may start it again."""
        self._call("zelva1_replay_stop")

    @property
    def progress(self):
        """ReplayProgress(state, passes, rows, recorded_ms, sent, failure): state "stopped",
        "running", "paused", "ended" or "failed"; sent {output: words} of the outputs used;
        failure which output's request failed, or ""."""
        raw = _c.ReplayProgress()
        message = ctypes.create_string_buffer(512)
        _check(_lib.zelva1_replay_state(self._live(), ctypes.byref(raw), message, len(message)),
               "replay")
        sent = {n: raw.sent[n - 1] for n in range(1, _c.MAX_CHANNELS + 1) if raw.sent[n - 1]}
        return ReplayProgress(_REPLAY_STATES[raw.state], raw.passes, raw.rows, raw.recorded_ms,
                              sent, _text(message.value))
