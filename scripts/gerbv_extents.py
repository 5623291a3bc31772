#!/usr/bin/env python3
"""Extents (mm) of what gerbv draws for a Gerber or drill file: the box around every point of
its SVG export (stroke centre lines, flash and region outlines, curves sampled), for comparing
the full reading with an independent reader. Usage: gerbv_extents.py FILE..."""
import re
import subprocess
import sys
import tempfile

NUM = r"[-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?"


def path_points(d):
    tokens = re.findall(r"[MLCZmlcz]|" + NUM, d)
    points, cmd, args, cur = [], None, [], (0.0, 0.0)
    def flush():
        nonlocal cur
        if cmd in "ML":
            for k in range(0, len(args) - 1, 2):
                cur = (args[k], args[k + 1])
                points.append(cur)
        elif cmd == "C":
            for k in range(0, len(args) - 5, 6):
                p0, p1, p2, p3 = cur, args[k:k + 2], args[k + 2:k + 4], args[k + 4:k + 6]
                for s in range(33):
                    t = s / 32
                    a, b, c, e = (1 - t) ** 3, 3 * (1 - t) ** 2 * t, 3 * (1 - t) * t * t, t ** 3
                    points.append((a * p0[0] + b * p1[0] + c * p2[0] + e * p3[0],
                                   a * p0[1] + b * p1[1] + c * p2[1] + e * p3[1]))
                cur = (p3[0], p3[1])
    for tok in tokens:
        if tok.isalpha():
            if cmd:
                flush()
            cmd, args = tok.upper(), []
        else:
            args.append(float(tok))
    if cmd:
        flush()
    return points


# gerbv draws into a fixed window: 40 x 40 inch at 72 dpi with its lower-left corner at
# (-20, -20) inch, so a page point (points, y downward) is back in inches without guessing.
ORIGIN, SIZE, DPI = -20.0, 40.0, 72.0


def extents(path):
    with tempfile.NamedTemporaryFile(suffix=".svg") as out:
        subprocess.run(["gerbv", "-x", "svg", "-B", "0", "-D", "%g" % DPI,
                        "-O", "%gx%g" % (ORIGIN, ORIGIN), "-W", "%gx%g" % (SIZE, SIZE),
                        "-o", out.name, path], check=True, capture_output=True, timeout=120)
        svg = open(out.name).read()
    box = None
    for m in re.finditer(r"<path([^>]*)>", svg):
        d = re.search(r'\bd="([^"]*)"', m.group(1))
        if d is None:
            continue
        matrix = re.search(r'transform="matrix\(([^)]*)\)"', m.group(1))
        a, b, c, e, f, g = (1, 0, 0, 1, 0, 0) if matrix is None else \
            [float(v) for v in matrix.group(1).split(",")]
        for x, y in path_points(d.group(1)):
            px, py = a * x + c * y + f, b * x + e * y + g
            p = ((px / DPI + ORIGIN) * 25.4, ((SIZE * DPI - py) / DPI + ORIGIN) * 25.4)
            box = [p[0], p[1], p[0], p[1]] if box is None else [
                min(box[0], p[0]), min(box[1], p[1]), max(box[2], p[0]), max(box[3], p[1])]
    return box


for f in sys.argv[1:]:
    b = extents(f)
    print(f, "none" if b is None else " ".join("%.4f" % v for v in b))
