// Builders of the report text: what an engineer copies into a calculation note,
// so every piece comes from text/report.def verbatim and every number from the
// number-text forms. Not for: the strength report (strength_run.cpp).
#include "app/report_text.h"

#include <cmath>
#include <initializer_list>
#include <limits>
#include <string_view>

#include "geometry/arrangement_state.h"
#include "geometry/line_of_action.h"
#include "geometry/mesh_penetration.h"
#include "numbers/number_text.h"
#include "text/texts.h"

namespace kovrex {
namespace {

using enum TextId;

const char* T(TextId id) { return Tx(id); }

// Stands for a value that cannot be computed; printed as "-".
constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

void Add(std::string& out, std::initializer_list<std::string_view> pieces) {
  for (std::string_view p : pieces) out += p;
}

// A value that cannot be computed (an angle of acos(>1), a ratio over z = 0) is
// left out as "-": "nan" or "inf" copied into a calculation note would be worse
// than no number.
std::string Fixed(int decimals, double value) {
  return std::isfinite(value) ? FormatFixed(decimals, value) : std::string(T(RptNoValue));
}

std::string Trimmed(double value) {
  return std::isfinite(value) ? FormatNumberTrimmed(value) : std::string(T(RptNoValue));
}

std::string Whole(int64_t n) { return FormatFixed(0, static_cast<double>(n)); }

std::string Degrees(double radians) { return Fixed(3, radians * kRadToDeg); }

// The geometry leaves a dimension over (or between) balls, or a ball diameter,
// that it cannot compute at 0; a real one is never 0 (a computed ball is at least
// one rounding step), so 0 means "no value", not "0.000 mm".
std::string BallValue(int decimals, double value) {
  return value == 0.0 ? std::string(T(RptNoValue)) : Fixed(decimals, value);
}

// Warnings that guard a minimum or maximum are written so that a value which
// could not be computed raises them: a "-" beside no warning would read as a
// passed check. For finite values these are exactly v < limit and v > limit.
bool BelowOrUnknown(double value, double limit) { return !(value >= limit); }
bool AboveOrUnknown(double value, double limit) { return !(value <= limit); }

// A transverse contact ratio of 0 or less means the tips do not reach the line of
// action between the tangent points: there is no path of contact at all, and a
// negative εα (or the negative path length it comes from, or εγ) would read as a
// value. It becomes "no value"; the too-small warning then stands as for an
// unknown one.
double ContactRatioOrNoValue(double epsAlpha) { return epsAlpha > 0.0 ? epsAlpha : kNoValue; }

struct WarningRow {
  bool shown;
  TextId text;
};

void AddWarnings(std::string& out, std::initializer_list<WarningRow> rows) {
  for (const WarningRow& row : rows)
    if (row.shown) out += T(row.text);
}

// The contact-ratio lines shared by the three arrangements: εβ and εγ only for
// helical teeth.
void AddOverlapLines(std::string& out, double epsAlpha, double epsBeta) {
  Add(out, {T(RptOverlapLabel), Fixed(3, epsBeta), T(RptOverlapText)});
  Add(out, {T(RptTotalContactLabel), Fixed(3, epsAlpha + epsBeta), T(RptTotalContactText)});
}

// Lines z/m (and β for helical teeth) at the head of a gear or ring block; the
// ring leaves out βb.
void AddToothNumberAndModule(std::string& out, const GearRecord& g, bool withBaseHelix) {
  if (g.helixAngle > 0.0) {
    Add(out, {T(RptTeethLabel), Whole(g.toothCount), T(RptNormalModuleLabel), Trimmed(g.normalModule),
              T(RptTransverseModuleLabel), Fixed(4, g.transverseModule), T(RptLineEnd)});
    Add(out, {T(RptHelixLabel), Degrees(g.helixAngle), T(RptDegreeBlank), GetHandName(g.hand)});
    if (withBaseHelix) {
      Add(out, {T(RptBaseHelixLabel), Degrees(g.baseHelixAngle), T(RptGearTransverseAngleLabel)});
    } else {
      out += T(RptRingTransverseAngleLabel);
    }
    Add(out, {Degrees(g.transversePressureAngle), T(RptDegreeEnd)});
  } else {
    Add(out, {T(RptTeethLabel), Whole(g.toothCount), T(RptModuleLabel), Trimmed(g.normalModule),
              T(RptModuleUnitEnd)});
  }
}

struct HubSideRow {
  int64_t side;
  TextId name;
  int lengths;  // hub lengths that add to the face width
};

constexpr HubSideRow kHubSides[] = {
    {1, RptHubLeft, 1},
    {2, RptHubRight, 1},
    {3, RptHubBothSides, 2},
};

// "a; b; " -> "a; b": the separators are for joining, not for the reader.
std::string MessagesForReport(const std::string& messages) {
  size_t end = messages.size();
  while (end > 0 && messages[end - 1] == ' ') --end;
  while (end > 0 && messages[end - 1] == ';') --end;
  return messages.substr(0, end);
}

}  // namespace

std::string GetHandName(int64_t hand) { return hand < 0 ? T(HandLeft) : T(HandRight); }

std::string BuildHubKeyReportBlock(const GearRecord& g) {
  std::string out;
  double m = g.normalModule;
  if (HasKeyway(g)) {
    Add(out, {T(RptKeywayLabel), Fixed(1, g.keywayWidth), T(RptTimes), Fixed(1, g.keywayDepth)});
    if (g.keyIsDin != 0) {
      Add(out, {T(RptKeyDin), Fixed(0, g.keywayWidth), T(RptTimes), Fixed(0, g.keyHeight), T(RptClose)});
    } else {
      out += T(RptKeyCustom);
    }
    out += T(RptLineEnd);
    double material = g.rootRadius - (g.boreDiameter / 2.0 + g.keywayDepth);
    if (BelowOrUnknown(material, m))
      Add(out, {T(RptWarnKeywayMaterial), Fixed(2, material), T(RptMmCloseEnd)});
  } else if (g.boreDiameter > 0.0) {
    double material = g.rootRadius - g.boreDiameter / 2.0;
    if (BelowOrUnknown(material, m))
      Add(out, {T(RptWarnBoreMaterial), Fixed(2, material), T(RptMmCloseEnd)});
  }
  if (HasHub(g)) {
    std::string_view sideName;
    int lengths = 1;
    for (const HubSideRow& row : kHubSides) {
      if (row.side == g.hubSide) {
        sideName = T(row.name);
        lengths = row.lengths;
      }
    }
    Add(out, {T(RptHubLabel), Fixed(1, g.hubDiameter), T(RptTimes), Fixed(1, g.hubLength), sideName,
              T(RptHubTotalLength), Fixed(1, g.faceWidth + lengths * g.hubLength), T(RptCloseEnd)});
  }
  if (!g.messages.empty()) Add(out, {T(RptWarnPrefix), MessagesForReport(g.messages), T(RptLineEnd)});
  return out;
}

std::string BuildGearReportSection(const GearRecord& g, const std::string& title) {
  std::string out;
  const bool helical = g.helixAngle > 0.0;
  double m = g.normalModule;
  double ra = g.tipRadius, rs = g.involuteStartRadius;

  Add(out, {title, T(RptLineEnd)});
  AddToothNumberAndModule(out, g, /*withBaseHelix=*/true);
  Add(out, {T(RptShiftLabel), Fixed(4, g.profileShift), T(RptShiftMinOpen), Fixed(3, g.undercutLimitShift),
            T(RptCloseEnd)});
  Add(out, {T(RptPitchDiameterLabel), Fixed(3, 2.0 * g.pitchRadius), T(RptPitchCircleText)});
  Add(out, {T(RptTipDiameterLabel), Fixed(3, 2.0 * ra), T(RptTipCircleText)});
  Add(out, {T(RptRootDiameterLabel), Fixed(3, 2.0 * g.rootRadius), T(RptRootCircleText)});
  Add(out, {T(RptBaseDiameterLabel), Fixed(3, 2.0 * g.baseRadius), T(RptBaseCircleText)});
  if (helical) {
    Add(out, {T(RptTransverseThicknessLabel), Fixed(3, g.pitchToothThickness), T(RptTransverseThicknessText)});
    Add(out, {T(RptLeadLabel), Fixed(2, 2.0 * kPi * g.pitchRadius / std::tan(g.helixAngle)), T(RptLeadText)});
  } else {
    Add(out, {T(RptThicknessLabel), Fixed(3, g.pitchToothThickness), T(RptThicknessText)});
  }
  if (g.thicknessAllowance != 0.0) {
    Add(out, {T(RptAllowanceLabel), Fixed(4, g.thicknessAllowance), T(RptAllowanceText),
              Fixed(4, g.toolProfileShift), T(RptCloseEnd)});
  }
  Add(out, {T(RptTipThicknessLabel), Fixed(3, g.tipToothThickness), T(RptTipThicknessText)});
  Add(out, {T(RptFaceWidthLabel), Fixed(2, g.faceWidth), T(RptBoreText), Fixed(2, g.boreDiameter), T(RptLineEnd)});
  out += BuildHubKeyReportBlock(g);

  out += T(RptInspectionTitle);
  Add(out, {T(RptSpanLabel), Fixed(3, g.spanMeasurement), T(RptSpanText), Whole(g.spanTeeth), T(RptLineEnd)});
  if (AboveOrUnknown(g.spanContactRadius, ra) || BelowOrUnknown(g.spanContactRadius, rs))
    out += T(RptWarnSpanOutside);
  if (helical && AboveOrUnknown(g.minFaceWidthForSpan + 2.0, g.faceWidth))
    Add(out, {T(RptWarnSpanWidth), Fixed(1, g.minFaceWidthForSpan + 2.0), T(RptCloseEnd)});

  const bool oddTeeth = g.toothCount % 2 != 0;
  Add(out, {T(RptBallLabel), BallValue(3, g.dimensionOverBalls)});
  if (oddTeeth) {
    Add(out, {T(RptOverBalls), BallValue(2, g.ballDiameter), T(RptOddTeethEnd)});
  } else {
    Add(out, {T(helical ? RptOverBalls : RptOverPins), BallValue(2, g.ballDiameter), T(RptLineEnd)});
  }

  AddWarnings(out, {
                       {g.ballBeyondTipFlag == 0, RptWarnPinInsideTip},
                       {AboveOrUnknown(g.ballContactRadius, ra) || BelowOrUnknown(g.ballContactRadius, rs),
                        RptWarnPinOutsideInvolute},
                       {g.undercutFlag != 0, RptWarnUndercut},
                       {g.pointedTipFlag != 0, RptWarnPointedTooth},
                       {g.pointedTipFlag == 0 && BelowOrUnknown(g.tipToothThickness, 0.25 * m), RptWarnThinTip},
                       {!(2.0 * g.rootRadius > g.boreDiameter), RptWarnBoreOverRoot},
                       {g.valid == 0, RptWarnInvalidGeometry},
                   });
  return out;
}

std::string BuildPairReport() {
  const GearRecord& g1 = Gear1;
  const GearRecord& g2 = Gear2;
  const double a = PairCentreDistance;
  const bool helical = g1.helixAngle > 0.0;

  // NaN when a no longer exceeds r_b1 + r_b2; the lines that depend on it then
  // show "-". The line of action reports that case as a cleared record and a
  // contact ratio of 0, which must not be printed as a path of 0.000 mm.
  double alphaW = std::acos((g1.baseRadius + g2.baseRadius) / a);
  ContactGeometry contact;
  const bool meshes = ComputePairLineOfAction(g1, g2, contact, a, /*driveAngle=*/0.0) == 0;
  double pathLength = meshes ? contact.positionE - contact.positionA : kNoValue;
  double epsAlpha = meshes ? ContactRatioOrNoValue(ComputePairContactRatio(g1, g2, a)) : kNoValue;
  if (std::isnan(epsAlpha)) pathLength = kNoValue;
  double epsBeta = helical ? ComputeOverlapRatio(g1) : 0.0;
  double jn = (g1.thicknessAllowance + g2.thicknessAllowance) * std::cos(g1.pressureAngle);
  double z1 = static_cast<double>(g1.toothCount), z2 = static_cast<double>(g2.toothCount);

  std::string out = T(RptPairTitle);
  Add(out, {T(RptCentreDistanceLabel), Fixed(3, a), T(RptCentreDistanceText)});
  Add(out, {T(RptRefCentreDistanceLabel), Fixed(3, g1.transverseModule * (z1 + z2) / 2.0),
            T(RptRefCentreDistanceText)});
  Add(out, {T(RptRatioLabel), Fixed(4, z2 / z1), T(RptPairRatioText)});
  if (helical) {
    Add(out, {T(RptHelixLabel), Degrees(g1.helixAngle), T(RptPairHelixGear1), GetHandName(g1.hand),
              T(RptPairHelixGear2), GetHandName(g2.hand), T(RptLineEnd)});
  }
  Add(out, {T(RptOperatingAngleLabel), Degrees(alphaW), T(RptOperatingAngleText)});
  Add(out, {T(RptShiftSumLabel), Fixed(4, g1.profileShift + g2.profileShift), T(RptLineEnd)});
  Add(out, {T(RptTipShorteningLabel), Fixed(3, g1.tipShortening * g1.normalModule), T(RptTipShorteningText)});
  Add(out, {T(RptBacklashLabel), Fixed(4, jn), T(RptBacklashText)});
  Add(out, {T(RptCircBacklashLabel), Fixed(4, jn / (std::cos(alphaW) * std::cos(g1.baseHelixAngle))),
            T(RptCircBacklashText)});
  Add(out, {T(RptPathLabel), Fixed(3, pathLength), T(RptPathText)});
  Add(out, {T(RptContactRatioLabel), Fixed(3, epsAlpha), T(RptContactRatioText)});
  if (helical) AddOverlapLines(out, epsAlpha, epsBeta);
  const double m1 = g1.normalModule;
  AddWarnings(out, {
                       {BelowOrUnknown(epsAlpha + epsBeta, 1.1), RptWarnContactRatio},
                       {meshes && TipReachesPastUsableFlank(contact.overreachA, m1), RptWarnTip2BelowInvolute1},
                       {meshes && TipReachesPastUsableFlank(contact.overreachE, m1), RptWarnTip1BelowInvolute2},
                   });

  out += T(RptLineEnd);
  out += BuildGearReportSection(g1, T(RptTitleGear1));
  out += T(RptLineEnd);
  out += BuildGearReportSection(g2, T(RptTitleGear2));
  return out;
}

std::string BuildRackPairReport() {
  const GearRecord& pinion = Gear1;
  const GearRecord& rack = Rack;
  const bool helical = rack.helixAngle > 0.0;
  const bool bothValid = pinion.valid != 0 && rack.valid != 0;

  double a = pinion.pitchRadius + pinion.profileShift * pinion.normalModule;
  double pt = kPi * rack.transverseModule;
  double jn = (pinion.thicknessAllowance + rack.thicknessAllowance) * std::cos(pinion.pressureAngle);

  std::string out = T(RptRackPairTitle);
  Add(out, {T(RptCentreDistanceLabel), Fixed(3, a), T(RptRackAxisText)});
  Add(out, {T(RptRackBackLabel), Fixed(3, a + rack.rackHeight), T(RptRackBackText)});
  if (helical) {
    Add(out, {T(RptHelixLabel), Degrees(rack.helixAngle), T(RptRackHelixPinion), GetHandName(pinion.hand),
              T(RptRackHelixTeeth)});
    Add(out, {T(RptRackTransversePitchLabel), Fixed(4, pt), T(RptRackTransversePitchText),
              Fixed(4, kPi * rack.normalModule), T(RptCloseEnd)});
  } else {
    Add(out, {T(RptRackPitchLabel), Fixed(4, pt), T(RptRackPitchText)});
  }
  Add(out, {T(RptTravelLabel), Fixed(3, static_cast<double>(pinion.toothCount) * pt), T(RptTravelText)});
  Add(out, {T(RptBacklashLabel), Fixed(4, jn), T(RptBacklashText)});

  if (bothValid) {
    ContactGeometry contact;
    const bool meshes = ComputeRackLineOfAction(pinion, rack, contact, /*driveAngle=*/0.0) == 0;
    double epsAlpha = meshes ? (contact.positionE - contact.positionA) /
                                   (kPi * pinion.transverseModule * std::cos(pinion.transversePressureAngle))
                             : kNoValue;
    epsAlpha = ContactRatioOrNoValue(epsAlpha);
    double epsBeta = helical ? ComputeOverlapRatio(pinion) : 0.0;
    Add(out, {T(RptContactRatioLabel), Fixed(3, epsAlpha), T(RptContactRatioText)});
    if (helical) AddOverlapLines(out, epsAlpha, epsBeta);
    const double m1 = pinion.normalModule;
    AddWarnings(out, {
                         {BelowOrUnknown(epsAlpha + epsBeta, 1.1), RptWarnContactRatio},
                         {meshes && TipReachesPastUsableFlank(contact.overreachA, m1), RptWarnRackTipBelowInvolute},
                         {meshes && TipReachesPastUsableFlank(contact.overreachE, m1), RptWarnPinionTipPastRackFlank},
                     });
  }

  out += T(RptRackTitle);
  if (rack.valid != 0) {
    double m = rack.normalModule;
    Add(out, {T(RptRackTeethLabel), Whole(rack.toothCount), T(RptRackTeethText), Fixed(3, rack.rackLength),
              T(RptRackLengthText)});
    Add(out, {T(RptThicknessLabel), Fixed(3, rack.pitchToothThickness), T(RptRackThicknessText)});
    Add(out, {T(RptAddendumLabel), Fixed(3, rack.addendumCoeff * m), T(RptDedendumLabel),
              Fixed(3, rack.dedendumCoeff * m), T(RptAddendumText)});
    Add(out, {T(RptRackHeightLabel), Fixed(3, rack.rackHeight), T(RptRackHeightText), Fixed(2, rack.faceWidth),
              T(RptLineEnd)});
    if (rack.pointedTipFlag != 0) out += T(RptWarnRackPointed);
  } else {
    out += T(RptWarnRackInvalid);
  }

  out += T(RptLineEnd);
  out += BuildGearReportSection(pinion, T(RptTitlePinion));
  return out;
}

std::string BuildInternalGearBlock(const GearRecord& g, const std::string& title) {
  std::string out;
  Add(out, {title, T(RptLineEnd)});
  AddToothNumberAndModule(out, g, /*withBaseHelix=*/false);
  Add(out, {T(RptShiftLabel), Fixed(4, g.profileShift), T(RptRingShiftText)});
  Add(out, {T(RptPitchDiameterLabel), Fixed(3, 2.0 * g.pitchRadius), T(RptPitchCircleText)});
  Add(out, {T(RptTipDiameterLabel), Fixed(3, 2.0 * g.tipRadius), T(RptRingTipCircleText)});
  Add(out, {T(RptRootDiameterLabel), Fixed(3, 2.0 * g.rootRadius), T(RptRootCircleText)});
  Add(out, {T(RptBaseDiameterLabel), Fixed(3, 2.0 * g.baseRadius), T(RptBaseCircleText)});
  Add(out, {T(RptRimDiameterLabel), Fixed(3, 2.0 * g.rimRadius), T(RptRimDiameterText)});
  // For a ring the record's pitch thickness field holds the space width.
  Add(out, {T(RptSpaceWidthLabel), Fixed(3, g.pitchToothThickness), T(RptSpaceWidthText)});
  Add(out, {T(RptTipThicknessLabel), Fixed(3, g.tipToothThickness), T(RptRingTipThicknessText)});
  if (g.tipShortening > 0.0) {
    Add(out, {T(RptTipShorteningLabel), Fixed(3, g.tipShortening * g.normalModule), T(RptRingTipReductionText)});
  }
  Add(out, {T(RptFaceWidthLabel), Fixed(2, g.faceWidth), T(RptLineEnd)});
  out += T(RptRingInspectionTitle);
  Add(out, {T(RptBetweenBallsLabel), BallValue(3, g.dimensionOverBalls), T(RptBetweenBallsText),
            BallValue(2, g.ballDiameter), T(RptLineEnd)});
  AddWarnings(out, {
                       {g.ballBeyondTipFlag == 0, RptWarnBallInsideTip},
                       // For a ring the undercut flag means the tip circle was raised to the base circle.
                       {g.undercutFlag != 0, RptWarnRingTipBelowBase},
                       {g.pointedTipFlag != 0, RptWarnRingPointed},
                       {g.valid == 0, RptWarnInvalidGeometry},
                   });
  return out;
}

std::string BuildInternalPairReport() {
  const GearRecord& pinion = Gear1;
  const GearRecord& ring = RingGear;

  std::string out = T(RptInternalTitle);
  if (pinion.valid == 0 || ring.valid == 0) {
    out += T(RptWarnInternalInvalid);
    out += T(RptLineEnd);
    out += BuildInternalGearBlock(ring, T(RptTitleRing));
    return out;
  }

  const double a = InternalCentreDistance;
  const double m1 = pinion.normalModule;
  const bool helical = pinion.helixAngle > 0.0;
  double alphaW = std::acos((ring.baseRadius - pinion.baseRadius) / a);
  ContactGeometry contact;
  ComputeInternalLineOfAction(pinion, ring, contact, a, /*driveAngle=*/0.0);
  // A cleared record (no working pressure angle) has no path of contact.
  const bool meshes = contact.workingPressureAngle > 0.0;
  double pathLength = meshes ? contact.positionE - contact.positionA : kNoValue;
  // The ring tip's own crossing: whether it touches the fillet does not depend on
  // where the usable path starts.
  double ringTipPosition = meshes ? contact.tipPositionA : kNoValue;
  double epsAlpha = ContactRatioOrNoValue(
      pathLength / (kPi * pinion.transverseModule * std::cos(pinion.transversePressureAngle)));
  if (std::isnan(epsAlpha)) pathLength = kNoValue;
  double epsBeta = helical ? ComputeOverlapRatio(pinion) : 0.0;
  double c1 = ring.rootRadius - (a + pinion.tipRadius);
  double c2 = ring.tipRadius - (a + pinion.rootRadius);
  double jn = (pinion.thicknessAllowance + ring.thicknessAllowance) * std::cos(pinion.pressureAngle);
  double z1 = static_cast<double>(pinion.toothCount), z2 = static_cast<double>(ring.toothCount);
  double rs1 = pinion.involuteStartRadius, rb1 = pinion.baseRadius;
  // Where the pinion's usable involute begins on the line of action; a ring tip
  // that reaches further in meets the pinion's root fillet.
  double involuteStart = std::sqrt(MaxDouble(rs1 * rs1 - rb1 * rb1, 0.0));

  Add(out, {T(RptCentreDistanceLabel), Fixed(3, a), T(RptCentreDistanceText)});
  Add(out, {T(RptRefCentreDistanceLabel), Fixed(3, pinion.transverseModule * (z2 - z1) / 2.0),
            T(RptRefCentreDistanceText)});
  Add(out, {T(RptRatioLabel), Fixed(4, z2 / z1), T(RptInternalRatioText)});
  if (helical) {
    Add(out, {T(RptHelixLabel), Degrees(pinion.helixAngle), T(RptInternalHelix), GetHandName(pinion.hand),
              T(RptLineEnd)});
  }
  Add(out, {T(RptOperatingAngleLabel), Degrees(alphaW), T(RptOperatingAngleText)});
  Add(out, {T(RptShiftDifferenceLabel), Fixed(4, ring.profileShift - pinion.profileShift),
            T(RptShiftDifferenceText)});
  Add(out, {T(RptBacklashLabel), Fixed(4, jn), T(RptBacklashText)});
  Add(out, {T(RptPathLabel), Fixed(3, pathLength), T(RptPathText)});
  Add(out, {T(RptContactRatioLabel), Fixed(3, epsAlpha), T(RptContactRatioText)});
  if (helical) AddOverlapLines(out, epsAlpha, epsBeta);
  Add(out, {T(RptClearance1Label), Fixed(3, c1), T(RptClearance1Text)});
  Add(out, {T(RptClearance2Label), Fixed(3, c2), T(RptClearance2Text)});
  AddWarnings(out, {
                       {BelowOrUnknown(epsAlpha + epsBeta, 1.1), RptWarnContactRatio},
                       {meshes && TipReachesPastUsableFlank(contact.overreachE, m1), RptWarnPinionTipPastRingInvolute},
                       {BelowOrUnknown(c1, 0.1 * m1) || BelowOrUnknown(c2, 0.1 * m1), RptWarnClearance},
                       {AboveOrUnknown(involuteStart - 0.000001, ringTipPosition), RptWarnRingTipOnFillet},
                   });
  if (AboveOrUnknown(InternalPenetration, kInterferenceLimitModules * m1)) {
    Add(out, {T(RptWarnInterference), Fixed(3, InternalPenetration), T(RptInterferenceDepthEnd),
              T(RptInterferenceHint)});
  } else {
    out += T(RptNoInterference);
  }

  out += T(RptLineEnd);
  out += BuildGearReportSection(pinion, T(RptTitlePinion));
  out += T(RptLineEnd);
  out += BuildInternalGearBlock(ring, T(RptTitleRing));
  return out;
}

std::string BuildReportText() {
  switch (static_cast<DisplayKind>(DisplayMode)) {
    case DisplayKind::Pair:
      return BuildPairReport();
    case DisplayKind::Single:
      return BuildGearReportSection(Gear1, T(RptTitleSingle));
    case DisplayKind::PinionRack:
      return BuildRackPairReport();
    case DisplayKind::Internal:
      return BuildInternalPairReport();
    case DisplayKind::Nothing:
      break;
  }
  return std::string();
}

}  // namespace kovrex
