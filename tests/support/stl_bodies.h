// Test bodies for the STL writer with the volume each must enclose, worked out
// from the dense outline (shoelace area), the bore and keyway in closed form and
// the hub cylinders, with the band that the chord tolerance allows.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "geometry/rack_outline.h"
#include "geometry/ring_gear.h"

namespace kovrex::test {

inline GearRecord StlGear(double m, int64_t z, double b, double bore, double betaDeg = 0.0, int64_t hand = 1,
                          double allowance = 0.0, int detail = 1) {
  GearRecord g;
  InitGearParams(g, m, z, 0.0, 20.0, b, bore, 0.0, betaDeg, hand);
  g.thicknessAllowance = allowance;
  ComputeExternalGearGeometry(g, detail);
  EXPECT_EQ(g.valid, 1);
  return g;
}

inline GearRecord StlRing(double m, int64_t z, double b, double rim, double betaDeg = 0.0, int64_t hand = 1,
                          int detail = 1) {
  GearRecord g;
  GenerateToothProfile(g, m, z, 0.0, 20.0, b, rim, 0.0, betaDeg, hand, detail, 0.0);
  EXPECT_EQ(g.valid, 1);
  return g;
}

inline GearRecord StlRack(double m, int64_t n, double height, double b, double betaDeg = 0.0, int64_t hand = 1,
                          double allowance = 0.0, int density = 1) {
  GearRecord g;
  BuildRackOutline(g, m, 20.0, betaDeg, hand, n, height, b, allowance, density);
  EXPECT_EQ(g.valid, 1);
  return g;
}

inline void AddHub(GearRecord& g, int64_t side, double diameter, double length) {
  g.hubSide = side;
  g.hubDiameter = diameter;
  g.hubLength = length;
}

inline void AddKeyway(GearRecord& g, double width, double depth) {
  g.keywayWidth = width;
  g.keywayDepth = depth;
  g.keyIsDin = 1;
}

struct PolygonMeasure {
  double area = 0.0;  // counter-clockwise positive
  double perimeter = 0.0;
};

inline PolygonMeasure MeasureOutline(const GearRecord& g) {
  std::vector<OutlinePoint> p;
  for (const OutlinePolyline& line : g.outline)
    for (const OutlinePoint& q : line.points) p.push_back(q);
  PolygonMeasure m;
  for (size_t i = 0; i < p.size(); ++i) {
    const OutlinePoint& a = p[i];
    const OutlinePoint& b = p[(i + 1) % p.size()];
    m.area += (a.x * b.y - b.x * a.y) / 2.0;
    m.perimeter += std::hypot(b.x - a.x, b.y - a.y);
  }
  return m;
}

// Bore with keyway on +x: the disc, less the circular segment beyond the keyway
// sides' chord, plus the keyway rectangle out to the floor.
inline double BoreArea(const GearRecord& g) {
  const double R = g.boreDiameter / 2.0;
  if (!(R > 0.0)) return 0.0;
  if (!HasKeyway(g)) return kPi * R * R;
  const double h = g.keywayWidth / 2.0;
  const double d = std::sqrt(R * R - h * h);
  const double segment = R * R * std::asin(h / R) - h * d;
  return kPi * R * R - segment + 2.0 * h * (R + g.keywayDepth - d);
}

struct ExpectedVolume {
  double volume = 0.0;
  double band = 0.0;  // allowed difference for the chord tolerance
};

inline ExpectedVolume ExpectVolume(const GearRecord& body, double tolerance) {
  ExpectedVolume e;
  GearRecord dense = body;
  double height = body.faceWidth;
  double perimeter = 0.0;
  if (body.isRack) {
    BuildRackOutline(dense, body.normalModule, body.pressureAngle * kRadToDeg, body.helixAngle * kRadToDeg,
                     body.hand, body.toothCount, body.rackHeight, body.faceWidth, body.thicknessAllowance, 16);
    const PolygonMeasure m = MeasureOutline(dense);
    e.volume = m.area * body.faceWidth;
    perimeter = m.perimeter;
  } else if (body.isInternal) {
    GenerateToothProfile(dense, body.normalModule, body.toothCount, body.profileShift,
                         body.pressureAngle * kRadToDeg, body.faceWidth, body.rimWidth, body.thicknessAllowance,
                         body.helixAngle * kRadToDeg, body.hand, 16, body.tipRadiusOverride);
    const PolygonMeasure m = MeasureOutline(dense);
    e.volume = (kPi * dense.rimRadius * dense.rimRadius - std::fabs(m.area)) * body.faceWidth;
    perimeter = m.perimeter + 2.0 * kPi * dense.rimRadius;
  } else {
    ComputeExternalGearGeometry(dense, 16);
    const PolygonMeasure m = MeasureOutline(dense);
    const double bore = BoreArea(body);
    e.volume = (m.area - bore) * body.faceWidth;
    perimeter = m.perimeter + kPi * body.boreDiameter;
    if (HasHub(body)) {
      const double Rh = body.hubDiameter / 2.0;
      const double hubs = body.hubSide == 3 ? 2.0 : 1.0;
      e.volume += hubs * (kPi * Rh * Rh - bore) * body.hubLength;
      height += hubs * body.hubLength;
      perimeter += 2.0 * kPi * Rh;
    }
  }
  // Every chord lies within the tolerance of the true boundary; the float32
  // vertices add their rounding.
  e.band = perimeter * tolerance * height + 1e-5 * perimeter * height + 1e-6 * std::fabs(e.volume);
  return e;
}

}  // namespace kovrex::test
