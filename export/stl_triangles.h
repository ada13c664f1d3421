// The triangle list every STL mesh builder appends to, and the two ways of adding
// a triangle: as given, or in a plane z = const with the orientation chosen.
// Not for: writing the file (stl_writer.h).
#pragma once

#include <vector>

namespace kovrex {

// Vertex order P0, P1, P2 carries the orientation: the outward normal is
// (P1 - P0) x (P2 - P0). Kept in double precision until the file is written.
struct StlTriangle {
  double x[3];
  double y[3];
  double z[3];
};

using StlTriangleList = std::vector<StlTriangle>;

void AddStlTriangle(StlTriangleList& list, double x0, double y0, double z0, double x1, double y1, double z1,
                    double x2, double y2, double z2);

// A triangle at height z facing +z (facingUp) or -z, whatever the order of the
// corners; nothing when the corners are collinear.
void AddPlanarTriangleOriented(StlTriangleList& list, bool facingUp, double x1, double y1, double x2, double y2,
                               double x3, double y3, double z);

}  // namespace kovrex
