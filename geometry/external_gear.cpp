// Geometry and outline of an external spur or helical gear as the ISO 53 basic rack
// cuts it: trochoid root fillet, undercut, involute flanks, root and tip arcs.
// Not for: the test dimensions (test_dimensions.cpp), ring gears or racks.
#include "geometry/external_gear.h"

#include <cmath>
#include <vector>

namespace kovrex {

namespace {

// A point of the tooth's own polar frame: gamma is measured from the tooth centre
// line and grows toward the tooth space (the space centre lies at pi/z). Trochoid
// points keep the angle theta of the tool's tip rounding that cut them.
struct PolarPoint {
  double r = 0.0;
  double gamma = 0.0;
  double theta = 0.0;
};

// Tooth numbers beyond this would only exhaust memory (z·detail·70 points); no
// real gear comes near it.
constexpr int64_t kMaxToothCount = 100000;

bool IsFinite(double v) { return std::isfinite(v); }

bool BasicDataUsable(const GearRecord& g) {
  const double inputs[] = {g.normalModule,   g.profileShift,       g.pressureAngle,
                           g.helixAngle,     g.tipShortening,      g.thicknessAllowance,
                           g.addendumCoeff,  g.dedendumCoeff,      g.rootRadiusCoeff};
  for (double v : inputs)
    if (!IsFinite(v)) return false;
  // The tool position divides by tan(alpha_n) and the trochoid by sin(alpha_n):
  // a pressure angle of 0 or 90 degrees is no gear at all.
  if (!(g.pressureAngle > 0.0 && g.pressureAngle < kPi / 2.0)) return false;
  return g.normalModule > 0.0 && g.toothCount >= 3 && g.toothCount <= kMaxToothCount &&
         std::cos(g.helixAngle) >= 0.1;
}

// The generating tool's tip rounding in the transverse section: pitch radius r,
// rounding centre line at radius yc, centre offset ut from the tooth centre line.
struct Rounding {
  double r, yc, rho, ut, cosBeta;
};

// Where the rounding point at angle theta (3pi/2 at its bottom, pi + alpha_n where
// it meets the flank) touches the gear: the rack is rolled until the rounding's
// normal there passes the pitch point.
PolarPoint TrochoidPoint(const Rounding& t, double theta) {
  const double ct = std::cos(theta);
  const double st = std::sin(theta);
  // In the transverse section the normal-section circle of the rounding becomes
  // an ellipse stretched by 1/cos(beta) along the pitch line.
  const double px = t.ut + t.rho * ct / t.cosBeta;
  const double py = t.yc + t.rho * st;
  const double phi = (px - (py - t.r) * ct * t.cosBeta / st) / t.r;
  const double h = px - t.r * phi;
  const double cp = std::cos(phi);
  const double sp = std::sin(phi);
  const double X = h * cp + py * sp;
  const double Y = -h * sp + py * cp;
  return {std::hypot(X, Y), std::atan2(X, Y), theta};
}

std::vector<PolarPoint> RawTrochoid(const Rounding& t, double alphaN, int steps) {
  std::vector<PolarPoint> out;
  out.reserve(static_cast<size_t>(steps) + 1);
  for (int i = 0; i <= steps; ++i) out.push_back(TrochoidPoint(t, 1.5 * kPi - (kPi / 2.0 - alphaN) * i / steps));
  return out;
}

// Drops the trochoid beyond the space centre; the first point kept after a dropped
// one is preceded by the exact crossing of the centre line, so that the fillets of
// neighbouring teeth meet there when no root arc separates them.
std::vector<PolarPoint> ClipAtSpaceCentre(const std::vector<PolarPoint>& raw, double spaceCentre) {
  std::vector<PolarPoint> fillet;
  fillet.reserve(raw.size() + 1);
  bool dropped = false;
  PolarPoint prev;
  for (const PolarPoint& p : raw) {
    if (p.gamma > spaceCentre) {
      prev = p;
      dropped = true;
      continue;
    }
    if (dropped && fillet.empty()) {
      const double t = (prev.gamma - spaceCentre) / (prev.gamma - p.gamma);
      fillet.push_back({prev.r + (p.r - prev.r) * t, spaceCentre, prev.theta + (p.theta - prev.theta) * t});
    }
    fillet.push_back(p);
  }
  return fillet;
}

double DeltaToInvolute(const GearRecord& g, const PolarPoint& p) {
  return p.gamma - ComputeHalfToothAngleAtRadius(g, p.r);
}

// Bisects the trochoid's own parameter between lo (inside the involute, delta <
// 0) and hi (in the space, delta >= 0) and returns the point of the crossing on the
// trochoid. A straight line between two samples would cut the curved fillet short
// by up to several hundredths of a millimetre and move the crossing with the
// detail level; 60 halvings of a sample step leave far less than 1e-9 m.
PolarPoint RefineInvoluteCrossing(const GearRecord& g, const Rounding& tool, double lo, double hi) {
  for (int i = 0; i < 60; ++i) {
    const double mid = (lo + hi) / 2.0;
    if (DeltaToInvolute(g, TrochoidPoint(tool, mid)) < 0.0) lo = mid; else hi = mid;
  }
  return TrochoidPoint(tool, hi);
}

// When the trochoid rises through the base circle between two points, the
// involute crossing may lie on that very step; delta across r_b would mix in the
// constant half-angle below the base circle. The crossing is found on the
// trochoid itself instead: first where it reaches r_b, then where it meets the
// involute above. Returns false when it does not cross there.
bool CrossingAboveBaseCircle(const GearRecord& g, const Rounding& tool, const PolarPoint& below,
                             const PolarPoint& above, PolarPoint* crossing) {
  const double rb = g.baseRadius;
  double lo = below.theta, hi = above.theta;  // r(lo) <= r_b < r(hi)
  for (int i = 0; i < 60; ++i) {
    const double mid = (lo + hi) / 2.0;
    if (TrochoidPoint(tool, mid).r > rb) hi = mid; else lo = mid;
  }
  const PolarPoint inside = TrochoidPoint(tool, hi);
  if (!(DeltaToInvolute(g, inside) < 0.0 && DeltaToInvolute(g, above) >= 0.0)) return false;
  *crossing = RefineInvoluteCrossing(g, tool, hi, above.theta);
  return true;
}

// With undercut the trochoid first runs inside the involute (delta < 0: nearer the
// tooth centre line than the flank) and then leaves it into the space; the fillet
// ends where it crosses the involute. Only a real change of sign counts as the
// crossing: two points both in the space (delta >= 0) hold no crossing between
// them, and folding back to one would turn the outline on itself.
void ClipAtInvolute(const GearRecord& g, const Rounding& tool, std::vector<PolarPoint>& fillet) {
  const double rb = g.baseRadius;
  std::vector<PolarPoint> rebuilt;
  rebuilt.reserve(fillet.size());
  bool havePrev = false;
  double deltaPrev = 0.0;
  double thetaPrev = 0.0;
  for (const PolarPoint& p : fillet) {
    if (!(p.r > rb)) {
      rebuilt.push_back(p);
      havePrev = false;  // a point on or below the base circle breaks the chain
      continue;
    }
    const double delta = DeltaToInvolute(g, p);
    PolarPoint crossing;
    bool crossed = false;
    if (havePrev) {
      if (deltaPrev < 0.0 && delta >= 0.0) {
        crossing = RefineInvoluteCrossing(g, tool, thetaPrev, p.theta);
        crossed = true;
      }
    } else if (!rebuilt.empty()) {
      crossed = CrossingAboveBaseCircle(g, tool, rebuilt.back(), p, &crossing);
    }
    if (crossed) {
      // On the involute exactly, so that the flank starts where the fillet ends.
      rebuilt.push_back({crossing.r, ComputeHalfToothAngleAtRadius(g, crossing.r), crossing.theta});
      fillet = std::move(rebuilt);
      return;
    }
    deltaPrev = delta;
    thetaPrev = p.theta;
    havePrev = true;
    rebuilt.push_back(p);
  }
}

// Tip radius after the pointed-tooth limit; sets pointedTipFlag.
double LimitTipRadius(GearRecord& g, double nominalTip, double filletEnd) {
  const double m = g.normalModule;
  const double involuteStart = MaxDouble(filletEnd, g.baseRadius);
  // Floored above the base circle as well as above the fillet end: with deep
  // undercut the fillet ends below r_b, and a tip below r_b has no involute
  // (acos(r_b/r_a) would be NaN).
  double ra = nominalTip;
  const double floorRadius = involuteStart + 1e-6 * m;
  if (ra < floorRadius) ra = floorRadius;
  g.pointedTipFlag = 0;
  if (ComputeHalfToothAngleAtRadius(g, ra) < 0.0) {
    double lo = involuteStart;
    double hi = ra;
    for (int i = 0; i < 60; ++i) {
      const double mid = (lo + hi) / 2.0;
      if (ComputeHalfToothAngleAtRadius(g, mid) > 0.0)
        lo = mid;
      else
        hi = mid;
    }
    ra = lo;
    g.pointedTipFlag = 1;
  }
  return ra;
}

std::vector<PolarPoint> InvoluteFlank(const GearRecord& g, PolarPoint filletEnd, double ra, bool pointed,
                                      int steps) {
  const double rb = g.baseRadius;
  std::vector<PolarPoint> flank;
  flank.reserve(static_cast<size_t>(steps) + 1);
  flank.push_back(filletEnd);
  // Equal steps of the roll angle tan(alpha), not of the radius: the involute
  // bends most near the base circle, where equal radius steps would be coarse.
  const double t0 = std::tan(std::acos(rb / MaxDouble(filletEnd.r, rb)));
  const double ta = std::tan(std::acos(rb / ra));
  for (int i = 1; i <= steps; ++i) {
    const double t = t0 + (ta - t0) * i / steps;
    const double radius = rb * std::sqrt(t * t + 1.0);
    flank.push_back({radius, ComputeHalfToothAngleAtRadius(g, radius)});
  }
  // Without a tip arc both flanks must end in the same point on the centre line.
  if (pointed) flank.back().gamma = 0.0;
  return flank;
}

// Each half of a tooth must stay between the tooth centre line (gamma = 0) and the
// space centre (pi/z); the outline is then the half mirrored and turned, and
// cannot cross itself. A tooth that leaves its sector has been cut through by the
// tool: deep undercut meeting the other flank's undercut across the centre line,
// or a tooth pointed below the end of its fillet (a few teeth, large shift, small
// pressure angle). No such gear can be made.
bool HalfProfileInsideSector(const std::vector<PolarPoint>& pts, double spaceCentre) {
  for (const PolarPoint& p : pts)
    if (!(p.gamma >= -1e-12 && p.gamma <= spaceCentre + 1e-12)) return false;
  return true;
}

// The sector check sees only the samples, and between two of them the undercut
// trochoid dips a little further toward the tooth centre line. A rounding that
// crosses the centre line by a fraction of a micrometre cuts the tooth through
// while every sample keeps a micrometre clear (m 2, z 30, alpha 13.2 deg, As 2):
// the least angle is refined on the trochoid itself, around the sample nearest
// the centre line.
bool FilletKeepsOffCentreLine(const Rounding& tool, const std::vector<PolarPoint>& fillet) {
  if (fillet.size() < 3) return true;
  size_t k = 1;
  for (size_t i = 2; i + 1 < fillet.size(); ++i)
    if (fillet[i].gamma < fillet[k].gamma) k = i;
  const double golden = (std::sqrt(5.0) - 1.0) / 2.0;
  double a = fillet[k - 1].theta, b = fillet[k + 1].theta;
  double c = b - golden * (b - a), d = a + golden * (b - a);
  double fc = TrochoidPoint(tool, c).gamma, fd = TrochoidPoint(tool, d).gamma;
  for (int i = 0; i < 100; ++i) {
    if (fc < fd) {
      b = d, d = c, fd = fc, c = b - golden * (b - a), fc = TrochoidPoint(tool, c).gamma;
    } else {
      a = c, c = d, fc = fd, d = a + golden * (b - a), fd = TrochoidPoint(tool, d).gamma;
    }
  }
  return MinOfTwo(fc, fd) >= -1e-12;
}

// One tooth's polylines as local vectors (tooth centred on +x); every tooth is the
// same vectors turned by its centre angle, which saves two sines per point.
struct ToothTemplate {
  std::vector<std::vector<OutlinePoint>> polylines;
};

std::vector<OutlinePoint> LocalPoints(const std::vector<PolarPoint>& pts, bool reverse) {
  std::vector<OutlinePoint> out;
  out.reserve(pts.size());
  const size_t n = pts.size();
  for (size_t i = 0; i < n; ++i) {
    const PolarPoint& p = reverse ? pts[n - 1 - i] : pts[i];
    // The approach side (first half) lies at phi_j - gamma, the recess side at +gamma.
    const double a = reverse ? p.gamma : -p.gamma;
    out.push_back({p.r * std::cos(a), p.r * std::sin(a)});
  }
  return out;
}

std::vector<OutlinePoint> LocalArc(double radius, double from, double to, int steps) {
  std::vector<OutlinePoint> out;
  out.reserve(static_cast<size_t>(steps) + 1);
  for (int i = 0; i <= steps; ++i) {
    const double a = from + (to - from) * i / steps;
    out.push_back({radius * std::cos(a), radius * std::sin(a)});
  }
  return out;
}

bool OutlineFinite(const std::vector<OutlinePolyline>& outline) {
  for (const OutlinePolyline& line : outline)
    for (const OutlinePoint& p : line.points)
      if (!IsFinite(p.x) || !IsFinite(p.y)) return false;
  return true;
}

}  // namespace

void ComputeExternalGearGeometry(GearRecord& g, int detail, int64_t outlineTeeth) {
  // The polylines of the previous outline are refilled in place (a recomputation
  // mostly builds the same gear again); every early return drops them.
  std::vector<OutlinePolyline> spare = std::move(g.outline);
  g.outline.clear();
  g.valid = 0;
  if (!BasicDataUsable(g)) return;
  const int n = detail < 1 ? 1 : detail;
  const int curveSteps = 14 * n;
  const int arcSteps = 4 * n;

  const double m = g.normalModule;
  const int64_t z = g.toothCount;
  const double zd = static_cast<double>(z);
  const double alphaN = g.pressureAngle;
  const double beta = g.helixAngle;
  const double cosBeta = std::cos(beta);
  const double tanAlphaN = std::tan(alphaN);

  g.transverseModule = m / cosBeta;
  g.transversePressureAngle = std::atan(tanAlphaN / cosBeta);
  g.baseHelixAngle = std::asin(std::sin(beta) * std::cos(alphaN));
  g.pitchRadius = zd * g.transverseModule / 2.0;
  g.baseRadius = g.pitchRadius * std::cos(g.transversePressureAngle);
  const double r = g.pitchRadius;
  const double rb = g.baseRadius;

  // The allowance moves the tool toward the gear centre; the tip is turned from
  // the entered x, so only the tool-generated dimensions see it.
  g.toolProfileShift = g.profileShift - g.thicknessAllowance / (2.0 * m * tanAlphaN);
  const double xE = g.toolProfileShift;
  g.pitchToothThickness = g.transverseModule * (kPi / 2.0 + 2.0 * xE * tanAlphaN);
  g.rootRadius = r + xE * m - g.dedendumCoeff * m;
  const double rf = g.rootRadius;

  const double rho = g.rootRadiusCoeff * m;
  const double u = kPi * m / 4.0 + (g.dedendumCoeff * m - rho + rho * std::sin(alphaN)) * tanAlphaN +
                   rho * std::cos(alphaN);
  const double ut = u / cosBeta;

  if (!(rf > 0.0)) return;

  const double sinAlphaT = std::sin(g.transversePressureAngle);
  g.undercutLimitShift = g.dedendumCoeff - g.rootRadiusCoeff * (1.0 - std::sin(alphaN)) -
                         zd * sinAlphaT * sinAlphaT / (2.0 * cosBeta);
  g.undercutFlag = xE < g.undercutLimitShift - 1e-9 ? 1 : 0;

  const double spaceCentre = kPi / zd;
  const double thetaR = ut / r;
  const bool rootArc = thetaR < spaceCentre - 1e-9;

  const Rounding tool{r, rf + rho, rho, ut, cosBeta};
  std::vector<PolarPoint> fillet = ClipAtSpaceCentre(RawTrochoid(tool, alphaN, curveSteps), spaceCentre);
  if (g.undercutFlag == 1) ClipAtInvolute(g, tool, fillet);
  if (fillet.empty()) return;
  // Within 1e-9 rad of the space centre there is no root arc, yet nothing was
  // clipped either; the fillets of neighbouring teeth must still meet exactly.
  if (!rootArc && fillet.front().gamma < spaceCentre) fillet.front().gamma = spaceCentre;
  const PolarPoint filletEnd = fillet.back();
  g.involuteStartRadius = MaxDouble(filletEnd.r, rb);

  const double ra = LimitTipRadius(g, r + m * (g.addendumCoeff + g.profileShift - g.tipShortening), filletEnd.r);
  double psiA = ComputeHalfToothAngleAtRadius(g, ra);
  if (psiA < 0.0) psiA = 0.0;
  g.tipRadius = ra;
  g.tipToothThickness = 2.0 * ra * psiA;
  const bool tipArc = psiA > 1e-9;

  const std::vector<PolarPoint> flank = InvoluteFlank(g, filletEnd, ra, !tipArc, curveSteps);
  if (!HalfProfileInsideSector(fillet, spaceCentre) || !HalfProfileInsideSector(flank, spaceCentre)) return;
  if (g.undercutFlag == 1 && !FilletKeepsOffCentreLine(tool, fillet)) return;

  ToothTemplate tooth;
  const bool filletDrawn = fillet.size() >= 2;
  if (rootArc) tooth.polylines.push_back(LocalArc(rf, -2.0 * spaceCentre + thetaR, -thetaR, arcSteps));
  if (filletDrawn) tooth.polylines.push_back(LocalPoints(fillet, false));
  tooth.polylines.push_back(LocalPoints(flank, false));
  if (tipArc) tooth.polylines.push_back(LocalArc(ra, -psiA, psiA, arcSteps));
  tooth.polylines.push_back(LocalPoints(flank, true));
  if (filletDrawn) tooth.polylines.push_back(LocalPoints(fillet, true));

  const int64_t teeth = (outlineTeeth >= 1 && outlineTeeth < z) ? outlineTeeth : z;
  g.outline = std::move(spare);
  g.outline.resize(static_cast<size_t>(teeth) * tooth.polylines.size());
  size_t next = 0;
  for (int64_t j = 0; j < teeth; ++j) {
    const double phi = 2.0 * kPi * static_cast<double>(j) / zd;
    const double c = std::cos(phi);
    const double s = std::sin(phi);
    for (const std::vector<OutlinePoint>& local : tooth.polylines) {
      OutlinePolyline& line = g.outline[next++];
      line.points.resize(local.size());
      OutlinePoint* out = line.points.data();
      for (const OutlinePoint& p : local) *out++ = {c * p.x - s * p.y, s * p.x + c * p.y};
    }
  }

  const double derived[] = {g.transverseModule, g.transversePressureAngle, g.baseHelixAngle,
                            g.pitchRadius,      g.baseRadius,              g.toolProfileShift,
                            g.pitchToothThickness, g.rootRadius,           g.undercutLimitShift,
                            g.involuteStartRadius, g.tipRadius,            g.tipToothThickness};
  bool finite = OutlineFinite(g.outline);
  for (double v : derived) finite = finite && IsFinite(v);
  if (!finite) {
    g.outline.clear();
    return;
  }
  g.valid = 1;
  ComputeSpanAndBallMeasurements(g);
}

}  // namespace kovrex
