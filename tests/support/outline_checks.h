// Checks on a generated outline shared by the tests of every generator: joints
// between polylines, the contour as one ring (strictly chained or merged), its
// signed area, a fast search for self-intersections and the crossings with a line or
// a circle. Header-only so that any test executable can use it. Not for: checking
// the shape against gear theory (each generator's tests do that).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include "geometry/gear_record.h"

namespace kovrex::test {

inline double PointDistance(const OutlinePoint& a, const OutlinePoint& b) { return std::hypot(a.x - b.x, a.y - b.y); }

// Area enclosed by a closed outline (shoelace over its polylines, which meet end
// to end) and its length.
inline double OutlineArea(const GearRecord& g) {
  double a = 0.0;
  for (const OutlinePolyline& line : g.outline)
    for (size_t i = 0; i + 1 < line.points.size(); ++i)
      a += line.points[i].x * line.points[i + 1].y - line.points[i + 1].x * line.points[i].y;
  return std::fabs(a) / 2.0;
}

inline double OutlinePerimeter(const GearRecord& g) {
  double l = 0.0;
  for (const OutlinePolyline& line : g.outline)
    for (size_t i = 0; i + 1 < line.points.size(); ++i) l += PointDistance(line.points[i], line.points[i + 1]);
  return l;
}

inline bool OutlineAllFinite(const std::vector<OutlinePolyline>& outline) {
  for (const OutlinePolyline& line : outline)
    for (const OutlinePoint& p : line.points)
      if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
  return true;
}

// Largest gap between the end of a polyline and the start of the next, the last
// one's end against the first one's start included. Empty polylines count as an
// infinite gap (they cannot be joined).
struct JointGap {
  double gap = 0.0;
  size_t index = 0;  // the polyline whose end is followed by the gap
};

inline JointGap MaxJointGap(const std::vector<OutlinePolyline>& outline) {
  JointGap worst;
  const size_t n = outline.size();
  for (size_t i = 0; i < n; ++i) {
    const OutlinePolyline& a = outline[i];
    const OutlinePolyline& b = outline[(i + 1) % n];
    double gap = (a.points.empty() || b.points.empty()) ? INFINITY
                                                        : PointDistance(a.points.back(), b.points.front());
    if (!(gap <= worst.gap)) worst = {gap, i};
  }
  return worst;
}

// The contour as one closed ring of distinct consecutive points (the joints and the
// closing point appear once; points nearer than mergeTol to the previous are dropped).
inline std::vector<OutlinePoint> OutlineRing(const std::vector<OutlinePolyline>& outline,
                                             double mergeTol = 1e-9) {
  std::vector<OutlinePoint> ring;
  for (const OutlinePolyline& line : outline)
    for (const OutlinePoint& p : line.points)
      if (ring.empty() || PointDistance(ring.back(), p) > mergeTol) ring.push_back(p);
  while (ring.size() > 1 && PointDistance(ring.back(), ring.front()) <= mergeTol) ring.pop_back();
  return ring;
}

struct Contour {
  std::vector<OutlinePoint> points;  // closed: the last point joins the first, not repeated
  std::string error;                 // empty when the polylines chain into one closed loop
};

// Joins the outline polylines in order, stricter than OutlineRing: each polyline
// needs at least 2 finite points and must start where the previous one ended
// (within tol), and the last must end where the first began.
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
      if (PointDistance(pts[0], c.points.back()) > tol) {
        c.error = "polyline " + std::to_string(k) + " does not start where the previous one ends";
        return c;
      }
      first = 1;
    }
    c.points.insert(c.points.end(), pts.begin() + static_cast<std::ptrdiff_t>(first), pts.end());
  }
  if (PointDistance(c.points.front(), c.points.back()) > tol) {
    c.error = "outline is not closed";
    return c;
  }
  c.points.pop_back();
  return c;
}

