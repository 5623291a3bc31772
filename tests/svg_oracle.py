#!/usr/bin/python3
"""A second reading of SVG drawings, by Debian's python3-svgelements, for the SVG reader's tests.

For each FILE argument prints a line "file PATH", then
  extents XMIN YMIN XMAX YMAX   (mm, Y up from the page's foot) of every painted shape,
                                or "extents none"
  length L                      total length in mm of those shapes' outlines
  shapes N                      painted shapes
Painted: a stroke or a fill other than none, not hidden. Text is left out.
"""
import io
import re
import sys

from svgelements import SVG, Shape, Path, Text

MM_PER_PX = 25.4 / 96


def painted(element):
    if element.values.get("visibility") in ("hidden", "collapse"):
        return False
    stroke = element.stroke is not None and element.stroke.value is not None
    fill = element.fill is not None and element.fill.value is not None
    return stroke or fill


def reading(path):
    # svgelements takes a circle's or ellipse's `d` (written beside it by some editors) for
    # its outline; SVG ignores it there.
    with open(path, "rb") as f:
        data = f.read()
    data = re.sub(rb'(<(?:svg:)?(?:circle|ellipse)\b[^>]*?)\sd="[^"]*"', rb"\1", data)
    svg = SVG.parse(io.BytesIO(data), ppi=96.0, reify=True)
    height_mm = float(svg.height) * MM_PER_PX
    box = None
    length = 0.0
    shapes = 0
    for element in svg.elements():
        if isinstance(element, Text) or not isinstance(element, Shape):
            continue
        if not painted(element):
            continue
        p = Path(element)
        if len(p) == 0:
            continue
        b = p.bbox(transformed=True)
        if b is None:
            continue
        shapes += 1
        length += p.length(error=1e-7) * MM_PER_PX
        x0, y0, x1, y1 = b
        e = (x0 * MM_PER_PX, height_mm - y1 * MM_PER_PX, x1 * MM_PER_PX, height_mm - y0 * MM_PER_PX)
        box = e if box is None else (min(box[0], e[0]), min(box[1], e[1]), max(box[2], e[2]),
                                     max(box[3], e[3]))
    print("file", path)
    print("extents none" if box is None else "extents %.6f %.6f %.6f %.6f" % box)
    print("length %.6f" % length)
    print("shapes", shapes)


for name in sys.argv[1:]:
    reading(name)
