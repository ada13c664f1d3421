// Checks of the internal pair: the ring tip radius that clears the pinion's root
// fillet, and the largest overlap of pinion and ring over one pinion pitch, judged
// on the two outline polygons. Frame: ring centre at the origin, pinion centre at
// (a, 0), both turning the same way, the ring by phi1 * z1 / z2.
#pragma once

#include <vector>

#include "geometry/gear_record.h"

namespace kovrex {

// Ring radius of the point of the line of action where the pinion's usable involute
// begins (ring centre at the origin, pinion centre at (a, 0)).
double ComputeRingTipLimitRadius(const GearRecord& pinion, const GearRecord& ring, double centreDistance);

// Pinion turn [rad] from the centred position that takes up the backlash on one
// flank: half of jn / cos(beta_b) along the line of action, over r_b1, with
// jn = (A_s1 + A_s2) cos(alpha_n) from the two records' thickness allowances.
double ComputeLoadedPinionTurn(const GearRecord& pinion, const GearRecord& ring);

// An overlap deeper than this many pinion modules is interference in the report.
constexpr double kInterferenceLimitModules = 0.002;

// Largest depth [mm] of a vertex of either outline inside the other body (its
// distance to that body's boundary) while the pinion runs through one full pitch,
// turned by each of `turns` [rad] from the centred position (the ring keeps the
// centred schedule). A turn also checks its negative: the mirror image of a pair
// turned one way is the pair turned the other way. -1e9 when the bodies never
// overlap; -1 when an outline cannot be read (no tooth 0, fewer than 3 teeth, no
// ring around the pinion). A depth within 5 % of the report's limit of 0.002 m
// or above it is found to 1e-5 m (or 2e-5 of itself, where that is more); a
// smaller one to 5 % of its distance from the limit. The outlines need only
// hold tooth 0 (ring: space 0), at their start. Each point is first followed in
// steps of one pinion pitch over `stepsPerPitch`, longer where it is far from the
// other body; the search then halves wherever a deeper overlap could hide, so
// fewer steps cost more halving, never a missed overlap.
double ComputeInternalOverlapAtTurns(const GearRecord& pinion, const GearRecord& ring, double centreDistance,
                                     const std::vector<double>& turns, int stepsPerPitch = 32);

// The overlap centred and with the backlash taken up on either flank.
double ComputeInternalMeshPenetration(const GearRecord& pinion, const GearRecord& ring, double centreDistance,
                                      int stepsPerPitch = 32);

}  // namespace kovrex
