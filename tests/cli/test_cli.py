"""The zelva1 tool as a user runs it: exit statuses, what goes to standard output and error,
the recording's CSV rows, and a Ctrl-C that stops the channel before the tool exits."""

import csv
import io
import os
import re
import resource
import shutil
import signal
import struct
import subprocess
import tempfile
import time
from pathlib import Path

import pytest

REPOSITORY = Path(__file__).resolve().parents[2]
TOOL = os.environ.get("ZELVA1_TOOL", str(REPOSITORY / "build" / "ci" / "cli" / "zelva1"))
EXAMPLES = REPOSITORY / "examples"


def run(*arguments, config=None, trace=None, tmp_path=None):
    environment = {k: v for k, v in os.environ.items()
                   if k not in ("ZELVA1_SIM_CONFIG", "ZELVA1_BACKEND", "ZELVA1_DRIVER_TRACE")}
    if config is not None:
        path = tmp_path / "boards.cfg"
        path.write_text(config)
        environment["ZELVA1_SIM_CONFIG"] = str(path)
    if trace is not None:
        environment["ZELVA1_DRIVER_TRACE"] = str(trace)
    return subprocess.run([TOOL, *arguments], capture_output=True, text=True, timeout=30,
                          env=environment)


def test_usage_help_and_version():
    shown = run("--help")
    assert shown.returncode == 0 and "Использование: zelva1" in shown.stdout
    assert run("--version").stdout.strip() == "1.0.0"
    said = {(): "не указана команда", ("bogus",): "неизвестная команда bogus",
            ("receive", "--input", "9"): "--input: значение 9 вне пределов 1..8",
            ("receive", "--mode"): "у параметра --mode нет значения",
            ("list", "extra"): "лишние аргументы: extra",
            ("send", "-o", "1"): "", ("send", "-o", "1", "--words", "0x1G"): "0x1G"}
    for wrong, text in said.items():
        refused = run(*wrong)
        assert refused.returncode == 2, wrong
        assert refused.stdout == "" and text in refused.stderr, (wrong, refused.stderr)
        assert "required" not in refused.stderr and "Run with" not in refused.stderr, wrong


def test_help_lines_up_its_descriptions_whatever_the_letters_of_the_type_names():
    options = [line for line in run("receive", "--help").stdout.splitlines()
               if line.startswith("  -")]
    columns = {len(re.match(r"  \S+(?: \S+)*\s{2,}", line).group(0)) for line in options}
    assert len(options) > 5 and len(columns) == 1, options


def test_list_prints_one_line_a_board():
    listed = run("list")
    assert listed.returncode == 0
    assert listed.stdout.splitlines()[1:] == ["0\t1021\t8\t8", "2\t1187\t4\t4"]


def test_loopback_passes_on_the_wired_input_and_fails_on_an_idle_one(tmp_path):
    passed = run("loopback", "--rate", "2")
    assert passed.returncode == 0
    assert "совпало 256 из 256 ячеек" in passed.stdout
    failed = run("loopback", "-d", "0.3", config="idle 0 input 1\n", tmp_path=tmp_path)
    assert failed.returncode == 1 and "совпало 0 из 256" in failed.stdout


def test_receive_writes_the_recordings_rows_decoded_through_the_format_files(tmp_path):
    csv = tmp_path / "traffic.csv"
    done = run("receive", "-i", "5", "-d", "1", "--csv", str(csv),
               "--formats", str(EXAMPLES / "KST3frmt.stt"),
               "--assignments", str(EXAMPLES / "builtin-traffic.si"))
    assert done.returncode == 0, done.stderr
    lines = csv.read_bytes().decode("utf-8").split("\r\n")
    assert lines[0].startswith("дата и время,мс от начала записи,№ цикла,входной канал")
    decimal = lines[0].split(",").index("десятичное значение")
    altitude = [line.split(",") for line in lines[1:] if ",203," in line]
    assert altitude and altitude[0][3:5] == ["5", "131"]
    assert altitude[0][decimal].endswith("фут")


