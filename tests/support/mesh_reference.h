// An independent measure of how pinion and ring of an internal pair overlap, for
// the tests of the mesh check: the whole outlines as generated (every tooth, no
// folding), placed at each position of a dense sweep over one pinion pitch; every
// vertex near the mesh is tested against the other polygon by counting crossings
// of the line from that gear's centre, and its depth is its distance to the
// nearest segment of the other outline (or of the ring's rim). Segments are
// looked up by the angle they span about their own centre, nothing else.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "geometry/gear_record.h"

namespace kovrex::test {

class ReferencePolygon {
 public:
  // The whole outline of a valid gear or ring as one closed loop.
  ReferencePolygon(const GearRecord& g) : materialAroundCentre_(g.isInternal == 0), rim_(g.rimRadius) {
    for (const OutlinePolyline& line : g.outline)
      for (const OutlinePoint& p : line.points)
        if (loop_.empty() || std::hypot(p.x - loop_.back().x, p.y - loop_.back().y) > 1e-12) loop_.push_back(p);
    if (loop_.size() > 1 && std::hypot(loop_[0].x - loop_.back().x, loop_[0].y - loop_.back().y) <= 1e-12)
      loop_.pop_back();
    const size_t count = static_cast<size_t>(32 * g.toothCount);
    binWidth_ = 2.0 * kPi / static_cast<double>(count);
    bins_.resize(count);
    for (size_t i = 0; i < loop_.size(); ++i) {
      const OutlinePoint a = loop_[i], b = loop_[(i + 1) % loop_.size()];
      double ta = std::atan2(a.y, a.x), tb = std::atan2(b.y, b.x);
      if (tb - ta > kPi) tb -= 2.0 * kPi;
      if (ta - tb > kPi) ta -= 2.0 * kPi;
      // Every bin the segment's angles reach, and a hair beyond, once each: a
      // segment listed twice in a bin would count its crossing twice, and one
      // missing from the bin of a ray that passes through its end vertex (a
      // vertex on a bin edge, as the middle of a root arc can be at a symmetric
      // position) would count none.
      const double hair = 1e-9 * binWidth_;
      const auto first = static_cast<int64_t>(std::floor((std::min(ta, tb) - hair + 4.0 * kPi) / binWidth_));
      const auto last = static_cast<int64_t>(std::floor((std::max(ta, tb) + hair + 4.0 * kPi) / binWidth_));
      for (int64_t k = first; k <= last; ++k) bins_[static_cast<size_t>(k) % count].push_back(i);
    }
  }

  // Signed distance of p (in this gear's frame) to the material's boundary:
  // positive inside the material; outside, minus the distance, but at most `cap`.
  double SignedDistance(OutlinePoint p, double cap) const {
    const double radius = std::sqrt(p.x * p.x + p.y * p.y);
    const double angle = std::atan2(p.y, p.x);
    int crossings = 0;
    const OutlinePoint centre{0.0, 0.0};
    for (size_t i : bins_[Bin(angle)])
      if (Crosses(centre, p, loop_[i], loop_[(i + 1) % loop_.size()])) ++crossings;
    bool inside = (crossings % 2 == 0) == materialAroundCentre_;
    if (!materialAroundCentre_ && radius >= rim_) inside = false;
    const double rim = !materialAroundCentre_ ? std::fabs(rim_ - radius) : std::numeric_limits<double>::infinity();
    double best2 = rim * rim;
    const double limit = inside ? std::numeric_limits<double>::infinity() : cap;
    const int center = static_cast<int>(Bin(angle));
    const int count = static_cast<int>(bins_.size());
    for (int j = 0; j < count / 2 + 1; ++j) {
      const double gap = (j - 1) * binWidth_;
      const double reach = radius * std::sin(std::min(gap, kPi / 2.0));
      if (gap > 0.0 && reach * reach >= std::min(best2, limit * limit)) break;
      for (int side : {1, -1}) {
        if (j == 0 && side < 0) continue;
        const int bin = ((center + side * j) % count + count) % count;
        for (size_t i : bins_[static_cast<size_t>(bin)])
          best2 = std::min(best2, Distance2(p, loop_[i], loop_[(i + 1) % loop_.size()]));
      }
    }
    const double best = std::sqrt(best2);
    return inside ? best : -std::min(best, cap);
  }

 private:
  size_t Bin(double angle) const {
    return static_cast<size_t>(std::floor((angle + 4.0 * kPi) / binWidth_)) % bins_.size();
  }
  static double Side(OutlinePoint a, OutlinePoint b, OutlinePoint c) {
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
  }
  // The segments op and ab cross; a vertex on the line op counts for one of its
  // two segments only.
  static bool Crosses(OutlinePoint o, OutlinePoint p, OutlinePoint a, OutlinePoint b) {
    if ((Side(o, p, a) > 0) == (Side(o, p, b) > 0)) return false;
    return (Side(a, b, o) > 0) != (Side(a, b, p) > 0);
  }
  static double Distance2(OutlinePoint p, OutlinePoint a, OutlinePoint b) {
    const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    const double t = len2 > 0.0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0) : 0.0;
    const double ex = p.x - a.x - t * dx, ey = p.y - a.y - t * dy;
    return ex * ex + ey * ey;
  }

  std::vector<OutlinePoint> loop_;
  bool materialAroundCentre_;
  double rim_;
  double binWidth_ = 0.0;
  std::vector<std::vector<size_t>> bins_;
};

