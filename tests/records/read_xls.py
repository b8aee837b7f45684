#!/usr/bin/python3
"""Reads .xls files back with xlrd for the writer's tests and prints JSON on stdout.

  read_xls.py book FILE [ROW ...]
      {"biff_version", "sheets", "nrows", "ncols", "types": {type: count over all cells},
       "rows": {"ROW": [[type, value], ...]}} for the given rows, or for every row when
       none is given. Rows are read as stored (ragged), so a short row stays short.
  read_xls.py stream FILE
      {"size", "sha256"} of the compound file's "Workbook" stream.
  read_xls.py layout FILE
      {"sst_records", "strings", "problems"}: the workbook stream walked record by record,
      with what some reader does not follow (LibreOffice and Excel are stricter than xlrd
      here): a string laid out across the SST and CONTINUE records other than as they
      expect, an EXTSST that does not point at the strings, a sheet whose DIMENSIONS do not
      come before its cells or do not match them.

Anything xlrd reports about the file (its warnings included) goes to stderr, so that the
tests can insist on a file that reads without complaint.
"""
import hashlib
import json
import os
import struct
import sys

try:
    import xlrd
    from xlrd import compdoc
except ImportError:
    # xlrd comes with Debian's own python3 (python3-xlrd); another python3 may come first
    # on PATH.
    if os.path.realpath(sys.executable) != os.path.realpath("/usr/bin/python3") and os.path.exists(
        "/usr/bin/python3"
    ):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    raise


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
    data = workbook_stream(path)
    return {"size": len(data), "sha256": hashlib.sha256(data).hexdigest()}


def workbook_stream(path):
    with open(path, "rb") as f:
        return compdoc.CompDoc(f.read(), logfile=sys.stderr).get_named_stream("Workbook")


def records(stream):
    """(offset, type, data) of every record of the stream, in order."""
    pos = 0
    while pos + 4 <= len(stream):
        kind, size = struct.unpack_from("<HH", stream, pos)
        yield pos, kind, stream[pos + 4 : pos + 4 + size]
        pos += 4 + size


def is_high_surrogate(data, pos):
    return 0xD800 <= struct.unpack_from("<H", data, pos)[0] < 0xDC00


def walk_sst(parts, problems):
    """Walks the strings of the SST record and its CONTINUE records, given as (offset, data);
    returns where each string starts: (offset in the stream, offset in its record)."""
    starts = []
    unique = struct.unpack_from("<i", parts[0][1], 4)[0]
    part, pos = 0, 8
    for index in range(unique):
        if pos == len(parts[part][1]) and part + 1 < len(parts):
            part, pos = part + 1, 0
        offset, data = parts[part]
        if pos + 3 > len(data):
            problems.append("string %d: length and flags cut by a record edge" % index)
            return starts
        starts.append((offset + 4 + pos, 4 + pos))
        cch, flags = struct.unpack_from("<HB", data, pos)
        pos += 3
        if flags != 0x01:
            problems.append("string %d: flags 0x%02x" % (index, flags))
            return starts
        if cch and pos == len(data):
            problems.append("string %d: its first character is not in its header's record" % index)
        left, first = cch, True
        while left:
            if pos == len(data):
                part, pos = part + 1, 1
                if part == len(parts):
                    problems.append("string %d: runs past the last record" % index)
                    return starts
                data = parts[part][1]
                if data[0] != 0x01:
                    problems.append("string %d: CONTINUE starts with 0x%02x, not the flags" % (index, data[0]))
            room = len(data) - pos
            units = min(left, room // 2)
            if units < left and room % 2:
                problems.append("string %d: a UTF-16 unit is cut by a record edge" % index)
            if first and units == 1 and left > 1 and is_high_surrogate(data, pos):
                problems.append("string %d: only half of its first character is in its header's record" % index)
            if units < left and units and is_high_surrogate(data, pos + 2 * units - 2):
                problems.append("string %d: a surrogate pair is cut by a record edge" % index)
            pos += 2 * units
            left -= units
            first = False
    if part != len(parts) - 1 or pos != len(parts[part][1]):
        problems.append("bytes left over after the last string")
    return starts


def check_layout(path):
    stream = workbook_stream(path)
    recs = list(records(stream))
    problems = []

    parts = []
    for offset, kind, data in recs:
        if kind == 0x00FC and not parts or kind == 0x003C and parts:
            parts.append((offset, data))
        elif parts:
            break
    if not parts:
        return {"sst_records": 0, "strings": 0, "problems": ["no SST"]}
    starts = walk_sst(parts, problems)

    # EXTSST: every dsst-th string's start, in the stream and in its record.
    extsst = [data for _, kind, data in recs if kind == 0x00FF]
    if len(extsst) != 1:
        problems.append("%d EXTSST records" % len(extsst))
    else:
        dsst = struct.unpack_from("<H", extsst[0])[0]
        buckets = [struct.unpack_from("<IH", extsst[0], 2 + 8 * i) for i in range((len(extsst[0]) - 2) // 8)]
        if dsst < 8 or buckets != [starts[i] for i in range(0, len(starts), dsst)]:
            problems.append("EXTSST does not point at every %dth string" % dsst)

    # The sheet: its BOF where BOUNDSHEET8 says, DIMENSIONS before the cells and matching them.
    sheet_offset = [struct.unpack_from("<I", data)[0] for _, kind, data in recs if kind == 0x0085]
    at = [i for i, (offset, _, _) in enumerate(recs) if offset == sheet_offset[0]]
    if not at or recs[at[0]][1] != 0x0809 or struct.unpack_from("<H", recs[at[0]][2], 2)[0] != 0x0010:
        problems.append("BOUNDSHEET8 does not point at a worksheet BOF")
        return {"sst_records": len(parts), "strings": len(starts), "problems": problems}
    dimensions, rows, columns = None, 0, 0
    for _, kind, data in recs[at[0] + 1 :]:
        if kind == 0x000A:
            break
        if kind == 0x0200:
            dimensions = struct.unpack_from("<IIHHH", data)
        elif kind == 0x00FD:
            if dimensions is None:
                problems.append("a cell before DIMENSIONS")
                dimensions = ()
            row, column = struct.unpack_from("<HH", data)
            rows, columns = max(rows, row + 1), max(columns, column + 1)
    if dimensions != (0, rows, 0, columns, 0):
        problems.append("DIMENSIONS %r for %d rows and %d columns of cells" % (dimensions, rows, columns))
    return {"sst_records": len(parts), "strings": len(starts), "problems": problems}


def main():
    mode, path = sys.argv[1], sys.argv[2]
    if mode == "book":
        result = read_book(path, [int(r) for r in sys.argv[3:]])
    elif mode == "stream":
        result = read_stream(path)
    elif mode == "layout":
        result = check_layout(path)
    else:
        sys.exit("unknown mode " + mode)
    json.dump(result, sys.stdout, ensure_ascii=True)


if __name__ == "__main__":
    main()
