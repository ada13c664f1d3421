// B-spline mathematics of the STEP solids and the two writers of
// B_SPLINE_CURVE_WITH_KNOTS: interpolation of data points by a clamped cubic (lower
// degree for fewer points) with averaged knots, the Cox-de Boor basis, the knot
// texts, and curves from control points or from an outline polyline used directly
// as control polygon. Not for: surfaces or whole solids.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "geometry/gear_record.h"

namespace kovrex {

// Texts of the last FormatKnotVector call: the multiplicities ("4,1,4") and the
// distinct knot values ("0.0000000000,0.5000000000,1.0000000000"). Each call
// overwrites both; copy them before formatting a second knot vector.
extern std::string StepKnotMultiplicitiesText;
extern std::string StepKnotValuesText;

// Interpolation of n = params.size() data points at the given parameter values
// (non-decreasing, first 0, last 1). Returns the degree p (3, or n - 1 for fewer
// than 4 points); knots gets the n + p + 1 clamped knots, the interior ones the
// mean of p consecutive parameters; inverse gets the inverse of the collocation
// matrix, row-major n x n: control point i = sum over j of inverse[i * n + j] times
// data point j. Repeated parameters make the matrix singular: then, and for n = 0,
// the file being built is marked faulty and inverse holds NaN, so that nothing of
// it can be written.
int InterpolateBSplineCurve(const std::vector<double>& params, std::vector<double>& knots,
                            std::vector<double>& inverse);

// Values of the n basis functions of degree p at u into values[0 .. n - 1]; knots
// has n + p + 1 entries. At u = the last knot the last basis function is 1.
void EvaluateBSplineBasis(int p, const std::vector<double>& knots, size_t n, double u, double* values);

// Fills the two knot texts from knots[0 .. count - 1]. Knots that print alike with
// 10 decimals, or lie within 1e-12 of the first knot of their run, are one knot:
// a reader rejects two equal knot values listed apart.
void FormatKnotVector(const std::vector<double>& knots, size_t count);

struct StepControlPoint {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

// Writes the control points (already in the file's frame) and the curve of degree
// p with the given knots (points.size() + p + 1 of them). Returns the curve.
uint64_t WriteStepBSplineFromControlPoints(int p, const std::vector<StepControlPoint>& points,
                                           const std::vector<double>& knots);

// Writes the points of one outline polyline, turned by the angle whose cosine and
// sine are c and s, moved to (ox, oy) and put at height z, as the control polygon
// of a uniform clamped B-spline of degree 3 (less for fewer than 4 points). The
// curve passes through the first and last point only. A shift in x (the top of a
// helical rack, a value as written) is added to each point as written, so that the
// curve is the unshifted one moved by exactly that much in the file's text and
// ends in the vertices placed the same way. Returns the curve.
uint64_t WriteStepBSplineCurve(const OutlinePolyline& polyline, double ox, double oy, double c, double s, double z,
                               double shiftX = 0.0);

}  // namespace kovrex
