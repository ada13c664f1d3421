// Body placements for the drive angle, and the root-section marks drawn at them.
// The export reads the same functions, so what is written is what was drawn.
#include "app/placements.h"

#include <cairo.h>

#include <cmath>

#include "app/app_state.h"
#include "app/canvas_clip.h"
#include "app/canvas_scenes.h"
#include "app/rack_commands.h"
#include "geometry/arrangement_state.h"

namespace kovrex {

namespace {

double TeethOf(const GearRecord& g) { return static_cast<double>(g.toothCount); }

double RingAngle() {
  const double z2 = TeethOf(RingGear);
  return z2 > 0.0 ? DriveAngle * TeethOf(Gear1) / z2 : 0.0;
}

}  // namespace

double ComputeGear2Angle() {
  const double z2 = TeethOf(Gear2);
  if (!(z2 > 0.0)) return 0.0;
  return kPi + kPi / z2 - DriveAngle * TeethOf(Gear1) / z2;
}

double ComputeRackShift(const GearRecord& pinion, const GearRecord& rack, double t) {
  const double pt = kPi * rack.normalModule / std::cos(rack.helixAngle);
  const int64_t n = rack.toothCount;
  const int64_t quarter = n / 4;
  const double g = static_cast<double>(quarter > 1 ? quarter : 1) * pt;
  if (!(g > 0.0) || !std::isfinite(g)) return 0.0;
  double s = pinion.pitchRadius * (t + kPi / 2.0);
  if (!std::isfinite(s)) return 0.0;
  s -= g * std::floor((s + g / 2.0) / g);
  // Whole pitches only: the rack's tooth spaces sit at multiples of pt in its own
  // frame, and s puts one under tooth 0 of the pinion. Half a pitch more for an
  // odd n (n/2 as a real number) would put a rack tooth there instead.
  return s - static_cast<double>(n / 2) * pt;
}

int ComputeBodyPlacements(BodyPlacement placements[2]) {
  switch (static_cast<DisplayKind>(DisplayMode)) {
    case DisplayKind::Pair:
      placements[0] = {&Gear1, 0.0, 0.0, DriveAngle};
      placements[1] = {&Gear2, PairCentreDistance, 0.0, ComputeGear2Angle()};
      return 2;
    case DisplayKind::Single:
      placements[0] = {&Gear1, 0.0, 0.0, DriveAngle};
      return 1;
    case DisplayKind::PinionRack:
      placements[0] = {&Gear1, 0.0, 0.0, DriveAngle};
      placements[1] = {&Rack, ComputeRackShift(Gear1, Rack, DriveAngle), ComputeRackPitchLineOffset(), 0.0};
      return 2;
    case DisplayKind::Internal:
      placements[0] = {&RingGear, 0.0, 0.0, RingAngle()};
      placements[1] = {&Gear1, InternalCentreDistance, 0.0, DriveAngle};
      return 2;
    default:
      return 0;
  }
}

void DrawRootSectionMarker(cairo_t* cr, const RootSectionResult& section, int kind, double x0, double y0,
                           double a) {
  if (section.found == 0) return;
  const double w = section.sectionHalfWidth;
  const double p = section.sectionPosition;
  double ax, ay, bx, by;
  if (kind == 2) {
    ax = x0 - w;
    bx = x0 + w;
    ay = by = y0 + p;
  } else {
    // The ring's section position is measured from its centre towards the
    // inside (negative); the tooth centre line of the ring points outwards.
    const double d = kind == 1 ? -p : p;
    const double ux = std::cos(a), uy = std::sin(a);
    const double vx = std::sin(a), vy = -std::cos(a);
    ax = x0 + d * ux - w * vx;
    ay = y0 + d * uy - w * vy;
    bx = x0 + d * ux + w * vx;
    by = y0 + d * uy + w * vy;
  }
  const CanvasPoint pa = WorldToCanvas(ax, ay);
  const CanvasPoint pb = WorldToCanvas(bx, by);
  cairo_new_path(cr);
  AddSegmentToPath(cr, pa.x, pa.y, pb.x, pb.y);
  StrokeCanvasPath(cr, CanvasStroke::RootSection);
}

void DrawRootSectionMarkers(cairo_t* cr) {
  if (StrengthWindowOpen != 1 || StrengthResultGlobal.ok == 0 || Gear1.helixAngle > 1e-9) return;
  // rootSection[0] belongs to Gear1 (the pinion), [1] to the second body.
  const RootSectionResult& first = StrengthResultGlobal.rootSection[0];
  const RootSectionResult& second = StrengthResultGlobal.rootSection[1];
  switch (static_cast<DisplayKind>(DisplayMode)) {
    case DisplayKind::Pair:
      DrawRootSectionMarker(cr, first, 0, 0.0, 0.0, DriveAngle);
      DrawRootSectionMarker(cr, second, 0, PairCentreDistance, 0.0, ComputeGear2Angle());
      break;
    case DisplayKind::PinionRack: {
      const double firstToothCentre = kPi * Rack.transverseModule / 2.0;
      DrawRootSectionMarker(cr, first, 0, 0.0, 0.0, DriveAngle);
      DrawRootSectionMarker(cr, second, 2, ComputeRackShift(Gear1, Rack, DriveAngle) + firstToothCentre,
                            ComputeRackPitchLineOffset(), 0.0);
      break;
    }
    case DisplayKind::Internal: {
      const double z2 = TeethOf(RingGear);
      DrawRootSectionMarker(cr, first, 0, InternalCentreDistance, 0.0, DriveAngle);
      if (z2 > 0.0)
        DrawRootSectionMarker(cr, second, 1, 0.0, 0.0, (DriveAngle * TeethOf(Gear1) - kPi) / z2);
      break;
    }
    default:
      break;
  }
}

}  // namespace kovrex
