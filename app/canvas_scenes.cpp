// The canvas paint: background, the bodies of the display mode at their
// placements with pitch, base and hub circles, the line-of-action overlay and the
// footer. Everything is clipped in canvas pixels before Cairo sees it.
#include "app/canvas_scenes.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

#include "app/app_state.h"
#include "app/canvas.h"
#include "app/canvas_band.h"
#include "app/canvas_clip.h"
#include "app/control_store.h"
#include "app/outline_simplify.h"
#include "app/controls.h"
#include "app/placements.h"
#include "app/services.h"
#include "geometry/arrangement_state.h"
#include "geometry/bore_outline.h"
#include "numbers/number_text.h"
#include "text/texts.h"

namespace kovrex {

namespace {

enum class DashKind { Solid, Dashed, Dotted };

struct StrokeStyle {
  CanvasStroke style;
  CanvasColour colour;
  DashKind dash;
  double period;  // dash length or dot spacing [px]
  double width;   // [px]
};

constexpr StrokeStyle kStrokeStyles[] = {
    {CanvasStroke::Outline, {30, 30, 40, 255}, DashKind::Solid, 0.0, 1.2},
    {CanvasStroke::PitchCircle, {0, 60, 200, 220}, DashKind::Dashed, 8.0, 1.0},
    {CanvasStroke::BaseCircle, {0, 150, 60, 160}, DashKind::Dotted, 4.0, 1.0},
    {CanvasStroke::HubCircle, {90, 90, 90, 200}, DashKind::Dashed, 5.0, 1.2},
    {CanvasStroke::CentreCross, {200, 0, 0, 160}, DashKind::Dashed, 10.0, 1.0},
    {CanvasStroke::OperatingPitch, {150, 0, 180, 200}, DashKind::Dashed, 4.0, 1.0},
    {CanvasStroke::WholeLineOfAction, {80, 80, 90, 220}, DashKind::Solid, 0.0, 1.0},
    {CanvasStroke::PathOfContact, {220, 40, 150, 230}, DashKind::Solid, 0.0, 4.0},
    {CanvasStroke::SingleContact, {200, 0, 0, 255}, DashKind::Solid, 0.0, 4.0},
    {CanvasStroke::ContactPointOutline, {0, 60, 20, 255}, DashKind::Solid, 0.0, 1.2},
    {CanvasStroke::RootSection, {220, 0, 0, 255}, DashKind::Solid, 0.0, 2.5},
};

constexpr CanvasColour kContactPointFill{0, 170, 70, 255};
constexpr CanvasColour kLabelColour{40, 40, 50, 255};
constexpr CanvasColour kLegendColour{60, 60, 70, 255};
constexpr CanvasColour kHintColour{120, 120, 130, 255};
constexpr CanvasColour kFooterColour{90, 90, 100, 255};

constexpr double kLabelFontPx = 13.0;
constexpr double kLegendFontPx = 13.0;
constexpr double kHintFontPx = 16.0;
constexpr double kFooterFontPx = 13.0;
constexpr double kContactPointRadius = 5.5;
constexpr double kLabelDotRadius = 3.5;

// Fill keeping the path for the outline stroke that follows.
void FillKeepingPath(cairo_t* cr, const CanvasColour& colour) {
  if (CanvasPathObserver != nullptr) CanvasPathObserver(cr);
  SetCanvasColour(cr, colour);
  cairo_fill_preserve(cr);
}

void FillPath(cairo_t* cr, const CanvasColour& colour) {
  FillKeepingPath(cr, colour);
  cairo_new_path(cr);
}

void FillCircle(cairo_t* cr, const CanvasPoint& c, double radius) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, c.x, c.y, radius, 0.0, 2.0 * kPi);
  cairo_close_path(cr);
}

// Points of the body's own frame placed at (cx, cy) turned by rotation, mapped
// to the canvas and appended.
void AppendPlacedPoints(CanvasPointList& out, const std::vector<OutlinePoint>& points, double cx, double cy,
                        double c, double s) {
  for (const OutlinePoint& p : points) out.push_back(WorldToCanvas(cx + p.x * c - p.y * s, cy + p.x * s + p.y * c));
}

// The outline as the screen needs it: all pieces in order as one polygon, thinned
// to a tenth of a pixel at the current zoom. A fitted gear of 400 teeth holds some
// fifteen generated points per pixel, and Cairo pays for every segment it fills
// and strokes; a tenth of a pixel leaves the rasterised edge as it was. Turning and
// moving keep distances, so one thinned copy serves every drive angle and pan:
// it is rebuilt only when the zoom or the generated points change.
constexpr double kOutlineTolerancePx = 0.1;

