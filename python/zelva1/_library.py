"""The C library: found, loaded, and every function given its argument and result types."""

import ctypes
import ctypes.util
import os
import sys
from pathlib import Path

MAX_CHANNELS = 8
CELLS = 256
MAX_WORDS = 256
RATE_CODES = 16
MAX_BOARDS = 8
TEXT_CAPACITY = 96
NAME_CAPACITY = 128
UNITS_CAPACITY = 32
VALUE_CAPACITY = 256
SSM_CAPACITY = 32

BY_LABEL = 1

ADDRESS_MODE = 1
FILE_MODE = 2
ONCE = 0
CYCLIC = 1
WRONG_PARITY = 1
OUTSIDE_RANGE = 2


class BoardInfo(ctypes.Structure):
    _fields_ = [("interface_index", ctypes.c_uint32), ("serial", ctypes.c_uint32),
                ("inputs", ctypes.c_int32), ("outputs", ctypes.c_int32)]


class Cell(ctypes.Structure):
    _fields_ = [("word", ctypes.c_uint32), ("received", ctypes.c_uint32)]


class Decoded(ctypes.Structure):
    _fields_ = [("label", ctypes.c_uint32), ("sdi", ctypes.c_uint32), ("ssm", ctypes.c_uint32),
                ("parity_ok", ctypes.c_uint32), ("has_value", ctypes.c_uint32),
                ("value", ctypes.c_double), ("text", ctypes.c_char * TEXT_CAPACITY)]


class Reading(ctypes.Structure):
    _fields_ = [("label", ctypes.c_uint32), ("sdi", ctypes.c_uint32), ("ssm", ctypes.c_uint32),
                ("parity_ok", ctypes.c_uint32), ("known", ctypes.c_uint32),
                ("ssm_normal", ctypes.c_uint32), ("has_value", ctypes.c_uint32),
                ("out_of_range", ctypes.c_uint32), ("value", ctypes.c_double),
                ("name", ctypes.c_char * NAME_CAPACITY), ("units", ctypes.c_char * UNITS_CAPACITY),
                ("text", ctypes.c_char * VALUE_CAPACITY),
                ("ssm_text", ctypes.c_char * SSM_CAPACITY)]


class Timing(ctypes.Structure):
    _fields_ = [("sent", ctypes.c_uint64), ("last_interval_ms", ctypes.c_double),
                ("shortest_ms", ctypes.c_double), ("longest_ms", ctypes.c_double)]


class RecordingInfo(ctypes.Structure):
    _fields_ = [("words", ctypes.c_uint64), ("first_ms", ctypes.c_uint64),
                ("last_ms", ctypes.c_uint64), ("inputs", ctypes.c_uint32),
                ("torn_line", ctypes.c_int32)]


class ReplayOptions(ctypes.Structure):
    _fields_ = [("size", ctypes.c_uint32), ("mode", ctypes.c_uint32),
                ("outputs", ctypes.c_uint32 * MAX_CHANNELS), ("speed", ctypes.c_double),
                ("loop", ctypes.c_uint32), ("reserved", ctypes.c_uint32),
                ("start_ms", ctypes.c_uint64), ("longest_gap_ms", ctypes.c_uint64),
                ("labels", ctypes.c_uint8 * 32), ("database", ctypes.c_void_p)]


class ReplayProgress(ctypes.Structure):
    _fields_ = [("state", ctypes.c_int32), ("passes", ctypes.c_uint32),
                ("rows", ctypes.c_uint64), ("recorded_ms", ctypes.c_uint64),
                ("sent", ctypes.c_uint64 * MAX_CHANNELS)]


def _candidates():
    explicit = os.environ.get("ZELVA1_LIBRARY")
    if explicit:
        yield explicit
        return
    name = "zelva1.dll" if sys.platform == "win32" else "libzelva1.so.1"
    here = Path(__file__).resolve().parent
    # Beside the package, and two folders up: the Windows zip keeps the package in a folder
    # of its own next to the DLL.
    for folder in (here, here.parent, here.parent.parent):
        if (folder / name).exists():
            yield str(folder / name)
    yield name
    found = ctypes.util.find_library("zelva1")
    if found:
        yield found


def _load():
    problems = []
    for candidate in _candidates():
        try:
            return ctypes.CDLL(candidate)
        except OSError as error:
            problems.append(f"{candidate}: {error}")
    raise OSError("the zelva1 library was not found (set ZELVA1_LIBRARY to its path): "
                  + "; ".join(problems))


_handle = ctypes.c_void_p
_status = ctypes.c_int
_u = ctypes.c_uint
_size = ctypes.c_size_t

