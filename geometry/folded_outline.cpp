// One pitch of a gear outline with a grid over its half sector, for the internal
// mesh check (see folded_outline.h).
#include "geometry/folded_outline.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kovrex {
namespace {

double Cross(OutlinePoint a, OutlinePoint b) { return a.x * b.y - a.y * b.x; }
OutlinePoint Minus(OutlinePoint a, OutlinePoint b) { return {a.x - b.x, a.y - b.y}; }
OutlinePoint Turned(OutlinePoint p, double c, double s) { return {c * p.x - s * p.y, s * p.x + c * p.y}; }

// The point of the ray at `angle` at the distance of p from the centre. The ends of
// the half profile are put exactly on their rays, so that its mirror images join
// it without a gap or a sliver.
OutlinePoint OnRay(OutlinePoint p, double angle) {
  const double r = std::hypot(p.x, p.y);
  if (angle == 0.0) return {r, 0.0};
  return {r * std::cos(angle), r * std::sin(angle)};
}

// Where segment ab crosses the line of the ray at `angle`.
OutlinePoint CrossingWithRay(OutlinePoint a, OutlinePoint b, double angle) {
  const OutlinePoint e{std::cos(angle), std::sin(angle)};
  const double sa = Cross(e, a), sb = Cross(e, b);
  const double t = sa / (sa - sb);
  return OnRay({a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)}, angle);
}

// Squared distance from p to segment ab; t receives the parameter of the nearest
// point (0 at a, 1 at b).
double SegmentDistance2(OutlinePoint p, OutlinePoint a, OutlinePoint b, double& t) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double len2 = dx * dx + dy * dy;
  t = len2 > 0.0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  const double ex = p.x - (a.x + t * dx), ey = p.y - (a.y + t * dy);
  return ex * ex + ey * ey;
}

double ChainDistance(const std::vector<OutlinePoint>& chain, OutlinePoint p) {
  double best = std::numeric_limits<double>::infinity(), t = 0.0;
  for (size_t i = 0; i + 1 < chain.size(); ++i) best = std::min(best, SegmentDistance2(p, chain[i], chain[i + 1], t));
  return std::sqrt(best);
}

}  // namespace