// The deepest signed depth over the sweep: the largest depth of a vertex inside
// the other body, or, when none is ever inside, minus the closest approach (at
// most `cap`). Pinion at psi + turn, ring at psi z1 / z2, psi over one pinion
// pitch in `positions` steps; around the six best positions the sweep is repeated
// twice, each time 64 times finer.
struct SweptOverlap {
  double signedDepth = -std::numeric_limits<double>::infinity();
  double psi = 0.0;
};

class ReferenceMesh {
 public:
  // Full outlines (every tooth) of a valid pinion and ring.
  ReferenceMesh(const GearRecord& pinion, const GearRecord& ring, double a)
      : pinionPolygon_(pinion), ringPolygon_(ring), a_(a), m_(pinion.normalModule),
        u_(double(pinion.toothCount) / double(ring.toothCount)), p1_(2.0 * kPi / double(pinion.toothCount)) {
    // Vertices that can come near the other body somewhere in the sweep: a pinion
    // vertex beyond the ring's tip circle, a ring vertex within the pinion's tip
    // circle, each with a module to spare, at any angle the sweep turns them to.
    const double ringTip = ring.tipRadius - m_, pinionTip = pinion.tipRadius + m_;
    ringInner_ = ring.tipRadius - 0.01 * m_;
    pinionOuter_ = pinion.tipRadius + 0.01 * m_;
    auto halfAngle = [](double c) { return c <= -1.0 ? kPi : (c >= 1.0 ? 0.0 : std::acos(c)); };
    const double ra1 = pinion.tipRadius;
    const double spreadPinion = halfAngle((ringTip * ringTip - a * a - ra1 * ra1) / (2.0 * a * ra1));
    const double ra2 = ring.tipRadius;
    const double spreadRing = halfAngle((ra2 * ra2 + a * a - pinionTip * pinionTip) / (2.0 * a * ra2));
    for (const OutlinePolyline& line : pinion.outline)
      for (const OutlinePoint& q : line.points) {
        const double t = std::atan2(q.y, q.x);
        if (t > -spreadPinion - 3.0 * p1_ && t < spreadPinion + 2.0 * p1_) pinionPoints_.push_back(q);
      }
    const double p2 = 2.0 * kPi / double(ring.toothCount);
    for (const OutlinePolyline& line : ring.outline)
      for (const OutlinePoint& q : line.points) {
        const double t = std::atan2(q.y, q.x);
        if (t > -spreadRing - 3.0 * p2 && t < spreadRing + 2.0 * p2) ringPoints_.push_back(q);
      }
  }

  // A vertex farther than `cap` outside the other gear's tip circle (less the
  // chord of its tip arc) is farther than that from its body: it is skipped.
  double At(double psi, double turn, double cap) const {
    const double c1 = std::cos(psi + turn), s1 = std::sin(psi + turn);
    const double c2 = std::cos(u_ * psi), s2 = std::sin(u_ * psi);
    const double ringNear = ringInner_ - cap, pinionNear = pinionOuter_ + cap;
    double best = -cap;
    for (const OutlinePoint& q : pinionPoints_) {
      const double x = a_ + c1 * q.x - s1 * q.y, y = s1 * q.x + c1 * q.y;  // world
      if (x * x + y * y < ringNear * ringNear) continue;
      best = std::max(best, ringPolygon_.SignedDistance({c2 * x + s2 * y, -s2 * x + c2 * y}, cap));
    }
    for (const OutlinePoint& q : ringPoints_) {
      const double x = c2 * q.x - s2 * q.y - a_, y = s2 * q.x + c2 * q.y;  // world, from the pinion centre
      if (x * x + y * y > pinionNear * pinionNear) continue;
      best = std::max(best, pinionPolygon_.SignedDistance({c1 * x + s1 * y, -s1 * x + c1 * y}, cap));
    }
    return best;
  }

  SweptOverlap Sweep(double turn, int positions, double cap) const {
    const double step = p1_ / positions;
    std::vector<double> value(static_cast<size_t>(positions));
    for (int k = 0; k < positions; ++k) value[static_cast<size_t>(k)] = At(k * step, turn, cap);
    std::vector<int> peaks;
    for (int k = 0; k < positions; ++k) {
      const double v = value[static_cast<size_t>(k)];
      if (v >= value[static_cast<size_t>((k + positions - 1) % positions)] &&
          v >= value[static_cast<size_t>((k + 1) % positions)])
        peaks.push_back(k);
    }
    std::sort(peaks.begin(), peaks.end(),
              [&](int l, int r) { return value[static_cast<size_t>(l)] > value[static_cast<size_t>(r)]; });
    SweptOverlap out;
    for (size_t i = 0; i < peaks.size() && i < 6; ++i) {
      double centre = peaks[i] * step, width = step;
      for (int level = 0; level < 3; ++level) {
        const double fine = 2.0 * width / 64.0;
        double bestPsi = centre, bestValue = -std::numeric_limits<double>::infinity();
        for (int j = 0; j <= 64; ++j) {
          const double psi = centre - width + j * fine;
          const double v = level == 0 && j == 32 ? value[static_cast<size_t>(peaks[i])] : At(psi, turn, cap);
          if (v > bestValue) {
            bestValue = v;
            bestPsi = psi;
          }
        }
        if (bestValue > out.signedDepth) out = {bestValue, bestPsi};
        centre = bestPsi;
        width = fine;
      }
    }
    return out;
  }

 private:
  ReferencePolygon pinionPolygon_, ringPolygon_;
  double a_, m_, u_, p1_;
  double ringInner_ = 0.0, pinionOuter_ = 0.0;
  std::vector<OutlinePoint> pinionPoints_, ringPoints_;
};

}  // namespace kovrex::test