_SIGNATURES = {
    "zelva1_version": (ctypes.c_int, []),
    "zelva1_status_text": (ctypes.c_char_p, [ctypes.c_int]),
    "zelva1_system_error": (ctypes.c_uint32, []),
    "zelva1_system_open": (_status, [ctypes.POINTER(_handle)]),
    "zelva1_system_open_simulated": (_status, [ctypes.c_char_p, ctypes.POINTER(_handle),
                                               ctypes.c_char_p, _size]),
    "zelva1_system_close": (_status, [_handle]),
    "zelva1_list": (_status, [_handle, ctypes.POINTER(BoardInfo), _size,
                              ctypes.POINTER(_size)]),
    "zelva1_open": (_status, [_handle, _u, ctypes.POINTER(_handle)]),
    "zelva1_close": (_status, [_handle]),
    "zelva1_board_information": (_status, [_handle, ctypes.POINTER(BoardInfo)]),
    "zelva1_initialize": (_status, [_handle, ctypes.POINTER(ctypes.c_uint8), _size]),
    "zelva1_reset": (_status, [_handle]),
    "zelva1_start_receive": (_status, [_handle, _u, ctypes.c_int]),
    "zelva1_stop_receive": (_status, [_handle, _u]),
    "zelva1_is_receiving": (_status, [_handle, _u, ctypes.POINTER(ctypes.c_int)]),
    "zelva1_read_cell": (_status, [_handle, _u, _u, ctypes.POINTER(Cell)]),
    "zelva1_read_cells": (_status, [_handle, _u, ctypes.POINTER(Cell), _size]),
    "zelva1_transmit": (_status, [_handle, _u, ctypes.POINTER(ctypes.c_uint32), _size,
                                  ctypes.c_int]),
    "zelva1_write_word": (_status, [_handle, _u, _u, ctypes.c_uint32]),
    "zelva1_stop_transmit": (_status, [_handle, _u]),
    "zelva1_is_transmitting": (_status, [_handle, _u, ctypes.POINTER(ctypes.c_int)]),
    "zelva1_formats_open": (_status, [ctypes.c_char_p, ctypes.c_char_p,
                                      ctypes.POINTER(_handle)]),
    "zelva1_formats_load": (_status, [ctypes.c_char_p, ctypes.c_char_p, ctypes.POINTER(_handle),
                                      ctypes.c_char_p, _size]),
    "zelva1_formats_close": (_status, [_handle]),
    "zelva1_decode": (_status, [_handle, _u, ctypes.c_uint32, ctypes.POINTER(Decoded)]),
    "zelva1_database_open": (_status, [ctypes.c_char_p, ctypes.POINTER(_handle), ctypes.c_char_p,
                                       _size]),
    "zelva1_database_close": (_status, [_handle]),
    "zelva1_database_decode": (_status, [_handle, _u, ctypes.c_uint32, ctypes.POINTER(Reading)]),
    "zelva1_encode": (_status, [_handle, _u, _u, ctypes.c_int, ctypes.c_int, ctypes.c_double,
                                ctypes.c_uint32, _u, ctypes.POINTER(ctypes.c_uint32),
                                ctypes.c_char_p, _size]),
    "zelva1_task_start": (_status, [_handle, _u, ctypes.POINTER(ctypes.c_uint32),
                                    ctypes.POINTER(ctypes.c_double), _size,
                                    ctypes.POINTER(_handle)]),
    "zelva1_task_set_word": (_status, [_handle, _u, ctypes.c_uint32]),
    "zelva1_task_set_interval": (_status, [_handle, _u, ctypes.c_double]),
    "zelva1_task_pause": (_status, [_handle, _u, ctypes.c_int]),
    "zelva1_task_timing": (_status, [_handle, _u, ctypes.POINTER(Timing)]),
    "zelva1_task_state": (_status, [_handle, ctypes.POINTER(ctypes.c_int), ctypes.c_char_p,
                                    _size]),
    "zelva1_task_stop": (_status, [_handle]),
    "zelva1_replay_open": (_status, [ctypes.c_char_p, ctypes.POINTER(_handle), ctypes.c_char_p,
                                     _size]),
    "zelva1_replay_recording": (_status, [_handle, ctypes.POINTER(RecordingInfo)]),
    "zelva1_replay_defaults": (_status, [ctypes.POINTER(ReplayOptions)]),
    "zelva1_replay_start": (_status, [_handle, _handle, ctypes.POINTER(ReplayOptions),
                                      ctypes.c_char_p, _size]),
    "zelva1_replay_state": (_status, [_handle, ctypes.POINTER(ReplayProgress), ctypes.c_char_p,
                                      _size]),
    "zelva1_replay_pause": (_status, [_handle]),
    "zelva1_replay_resume": (_status, [_handle]),
    "zelva1_replay_step": (_status, [_handle]),
    "zelva1_replay_stop": (_status, [_handle]),
    "zelva1_replay_close": (_status, [_handle]),
}

lib = _load()
for _name, (_result, _arguments) in _SIGNATURES.items():
    _function = getattr(lib, _name)
    _function.restype = _result
    _function.argtypes = _arguments