bool FoldedOutline::Build(const GearRecord& g) {
  // Vectors are cleared, not freed: the check runs on every keystroke and keeps
  // its two outlines, whose storage is then refilled instead of faulted in anew.
  pitch_ = tanHalf_ = rimRadius_ = minRadius_ = maxRadius_ = band_ = nearestAngle_ = farthestAngle_ = 0.0;
  for (std::vector<OutlinePoint>* v : {&pitchChain_, &half_, &parityChain_, &chain_, &leftNormal_, &run_}) v->clear();
  cells_.clear();
  cellStart_.clear();
  cellSegments_.clear();
  deepRange_.clear();
  deepSegments_.clear();
  nx_ = ny_ = 0;
  const int64_t z = g.toothCount;
  const double m = g.normalModule;
  if (z < 3 || g.outline.empty() || !(m > 0.0) || !std::isfinite(m)) return false;
  pitch_ = 2.0 * kPi / static_cast<double>(z);
  const double half = pitch_ / 2.0;
  tanHalf_ = std::tan(half);
  materialLeft_ = g.isInternal == 0;
  rimRadius_ = g.isInternal != 0 ? g.rimRadius : 0.0;
  if (!materialLeft_ && !(rimRadius_ > 0.0)) return false;

  // Tooth 0's half in [-pitch/2, 0]: the first run of the outline in that sector.
  // A pinion's tooth 0 enters it in the middle of the root arc before it and leaves
  // at its tip; a ring's space 0 enters at the middle of its root and leaves in the
  // middle of the tip arc after it. Points that repeat the previous one within
  // rounding (the shared ends of consecutive polylines) are dropped: a segment of
  // zero length has no normal to tell the sides by.
  const double eps = 1e-9 * pitch_;
  const double same = 1e-9 * m;
  std::vector<OutlinePoint>& run = run_;
  OutlinePoint before{}, after{}, prev{};
  bool haveBefore = false, haveAfter = false, havePrev = false, inRun = false;
  for (const OutlinePolyline& line : g.outline) {
    for (const OutlinePoint& p : line.points) {
      if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
      if (havePrev && std::hypot(p.x - prev.x, p.y - prev.y) <= same) continue;
      const double angle = std::atan2(p.y, p.x);
      const bool inside = angle >= -half - eps && angle <= eps;
      if (!inRun && inside) {
        inRun = true;
        before = prev;
        haveBefore = havePrev;
      }
      if (inRun && !inside) {
        after = p;
        haveAfter = true;
        break;
      }
      if (inRun) run.push_back(p);
      prev = p;
      havePrev = true;
    }
    if (haveAfter) break;
  }
  if (run.size() < 2) return false;

  // Each end of the run on its ray: a point within rounding of the ray is moved
  // onto it, otherwise the crossing with the neighbour outside is added.
  auto rayOf = [&](OutlinePoint p, int& ray) {
    const double angle = std::atan2(p.y, p.x);
    ray = std::fabs(angle + half) <= eps ? -1 : (std::fabs(angle) <= eps ? 1 : 0);
  };
  auto closeEnd = [&](OutlinePoint& end, bool haveOutside, OutlinePoint outside, bool front) -> int {
    int ray = 0;
    rayOf(end, ray);
    if (ray != 0) {
      end = OnRay(end, ray < 0 ? -half : 0.0);
      return ray;
    }
    if (!haveOutside) return 0;
    ray = std::atan2(outside.y, outside.x) < -half ? -1 : 1;
    const OutlinePoint x = CrossingWithRay(outside, end, ray < 0 ? -half : 0.0);
    if (front) {
      run.insert(run.begin(), x);
    } else {
      run.push_back(x);
    }
    return ray;
  };
  const int frontRay = closeEnd(run.front(), haveBefore, before, true);
  const int backRay = closeEnd(run.back(), haveAfter, after, false);
  if (frontRay == 0 || backRay == 0 || frontRay == backRay) return false;
  if (frontRay > 0) std::reverse(run.begin(), run.end());

  // One pitch from ray -pitch/2 over the centre line to ray pitch/2, counter-clockwise.
  const size_t n = run.size();
  pitchChain_ = run;
  for (size_t i = n - 1; i-- > 0;) pitchChain_.push_back({run[i].x, -run[i].y});
  half_.assign(pitchChain_.begin() + static_cast<long>(n - 1), pitchChain_.end());

  minRadius_ = std::numeric_limits<double>::infinity();
  maxRadius_ = 0.0;
  for (size_t i = 0; i < pitchChain_.size(); ++i) {
    const OutlinePoint p = pitchChain_[i];
    const double r = std::hypot(p.x, p.y);
    if (r > maxRadius_) {
      maxRadius_ = r;
      farthestAngle_ = std::fabs(std::atan2(p.y, p.x));
    }
    if (i + 1 < pitchChain_.size()) {
      double t = 0.0;
      const double d = std::sqrt(SegmentDistance2({0.0, 0.0}, p, pitchChain_[i + 1], t));
      if (d < minRadius_) {
        minRadius_ = d;
        const OutlinePoint q = pitchChain_[i + 1];
        nearestAngle_ = std::fabs(std::atan2(p.y + t * (q.y - p.y), p.x + t * (q.x - p.x)));
      }
    }
  }
  if (!(minRadius_ > 0.0) || (!materialLeft_ && !(rimRadius_ > maxRadius_))) return false;

  // The rays' own crossings are counted once with the half-open rule of
  // CrossesOddly only if the segments just beyond each ray are there too.
  const size_t h = half_.size();
  parityChain_.clear();
  parityChain_.push_back({half_[1].x, -half_[1].y});
  parityChain_.insert(parityChain_.end(), half_.begin(), half_.end());
  parityChain_.push_back(Turned({half_[h - 2].x, -half_[h - 2].y}, std::cos(pitch_), std::sin(pitch_)));

  // The grid over the half sector's bounding box, cells of about m/16, reaching
  // two cells beyond the outline's radii: a point off the grid is then more than
  // band from the outline, and the radius alone bounds its distance.
  const double margin = 1e-3 * m;
  double x1 = 0.0, y1 = 0.0;
  cellSize_ = m / 16.0;
  for (;;) {
    const double pad = 2.0 * cellSize_;
    gridX0_ = std::max(0.0, minRadius_ - pad) * std::cos(half) - margin;
    gridY0_ = -margin;
    x1 = maxRadius_ + pad;
    y1 = (maxRadius_ + pad) * std::sin(half) + margin;
    nx_ = static_cast<int>(std::ceil((x1 - gridX0_) / cellSize_));
    ny_ = static_cast<int>(std::ceil((y1 - gridY0_) / cellSize_));
    if (static_cast<int64_t>(nx_) * ny_ <= 16384) break;
    cellSize_ *= 1.25;
  }
  nx_ = std::max(nx_, 1);
  ny_ = std::max(ny_, 1);
  invCell_ = 1.0 / cellSize_;
  halfDiagonal_ = cellSize_ * std::sqrt(0.5);
  band_ = halfDiagonal_;
  // A cell whose centre is within hd + band of the outline is Near: its points may
  // lie within band of it, and their nearest segment is within 2 hd + that
  // distance of the centre, so every segment within `reach` is listed.
  const double reach = 3.0 * halfDiagonal_ + band_;

  // Enough pitches around the half sector that every segment within reach of the
  // grid is among them; a gear of few teeth takes them all (a copy twice over
  // does no harm to a nearest distance).
  const double nearestBox = gridX0_ - reach;
  const double spread = nearestBox > 0.0 ? std::asin(std::min(1.0, reach / nearestBox)) : kPi;
  const double widest = std::atan2(y1, std::max(gridX0_, 1e-300)) + spread;
  const int64_t images = std::min<int64_t>(z, static_cast<int64_t>(std::ceil((widest - half) / pitch_)) + 1);
  chain_.clear();
  for (int64_t j = -images; j <= images; ++j) {
    const double c = std::cos(static_cast<double>(j) * pitch_), s = std::sin(static_cast<double>(j) * pitch_);
    for (size_t i = j == -images ? 0 : 1; i < pitchChain_.size(); ++i) chain_.push_back(Turned(pitchChain_[i], c, s));
  }
  leftNormal_.assign(chain_.size(), {0.0, 0.0});
  for (size_t i = 0; i + 1 < chain_.size(); ++i) {
    const OutlinePoint d = Minus(chain_[i + 1], chain_[i]);
    const double len = std::hypot(d.x, d.y);
    if (len > 0.0) leftNormal_[i] = {-d.y / len, d.x / len};
  }

  const size_t cellCount = static_cast<size_t>(nx_) * static_cast<size_t>(ny_);
  std::vector<double>& nearest = nearest_;
  nearest.assign(cellCount, std::numeric_limits<double>::infinity());
  std::vector<std::pair<uint32_t, uint32_t>>& hits = hits_;  // (cell, segment)
  hits.clear();
  for (size_t i = 0; i + 1 < chain_.size(); ++i) {
    const OutlinePoint a = chain_[i], b = chain_[i + 1];
    const int ix0 = std::max(0, static_cast<int>(std::floor((std::min(a.x, b.x) - reach - gridX0_) * invCell_)));
    const int ix1 = std::min(nx_ - 1, static_cast<int>(std::floor((std::max(a.x, b.x) + reach - gridX0_) * invCell_)));
    const int iy0 = std::max(0, static_cast<int>(std::floor((std::min(a.y, b.y) - reach - gridY0_) * invCell_)));
    const int iy1 = std::min(ny_ - 1, static_cast<int>(std::floor((std::max(a.y, b.y) + reach - gridY0_) * invCell_)));
    for (int iy = iy0; iy <= iy1; ++iy) {
      for (int ix = ix0; ix <= ix1; ++ix) {
        const OutlinePoint centre{gridX0_ + (ix + 0.5) * cellSize_, gridY0_ + (iy + 0.5) * cellSize_};
        double t = 0.0;
        const double d = std::sqrt(SegmentDistance2(centre, a, b, t));
        if (d > reach) continue;
        const size_t cell = static_cast<size_t>(iy) * static_cast<size_t>(nx_) + static_cast<size_t>(ix);
        hits.push_back({static_cast<uint32_t>(cell), static_cast<uint32_t>(i)});
        nearest[cell] = std::min(nearest[cell], d);
      }
    }
  }

  cells_.assign(cellCount, Cell());
  cellStart_.assign(cellCount + 1, 0);
  for (size_t c = 0; c < cellCount; ++c) {
    if (nearest[c] <= halfDiagonal_ + band_) {
      cells_[c].kind = CellKind::Near;
    } else {
      cells_[c].clearance = std::min(nearest[c], reach) - halfDiagonal_;
    }
  }
  for (const auto& [cell, segment] : hits)
    if (cells_[cell].kind == CellKind::Near) ++cellStart_[cell + 1];
  for (size_t c = 0; c < cellCount; ++c) cellStart_[c + 1] += cellStart_[c];
  cellSegments_.assign(cellStart_[cellCount], 0);
  std::vector<uint32_t>& fill = fill_;
  fill.assign(cellStart_.begin(), cellStart_.end() - 1);
  for (const auto& [cell, segment] : hits)
    if (cells_[cell].kind == CellKind::Near) cellSegments_[fill[cell]++] = segment;

  // The far cells lie wholly on one side of the outline, and two neighbours that
  // are both far are on the same side (the line between their centres stays more
  // than band from the outline), so one crossing count per connected group of
  // far cells tells the side of all of them.
  std::vector<uint8_t>& seen = seen_;
  seen.assign(cellCount, 0);
  std::vector<size_t>& queue = queue_;
  queue.clear();
  for (size_t start = 0; start < cellCount; ++start) {
    if (seen[start] || cells_[start].kind == CellKind::Near) continue;
    const int sx = static_cast<int>(start % static_cast<size_t>(nx_)), sy = static_cast<int>(start / static_cast<size_t>(nx_));
    const OutlinePoint centre = Fold({gridX0_ + (sx + 0.5) * cellSize_, gridY0_ + (sy + 0.5) * cellSize_});
    const CellKind kind = CrossesOddly(centre) != materialLeft_ ? CellKind::Inside : CellKind::Outside;
    seen[start] = 1;
    queue.push_back(start);
    while (!queue.empty()) {
      const size_t c = queue.back();
      queue.pop_back();
      cells_[c].kind = kind;
      const int cx = static_cast<int>(c % static_cast<size_t>(nx_)), cy = static_cast<int>(c / static_cast<size_t>(nx_));
      const int next[4][2] = {{cx - 1, cy}, {cx + 1, cy}, {cx, cy - 1}, {cx, cy + 1}};
      for (const auto& q : next) {
        if (q[0] < 0 || q[0] >= nx_ || q[1] < 0 || q[1] >= ny_) continue;
        const size_t nc = static_cast<size_t>(q[1]) * static_cast<size_t>(nx_) + static_cast<size_t>(q[0]);
        if (seen[nc] || cells_[nc].kind == CellKind::Near) continue;
        seen[nc] = 1;
        queue.push_back(nc);
      }
    }
  }
  return true;
}