struct ThinnedOutline {
  size_t count = 0;
  uint64_t fingerprint = 0;
  double tolerance = -1.0;
  std::vector<OutlinePoint> points;
};

uint64_t OutlineFingerprint(const GearRecord& gear, size_t& count) {
  uint64_t h = 1469598103934665603ull;
  count = 0;
  for (const OutlinePolyline& piece : gear.outline) {
    for (const OutlinePoint& p : piece.points) {
      h = (h ^ std::bit_cast<uint64_t>(p.x)) * 1099511628211ull;
      h = (h ^ std::bit_cast<uint64_t>(p.y)) * 1099511628211ull;
    }
    count += piece.points.size();
    h = (h ^ count) * 1099511628211ull;
  }
  return h;
}

const std::vector<OutlinePoint>& ScreenOutline(const GearRecord& gear) {
  // A pair or an internal pair draws two outlines per frame; four slots also
  // keep the previous arrangement while the user switches back and forth.
  static ThinnedOutline cache[4];
  static size_t next = 0;
  const double tolerance = kOutlineTolerancePx / ZoomPxPerMm;
  size_t count = 0;
  const uint64_t fingerprint = OutlineFingerprint(gear, count);
  for (const ThinnedOutline& t : cache)
    if (t.count == count && t.fingerprint == fingerprint && t.tolerance == tolerance) return t.points;
  ThinnedOutline& t = cache[next];
  next = (next + 1) % 4;
  t.count = count;
  t.fingerprint = fingerprint;
  t.tolerance = tolerance;
  t.points.clear();
  t.points.reserve(count);
  for (const OutlinePolyline& piece : gear.outline) t.points.insert(t.points.end(), piece.points.begin(), piece.points.end());
  if (std::isfinite(tolerance)) SimplifyClosedOutline(t.points, tolerance);
  return t.points;
}

void AddPlacedPolygon(cairo_t* cr, const std::vector<OutlinePoint>& points, double cx, double cy,
                      double rotation) {
  CanvasPointList polygon;
  polygon.reserve(points.size());
  AppendPlacedPoints(polygon, points, cx, cy, std::cos(rotation), std::sin(rotation));
  AddClippedPolygonToPath(cr, polygon);
}

void AddPlacedOutline(cairo_t* cr, const GearRecord& gear, double cx, double cy, double rotation) {
  AddPlacedPolygon(cr, ScreenOutline(gear), cx, cy, rotation);
}

// A full circle as the inner boundary of the even-odd fill. When its line cannot
// show, the box is either wholly outside the circle (nothing to cut) or wholly
// inside it, where the box rectangle stands for the circle.
void AddCircleBoundary(cairo_t* cr, double cx, double cy, double radius) {
  CanvasPointList points;
  if (BuildVisibleCircleArc(points, /*addCentre=*/true, cx, cy, radius)) {
    AddClippedPolygonToPath(cr, points);
    return;
  }
  const CanvasPoint c = WorldToCanvas(cx, cy);
  const double mx = (ClipXMin + ClipXMax) / 2.0;
  const double my = (ClipYMin + ClipYMax) / 2.0;
  if (std::hypot(c.x - mx, c.y - my) < radius * ZoomPxPerMm) {
    CanvasPointList box{{ClipXMin, ClipYMin}, {ClipXMax, ClipYMin}, {ClipXMax, ClipYMax}, {ClipXMin, ClipYMax}};
    AddClippedPolygonToPath(cr, box);
  }
}

// The outline of a body after its fill, on the same path (see canvas_band.h).
void StrokeBodyOutline(cairo_t* cr) {
  if (CanvasOutlinesByCairoStroker) {
    StrokeCanvasPath(cr, CanvasStroke::Outline);
    return;
  }
  if (CanvasPathObserver != nullptr) CanvasPathObserver(cr);
  SetCanvasStroke(cr, CanvasStroke::Outline);
  if (!FillOutlineBand(cr, cairo_get_line_width(cr))) cairo_stroke(cr);
}

void DrawFooter(cairo_t* cr, double height) {
  SetCanvasColour(cr, kFooterColour);
  DrawCanvasText(cr, 10.0, height - 24.0, kFooterFontPx, CanvasFooterText());
}

}  // namespace

void (*CanvasPathObserver)(cairo_t* cr) = nullptr;
bool CanvasOutlinesByCairoStroker = false;

