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
  const double t = std::fabs(theta);
  const double q = t / pitch;
  // Truncating q + 0.5 is std::round for q >= 0 except within an ulp of a half,
  // where either neighbour folds to the same pitch/2; std::round is a library call
  // on the base x86-64 target, and the mesh check folds 100 000 angles.
  if (!(q < 1e15)) return std::fabs(t - pitch * std::round(q));
  return std::fabs(t - pitch * static_cast<double>(static_cast<int64_t>(q + 0.5)));
}

// Direction of (u, v): in the right half plane, where the mesh check's points lie,
// the atan of the ratio, which agrees with atan2 to about an ulp at a fraction of
// its cost; elsewhere atan2 itself.
double DirectionAngle(double u, double v) { return u > 0.0 ? std::atan(v / u) : std::atan2(v, u); }

// A whole-outline table holds every point (160 000 for a 999-tooth ring at the
// mesh check's detail), so it is sorted by a stable radix sort on the bits of the
// angle: for the non-negative doubles here the bit patterns order as the values do.
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

// The straight line from entry lo to entry lo + 1 at x, where e[lo].angle <= x <
// e[lo + 1].angle.
inline double InterpolateAfter(const std::vector<PolarProfileEntry>& e, int lo, double x, double& slope) {
  const int hi = lo + 1;
  double dx = e[hi].angle - e[lo].angle;
  if (dx < 1e-15) return e[lo].radius;
  slope = (e[hi].radius - e[lo].radius) / dx;
  return e[lo].radius + slope * (x - e[lo].angle);
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
  return InterpolateAfter(e, lo, x, slope);
}

namespace {

// Every tooth of a generated outline (every space of a ring) is the same polylines
// turned by a multiple of the pitch, so the points within half a pitch of angle 0
// fold to the same table as the whole outline, less the copies of each point that
// differ from it only by rounding: a few hundred entries instead of 160 000, and
// no atan2 for the rest. The window is a little wider than half a pitch, which
// keeps the points on its edges that tooth 0 shares with its neighbours; any
// extra point folds onto the same profile. A gear of so few teeth that the window
// would open wider than about 70 degrees, or an outline without tooth 0, takes the
// whole table.
void BuildOnePitchTable(const GearRecord& gear, PolarProfileTable& table) {
  table.pitch = gear.toothCount > 0 ? 2.0 * kPi / static_cast<double>(gear.toothCount) : 0.0;
  const double half = 0.505 * table.pitch;
  if (!(table.pitch > 0.0) || !(half < 1.2)) {
    BuildPolarProfileTable(gear, table);
    return;
  }
  const double tanHalf = std::tan(half);
  table.entries.clear();
  for (const auto& line : gear.outline)
    for (const auto& p : line.points)
      if (p.x > 0.0 && std::fabs(p.y) <= p.x * tanHalf)
        table.entries.push_back({Fold(std::atan2(p.y, p.x), table.pitch), std::sqrt(p.x * p.x + p.y * p.y)});
  if (table.entries.size() < 2) {
    BuildPolarProfileTable(gear, table);
    return;
  }
  std::stable_sort(table.entries.begin(), table.entries.end(),
                   [](const PolarProfileEntry& l, const PolarProfileEntry& r) { return l.angle < r.angle; });
  table.count = static_cast<int>(table.entries.size());
}

// InterpolateTable with the bisection replaced by a lookup in equal angle buckets:
// the mesh check interpolates some 400 000 times per recomputation. Each bucket
// holds the last entry at or below its lower edge; a short walk from there finds
// the same entry as the bisection (the last one at or below x), so the results
// are the same to the bit.
class IndexedProfileTable {
 public:
  explicit IndexedProfileTable(const PolarProfileTable& table) : table_(table) {
    const int n = table.count;
    if (n < 2) return;
    const auto& e = table.entries;
    const double span = e[n - 1].angle - e[0].angle;
    if (!(span > 0.0)) return;
    const int buckets = 4 * n;
    scale_ = buckets / span;
    last_.resize(static_cast<size_t>(buckets) + 1);
    int lo = 0;
    for (int b = 0; b <= buckets; ++b) {
      const double edge = e[0].angle + b / scale_;
      while (lo + 1 < n && e[lo + 1].angle <= edge) ++lo;
      last_[static_cast<size_t>(b)] = lo;
    }
  }

