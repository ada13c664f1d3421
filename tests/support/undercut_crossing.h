// Where the root fillet of an undercut external gear meets its involute, worked
// apart from the program: the fillet is the envelope of the ISO 53 rack's tip
// rounding (0.38 m) as the rack rolls on the pitch circle, found per roll angle
// from the textbook condition that the rounding's normal at the cutting point
// passes through the pitch point; the crossing is bisected on the roll angle.
// The program walks the rounding's own angle instead; only the geometry is shared.
#pragma once

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "geometry/gear_record.h"

namespace kovrex::test {

struct UndercutGear {
  double m, alphaDeg, betaDeg, x, allowance;
  int z;
};

class EnvelopeFillet {
 public:
  explicit EnvelopeFillet(const UndercutGear& s) {
    const double an = s.alphaDeg * kDegToRad;
    cb_ = std::cos(s.betaDeg * kDegToRad);
    at_ = std::atan(std::tan(an) / cb_);
    r_ = s.z * s.m / (2 * cb_);
    rb_ = r_ * std::cos(at_);
    rho_ = 0.38 * s.m;
    const double xE = s.x - s.allowance / (2 * s.m * std::tan(an));
    st_ = s.m / cb_ * (kPi / 2 + 2 * xE * std::tan(an));
    // Rack frame: X radial from the gear centre, Y along the pitch line, tooth 0 of
    // the gear on Y = 0, the rack tooth that cuts space 0 centred on Y = p_t / 2.
    // Its tip lies 1.25 m below the datum line r + x_E m; the rounding's centre sits
    // rho above the tip and rho / cos(alpha_n) inside the flank (normal section).
    const double datum = r_ + xE * s.m;
    xc_ = datum - 1.25 * s.m + rho_;
    const double halfWidthAtCentre = kPi * s.m / 4 - (datum - xc_) * std::tan(an) - rho_ / std::cos(an);
    yc_ = (kPi * s.m / 2 - halfWidthAtCentre) / cb_;
    tFlank_ = 1.5 * kPi - an;
  }

  // Half-angle of the tooth at radius R on the transverse involute.
  double InvoluteHalfAngle(double R) const {
    const double aR = std::acos(std::min(1.0, rb_ / R));
    return st_ / (2 * r_) + (std::tan(at_) - at_) - (std::tan(aR) - aR);
  }

  struct Cut {
    double R, gamma, t;  // radius, angle from the tooth centre line, rounding parameter
  };

  // The gear point that the rounding cuts at roll phi; none when the rounding cuts
  // nothing there. In the transverse plane the rounding is an ellipse, semi-axes
  // rho (radial) and rho / cos(beta) (along the pitch line); t runs from pi at its
  // bottom to 3 pi / 2 - alpha_n where it meets the flank.
  std::optional<Cut> CutAt(double phi) const {
    const double ix = r_, iy = -r_ * phi;  // pitch point in the rack frame
    auto condition = [&](double t) {
      const double px = xc_ + rho_ * std::cos(t), py = yc_ + rho_ / cb_ * std::sin(t);
      return (ix - px) * cb_ * std::sin(t) - (iy - py) * std::cos(t);
    };
    double lo = kPi, hi = tFlank_;
    const double flo = condition(lo), fhi = condition(hi);
    if (!(flo * fhi <= 0)) return std::nullopt;
    for (int i = 0; i < 200 && hi - lo > 0; ++i) {
      const double mid = (lo + hi) / 2;
      ((condition(mid) > 0) == (flo > 0) ? lo : hi) = mid;
    }
    const double t = (lo + hi) / 2;
    const double X = xc_ + rho_ * std::cos(t), Y = yc_ + rho_ / cb_ * std::sin(t) + r_ * phi;
    const double gx = X * std::cos(phi) + Y * std::sin(phi), gy = -X * std::sin(phi) + Y * std::cos(phi);
    return Cut{std::hypot(gx, gy), std::atan2(gy, gx), t};
  }

  // Radius where the fillet leaves the inside of the involute for the space, or
  // none when the gear is not undercut above its base circle.
  std::optional<double> CrossingRadius() const {
    struct Sample {
      double phi;
      Cut cut;
    };
    std::vector<Sample> samples;
    const double phi0 = -yc_ / r_, span = 1.5;
    const int n = 30000;
    for (int i = 0; i <= n; ++i) {
      const double phi = phi0 - span + 2 * span * i / n;
      if (const auto cut = CutAt(phi)) samples.push_back({phi, *cut});
    }
    if (samples.empty()) return std::nullopt;
    // Walk up the fillet from its foot: from the rounding's bottom to its flank.
    std::sort(samples.begin(), samples.end(), [](const Sample& a, const Sample& b) { return a.cut.t < b.cut.t; });
    auto bisect = [&](double lo, double hi, auto&& atLo) {  // atLo(phi) holds at lo, not at hi
      for (int k = 0; k < 200 && lo != hi; ++k) {
        const double mid = (lo + hi) / 2;
        (atLo(mid) ? lo : hi) = mid;
      }
      return (lo + hi) / 2;
    };
    // The fillet's last point, where the rounding meets the flank, lies between two
    // samples; a gear only just undercut crosses its involute there.
    {
      const double step = 2 * span / n, last = samples.back().phi;
      for (double dir : {-1.0, 1.0}) {
        if (CutAt(last + dir * step)) continue;
        const double end = bisect(last, last + dir * step, [&](double phi) { return CutAt(phi).has_value(); });
        if (const auto cut = CutAt(end)) samples.push_back({end, *cut});
        break;
      }
    }
    auto inside = [&](double phi) {
      const auto cut = CutAt(phi);
      return cut && cut->R > rb_ && cut->gamma - InvoluteHalfAngle(cut->R) < 0;
    };
    for (size_t i = 1; i < samples.size(); ++i) {
      const Sample &p = samples[i - 1], &q = samples[i];
      if (!(q.cut.R > rb_) || q.cut.gamma - InvoluteHalfAngle(q.cut.R) < 0) continue;
      double from = p.phi;
      if (!(p.cut.R > rb_)) {
        // The fillet rises through the base circle on this step: the crossing can
        // lie just above it, finer than the samples.
        from = bisect(p.phi, q.phi, [&](double phi) {
          const auto cut = CutAt(phi);
          return !(cut && cut->R > rb_);
        });
        from = from + (q.phi - from) * 1e-9;
        if (!inside(from)) continue;
      } else if (!inside(from)) {
        continue;
      }
      return CutAt(bisect(from, q.phi, inside))->R;
    }
    return std::nullopt;
  }

  double baseRadius() const { return rb_; }

 private:
  double cb_, at_, r_, rb_, rho_, st_, xc_, yc_, tFlank_;
};

}  // namespace kovrex::test
