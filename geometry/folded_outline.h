// One pitch of a gear's outline, folded: every tooth of a pinion (every space of a
// ring) is the same half profile mirrored and turned, so a point anywhere on the
// gear is turned and mirrored into the half sector [0, pitch/2] and judged there
// against the few segments near it. For the internal mesh check; not for drawing
// or export.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "geometry/gear_record.h"

namespace kovrex {

class FoldedOutline {
 public:
  // Reads tooth 0 (ring: space 0) from the start of gear.outline, so an outline
  // of that tooth alone will do. False when it cannot: fewer than 3 teeth, or a
  // first tooth that does not cross both of its half-sector rays.
  bool Build(const GearRecord& gear);

  double Pitch() const { return pitch_; }
  double TanHalfPitch() const { return tanHalf_; }
  // The outline's points in [0, pitch/2] in order from the ray at 0 (tooth centre
  // line; ring: space centre line) to the ray at pitch/2. Mirrored and turned by
  // whole pitches they give every vertex of the outline, plus the points where
  // it crosses the two rays.
  const std::vector<OutlinePoint>& HalfProfile() const { return half_; }
  // Closest approach of the outline polygon to the gear centre, and its farthest
  // vertex.
  double MinRadius() const { return minRadius_; }
  double MaxRadius() const { return maxRadius_; }

  // Turns p by whole pitches into [-pitch/2, pitch/2] and mirrors it into the
  // half sector.
  OutlinePoint Fold(OutlinePoint p) const;

  // Signed distance from a folded point to the boundary of the body: positive
  // inside the material, the distance to the nearest point of the outline (ring:
  // or of its rim circle); negative outside. In the material and within Band()
  // outside it, `lower` and `upper` are both the exact value. Farther outside only
  // `upper` holds, a value the truth never exceeds. Beyond the outline's radii in
  // the material (below a pinion's root, behind a ring's) the two bracket the
  // depth, and ExactSignedDepth gives it.
  struct Depth {
    double lower = 0.0, upper = 0.0;
    bool Exact() const { return lower == upper; }
  };
  Depth SignedDepth(OutlinePoint folded) const;
  double ExactSignedDepth(OutlinePoint folded) const;
  double Band() const { return band_; }

 private:
  enum class CellKind : uint8_t { Outside, Inside, Near };
  struct Cell {
    CellKind kind = CellKind::Outside;
    double clearance = 0.0;  // Outside/Inside: every point of the cell is farther than this from the boundary
  };

  // Distance to the outline over every pitch image it could be nearest in; exact,
  // for points deep in the material, which the grid lists no segments for.
  double DistanceToOutline(OutlinePoint folded) const;
  bool CrossesOddly(OutlinePoint folded) const;
  double NearestInCell(size_t cell, OutlinePoint p, bool& leftSide) const;
  double Finish(double depth, double radius) const;
  double DeepInCell(size_t cell, OutlinePoint p) const;
  Depth Deep(OutlinePoint folded, double radius) const;

  double pitch_ = 0.0, tanHalf_ = 0.0;
  bool materialLeft_ = true;  // of the counter-clockwise outline: pinion yes, ring no
  double rimRadius_ = 0.0;    // ring only
  double minRadius_ = 0.0, maxRadius_ = 0.0;
  double nearestAngle_ = 0.0, farthestAngle_ = 0.0;  // of those points, folded into [0, pitch/2]
  double band_ = 0.0;

  std::vector<OutlinePoint> pitchChain_;  // one pitch, angle -pitch/2 .. pitch/2, counter-clockwise
  std::vector<OutlinePoint> half_;
  std::vector<OutlinePoint> parityChain_;  // half_ with one mirrored segment beyond each ray
  std::vector<OutlinePoint> chain_;        // a few pitches around the half sector, counter-clockwise
  std::vector<OutlinePoint> leftNormal_;   // unit left normal of segment i of chain_

  double gridX0_ = 0.0, gridY0_ = 0.0, cellSize_ = 0.0, invCell_ = 0.0, halfDiagonal_ = 0.0;
  int nx_ = 0, ny_ = 0;
  std::vector<Cell> cells_;
  std::vector<uint32_t> cellStart_;  // segments of cell c: cellSegments_[cellStart_[c] .. cellStart_[c + 1])
  std::vector<uint32_t> cellSegments_;
  // Segment lists of the cells deep in the material, made when first looked up
  // (a query is const to its callers; these only cache what it finds).
  static constexpr uint32_t kNotListed = 0xFFFFFFFFu;
  mutable std::vector<std::pair<uint32_t, uint32_t>> deepRange_;  // start, count into deepSegments_
  mutable std::vector<OutlinePoint> deepSegments_;                 // end points, two per segment

  // Scratch of Build.
  std::vector<OutlinePoint> run_;
  std::vector<double> nearest_;
  std::vector<std::pair<uint32_t, uint32_t>> hits_;
  std::vector<uint32_t> fill_;
  std::vector<uint8_t> seen_;
  std::vector<size_t> queue_;
};

}  // namespace kovrex
