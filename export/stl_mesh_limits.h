// Shared limits of the STL mesh builders: how close two vertices and two loops may
// come, the size cap of a file, and counting without overflow.
#pragma once

#include <cmath>
#include <cstdint>

namespace kovrex {

// Outline points closer than this are merged: a float32 coordinate near 100 mm
// resolves about 8e-6 mm, so closer points would become one vertex in the file and
// their triangles would lose their area.
constexpr double kMinVertexDistance = 1e-5;

// The least room between two loops of one face (bore and teeth, hub and
// intermediate circle) that still leaves positive float32 triangles.
constexpr double kMinRadialGap = 1e-5;

// A float32 coordinate of magnitude r is held to within r * 2^-24: two vertices
// closer than about four of those steps at the body's farthest coordinate (its
// placement and radius) may become one vertex in the file, or three of them a
// line. Below about 40 mm from the origin the fixed floor is the larger.
inline double FloatResolvedGap(double reach, double floor) {
  const double gap = std::ldexp(std::fabs(reach), -22);
  return gap > floor ? gap : floor;
}

// Floor of a chord angle step (a tolerance tiny against the radius rounds
// 1 - tol/R to 1).
constexpr double kMinAngleStep = 1e-7;

// Layer count beyond which the triangle count is far past the cap anyway.
constexpr double kMaxLayers = 1e12;

// Above this many triangles a file is refused before anything is meshed.
constexpr uint64_t kMaxStlTriangles = 20000000;

// The chord tolerance a gear mesh works with. Each helical flank is approximated
// twice, by the thinned outline and by the layers; half the tolerance for each
// keeps their sum within what the result message promises.
inline double GearMeshTolerance(double helixAngle, double tolerance) {
  return helixAngle > 1e-9 ? tolerance / 2.0 : tolerance;
}

// A count worked out in double, as an integer that cannot overflow.
inline uint64_t SaturatingCount(double count) {
  if (!(count >= 0.0)) return UINT64_MAX;
  if (count >= 1.8e19) return UINT64_MAX;
  return static_cast<uint64_t>(count);
}

}  // namespace kovrex
