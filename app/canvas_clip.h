// The canvas view transform (world millimetres to canvas pixels) and the clipping
// layer under every canvas drawing: polygons, polylines, segments and circles are
// cut to the clip box before they reach Cairo. Not for: styles or what is drawn.
#pragma once

#include <vector>

#include "geometry/line_of_action.h"

typedef struct _cairo cairo_t;

namespace kovrex {

// A point in canvas pixels: x to the right, y downwards.
struct CanvasPoint {
  double x = 0.0;
  double y = 0.0;
};
using CanvasPointList = std::vector<CanvasPoint>;

// x' = W/2 + (x - PanX)·zoom, y' = H/2 - (y - PanY)·zoom.
CanvasPoint WorldToCanvas(double x, double y);

// Clip box: the canvas grown by 40 pixels on every side.
void SetCanvasClipBox(double width, double height);
// Bounds included; a NaN coordinate is outside.
bool IsPointInClipRect(const CanvasPoint& p);
// Edge 0: x >= ClipXMin, 1: x <= ClipXMax, 2: y >= ClipYMin, 3: y <= ClipYMax.
bool IsInsideClipEdge(const CanvasPoint& p, int edge);
CanvasPoint IntersectSegmentWithClipEdge(const CanvasPoint& p0, const CanvasPoint& p1, int edge);

// Sutherland-Hodgman against the clip box; adds the result as a closed sub-path
// when at least 3 points remain. The list is replaced by the clipped polygon.
// Non-finite points are dropped first.
void AddClippedPolygonToPath(cairo_t* cr, CanvasPointList& polygon);

// Liang-Barsky: false when nothing of p0-p1 lies in the clip box (also for a
// non-finite end point); sets ClipT0, ClipT1 to the visible parameter range.
bool ClipSegmentToViewRect(const CanvasPoint& p0, const CanvasPoint& p1);
// pen: 1 when the path currently ends at p; updated for the next segment.
void AddClippedSegmentToPath(cairo_t* cr, const CanvasPoint& p, const CanvasPoint& q, int& pen);
// Segment by segment; closed adds the segment from the last point back to the
// first, without a close_path.
void AddPolylineToPath(cairo_t* cr, const CanvasPointList& points, bool closed);
void AddSegmentToPath(cairo_t* cr, double x1, double y1, double x2, double y2);

CanvasPoint LineOfActionPointToCanvas(const ContactGeometry& g, double s);
void AddLineOfActionSegmentToPath(cairo_t* cr, const ContactGeometry& g, double s1, double s2);

// Canvas points of the circle (centre and radius in mm), or of the arc of it
// that can reach the clip box; addCentre appends the centre (a sector for
// filling) unless the whole circle is returned. False when nothing can be visible.
bool BuildVisibleCircleArc(CanvasPointList& out, bool addCentre, double cx, double cy, double radius);
// The circle as a closed polyline, or its visible arc as an open one.
void AddCircleToPath(cairo_t* cr, double cx, double cy, double radius);

}  // namespace kovrex
