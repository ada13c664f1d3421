// Outline flattening, thinning within a chord tolerance and ear clipping for the
// STL mesh builders.
#include "export/outline_tools.h"

#include <cmath>
#include <utility>

namespace kovrex {

double CrossProduct2D(double x1, double y1, double x2, double y2, double x3, double y3) {
  return (x2 - x1) * (y3 - y1) - (y2 - y1) * (x3 - x1);
}

void CollectOutlinePoints(const GearRecord& record, std::vector<double>& x, std::vector<double>& y,
                          std::vector<uint8_t>& flags) {
  size_t total = 0;
  for (const OutlinePolyline& line : record.outline) total += line.points.size();
  x.assign(total, 0.0);
  y.assign(total, 0.0);
  flags.assign(total, 0);
  size_t count = 0;
  bool firstLine = true;
  for (const OutlinePolyline& line : record.outline) {
    for (size_t i = 0; i < line.points.size(); ++i) {
      if (i == 0 && !firstLine) {
        // Chained polylines: this point repeats the last one stored, which is the
        // junction between two pieces and must survive the thinning.
        if (count > 0) flags[count - 1] = 1;
        continue;
      }
      x[count] = line.points[i].x;
      y[count] = line.points[i].y;
      if (count == 0) flags[count] = 1;
      ++count;
    }
    if (!line.points.empty()) firstLine = false;
  }
  if (count > 1 && std::fabs(x[count - 1] - x[0]) < 1e-9 && std::fabs(y[count - 1] - y[0]) < 1e-9) --count;
  x.resize(count);
  y.resize(count);
  flags.resize(count);
}

void MergeClosePoints(std::vector<double>& x, std::vector<double>& y, std::vector<uint8_t>& flags,
                      std::vector<uint8_t>& pinned, double minDistance) {
  const size_t n = x.size();
  if (n < 2) return;
  const double d2 = minDistance * minDistance;
  auto close = [&](size_t a, size_t b) {
    const double dx = x[a] - x[b], dy = y[a] - y[b];
    return dx * dx + dy * dy < d2;
  };
  size_t kept = 0;  // index of the last kept point, which sits at position kept
  for (size_t i = 1; i < n; ++i) {
    if (close(i, kept)) {
      const uint8_t f = static_cast<uint8_t>(flags[kept] | flags[i]);
      if (pinned[i] && !pinned[kept]) {
        x[kept] = x[i];
        y[kept] = y[i];
        pinned[kept] = 1;
      }
      flags[kept] = f;
      continue;
    }
    ++kept;
    x[kept] = x[i];
    y[kept] = y[i];
    flags[kept] = flags[i];
    pinned[kept] = pinned[i];
  }
  size_t count = kept + 1;
  if (count > 1 && close(count - 1, 0)) {
    if (pinned[count - 1] && !pinned[0]) {
      x[0] = x[count - 1];
      y[0] = y[count - 1];
      pinned[0] = 1;
    }
    flags[0] = static_cast<uint8_t>(flags[0] | flags[count - 1]);
    --count;
  }
  x.resize(count);
  y.resize(count);
  flags.resize(count);
  pinned.resize(count);
}

void SimplifyPolylineDouglasPeucker(const std::vector<double>& x, const std::vector<double>& y, int64_t first,
                                    int64_t last, std::vector<uint8_t>& keep, double tolerance) {
  keep[first] = 1;
  keep[last] = 1;
  std::vector<std::pair<int64_t, int64_t>> work;
  work.emplace_back(first, last);
  while (!work.empty()) {
    const auto [a, b] = work.back();
    work.pop_back();
    if (b - a < 2) continue;
    const double dx = x[b] - x[a], dy = y[b] - y[a];
    const double length = std::sqrt(dx * dx + dy * dy);
    double largest = -1.0;
    int64_t at = -1;
    for (int64_t j = a + 1; j < b; ++j) {
      const double ex = x[j] - x[a], ey = y[j] - y[a];
      // A run whose ends coincide has no chord direction: distance from its start.
      const double d = length > 1e-15 ? std::fabs(ex * dy - ey * dx) / length : std::sqrt(ex * ex + ey * ey);
      if (d > largest) {
        largest = d;
        at = j;
      }
    }
    if (at >= 0 && largest > tolerance) {
      keep[at] = 1;
      work.emplace_back(a, at);
      work.emplace_back(at, b);
    }
  }
}

int64_t SimplifyPolyline(std::vector<double>& x, std::vector<double>& y, std::vector<uint8_t>& flags,
                         std::vector<double>& xOut, std::vector<double>& yOut, std::vector<int64_t>& map,
                         double tolerance) {
  const int64_t n = static_cast<int64_t>(x.size());
  xOut.clear();
  yOut.clear();
  map.assign(static_cast<size_t>(n), -1);
  if (n == 0) return 0;
  flags[0] = 1;
  // The closing run ends on a copy of point 0, so that it is thinned like the others.
  x.push_back(x[0]);
  y.push_back(y[0]);
  std::vector<uint8_t> keep(static_cast<size_t>(n) + 1, 0);
  int64_t start = 0;
  for (int64_t j = 1; j <= n; ++j) {
    if (j == n || flags[j] == 1) {
      SimplifyPolylineDouglasPeucker(x, y, start, j, keep, tolerance);
      start = j;
    }
  }
  x.pop_back();
  y.pop_back();
  for (int64_t i = 0; i < n; ++i) {
    if (!keep[i]) continue;
    map[i] = static_cast<int64_t>(xOut.size());
    xOut.push_back(x[i]);
    yOut.push_back(y[i]);
  }
  return static_cast<int64_t>(xOut.size());
}

void TriangulatePolygon(const std::vector<int64_t>& polygon, const std::vector<double>& px,
                        const std::vector<double>& py, FaceTriangleList& triangles) {
  const int64_t h = static_cast<int64_t>(polygon.size());
  if (h < 3) return;
  const std::vector<int64_t>& v = polygon;
  std::vector<int64_t> next(h), prev(h);
  for (int64_t i = 0; i < h; ++i) {
    next[i] = (i + 1) % h;
    prev[i] = (i + h - 1) % h;
  }
  auto corner = [&](int64_t a, int64_t b, int64_t c) {
    return CrossProduct2D(px[v[a]], py[v[a]], px[v[b]], py[v[b]], px[v[c]], py[v[c]]);
  };
  auto clip = [&](int64_t p, int64_t c, int64_t q) {
    triangles.push_back(v[p]);
    triangles.push_back(v[c]);
    triangles.push_back(v[q]);
    next[p] = q;
    prev[q] = p;
  };
  int64_t remaining = h;
  int64_t cur = 0;
  int64_t misses = 0;
  while (remaining > 3) {
    const int64_t p = prev[cur], c = cur, q = next[cur];
    bool ear = corner(p, c, q) > 1e-14;
    if (ear) {
      for (int64_t r = next[q]; r != p; r = next[r]) {
        // A repeated index (a slit) is the same point as a corner: never inside.
        if (v[r] == v[p] || v[r] == v[c] || v[r] == v[q]) continue;
        if (corner(p, c, r) >= 0.0 && corner(c, q, r) >= 0.0 && corner(q, p, r) >= 0.0) {
          ear = false;
          break;
        }
      }
    }
    if (!ear) {
      cur = next[cur];
      ++misses;
      if (misses <= remaining) continue;
      // A whole round without an ear (rounding on nearly straight corners): clip
      // the most convex corner so that the loop always ends.
      double best = -1e300;
      int64_t bestAt = cur;
      int64_t it = cur;
      for (int64_t k = 0; k < remaining; ++k, it = next[it]) {
        const double value = corner(prev[it], it, next[it]);
        if (value > best) {
          best = value;
          bestAt = it;
        }
      }
      const int64_t bp = prev[bestAt], bq = next[bestAt];
      clip(bp, bestAt, bq);
      --remaining;
      cur = bq;
      misses = 0;
      continue;
    }
    clip(p, c, q);
    --remaining;
    cur = q;
    misses = 0;
  }
  triangles.push_back(v[prev[cur]]);
  triangles.push_back(v[cur]);
  triangles.push_back(v[next[cur]]);
}

}  // namespace kovrex