  double Interpolate(double x, double& slope) const {
    if (last_.empty()) return InterpolateTable(table_, x, slope);
    slope = 0.0;
    const auto& e = table_.entries;
    const int n = table_.count;
    if (x <= e[0].angle) return e[0].radius;
    if (x >= e[n - 1].angle) return e[n - 1].radius;
    const double bucket = std::min((x - e[0].angle) * scale_, static_cast<double>(last_.size() - 1));
    int lo = last_[static_cast<size_t>(bucket)];
    while (lo > 0 && e[lo].angle > x) --lo;
    while (e[lo + 1].angle <= x) ++lo;
    return InterpolateAfter(e, lo, x, slope);
  }

 private:
  const PolarProfileTable& table_;
  double scale_ = 0.0;
  std::vector<int> last_;
};

}  // namespace

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
  const double p1 = 2.0 * kPi / static_cast<double>(pinion.toothCount);
  const double ratio = static_cast<double>(pinion.toothCount) / static_cast<double>(ring.toothCount);

  PolarProfileTable pinionTable, ringTable;
  BuildOnePitchTable(pinion, pinionTable);
  BuildOnePitchTable(ring, ringTable);
  const IndexedProfileTable pinionIndex(pinionTable), ringIndex(ringTable);
  // A ring point farther from the pinion centre than the pinion's largest table
  // radius cannot be inside it, whatever the interpolation: an interpolated radius
  // never exceeds the larger of its two entries by more than rounding. This keeps
  // the ring points within the pinion's tip circle instead of one module beyond.
  double pinionMaxRadius = 0.0;
  for (const auto& e : pinionTable.entries) pinionMaxRadius = std::max(pinionMaxRadius, e.radius);
  const double reach = std::min(ra1 + m1, pinionMaxRadius * (1.0 + 1e-12));
  const double limit2 = reach * reach;
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
  // Before that bound, a cheaper one without roots: a point turned through at most
  // `sweep` moves by at most r * sweep, and r is at most a more than its distance d
  // from the other gear's centre, so each gear's distance stays within
  // d * (1 -+ sweep) -+ a * sweep of where it starts. Points outside these wider
  // bands are dropped on d^2 alone; the rest still face the exact test.
  const double pinionKeep = (ra2 - 2.0 * margin - a * phi1Max) / (1.0 + phi1Max);
  const double pinionKeep2 = pinionKeep > 0.0 ? pinionKeep * pinionKeep : -1.0;
  const bool ringPrefilter = phi2Max < 0.5;
  const double ringKeep = (reach + 2.0 * margin + a * phi2Max) / (1.0 - phi2Max);
  const double ringKeep2 = ringKeep * ringKeep;
  std::vector<OutlinePoint> pinionPoints, ringPoints;
  for (const auto& line : pinion.outline) {
    for (const auto& p : line.points) {
      if ((p.x + a) * (p.x + a) + p.y * p.y < pinionKeep2) continue;
      const double r = std::sqrt(p.x * p.x + p.y * p.y);
      const double c = maxCos(p.x, p.y, r, cs1, ss1);
      const double farthest = std::sqrt(std::max(a * a + r * r + 2.0 * a * r * c, 0.0));
      if (farthest + margin > ra2) pinionPoints.push_back(p);
    }
  }
  for (const auto& line : ring.outline) {
    for (const auto& p : line.points) {
      if (ringPrefilter && (p.x - a) * (p.x - a) + p.y * p.y > ringKeep2) continue;
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
      const double R = ringIndex.Interpolate(Fold(DirectionAngle(u, v), p2), slope);
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
      const double R = pinionIndex.Interpolate(Fold(DirectionAngle(u, v) - phi1, p1), slope);
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
