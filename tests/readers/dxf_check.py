#!/usr/bin/python3
"""Reads a DXF file the way a CAD program would (ezdxf's recover reader and its
auditor) and prints what the C++ tests check, one fact per line:

  audit_errors N
  header NAME VALUE
  polyline LAYER CLOSED VERTICES MIN_EDGE AREA SIMPLE
  circle LAYER COLOUR CX CY R
  line LAYER COLOUR X1 Y1 X2 Y2
  pair OVERLAP_AREA GAP          (for PATH::external, PATH::rack or PATH::internal)

Several files can be named at once (starting Python and ezdxf takes most of the
time); the facts of each file follow a line "file INDEX".

AREA is the shoelace area of the closed polyline (positive counter-clockwise),
MIN_EDGE the shortest edge including the closing one, COLOUR 256 means by layer.
The pair line takes the first two tooth-outline polylines as the two bodies; for
the internal pair the ring's material is its rim circle less its outline.
"""
import math
import sys

import ezdxf
from ezdxf import recover
from shapely.geometry import Point, Polygon


def shoelace(points):
    twice = 0.0
    n = len(points)
    for i in range(n):
        x1, y1 = points[i]
        x2, y2 = points[(i + 1) % n]
        twice += x1 * y2 - x2 * y1
    return twice / 2.0


def check(path, pair):
    doc, recovered = recover.readfile(path)
    auditor = doc.audit()
    print("audit_errors", len(recovered.errors) + len(auditor.errors))
    for name in ("$ACADVER", "$INSUNITS"):
        print("header", name[1:], doc.header.get(name, "-"))
    outlines = []
    rims = []
    msp = doc.modelspace()
    for e in msp:
        kind = e.dxftype()
        layer = e.dxf.layer
        colour = e.dxf.get("color", 256)
        if kind == "POLYLINE":
            pts = [(v.dxf.location.x, v.dxf.location.y) for v in e.vertices]
            n = len(pts)
            edges = [math.dist(pts[i], pts[(i + 1) % n]) for i in range(n)] if n > 1 else [0.0]
            simple = 1 if n >= 3 and Polygon(pts).is_valid else 0
            print("polyline", layer, 1 if e.is_closed else 0, n, repr(min(edges)), repr(shoelace(pts)), simple)
            outlines.append(pts)
        elif kind == "CIRCLE":
            c = e.dxf.center
            print("circle", layer, colour, repr(c.x), repr(c.y), repr(e.dxf.radius))
            rims.append((c.x, c.y, e.dxf.radius))
        elif kind == "LINE":
            s, t = e.dxf.start, e.dxf.end
            print("line", layer, colour, repr(s.x), repr(s.y), repr(t.x), repr(t.y))
        else:
            print("other", kind, layer)
    if pair:
        first, second = Polygon(outlines[0]), Polygon(outlines[1])
        if pair == "internal":
            # The ring's first circle after its outline is its rim.
            cx, cy, r = rims[0]
            ring = Point(cx, cy).buffer(r, 4096).difference(first)
            a, b = ring, second
        else:
            a, b = first, second
        print("pair", repr(a.intersection(b).area), repr(a.distance(b)))


def main():
    for index, arg in enumerate(sys.argv[1:]):
        path, _, pair = arg.partition("::")
        print("file", index)
        check(path, pair or None)


main()
