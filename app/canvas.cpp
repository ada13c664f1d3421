// Zoom to fit: the view that shows the whole arrangement of the display mode on
// the canvas. Not for: drawing (canvas_scenes.cpp) or the mouse zoom and pan.
#include "app/canvas.h"

#include <algorithm>
#include <cmath>

#include "app/app_state.h"
#include "app/control_store.h"
#include "app/controls.h"
#include "app/rack_commands.h"
#include "geometry/arrangement_state.h"
#include "geometry/gear_record.h"

namespace kovrex {

namespace {

struct Box {
  double xmin = 0.0, xmax = 0.0, ymin = 0.0, ymax = 0.0;
};

// Extent in mm of the bodies of the display mode; false for a mode that shows nothing.
bool ArrangementBox(Box& b) {
  switch (static_cast<DisplayKind>(DisplayMode)) {
    case DisplayKind::Pair:
      b.xmin = -Gear1.tipRadius;
      b.xmax = PairCentreDistance + Gear2.tipRadius;
      b.ymax = std::max(Gear1.tipRadius, Gear2.tipRadius);
      b.ymin = -b.ymax;
      return true;
    case DisplayKind::Single:
      b = {-Gear1.tipRadius, Gear1.tipRadius, -Gear1.tipRadius, Gear1.tipRadius};
      return true;
    case DisplayKind::PinionRack: {
      const double halfRack = Rack.rackLength / 2.0 + kPi * Rack.transverseModule;
      b.xmin = std::min(-halfRack, -Gear1.tipRadius);
      b.xmax = std::max(halfRack, Gear1.tipRadius);
      b.ymax = Gear1.tipRadius;
      // The back of the rack, below its pitch line.
      b.ymin = ComputeRackPitchLineOffset() - Rack.rackHeight;
      return true;
    }
    case DisplayKind::Internal: {
      const double r = std::max(RingGear.rimRadius, 1.0);
      b = {-r, r, -r, r};
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

void ZoomToFit() {
  Box b;
  if (!ArrangementBox(b)) return;
  int w = 0, h = 0;
  Controls().GetSize(GadgetCanvas, w, h);
  const double panX = (b.xmin + b.xmax) / 2.0;
  const double panY = (b.ymin + b.ymax) / 2.0;
  if (std::isfinite(panX) && std::isfinite(panY)) {
    PanX = panX;
    PanY = panY;
  }
  const double zoom = std::min((w - 40.0) / (b.xmax - b.xmin), (h - 60.0) / (b.ymax - b.ymin));
  // A box of size 0 gives +inf and a canvas under 40 px a negative zoom: keep
  // the zoom the view has rather than put a non-finite scale on every point.
  if (std::isfinite(zoom) && zoom > 0.0) ZoomPxPerMm = zoom;
}

}  // namespace kovrex
