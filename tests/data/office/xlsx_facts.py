"""Prints what a reader of .xlsx files sees in a workbook, as JSON: the rows
of the first sheet (as texts, and as the values stored: numbers as numbers),
its manual row breaks, its column widths, the fonts of its filled cells and
its page setup, and the pages it prints on."""
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


def printed():
    """The pages a reader prints the sheet on (A4), as Excel lays them out:
    down, the rows at the print scale inside the top and bottom margins, a
    new page at each manual break and where the next row no longer fits
    (hidden rows take no room); across, the used columns' widths (7 pixels
    a digit, 0.75 points a pixel) against the room between the side
    margins."""
    scale = (ps.scale or 100) / 100.0
    wide = ps.orientation == "landscape"
    paper_across, paper_down = (842.0, 595.0) if wide else (595.0, 842.0)
    m = ws.page_margins
    room_down = paper_down - 72 * (m.top + m.bottom)
    room_across = paper_across - 72 * (m.left + m.right)
    default = ws.sheet_format.defaultRowHeight or 15
    breaks = {b.id for b in ws.row_breaks.brk}
    pages, used = 0, None
    hidden = []
    for r in range(1, ws.max_row + 1):
        d = ws.row_dimensions[r] if r in ws.row_dimensions else None
        if d is not None and d.hidden:
            hidden.append(r)
            h = 0.0
        else:
            h = (d.ht if d is not None and d.ht else default) * scale
        if used is None or used + h > room_down:
            pages += 1
            used = 0.0
        used += h
        if r in breaks:
            used = None
    across = 0.0
    for c in range(1, ws.max_column + 1):
        d = ws.column_dimensions.get(openpyxl.utils.get_column_letter(c))
        width = d.width if d is not None and d.customWidth else 9.140625
        across += width * 7 * 0.75 * scale
    return {"down": pages, "across": int(-(-across // room_across)), "hiddenRows": hidden}


print(json.dumps({
    "printed": printed(),
    "sheets": len(wb.worksheets),
    "rows": rows,
    "rowBreaks": [b.id for b in ws.row_breaks.brk],
    "widths": widths,
    "values": values,
    "fonts": fonts,
    "page": page,
}, default=str))