std::string CanvasFooterText() {
  return std::string(Tx(TextId::CanvasFooterStart)) + FormatFixed(2, ZoomPxPerMm) + Tx(TextId::CanvasFooterEnd);
}

void StrokeCanvasPath(cairo_t* cr, CanvasStroke style) {
  if (CanvasPathObserver != nullptr) CanvasPathObserver(cr);
  SetCanvasStroke(cr, style);
  cairo_stroke(cr);
}

void SetCanvasColour(cairo_t* cr, const CanvasColour& c) {
  cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, c.a / 255.0);
}

void SetCanvasStroke(cairo_t* cr, CanvasStroke style) {
  for (const StrokeStyle& s : kStrokeStyles) {
    if (s.style != style) continue;
    SetCanvasColour(cr, s.colour);
    cairo_set_line_width(cr, s.width);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    switch (s.dash) {
      case DashKind::Solid:
        cairo_set_dash(cr, nullptr, 0, 0.0);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
        break;
      case DashKind::Dashed: {
        const double pattern[1] = {s.period};
        cairo_set_dash(cr, pattern, 1, 0.0);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
        break;
      }
      case DashKind::Dotted: {
        // A zero-length dash with square caps is a square dot of the line width.
        const double pattern[2] = {0.0, s.period};
        cairo_set_dash(cr, pattern, 2, 0.0);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
        break;
      }
    }
    return;
  }
}

void DrawCanvasText(cairo_t* cr, double x, double y, double sizePx, const std::string& text) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoFontDescription* font = pango_font_description_from_string("Sans");
  pango_font_description_set_absolute_size(font, sizePx * PANGO_SCALE);
  pango_layout_set_font_description(layout, font);
  pango_layout_set_text(layout, text.c_str(), -1);
  cairo_new_path(cr);
  cairo_move_to(cr, x, y);
  pango_cairo_show_layout(cr, layout);
  cairo_new_path(cr);
  pango_font_description_free(font);
  g_object_unref(layout);
}

void AddGearFillPath(cairo_t* cr, const GearRecord& gear, double cx, double cy, double rotation) {
  AddPlacedOutline(cr, gear, cx, cy, rotation);
  const bool ring = gear.isInternal != 0;
  const double radius = ring ? gear.rimRadius : gear.boreDiameter / 2.0;
  if (!(radius > 0.0)) return;
  if (!ring && HasKeyway(gear)) {
    // A quarter-pixel chord error at this zoom: the polygon is as fine as the
    // screen needs and no finer.
    std::vector<OutlinePoint> bore;
    BuildBoreOutline(gear, bore, 0.25 / ZoomPxPerMm);
    AddPlacedPolygon(cr, bore, cx, cy, rotation);
    return;
  }
  AddCircleBoundary(cr, cx, cy, radius);
}

void DrawGearWithCircles(cairo_t* cr, const GearRecord& gear, const CanvasColour& fill, double cx, double cy,
                         double rotation) {
  if (gear.valid == 0) return;
  cairo_new_path(cr);
  AddGearFillPath(cr, gear, cx, cy, rotation);
  FillKeepingPath(cr, fill);
  StrokeBodyOutline(cr);

  AddCircleToPath(cr, cx, cy, gear.pitchRadius);
  StrokeCanvasPath(cr, CanvasStroke::PitchCircle);
  AddCircleToPath(cr, cx, cy, gear.baseRadius);
  StrokeCanvasPath(cr, CanvasStroke::BaseCircle);
  if (HasHub(gear)) {
    AddCircleToPath(cr, cx, cy, gear.hubDiameter / 2.0);
    StrokeCanvasPath(cr, CanvasStroke::HubCircle);
  }
  const CanvasPoint c = WorldToCanvas(cx, cy);
  const double rim = gear.isInternal != 0 ? gear.rimRadius : 0.0;
  const double l = (std::max(gear.tipRadius, rim) + 2.0 * gear.normalModule) * ZoomPxPerMm;
  AddSegmentToPath(cr, c.x - l, c.y, c.x + l, c.y);
  AddSegmentToPath(cr, c.x, c.y - l, c.x, c.y + l);
  StrokeCanvasPath(cr, CanvasStroke::CentreCross);
}