def test_a_failing_request_exits_1_with_the_librarys_text(tmp_path):
    failed = run("receive", "-i", "1", "-d", "0.2", config="fail 0 IOCTL_SI_READ\n",
                 tmp_path=tmp_path)
    assert failed.returncode == 1
    assert "запрос к модулю не выполнен" in failed.stderr and failed.stdout == ""
    missing = run("send", "-o", "1", "-f", str(tmp_path / "none.so"))
    assert missing.returncode == 1 and "none.so" in missing.stderr


def test_send_takes_an_output_file_and_words(tmp_path):
    array = tmp_path / "three.so"
    array.write_bytes(struct.pack("<H3I", 3, 0x60000001, 0x60000002, 0x60000003))
    assert run("send", "-o", "2", "-f", str(array)).returncode == 0
    assert run("send", "-o", "2", "-w", "0x60000083", "0777", "12").returncode == 0


def test_ctrl_c_stops_a_cyclic_transmission_before_the_tool_exits(tmp_path):
    trace = tmp_path / "trace.txt"
    environment = {k: v for k, v in os.environ.items() if k != "ZELVA1_SIM_CONFIG"}
    environment["ZELVA1_DRIVER_TRACE"] = str(trace)
    sending = subprocess.Popen([TOOL, "send", "-o", "3", "--pattern", "--cyclic"],
                               env=environment, stderr=subprocess.PIPE, text=True)
    time.sleep(0.5)
    assert sending.poll() is None
    sending.send_signal(signal.SIGINT)
    assert sending.wait(timeout=5) == 0, sending.stderr.read()
    requests = [line.split()[2] for line in trace.read_text().splitlines()
                if not line.startswith("#") and len(line.split()) > 2]
    assert requests[-1] == "IOCTL_SO_STOP"
    assert "IOCTL_SO_START_CYCLIC" in requests


STIMULUS = EXAMPLES / "stimulus.csv"
DATABASE = EXAMPLES / "label-database.csv"


def sent_words(trace, output):
    """The words of each single transmission an output was loaded with, from a driver trace."""
    words = []
    for line in trace.read_text().splitlines():
        fields = line.split()
        if len(fields) > 4 and fields[2] == "IOCTL_SO_LOAD_ARRAY":
            record = bytes.fromhex(fields[4])
            channel, _, _, count = struct.unpack_from("<4H", record)
            if channel == output:
                words += struct.unpack_from(f"<{count}I", record, 8)
    return words


def test_the_new_commands_and_options_are_in_the_help_and_refused_when_wrong():
    assert "stimulate" in run("--help").stdout
    shown = run("stimulate", "--help").stdout
    for promise in ("--database ФАЙЛ обязательный", "-o,--output 1..8", "-d,--duration ЧИСЛО",
                    "(0 - до Ctrl-C)", "stimulus ФАЙЛ обязательный", "Аргументы:"):
        assert promise in shown, promise
    assert "--database ФАЙЛ" in run("receive", "--help").stdout
    said = {("stimulate", "-o", "1", str(STIMULUS)): "не указан параметр --database",
            ("stimulate", "--database", str(DATABASE)): "не указан параметр stimulus",
            ("bogus",): "(list, receive, send, stimulate или loopback)",
            ("receive", "--database", str(DATABASE), "--csv", "x.csv"):
                "параметры --csv и --database не сочетаются"}
    for wrong, text in said.items():
        refused = run(*wrong)
        assert refused.returncode == 2 and text in refused.stderr, (wrong, refused.stderr)


