// Clearance of a closed chain of planar B-splines: every knot span becomes a cubic
// Bezier piece, pieces that may come close are found by their boxes, and each such
// pair is halved until the convex hulls prove it apart or two points of the curves
// prove it close.
#include "export/step_contour_clearance.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>

namespace kovrex {

namespace {

struct Point2 {
  double x = 0.0;
  double y = 0.0;
};

// One knot span of a curve as a cubic Bezier piece. A line or a parabola is the
// same polynomial written as a cubic.
struct Piece {
  Point2 b[4];
};

struct Box {
  double x0, y0, x1, y1;
};

// Pieces joined by less than this many gaps of the chain's length meet at a joint,
// and within kJointGaps of it their two sides may come as close as they like: two
// sides at an angle of one degree stand a gap apart there.
constexpr double kNeighbourGaps = 16.0;
constexpr double kJointGaps = 64.0;
// Piece pairs one check may examine. An outline needs thousands; a chain that
// still cannot be decided after this many is taken as not clear rather than
// freezing the export.
constexpr int64_t kPairBudget = 20000000;
// Halvings of both pieces along one path of the search: a metre halved forty
// times is below a nanometre.
constexpr int kMaxSplits = 80;

Point2 Mid(Point2 a, Point2 b) { return {(a.x + b.x) / 2.0, (a.y + b.y) / 2.0}; }

// Coordinates stay far below where the squares overflow, so no hypot: it took
// most of the time of a check.
double Distance(Point2 a, Point2 b) { return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y)); }

double PointSegmentDistance(Point2 p, Point2 a, Point2 b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double ll = dx * dx + dy * dy;
  const double t = ll > 0.0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / ll, 0.0, 1.0) : 0.0;
  return Distance(p, {a.x + t * dx, a.y + t * dy});
}

double Cross(Point2 o, Point2 a, Point2 b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }

bool OppositeSides(double s, double t) { return (s > 0.0 && t < 0.0) || (s < 0.0 && t > 0.0); }

double SegmentDistance(Point2 a0, Point2 a1, Point2 b0, Point2 b1) {
  if (OppositeSides(Cross(a0, a1, b0), Cross(a0, a1, b1)) && OppositeSides(Cross(b0, b1, a0), Cross(b0, b1, a1)))
    return 0.0;
  return std::min({PointSegmentDistance(a0, b0, b1), PointSegmentDistance(a1, b0, b1),
                   PointSegmentDistance(b0, a0, a1), PointSegmentDistance(b1, a0, a1)});
}

// The piece lies in the hull of its four points, and the distance to a segment is
// convex: no point of the piece is farther from its chord than this.
double Flatness(const Piece& p) {
  return std::max(PointSegmentDistance(p.b[1], p.b[0], p.b[3]), PointSegmentDistance(p.b[2], p.b[0], p.b[3]));
}

void Halve(const Piece& p, Piece& left, Piece& right) {
  const Point2 m01 = Mid(p.b[0], p.b[1]), m12 = Mid(p.b[1], p.b[2]), m23 = Mid(p.b[2], p.b[3]);
  const Point2 a = Mid(m01, m12), b = Mid(m12, m23), c = Mid(a, b);
  left = {{p.b[0], m01, a, c}};
  right = {{c, b, m23, p.b[3]}};
}

Box BoxOf(const Piece& p) {
  Box box{p.b[0].x, p.b[0].y, p.b[0].x, p.b[0].y};
  for (const Point2& q : p.b) {
    box.x0 = std::min(box.x0, q.x);
    box.y0 = std::min(box.y0, q.y);
    box.x1 = std::max(box.x1, q.x);
    box.y1 = std::max(box.y1, q.y);
  }
  return box;
}

// Apart along one axis by the gap: apart by at least the gap.
bool BoxesApart(const Box& a, const Box& b, double gap) {
  return a.x0 - b.x1 >= gap || b.x0 - a.x1 >= gap || a.y0 - b.y1 >= gap || b.y0 - a.y1 >= gap;
}

// The degree + 1 basis functions that do not vanish on the span [knots[k],
// knots[k + 1]), at u in or at the ends of that span (Cox-de Boor, triangular).
void SpanBasis(int p, const double* knots, size_t k, double u, double* N) {
  double left[4], right[4];
  N[0] = 1.0;
  for (int j = 1; j <= p; ++j) {
    left[j] = u - knots[k + 1 - j];
    right[j] = knots[k + j] - u;
    double saved = 0.0;
    for (int r = 0; r < j; ++r) {
      const double t = N[r] / (right[r + 1] + left[j - r]);
      N[r] = saved + right[r + 1] * t;
      saved = left[j - r] * t;
    }
    N[j] = saved;
  }
}

