"""Prints what a reader of .xlsx files sees in a workbook, as JSON: the rows
of the first sheet, its manual row breaks and its column widths."""
import json
import sys

import openpyxl

wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.worksheets[0]
rows = [["" if v is None else str(v) for v in row] for row in ws.iter_rows(values_only=True)]
widths = {k: d.width for k, d in ws.column_dimensions.items() if d.width}
print(json.dumps({
    "sheets": len(wb.worksheets),
    "rows": rows,
    "rowBreaks": [b.id for b in ws.row_breaks.brk],
    "widths": widths,
}))
