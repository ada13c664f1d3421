// B-spline interpolation, basis, knot texts and B_SPLINE_CURVE_WITH_KNOTS writers.
#include "export/step_bspline.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

#include "export/step_entities.h"
#include "numbers/number_text.h"

namespace kovrex {

std::string StepKnotMultiplicitiesText;
std::string StepKnotValuesText;

namespace {

// Below this a pivot is taken as zero. The collocation matrix of averaged knots and
// strictly increasing parameters has entries in [0, 1] and pivots far above it;
// repeated parameters give identical rows and a pivot that is 0 or rounding noise.
constexpr double kPivotFloor = 1e-13;

void AppendDecimal(std::string& text, int64_t n) {
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
  text.append(buffer, result.ptr);
}

int DegreeForPoints(size_t n) { return n < 4 ? static_cast<int>(n) - 1 : 3; }

uint64_t AppendCurve(int p, const std::string& refs, const std::string& multiplicities, const std::string& values) {
  std::string text;
  text.reserve(refs.size() + multiplicities.size() + values.size() + 96);
  text += "B_SPLINE_CURVE_WITH_KNOTS('',";
  AppendDecimal(text, p);
  text += ",(";
  text += refs;
  text += "),.UNSPECIFIED.,.F.,.F.,(";
  text += multiplicities;
  text += "),(";
  text += values;
  text += "),.UNSPECIFIED.)";
  return AddStepEntity(text);
}

}  // namespace

void EvaluateBSplineBasis(int p, const std::vector<double>& knots, size_t n, double u, double* values) {
  if (p < 0 || knots.size() < n + static_cast<size_t>(p) + 1 || n == 0) {
    for (size_t j = 0; j < n; ++j) values[j] = 0.0;
    return;
  }
  const size_t m = n + static_cast<size_t>(p);
  std::vector<double> N(m + 1, 0.0);
  if (u >= knots[m]) {
    // Only one span may carry the end parameter, else the basis at u = 1 would not
    // sum to 1 with a clamped end.
    for (size_t i = m; i-- > 0;) {
      if (knots[i] < knots[i + 1]) {
        N[i] = 1.0;
        break;
      }
    }
  } else {
    for (size_t i = 0; i < m; ++i)
      if (knots[i] <= u && u < knots[i + 1]) N[i] = 1.0;
  }
  for (size_t k = 1; k <= static_cast<size_t>(p); ++k) {
    for (size_t i = 0; i + k < m; ++i) {
      double left = 0.0, right = 0.0;
      double dl = knots[i + k] - knots[i];
      if (dl > 0.0) left = (u - knots[i]) / dl * N[i];
      double dr = knots[i + k + 1] - knots[i + 1];
      if (dr > 0.0) right = (knots[i + k + 1] - u) / dr * N[i + 1];
      N[i] = left + right;
    }
  }
  for (size_t j = 0; j < n; ++j) values[j] = N[j];
}

int InterpolateBSplineCurve(const std::vector<double>& params, std::vector<double>& knots,
                            std::vector<double>& inverse) {
  const size_t n = params.size();
  if (n == 0) {
    knots.clear();
    inverse.clear();
    MarkStepFileFaulty();
    return 0;
  }
  const int p = DegreeForPoints(n);
  const size_t pp = static_cast<size_t>(p);
  knots.assign(n + pp + 1, 0.0);
  for (size_t i = n; i <= n + pp; ++i) knots[i] = 1.0;
  for (size_t j = 1; j + pp < n; ++j) {
    double sum = 0.0;
    for (size_t k = j; k < j + pp; ++k) sum += params[k];
    knots[j + pp] = sum / p;
  }

  // Gauss-Jordan on [collocation | identity], n x 2n, row-major.
  const size_t w = 2 * n;
  std::vector<double> M(n * w, 0.0);
  for (size_t i = 0; i < n; ++i) {
    EvaluateBSplineBasis(p, knots, n, params[i], &M[i * w]);
    M[i * w + n + i] = 1.0;
  }
  bool singular = false;
  for (size_t c = 0; c < n && !singular; ++c) {
    size_t pivot = c;
    for (size_t r = c + 1; r < n; ++r)
      if (std::fabs(M[r * w + c]) > std::fabs(M[pivot * w + c])) pivot = r;
    if (!(std::fabs(M[pivot * w + c]) > kPivotFloor)) {
      singular = true;
      break;
    }
    if (pivot != c)
      for (size_t k = 0; k < w; ++k) std::swap(M[pivot * w + k], M[c * w + k]);
    double* rowC = &M[c * w];
    const double d = rowC[c];
    for (size_t k = 0; k < w; ++k) rowC[k] /= d;
    for (size_t r = 0; r < n; ++r) {
      if (r == c) continue;
      double* row = &M[r * w];
      const double f = row[c];
      if (f == 0.0) continue;
      for (size_t k = 0; k < w; ++k) row[k] -= f * rowC[k];
    }
  }
  inverse.assign(n * n, std::numeric_limits<double>::quiet_NaN());
  if (singular) {
    MarkStepFileFaulty();
    return p;
  }
  for (size_t i = 0; i < n; ++i)
    for (size_t j = 0; j < n; ++j) inverse[i * n + j] = M[i * w + n + j];
  return p;
}

void FormatKnotVector(const std::vector<double>& knots, size_t count) {
  StepKnotMultiplicitiesText.clear();
  StepKnotValuesText.clear();
  if (count > knots.size()) {
    MarkStepFileFaulty();
    count = knots.size();
  }
  size_t index = 0;
  while (index < count) {
    if (!std::isfinite(knots[index])) MarkStepFileFaulty();
    const std::string text = FormatFixed(10, knots[index]);
    size_t multiplicity = 1;
    while (index + multiplicity < count) {
      const double next = knots[index + multiplicity];
      if (!(std::fabs(next - knots[index]) < 1e-12) && FormatFixed(10, next) != text) break;
      ++multiplicity;
    }
    if (!StepKnotMultiplicitiesText.empty()) {
      StepKnotMultiplicitiesText += ',';
      StepKnotValuesText += ',';
    }
    AppendDecimal(StepKnotMultiplicitiesText, static_cast<int64_t>(multiplicity));
    StepKnotValuesText += std::isfinite(knots[index]) ? text : "0.0000000000";
    index += multiplicity;
  }
}

uint64_t WriteStepBSplineFromControlPoints(int p, const std::vector<StepControlPoint>& points,
                                           const std::vector<double>& knots) {
  const size_t n = points.size();
  if (n == 0 || p < 0 || knots.size() != n + static_cast<size_t>(p) + 1) MarkStepFileFaulty();
  FormatKnotVector(knots, knots.size());
  std::string refs;
  refs.reserve(n * 8);
  for (const StepControlPoint& q : points) {
    if (!refs.empty()) refs += ',';
    refs += FormatStepRef(WriteStepCartesianPoint(q.x, q.y, q.z));
  }
  return AppendCurve(p, refs, StepKnotMultiplicitiesText, StepKnotValuesText);
}

uint64_t WriteStepBSplineCurve(const OutlinePolyline& polyline, double ox, double oy, double c, double s, double z,
                               double shiftX) {
  const size_t n = polyline.points.size();
  if (n < 2) MarkStepFileFaulty();
  const int p = n == 0 ? 0 : DegreeForPoints(n);
  std::string refs;
  refs.reserve(n * 8);
  for (const OutlinePoint& q : polyline.points) {
    if (!refs.empty()) refs += ',';
    double x = ox + c * q.x - s * q.y;
    if (shiftX != 0.0) x = StepRoundedAsWritten(x) + shiftX;
    refs += FormatStepRef(WriteStepCartesianPoint(x, oy + s * q.x + c * q.y, z));
  }
  // Uniform clamped knots 0, 1, ..., n - p with the ends p + 1 times.
  std::string multiplicities, values;
  const int64_t spans = static_cast<int64_t>(n) - p;
  AppendDecimal(multiplicities, p + 1);
  for (int64_t i = 1; i < spans; ++i) multiplicities += ",1";
  multiplicities += ',';
  AppendDecimal(multiplicities, p + 1);
  for (int64_t i = 0; i <= spans; ++i) {
    if (i > 0) values += ',';
    values += FormatFixed(1, static_cast<double>(i));
  }
  return AppendCurve(p, refs, multiplicities, values);
}

}  // namespace kovrex
