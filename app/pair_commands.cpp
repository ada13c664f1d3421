// Commands of the Pair and Single tabs. They read the controls, leave the
// calculation to the geometry layer and write the results back; input that cannot
// make a gear is rejected without a message and leaves everything as it was.
#include "app/pair_commands.h"

#include <cmath>
#include <string>

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
#include "geometry/pair_search.h"
#include "numbers/number_text.h"
#include "text/texts.h"

namespace kovrex {

namespace {

const PairCombination* SelectedPairRow() {
  if (PairSelectedRow < 0 || PairSelectedRow >= static_cast<int64_t>(PairResultList.size())) return nullptr;
  return &PairResultList[static_cast<size_t>(PairSelectedRow)];
}

bool PressureAngleInRange(double deg) { return deg >= 10.0 && deg <= 35.0; }

// A face width of 0 gives infinite stresses and solids without volume, a negative
// one inside-out solids; a negative bore has no meaning.
bool BodyInputsUsable(double faceWidth, double bore) {
  return faceWidth > 0.0 && std::isfinite(faceWidth) && bore >= 0.0 && std::isfinite(bore);
}

double BaseRadiusOf(double m, int64_t z, double alphaNDeg, double betaDeg) {
  const double beta = betaDeg * kDegToRad;
  const double alphaT = std::atan(std::tan(alphaNDeg * kDegToRad) / std::cos(beta));
  return static_cast<double>(z) * m / std::cos(beta) / 2.0 * std::cos(alphaT);
}

// Every number the pair takes from the controls, read once.
struct PairInputs {
  double centreDistance;
  double pressureAngleDeg;
  int64_t hand;
  double x1;
  double faceWidth;
  double backlash;
  double bore1, bore2;
};

PairInputs ReadPairInputs() {
  PairInputs in;
  in.centreDistance = GetGadgetNumber(GadgetPairCentreDistance);
  in.pressureAngleDeg = GetGadgetNumber(GadgetPairPressureAngle);
  in.hand = GetSignFromOption(GadgetPairHand);
  in.x1 = GetGadgetNumber(GadgetPairX1);
  in.faceWidth = GetGadgetNumber(GadgetPairFaceWidth);
  in.backlash = GetGadgetNumber(GadgetPairBacklash);
  in.bore1 = GetGadgetNumber(GadgetPairBore1);
  in.bore2 = GetGadgetNumber(GadgetPairBore2);
  return in;
}

// The row was found for the centre distance and pressure angle of its search; the
// fields may have been edited since. When the base circles no longer fit inside the
// centre distance there is no working pressure angle, and every number after it
// would be NaN.
bool PairInputsFitRow(const PairInputs& in, const PairCombination& row) {
  if (!PressureAngleInRange(in.pressureAngleDeg)) return false;
  if (!BodyInputsUsable(in.faceWidth, in.bore1) || !BodyInputsUsable(in.faceWidth, in.bore2)) return false;
  if (!std::isfinite(in.x1) || !std::isfinite(in.backlash)) return false;
  if (!(in.centreDistance > 0.0) || !std::isfinite(in.centreDistance)) return false;
  const double rbSum = BaseRadiusOf(row.module, row.teeth1, in.pressureAngleDeg, row.helixAngleDeg) +
                       BaseRadiusOf(row.module, row.teeth2, in.pressureAngleDeg, row.helixAngleDeg);
  return rbSum / in.centreDistance < 1.0;
}

// Backlash share of each gear: the two thinner teeth together leave the normal
// backlash jn.
double BacklashAllowance(double backlash, double pressureAngleDeg) {
  return backlash / (2.0 * std::cos(pressureAngleDeg * kDegToRad));
}

}  // namespace

void SearchPairCombinations() {
  PairResultList.clear();
  Controls().ClearItems(GadgetPairResults);
  PairSelectedRow = -1;

  PairSearchInput in;
  in.centreDistance = GetGadgetNumber(GadgetPairCentreDistance);
  in.ratio = GetGadgetNumber(GadgetPairRatio);
  in.pressureAngleDeg = GetGadgetNumber(GadgetPairPressureAngle);
  in.helixAngleDeg = GetGadgetNumber(GadgetPairHelixAngle);
  in.searchHelixAngle = Controls().GetState(GadgetPairSearchBeta) != 0;
  in.tolerancePercent = GetGadgetNumber(GadgetPairTolerance);
  in.sumXMin = GetGadgetNumber(GadgetPairSumXMin);
  in.sumXMax = GetGadgetNumber(GadgetPairSumXMax);
  in.minTeeth = GetGadgetWholeNumber(GadgetPairZMin);
  in.includeSeries2 = Controls().GetState(GadgetPairSeries2) != 0;

  if (!PairSearchInputIsValid(in)) {
    Svc().messageBox(MessageIcon::Warning, Tx(TextId::ProductName), Tx(TextId::PairSearchInvalidInput));
    return;
  }
  PairResultList = SearchPairCombinationRows(in);
  for (const PairCombination& row : PairResultList)
    Controls().AddItem(GadgetPairResults, FormatPairCombinationRow(row));
  if (PairResultList.empty()) {
    const TextId text =
        in.searchHelixAngle ? TextId::PairSearchNoCombinationsHelix : TextId::PairSearchNoCombinationsShift;
    Svc().messageBox(MessageIcon::Info, Tx(TextId::ProductName), Tx(text));
  }
}

int SelectPairCombination(int64_t row) {
  const double alphaDeg = GetGadgetNumber(GadgetPairPressureAngle);
  if (row < 0 || row >= static_cast<int64_t>(PairResultList.size())) return 1;
  PairSelectedRow = row;
  const PairCombination& r = PairResultList[static_cast<size_t>(row)];

  // Split the shift sum so that neither gear is undercut where the sum allows it:
  // the smaller gear is served first, the larger one may then take its share back.
  const double sumX = r.profileShiftSum;
  const double xMin1 = ComputeMinProfileShift(r.teeth1, alphaDeg, r.helixAngleDeg);
  const double xMin2 = ComputeMinProfileShift(r.teeth2, alphaDeg, r.helixAngleDeg);
  double x1 = sumX / 2.0;
  if (xMin1 > sumX / 2.0 && xMin2 <= sumX - xMin1) x1 = xMin1;
  if (xMin2 > sumX - x1 && xMin1 <= sumX - xMin2) x1 = sumX - xMin2;
  if (std::isfinite(x1)) Controls().SetText(GadgetPairX1, FormatProposedProfileShift(x1, xMin1, sumX - xMin2));

  DriveAngle = 0.0;
  ComputePairFromSelection(/*refit=*/true);
  return 0;
}

int ComputePairFromSelection(bool refit) {
  const PairCombination* row = SelectedPairRow();
  if (row == nullptr) return 1;
  const PairInputs in = ReadPairInputs();
  if (!PairInputsFitRow(in, *row)) return 1;

  const double m = row->module;
  const double sumX = row->profileShiftSum;
  const double x2 = sumX - in.x1;
  // Tip shortening shared by both gears: keeps the tip clearance of 0.25 m at the
  // working centre distance, which is smaller than the reference distance plus
  // sum x * m.
  double k = static_cast<double>(row->teeth1 + row->teeth2) / (2.0 * std::cos(row->helixAngleDeg * kDegToRad)) +
             sumX - in.centreDistance / m;
  if (k < 0.0) k = 0.0;
  if (!std::isfinite(k) || !std::isfinite(x2)) return 1;

  PairCentreDistance = in.centreDistance;
  Controls().SetText(GadgetPairX2Text, std::string(Tx(TextId::PairX2Prefix)) + FormatFixed(4, x2));

  InitGearParams(Gear1, m, row->teeth1, in.x1, in.pressureAngleDeg, in.faceWidth, in.bore1, k, row->helixAngleDeg,
                 in.hand);
  InitGearParams(Gear2, m, row->teeth2, x2, in.pressureAngleDeg, in.faceWidth, in.bore2, k, row->helixAngleDeg,
                 -in.hand);
  const double allowance = BacklashAllowance(in.backlash, in.pressureAngleDeg);
  Gear1.thicknessAllowance = allowance;
  Gear2.thicknessAllowance = allowance;
  ComputeExternalGearGeometry(Gear1, /*detail=*/1);
  ComputeExternalGearGeometry(Gear2, /*detail=*/1);
  ComputeHubAndKey(Gear1, 0);
  ComputeHubAndKey(Gear2, 1);

  DisplayMode = static_cast<int>(DisplayKind::Pair);
  if (refit) ZoomToFit();
  RefreshReport();
  RedrawCanvas();
  return 0;
}

int ComputeSingleGearFromInputs(bool refit) {
  const double m = GetGadgetNumber(GadgetSingleModule);
  const long long z = GetGadgetWholeNumber(GadgetSingleTeeth);
  const double alphaDeg = GetGadgetNumber(GadgetSinglePressureAngle);
  const double betaDeg = GetGadgetNumber(GadgetSingleHelixAngle);
  const double x = GetGadgetNumber(GadgetSingleProfileShift);
  const double faceWidth = GetGadgetNumber(GadgetSingleFaceWidth);
  const double allowance = GetGadgetNumber(GadgetSingleThicknessAllowance);
  const double bore = GetGadgetNumber(GadgetSingleBore);
  if (!(m > 0.0) || !std::isfinite(m) || z < 3 || z > 1000 || !PressureAngleInRange(alphaDeg) ||
      !(betaDeg >= 0.0 && betaDeg <= 45.0))
    return 1;
  if (!BodyInputsUsable(faceWidth, bore) || !std::isfinite(x) || !std::isfinite(allowance)) return 1;

  InitGearParams(Gear1, m, z, x, alphaDeg, faceWidth, bore, /*tipShortening=*/0.0, betaDeg,
                 GetSignFromOption(GadgetSingleHand));
  Gear1.thicknessAllowance = allowance;
  ComputeExternalGearGeometry(Gear1, /*detail=*/1);
  ComputeHubAndKey(Gear1, 0);

  const bool wasSingle = DisplayMode == static_cast<int>(DisplayKind::Single);
  DisplayMode = static_cast<int>(DisplayKind::Single);
  if (!wasSingle || refit) ZoomToFit();
  RefreshReport();
  RedrawCanvas();
  return 0;
}

}  // namespace kovrex
