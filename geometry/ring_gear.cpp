// Ring gears: the space of the ring is handled like the tooth of an external gear
// (pitchToothThickness holds the space width, so psi(r) is the half angle of the
// space). Flanks are exact involutes; the root is a 0.25 m circle tangent to flank
// and root circle, not a generated trochoid. Not for: external gears, racks.
#include "geometry/ring_gear.h"

#include <cmath>
#include <vector>

#include "numbers/number_text.h"

namespace kovrex {

namespace {

struct PolarPoint {
  double radius;
  double angle;
};

bool OutlineIsFinite(const GearRecord& g) {
  for (const OutlinePolyline& line : g.outline)
    for (const OutlinePoint& p : line.points)
      if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
  return true;
}

double Psi(const GearRecord& g, double r) { return ComputeHalfToothAngleAtRadius(g, r); }

void ClearBallDimension(GearRecord& g) {
  g.ballDiameter = 0.0;
  g.dimensionOverBalls = 0.0;
  g.ballBeyondTipFlag = 0;
  g.spanTeeth = 0;
  g.spanMeasurement = 0.0;
}

// Half a space must stay between its centre line (angle 0) and the middle of the
// neighbouring tooth (tau); mirrored and repeated, the outline is then one closed
// chain. A space that has closed before the tip circle (so large a shift that psi
// is already negative there) or a root circle inside the raised tip circle (a
// large negative shift) gives flanks that cross their mirror images: no ring.
bool HalfSpaceInsideSector(const std::vector<PolarPoint>& pts, double tau) {
  for (const PolarPoint& p : pts)
    if (!(p.angle >= -1e-12 && p.angle <= tau + 1e-12)) return false;
  return true;
}

// Point of the fillet circle at direction phi, as polar coordinates about the gear centre.
PolarPoint FilletPoint(const OutlinePoint& c, double rho, double phi) {
  double qx = c.x + rho * std::cos(phi);
  double qy = c.y + rho * std::sin(phi);
  return {std::hypot(qx, qy), std::atan2(qy, qx)};
}

// Ball of diameter D centred on the space's centre line and touching both flanks;
// ballDiameter, dimensionOverBalls and ballBeyondTipFlag. A dimension that cannot be
// computed (the ball too big for the space above the base circle, so inv alpha_M <= 0)
// stays 0, which the report shows as "-".
void ComputeBallDimension(GearRecord& g, double ra, double rf) {
  const double m = g.normalModule;
  const double rb = g.baseRadius;
  const double r = g.pitchRadius;
  const double cosBetaB = std::cos(g.baseHelixAngle);
  g.spanTeeth = 0;
  g.spanMeasurement = 0.0;
  g.ballDiameter = 0.0;
  g.dimensionOverBalls = 0.0;
  g.ballBeyondTipFlag = 0;

  const double rLow = MaxDouble(ra, rb);
  double rM = r + g.profileShift * m;
  if (rM <= rLow || rM >= rf) rM = (rLow + rf) / 2.0;
  OutlinePoint p1, p2;
  InvolutePointAtRadius(g, p1, rM);
  InvolutePointAtRadius(g, p2, rM + 1e-6 * m);
  const double tl = std::hypot(p2.x - p1.x, p2.y - p1.y);
  if (!(tl > 0.0)) return;
  // y component of the flank normal (t_y, -t_x), turned towards the centre line.
  const double ny = -std::fabs((p2.x - p1.x) / tl);
  double d = 2.0 * std::fabs(p1.y / ny) * cosBetaB;
  if (!std::isfinite(d)) return;
  const double grid = d < 1.0 ? 0.01 : 0.05;
  d = grid * static_cast<double>(RoundHalfAwayFromZero(d / grid));
  if (d <= 0.0) d = grid;
  g.ballDiameter = d;

  const double invM = InvoluteFunction(g.transversePressureAngle) + g.pitchToothThickness / (2.0 * r) -
                      d / (2.0 * rb * cosBetaB);
  if (!(invM > 0.0) || !std::isfinite(invM)) return;
  const double alphaM = InvertInvoluteFunction(invM);
  // The inversion is only trustworthy where it really returns inv alpha_M.
  if (!(alphaM > 0.0 && alphaM < kPi / 2.0) || std::fabs(InvoluteFunction(alphaM) - invM) > 1e-9 * (1.0 + invM))
    return;
  const double rK = rb / std::cos(alphaM);
  const int64_t z = g.toothCount;
  double md = z % 2 == 0 ? 2.0 * rK - d : 2.0 * rK * std::cos(kPi / (2.0 * static_cast<double>(z))) - d;
  if (!std::isfinite(md) || !(md > 0.0)) return;
  g.dimensionOverBalls = md;
  g.ballBeyondTipFlag = rK - d / 2.0 < ra ? 1 : 0;
}

}  // namespace

double ComputeRingFilletResidual(const GearRecord& g, double s, double rho, double rf, OutlinePoint& touchPoint,
                                 OutlinePoint& centre) {
  const double theta = Psi(g, s);
  OutlinePoint q;
  InvolutePointAtRadius(g, touchPoint, s);
  InvolutePointAtRadius(g, q, s + 1e-6 * g.normalModule);
  double tx = q.x - touchPoint.x, ty = q.y - touchPoint.y;
  double tl = std::hypot(tx, ty);
  tx /= tl;
  ty /= tl;
  double nx = ty, ny = -tx;
  // Towards smaller polar angle, that is into the tooth space.
  if (nx * -std::sin(theta) + ny * std::cos(theta) > 0.0) {
    nx = -nx;
    ny = -ny;
  }
  centre.x = touchPoint.x + rho * nx;
  centre.y = touchPoint.y + rho * ny;
  return std::hypot(centre.x, centre.y) - (rf - rho);
}

void GenerateToothProfile(GearRecord& g, double module, int64_t toothCount, double profileShift,
                          double pressureAngleDeg, double faceWidth, double rimWidth, double thicknessAllowance,
                          double helixAngleDeg, int64_t hand, int detail, double tipRadiusOverride,
                          int64_t outlineSpaces) {
  // The polylines of the previous outline are refilled in place: a keystroke builds
  // the same ring again, and 6000 fresh small blocks per build cost more than the
  // geometry. Every early return drops them, leaving the outline empty.
  std::vector<OutlinePolyline> spare = std::move(g.outline);
  g.outline.clear();
  g.valid = 0;
  g.ringFlankEndRadius = 0.0;
  g.isInternal = 1;
  g.isRack = 0;
  g.normalModule = module;
  g.toothCount = toothCount;
  g.profileShift = profileShift;
  g.pressureAngle = pressureAngleDeg * kDegToRad;
  g.helixAngle = std::fabs(helixAngleDeg) * kDegToRad;
  g.hand = hand == 0 ? 1 : hand;
  g.faceWidth = faceWidth;
  g.boreDiameter = 0.0;
  g.thicknessAllowance = thicknessAllowance;
  g.rimWidth = rimWidth;
  g.tipShortening = 0.0;
  g.tipRadiusOverride = tipRadiusOverride;
  g.addendumCoeff = 1.0;
  g.dedendumCoeff = 1.25;
  g.rootRadiusCoeff = 0.25;

  const double m = module;
  const double cosBeta = std::cos(g.helixAngle);
  // Negated comparisons: a NaN input stops here as well.
  if (!(m > 0.0) || toothCount < 6 || !(cosBeta >= 0.1) || detail < 1) return;
  for (double v : {module, profileShift, pressureAngleDeg, faceWidth, rimWidth, thicknessAllowance, helixAngleDeg,
                   tipRadiusOverride})
    if (!std::isfinite(v)) return;

  const double alphaN = g.pressureAngle;
  const double tanAlphaN = std::tan(alphaN);
  const double z = static_cast<double>(toothCount);
  g.transverseModule = m / cosBeta;
  g.transversePressureAngle = std::atan(tanAlphaN / cosBeta);
  g.baseHelixAngle = std::asin(std::sin(g.helixAngle) * std::cos(alphaN));
  g.pitchRadius = z * g.transverseModule / 2.0;
  g.baseRadius = g.pitchRadius * std::cos(g.transversePressureAngle);
  const double tau = kPi / z;
  g.toolProfileShift = profileShift + thicknessAllowance / (2.0 * m * tanAlphaN);
  g.pitchToothThickness = g.transverseModule * (kPi / 2.0 + 2.0 * g.toolProfileShift * tanAlphaN);
  const double r = g.pitchRadius;
  const double rb = g.baseRadius;

  double ra = r - m * (g.addendumCoeff - profileShift);
  double rf = r + m * (g.dedendumCoeff + g.toolProfileShift);

  if (ra < tipRadiusOverride && tipRadiusOverride < rf - 0.1 * m) {
    g.tipShortening = (tipRadiusOverride - ra) / m;
    ra = tipRadiusOverride;
  }

  if (ra < rb) {
    g.undercutFlag = 1;
    ra = rb;
  } else {
    g.undercutFlag = 0;
  }

  g.pointedTipFlag = 0;
  if (Psi(g, ra) >= tau) {
    double lo = ra, hi = rf;
    for (int i = 0; i < 60; ++i) {
      double mid = (lo + hi) / 2.0;
      if (Psi(g, mid) < tau)
        hi = mid;
      else
        lo = mid;
    }
    ra = hi;
    g.pointedTipFlag = 1;
  }

  if (Psi(g, rf) <= 0.0) {
    double lo = ra, hi = rf;
    for (int i = 0; i < 60; ++i) {
      double mid = (lo + hi) / 2.0;
      if (Psi(g, mid) > 0.0)
        lo = mid;
      else
        hi = mid;
    }
    rf = lo;
  }

  g.tipRadius = ra;
  g.involuteStartRadius = ra;
  g.rootRadius = rf;
  g.tipToothThickness = 2.0 * ra * (tau - Psi(g, ra));
  g.rimRadius = rf + rimWidth;

  if (!(rimWidth > 0.0)) {
    ClearBallDimension(g);
    return;
  }

  // Fillet: the flank radius at which a circle of radius rho tangent to the flank
  // also touches the root circle from inside.
  const double rho = g.rootRadiusCoeff * m;
  OutlinePoint touch, centre;
  double lo = ra + 1e-9 * m, hi = rf;
  bool hasFillet = false;
  double rStar = rf;
  if (ComputeRingFilletResidual(g, lo, rho, rf, touch, centre) < 0.0 &&
      ComputeRingFilletResidual(g, hi, rho, rf, touch, centre) > 0.0) {
    for (int i = 0; i < 60; ++i) {
      double mid = (lo + hi) / 2.0;
      if (ComputeRingFilletResidual(g, mid, rho, rf, touch, centre) < 0.0)
        lo = mid;
      else
        hi = mid;
    }
    rStar = (lo + hi) / 2.0;
    ComputeRingFilletResidual(g, rStar, rho, rf, touch, centre);
    hasFillet = true;
  }

  const int nf = 14 * detail;
  std::vector<PolarPoint> flank(nf + 1);
  {
    const double ua = std::tan(std::acos(MinOfTwo(rb / ra, 1.0)));
    const double uF = std::tan(std::acos(MinOfTwo(rb / rStar, 1.0)));
    for (int i = 0; i <= nf; ++i) {
      double u = ua + (uF - ua) * i / nf;
      double radius = rb * std::sqrt(u * u + 1.0);
      flank[i] = {radius, Psi(g, radius)};
    }
    flank[nf] = {rStar, Psi(g, rStar)};
  }

  std::vector<PolarPoint> fillet;
  double thetaRoot = Psi(g, rf);
  if (hasFillet) {
    const double phiP = std::atan2(touch.y - centre.y, touch.x - centre.x);
    double phiC = std::atan2(centre.y, centre.x);
    while (phiC - phiP > kPi) phiC -= 2.0 * kPi;
    while (phiC - phiP < -kPi) phiC += 2.0 * kPi;
    // The lowest polar angle on the arc is that of its root contact, the angle of C.
    // When the root space is narrower than two fillets, that contact lies beyond the
    // space centre line: the fillets of the space would cross each other. Both are
    // then cut where they reach the centre line, so the space closes in a point and
    // has no root arc; the arc keeps its point count, spread over the shorter span.
    double phiEnd = phiC;
    bool clipped = false;
    if (std::atan2(centre.y, centre.x) <= 1e-12) {
      double a = phiP, b = phiC;
      for (int i = 0; i < 60; ++i) {
        double mid = (a + b) / 2.0;
        if (FilletPoint(centre, rho, mid).angle > 0.0)
          a = mid;
        else
          b = mid;
      }
      phiEnd = (a + b) / 2.0;
      clipped = true;
    }
    const int nk = 8 * detail;
    fillet.reserve(nk);
    for (int i = 1; i <= nk; ++i) fillet.push_back(FilletPoint(centre, rho, phiP + (phiEnd - phiP) * i / nk));
    if (clipped) {
      fillet.back().angle = 0.0;
      thetaRoot = 0.0;
    } else {
      fillet.back().radius = rf;
      thetaRoot = fillet.back().angle;
    }
  }

  if (!(rf > ra) || !HalfSpaceInsideSector(flank, tau) || !HalfSpaceInsideSector(fillet, tau)) {
    ClearBallDimension(g);
    return;
  }

  const double psiA = Psi(g, ra);
  const int na = 4 * detail;
  const bool hasRootArc = thetaRoot > 1e-12;
  const bool hasTipArc = tau - psiA > 1e-12;
  const PolarPoint flankEnd = flank[nf];

  // One space's polylines as vectors about the ring centre (space centred on +x);
  // every space is the same vectors turned by its centre angle, which saves two
  // sines per point on a ring of a thousand spaces.
  std::vector<std::vector<OutlinePoint>> space;
  auto addLine = [&space]() -> std::vector<OutlinePoint>& { return space.emplace_back(); };
  {
    std::vector<OutlinePoint>& line = addLine();
    for (const PolarPoint& p : flank) SetPolarPoint(line, p.radius, p.angle);
  }
  if (hasFillet) {
    std::vector<OutlinePoint>& line = addLine();
    SetPolarPoint(line, flankEnd.radius, flankEnd.angle);
    for (const PolarPoint& p : fillet) SetPolarPoint(line, p.radius, p.angle);
  }
  if (hasRootArc) {
    std::vector<OutlinePoint>& line = addLine();
    for (int i = 0; i <= na; ++i) SetPolarPoint(line, rf, thetaRoot - 2.0 * thetaRoot * i / na);
  }
  if (hasFillet) {
    std::vector<OutlinePoint>& line = addLine();
    for (auto it = fillet.rbegin(); it != fillet.rend(); ++it) SetPolarPoint(line, it->radius, -it->angle);
    SetPolarPoint(line, flankEnd.radius, -flankEnd.angle);
  }
  {
    std::vector<OutlinePoint>& line = addLine();
    for (auto it = flank.rbegin(); it != flank.rend(); ++it) SetPolarPoint(line, it->radius, -it->angle);
  }
  if (hasTipArc) {
    std::vector<OutlinePoint>& line = addLine();
    for (int i = 0; i <= na; ++i) SetPolarPoint(line, ra, -psiA - (2.0 * tau - 2.0 * psiA) * i / na);
  }

  const int64_t spaces = (outlineSpaces >= 1 && outlineSpaces < toothCount) ? outlineSpaces : toothCount;
  g.outline = std::move(spare);
  g.outline.resize(static_cast<size_t>(spaces) * space.size());
  size_t next = 0;
  for (int64_t k = 0; k < spaces; ++k) {
    const double omega = -2.0 * static_cast<double>(k) * tau;
    const double c = std::cos(omega), sn = std::sin(omega);
    for (const std::vector<OutlinePoint>& local : space) {
      OutlinePolyline& line = g.outline[next++];
      line.points.resize(local.size());
      OutlinePoint* out = line.points.data();
      for (const OutlinePoint& p : local) *out++ = {c * p.x - sn * p.y, sn * p.x + c * p.y};
    }
  }

  g.rackHelixOffset = 0.0;
  if (!OutlineIsFinite(g)) {
    g.outline.clear();
    return;
  }
  g.ringFlankEndRadius = rStar;
  g.valid = 1;

  ComputeBallDimension(g, ra, rf);
}

}  // namespace kovrex
