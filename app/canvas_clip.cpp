// View transform and clipping of the canvas. Everything handed to Cairo passes
// through here already cut to the clip box: Cairo keeps coordinates in 24.8 fixed
// point, so an unclipped gear at 100000 px/mm would overflow it and crawl.
#include "app/canvas_clip.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "app/app_state.h"

namespace kovrex {

namespace {

constexpr double kClipMargin = 40.0;
constexpr double kMaxCircleStep = 0.08726646259971647;  // 5 degrees
constexpr double kFullTurnLessEpsilon = 6.283185307178586;
constexpr int kMinCirclePoints = 8;
constexpr int kMaxCirclePoints = 100000;

bool IsFinitePoint(const CanvasPoint& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

double EdgeBound(int edge) {
  switch (edge) {
    case 0: return ClipXMin;
    case 1: return ClipXMax;
    case 2: return ClipYMin;
    default: return ClipYMax;
  }
}

double EdgeCoordinate(const CanvasPoint& p, int edge) { return edge < 2 ? p.x : p.y; }

// One Sutherland-Hodgman pass against one edge of the clip box.
void ClipPolygonAgainstEdge(const CanvasPointList& in, CanvasPointList& out, int edge) {
  out.clear();
  if (in.empty()) return;
  CanvasPoint s = in.back();
  bool sInside = IsInsideClipEdge(s, edge);
  for (const CanvasPoint& p : in) {
    bool pInside = IsInsideClipEdge(p, edge);
    if (pInside) {
      if (!sInside) out.push_back(IntersectSegmentWithClipEdge(s, p, edge));
      out.push_back(p);
    } else if (sInside) {
      out.push_back(IntersectSegmentWithClipEdge(s, p, edge));
    }
    s = p;
    sInside = pInside;
  }
}

struct CircleSampling {
  bool visible = false;
  bool wholeCircle = false;
};

CircleSampling SampleVisibleCircle(CanvasPointList& out, bool addCentre, double cx, double cy,
                                   double radius) {
  out.clear();
  CircleSampling result;
  const double r = radius * ZoomPxPerMm;
  if (!(r > 0.0) || !std::isfinite(r)) return result;
  const CanvasPoint c = WorldToCanvas(cx, cy);
  if (!IsFinitePoint(c)) return result;
  const double mx = (ClipXMin + ClipXMax) / 2.0;
  const double my = (ClipYMin + ClipYMax) / 2.0;
  const double w = ClipXMax - ClipXMin;
  const double h = std::sqrt(w * w + (ClipYMax - ClipYMin) * (ClipYMax - ClipYMin)) / 2.0;
  const double d = std::hypot(c.x - mx, c.y - my);
  // The circle stays outside the circle around the box, or the box lies wholly
  // inside the circle: nothing of the line can show.
  if (std::fabs(d - r) > h) return result;

  const double step = std::min(std::sqrt(2.0 / r), kMaxCircleStep);
  double start = 0.0;
  double sweep = 2.0 * std::numbers::pi;
  result.wholeCircle = r < 4.0 * h;
  if (!result.wholeCircle) {
    // Only the arc facing the box. Its ends lie at least sqrt(3)·h from the box
    // centre, outside the box, so the open ends never show.
    const double theta = std::atan2(c.y - my, mx - c.x);
    start = theta - 2.0 * h / r;
    sweep = 4.0 * h / r;
  } else {
    addCentre = false;
  }
  double nReal = std::ceil(sweep / step);
  int n = nReal > kMaxCirclePoints ? kMaxCirclePoints : static_cast<int>(nReal);
  n = std::max(n, kMinCirclePoints);
  const bool full = sweep >= kFullTurnLessEpsilon;
  out.reserve(static_cast<size_t>(n) + 2);
  for (int i = 0; i <= n; ++i) {
    if (full && i == n) break;
    const double a = start + sweep * i / n;
    out.push_back({c.x + r * std::cos(a), c.y - r * std::sin(a)});
  }
  if (addCentre) out.push_back(c);
  result.visible = true;
  return result;
}

}  // namespace

CanvasPoint WorldToCanvas(double x, double y) {
  return {CanvasWidth / 2.0 + (x - PanX) * ZoomPxPerMm, CanvasHeight / 2.0 - (y - PanY) * ZoomPxPerMm};
}

void SetCanvasClipBox(double width, double height) {
  ClipXMin = -kClipMargin;
  ClipYMin = -kClipMargin;
  ClipXMax = width + kClipMargin;
  ClipYMax = height + kClipMargin;
}

bool IsPointInClipRect(const CanvasPoint& p) {
  return ClipXMin <= p.x && p.x <= ClipXMax && ClipYMin <= p.y && p.y <= ClipYMax;
}

bool IsInsideClipEdge(const CanvasPoint& p, int edge) {
  switch (edge) {
    case 0: return p.x >= ClipXMin;
    case 1: return p.x <= ClipXMax;
    case 2: return p.y >= ClipYMin;
    default: return p.y <= ClipYMax;
  }
}

CanvasPoint IntersectSegmentWithClipEdge(const CanvasPoint& p0, const CanvasPoint& p1, int edge) {
  const double c = EdgeBound(edge);
  const double c0 = EdgeCoordinate(p0, edge);
  const double t = (c - c0) / (EdgeCoordinate(p1, edge) - c0);
  CanvasPoint r{p0.x + t * (p1.x - p0.x), p0.y + t * (p1.y - p0.y)};
  // Pin the cut coordinate to the bound itself: rounding must not leave the
  // point a hair outside, where the next edge would see it differently.
  if (edge < 2) r.x = c; else r.y = c;
  return r;
}

void AddClippedPolygonToPath(cairo_t* cr, CanvasPointList& polygon) {
  // A NaN point would compare "outside" every edge and an infinite one would
  // give NaN intersections: neither belongs in a path.
  polygon.erase(std::remove_if(polygon.begin(), polygon.end(),
                               [](const CanvasPoint& p) { return !IsFinitePoint(p); }),
                polygon.end());
  if (polygon.empty()) return;

  double xmin = polygon[0].x, xmax = xmin, ymin = polygon[0].y, ymax = ymin;
  for (const CanvasPoint& p : polygon) {
    xmin = std::min(xmin, p.x);
    xmax = std::max(xmax, p.x);
    ymin = std::min(ymin, p.y);
    ymax = std::max(ymax, p.y);
  }
  if (xmax < ClipXMin || xmin > ClipXMax || ymax < ClipYMin || ymin > ClipYMax) {
    // Wholly beyond one edge: that pass would empty the list anyway.
    polygon.clear();
    return;
  }
  const bool allInside = xmin >= ClipXMin && xmax <= ClipXMax && ymin >= ClipYMin && ymax <= ClipYMax;
  if (!allInside) {
    // Every pass keeps an inside polygon unchanged, so only a polygon that
    // reaches past the box needs the four passes.
    CanvasPointList scratch;
    scratch.reserve(polygon.size() + 8);
    for (int edge = 0; edge < 4; ++edge) {
      if (polygon.empty()) return;
      ClipPolygonAgainstEdge(polygon, scratch, edge);
      polygon.swap(scratch);
    }
  }
  if (polygon.size() < 3) return;
  cairo_move_to(cr, polygon[0].x, polygon[0].y);
  for (size_t i = 1; i < polygon.size(); ++i) cairo_line_to(cr, polygon[i].x, polygon[i].y);
  cairo_close_path(cr);
}

bool ClipSegmentToViewRect(const CanvasPoint& p0, const CanvasPoint& p1) {
  ClipT0 = 0.0;
  ClipT1 = 1.0;
  if (!IsFinitePoint(p0) || !IsFinitePoint(p1)) return false;
  const double dx = p1.x - p0.x;
  const double dy = p1.y - p0.y;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {p0.x - ClipXMin, ClipXMax - p0.x, p0.y - ClipYMin, ClipYMax - p0.y};
  for (int edge = 0; edge < 4; ++edge) {
    if (p[edge] == 0.0) {
      if (q[edge] < 0.0) return false;
      continue;
    }
    const double r = q[edge] / p[edge];
    if (p[edge] < 0.0) {
      if (r > ClipT1) return false;
      if (r > ClipT0) ClipT0 = r;
    } else {
      if (r < ClipT0) return false;
      if (r < ClipT1) ClipT1 = r;
    }
  }
  return true;
}

void AddClippedSegmentToPath(cairo_t* cr, const CanvasPoint& p, const CanvasPoint& q, int& pen) {
  if (!ClipSegmentToViewRect(p, q)) {
    pen = 0;
    return;
  }
  const double dx = q.x - p.x;
  const double dy = q.y - p.y;
  if (pen == 0 || ClipT0 > 0.0) cairo_move_to(cr, p.x + ClipT0 * dx, p.y + ClipT0 * dy);
  cairo_line_to(cr, p.x + ClipT1 * dx, p.y + ClipT1 * dy);
  pen = ClipT1 >= 1.0 ? 1 : 0;
}

void AddPolylineToPath(cairo_t* cr, const CanvasPointList& points, bool closed) {
  if (points.size() < 2) return;
  int pen = 0;
  for (size_t i = 1; i < points.size(); ++i) AddClippedSegmentToPath(cr, points[i - 1], points[i], pen);
  if (closed) AddClippedSegmentToPath(cr, points.back(), points.front(), pen);
}

void AddSegmentToPath(cairo_t* cr, double x1, double y1, double x2, double y2) {
  AddPolylineToPath(cr, CanvasPointList{{x1, y1}, {x2, y2}}, false);
}

CanvasPoint LineOfActionPointToCanvas(const ContactGeometry& g, double s) {
  return WorldToCanvas(g.originX + s * g.directionX, g.originY + s * g.directionY);
}

void AddLineOfActionSegmentToPath(cairo_t* cr, const ContactGeometry& g, double s1, double s2) {
  const CanvasPoint a = LineOfActionPointToCanvas(g, s1);
  const CanvasPoint b = LineOfActionPointToCanvas(g, s2);
  AddSegmentToPath(cr, a.x, a.y, b.x, b.y);
}

bool BuildVisibleCircleArc(CanvasPointList& out, bool addCentre, double cx, double cy, double radius) {
  return SampleVisibleCircle(out, addCentre, cx, cy, radius).visible;
}

void AddCircleToPath(cairo_t* cr, double cx, double cy, double radius) {
  CanvasPointList points;
  const CircleSampling s = SampleVisibleCircle(points, false, cx, cy, radius);
  if (s.visible) AddPolylineToPath(cr, points, s.wholeCircle);
}

}  // namespace kovrex
