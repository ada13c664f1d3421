// Where each body of the displayed arrangement lies and how it is turned for the
// current DriveAngle: one rule set shared by the canvas and the export, computed
// at each use (nothing is stored). Also the red critical root-section marks.
#pragma once

#include "capacity/strength_types.h"
#include "geometry/gear_record.h"

typedef struct _cairo cairo_t;

namespace kovrex {

// One body as drawn: its axis (a rack: the shift of its own frame) and its
// rotation about its own origin (a rack is never turned).
struct BodyPlacement {
  const GearRecord* body = nullptr;
  double x = 0.0, y = 0.0;  // mm
  double rotation = 0.0;    // rad, counter-clockwise
};

// The bodies of DisplayMode in drawing order (mode 4: the ring first, under the
// pinion). Returns how many were written (0, 1 or 2); validity is not checked.
int ComputeBodyPlacements(BodyPlacement placements[2]);

// Rotation of Gear2 in the external pair: pi + pi/z2 - DriveAngle·z1/z2, so that a
// tooth space of gear 2 faces tooth 0 of gear 1 at DriveAngle 0.
double ComputeGear2Angle();

// x shift of the rack's own frame for the pinion turned by t: the rolled arc length
// brought back by whole multiples of max(1, n div 4) pitches, less (n div 2)
// pitches to centre the rack under the pinion. 0 for a rack without a pitch.
double ComputeRackShift(const GearRecord& pinion, const GearRecord& rack, double t);

// The two critical root sections of the last strength run, while the strength
// window is open, for spur arrangements only.
void DrawRootSectionMarkers(cairo_t* cr);
// kind 0 external gear, 1 ring, 2 rack; (x0, y0) the body's axis or the centre of
// the rack's first tooth on its pitch line; a the direction of the tooth centre line.
void DrawRootSectionMarker(cairo_t* cr, const RootSectionResult& section, int kind, double x0, double y0,
                           double a);

}  // namespace kovrex
