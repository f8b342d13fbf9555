"""Prints what a reader of .xlsx files sees in a workbook, as JSON: the rows
of the first sheet (as texts, and as the values stored: numbers as numbers),
its manual row breaks, its column widths, the fonts of its filled cells and
its page setup."""
import json
import sys

import openpyxl

wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.worksheets[0]
rows = [["" if v is None else str(v) for v in row] for row in ws.iter_rows(values_only=True)]
widths = {k: d.width for k, d in ws.column_dimensions.items() if d.width}
values = [list(row) for row in ws.iter_rows(values_only=True)]
fonts = sorted({c.font.name for row in ws.iter_rows() for c in row if c.value is not None and c.font is not None})
ps = ws.page_setup
fit = ws.sheet_properties.pageSetUpPr
page = {
    "orientation": ps.orientation,
    "paperSize": ps.paperSize,
    "fitToPage": bool(fit.fitToPage) if fit is not None else False,
    "fitToWidth": 1 if ps.fitToWidth is None else ps.fitToWidth,  # 1 when not written
    "fitToHeight": ps.fitToHeight,
    "scale": ps.scale,
    "margins": [ws.page_margins.left, ws.page_margins.right],
}
print(json.dumps({
    "sheets": len(wb.worksheets),
    "rows": rows,
    "rowBreaks": [b.id for b in ws.row_breaks.brk],
    "widths": widths,
    "values": values,
    "fonts": fonts,
    "page": page,
}, default=str))