OutlinePoint FoldedOutline::Fold(OutlinePoint p) const {
  const double k = std::round(std::atan2(p.y, p.x) / pitch_);
  OutlinePoint q = Turned(p, std::cos(-k * pitch_), std::sin(-k * pitch_));
  q.y = std::fabs(q.y);
  return q;
}

// Crossings of the segment from the gear centre to the folded point with the
// outline. A crossing counts where one end of an outline segment lies strictly
// to the left of the line and the other does not, so a ray through a vertex
// counts it once.
bool FoldedOutline::CrossesOddly(OutlinePoint p) const {
  bool odd = false;
  for (size_t i = 0; i + 1 < parityChain_.size(); ++i) {
    const OutlinePoint a = parityChain_[i], b = parityChain_[i + 1];
    if ((Cross(p, a) > 0.0) == (Cross(p, b) > 0.0)) continue;
    const OutlinePoint ab = Minus(b, a);
    if ((Cross(ab, Minus(p, a)) > 0.0) != (Cross(ab, {-a.x, -a.y}) > 0.0)) odd = !odd;
  }
  return odd;
}

double FoldedOutline::DistanceToOutline(OutlinePoint p) const {
  const double radius = std::hypot(p.x, p.y);
  const double angle = std::atan2(p.y, p.x);
  const int64_t z = static_cast<int64_t>(std::llround(2.0 * kPi / pitch_));
  double best = ChainDistance(pitchChain_, p);
  // Pitch k of the outline lies in the annular sector between the outline's
  // radii and the rays k pitch -+ pitch/2; no point of it is nearer than that
  // sector, and the sectors only move away as k grows.
  for (int side : {1, -1}) {
    for (int64_t k = 1; k <= z / 2 + 1; ++k) {
      const double gap = static_cast<double>(k) * pitch_ - pitch_ / 2.0 - side * angle;
      if (gap > 0.0) {
        const double along = std::clamp(radius * std::cos(std::min(gap, kPi)), minRadius_, maxRadius_);
        const double nearest = std::sqrt(std::max(0.0, radius * radius + along * along -
                                                          2.0 * radius * along * std::cos(std::min(gap, kPi))));
        if (nearest >= best) break;
      }
      const double turn = -side * static_cast<double>(k) * pitch_;
      best = std::min(best, ChainDistance(pitchChain_, Turned(p, std::cos(turn), std::sin(turn))));
    }
  }
  return best;
}