def test_stimulate_sends_each_parameter_by_its_law_at_its_interval_and_tells_what_it_sent(
        tmp_path):
    trace = tmp_path / "trace.txt"
    done = run("stimulate", str(STIMULUS), "--database", str(DATABASE), "-o", "2", "-r", "2",
               "-d", "1", trace=trace)
    assert done.returncode == 0, done.stderr
    lines = [line.split("\t") for line in done.stdout.splitlines()]
    assert lines[0][:5] == ["метка", "SDI", "параметр", "интервал, мс", "передано слов"]
    rows = {row[0]: row for row in lines[1:]}
    assert len(rows) == 9
    assert rows["203"][2:4] == ["Высота барометрическая", "62.5"]
    assert rows["324"][3] == "20"
    # About a second's worth at each interval, and exactly what went to the board.
    words = sent_words(trace, 2)
    for label, row in rows.items():
        sent = int(row[4])
        assert 0.5 * 1000 / float(row[3]) <= sent <= 1000 / float(row[3]) + 2, row
        assert sum(1 for word in words if word & 0xFF == int(label, 8)) == sent, label
    # The altitude climbs by its linear law: its words change while the run goes on.
    assert len({word for word in words if word & 0xFF == 0o203}) > 1


def test_stimulate_refuses_a_wrong_file_with_its_line_and_column_and_a_schedule_the_bus_cannot_carry(
        tmp_path):
    wrong = tmp_path / "wrong.csv"
    wrong.write_text("label,law,value\n203,constant,1000\n206,sine,100\n", encoding="utf-8")
    refused = run("stimulate", str(wrong), "--database", str(DATABASE))
    assert refused.returncode == 1 and refused.stdout == ""
    assert "«" + str(wrong) + "» не загружен: строка 3, столбец «mean»" in refused.stderr
    heavy = tmp_path / "heavy.csv"
    heavy.write_text("label,law,value,interval_ms\n203,constant,1000,1\n206,constant,100,1\n",
                     encoding="utf-8")
    overloaded = run("stimulate", str(heavy), "--database", str(DATABASE), "-d", "0.2")
    assert overloaded.returncode == 1
    assert "нагрузка на шину 576 %: канал столько не передаст" in overloaded.stderr


def test_ctrl_c_ends_a_stimulus_with_what_it_sent():
    environment = {k: v for k, v in os.environ.items() if k != "ZELVA1_SIM_CONFIG"}
    sending = subprocess.Popen([TOOL, "stimulate", str(STIMULUS), "--database", str(DATABASE)],
                               env=environment, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                               text=True)
    time.sleep(0.5)
    assert sending.poll() is None
    sending.send_signal(signal.SIGINT)
    out, err = sending.communicate(timeout=5)
    assert sending.returncode == 0, err
    assert len(out.splitlines()) == 10


def test_receive_reads_the_cells_by_a_label_database():
    done = run("receive", "-i", "5", "-d", "0.3", "--database", str(DATABASE))
    assert done.returncode == 0, done.stderr
    lines = [line.split("\t") for line in done.stdout.splitlines()]
    assert lines[0][-3:] == ["параметр", "значение по базе", "SSM по базе"]
    altitude = [line for line in lines if line[2] == "203"]
    assert altitude and altitude[0][-3] == "Высота барометрическая"
    assert altitude[0][-2].endswith(" ft") and altitude[0][-1] == "норма"


def test_a_request_the_board_fails_ends_a_stimulus_with_exit_1_and_the_request_named(tmp_path):
    failed = run("stimulate", str(STIMULUS), "--database", str(DATABASE), "-o", "1", "-d", "2",
                 config="fail 0 IOCTL_SO_START_SINGLE channel 1\n", tmp_path=tmp_path)
    assert failed.returncode == 1 and failed.stdout == ""
    assert "имитация остановлена: " in failed.stderr
    assert "IOCTL_SO_START_SINGLE" in failed.stderr


RECORDING_COLUMNS = 13


def recorded_rows(path):
    """The rows of a recording as the csv module reads them; each must be whole."""
    text = path.read_bytes().decode("utf-8")
    assert text.endswith("\r\n"), (path, text[-80:])
    rows = list(csv.reader(io.StringIO(text, newline="")))
    assert rows[0][0] == "дата и время", path
    assert all(len(row) == RECORDING_COLUMNS for row in rows), path
    return rows[1:]


