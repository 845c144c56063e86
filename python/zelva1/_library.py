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

ADDRESS_MODE = 1
FILE_MODE = 2
ONCE = 0
CYCLIC = 1


class BoardInfo(ctypes.Structure):
    _fields_ = [("interface_index", ctypes.c_uint32), ("serial", ctypes.c_uint32),
                ("inputs", ctypes.c_int32), ("outputs", ctypes.c_int32)]


class Cell(ctypes.Structure):
    _fields_ = [("word", ctypes.c_uint32), ("received", ctypes.c_uint32)]


class Decoded(ctypes.Structure):
    _fields_ = [("label", ctypes.c_uint32), ("sdi", ctypes.c_uint32), ("ssm", ctypes.c_uint32),
                ("parity_ok", ctypes.c_uint32), ("has_value", ctypes.c_uint32),
                ("value", ctypes.c_double), ("text", ctypes.c_char * TEXT_CAPACITY)]


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
    "zelva1_formats_close": (_status, [_handle]),
    "zelva1_decode": (_status, [_handle, _u, ctypes.c_uint32, ctypes.POINTER(Decoded)]),
}

lib = _load()
for _name, (_result, _arguments) in _SIGNATURES.items():
    _function = getattr(lib, _name)
    _function.restype = _result
    _function.argtypes = _arguments
