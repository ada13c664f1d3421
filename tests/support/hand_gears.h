// Small hand-built gear, ring and rack records for drawing and placement tests:
// textbook involute teeth (20 degrees, x = 0, no undercut, no fillet) in the
// outline conventions of the gear record, built independently of the program's
// own generators. Not for checking the generators.
#pragma once

#include <cmath>
#include <cstdint>

#include "geometry/gear_record.h"

namespace kovrex::test {

constexpr double kHandPressureAngle = 20.0 * kPi / 180.0;

inline double HandInvolute(double a) { return std::tan(a) - a; }

// Half-angle of the tooth of an external gear (or of the space of a ring) at
// radius rho, for a pitch half-angle pi/(2z) + extra.
inline double HandHalfAngle(double rb, double z, double extra, double rho) {
  const double r = rho < rb ? rb : rho;
  return kPi / (2.0 * z) + extra + HandInvolute(kHandPressureAngle) - HandInvolute(std::acos(rb / r));
}

inline void HandCommon(GearRecord& g, double m, int64_t z) {
  g = GearRecord{};
  g.normalModule = m;
  g.toothCount = z;
  g.pressureAngle = kHandPressureAngle;
  g.transversePressureAngle = kHandPressureAngle;
  g.transverseModule = m;
  g.hand = 1;
  g.faceWidth = 10.0;
  g.addendumCoeff = 1.0;
  g.dedendumCoeff = 1.25;
  g.pitchRadius = z * m / 2.0;
  g.baseRadius = g.pitchRadius * std::cos(kHandPressureAngle);
  g.valid = 1;
}

// External gear, counter-clockwise, tooth 0 centred on +x. Each flank is thinned
// by `thinning` mm of arc on the pitch circle, so that two such gears mesh with
// that much play per flank.
inline void MakeHandExternalGear(GearRecord& g, double m, int64_t z, double thinning = 0.0, double bore = 0.0) {
  HandCommon(g, m, z);
  g.boreDiameter = bore;
  const double r = g.pitchRadius, rb = g.baseRadius;
  const double ra = r + m, rf = r - 1.25 * m;
  g.tipRadius = ra;
  g.rootRadius = rf;
  const double extra = -thinning / r;
  const double dz = static_cast<double>(z);
  const int steps = 12;
  const double rStart = rf > rb ? rf : rb;
  for (int64_t k = 0; k < z; ++k) {
    const double phi = 2.0 * kPi * k / dz;
    OutlinePolyline tooth;
    auto polar = [&](double rho, double a) { tooth.points.push_back({rho * std::cos(a), rho * std::sin(a)}); };
    polar(rf, phi - kPi / dz);
    polar(rf, phi - HandHalfAngle(rb, dz, extra, rStart));
    for (int i = 0; i <= steps; ++i) {
      const double rho = rStart + (ra - rStart) * i / steps;
      polar(rho, phi - HandHalfAngle(rb, dz, extra, rho));
    }
    for (int i = steps; i >= 0; --i) {
      const double rho = rStart + (ra - rStart) * i / steps;
      polar(rho, phi + HandHalfAngle(rb, dz, extra, rho));
    }
    polar(rf, phi + HandHalfAngle(rb, dz, extra, rStart));
    polar(rf, phi + kPi / dz);
    g.outline.push_back(std::move(tooth));
  }
}

// Ring gear, clockwise, tooth space 0 centred on +x; each space widened by
// `widening` mm of arc per flank on the pitch circle.
inline void MakeHandRingGear(GearRecord& g, double m, int64_t z, double rimWidth, double widening = 0.0) {
  HandCommon(g, m, z);
  g.isInternal = 1;
  const double r = g.pitchRadius, rb = g.baseRadius;
  const double ra = r - m, rf = r + 1.25 * m;
  g.tipRadius = ra;
  g.rootRadius = rf;
  g.rimWidth = rimWidth;
  g.rimRadius = rf + rimWidth;
  const double extra = widening / r;
  const double dz = static_cast<double>(z);
  const int steps = 12;
  for (int64_t k = z - 1; k >= 0; --k) {
    const double phi = 2.0 * kPi * k / dz;
    OutlinePolyline space;
    auto polar = [&](double rho, double a) { space.points.push_back({rho * std::cos(a), rho * std::sin(a)}); };
    polar(ra, phi + kPi / dz);
    for (int i = 0; i <= steps; ++i) {
      const double rho = ra + (rf - ra) * i / steps;
      polar(rho, phi + HandHalfAngle(rb, dz, extra, rho));
    }
    for (int i = steps; i >= 0; --i) {
      const double rho = ra + (rf - ra) * i / steps;
      polar(rho, phi - HandHalfAngle(rb, dz, extra, rho));
    }
    polar(ra, phi - kPi / dz);
    g.outline.push_back(std::move(space));
  }
}

// Straight rack of n teeth in its own frame: x from 0 to n·p, pitch line y = 0,
// teeth towards +y, tooth k centred at p/2 + k·p; counter-clockwise. Each flank
// is thinned by `thinning` mm at the pitch line.
inline void MakeHandRack(GearRecord& g, double m, int64_t n, double height, double thinning = 0.0) {
  HandCommon(g, m, n);
  g.isRack = 1;
  g.pitchRadius = 0.0;
  g.baseRadius = 0.0;
  const double p = kPi * m;
  const double length = static_cast<double>(n) * p;
  g.rackLength = length;
  g.rackHeight = height;
  g.tipRadius = m;
  g.rootRadius = 1.25 * m;
  const double t = std::tan(kHandPressureAngle);
  auto halfWidth = [&](double y) { return p / 4.0 - thinning - y * t; };
  OutlinePolyline body;
  body.points.push_back({0.0, -height});
  body.points.push_back({length, -height});
  body.points.push_back({length, -1.25 * m});
  for (int64_t k = n - 1; k >= 0; --k) {
    const double xc = p / 2.0 + static_cast<double>(k) * p;
    body.points.push_back({xc + halfWidth(-1.25 * m), -1.25 * m});
    body.points.push_back({xc + halfWidth(m), m});
    body.points.push_back({xc - halfWidth(m), m});
    body.points.push_back({xc - halfWidth(-1.25 * m), -1.25 * m});
  }
  body.points.push_back({0.0, -1.25 * m});
  g.outline.push_back(std::move(body));
}

}  // namespace kovrex::test
