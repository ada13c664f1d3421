// Commands of the Internal tab: read the controls, run the search or build the
// pinion (Gear1) and the ring (RingGear) from the selected row, check the mesh,
// then report and redraw.
#include "app/internal_commands.h"

#include <cmath>
#include <limits>

#include "app/app_state.h"
#include "app/canvas.h"
#include "app/control_store.h"
#include "app/controls.h"
#include "app/gadget_input.h"
#include "app/hub_key_command.h"
#include "app/report.h"
#include "app/services.h"
#include "geometry/arrangement_state.h"
#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "geometry/internal_search.h"
#include "geometry/mesh_penetration.h"
#include "geometry/ring_gear.h"
#include "numbers/number_text.h"
#include "text/texts.h"

namespace kovrex {
namespace {

const InternalCombination* SelectedRow() {
  if (InternalSelectedRow < 0 || InternalSelectedRow >= static_cast<int64_t>(InternalResultList.size()))
    return nullptr;
  return &InternalResultList[static_cast<size_t>(InternalSelectedRow)];
}

std::string RowText(const InternalCombination& r) {
  return FormatNumberTrimmed(r.module) + "\n" + std::to_string(r.teeth1) + "\n" + std::to_string(r.teeth2) + "\n" +
         FormatFixed(3, r.actualRatio) + "\n" + FormatFixed(2, r.ratioDeviationPercent) + "\n" +
         FormatFixed(3, r.profileShiftDifference) + "\n" + FormatFixed(3, r.helixAngleDeg);
}

double BacklashAllowance(double pressureAngleDeg) {
  return GetGadgetNumber(GadgetInternalBacklash) / (2.0 * std::cos(pressureAngleDeg * kDegToRad));
}

// The live inputs next to a stored row may no longer make a pair: a pressure angle
// out of range, a face width of 0, a centre distance the base circles cannot span.
// Such input is rejected like the other unusable inputs: nothing changes.
bool LiveInputsFit(const InternalCombination& row) {
  const double a = GetGadgetNumber(GadgetInternalCentreDistance);
  const double an = GetGadgetNumber(GadgetInternalPressureAngle);
  const double b = GetGadgetNumber(GadgetInternalFaceWidth);
  const double bore = GetGadgetNumber(GadgetInternalPinionBore);
  const double jn = GetGadgetNumber(GadgetInternalBacklash);
  const double x1 = GetGadgetNumber(GadgetInternalX1);
  const double rim = GetGadgetNumber(GadgetInternalRingRim);
  if (!(an >= 10.0 && an <= 35.0) || !(b > 0.0) || !(bore >= 0.0) || !(a > 0.0)) return false;
  if (!std::isfinite(jn) || !std::isfinite(x1) || !std::isfinite(rim)) return false;
  const double beta = row.helixAngleDeg * kDegToRad;
  const double at = std::atan(std::tan(an * kDegToRad) / std::cos(beta));
  const double mt = row.module / std::cos(beta);
  const double rbDifference = static_cast<double>(row.teeth2 - row.teeth1) * mt / 2.0 * std::cos(at);
  return rbDifference / a < 1.0;
}

// to = from, except that to keeps its own outline (the generator rebuilds it).
void CopyAllButOutline(GearRecord& from, GearRecord& to) {
  std::vector<OutlinePolyline> kept = std::move(to.outline);
  std::vector<OutlinePolyline> shown = std::move(from.outline);
  to = from;
  from.outline = std::move(shown);
  to.outline = std::move(kept);
}

}  // namespace

void SearchInternalCombinations(int silent) {
  InternalResultList.clear();
  Controls().ClearItems(GadgetInternalResults);
  InternalSelectedRow = -1;

  InternalSearchInput in;
  in.centreDistance = GetGadgetNumber(GadgetInternalCentreDistance);
  in.ratio = GetGadgetNumber(GadgetInternalRatio);
  in.pressureAngleDeg = GetGadgetNumber(GadgetInternalPressureAngle);
  in.helixAngleDeg = GetGadgetNumber(GadgetInternalHelixAngle);
  in.helixAngleMode = Controls().GetState(GadgetInternalSearchBeta) != 0;
  in.tolerance = GetGadgetNumber(GadgetInternalTolerance) / 100.0;
  in.deltaXMin = GetGadgetNumber(GadgetInternalDeltaXMin);
  in.deltaXMax = GetGadgetNumber(GadgetInternalDeltaXMax);
  in.z1Min = GetGadgetWholeNumber(GadgetInternalZ1Min);
  in.toothDifferenceMin = GetGadgetWholeNumber(GadgetInternalToothDiffMin);
  in.series2 = Controls().GetState(GadgetInternalSeries2) != 0;

  if (!FindInternalCombinations(in, InternalResultList)) {
    if (!silent) Svc().messageBox(MessageIcon::Warning, Tx(TextId::ProductName), Tx(TextId::InternalSearchInvalidInput));
    return;
  }
  for (const auto& row : InternalResultList) Controls().AddItem(GadgetInternalResults, RowText(row));
  if (InternalResultList.empty() && !silent)
    Svc().messageBox(MessageIcon::Info, Tx(TextId::ProductName), Tx(TextId::InternalSearchNoCombinations));
}

int ApplyInternalCombinationRow(int64_t row) {
  if (row < 0 || row >= static_cast<int64_t>(InternalResultList.size())) return 1;
  InternalSelectedRow = row;
  const InternalCombination& r = InternalResultList[static_cast<size_t>(row)];
  const double xMin1 =
      ComputeMinProfileShift(r.teeth1, GetGadgetNumber(GadgetInternalPressureAngle), r.helixAngleDeg);
  const double x1 = MaxDouble(xMin1, 0.0);
  Controls().SetText(GadgetInternalX1,
                     FormatProposedProfileShift(x1, xMin1, std::numeric_limits<double>::infinity()));
  DriveAngle = 0.0;
  ComputeInternalPairFromSelection(1);
  return 0;
}

void ComputeInternalPairFromSelection(int fitView) {
  const InternalCombination* row = SelectedRow();
  if (row == nullptr || !LiveInputsFit(*row)) return;

  InternalCentreDistance = GetGadgetNumber(GadgetInternalCentreDistance);
  InternalDeltaX = row->profileShiftDifference;
  const double x1 = GetGadgetNumber(GadgetInternalX1);
  Controls().SetText(GadgetInternalX2Text, std::string(Tx(TextId::InternalX2Prefix)) + FormatFixed(4, x1 + InternalDeltaX));

  const double an = GetGadgetNumber(GadgetInternalPressureAngle);
  InitGearParams(Gear1, row->module, row->teeth1, x1, an, GetGadgetNumber(GadgetInternalFaceWidth),
                 GetGadgetNumber(GadgetInternalPinionBore), 0.0, row->helixAngleDeg,
                 GetSignFromOption(GadgetInternalHand));
  Gear1.thicknessAllowance = BacklashAllowance(an);
  ComputeExternalGearGeometry(Gear1, /*detail=*/1);
  ComputeHubAndKey(Gear1, 0);
  ComputeRingFromSelection(/*detail=*/1);

  InternalPenetration = -1.0;
  if (Gear1.valid && RingGear.valid) {
    // The check runs on denser scratch copies; the displayed records stay at detail 1.
    // Every tooth is the first one turned, and the check folds the mesh into one
    // pitch, so the copies hold tooth 0 (space 0) alone. They live on between
    // recomputations so that their outlines' storage is refilled, not allocated.
    static GearRecord pinion, ring;
    CopyAllButOutline(Gear1, pinion);
    ComputeExternalGearGeometry(pinion, /*detail=*/3, /*outlineTeeth=*/1);
    GenerateToothProfile(ring, RingGear.normalModule, RingGear.toothCount, RingGear.profileShift,
                         RingGear.pressureAngle * kRadToDeg, RingGear.faceWidth, RingGear.rimWidth,
                         RingGear.thicknessAllowance, RingGear.helixAngle * kRadToDeg, RingGear.hand, /*detail=*/3,
                         RingGear.tipRadiusOverride, /*outlineSpaces=*/1);
    InternalPenetration = ComputeInternalMeshPenetration(pinion, ring, InternalCentreDistance);
  }

  DisplayMode = static_cast<int>(DisplayKind::Internal);
  if (fitView) ZoomToFit();
  RefreshReport();
  RedrawCanvas();
}

int ComputeRingFromSelection(int detail) {
  const double an = GetGadgetNumber(GadgetInternalPressureAngle);
  const double x2 = InternalDeltaX + GetGadgetNumber(GadgetInternalX1);
  const double as = BacklashAllowance(an);
  const InternalCombination* row = SelectedRow();
  if (row == nullptr) return 1;
  const double b = GetGadgetNumber(GadgetInternalFaceWidth);
  const double rim = GetGadgetNumber(GadgetInternalRingRim);
  const int64_t hand = GetSignFromOption(GadgetInternalHand);
  GenerateToothProfile(RingGear, row->module, row->teeth2, x2, an, b, rim, as, row->helixAngleDeg, hand, detail, 0.0);
  if (Controls().GetState(GadgetInternalShortenTip) != 0 && Gear1.valid && RingGear.valid) {
    RingTipLimitRadius = ComputeRingTipLimitRadius(Gear1, RingGear, InternalCentreDistance) + 0.0001 * row->module;
    if (RingGear.tipRadius < RingTipLimitRadius)
      GenerateToothProfile(RingGear, row->module, row->teeth2, x2, an, b, rim, as, row->helixAngleDeg, hand, detail,
                           RingTipLimitRadius);
  }
  return 0;
}

int RebuildRingAtDetail(int detail) {
  // GenerateToothProfile stores every input before it decides whether a ring can
  // be built, so the record always holds what it was last asked for.
  const GearRecord last = RingGear;
  GenerateToothProfile(RingGear, last.normalModule, last.toothCount, last.profileShift,
                       last.pressureAngle * kRadToDeg, last.faceWidth, last.rimWidth, last.thicknessAllowance,
                       last.helixAngle * kRadToDeg, last.hand, detail, last.tipRadiusOverride);
  return 0;
}

}  // namespace kovrex