// The point at u of the curve of degree p on the span that starts at knots[k].
Point2 OnSpan(int p, const double* knots, const StepControlPoint* points, size_t k, double u) {
  double N[4];
  SpanBasis(p, knots, k, u, N);
  Point2 out;
  for (int r = 0; r <= p; ++r) {
    out.x += N[r] * points[k - static_cast<size_t>(p) + static_cast<size_t>(r)].x;
    out.y += N[r] * points[k - static_cast<size_t>(p) + static_cast<size_t>(r)].y;
  }
  return out;
}

// The curve's knot spans as pieces, appended to out: end points and end tangents
// of each span give the cubic Bezier of the same polynomial, since the interior
// knots of a fitted curve are simple and its derivative is continuous there.
// False when a number of the curve is not finite or its knots do not fit it.
bool AppendPieces(const StepPlanarCurve& curve, std::vector<Piece>& out) {
  const int p = curve.degree;
  const size_t n = curve.points.size();
  if (p < 1 || n < static_cast<size_t>(p) + 1 || curve.knots.size() != n + static_cast<size_t>(p) + 1) return false;
  for (double k : curve.knots)
    if (!std::isfinite(k)) return false;
  for (const StepControlPoint& q : curve.points)
    if (!std::isfinite(q.x) || !std::isfinite(q.y)) return false;

  // The derivative: degree p - 1 on the knots without the first and the last, so
  // that its span of the same knots starts one index earlier.
  std::vector<StepControlPoint> slopes(n - 1);
  for (size_t i = 0; i + 1 < n; ++i) {
    const double span = curve.knots[i + p + 1] - curve.knots[i + 1];
    if (!(span > 0.0)) return false;
    slopes[i].x = p * (curve.points[i + 1].x - curve.points[i].x) / span;
    slopes[i].y = p * (curve.points[i + 1].y - curve.points[i].y) / span;
  }
  const double* knots = curve.knots.data();

  for (size_t k = static_cast<size_t>(p); k < n; ++k) {
    const double a = knots[k], b = knots[k + 1];
    if (!(b > a)) continue;
    const Point2 ca = OnSpan(p, knots, curve.points.data(), k, a);
    const Point2 cb = OnSpan(p, knots, curve.points.data(), k, b);
    const Point2 da = OnSpan(p - 1, knots + 1, slopes.data(), k - 1, a);
    const Point2 db = OnSpan(p - 1, knots + 1, slopes.data(), k - 1, b);
    const double third = (b - a) / 3.0;
    out.push_back({{ca, {ca.x + third * da.x, ca.y + third * da.y}, {cb.x - third * db.x, cb.y - third * db.y}, cb}});
  }
  return true;
}

constexpr double kHalfPi = 1.57079632679489661923;
constexpr double kTurn = 6.28318530717958647692;

// Angle in (-pi, pi].
double Wrapped(double angle) {
  angle = std::fmod(angle, kTurn);
  if (angle > kTurn / 2.0) angle -= kTurn;
  if (angle <= -kTurn / 2.0) angle += kTurn;
  return angle;
}

// The directions from an apex to a piece's control points, as an interval of
// angles narrower than a half-turn.
struct Cone {
  double centre = 0.0, halfWidth = 0.0;

  // False when the points farther than skip from the apex need a half-turn or
  // more, or there are none.
  bool Hold(Point2 apex, const Piece& p, double skip) {
    bool any = false;
    double reference = 0.0, lo = 0.0, hi = 0.0;
    for (const Point2& q : p.b) {
      if (!(Distance(q, apex) > skip)) continue;
      const double angle = std::atan2(q.y - apex.y, q.x - apex.x);
      if (!any) {
        reference = angle;
        any = true;
        continue;
      }
      const double d = Wrapped(angle - reference);
      lo = std::min(lo, d);
      hi = std::max(hi, d);
    }
    if (!any || !(hi - lo < kTurn / 2.0)) return false;
    centre = reference + (lo + hi) / 2.0;
    halfWidth = (hi - lo) / 2.0;
    return true;
  }

  // The least angle between a direction of the one and a direction of the other;
  // not above zero when they overlap.
  static double Between(const Cone& a, const Cone& b) {
    return std::fabs(Wrapped(b.centre - a.centre)) - a.halfWidth - b.halfWidth;
  }
};

// Where the chain runs from one piece into the other, directly or through pieces
// shorter than a few gaps: the end of the one and the start of the other.
struct Joint {
  Point2 onA, onB;
};

// The search for two points of two pieces closer than the gap. Near a joint the
// two sides meet by right: a pointed tip, a corner, a tip arc of nanometres.
// There only points farther than `reach` from the joint count, on either side;
// two sides that stay that close beyond it form a sliver no kernel keeps apart.
struct PairSearch {
  double gap = 0.0;
  double reach = 0.0;
  int64_t budget = 0;
  Joint joints[2];
  int jointCount = 0;

  bool NearJoint(Point2 p, Point2 q) const {
    for (int k = 0; k < jointCount; ++k)
      if (Distance(p, joints[k].onA) <= reach && Distance(q, joints[k].onB) <= reach) return true;
    return false;
  }