// Nearest listed segment, and on which side of the outline p lies. Where the
// nearest point is a vertex, the side is that of the sum of the two segments'
// normals there: either normal alone reads a point beside a corner wrongly.
double FoldedOutline::NearestInCell(size_t cell, OutlinePoint p, bool& leftSide) const {
  double best = std::numeric_limits<double>::infinity(), bestT = 0.0;
  uint32_t bestSegment = 0;
  for (uint32_t k = cellStart_[cell]; k < cellStart_[cell + 1]; ++k) {
    const uint32_t i = cellSegments_[k];
    double t = 0.0;
    const double d2 = SegmentDistance2(p, chain_[i], chain_[i + 1], t);
    if (d2 < best) {
      best = d2;
      bestT = t;
      bestSegment = i;
    }
  }
  OutlinePoint normal = leftNormal_[bestSegment];
  OutlinePoint foot{chain_[bestSegment].x + bestT * (chain_[bestSegment + 1].x - chain_[bestSegment].x),
                    chain_[bestSegment].y + bestT * (chain_[bestSegment + 1].y - chain_[bestSegment].y)};
  if (bestT <= 0.0 && bestSegment > 0) {
    foot = chain_[bestSegment];
    normal = {normal.x + leftNormal_[bestSegment - 1].x, normal.y + leftNormal_[bestSegment - 1].y};
  } else if (bestT >= 1.0 && bestSegment + 2 < chain_.size()) {
    foot = chain_[bestSegment + 1];
    normal = {normal.x + leftNormal_[bestSegment + 1].x, normal.y + leftNormal_[bestSegment + 1].y};
  }
  const OutlinePoint away = Minus(p, foot);
  leftSide = away.x * normal.x + away.y * normal.y > 0.0;
  return std::sqrt(best);
}

