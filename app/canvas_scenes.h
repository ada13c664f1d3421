// What the canvas draws: the bodies of each display mode with their circles, the
// line-of-action overlays with legend, texts and the drawing styles. Every shape
// goes through the clippers of canvas_clip.h. Not for: the view fit (canvas.cpp)
// or where the bodies lie (placements.h).
#pragma once

#include <string>

#include "geometry/gear_record.h"
#include "geometry/line_of_action.h"

typedef struct _cairo cairo_t;

namespace kovrex {

struct CanvasColour {
  int r = 0, g = 0, b = 0, a = 255;
};

constexpr CanvasColour kBackgroundColour{250, 250, 252, 255};
constexpr CanvasColour kFirstBodyColour{140, 175, 220, 255};   // gear 1, pinion: blue
constexpr CanvasColour kSecondBodyColour{235, 185, 110, 255};  // gear 2, rack, ring: orange

enum class CanvasStroke {
  Outline,
  PitchCircle,
  BaseCircle,
  HubCircle,
  CentreCross,
  OperatingPitch,
  WholeLineOfAction,
  PathOfContact,
  SingleContact,
  ContactPointOutline,
  RootSection,
};

// Colour, width, dash pattern, cap and join of a stroke style.
void SetCanvasStroke(cairo_t* cr, CanvasStroke style);
// Strokes and clears the current path in the style.
void StrokeCanvasPath(cairo_t* cr, CanvasStroke style);
void SetCanvasColour(cairo_t* cr, const CanvasColour& colour);
// Text with its top left corner at (x, y), Sans at sizePx canvas pixels, in the
// current colour.
void DrawCanvasText(cairo_t* cr, double x, double y, double sizePx, const std::string& text);

// Outline polygon of the gear placed at (cx, cy) turned by rotation, and its bore
// (keyed or plain) or, for a ring, its rim: with the even-odd rule the bore stays
// empty and the ring is filled between teeth and rim.
void AddGearFillPath(cairo_t* cr, const GearRecord& gear, double cx, double cy, double rotation);
void DrawGearWithCircles(cairo_t* cr, const GearRecord& gear, const CanvasColour& fill, double cx, double cy,
                         double rotation);
void DrawRackShape(cairo_t* cr, const GearRecord& rack, const CanvasColour& fill, double dx, double dy);

// The line of action with A-E, B-D, its labelled points and the current contacts;
// label is drawn at T2 unless empty.
void DrawLineOfAction(cairo_t* cr, const ContactGeometry& g, const std::string& label);
void DrawLabeledPoint(cairo_t* cr, const ContactGeometry& g, double s, const std::string& label);
void DrawLineOfActionLegend(cairo_t* cr, const std::string& circlesText);

// Line-of-action overlays of the three meshes, from the global records and the
// current DriveAngle; nothing when the mesh has no line of action.
void DrawPairScene(cairo_t* cr);
void DrawRackPairScene(cairo_t* cr, double rackShift);
void DrawInternalPairScene(cairo_t* cr);

// "Wheel = zoom ... (" + zoom with 2 decimals + " px/mm)".
std::string CanvasFooterText();

// Called with each finished path just before the canvas fills or strokes it, so
// that a test can read the path back; null in the program.
extern void (*CanvasPathObserver)(cairo_t* cr);
// True: body outlines go through cairo_stroke, the slower way that draws the same
// pixels but for the anti-aliased edge; for tests that compare the two. False in
// the program.
extern bool CanvasOutlinesByCairoStroker;

}  // namespace kovrex