void DrawRackShape(cairo_t* cr, const GearRecord& rack, const CanvasColour& fill, double dx, double dy) {
  if (rack.valid == 0) return;
  cairo_new_path(cr);
  AddPlacedOutline(cr, rack, dx, dy, 0.0);
  FillKeepingPath(cr, fill);
  StrokeBodyOutline(cr);
  const CanvasPoint a = WorldToCanvas(dx, dy);
  const CanvasPoint b = WorldToCanvas(dx + rack.rackLength, dy);
  AddSegmentToPath(cr, a.x, a.y, b.x, b.y);
  StrokeCanvasPath(cr, CanvasStroke::PitchCircle);
}

void DrawLabeledPoint(cairo_t* cr, const ContactGeometry& g, double s, const std::string& label) {
  const CanvasPoint p = LineOfActionPointToCanvas(g, s);
  if (!IsPointInClipRect(p)) return;
  cairo_new_path(cr);
  FillCircle(cr, p, kLabelDotRadius);
  FillPath(cr, kLabelColour);
  // 9 px off the line on the side of its normal (dy, dx) in canvas axes, 2 px up.
  DrawCanvasText(cr, p.x + 9.0 * g.directionY, p.y + 9.0 * g.directionX - 2.0, kLabelFontPx, label);
}

void DrawLineOfAction(cairo_t* cr, const ContactGeometry& g, const std::string& label) {
  const double t2 = g.lineLength;
  const double a = g.positionA, b = g.positionB, c = g.positionC, d = g.positionD, e = g.positionE;
  cairo_new_path(cr);
  AddLineOfActionSegmentToPath(cr, g, std::min(t2, 0.0), std::max(e, t2));
  StrokeCanvasPath(cr, CanvasStroke::WholeLineOfAction);
  AddLineOfActionSegmentToPath(cr, g, a, e);
  StrokeCanvasPath(cr, CanvasStroke::PathOfContact);
  if (d > b) {
    AddLineOfActionSegmentToPath(cr, g, std::max(a, b), std::min(d, e));
    StrokeCanvasPath(cr, CanvasStroke::SingleContact);
  }

  DrawLabeledPoint(cr, g, 0.0, Tx(TextId::CanvasLabelT1));
  if (!label.empty()) DrawLabeledPoint(cr, g, t2, label);
  DrawLabeledPoint(cr, g, a, Tx(TextId::CanvasLabelA));
  DrawLabeledPoint(cr, g, c, Tx(TextId::CanvasLabelC));
  DrawLabeledPoint(cr, g, e, Tx(TextId::CanvasLabelE));
  if (a < b && b < e) DrawLabeledPoint(cr, g, b, Tx(TextId::CanvasLabelB));
  if (a < d && d < e) DrawLabeledPoint(cr, g, d, Tx(TextId::CanvasLabelD));

  const int64_t count = std::clamp<int64_t>(g.contactCount, 0, 4);
  for (int64_t i = 0; i < count; ++i) {
    const CanvasPoint p = LineOfActionPointToCanvas(g, g.contactPositions[i]);
    if (!IsPointInClipRect(p)) continue;
    cairo_new_path(cr);
    FillCircle(cr, p, kContactPointRadius);
    FillKeepingPath(cr, kContactPointFill);
    StrokeCanvasPath(cr, CanvasStroke::ContactPointOutline);
  }
}

void DrawLineOfActionLegend(cairo_t* cr, const std::string& circlesText) {
  cairo_new_path(cr);
  cairo_move_to(cr, 12, 10);
  cairo_line_to(cr, 40, 10);
  StrokeCanvasPath(cr, CanvasStroke::PathOfContact);
  SetCanvasColour(cr, kLegendColour);
  DrawCanvasText(cr, 48, 2, kLegendFontPx, Tx(TextId::CanvasLegendContact));

  cairo_move_to(cr, 12, 30);
  cairo_line_to(cr, 40, 30);
  StrokeCanvasPath(cr, CanvasStroke::SingleContact);
  SetCanvasColour(cr, kLegendColour);
  DrawCanvasText(cr, 48, 22, kLegendFontPx, Tx(TextId::CanvasLegendSinglePair));

  FillCircle(cr, {26, 50}, kContactPointRadius);
  FillPath(cr, kContactPointFill);
  SetCanvasColour(cr, kLegendColour);
  DrawCanvasText(cr, 48, 42, kLegendFontPx, std::string(Tx(TextId::CanvasLegendPoints)) + circlesText);
}