@pytest.fixture
def small_disk(tmp_path):
    """A 16 KiB file system that really fills: a tmpfs where the tests may mount, else a limit
    on the size of the files the tool writes. Yields the folder and the words for it full."""
    folder = tmp_path / "disk"
    folder.mkdir()
    if os.geteuid() == 0 and subprocess.run(
            ["mount", "-t", "tmpfs", "-o", "size=16k", "tmpfs", str(folder)],
            capture_output=True).returncode == 0:
        try:
            yield folder, None, "на диске нет места (код 28)"
        finally:
            subprocess.run(["umount", "-l", str(folder)], check=False)
        return

    def limited():
        resource.setrlimit(resource.RLIMIT_FSIZE, (16 * 1024, resource.RLIM_INFINITY))
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
    yield folder, limited, "файл достиг наибольшего размера"


def test_a_recording_on_a_disk_that_fills_up_keeps_every_whole_row_and_says_why(small_disk):
    folder, limit, full = small_disk
    recording = folder / "r.csv"
    old = b"old recording\r\n"
    recording.write_bytes(old)
    # The free-space guard's 100 MB default stops it at the first tick, before the old file
    # is replaced; no board 9 stops it before anything.
    for arguments, said in ((["-b", "9"], "модуль 9"),
                            ([], f"На диске файла \"{recording}\" свободно меньше 100 МБ")):
        stopped = subprocess.run([TOOL, "receive", "-i", "5", "-d", "1", "--csv", str(recording),
                                  *arguments], capture_output=True, text=True, timeout=30)
        assert stopped.returncode == 1 and said in stopped.stderr, stopped.stderr
        assert recording.read_bytes() == old and len(list(folder.iterdir())) == 1

    filled = subprocess.run([TOOL, "receive", "-i", "5", "-m", "file", "-d", "10", "--period",
                             "10", "--csv", str(recording), "--min-free", "0"],
                            capture_output=True, text=True, timeout=30, preexec_fn=limit)
    assert filled.returncode == 1, filled.stderr
    rows = recorded_rows(recording)
    assert f"Не удалось записать в файл \"{recording}\" ({full}" in filled.stderr, filled.stderr
    assert f"в файле сохранено принятых слов: {len(rows)}." in filled.stderr, filled.stderr
    assert len(rows) > 100


