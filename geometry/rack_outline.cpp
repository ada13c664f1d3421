// The rack of the ISO 53 basic rack profile A in its own transverse frame: straight
// flanks, tip and root lines, circular root fillets tangent to flank and root line.
// Not for: placing the rack under a pinion (the arrangement and the canvas do that).
#include "geometry/rack_outline.h"

#include <cmath>
#include <vector>

namespace kovrex {

namespace {

bool AllFinite(std::initializer_list<double> values) {
  for (double v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

}  // namespace

void BuildRackOutline(GearRecord& rack, double module, double pressureAngleDeg, double helixAngleDeg,
                      int64_t hand, int64_t teeth, double height, double faceWidth,
                      double thicknessAllowance, int density) {
  rack.outline.clear();
  rack.valid = 0;
  rack.isRack = 1;
  rack.normalModule = module;
  rack.pressureAngle = pressureAngleDeg * kDegToRad;
  rack.helixAngle = std::fabs(helixAngleDeg) * kDegToRad;
  rack.hand = hand == 0 ? 1 : hand;
  rack.toothCount = teeth;
  rack.faceWidth = faceWidth;
  rack.boreDiameter = 0.0;
  rack.thicknessAllowance = thicknessAllowance;
  rack.rackHeight = height;
  rack.pitchRadius = 0.0;
  rack.addendumCoeff = 1.0;
  rack.dedendumCoeff = 1.25;
  rack.rootRadiusCoeff = 0.38;

  // Written as negated comparisons so that a NaN input stops here too.
  const double cosBeta = std::cos(rack.helixAngle);
  if (!(module > 0.0) || teeth < 1 || !(cosBeta >= 0.1) || density < 1) return;
  if (!AllFinite({module, pressureAngleDeg, helixAngleDeg, height, faceWidth, thicknessAllowance})) return;

  const double alpha = rack.pressureAngle;
  const double tanAlpha = std::tan(alpha);
  rack.transverseModule = module / cosBeta;
  rack.transversePressureAngle = std::atan(tanAlpha / cosBeta);
  const double pn = kPi * module;
  const double pt = pn / cosBeta;
  const double ha = rack.addendumCoeff * module;
  const double hf = rack.dedendumCoeff * module;
  const double rho = rack.rootRadiusCoeff * module;

  if (!(height > hf)) return;

  // All of the tooth below is in the normal section; only x is stretched into the
  // transverse plane at the end, heights are the same in both sections.
  const double halfThickness = (pn / 2.0 - thicknessAllowance) / 2.0;
  const double yc = rho - hf;
  const double xc = halfThickness - yc * tanAlpha + rho / std::cos(alpha);
  double w = halfThickness - ha * tanAlpha;
  double ht = ha;
  if (w <= 0.0) {
    rack.pointedTipFlag = 1;
    w = 0.0;
    ht = halfThickness / tanAlpha;
  } else {
    rack.pointedTipFlag = 0;
  }
  rack.pitchToothThickness = 2.0 * halfThickness / cosBeta;
  rack.tipToothThickness = 2.0 * w / cosBeta;

  const int f = 6 * density;
  std::vector<double> fx(f + 1), fy(f + 1);
  for (int i = 0; i <= f; ++i) {
    double phi = 1.5 * kPi - (kPi / 2.0 - alpha) * i / f;
    fx[i] = (xc + rho * std::cos(phi)) / cosBeta;
    fy[i] = yc + rho * std::sin(phi);
  }

  if (fx[0] > pt / 2.0) return;
  // With an allowance of about 1.9 m the two fillets of one tooth would pass the
  // tooth centre line before reaching the flank: the "pointed" flanks would then
  // meet below the fillet ends and the contour would fold over itself.
  if (!(fx[f] > 0.0)) return;

  const double L = static_cast<double>(teeth) * pt;
  rack.rackLength = L;
  const double wt = w / cosBeta;

  AddSegmentIfNotDegenerate(rack, 0.0, -height, L, -height);
  AddSegmentIfNotDegenerate(rack, L, -height, L, -hf);
  for (int64_t j = teeth - 1; j >= 0; --j) {
    const double xj = (static_cast<double>(j) + 0.5) * pt;
    const double rootStart = j == teeth - 1 ? L : xj + pt - fx[0];
    AddSegmentIfNotDegenerate(rack, rootStart, -hf, xj + fx[0], -hf);

    OutlinePolyline right;
    right.points.reserve(f + 1);
    for (int i = 0; i <= f; ++i) AddPointToList(right.points, xj + fx[i], fy[i]);
    rack.outline.push_back(std::move(right));

    AddSegmentIfNotDegenerate(rack, xj + fx[f], fy[f], xj + wt, ht);
    AddSegmentIfNotDegenerate(rack, xj + wt, ht, xj - wt, ht);
    AddSegmentIfNotDegenerate(rack, xj - wt, ht, xj - fx[f], fy[f]);

    OutlinePolyline left;
    left.points.reserve(f + 1);
    for (int i = f; i >= 0; --i) AddPointToList(left.points, xj - fx[i], fy[i]);
    rack.outline.push_back(std::move(left));
  }
  AddSegmentIfNotDegenerate(rack, pt / 2.0 - fx[0], -hf, 0.0, -hf);
  AddSegmentIfNotDegenerate(rack, 0.0, -hf, 0.0, -height);

  rack.rootRadius = hf;
  rack.tipRadius = ht;
  rack.rackHelixOffset = std::tan(rack.helixAngle) * static_cast<double>(rack.hand) * faceWidth;
  rack.valid = 1;
}

}  // namespace kovrex
