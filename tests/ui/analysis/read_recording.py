"""Reads a recording of received words with Python's csv module, as a user's script would,
and prints its rows as a JSON list of objects keyed by the column names. Exits with status 1
when a row has not as many fields as the first line names, or the quoting is broken."""

import csv
import json
import sys


def main(path):
    with open(path, newline="", encoding="utf-8") as recording:
        reader = csv.DictReader(recording, strict=True)
        rows = list(reader)
        columns = reader.fieldnames or []
    for number, row in enumerate(rows, start=2):
        if None in row or None in row.values():
            print(f"line {number}: not {len(columns)} fields", file=sys.stderr)
            return 1
    json.dump({"columns": columns, "rows": rows}, sys.stdout, ensure_ascii=False)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
