// Ring tip limit and mesh overlap of the internal pair.
//
// The overlap is searched point by point. Every pinion tooth is the same half
// profile mirrored and turned, so one pitch of the pair with all its teeth is the
// same as one tooth's half profile carried through the whole mesh, and the same
// for the ring's spaces. Each vertex of the two half profiles is followed through
// the range of pinion turns psi where it can reach the other body, its signed
// depth judged on the other outline folded into one half sector. A mirrored half
// turned one way is the other half turned the other way, so with every turn and
// its negative the vertices of one half cover all of them.
//
// Relative to the ring the pinion turns by (1 - z1/z2) psi about the pitch point,
// so a point at distance d from it moves (1 - z1/z2) d per radian of psi, and its
// signed depth, a distance, changes no faster. That bound sizes the steps (a
// point far from the other body is carried far at once) and says between which
// two steps a deeper overlap may still hide: those stretches are halved, deepest
// bound first, until none can hold more than the deepest depth found plus the
// tolerance. A collision shorter than any step is found this way too.
#include "geometry/mesh_penetration.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "geometry/folded_outline.h"

namespace kovrex {
namespace {

struct Passage {
  OutlinePoint point;  // in its own gear's frame
  bool onPinion = true;
  double turn = 0.0;   // of the pinion from the centred schedule
  double speed = 0.0;  // how fast the point moves about its centre per radian of psi
  double start = 0.0, end = 0.0;
};

struct Sample {
  double psi = 0.0;
  FoldedOutline::Depth depth;  // signed: positive inside the other body
  double distance = 0.0;       // from the pitch point
  int64_t sector = 0;          // of the other gear, the hint for the next fold
  OutlinePoint folded;
  // A depth inside the other body known only between two bounds is made exact
  // before the stretches beside it are halved.
  bool Bracketed() const { return !depth.Exact() && depth.upper > 0.0; }
};

// Two samples of one passage, by index into the sample pool (a sample made exact
// is then exact for both stretches beside it).
struct Stretch {
  double bound = 0.0;
  uint32_t passage = 0, from = 0, to = 0;
  bool operator<(const Stretch& other) const { return bound < other.bound; }
};

class MeshSweep {
 public:
  MeshSweep(const FoldedOutline& pinion, const FoldedOutline& ring, double a, double ratio)
      : pinion_(pinion), ring_(ring), a_(a), ratio_(ratio), slip_(1.0 - ratio) {}

  // The point of the passage at pinion turn psi, folded into the other gear's
  // half sector. The other gear's sector of the last sample is tried first: the
  // point stays in it for many steps, which saves an atan2 per sample.
  Sample At(const Passage& p, double psi, int64_t hint) const {
    const FoldedOutline& other = p.onPinion ? ring_ : pinion_;
    const double pitch = other.Pitch();
    Sample s;
    s.psi = psi;
    int64_t k = hint;
    OutlinePoint folded{}, pitchPoint{};
    for (int attempt = 0; attempt < 3; ++attempt) {
      double t1 = 0.0, t2 = 0.0;
      if (p.onPinion) {
        // Ring frame turned back by k ring pitches: R(t1) C + R(t2) q.
        t1 = -ratio_ * psi - static_cast<double>(k) * pitch;
        t2 = t1 + psi + p.turn;
      } else {
        // Pinion frame turned back by k pinion pitches: R(t2) q - R(t1) C.
        t1 = -(psi + p.turn) - static_cast<double>(k) * pitch;
        t2 = t1 + ratio_ * psi;
      }
      const double c1 = std::cos(t1), s1 = std::sin(t1), c2 = std::cos(t2), s2 = std::sin(t2);
      const OutlinePoint q{c2 * p.point.x - s2 * p.point.y, s2 * p.point.x + c2 * p.point.y};
      const double sign = p.onPinion ? 1.0 : -1.0;
      folded = {q.x + sign * a_ * c1, q.y + sign * a_ * s1};
      // The pitch point lies on the line of centres at a / (1 - u) from the ring
      // centre, a u / (1 - u) from the pinion's.
      const double toPitch = (p.onPinion ? 1.0 : ratio_) * a_ / slip_;
      pitchPoint = {toPitch * c1, toPitch * s1};
      if (folded.x > 0.0 && std::fabs(folded.y) <= folded.x * other.TanHalfPitch()) break;
      k += static_cast<int64_t>(std::llround(std::atan2(folded.y, folded.x) / pitch));
    }
    s.sector = k;
    const double dx = folded.x - pitchPoint.x, dy = folded.y - pitchPoint.y;
    s.distance = std::sqrt(dx * dx + dy * dy);
    folded.y = std::fabs(folded.y);
    s.folded = folded;
    s.depth = other.SignedDepth(folded);
    return s;
  }

