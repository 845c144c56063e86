#!/usr/bin/env python3
"""Reads per second through the Python package, per cell and whole buffer, beside the C
figures of library_benchmarks in the same run (the monitor's refresh loop and the library).

    python3 benchmarks/python_reads.py [build folder, default build/ci]

The board and its traffic are those of library_benchmarks: eight inputs in address mode, each
hearing a 256-word cycle at 100 kbit/s."""

import json
import os
import subprocess
import sys
import time
from pathlib import Path

repository = Path(__file__).resolve().parent.parent
build = Path(sys.argv[1] if len(sys.argv) > 1 else repository / "build" / "ci")
os.environ.setdefault("ZELVA1_LIBRARY", str(build / "lib" / "libzelva1.so.1"))
sys.path.insert(0, str(repository / "python"))
import zelva1  # noqa: E402


def reads_per_second(action, reads_per_call, seconds=2.0):
    calls = 0
    started = time.perf_counter()
    while time.perf_counter() - started < seconds:
        action()
        calls += 1
    return calls * reads_per_call / (time.perf_counter() - started)


def python_figures():
    with zelva1.simulated("board 0 serial 1 inputs 8 outputs 8\n") as system, \
            system.open(0) as board:
        board.initialize(2)
        for n in range(1, 9):
            board.outputs[n].send(zelva1.test_pattern(n), cyclic=True)
            board.inputs[n].start()
        inputs = [board.inputs[n] for n in range(1, 9)]
        whole = reads_per_second(lambda: [i.read_all() for i in inputs], 8 * 256)
        per_cell = reads_per_second(lambda: [i.read(k) for i in inputs for k in range(256)],
                                    8 * 256)
    return {"python, whole buffer": whole, "python, per cell": per_cell}


def c_figures():
    program = build / "benchmarks" / "library_benchmarks"
    output = subprocess.run([str(program), "--benchmark_format=json"], check=True,
                            capture_output=True, text=True).stdout
    names = {"BM_MonitorRefreshLoop": "monitor refresh loop (driver interface)",
             "BM_LibraryWholeBuffer": "C library, whole buffer",
             "BM_LibraryPerCell": "C library, per cell"}
    return {names[b["name"]]: b["items_per_second"] for b in json.loads(output)["benchmarks"]}


figures = c_figures()
figures.update(python_figures())
monitor = figures["monitor refresh loop (driver interface)"]
for name, rate in figures.items():
    print(f"{name:42s} {rate / 1e6:8.2f} M reads/s  {100 * (monitor / rate - 1):+7.1f} % time")
