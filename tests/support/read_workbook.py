"""Reads a written workbook with openpyxl, a reader unrelated to the writer, and prints what a
test checks as JSON: the first sheet's name, page headers, its last row, and every cell from
row 3 on that holds a value or a border, with its type, number format and left, right and bottom
border styles, plus C1 and C2.

usage: read_workbook.py <workbook>
"""
import json
import sys
from datetime import datetime

import openpyxl


def side(s):
    return s.style or ""


def main():
    ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
    cells = {}
    for row in ws.iter_rows():
        for c in row:
            b = c.border
            borders = [side(b.left), side(b.right), side(b.bottom)]
            if c.row < 3 and c.coordinate not in ("C1", "C2"):
                continue
            if c.value is None and not any(borders):
                continue
            v = c.value
            if isinstance(v, datetime):
                t, v = "d", v.date().isoformat()
            elif isinstance(v, (int, float)):
                t, v = "n", str(int(v)) if float(v).is_integer() else str(v)
            elif v is None:
                t, v = "", ""
            else:
                t, v = "s", str(v)
            cells[c.coordinate] = {"v": v, "t": t, "f": c.number_format, "b": borders}
    print(json.dumps({
        "title": ws.title,
        "headers": [ws.oddHeader.left.text or "", ws.oddHeader.center.text or "",
                    ws.oddHeader.right.text or ""],
        "rows": ws.max_row,
        "cells": cells,
    }, ensure_ascii=False))


main()
