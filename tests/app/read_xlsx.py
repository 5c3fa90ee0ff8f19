#!/usr/bin/env python3
"""Prints the first sheet of a workbook as JSON, read with openpyxl so the
export tests never check our writer with our own code."""
import json
import sys

from openpyxl import load_workbook

book = load_workbook(sys.argv[1])
sheet = book.worksheets[0]
cells = {}
for row in sheet.iter_rows():
    for cell in row:
        if cell.value is not None:
            cells[cell.coordinate] = {"value": cell.value, "type": cell.data_type, "bold": bool(cell.font.b)}
widths = {key: dim.width for key, dim in sheet.column_dimensions.items() if dim.customWidth}
print(json.dumps({"cells": cells, "widths": widths, "rows": sheet.max_row}, ensure_ascii=False))
