// The canvas paint: background, the bodies of the display mode at their
// placements with pitch, base and hub circles, the line-of-action overlay and the
// footer. Everything is clipped in canvas pixels before Cairo sees it.
#include "app/canvas_scenes.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>

#include "app/app_state.h"
#include "app/canvas.h"
#include "app/canvas_clip.h"
#include "app/placements.h"
#include "app/services.h"
#include "geometry/arrangement_state.h"
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

void AddPlacedPolygon(cairo_t* cr, const GearRecord& gear, double cx, double cy, double rotation) {
  const double c = std::cos(rotation);
  const double s = std::sin(rotation);
  size_t count = 0;
  for (const OutlinePolyline& piece : gear.outline) count += piece.points.size();
  CanvasPointList polygon;
  polygon.reserve(count);
  for (const OutlinePolyline& piece : gear.outline)
    for (const OutlinePoint& p : piece.points)
      polygon.push_back(WorldToCanvas(cx + p.x * c - p.y * s, cy + p.x * s + p.y * c));
  AddClippedPolygonToPath(cr, polygon);
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

void DrawFooter(cairo_t* cr, double height) {
  SetCanvasColour(cr, kFooterColour);
  DrawCanvasText(cr, 10.0, height - 24.0, kFooterFontPx, CanvasFooterText());
}

}  // namespace

void (*CanvasPathObserver)(cairo_t* cr) = nullptr;

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
  AddPlacedPolygon(cr, gear, cx, cy, rotation);
  const double radius = gear.isInternal != 0 ? gear.rimRadius : gear.boreDiameter / 2.0;
  if (radius > 0.0) AddCircleBoundary(cr, cx, cy, radius);
}

void DrawGearWithCircles(cairo_t* cr, const GearRecord& gear, const CanvasColour& fill, double cx, double cy,
                         double rotation) {
  if (gear.valid == 0) return;
  cairo_new_path(cr);
  AddGearFillPath(cr, gear, cx, cy, rotation);
  FillKeepingPath(cr, fill);
  StrokeCanvasPath(cr, CanvasStroke::Outline);

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
  AddPlacedPolygon(cr, rack, dx, dy, 0.0);
  FillKeepingPath(cr, fill);
  StrokeCanvasPath(cr, CanvasStroke::Outline);
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

  bool shown = true;
  switch (static_cast<DisplayKind>(DisplayMode)) {
    case DisplayKind::Pair:
      DrawGearWithCircles(cr, Gear1, kFirstBodyColour, 0.0, 0.0, DriveAngle);
      DrawGearWithCircles(cr, Gear2, kSecondBodyColour, PairCentreDistance, 0.0, ComputeGear2Angle());
      break;
    case DisplayKind::Single:
      DrawGearWithCircles(cr, Gear1, kFirstBodyColour, 0.0, 0.0, DriveAngle);
      break;
    case DisplayKind::PinionRack: {
      const double shift = ComputeRackShift(Gear1, Rack, DriveAngle);
      DrawGearWithCircles(cr, Gear1, kFirstBodyColour, 0.0, 0.0, DriveAngle);
      DrawRackShape(cr, Rack, kSecondBodyColour, shift, RackPitchLineY());
      break;
    }
    case DisplayKind::Internal: {
      BodyPlacement bodies[2];
      ComputeBodyPlacements(bodies);
      DrawGearWithCircles(cr, RingGear, kSecondBodyColour, bodies[0].x, bodies[0].y, bodies[0].rotation);
      DrawGearWithCircles(cr, Gear1, kFirstBodyColour, bodies[1].x, bodies[1].y, bodies[1].rotation);
      break;
    }
    default:
      shown = false;
      SetCanvasColour(cr, kHintColour);
      DrawCanvasText(cr, 20, 20, kHintFontPx, Tx(TextId::CanvasHint));
      break;
  }

  if (shown) {
    DrawRootSectionMarkers(cr);
    DrawFooter(cr, height);
  }
  cairo_restore(cr);
}

}  // namespace kovrex
