// Outline flattening, thinning within a chord tolerance and ear clipping (slivers
// flipped onto the other diagonal) for the STL mesh builders.
#include "export/outline_tools.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <unordered_map>
#include <unordered_set>
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

double TriangleThickness(double x1, double y1, double x2, double y2, double x3, double y3) {
  const double longest = std::max({std::hypot(x2 - x1, y2 - y1), std::hypot(x3 - x2, y3 - y2),
                                   std::hypot(x1 - x3, y1 - y3)});
  return longest > 0.0 ? CrossProduct2D(x1, y1, x2, y2, x3, y3) / longest : 0.0;
}

namespace {

// A directed edge a -> b of the face as one key.
uint64_t EdgeKey(int64_t a, int64_t b) { return static_cast<uint64_t>(a) << 32 ^ static_cast<uint64_t>(b); }

// Ear clipping takes the first ear it meets: on a nearly straight run of outline
// points that may be a corner of almost 180 degrees, a sliver whose corners the
// file's floats put on one line. Each triangle thinner than minHeight has its
// diagonals tried: the two triangles beside one are turned onto the other diagonal
// of their quadrilateral when both new ones run counter-clockwise and the thinner of
// them is thicker than the thinner of the old pair. Every flip raises the sorted
// list of thicknesses, so the flips end; the polygon's edges are never flipped.
void FlipThinTriangles(const std::vector<int64_t>& polygon, const std::vector<double>& px,
                       const std::vector<double>& py, FaceTriangleList& triangles, size_t first, double minHeight) {
  auto thickness = [&](size_t t) {
    const int64_t a = triangles[t], b = triangles[t + 1], c = triangles[t + 2];
    return TriangleThickness(px[a], py[a], px[b], py[b], px[c], py[c]);
  };
  std::vector<size_t> work;
  for (size_t t = first; t + 2 < triangles.size(); t += 3)
    if (thickness(t) < minHeight) work.push_back(t);
  if (work.empty()) return;

  std::unordered_set<uint64_t> outline;
  const size_t h = polygon.size();
  for (size_t i = 0; i < h; ++i) outline.insert(EdgeKey(polygon[i], polygon[(i + 1) % h]));
  // Directed edge -> the triangle that holds it; an edge held twice (the fallback
  // of the clipping on a folded polygon) is never flipped.
  std::unordered_map<uint64_t, size_t> owner;
  std::unordered_set<uint64_t> doubled;
  auto edge = [&](size_t t, int k) { return EdgeKey(triangles[t + k], triangles[t + (k + 1) % 3]); };
  auto own = [&](size_t t) {
    for (int k = 0; k < 3; ++k) {
      auto [it, fresh] = owner.emplace(edge(t, k), t);
      if (!fresh && it->second != t) doubled.insert(edge(t, k));
      it->second = t;
    }
  };
  auto disown = [&](size_t t) {
    for (int k = 0; k < 3; ++k) {
      const auto it = owner.find(edge(t, k));
      if (it != owner.end() && it->second == t) owner.erase(it);
    }
  };
  for (size_t t = first; t + 2 < triangles.size(); t += 3) own(t);

  while (!work.empty()) {
    const size_t t = work.back();
    work.pop_back();
    const double before = thickness(t);
    if (!(before < minHeight)) continue;
    // The longest edge first: the other diagonal across it is the one that can
    // widen a sliver.
    int order[3] = {0, 1, 2};
    double length[3];
    for (int k = 0; k < 3; ++k) {
      const int64_t a = triangles[t + k], b = triangles[t + (k + 1) % 3];
      length[k] = std::hypot(px[b] - px[a], py[b] - py[a]);
    }
    std::sort(order, order + 3, [&](int i, int j) { return length[i] > length[j]; });
    for (int k : order) {
      const int64_t u = triangles[t + k], w = triangles[t + (k + 1) % 3], p = triangles[t + (k + 2) % 3];
      if (outline.count(EdgeKey(u, w))) continue;
      const auto across = owner.find(EdgeKey(w, u));
      if (across == owner.end()) continue;
      const size_t t2 = across->second;
      bool shared = false;
      for (int j = 0; j < 3; ++j) shared = shared || doubled.count(edge(t, j)) || doubled.count(edge(t2, j));
      if (shared) continue;
      int64_t q = -1;
      for (int j = 0; j < 3; ++j)
        if (triangles[t2 + j] == w && triangles[t2 + (j + 1) % 3] == u) q = triangles[t2 + (j + 2) % 3];
      if (q < 0 || q == p) continue;
      const double newA = TriangleThickness(px[p], py[p], px[u], py[u], px[q], py[q]);
      const double newB = TriangleThickness(px[q], py[q], px[w], py[w], px[p], py[p]);
      const double oldMin = std::min(before, thickness(t2));
      if (!(newA > 0.0 && newB > 0.0 && std::min(newA, newB) > oldMin)) continue;
      disown(t);
      disown(t2);
      triangles[t] = p, triangles[t + 1] = u, triangles[t + 2] = q;
      triangles[t2] = q, triangles[t2 + 1] = w, triangles[t2 + 2] = p;
      own(t);
      own(t2);
      if (newA < minHeight) work.push_back(t);
      if (newB < minHeight) work.push_back(t2);
      break;
    }
  }
}

// Ear clipping: appends exactly h - 2 triangles for h >= 3 corners.
void ClipEars(const std::vector<int64_t>& polygon, const std::vector<double>& px, const std::vector<double>& py,
              FaceTriangleList& triangles) {
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

}  // namespace

void TriangulatePolygon(const std::vector<int64_t>& polygon, const std::vector<double>& px,
                        const std::vector<double>& py, FaceTriangleList& triangles, double minHeight) {
  const size_t first = triangles.size();
  ClipEars(polygon, px, py, triangles);
  if (minHeight > 0.0) FlipThinTriangles(polygon, px, py, triangles, first, minHeight);
}

}  // namespace kovrex
