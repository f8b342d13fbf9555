"""Reads an OpenDocument text (the file named by the argument) and prints as
JSON the lines of text (a paragraph or a line break ends one; runs of blanks
written as text:s are blanks again), the indexes of the lines that start a new
page, the font sizes and fonts their styles give (a font declared
fixed-pitch is followed by " (fixed)") and the page of the standard master
page in styles.xml (width, height and margins in points, orientation). Prints nothing, and an error, unless
the package starts with its "mimetype" entry, stored, naming OpenDocument
text."""
import json
import re
import sys
import xml.etree.ElementTree as ET
import zipfile

MIME = b"application/vnd.oasis.opendocument.text"

NS = {
    "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
    "style": "urn:oasis:names:tc:opendocument:xmlns:style:1.0",
    "text": "urn:oasis:names:tc:opendocument:xmlns:text:1.0",
    "fo": "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0",
}
q = lambda p, n: "{%s}%s" % (NS[p], n)

with zipfile.ZipFile(sys.argv[1]) as z:
    first = z.infolist()[0]
    package_ok = (first.filename == "mimetype" and first.compress_type == zipfile.ZIP_STORED
                  and not first.extra and z.read("mimetype") == MIME)
    if not package_ok:
        sys.exit("%s: not an OpenDocument text package (first entry %s)" % (sys.argv[1], first.filename))
    root = ET.fromstring(z.read("content.xml"))
    styles = ET.fromstring(z.read("styles.xml")) if "styles.xml" in z.namelist() else None


def points(v):
    units = {"pt": 1.0, "in": 72.0, "cm": 72 / 2.54, "mm": 72 / 25.4}
    for u, f in units.items():
        if v and v.endswith(u):
            return float(v[: -len(u)]) * f
    return None


page = None
if styles is not None:
    layouts = {l.get(q("style", "name")): l for l in styles.iter(q("style", "page-layout"))}
    for m in styles.iter(q("style", "master-page")):
        layout = layouts.get(m.get(q("style", "page-layout-name")))
        props = layout.find(q("style", "page-layout-properties")) if layout is not None else None
        if m.get(q("style", "name")) == "Standard" and props is not None:
            page = {k: points(props.get(q("fo", k))) for k in
                    ("page-width", "page-height", "margin-left", "margin-right", "margin-top", "margin-bottom")}
            page["orientation"] = props.get(q("style", "print-orientation"))
page_break_styles, sizes_of, fonts_of, fixed = set(), {}, {}, set()
for face in root.iter(q("style", "font-face")):
    if face.get(q("style", "font-pitch")) == "fixed":
        fixed.add(face.get(q("style", "name")))
for st in root.iter(q("style", "style")):
    name = st.get(q("style", "name"))
    for p in st.iter(q("style", "paragraph-properties")):
        if p.get(q("fo", "break-before")) == "page":
            page_break_styles.add(name)
    for t in st.iter(q("style", "text-properties")):
        if t.get(q("fo", "font-size")):
            sizes_of[name] = t.get(q("fo", "font-size"))
        face = t.get(q("style", "font-name")) or t.get(q("fo", "font-family"))
        if face:
            fonts_of[name] = face + (" (fixed)" if face in fixed else "")


def lines_of(p):
    """The lines of a paragraph, read as ODF says: in character data every run
    of white space is one blank, and white space that starts or ends the
    paragraph is no text; text:s, text:tab and text:line-break are literal."""
    pieces = []  # (text, literal)

    def data(t):
        if t:
            pieces.append((re.sub(r"[ \t\r\n]+", " ", t), False))

    def walk(el):
        for child in el:
            if child.tag == q("text", "line-break"):
                pieces.append(("\n", True))
            elif child.tag == q("text", "s"):
                pieces.append((" " * int(child.get(q("text", "c"), "1")), True))
            elif child.tag == q("text", "tab"):
                pieces.append(("\t", True))
            else:
                data(child.text)
                walk(child)
            data(child.tail)

    data(p.text)
    walk(p)
    while pieces and not pieces[0][1] and not pieces[0][0].strip():
        pieces.pop(0)
    while pieces and not pieces[-1][1] and not pieces[-1][0].strip():
        pieces.pop()
    if pieces and not pieces[0][1]:
        pieces[0] = (pieces[0][0].lstrip(), False)
    if pieces and not pieces[-1][1]:
        pieces[-1] = (pieces[-1][0].rstrip(), False)
    return "".join(t for t, _ in pieces).split("\n")


lines, breaks, sizes, fonts = [], [], set(), set()
for p in root.iter(q("text", "p")):
    if p.get(q("text", "style-name")) in page_break_styles:
        breaks.append(len(lines))
    lines.extend(lines_of(p))
    for el in [p] + list(p.iter(q("text", "span"))):
        s = el.get(q("text", "style-name"))
        if s in sizes_of:
            sizes.add(sizes_of[s])
        if s in fonts_of:
            fonts.add(fonts_of[s])
print(json.dumps({"lines": lines, "pageBreaks": breaks, "fontSizes": sorted(sizes), "fonts": sorted(fonts),
                  "page": page}))