def test_a_split_recording_killed_mid_run_holds_only_whole_rows_in_numbered_files(tmp_path):
    recording = tmp_path / "r.csv"
    tool = subprocess.Popen([TOOL, "receive", "-i", "5", "-m", "file", "-d", "30", "--period",
                             "10", "--split-time", "1", "--csv", str(recording)],
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    time.sleep(1.6)
    tool.send_signal(signal.SIGKILL)
    tool.wait(timeout=10)
    parts = sorted(path.name for path in tmp_path.iterdir() if path.suffix == ".csv")
    assert parts[-1] == "r.csv" and parts[:-1] == [f"r.{n:03}.csv" for n in range(1, len(parts))]
    assert len(parts) >= 2, parts
    ticks = []
    for name in [parts[-1], *parts[:-1]]:
        ticks += [int(row[2]) for row in recorded_rows(tmp_path / name)]
    assert ticks and ticks == sorted(ticks), "each part goes on where the one before it ended"


def test_replay_sends_a_recording_back_and_says_what_each_output_sent(tmp_path):
    recording = tmp_path / "input5.csv"
    assert run("receive", "-i", "5", "-m", "file", "-d", "0.5", "--csv",
               str(recording)).returncode == 0
    rows = len(recording.read_bytes().split(b"\r\n")) - 2
    done = run("replay", str(recording), "-o", "1", "--speed", "5", "-r", "2")
    assert done.returncode == 0, done.stderr
    assert done.stdout.splitlines()[:2] == ["выходной канал\tпередано слов", f"1\t{rows}"]
    by_label = run("replay", str(recording), "-o", "2", "--by-label", "--database",
                   str(DATABASE), "--labels", "203,206", "-d", "0.2")
    assert by_label.returncode == 0 and by_label.stdout.splitlines()[1].startswith("2\t")

    failing = run("replay", str(recording), config="fail 0 IOCTL_SO_LOAD_ARRAY channel 1\n",
                  tmp_path=tmp_path)
    assert failing.returncode == 1 and "IOCTL_SO_LOAD_ARRAY" in failing.stderr
    assert failing.stdout.startswith("выходной канал")

    damaged = tmp_path / "damaged.csv"
    text = recording.read_bytes().decode("utf-8").split("\r\n")
    text[2] = text[2].replace(",норма,", ",норма")
    damaged.write_text("\r\n".join(text[:4]) + "\r\n", encoding="utf-8", newline="")
    empty = tmp_path / "empty.csv"
    empty.write_text("")
    said = {(str(damaged),): (1, "«damaged.csv» не воспроизводится: строка 3, не строка записи"),
            (str(empty),): (1, "файл пуст"),
            (str(recording), "-i", "2"): (1, "в записи нет слов входного канала № 2"),
            (str(recording), "--database", str(DATABASE)): (2, "только с --by-label"),
            (str(recording), "--speed", "20"): (2, "--speed"),
            (str(recording), "--labels", "9"): (2, "--labels")}
    for arguments, (status, text) in said.items():
        refused = run("replay", *arguments)
        assert refused.returncode == status and text in refused.stderr, (arguments, refused)
        assert refused.stdout == "", arguments


def test_ctrl_c_ends_a_looped_replay_with_what_it_sent(tmp_path):
    recording = tmp_path / "input5.csv"
    assert run("receive", "-i", "5", "-m", "file", "-d", "0.3", "--csv",
               str(recording)).returncode == 0
    environment = {k: v for k, v in os.environ.items() if k != "ZELVA1_SIM_CONFIG"}
    replaying = subprocess.Popen([TOOL, "replay", str(recording), "--loop", "--speed", "5", "-r", "2"],
                                 env=environment, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                 text=True)
    time.sleep(0.5)
    assert replaying.poll() is None
    replaying.send_signal(signal.SIGINT)
    out, err = replaying.communicate(timeout=5)
    assert replaying.returncode == 0, err
    passes = int(out.splitlines()[-1].rsplit(" ", 1)[1])
    assert out.startswith("выходной канал") and passes >= 2, out


def test_numbers_are_decimal_or_hexadecimal_and_a_leading_zero_is_refused_as_ambiguous():
    for help_of in (("--help",), ("receive", "--help"), ("send", "--help")):
        assert "шестнадцатеричные с 0x" in run(*help_of).stdout, help_of
    for wrong in (("-b", "010"), ("--period", "010"), ("-i", "08"), ("-d", "00.5"),
                  ("--rate", "02")):
        refused = run("receive", *wrong)
        assert refused.returncode == 2, wrong
        assert "нулём впереди неоднозначно" in refused.stderr, (wrong, refused.stderr)
    # Board 2 is there with four inputs, board 3 is not: 0x is read as hexadecimal.
    hexadecimal = run("receive", "-b", "0x2", "-i", "0x4", "--period", "0x10", "-d", "0.05")
    assert hexadecimal.returncode == 0, hexadecimal.stderr
    absent = run("receive", "-b", "0x3", "-d", "0.05")
    assert absent.returncode == 1 and "модуль 3" in absent.stderr
    for wrong in ("0x", "0x-1", "0x1G", "1.5"):
        assert "не целое число" in run("receive", "-b", wrong).stderr, wrong


def test_a_duration_is_a_finite_number():
    for command in (("receive",), ("send", "-o", "1", "-p", "-c"), ("loopback",),
                    ("stimulate", str(STIMULUS), "--database", str(DATABASE))):
        for wrong, said in (("nan", "не конечное число"), ("inf", "не конечное число"),
                            ("-inf", "не конечное число"), ("1e999", "не число")):
            refused = run(*command, "-d", wrong)
            assert refused.returncode == 2 and said in refused.stderr, (command, wrong)


def test_a_long_period_neither_outlasts_the_duration_nor_delays_ctrl_c():
    # Each would take the whole period, 5 s and 60 s, if the tool slept it out.
    done = subprocess.run([TOOL, "receive", "-d", "0.1", "--period", "5000"],
                          capture_output=True, text=True, timeout=3)
    assert done.returncode == 0 and done.stdout.startswith("ячейка"), done.stderr
    receiving = subprocess.Popen([TOOL, "receive", "-d", "0", "--period", "60000"],
                                 stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    time.sleep(0.3)
    receiving.send_signal(signal.SIGINT)
    out, err = receiving.communicate(timeout=3)
    assert receiving.returncode == 0 and out.startswith("ячейка"), err


def test_a_flag_takes_no_value(tmp_path):
    trace = tmp_path / "trace.txt"
    for wrong in (("receive", "--no-init=false", "-d", "0.05"),
                  ("send", "-o", "1", "--pattern=1"), ("send", "-o", "1", "-p", "--cyclic=no")):
        refused = run(*wrong, trace=trace)
        flag = next(a for a in wrong if "=" in a).split("=")[0]
        assert refused.returncode == 2, wrong
        assert f"флаг {flag} не принимает значения" in refused.stderr, refused.stderr
    assert not trace.exists() or "IOCTL" not in trace.read_text()


def test_an_output_that_cannot_be_written_fails_the_command():
    for command in (("list",), ("receive", "-i", "5", "-d", "0.05"), ("--help",)):
        with open("/dev/full", "w") as full:
            done = subprocess.run([TOOL, *command], stdout=full, stderr=subprocess.PIPE,
                                  text=True, timeout=30)
        assert done.returncode == 1, command
        assert "запись в стандартный вывод не удалась" in done.stderr, (command, done.stderr)


def test_receive_refuses_assignments_without_formats_and_files_it_cannot_read(tmp_path):
    alone = run("receive", "--assignments", str(EXAMPLES / "builtin-traffic.si"))
    assert alone.returncode == 2 and "--assignments только вместе с --formats" in alone.stderr
    empty = tmp_path / "empty.stt"
    empty.write_bytes(b"")
    fifo = tmp_path / "fifo.stt"
    os.mkfifo(fifo)
    for path, why in ((tmp_path, "это папка, а не файл"), (empty, "файл пуст"),
                      (fifo, "это не обычный файл"), (tmp_path / "none.stt", "файла нет")):
        for option in ("--formats", "--database"):
            refused = run("receive", "-d", "0.05", option, str(path))
            assert refused.returncode == 1 and refused.stdout == "", (option, path)
            assert f"«{path}»: {why}" in refused.stderr, (option, refused.stderr)
        refused = run("receive", "-d", "0.05", "--formats", str(EXAMPLES / "KST3frmt.stt"),
                      "--assignments", str(path), "--csv", str(tmp_path / "out.csv"))
        assert refused.returncode == 1 and why in refused.stderr, (path, refused.stderr)


def test_receive_refuses_a_format_file_it_may_not_read(tmp_path):
    # Root reads any file, so the tool runs as nobody over a file only its owner may read.
    folder = Path(tempfile.mkdtemp(prefix="zelva1-unreadable-"))
    try:
        folder.chmod(0o755)
        locked = folder / "locked.stt"
        locked.write_bytes((EXAMPLES / "KST3frmt.stt").read_bytes())
        locked.chmod(0o200)
        as_user = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"] \
            if os.geteuid() == 0 else []
        if as_user and shutil.which("setpriv") is None:
            pytest.skip("the tests run as root and setpriv, to run the tool as nobody, is missing")
        refused = subprocess.run([*as_user, TOOL, "receive", "-d", "0.05", "--formats",
                                  str(locked)], capture_output=True, text=True, timeout=30)
        assert refused.returncode == 1, refused.stderr
        assert f"«{locked}»: нет прав на чтение" in refused.stderr
    finally:
        shutil.rmtree(folder)