// A ring's material ends at its rim circle.
double FoldedOutline::Finish(double depth, double radius) const {
  if (materialLeft_) return depth;
  if (radius >= rimRadius_) return -(radius - rimRadius_);
  return std::min(depth, rimRadius_ - radius);
}

// A point in the material beyond the outline's radii (below a pinion's roots,
// behind a ring's): between its distance to those radii and its distance to the
// outline's extreme point (pinion: nearest the centre; ring: farthest) in the
// pitch beside it, which far from the outline is all but the nearest of all.
FoldedOutline::Depth FoldedOutline::Deep(OutlinePoint p, double radius) const {
  const bool below = radius < minRadius_;
  const double extreme = below ? minRadius_ : maxRadius_;
  const double at = below ? nearestAngle_ : farthestAngle_;
  const double angle = std::atan2(p.y, p.x);
  // That point and its mirror images nearest the folded angle.
  const double apart = std::min({std::fabs(angle - at), angle + at, std::fabs(pitch_ - at - angle)});
  const double upper = Finish(
      std::sqrt(std::max(0.0, radius * radius + extreme * extreme - 2.0 * radius * extreme * std::cos(apart))),
      radius);
  return {std::min(Finish(std::fabs(radius - extreme), radius), upper), upper};
}

FoldedOutline::Depth FoldedOutline::SignedDepth(OutlinePoint p) const {
  const double inf = std::numeric_limits<double>::infinity();
  const double fx = (p.x - gridX0_) * invCell_, fy = (p.y - gridY0_) * invCell_;
  if (!(fx >= 0.0 && fx < nx_ && fy >= 0.0 && fy < ny_)) {
    // Beyond the grid a folded point is either beyond the farthest vertex or
    // nearer the centre than the outline comes.
    const double radius = std::hypot(p.x, p.y);
    if (materialLeft_) {
      if (radius >= maxRadius_) return {-inf, -(radius - maxRadius_)};
      return Deep(p, radius);
    }
    if (radius <= minRadius_) return {-inf, -(minRadius_ - radius)};
    if (radius >= rimRadius_) return {-inf, -(radius - rimRadius_)};
    return Deep(p, radius);
  }
  const size_t cell = static_cast<size_t>(fy) * static_cast<size_t>(nx_) + static_cast<size_t>(fx);
  const Cell& c = cells_[cell];
  if (c.kind == CellKind::Outside) return {-inf, -c.clearance};
  const double radius = std::hypot(p.x, p.y);
  if (c.kind == CellKind::Inside) {
    if (!materialLeft_ && radius >= rimRadius_) return {-inf, -(radius - rimRadius_)};
    const double v = Finish(DeepInCell(cell, p), radius);
    return {v, v};
  }
  bool left = false;
  const double d = NearestInCell(cell, p, left);
  const double v = left != materialLeft_ ? -d : Finish(d, radius);
  return {v, v};
}

