// Test helpers for closed outlines of gear records: join the polylines into one
// contour, its signed area, a self-intersection search, and crossings with a line.
// Not for: program code; the checks are deliberately simple and independent of it.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include "geometry/gear_record.h"

namespace kovrex::test {

struct Contour {
  std::vector<OutlinePoint> points;  // closed: the last point joins the first, not repeated
  std::string error;                 // empty when the polylines chain into one closed loop
};

// Joins the outline polylines in order. Each must start where the previous one
// ended (within tol) and the last must end where the first began.
inline Contour JoinOutline(const GearRecord& g, double tol = 1e-9) {
  Contour c;
  if (g.outline.empty()) {
    c.error = "empty outline";
    return c;
  }
  for (size_t k = 0; k < g.outline.size(); ++k) {
    const auto& pts = g.outline[k].points;
    if (pts.size() < 2) {
      c.error = "polyline " + std::to_string(k) + " has fewer than 2 points";
      return c;
    }
    for (const auto& p : pts) {
      if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
        c.error = "non-finite point in polyline " + std::to_string(k);
        return c;
      }
    }
    size_t first = 0;
    if (k > 0) {
      const OutlinePoint& e = c.points.back();
      if (std::hypot(pts[0].x - e.x, pts[0].y - e.y) > tol) {
        c.error = "polyline " + std::to_string(k) + " does not start where the previous one ends";
        return c;
      }
      first = 1;
    }
    c.points.insert(c.points.end(), pts.begin() + static_cast<std::ptrdiff_t>(first), pts.end());
  }
  const OutlinePoint& s = c.points.front();
  const OutlinePoint& e = c.points.back();
  if (std::hypot(s.x - e.x, s.y - e.y) > tol) {
    c.error = "outline is not closed";
    return c;
  }
  c.points.pop_back();
  return c;
}

// Shoelace area: positive for a counter-clockwise contour.
inline double SignedArea(const std::vector<OutlinePoint>& p) {
  double a = 0.0;
  for (size_t i = 0, n = p.size(); i < n; ++i) {
    const OutlinePoint& u = p[i];
    const OutlinePoint& v = p[(i + 1) % n];
    a += u.x * v.y - v.x * u.y;
  }
  return a / 2.0;
}

namespace detail {

inline double Cross(const OutlinePoint& o, const OutlinePoint& a, const OutlinePoint& b) {
  return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

inline bool OnSegment(const OutlinePoint& a, const OutlinePoint& b, const OutlinePoint& p) {
  return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
         p.y <= std::max(a.y, b.y);
}

// Closed segments ab and cd share at least one point.
inline bool SegmentsMeet(const OutlinePoint& a, const OutlinePoint& b, const OutlinePoint& c, const OutlinePoint& d) {
  double d1 = Cross(c, d, a), d2 = Cross(c, d, b), d3 = Cross(a, b, c), d4 = Cross(a, b, d);
  if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0))) return true;
  if (d1 == 0 && OnSegment(c, d, a)) return true;
  if (d2 == 0 && OnSegment(c, d, b)) return true;
  if (d3 == 0 && OnSegment(a, b, c)) return true;
  if (d4 == 0 && OnSegment(a, b, d)) return true;
  return false;
}

}  // namespace detail

// Index of a segment (i to i+1) that meets a non-neighbouring segment, or -1.
// Neighbours share their common vertex and are not compared. Sweep over x.
inline long FirstSelfIntersection(const std::vector<OutlinePoint>& p) {
  const size_t n = p.size();
  if (n < 4) return -1;
  std::vector<size_t> order(n);
  for (size_t i = 0; i < n; ++i) order[i] = i;
  auto minX = [&](size_t i) { return std::min(p[i].x, p[(i + 1) % n].x); };
  auto maxX = [&](size_t i) { return std::max(p[i].x, p[(i + 1) % n].x); };
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return minX(a) < minX(b); });
  std::vector<size_t> active;
  for (size_t s : order) {
    const double x0 = minX(s);
    active.erase(std::remove_if(active.begin(), active.end(), [&](size_t t) { return maxX(t) < x0; }), active.end());
    const OutlinePoint& a = p[s];
    const OutlinePoint& b = p[(s + 1) % n];
    for (size_t t : active) {
      if ((t + 1) % n == s || (s + 1) % n == t) continue;
      const OutlinePoint& c = p[t];
      const OutlinePoint& d = p[(t + 1) % n];
      if (std::max(a.y, b.y) < std::min(c.y, d.y) || std::max(c.y, d.y) < std::min(a.y, b.y)) continue;
      if (detail::SegmentsMeet(a, b, c, d)) return static_cast<long>(std::min(s, t));
    }
    active.push_back(s);
  }
  return -1;
}

// x of every crossing of the closed contour with the horizontal line y = c,
// sorted. A vertex exactly on the line would be ambiguous; callers pick lines
// that no vertex lies on.
inline std::vector<double> CrossingsWithHorizontal(const std::vector<OutlinePoint>& p, double c) {
  std::vector<double> xs;
  for (size_t i = 0, n = p.size(); i < n; ++i) {
    const OutlinePoint& u = p[i];
    const OutlinePoint& v = p[(i + 1) % n];
    if ((u.y < c && v.y > c) || (u.y > c && v.y < c)) xs.push_back(u.x + (v.x - u.x) * (c - u.y) / (v.y - u.y));
  }
  std::sort(xs.begin(), xs.end());
  return xs;
}

// Polar angle of every crossing of the closed contour with the circle of radius R,
// in (-pi, pi], sorted. The crossing is placed exactly on the circle.
inline std::vector<double> CrossingsWithCircle(const std::vector<OutlinePoint>& p, double R) {
  std::vector<double> angles;
  for (size_t i = 0, n = p.size(); i < n; ++i) {
    const OutlinePoint& u = p[i];
    const OutlinePoint& v = p[(i + 1) % n];
    double ru = std::hypot(u.x, u.y) - R, rv = std::hypot(v.x, v.y) - R;
    if ((ru < 0 && rv > 0) || (ru > 0 && rv < 0)) {
      // Solve |u + t (v - u)| = R on the segment.
      double dx = v.x - u.x, dy = v.y - u.y;
      double A = dx * dx + dy * dy, B = 2 * (u.x * dx + u.y * dy), C = u.x * u.x + u.y * u.y - R * R;
      double disc = std::sqrt(std::max(0.0, B * B - 4 * A * C));
      double t1 = (-B - disc) / (2 * A), t2 = (-B + disc) / (2 * A);
      double t = (t1 >= 0 && t1 <= 1) ? t1 : t2;
      angles.push_back(std::atan2(u.y + t * dy, u.x + t * dx));
    }
  }
  std::sort(angles.begin(), angles.end());
  return angles;
}

}  // namespace kovrex::test
