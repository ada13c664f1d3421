// Ring tip limit and mesh penetration of the internal pair.
#include "geometry/mesh_penetration.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace kovrex {
namespace {

// Folds a direction angle into [0, pitch/2] using the symmetry of the outline
// about the ray at angle 0 and its repetition with the pitch.
double Fold(double theta, double pitch) {
  return std::fabs(theta - pitch * std::round(theta / pitch));
}

// The tables hold every point of a whole outline (160 000 for a 999-tooth ring at
// the mesh check's detail) and are rebuilt on every recomputation, so they are
// sorted by a stable radix sort on the bits of the angle: for the non-negative
// doubles here the bit patterns order as the values do.
void SortByAngle(std::vector<PolarProfileEntry>& entries) {
  const size_t n = entries.size();
  if (n < 2) return;
  std::vector<uint64_t> keys(n);
  std::vector<uint32_t> order(n), scratch(n);
  for (size_t i = 0; i < n; ++i) {
    std::memcpy(&keys[i], &entries[i].angle, sizeof(uint64_t));
    order[i] = static_cast<uint32_t>(i);
  }
  for (int shift = 0; shift < 64; shift += 16) {
    std::vector<uint32_t> count(65537, 0);
    for (uint32_t i : order) ++count[((keys[i] >> shift) & 0xFFFF) + 1];
    for (size_t d = 1; d < count.size(); ++d) count[d] += count[d - 1];
    for (uint32_t i : order) scratch[count[(keys[i] >> shift) & 0xFFFF]++] = i;
    order.swap(scratch);
  }
  std::vector<PolarProfileEntry> sorted(n);
  for (size_t i = 0; i < n; ++i) sorted[i] = entries[order[i]];
  entries.swap(sorted);
}

}  // namespace

void BuildPolarProfileTable(const GearRecord& gear, PolarProfileTable& table) {
  table.pitch = gear.toothCount > 0 ? 2.0 * kPi / static_cast<double>(gear.toothCount) : 0.0;
  table.entries.clear();
  size_t n = 0;
  for (const auto& line : gear.outline) n += line.points.size();
  table.entries.reserve(n);
  if (table.pitch > 0.0) {
    for (const auto& line : gear.outline)
      for (const auto& p : line.points)
        table.entries.push_back({Fold(std::atan2(p.y, p.x), table.pitch), std::sqrt(p.x * p.x + p.y * p.y)});
  }
  SortByAngle(table.entries);
  table.count = static_cast<int>(table.entries.size());
}

double InterpolateTable(const PolarProfileTable& table, double x, double& slope) {
  slope = 0.0;
  const int n = table.count;
  if (n <= 0) return 0.0;
  const auto& e = table.entries;
  if (x <= e[0].angle) return e[0].radius;
  if (x >= e[n - 1].angle) return e[n - 1].radius;
  int lo = 0, hi = n - 1;
  while (hi - lo > 1) {
    int mid = (lo + hi) / 2;
    if (x < e[mid].angle) {
      hi = mid;
    } else {
      lo = mid;
    }
  }
  double dx = e[hi].angle - e[lo].angle;
  if (dx < 1e-15) return e[lo].radius;
  slope = (e[hi].radius - e[lo].radius) / dx;
  return e[lo].radius + slope * (x - e[lo].angle);
}

double ComputeRingTipLimitRadius(const GearRecord& pinion, const GearRecord& ring, double a) {
  const double rb1 = pinion.baseRadius, rb2 = ring.baseRadius;
  const double aw = std::acos((rb2 - rb1) / a);
  const double rs1 = pinion.involuteStartRadius;
  const double L = std::sqrt(std::max(rs1 * rs1 - rb1 * rb1, 0.0)) + a * std::sin(aw);
  return std::sqrt(L * L + rb2 * rb2);
}