void DrawPairScene(cairo_t* cr) {
  ContactGeometry g;
  if (ComputePairLineOfAction(Gear1, Gear2, g, PairCentreDistance, DriveAngle) != 0) return;
  cairo_new_path(cr);
  AddCircleToPath(cr, 0.0, 0.0, g.workingPitchRadius1);
  AddCircleToPath(cr, PairCentreDistance, 0.0, g.workingPitchRadius2);
  StrokeCanvasPath(cr, CanvasStroke::OperatingPitch);
  DrawLineOfAction(cr, g, Tx(TextId::CanvasLabelT2));
  DrawLineOfActionLegend(cr, Tx(TextId::CanvasLegendOperatingCircles));
}

void DrawRackPairScene(cairo_t* cr, double rackShift) {
  ContactGeometry g;
  if (ComputeRackLineOfAction(Gear1, Rack, g, DriveAngle) != 0) return;
  const double r1 = Gear1.pitchRadius;
  cairo_new_path(cr);
  AddCircleToPath(cr, 0.0, 0.0, r1);
  // The rolling line touches the pitch circle; the rack's own pitch line lies
  // x·m lower when the pinion is shifted.
  const CanvasPoint a = WorldToCanvas(rackShift, -r1);
  const CanvasPoint b = WorldToCanvas(rackShift + Rack.rackLength, -r1);
  AddSegmentToPath(cr, a.x, a.y, b.x, b.y);
  StrokeCanvasPath(cr, CanvasStroke::OperatingPitch);
  DrawLineOfAction(cr, g, "");
  DrawLineOfActionLegend(cr, Tx(TextId::CanvasLegendRackCircles));
}

void DrawInternalPairScene(cairo_t* cr) {
  ContactGeometry g;
  ComputeInternalLineOfAction(Gear1, RingGear, g, InternalCentreDistance, DriveAngle);
  // A cleared record (no working pressure angle) has no direction to draw along.
  if (!(g.workingPressureAngle > 0.0)) return;
  cairo_new_path(cr);
  AddCircleToPath(cr, InternalCentreDistance, 0.0, g.workingPitchRadius1);
  AddCircleToPath(cr, 0.0, 0.0, g.workingPitchRadius2);
  StrokeCanvasPath(cr, CanvasStroke::OperatingPitch);
  DrawLineOfAction(cr, g, Tx(TextId::CanvasLabelT2));
  DrawLineOfActionLegend(cr, Tx(TextId::CanvasLegendOperatingCircles));
}

void RedrawCanvas() { Svc().requestCanvasRedraw(); }

void PaintCanvas(cairo_t* cr, int width, int height) {
  if (cr == nullptr || cairo_status(cr) != CAIRO_STATUS_SUCCESS) return;
  cairo_save(cr);
  // The context comes in the canvas control's own pixels (GDK applies any
  // device scale below it), so one drawing unit is one control pixel.
  CanvasPixelScale = 1.0;
  CanvasWidth = width;
  CanvasHeight = height;
  SetCanvasClipBox(width, height);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  SetCanvasColour(cr, kBackgroundColour);
  cairo_paint(cr);

  // The bodies at the placements the export uses too; the ring of an internal
  // pair comes first, under the pinion.
  BodyPlacement bodies[2];
  const int count = ComputeBodyPlacements(bodies);
  for (int i = 0; i < count; ++i) {
    const BodyPlacement& b = bodies[i];
    const CanvasColour& fill = b.body == &Gear1 ? kFirstBodyColour : kSecondBodyColour;
    if (b.body == &Rack)
      DrawRackShape(cr, Rack, fill, b.x, b.y);
    else
      DrawGearWithCircles(cr, *b.body, fill, b.x, b.y, b.rotation);
  }
  const bool shown = count > 0;
  if (!shown) {
    SetCanvasColour(cr, kHintColour);
    DrawCanvasText(cr, 20, 20, kHintFontPx, Tx(TextId::CanvasHint));
  }

  if (Controls().GetState(GadgetLineOfAction) != 0) {
    switch (static_cast<DisplayKind>(DisplayMode)) {
      case DisplayKind::Pair:
        if (Gear1.valid != 0 && Gear2.valid != 0) DrawPairScene(cr);
        break;
      case DisplayKind::PinionRack:
        if (Gear1.valid != 0 && Rack.valid != 0) DrawRackPairScene(cr, bodies[1].x);
        break;
      case DisplayKind::Internal:
        if (Gear1.valid != 0 && RingGear.valid != 0) DrawInternalPairScene(cr);
        break;
      default:
        break;
    }
  }

  if (shown) {
    DrawRootSectionMarkers(cr);
    DrawFooter(cr, height);
  }
  cairo_restore(cr);
}

}  // namespace kovrex
