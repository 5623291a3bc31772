#!/usr/bin/python3
"""A second reading of a DXF file, by Debian's python3-ezdxf, for the full DXF reader's tests.

Prints, one fact a line:
  count KIND N            entities of each kind in model space (top level)
  extents XMIN YMIN XMAX YMAX   (mm) of everything drawn, or "extents none"
  length L                total drawn length in mm, curves flattened finely
  holes N                 POINT entities, blocks expanded
  unit F                  millimetres per drawing unit
Only what the reader draws counts: LINE, LWPOLYLINE, 2D/3D POLYLINE, ARC, CIRCLE, ELLIPSE,
SPLINE, 3DFACE edges, in model space, blocks placed by INSERT and DIMENSION expanded
(arrays too), projected on XY; invisible entities are left out. Texts are not drawn here:
the tests compare them by their insertion points and heights (text lines).
"""
import math
import re
import sys

import ezdxf
from ezdxf import recover
from ezdxf import path as ezpath

# Millimetres per unit of $INSUNITS; unitless and unknown codes are millimetres.
UNIT_MM = {
    1: 25.4, 2: 304.8, 3: 1609344.0, 4: 1.0, 5: 10.0, 6: 1000.0, 7: 1e6, 8: 25.4e-6,
    9: 0.0254, 10: 914.4, 11: 1e-7, 12: 1e-6, 13: 1e-3, 14: 100.0, 15: 1e4, 16: 1e5,
    17: 1e12, 18: 1.495978707e14, 19: 9.4607304725808e18, 20: 3.0856775814913673e19,
    21: 1200.0 / 3937.0 * 1000.0, 22: 1000.0 / 39.37, 23: 3600.0 / 3937.0 * 1000.0,
    24: 6336000.0 / 3937.0 * 1000.0,
}
DRAWN = {"LINE", "LWPOLYLINE", "POLYLINE", "ARC", "CIRCLE", "ELLIPSE", "SPLINE", "3DFACE"}
# Far finer than the reader's chord tolerance, so the lengths are the curves' own.
FINE_MM = 0.0002


def pairs_of(data: bytes):
    lines = re.split(rb"\r\n|\n|\r", data)
    return [(lines[i], lines[i + 1]) for i in range(0, len(lines) - 1, 2)]


def normalized(data: bytes, strip_handles: bool, drop_tables: bool) -> bytes:
    """The file with its entities' handles left out, so that ezdxf gives each entity a fresh
    one (it drops an entity whose handle another object has), and without its TABLES
    section (a few writers put records there that ezdxf refuses), as asked. Neither carries
    geometry."""
    out, section, expect_name = [], None, False
    for code, value in pairs_of(data):
        c, v = code.strip(), value.strip()
        if expect_name:
            section, expect_name = v, False
            if drop_tables and section == b"TABLES":
                out.pop()  # its "0 SECTION"
                continue
        elif c == b"0" and v == b"SECTION":
            expect_name = True
        if drop_tables and section == b"TABLES":
            if c == b"0" and v == b"ENDSEC":
                section = None
            continue
        if strip_handles and section == b"ENTITIES" and c == b"5":
            continue
        out.append(code + b"\n" + value)
        if c == b"0" and v == b"EOF":
            break
    return b"\n".join(out) + b"\n"


def handles_shared(data: bytes) -> bool:
    seen = set()
    for code, value in pairs_of(data):
        if code.strip() in (b"5", b"105"):
            if value.strip() in seen:
                return True
            seen.add(value.strip())
    return False


def load(name):
    """The first of these readings that ezdxf accepts: handles made unique where the file
    shares one, then the file as it is, then without its tables."""
    import io
    with open(name, "rb") as f:
        data = f.read()
    attempts = [(False, False), (False, True)]
    if handles_shared(data):
        attempts.insert(0, (True, False))
    for n, (strip, drop) in enumerate(attempts):
        try:
            doc, _ = recover.read(io.BytesIO(normalized(data, strip, drop)))
            return doc
        except Exception:  # noqa: BLE001 - ezdxf refuses in many ways; try the next
            if n + 1 == len(attempts):
                raise
    return None


class Totals:
    def __init__(self, unit):
        self.unit = unit
        self.length = 0.0
        self.box = None
        self.holes = 0

    def add_points(self, points):
        prev = None
        for p in points:
            x, y = p.x * self.unit, p.y * self.unit
            if self.box is None:
                self.box = [x, y, x, y]
            else:
                b = self.box
                b[0], b[1], b[2], b[3] = min(b[0], x), min(b[1], y), max(b[2], x), max(b[3], y)
            if prev is not None:
                self.length += math.hypot(x - prev[0], y - prev[1])
            prev = (x, y)