// A cell deep in the material gets its list on first use: every segment of the
// outline, over as many pitches as it takes, within the distance of its centre
// to the outline plus a cell diagonal, which holds the nearest segment of every
// point of the cell. Overlapping flanks keep a whole row of points this deep
// through the mesh, each looked up again and again; a walk over the pitches for
// each of them cost most of the check.
double FoldedOutline::DeepInCell(size_t cell, OutlinePoint p) const {
  if (deepRange_.empty()) deepRange_.assign(cells_.size(), {0, kNotListed});
  std::pair<uint32_t, uint32_t>& range = deepRange_[cell];
  if (range.second == kNotListed) {
    const size_t ix = cell % static_cast<size_t>(nx_), iy = cell / static_cast<size_t>(nx_);
    const OutlinePoint centre{gridX0_ + (static_cast<double>(ix) + 0.5) * cellSize_,
                              gridY0_ + (static_cast<double>(iy) + 0.5) * cellSize_};
    const double reach = DistanceToOutline(centre) + 2.0 * halfDiagonal_;
    const double radius = std::hypot(centre.x, centre.y), angle = std::atan2(centre.y, centre.x);
    const int64_t z = static_cast<int64_t>(std::llround(2.0 * kPi / pitch_));
    range.first = static_cast<uint32_t>(deepSegments_.size());
    auto listPitch = [&](int64_t k) {
      const double c = std::cos(static_cast<double>(k) * pitch_), s = std::sin(static_cast<double>(k) * pitch_);
      for (size_t i = 0; i + 1 < pitchChain_.size(); ++i) {
        const OutlinePoint a = Turned(pitchChain_[i], c, s), b = Turned(pitchChain_[i + 1], c, s);
        double t = 0.0;
        if (SegmentDistance2(centre, a, b, t) <= reach * reach) {
          deepSegments_.push_back(a);
          deepSegments_.push_back(b);
        }
      }
    };
    listPitch(0);
    for (int side : {1, -1}) {
      for (int64_t k = 1; k <= z / 2 + 1; ++k) {
        const double gap = std::min(static_cast<double>(k) * pitch_ - pitch_ / 2.0 - side * angle, kPi);
        const double along = std::clamp(radius * std::cos(gap), minRadius_, maxRadius_);
        if (gap > 0.0 && radius * radius + along * along - 2.0 * radius * along * std::cos(gap) > reach * reach)
          break;
        listPitch(side * k);
      }
    }
    range.second = static_cast<uint32_t>(deepSegments_.size()) - range.first;
  }
  double best = std::numeric_limits<double>::infinity(), t = 0.0;
  for (uint32_t i = range.first; i < range.first + range.second; i += 2)
    best = std::min(best, SegmentDistance2(p, deepSegments_[i], deepSegments_[i + 1], t));
  return std::sqrt(best);
}

double FoldedOutline::ExactSignedDepth(OutlinePoint p) const {
  const Depth d = SignedDepth(p);
  if (d.Exact() || !(d.upper > 0.0)) return d.upper;
  return Finish(DistanceToOutline(p), std::hypot(p.x, p.y));
}

}  // namespace kovrex
