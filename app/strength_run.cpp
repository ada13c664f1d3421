// The strength run behind the strength window: reads its controls, picks the pair
// that the main window shows, runs the load-capacity core and the key checks, and
// writes the status line, the report and the text of the copy button.
#include "app/strength_run.h"

#include <cmath>
#include <string>

#include "app/app_state.h"
#include "app/control_store.h"
#include "app/controls.h"
#include "app/gadget_input.h"
#include "capacity/key_connection.h"
#include "capacity/load_capacity.h"
#include "capacity/materials.h"
#include "capacity/strength_report.h"
#include "capacity/strength_types.h"
#include "geometry/arrangement_state.h"
#include "geometry/gear_record.h"
#include "geometry/line_of_action.h"
#include "text/texts.h"

namespace kovrex {
namespace {

constexpr double kDefaultElasticModulus = 206000.0;
constexpr double kDefaultPoissonRatio = 0.30;

// The gear-material row chosen in a combo, or -1 when nothing sensible is chosen.
int64_t SelectedMaterialRow(int combo) {
  int64_t row = Controls().GetState(combo);
  return (row >= 0 && row < kGearMaterialCount) ? row : -1;
}

double AtLeastOr(double value, double substitute) { return value > 0.0 ? value : substitute; }

StrengthInput ReadStrengthInput() {
  StrengthInput in;
  in.speed1 = GetGadgetNumber(GadgetSpeedN1);
  const double load = GetGadgetNumber(GadgetLoadValue);
  if (Controls().GetState(GadgetLoadKind) == 0)
    in.torque1 = in.speed1 > 0.0 ? load * 9550.0 / in.speed1 : 0.0;  // P [kW] to T1 [N m]
  else
    in.torque1 = load;
  in.applicationFactor = GetGadgetNumber(GadgetApplicationFactor);
  if (!(in.applicationFactor >= 1.0)) in.applicationFactor = 1.0;
  in.lifeHours = AtLeastOr(GetGadgetNumber(GadgetLifeHours), 1.0);
  in.accuracyGrade = Controls().GetState(GadgetAccuracyClass) + 5;
  in.flankFinish = Controls().GetState(GadgetFlankFinish);
  in.lubrication = Controls().GetState(GadgetLubrication);
  in.minSafetyH = AtLeastOr(GetGadgetNumber(GadgetMinSafetyH), 1.0);
  in.minSafetyF = AtLeastOr(GetGadgetNumber(GadgetMinSafetyF), 1.4);
  const int firstField[2] = {GadgetSigHlim1, GadgetSigHlim2};
  const int combo[2] = {GadgetMaterial1, GadgetMaterial2};
  for (int i = 0; i < 2; ++i) {
    in.sigmaHlim[i] = GetGadgetNumber(firstField[i]);
    in.sigmaFlim[i] = GetGadgetNumber(firstField[i] + 1);
    in.elasticModulus[i] = AtLeastOr(GetGadgetNumber(firstField[i] + 2), kDefaultElasticModulus);
    // Outside (0, 0.5) the elasticity factor turns imaginary or meaningless (nu = 1
    // divides by zero); such a typed value is replaced like an empty modulus.
    double nu = GetGadgetNumber(firstField[i] + 3);
    in.poissonRatio[i] = (nu > 0.0 && nu < 0.5) ? nu : kDefaultPoissonRatio;
    int64_t row = SelectedMaterialRow(combo[i]);
    in.lifeCurveClass[i] = row >= 0 ? GearMaterialTable[row].lifeCurveClass : 0;
  }
  return in;
}

struct SelectedPair {
  const GearRecord* gearB = nullptr;
  ToothKind kind = ToothKind::External;
  double centreDistance = 0.0;
  double epsAlpha = 0.0;
};

// Transverse contact ratio from a line of action: the length of the path of
// contact A..E over the usable flanks, over the transverse base pitch of the
// pinion; 0 where the usable flanks leave no path at all.
double ContactRatioOf(const ContactGeometry& c, const GearRecord& pinion) {
  const double e =
      (c.positionE - c.positionA) / (kPi * pinion.transverseModule * std::cos(pinion.transversePressureAngle));
  return e > 0.0 ? e : 0.0;
}

bool SelectPairByDisplayMode(SelectedPair& pair) {
  ContactGeometry contact;
  switch (static_cast<DisplayKind>(DisplayMode)) {
    case DisplayKind::Pair:
      pair = {&Gear2, ToothKind::External, PairCentreDistance,
              ComputePairContactRatio(Gear1, Gear2, PairCentreDistance)};
      return true;
    case DisplayKind::PinionRack:
      pair = {&Rack, ToothKind::Rack, 0.0, 0.0};
      if (Gear1.valid != 0 && Rack.valid != 0) {
        ComputeRackLineOfAction(Gear1, Rack, contact, /*driveAngle=*/0.0);
        pair.epsAlpha = ContactRatioOf(contact, Gear1);
      }
      return true;
    case DisplayKind::Internal:
      pair = {&RingGear, ToothKind::Ring, InternalCentreDistance, 0.0};
      if (Gear1.valid != 0 && RingGear.valid != 0) {
        ComputeInternalLineOfAction(Gear1, RingGear, contact, InternalCentreDistance, /*driveAngle=*/0.0);
        pair.epsAlpha = ContactRatioOf(contact, Gear1);
      }
      return true;
    default:
      return false;
  }
}

void ShowStatus(const std::string& text, int r, int g, int b) {
  Controls().SetText(GadgetStrengthStatus, text);
  Controls().SetBackgroundColour(GadgetStrengthStatus, r, g, b);
}

// Shaft sizing and key check of gear A and, for the external pair only, gear B;
// the rack and the ring get no shaft-hub connection.
StrengthKeyData ComputeKeyConnections(const SelectedPair& pair, const StrengthInput& in,
                                      const StrengthResult& result) {
  StrengthKeyData keys;
  const double allowableTorsion = GetGadgetNumber(GadgetAllowableTorsion);
  const double shaftYield = GetGadgetNumber(GadgetShaftYield);
  const int64_t keyCount = Controls().GetState(GadgetKeyCount) + 1;
  const double keyLength = GetGadgetNumber(GadgetKeyLength);
  const GearRecord* gears[2] = {&Gear1, pair.gearB};
  const double torque[2] = {in.torque1, in.torque1 * result.ratio};
  const int combo[2] = {GadgetMaterial1, GadgetMaterial2};
  const int count = pair.kind == ToothKind::External ? 2 : 1;
  for (int i = 0; i < count; ++i) {
    keys.present[i] = true;
    keys.keywayWidth[i] = gears[i]->keywayWidth;
    keys.keyHeight[i] = gears[i]->keyHeight;
    CheckKeyConnection(*gears[i], torque[i], in.applicationFactor, allowableTorsion, shaftYield,
                       HubPressureLimit(Controls().GetState(combo[i])), keyCount, keyLength,
                       keys.connection[i]);
  }
  return keys;
}

StrengthHeaderTexts ReadHeaderTexts() {
  ControlStore& c = Controls();
  StrengthHeaderTexts t;
  t.mainReport = c.GetText(GadgetReport);
  t.loadLabel = c.GetText(GadgetLoadLabel);
  t.loadValue = c.GetText(GadgetLoadValue);
  t.speed = c.GetText(GadgetSpeedN1);
  t.lifeHours = c.GetText(GadgetLifeHours);
  t.flankFinish = c.GetText(GadgetFlankFinish);
  t.lubrication = c.GetText(GadgetLubrication);
  const int combo[2] = {GadgetMaterial1, GadgetMaterial2};
  const int field[2] = {GadgetSigHlim1, GadgetSigHlim2};
  for (int i = 0; i < 2; ++i) {
    t.material[i] = c.GetText(combo[i]);
    t.sigmaHlim[i] = c.GetText(field[i]);
    t.sigmaFlim[i] = c.GetText(field[i] + 1);
  }
  return t;
}

}  // namespace

void ComputeStrengthAndReport() {
  if (StrengthWindowOpen == 0) return;
  StrengthResultGlobal = StrengthResult{};
  StrengthInput input = ReadStrengthInput();

  SelectedPair pair;
  if (!SelectPairByDisplayMode(pair)) {
    ShowStatus(Tx(TextId::StrengthNoPairStatus), 225, 225, 230);
    Controls().SetText(GadgetStrengthReport, Tx(TextId::StrengthNoPairReport));
    StrengthReportText.clear();
    return;
  }
  // A contact ratio below 0.5 (or none at all, when the line of action could not be
  // built) is no basis for Z_eps and Y_eps; 0.5 keeps both finite.
  if (!(pair.epsAlpha > 0.5)) pair.epsAlpha = 0.5;

  StrengthResult& result = StrengthResultGlobal;
  if (ComputeStrengthResults(Gear1, *pair.gearB, pair.kind, pair.centreDistance, pair.epsAlpha, input, result) ==
      0) {
    ShowStatus(Tx(TextId::StrengthNotCalculated), 225, 225, 230);
    Controls().SetText(GadgetStrengthReport, result.message);
    StrengthReportText.clear();
    return;
  }

  const StrengthKeyData keys = ComputeKeyConnections(pair, input, result);
  const std::string gearBName = StrengthGearBName(pair.kind);
  const std::string body = BuildStrengthReportBody(result, input, pair.kind, gearBName, keys);
  Controls().SetText(GadgetStrengthReport, body);

  const StrengthStatus status = RateStrengthStatus(result, ComputeOverallMargin(result, input, keys));
  ShowStatus(status.text, status.red, status.green, status.blue);
  StrengthReportText =
      BuildStrengthReportText(BuildStrengthReportHeader(ReadHeaderTexts(), input, gearBName), status, body);
}

}  // namespace kovrex
