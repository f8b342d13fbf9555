"""Reads the content.xml of an OpenDocument text (on standard input) and
prints as JSON: the paragraphs, the indexes of those that start a new page,
and the font sizes their styles give."""
import json
import sys
import xml.etree.ElementTree as ET

NS = {
    "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
    "style": "urn:oasis:names:tc:opendocument:xmlns:style:1.0",
    "text": "urn:oasis:names:tc:opendocument:xmlns:text:1.0",
    "fo": "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0",
}
q = lambda p, n: "{%s}%s" % (NS[p], n)

root = ET.fromstring(sys.stdin.buffer.read())
page_break_styles, sizes_of = set(), {}
for st in root.iter(q("style", "style")):
    name = st.get(q("style", "name"))
    for p in st.iter(q("style", "paragraph-properties")):
        if p.get(q("fo", "break-before")) == "page":
            page_break_styles.add(name)
    for t in st.iter(q("style", "text-properties")):
        if t.get(q("fo", "font-size")):
            sizes_of[name] = t.get(q("fo", "font-size"))

paragraphs, breaks, sizes = [], [], set()
for i, p in enumerate(root.iter(q("text", "p"))):
    paragraphs.append("".join(p.itertext()))
    if p.get(q("text", "style-name")) in page_break_styles:
        breaks.append(i)
    for el in [p] + list(p.iter(q("text", "span"))):
        s = el.get(q("text", "style-name"))
        if s in sizes_of:
            sizes.add(sizes_of[s])
print(json.dumps({"paragraphs": paragraphs, "pageBreaks": breaks, "fontSizes": sorted(sizes)}))
