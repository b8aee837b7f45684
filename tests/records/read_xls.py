#!/usr/bin/python3
"""Reads .xls files back with xlrd for the writer's tests and prints JSON on stdout.

  read_xls.py book FILE [ROW ...]
      {"biff_version", "sheets", "nrows", "ncols", "types": {type: count over all cells},
       "rows": {"ROW": [[type, value], ...]}} for the given rows, or for every row when
       none is given. Rows are read as stored (ragged), so a short row stays short.
  read_xls.py stream FILE
      {"size", "sha256"} of the compound file's "Workbook" stream.

Anything xlrd reports about the file (its warnings included) goes to stderr, so that the
tests can insist on a file that reads without complaint.
"""
import hashlib
import json
import sys

import xlrd
from xlrd import compdoc


def read_book(path, wanted):
    book = xlrd.open_workbook(path, logfile=sys.stderr, ragged_rows=True)
    sheet = book.sheet_by_index(0)
    types = {}
    for r in range(sheet.nrows):
        for t in sheet.row_types(r):
            types[str(t)] = types.get(str(t), 0) + 1
    rows = wanted if wanted else range(sheet.nrows)
    return {
        "biff_version": book.biff_version,
        "sheets": book.sheet_names(),
        "nrows": sheet.nrows,
        "ncols": sheet.ncols,
        "types": types,
        "rows": {
            str(r): [[c.ctype, c.value] for c in sheet.row(r)] for r in rows if r < sheet.nrows
        },
    }


def read_stream(path):
    with open(path, "rb") as f:
        doc = compdoc.CompDoc(f.read(), logfile=sys.stderr)
    data = doc.get_named_stream("Workbook")
    return {"size": len(data), "sha256": hashlib.sha256(data).hexdigest()}


def main():
    mode, path = sys.argv[1], sys.argv[2]
    if mode == "book":
        result = read_book(path, [int(r) for r in sys.argv[3:]])
    elif mode == "stream":
        result = read_stream(path)
    else:
        sys.exit("unknown mode " + mode)
    json.dump(result, sys.stdout, ensure_ascii=True)


if __name__ == "__main__":
    main()