  void MakeExact(const Passage& p, Sample& s) const {
    const double d = (p.onPinion ? ring_ : pinion_).ExactSignedDepth(s.folded);
    s.depth = {d, d};
  }

  // Largest depth the passage's point can reach between two samples: its depth
  // changes by at most (1 - u) times its distance from the pitch point per
  // radian, and that distance by at most its own speed.
  double Bound(const Passage& p, const Sample& a, const Sample& b) const {
    const double length = b.psi - a.psi;
    const double farthest = 0.5 * (a.distance + b.distance + p.speed * length);
    const double bound = 0.5 * (a.depth.upper + b.depth.upper + slip_ * farthest * length);
    return std::max({bound, a.depth.upper, b.depth.upper});
  }

  // The next step from a sample. Below the target (the deepest depth so far, at
  // least 0) the point cannot rise by 0.9 of its distance to it in the step:
  // (1 - u) (d l + speed l^2 / 2) = 0.9 (target - depth). Above it, a quarter of
  // its depth, which keeps a pinion wholly sunk into the ring (a centre distance
  // typed for another row) from being walked in the shortest steps; the stretch
  // of the deepest point is halved afterwards.
  double StepFrom(const Passage& p, const Sample& s, double target, double shortest) const {
    const double rise = s.depth.upper < target ? 0.9 * (target - s.depth.upper) : 0.25 * s.depth.upper;
    const double c = rise / slip_;
    const double step = 2.0 * c / (s.distance + std::sqrt(s.distance * s.distance + 2.0 * p.speed * c));
    return std::max(step, shortest);
  }