double ComputeInternalMeshPenetration(const GearRecord& pinion, const GearRecord& ring, double a, int steps) {
  double worst = -1e9;
  if (pinion.toothCount <= 0 || ring.toothCount <= 0 || steps <= 0) return worst;
  const double ra1 = pinion.tipRadius, ra2 = ring.tipRadius, m1 = pinion.normalModule;
  const double limit2 = (ra1 + m1) * (ra1 + m1);
  const double p1 = 2.0 * kPi / static_cast<double>(pinion.toothCount);
  const double ratio = static_cast<double>(pinion.toothCount) / static_cast<double>(ring.toothCount);

  PolarProfileTable pinionTable, ringTable;
  BuildPolarProfileTable(pinion, pinionTable);
  BuildPolarProfileTable(ring, ringTable);
  const double p2 = ringTable.pitch;

  // Points that can never pass the two distance filters at any of the checked
  // rotations are dropped once, which leaves a few per cent of each outline. The
  // bound is the closest (pinion: farthest) position a point reaches while its gear
  // turns through the checked range; a small margin keeps every point whose
  // distance the loop below could round either way, so the result is unchanged.
  const double phi1Max = p1 * (steps - 1) / steps;
  const double phi2Max = phi1Max * ratio;
  const double margin = 1e-9 * (a + ra2 + ra1 + m1);
  // Largest cosine of the direction of (x, y) turned by any angle in [0, sweep]
  // (sweep < pi): 1 when the turn passes the +x axis, otherwise the larger of the
  // two ends.
  auto maxCos = [](double x, double y, double r, double cosSweep, double sinSweep) {
    if (r <= 0.0) return 1.0;
    const double c = x / r, s = y / r;
    if (s <= 0.0 && c >= cosSweep) return 1.0;
    return std::max(c, c * cosSweep - s * sinSweep);
  };
  const double cs1 = std::cos(phi1Max), ss1 = std::sin(phi1Max);
  const double cs2 = std::cos(phi2Max), ss2 = std::sin(phi2Max);
  std::vector<OutlinePoint> pinionPoints, ringPoints;
  for (const auto& line : pinion.outline) {
    for (const auto& p : line.points) {
      const double r = std::sqrt(p.x * p.x + p.y * p.y);
      const double c = maxCos(p.x, p.y, r, cs1, ss1);
      const double farthest = std::sqrt(std::max(a * a + r * r + 2.0 * a * r * c, 0.0));
      if (farthest + margin > ra2) pinionPoints.push_back(p);
    }
  }
  const double reach = ra1 + m1;
  for (const auto& line : ring.outline) {
    for (const auto& p : line.points) {
      const double r = std::sqrt(p.x * p.x + p.y * p.y);
      const double c = maxCos(p.x, p.y, r, cs2, ss2);
      const double closest = std::sqrt(std::max(a * a + r * r - 2.0 * a * r * c, 0.0));
      if (closest - margin <= reach) ringPoints.push_back(p);
    }
  }

  for (int k = 0; k < steps; ++k) {
    const double phi1 = k * p1 / steps;
    const double phi2 = phi1 * ratio;
    const double c1 = std::cos(phi1), s1 = std::sin(phi1);
    const double c2 = std::cos(phi2), s2 = std::sin(phi2);

    // Pinion points inside ring material.
    for (const auto& p : pinionPoints) {
      const double X = a + p.x * c1 - p.y * s1;
      const double Y = p.x * s1 + p.y * c1;
      const double u = X * c2 + Y * s2;  // rotated by -phi2
      const double v = -X * s2 + Y * c2;
      const double rho = std::sqrt(u * u + v * v);
      if (rho <= ra2) continue;
      double slope = 0.0;
      const double R = InterpolateTable(ringTable, Fold(std::atan2(v, u), p2), slope);
      if (R < rho) {
        const double depth = (rho - R) / std::sqrt((slope / rho) * (slope / rho) + 1.0);
        worst = std::max(worst, depth);
      }
    }
    // Ring points inside pinion material.
    for (const auto& p : ringPoints) {
      const double u = p.x * c2 - p.y * s2 - a;
      const double v = p.x * s2 + p.y * c2;
      if (u * u + v * v > limit2) continue;
      const double rho = std::sqrt(u * u + v * v);
      double slope = 0.0;
      const double R = InterpolateTable(pinionTable, Fold(std::atan2(v, u) - phi1, p1), slope);
      if (R > rho) {
        const double q = slope / std::max(rho, 1e-9);
        const double depth = (R - rho) / std::sqrt(q * q + 1.0);
        worst = std::max(worst, depth);
      }
    }
  }
  return worst;
}

}  // namespace kovrex
