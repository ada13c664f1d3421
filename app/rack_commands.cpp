// Commands of the Rack tab: read the controls, build the pinion into Gear1 and the
// rack into Rack, then report and redraw. The geometry itself is in
// geometry/external_gear and geometry/rack_outline.
#include "app/rack_commands.h"

#include <cmath>
#include <cstdint>

#include "app/canvas.h"
#include "app/controls.h"
#include "app/gadget_input.h"
#include "app/hub_key_command.h"
#include "app/report.h"
#include "geometry/arrangement_state.h"
#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "geometry/rack_outline.h"

namespace kovrex {
namespace {

// Half the normal backlash goes to each of pinion and rack, as a thickness
// allowance measured along the pitch line in the normal section.
double BacklashAllowance(double backlash, double pressureAngleDeg) {
  return backlash / (2.0 * std::cos(pressureAngleDeg * kDegToRad));
}

}  // namespace

int ComputeRackFromInputs(int refit) {
  const double m = GetGadgetNumber(GadgetRackModule);
  const long long z = GetGadgetWholeNumber(GadgetRackPinionTeeth);
  const double x = GetGadgetNumber(GadgetRackProfileShift);
  const double an = GetGadgetNumber(GadgetRackPressureAngle);
  const double beta = GetGadgetNumber(GadgetRackHelixAngle);
  const double b = GetGadgetNumber(GadgetRackFaceWidth);
  const double bore = GetGadgetNumber(GadgetRackPinionBore);
  const double jn = GetGadgetNumber(GadgetRackBacklash);
  const long long n = GetGadgetWholeNumber(GadgetRackTeeth);
  const double height = GetGadgetNumber(GadgetRackHeight);

  // Written so that a NaN fails every test. A face width of 0 would give infinite
  // stresses and solids without volume; a negative bore has no meaning.
  if (!(m > 0.0) || !std::isfinite(m) || z < 3 || z > 1000 || !(an >= 10.0 && an <= 35.0) ||
      !(beta >= 0.0 && beta <= 45.0) || n < 1 || n > 2000)
    return 1;
  if (!(b > 0.0) || !std::isfinite(b) || !(bore >= 0.0) || !std::isfinite(bore) || !std::isfinite(x) ||
      !std::isfinite(jn) || !std::isfinite(height))
    return 1;

  InitGearParams(Gear1, m, z, x, an, b, bore, /*tipShortening=*/0.0, beta, GetSignFromOption(GadgetRackHand));
  Gear1.thicknessAllowance = BacklashAllowance(jn, an);
  ComputeExternalGearGeometry(Gear1, /*detail=*/1);
  ComputeHubAndKey(Gear1, /*wheelIndex=*/0);
  BuildRackFromInputs(/*density=*/1);

  const int previous = DisplayMode;
  DisplayMode = static_cast<int>(DisplayKind::PinionRack);
  if (previous != DisplayMode || refit) ZoomToFit();
  RefreshReport();
  RedrawCanvas();
  return 0;
}

int BuildRackFromInputs(int density) {
  const double an = GetGadgetNumber(GadgetRackPressureAngle);
  BuildRackOutline(Rack, GetGadgetNumber(GadgetRackModule), an, GetGadgetNumber(GadgetRackHelixAngle),
                   GetSignFromOption(GadgetRackHand), GetGadgetWholeNumber(GadgetRackTeeth),
                   GetGadgetNumber(GadgetRackHeight), GetGadgetNumber(GadgetRackFaceWidth),
                   BacklashAllowance(GetGadgetNumber(GadgetRackBacklash), an), density);
  return 0;
}

int RebuildRackAtDensity(int density) {
  // BuildRackOutline stores every input before it decides whether a rack can be
  // built, so the record always holds what it was last asked for.
  const GearRecord last = Rack;
  BuildRackOutline(Rack, last.normalModule, last.pressureAngle * kRadToDeg, last.helixAngle * kRadToDeg, last.hand,
                   last.toothCount, last.rackHeight, last.faceWidth, last.thicknessAllowance, density);
  return 0;
}

double ComputeRackPitchLineOffset() { return -(Gear1.pitchRadius + Gear1.profileShift * Gear1.normalModule); }

}  // namespace kovrex