 private:
  const FoldedOutline& pinion_;
  const FoldedOutline& ring_;
  double a_, ratio_, slip_;
};

struct Scratch {
  FoldedOutline pinion, ring;
  std::vector<Passage> passages;
  std::vector<Sample> samples;
  std::vector<Stretch> open;
};

// The range of psi in which a point of the half profile can reach the other body:
// where cos(angle about its centre) >= c, with the angle psi * rate + offset.
bool ReachRange(double c, double rate, double offset, double& start, double& end) {
  if (!(c < 1.0)) return false;
  const double spread = c <= -1.0 ? kPi : std::acos(c);
  start = (-spread - offset) / rate;
  end = (spread - offset) / rate;
  return true;
}

}  // namespace

double ComputeRingTipLimitRadius(const GearRecord& pinion, const GearRecord& ring, double a) {
  const double rb1 = pinion.baseRadius, rb2 = ring.baseRadius;
  const double aw = std::acos((rb2 - rb1) / a);
  const double rs1 = pinion.involuteStartRadius;
  const double L = std::sqrt(std::max(rs1 * rs1 - rb1 * rb1, 0.0)) + a * std::sin(aw);
  return std::sqrt(L * L + rb2 * rb2);
}

double ComputeLoadedPinionTurn(const GearRecord& pinion, const GearRecord& ring) {
  const double jn = (pinion.thicknessAllowance + ring.thicknessAllowance) * std::cos(pinion.pressureAngle);
  return jn / (2.0 * std::cos(pinion.baseHelixAngle)) / pinion.baseRadius;
}

double ComputeInternalOverlapAtTurns(const GearRecord& pinion, const GearRecord& ring, double a,
                                     const std::vector<double>& turns, int stepsPerPitch) {
  constexpr double kNone = -1e9, kNotChecked = -1.0;
  const int64_t z1 = pinion.toothCount, z2 = ring.toothCount;
  if (z1 < 3 || z2 <= z1 || !(a > 0.0) || !std::isfinite(a) || stepsPerPitch < 1) return kNotChecked;
  // The check runs on every keystroke; its outlines, samples and stretches keep
  // their storage from one run to the next (they grow to a few megabytes, and
  // fresh pages cost more than the search).
  thread_local Scratch scratch;
  FoldedOutline& p = scratch.pinion;
  FoldedOutline& r = scratch.ring;
  if (!p.Build(pinion) || !r.Build(ring)) return kNotChecked;
  const double u = static_cast<double>(z1) / static_cast<double>(z2);
  const double m = pinion.normalModule;
  // How closely the largest depth is found: to 1e-5 m (a two-hundredth of the
  // report's limit) or 2e-5 of itself, whichever is more, once it comes within
  // 5 % of the limit; below that to 5 % of its distance from the limit, which
  // still tells the verdict. Flanks that merely touch read chord-sized depths at
  // every contact, and pinning each of those to 1e-5 m would cost most of the
  // recompute for a number the report never prints.
  const double limit = kInterferenceLimitModules * m;
  const double tolerance = 1e-5 * m;
  const MeshSweep sweep(p, r, a, u);

  std::vector<double> allTurns;
  for (double t : turns) {
    if (!std::isfinite(t)) continue;
    allTurns.push_back(t);
    allTurns.push_back(-t);
  }
  std::sort(allTurns.begin(), allTurns.end());
  allTurns.erase(std::unique(allTurns.begin(), allTurns.end()), allTurns.end());

  // A pinion point beyond the ring's closest approach to its centre, a ring point
  // within the pinion's farthest vertex of the pinion centre.
  const double margin = 1e-6 * m;
  const double ringInner = r.MinRadius() - margin, pinionOuter = p.MaxRadius() + margin;
  std::vector<Passage>& passages = scratch.passages;
  passages.clear();
  for (const double turn : allTurns) {
    for (const OutlinePoint& q : p.HalfProfile()) {
      const double rho = std::hypot(q.x, q.y);
      Passage pass{q, true, turn, rho, 0.0, 0.0};
      const double c = (ringInner * ringInner - a * a - rho * rho) / (2.0 * a * rho);
      if (ReachRange(c, 1.0, turn + std::atan2(q.y, q.x), pass.start, pass.end)) passages.push_back(pass);
    }
    for (const OutlinePoint& q : r.HalfProfile()) {
      const double rho = std::hypot(q.x, q.y);
      Passage pass{q, false, turn, u * rho, 0.0, 0.0};
      const double c = (rho * rho + a * a - pinionOuter * pinionOuter) / (2.0 * a * rho);
      if (ReachRange(c, u, std::atan2(q.y, q.x), pass.start, pass.end)) passages.push_back(pass);
    }
  }

  // Shorter stretches than the first steps come from halving.
  const double shortest = p.Pitch() / stepsPerPitch;
  double best = -std::numeric_limits<double>::infinity();
  std::vector<Sample>& pool = scratch.samples;
  std::vector<Stretch>& open = scratch.open;
  pool.clear();
  open.clear();
  auto target = [&] {
    const double found = std::max(best, 0.0);
    return found + std::max({tolerance, 2e-5 * found, 0.05 * (limit - found)});
  };
  auto keep = [&](uint32_t passage, uint32_t from, uint32_t to) {
    const double bound = sweep.Bound(passages[passage], pool[from], pool[to]);
    if (bound > target()) {
      open.push_back({bound, passage, from, to});
      std::push_heap(open.begin(), open.end());
    }
  };
  auto add = [&](const Sample& s) {
    best = std::max(best, s.depth.lower);
    pool.push_back(s);
    return static_cast<uint32_t>(pool.size() - 1);
  };
  for (uint32_t i = 0; i < passages.size(); ++i) {
    const Passage& pass = passages[i];
    uint32_t last = add(sweep.At(pass, pass.start, 0));
    while (pool[last].psi < pass.end) {
      const Sample& s = pool[last];
      const double step = sweep.StepFrom(pass, s, target(), shortest);
      const uint32_t next = add(sweep.At(pass, std::min(pass.end, s.psi + step), s.sector));
      keep(i, last, next);
      last = next;
    }
  }

  // Halve the stretch with the deepest bound until no stretch can hold more than
  // the deepest depth found by the tolerance. The cap only guards against a
  // depth function that is not what the bound assumes (it never is in practice).
  for (int evaluations = 0; !open.empty() && evaluations < 400000; ++evaluations) {
    std::pop_heap(open.begin(), open.end());
    const Stretch top = open.back();
    open.pop_back();
    if (!(top.bound > target())) break;
    const Passage& pass = passages[top.passage];
    if (pool[top.from].Bracketed() || pool[top.to].Bracketed()) {
      for (uint32_t end : {top.from, top.to}) {
        if (!pool[end].Bracketed()) continue;
        sweep.MakeExact(pass, pool[end]);
        best = std::max(best, pool[end].depth.lower);
      }
      keep(top.passage, top.from, top.to);
      continue;
    }
    const double mid = 0.5 * (pool[top.from].psi + pool[top.to].psi);
    if (!(mid > pool[top.from].psi && mid < pool[top.to].psi)) continue;
    const uint32_t middle = add(sweep.At(pass, mid, pool[top.from].sector));
    keep(top.passage, top.from, middle);
    keep(top.passage, middle, top.to);
  }
  return best > 0.0 ? best : kNone;
}

double ComputeInternalMeshPenetration(const GearRecord& pinion, const GearRecord& ring, double a,
                                      int stepsPerPitch) {
  return ComputeInternalOverlapAtTurns(pinion, ring, a, {0.0, ComputeLoadedPinionTurn(pinion, ring)}, stepsPerPitch);
}

}  // namespace kovrex