// Shoelace area: positive for a counter-clockwise ring.
inline double SignedArea(const std::vector<OutlinePoint>& ring) {
  double twice = 0.0;
  const size_t n = ring.size();
  for (size_t i = 0; i < n; ++i) {
    const OutlinePoint& a = ring[i];
    const OutlinePoint& b = ring[(i + 1) % n];
    twice += a.x * b.y - b.x * a.y;
  }
  return twice / 2.0;
}

namespace detail {

inline double Orient(const OutlinePoint& a, const OutlinePoint& b, const OutlinePoint& c) {
  return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

inline bool OnSegment(const OutlinePoint& a, const OutlinePoint& b, const OutlinePoint& p) {
  return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
         p.y <= std::max(a.y, b.y);
}

// Crossing or touching, collinear overlap included.
inline bool SegmentsMeet(const OutlinePoint& p1, const OutlinePoint& p2, const OutlinePoint& q1,
                         const OutlinePoint& q2) {
  const double o1 = Orient(p1, p2, q1);
  const double o2 = Orient(p1, p2, q2);
  const double o3 = Orient(q1, q2, p1);
  const double o4 = Orient(q1, q2, p2);
  if (((o1 > 0 && o2 < 0) || (o1 < 0 && o2 > 0)) && ((o3 > 0 && o4 < 0) || (o3 < 0 && o4 > 0))) return true;
  if (o1 == 0 && OnSegment(p1, p2, q1)) return true;
  if (o2 == 0 && OnSegment(p1, p2, q2)) return true;
  if (o3 == 0 && OnSegment(q1, q2, p1)) return true;
  if (o4 == 0 && OnSegment(q1, q2, p2)) return true;
  return false;
}

// Two consecutive edges that turn back onto each other overlap along a piece,
// which the crossing test cannot see because they share a vertex.
inline bool FoldsBack(const OutlinePoint& a, const OutlinePoint& b, const OutlinePoint& c) {
  const double ux = b.x - a.x, uy = b.y - a.y, vx = c.x - b.x, vy = c.y - b.y;
  const double cross = ux * vy - uy * vx;
  const double dot = ux * vx + uy * vy;
  return dot < 0 && std::fabs(cross) <= 1e-12 * std::hypot(ux, uy) * std::hypot(vx, vy);
}

}  // namespace detail

struct SelfIntersection {
  bool found = false;
  size_t edgeA = 0;  // edge i runs from ring[i] to ring[i + 1]
  size_t edgeB = 0;
};

// Every pair of non-neighbouring edges of the closed ring (or, with closed = false,
// of the open chain) is tested once per grid cell both touch; with cells about two
// edges long this stays near linear for the 10^5-edge outlines of large gears.
inline SelfIntersection FindSelfIntersection(const std::vector<OutlinePoint>& ring, bool closed = true) {
  SelfIntersection result;
  const size_t n = ring.size();
  if (n < (closed ? 4u : 3u)) return result;
  const size_t edges = closed ? n : n - 1;
  for (size_t i = 0; i + (closed ? 0 : 2) < n; ++i)
    if (detail::FoldsBack(ring[i], ring[(i + 1) % n], ring[(i + 2) % n])) return {true, i, (i + 1) % n};

  double minX = ring[0].x, maxX = ring[0].x, minY = ring[0].y, maxY = ring[0].y, totalLength = 0.0;
  for (size_t i = 0; i < n; ++i) {
    minX = std::min(minX, ring[i].x);
    maxX = std::max(maxX, ring[i].x);
    minY = std::min(minY, ring[i].y);
    maxY = std::max(maxY, ring[i].y);
    if (i < edges) totalLength += PointDistance(ring[i], ring[(i + 1) % n]);
  }
  const double extent = std::max(maxX - minX, maxY - minY);
  double cell = 2.0 * totalLength / static_cast<double>(edges);
  // Not more cells than a few per edge, whatever the spread of edge lengths.
  const double minCell = extent / std::sqrt(4.0 * static_cast<double>(n));
  if (!(cell >= minCell)) cell = minCell;
  if (!(cell > 0.0)) cell = 1.0;
  const size_t nx = static_cast<size_t>((maxX - minX) / cell) + 1;
  const size_t ny = static_cast<size_t>((maxY - minY) / cell) + 1;
  std::vector<std::vector<size_t>> cells(nx * ny);
  auto cellX = [&](double x) { return std::min(nx - 1, static_cast<size_t>((x - minX) / cell)); };
  auto cellY = [&](double y) { return std::min(ny - 1, static_cast<size_t>((y - minY) / cell)); };
  for (size_t i = 0; i < edges; ++i) {
    const OutlinePoint& a = ring[i];
    const OutlinePoint& b = ring[(i + 1) % n];
    for (size_t cx = cellX(std::min(a.x, b.x)); cx <= cellX(std::max(a.x, b.x)); ++cx)
      for (size_t cy = cellY(std::min(a.y, b.y)); cy <= cellY(std::max(a.y, b.y)); ++cy)
        cells[cx * ny + cy].push_back(i);
  }
  for (const std::vector<size_t>& bucket : cells) {
    for (size_t u = 0; u < bucket.size(); ++u) {
      for (size_t v = u + 1; v < bucket.size(); ++v) {
        const size_t i = std::min(bucket[u], bucket[v]);
        const size_t j = std::max(bucket[u], bucket[v]);
        if (j == i + 1 || (closed && i == 0 && j == n - 1)) continue;  // neighbours share a vertex
        if (detail::SegmentsMeet(ring[i], ring[i + 1], ring[j], ring[(j + 1) % n])) return {true, i, j};
      }
    }
  }
  return result;
}

// x of every crossing of the closed ring with the horizontal line y = c, sorted. A
// vertex exactly on the line would be ambiguous; callers pick lines that no vertex
// lies on.
inline std::vector<double> CrossingsWithHorizontal(const std::vector<OutlinePoint>& ring, double c) {
  std::vector<double> xs;
  for (size_t i = 0, n = ring.size(); i < n; ++i) {
    const OutlinePoint& u = ring[i];
    const OutlinePoint& v = ring[(i + 1) % n];
    if ((u.y < c && v.y > c) || (u.y > c && v.y < c)) xs.push_back(u.x + (v.x - u.x) * (c - u.y) / (v.y - u.y));
  }
  std::sort(xs.begin(), xs.end());
  return xs;
}

// Polar angle of every crossing of the closed ring with the circle of radius R about
// the origin, in (-pi, pi], sorted. A crossing is seen where the ends of an edge lie
// on either side of the circle, so an edge that dips in and out again is missed:
// meant for finely divided outlines. The crossing is placed exactly on the circle.
inline std::vector<double> CrossingsWithCircle(const std::vector<OutlinePoint>& ring, double R) {
  std::vector<double> angles;
  for (size_t i = 0, n = ring.size(); i < n; ++i) {
    const OutlinePoint& u = ring[i];
    const OutlinePoint& v = ring[(i + 1) % n];
    const double ru = std::hypot(u.x, u.y) - R, rv = std::hypot(v.x, v.y) - R;
    if ((ru < 0 && rv > 0) || (ru > 0 && rv < 0)) {
      // |u + t (v - u)| = R on the segment.
      const double dx = v.x - u.x, dy = v.y - u.y;
      const double A = dx * dx + dy * dy, B = 2 * (u.x * dx + u.y * dy), C = u.x * u.x + u.y * u.y - R * R;
      const double disc = std::sqrt(std::max(0.0, B * B - 4 * A * C));
      const double t1 = (-B - disc) / (2 * A), t2 = (-B + disc) / (2 * A);
      const double t = (t1 >= 0 && t1 <= 1) ? t1 : t2;
      angles.push_back(std::atan2(u.y + t * dy, u.x + t * dx));
    }
  }
  std::sort(angles.begin(), angles.end());
  return angles;
}

}  // namespace kovrex::test
