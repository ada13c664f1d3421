// Planar tools of the STL mesh builders: a gear outline flattened into point arrays
// with break flags, a closed outline thinned within the chord tolerance
// (Douglas-Peucker between break points), and ear-clipping triangulation of simple
// polygons without slivers. Not for the screen (app/outline_simplify.h thins the
// drawn outline).
#pragma once

#include <cstdint>
#include <vector>

#include "geometry/gear_record.h"

namespace kovrex {

// Three point indices per triangle of a planar end face, counter-clockwise from +z.
using FaceTriangleList = std::vector<int64_t>;

// Twice the signed area of the triangle; positive when the points turn
// counter-clockwise.
double CrossProduct2D(double x1, double y1, double x2, double y2, double x3, double y3);

// The chained polylines of the outline as one closed point sequence: the shared
// first point of every later polyline is stored once, and that junction (and the
// very first point) gets flag 1. A last point repeating the first within 1e-9 is
// dropped.
void CollectOutlinePoints(const GearRecord& record, std::vector<double>& x, std::vector<double>& y,
                          std::vector<uint8_t>& flags);

// Drops every point closer than minDistance to the point kept before it (and a last
// point that close to the first). Such points would become the same float vertex in
// a file and so zero-area triangles. A dropped point's break flag moves to the
// point that absorbs it; a point marked in `pinned` is never the one dropped
// while its neighbour is not pinned. All arrays are filtered alike.
void MergeClosePoints(std::vector<double>& x, std::vector<double>& y, std::vector<uint8_t>& flags,
                      std::vector<uint8_t>& pinned, double minDistance);

// Marks in keep the points of the run first..last that the chord tolerance needs.
void SimplifyPolylineDouglasPeucker(const std::vector<double>& x, const std::vector<double>& y, int64_t first,
                                    int64_t last, std::vector<uint8_t>& keep, double tolerance);

// Thins the closed outline run by run between break points; returns the number of
// kept points, fills xOut, yOut and map (new index of every input point, -1 when
// dropped). Sets flags[0] = 1.
int64_t SimplifyPolyline(std::vector<double>& x, std::vector<double>& y, std::vector<uint8_t>& flags,
                         std::vector<double>& xOut, std::vector<double>& yOut, std::vector<int64_t>& map,
                         double tolerance);

// Smallest altitude of the triangle (twice its area over its longest edge); negative
// when the points turn clockwise.
double TriangleThickness(double x1, double y1, double x2, double y2, double x3, double y3);

// Ear clipping of a counter-clockwise polygon (indices into px, py; an index may
// occur twice, as along a slit). Appends exactly h - 2 triangles for h >= 3 entries.
// Triangles thinner than minHeight (the float resolution where the face will stand)
// then get the other diagonal of their quadrilateral wherever that leaves both
// triangles of it thicker: a corner of almost 180 degrees on a straight run of
// outline points gives no sliver whose corners the file's floats put on one line.
void TriangulatePolygon(const std::vector<int64_t>& polygon, const std::vector<double>& px,
                        const std::vector<double>& py, FaceTriangleList& triangles, double minHeight = 0.0);

}  // namespace kovrex