  bool WithinJoint(const Piece& a, const Piece& b) const {
    for (int k = 0; k < jointCount; ++k) {
      bool within = true;
      for (int i = 0; i < 4 && within; ++i)
        within = Distance(a.b[i], joints[k].onA) <= reach && Distance(b.b[i], joints[k].onB) <= reach;
      if (within) return true;
    }
    return false;
  }

  // True when every pair of points of the two pieces closer than the gap lies
  // beside a joint. Seen from the joint each piece lies in the cone of the
  // directions to its control points (a few points at the joint itself widen it by
  // their distance); when the cones are an angle apart, two points closer than the
  // gap are both within gap / sin(angle) of the joint.
  bool ApartBesideJoint(const Piece& a, const Piece& b) const {
    for (int k = 0; k < jointCount; ++k) {
      const Point2 apex = joints[k].onA;
      const double offset = Distance(joints[k].onA, joints[k].onB);
      const double skip = offset + gap / 8.0;
      Cone ca, cb;
      if (!ca.Hold(apex, a, skip) || !cb.Hold(apex, b, skip)) continue;
      const double angle = Cone::Between(ca, cb);
      if (!(angle > 0.0)) continue;
      const double sine = angle < kHalfPi ? std::sin(angle) : 1.0;
      if ((gap + 2.0 * skip) / sine + skip + offset <= reach) return true;
    }
    return false;
  }

  // True when the pieces come closer than the gap away from their joints, or
  // when the budget ran out before that could be decided.
  bool Close(const Piece& a, const Piece& b, int splits) {
    if (--budget < 0) return true;
    if (BoxesApart(BoxOf(a), BoxOf(b), gap)) return false;
    const double fa = Flatness(a), fb = Flatness(b);
    const double d = SegmentDistance(a.b[0], a.b[3], b.b[0], b.b[3]);
    if (d - fa - fb >= gap) return false;
    if (jointCount > 0 && (WithinJoint(a, b) || ApartBesideJoint(a, b))) return false;
    // The end points lie on the curves themselves.
    for (const Point2& p : {a.b[0], a.b[3]})
      for (const Point2& q : {b.b[0], b.b[3]})
        if (Distance(p, q) < gap && !NearJoint(p, q)) return true;
    // Flat enough to take the chords for the curves; beside a joint the chords
    // meet there, and only halving tells how far they stay together.
    if (splits == 0 || (jointCount == 0 && fa + fb < gap / 8.0)) return d < gap;
    Piece left, right;
    if (fa >= fb && (fa > 0.0 || Distance(a.b[0], a.b[3]) >= Distance(b.b[0], b.b[3]))) {
      Halve(a, left, right);
      return Close(left, b, splits - 1) || Close(right, b, splits - 1);
    }
    Halve(b, left, right);
    return Close(a, left, splits - 1) || Close(a, right, splits - 1);
  }
};

}  // namespace

bool StepContourKeepsClear(const std::vector<StepPlanarCurve>& chain, double gap) {
  if (!(gap > 0.0)) return false;
  std::vector<Piece> pieces;
  for (const StepPlanarCurve& curve : chain)
    if (!AppendPieces(curve, pieces)) return false;
  const size_t n = pieces.size();

  // Where each piece starts along the chain, by its chord.
  std::vector<double> start(n + 1, 0.0);
  for (size_t i = 0; i < n; ++i) start[i + 1] = start[i] + Distance(pieces[i].b[0], pieces[i].b[3]);
  const double total = start[n];
  const double shortChain = kNeighbourGaps * gap;

  std::vector<Box> boxes(n);
  for (size_t i = 0; i < n; ++i) boxes[i] = BoxOf(pieces[i]);
  std::vector<size_t> order(n);
  std::iota(order.begin(), order.end(), size_t{0});
  std::sort(order.begin(), order.end(), [&](size_t i, size_t j) { return boxes[i].x0 < boxes[j].x0; });

  PairSearch search;
  search.gap = gap;
  search.reach = kJointGaps * gap;
  search.budget = kPairBudget;
  for (size_t oi = 0; oi < n; ++oi) {
    for (size_t oj = oi + 1; oj < n; ++oj) {
      const size_t i = std::min(order[oi], order[oj]), j = std::max(order[oi], order[oj]);
      if (boxes[order[oj]].x0 - boxes[order[oi]].x1 >= gap) break;
      if (BoxesApart(boxes[i], boxes[j], gap)) continue;
      const Piece& a = pieces[i];
      const Piece& b = pieces[j];
      search.jointCount = 0;
      // Forward from i to j, and on round the chain's end from j to i.
      if (start[j] - start[i + 1] < shortChain) search.joints[search.jointCount++] = {a.b[3], b.b[0]};
      if (total - start[j + 1] + start[i] < shortChain) search.joints[search.jointCount++] = {a.b[0], b.b[3]};
      if (search.Close(a, b, kMaxSplits)) return false;
    }
  }
  return true;
}

}  // namespace kovrex
