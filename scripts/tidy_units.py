"""Plans the units scripts/tidy.sh hands to clang-tidy.

Files built with the same flags are checked together: one unit includes them all, so that the
standard library's and Qt's headers are parsed and walked once per unit instead of once per
file. A check walks the whole syntax tree, and in a window's file nine tenths of it are Qt's.
A file that cannot share a unit (a main() of its own, a name in its anonymous namespace that
another file of the unit defines too) shows as an error when the unit is parsed first; it is
taken out, and what cannot share any unit is checked alone, as before.

    tidy_units.py ROOT WORK TIDY JOBS [clang-tidy argument ...]

reads WORK/compile_commands.json and WORK/files.txt (the files, slowest first), writes the
units under WORK/batches/, their commands into WORK/compile_commands.json, WORK/units.txt
(one file or unit a line, in files.txt's order) and WORK/unit-files.txt (each unit and what it
includes). A unit's findings in its files are shown through a header filter of its own, in
WORK/batches/unitN.cpp.args.
"""

import collections
import concurrent.futures
import json
import os
import re
import shlex
import subprocess
import sys
import threading

# A program's entry point: no two files that define one share a unit.
ENTRY_POINT = re.compile(r"^\s*(int\s+main\s*\(|extern \"C\" int LLVMFuzzerTestOneInput\b"
                         r"|QTEST_(APPLESS_|GUILESS_)?MAIN\b)", re.MULTILINE)
ERROR = re.compile(r"^(/[^:]+):\d+:\d+: error: ")
HEADER_FILTER = re.compile(r"^HeaderFilterRegex:\s*'(.*)'\s*$")


def flags(entry):
    """The directory and the compiler's words of an entry, without its file and its output."""
    words = shlex.split(entry["command"]) if "command" in entry else list(entry["arguments"])
    kept, skip = [], False
    for word in words:
        if skip:
            skip = False
        elif word in ("-o", "-c"):
            skip = True
        elif word != entry["file"]:
            kept.append(word)
    return entry["directory"], tuple(kept)


def has_entry_point(path):
    with open(path, encoding="utf-8", errors="replace") as source:
        return ENTRY_POINT.search(source.read()) is not None


class Planner:
    def __init__(self, root, work, tidy, target):
        self.root, self.work, self.tidy, self.target = root, work, tidy, target
        self.batches = os.path.join(work, "batches")
        self.written = 0
        self.lock = threading.Lock()

    def copy_configs(self):
        """A unit takes the configuration of its files' folder: it is written in a copy of that
        folder's path under batches/, beside copies of the .clang-tidy files on the way up."""
        for folder, names, files in os.walk(self.root):
            names[:] = [name for name in names if name not in (".git", "build")]
            if ".clang-tidy" in files:
                copy = os.path.join(self.batches, os.path.relpath(folder, self.root))
                os.makedirs(copy, exist_ok=True)
                with open(os.path.join(folder, ".clang-tidy"), encoding="utf-8") as source, \
                        open(os.path.join(copy, ".clang-tidy"), "w", encoding="utf-8") as out:
                    out.write(source.read())

    def write_unit(self, members, entry):
        with self.lock:
            self.written += 1
            number = self.written
        folder = os.path.join(self.batches, os.path.relpath(os.path.dirname(members[0]), self.root))
        os.makedirs(folder, exist_ok=True)
        suffix = os.path.splitext(members[0])[1]
        path = os.path.normpath(os.path.join(folder, f"unit{number}{suffix}"))
        with open(path, "w", encoding="utf-8") as out:
            for member in members:
                out.write(f'#include "{member}" // NOLINT(bugprone-suspicious-include)\n')
        directory, words = flags(entry)
        return path, {"directory": directory, "file": path,
                      "command": shlex.join([*words, "-c", path])}

    def conflicts(self, members, entry):
        """The files that do not parse in a unit with the others; None when an error lies in none
        of them (a header's, which a unit cannot mend)."""
        path, command = self.write_unit(members, entry)
        folder = path + ".db"
        os.makedirs(folder)
        with open(os.path.join(folder, "compile_commands.json"), "w", encoding="utf-8") as out:
            json.dump([command], out)
        run = subprocess.run([self.tidy, "-p", folder, "--quiet",
                              "--checks=-*,readability-duplicate-include",
                              "--extra-arg=-ferror-limit=0", *self.target, path],
                             capture_output=True, text=True, check=False)
        os.remove(path)
        os.remove(os.path.join(folder, "compile_commands.json"))
        os.rmdir(folder)
        if run.returncode == 0:
            return set()
        bad = {os.path.realpath(match.group(1))
               for match in map(ERROR.match, run.stdout.splitlines()) if match}
        named = {member for member in members if os.path.realpath(member) in bad}
        return named if named and len(named) == len(bad) else None

    def plan(self, members, entry):
        """Units covering members, as few as the files allow."""
        alone = [member for member in members if has_entry_point(member)][1:]
        units = [[member] for member in alone]
        pending = [[member for member in members if member not in alone]]
        while pending:
            unit = pending.pop()
            bad = self.conflicts(unit, entry) if len(unit) > 1 else set()
            if not bad:
                units.append(unit)
            elif bad == set(unit) or bad is None:
                units.extend([member] for member in unit)
            else:
                # After an error clang passes over what follows from it, so the rest is
                # parsed again in its turn.
                pending.append([member for member in unit if member not in bad])
                pending.append([member for member in unit if member in bad])
        return units

    def header_filter(self, unit_path, members):
        dump = subprocess.run([self.tidy, "--dump-config", unit_path],
                              capture_output=True, text=True, check=True).stdout
        own = "|".join(re.sub(r"([.+])", r"\\\1", member) for member in members)
        for line in dump.splitlines():
            match = HEADER_FILTER.match(line)
            if match and match.group(1):
                return f"{match.group(1).replace(chr(39) * 2, chr(39))}|^({own})$"
        return f"^({own})$"