def keep_only_read_kinds(doc):
    """Leaves in the blocks only what the reader reads: ezdxf would otherwise place a
    DIMENSION's own drawing where a block holds one."""
    for block in doc.blocks:
        if block.name.lower() in ("*model_space", "*paper_space"):
            continue
        for e in list(block):
            if e.dxftype() not in DRAWN and e.dxftype() not in ("INSERT", "POINT", "DIMENSION"):
                block.delete_entity(e)


def face_edges(face):
    v = list(face.wcs_vertices())
    while len(v) < 4:
        v.append(v[-1])
    # ezdxf names the hidden edges' flags (code 70) "invisible" or "invisible_edges".
    name = "invisible_edges" if face.dxf.is_supported("invisible_edges") else "invisible"
    flags = face.dxf.get(name, 0)
    for k in range(4):
        if not flags & (1 << k):
            yield [v[k], v[(k + 1) % 4]]


def walk(entities, totals, depth=0, hidden=frozenset()):
    for e in entities:
        kind = e.dxftype()
        if kind != "3DFACE" and e.dxf.hasattr("invisible") and e.dxf.invisible:
            continue
        # A layer switched off or frozen shows nothing; in a block, layer 0 is the insert's.
        layer = (e.dxf.get("layer", "0") if e.dxf.is_supported("layer") else "0").upper()
        if layer in hidden and (depth == 0 or layer != "0"):
            continue
        if kind == "INSERT":
            if depth > 64:
                continue
            for single in e.multi_insert():
                walk(single.virtual_entities(), totals, depth + 1, hidden)
        elif kind == "DIMENSION":
            # Its own block, as the reading draws it: without the definition points.
            walk([v for v in e.virtual_entities() if v.dxftype() != "POINT"], totals, depth + 1, hidden)
        elif kind == "POINT":
            # ezdxf explodes a dimension inside a block with its definition points, which
            # lie on the layer never plotted.
            if e.dxf.layer.upper() == "DEFPOINTS":
                continue
            totals.holes += 1
            totals.add_points([e.dxf.location])
        elif kind == "3DFACE":
            for edge in face_edges(e):
                totals.add_points(edge)
        elif kind in DRAWN:
            if kind == "POLYLINE" and (e.is_polygon_mesh or e.is_poly_face_mesh):
                continue
            if kind == "SPLINE":
                # The curve itself: make_path cuts it into Bezier pieces, which takes
                # unclamped knot vectors (closed splines) wrongly.
                curve = e.construction_tool()
                totals.add_points(list(curve.flattening(FINE_MM / totals.unit, segments=8)))
                continue
            p = ezpath.make_path(e)
            if len(p) == 0 and kind not in ("LINE",):
                if kind in ("LWPOLYLINE", "POLYLINE"):
                    pts = [p.start]
                else:
                    continue
            else:
                pts = list(p.flattening(FINE_MM / totals.unit, segments=4))
            totals.add_points(pts)


def report(name):
    doc = load(name)
    code = doc.header.get("$INSUNITS", 0)
    unit = UNIT_MM.get(code, 1.0)
    msp = doc.modelspace()
    counts = {}
    for e in msp:
        counts[e.dxftype()] = counts.get(e.dxftype(), 0) + 1
    for kind in sorted(counts):
        print(f"count {kind} {counts[kind]}")
    totals = Totals(unit)
    keep_only_read_kinds(doc)
    hidden = frozenset(
        layer.dxf.name.upper() for layer in doc.layers if layer.is_off() or layer.is_frozen()
    )
    walk(msp, totals, 0, hidden)
    if totals.box is None:
        print("extents none")
    else:
        print("extents %.6f %.6f %.6f %.6f" % tuple(totals.box))
    print("length %.6f" % totals.length)
    print(f"holes {totals.holes}")
    print(f"unit {unit!r}")


def texts(name):
    """The TEXT entities of model space: text X Y HEIGHT ROTATION HALIGN VALIGN CHARS, the
    point the text is placed by (its insertion point, or its alignment point when aligned
    otherwise than left on the baseline) and height in mm, rotation in degrees, then the
    text itself."""
    doc = load(name)
    unit = UNIT_MM.get(doc.header.get("$INSUNITS", 0), 1.0)
    for e in doc.modelspace().query("TEXT"):
        h, v = e.dxf.get("halign", 0), e.dxf.get("valign", 0)
        p = e.dxf.insert if (h, v) == (0, 0) else e.dxf.get("align_point", e.dxf.insert)
        p = e.ocs().to_wcs(p)
        print("text %.6f %.6f %.6f %.6f %d %d %s" % (p.x * unit, p.y * unit,
              e.dxf.height * unit, e.dxf.get("rotation", 0), h, v, e.plain_text().strip()))


def main():
    """One file, or with several each report after a line "file NAME"; with --texts first,
    the texts of one file."""
    if sys.argv[1:2] == ["--texts"]:
        texts(sys.argv[2])
        return
    names = sys.argv[1:]
    for name in names:
        if len(names) > 1:
            print(f"file {name}")
        report(name)
        sys.stdout.flush()


if __name__ == "__main__":
    main()
