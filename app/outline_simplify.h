// Thinning of a closed outline for the screen: drops the points that lie within a
// tolerance of the chord that replaces them (Douglas-Peucker). Works on any
// point type with x and y. Not for export: files keep every generated point.
#pragma once

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace kovrex {

namespace simplify_detail {

template <class P>
double SquaredDistanceToSegment(const P& p, const P& a, const P& b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double len2 = dx * dx + dy * dy;
  double t = len2 > 0.0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0.0;
  t = t < 0.0 ? 0.0 : (t > 1.0 ? 1.0 : t);
  const double ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
  return ex * ex + ey * ey;
}

}  // namespace simplify_detail

// The polygon is thinned in runs of `run` points whose ends are always kept: one
// pass over a whole ring of a thousand teeth would rescan every point at each of
// its ~log n levels, runs keep the work near linear.
template <class P>
void SimplifyClosedOutline(std::vector<P>& polygon, double tolerance, size_t run = 32) {
  const size_t n = polygon.size();
  if (n < 4 || !(tolerance > 0.0)) return;
  const double tol2 = tolerance * tolerance;
  std::vector<unsigned char> keep(n, 0);
  std::vector<std::pair<size_t, size_t>> stack;
  for (size_t start = 0; start + 1 < n; start += run) {
    const size_t end = std::min(start + run, n - 1);
    keep[start] = keep[end] = 1;
    stack.emplace_back(start, end);
  }
  while (!stack.empty()) {
    const auto [a, b] = stack.back();
    stack.pop_back();
    double worst = tol2;
    size_t at = 0;
    for (size_t i = a + 1; i < b; ++i) {
      const double d = simplify_detail::SquaredDistanceToSegment(polygon[i], polygon[a], polygon[b]);
      if (d > worst) {
        worst = d;
        at = i;
      }
    }
    if (at == 0) continue;
    keep[at] = 1;
    stack.emplace_back(a, at);
    stack.emplace_back(at, b);
  }
  size_t out = 0;
  for (size_t i = 0; i < n; ++i)
    if (keep[i] != 0) polygon[out++] = polygon[i];
  polygon.resize(out);
}

}  // namespace kovrex
