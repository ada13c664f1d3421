// Commands of the Rack tab: the pinion (Gear1) and the rack (Rack) from the tab's
// inputs, and where the rack's pitch line lies under the pinion. Not for: drawing
// or exporting the rack (canvas and export read the records these fill).
#pragma once

namespace kovrex {

// Recomputes pinion and rack, then report and canvas; refit 1 fits the view (it is
// fitted anyway when another arrangement was shown). 1 when the inputs are
// rejected (nothing changes), else 0.
int ComputeRackFromInputs(int refit);

// Builds Rack from the tab's inputs with the given fillet point density (1 screen,
// 4 DXF). Returns 0.
int BuildRackFromInputs(int density);

// Builds Rack again at another density from the values it was last built with, so
// that an export matches the displayed rack even when the fields have changed since
// (or hold values the tab rejected). Returns 0.
int RebuildRackAtDensity(int density);

// y of the rack's pitch line in the pinion's frame (pinion centre at the origin,
// rack below it): -(r + x m) of Gear1, with the entered profile shift.
double ComputeRackPitchLineOffset();

}  // namespace kovrex