def main():
    root, work, tidy, jobs, *target = sys.argv[1:]
    # The units' paths go into the database as they are, and a relative one would be taken
    # from the build's folder there; clang-tidy would then guess the unit's command.
    root, work = os.path.realpath(root), os.path.abspath(work)
    with open(os.path.join(work, "compile_commands.json"), encoding="utf-8") as source:
        commands = json.load(source)
    with open(os.path.join(work, "files.txt"), encoding="utf-8") as source:
        # A file several targets build (the Wine tests' tools) is checked once, as clang-tidy
        # takes one command of the database for it whichever it is given.
        order = list(dict.fromkeys(line.rstrip("\n") for line in source))
    by_file = {}
    for entry in commands:
        by_file.setdefault(entry["file"], entry)
    groups = collections.defaultdict(list)
    for file in order:
        groups[flags(by_file[file])].append(file)

    planner = Planner(root, work, tidy, target)
    planner.copy_configs()
    with concurrent.futures.ThreadPoolExecutor(int(jobs)) as pool:
        planned = list(pool.map(lambda files: planner.plan(files, by_file[files[0]]),
                                groups.values()))
    # Slowest first, so that the runs ending last are short ones: the units of Qt's windows,
    # then their tests, then by size.
    rank = {file: index for index, file in enumerate(order)}

    def slow(unit):
        folder = os.path.relpath(unit[0], root).split(os.sep)
        return (folder[0] != "ui", folder[:2] != ["tests", "ui"], -len(unit), rank[unit[0]])

    units = sorted((unit for group in planned for unit in group), key=slow)
    with open(os.path.join(work, "units.txt"), "w", encoding="utf-8") as listing, \
            open(os.path.join(work, "unit-files.txt"), "w", encoding="utf-8") as members:
        for unit in units:
            path = unit[0]
            if len(unit) > 1:
                path, command = planner.write_unit(unit, by_file[unit[0]])
                commands.append(command)
                with open(path + ".args", "w", encoding="utf-8") as args:
                    args.write("--header-filter=" + planner.header_filter(path, unit) + "\n")
            listing.write(path + "\n")
            members.write(path + "\t" + " ".join(unit) + "\n")
    with open(os.path.join(work, "compile_commands.json"), "w", encoding="utf-8") as out:
        json.dump(commands, out, indent=1)


if __name__ == "__main__":
    main()
