// B-spline fitting of the STEP writer: knot vectors, the Cox-de Boor basis and the
// inverse collocation matrix against hand-worked values and the Bernstein closed
// form, the knot texts, and the two curve writers.
#include "export/step_bspline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "export/step_entities.h"

namespace kovrex {
namespace {

class StepBSpline : public ::testing::Test {
 protected:
  void SetUp() override { ResetStepEntities(); }
  void TearDown() override { ResetStepEntities(); }
};

struct KnotCase {
  const char* name;
  std::vector<double> params;
  int degree;
  std::vector<double> knots;
  const char* multiplicities;
  const char* values;
};

TEST_F(StepBSpline, KnotVectorsAndTheirTexts) {
  const KnotCase cases[] = {
      {"two points", {0, 1}, 1, {0, 0, 1, 1}, "2,2", "0.0000000000,1.0000000000"},
      {"three points", {0, 0.5, 1}, 2, {0, 0, 0, 1, 1, 1}, "3,3", "0.0000000000,1.0000000000"},
      {"four points: one Bezier segment",
       {0, 0.2, 0.7, 1},
       3,
       {0, 0, 0, 0, 1, 1, 1, 1},
       "4,4",
       "0.0000000000,1.0000000000"},
      // (0.25 + 0.5 + 0.75) / 3
      {"five points",
       {0, 0.25, 0.5, 0.75, 1},
       3,
       {0, 0, 0, 0, 0.5, 1, 1, 1, 1},
       "4,1,4",
       "0.0000000000,0.5000000000,1.0000000000"},
      // (0.1 + 0.3 + 0.6) / 3 and (0.3 + 0.6 + 0.8) / 3
      {"six points",
       {0, 0.1, 0.3, 0.6, 0.8, 1},
       3,
       {0, 0, 0, 0, 1.0 / 3.0, 1.7 / 3.0, 1, 1, 1, 1},
       "4,1,1,4",
       "0.0000000000,0.3333333333,0.5666666667,1.0000000000"},
  };
  for (const KnotCase& k : cases) {
    SCOPED_TRACE(k.name);
    std::vector<double> knots, inverse;
    EXPECT_EQ(InterpolateBSplineCurve(k.params, knots, inverse), k.degree);
    ASSERT_EQ(knots.size(), k.knots.size());
    for (size_t i = 0; i < knots.size(); ++i) EXPECT_NEAR(knots[i], k.knots[i], 1e-15) << i;
    EXPECT_EQ(inverse.size(), k.params.size() * k.params.size());
    FormatKnotVector(knots, knots.size());
    EXPECT_EQ(StepKnotMultiplicitiesText, k.multiplicities);
    EXPECT_EQ(StepKnotValuesText, k.values);
  }
  EXPECT_FALSE(StepLineList.faulty);
}

TEST_F(StepBSpline, CubicBasisAtWorkedParameters) {
  const std::vector<double> knots = {0, 0, 0, 0, 0.5, 1, 1, 1, 1};
  struct Row {
    double u;
    double expected[5];
  };
  // Hand-worked Cox-de Boor values over the knots above.
  const Row rows[] = {{1.0, {0, 0, 0, 0, 1}},
                      {0.5, {0, 0.25, 0.5, 0.25, 0}},
                      {0.25, {0.125, 0.59375, 0.25, 0.03125, 0}},
                      {0.0, {1, 0, 0, 0, 0}}};
  for (const Row& r : rows) {
    double values[5];
    EvaluateBSplineBasis(3, knots, 5, r.u, values);
    for (int j = 0; j < 5; ++j) EXPECT_NEAR(values[j], r.expected[j], 1e-15) << "u=" << r.u << " j=" << j;
  }
  for (double u = 0.0; u <= 1.0; u += 1.0 / 64.0) {
    double values[5], sum = 0.0;
    EvaluateBSplineBasis(3, knots, 5, u, values);
    for (double v : values) sum += v;
    EXPECT_NEAR(sum, 1.0, 1e-14) << u;
  }
}

TEST_F(StepBSpline, InverseOfTheCollocationMatrix) {
  std::vector<double> knots, inverse;
  InterpolateBSplineCurve({0, 1}, knots, inverse);
  EXPECT_EQ(inverse, (std::vector<double>{1, 0, 0, 1}));

  // Quadratic Bezier: the basis at 0.5 is (1/4, 1/2, 1/4), so the middle row of the
  // inverse is (-1/2, 2, -1/2).
  InterpolateBSplineCurve({0, 0.5, 1}, knots, inverse);
  EXPECT_NEAR(inverse[3], -0.5, 1e-15);
  EXPECT_NEAR(inverse[4], 2.0, 1e-15);
  EXPECT_NEAR(inverse[5], -0.5, 1e-15);

  // Cubic Bezier: the inverse times the Bernstein matrix is the identity.
  const std::vector<double> t = {0, 0.2, 0.7, 1};
  InterpolateBSplineCurve(t, knots, inverse);
  for (size_t i = 0; i < 4; ++i) {
    for (size_t k = 0; k < 4; ++k) {
      double sum = 0.0;
      for (size_t j = 0; j < 4; ++j) {
        double u = t[j];
        double bernstein[4] = {std::pow(1 - u, 3), 3 * u * std::pow(1 - u, 2), 3 * u * u * (1 - u), u * u * u};
        sum += inverse[i * 4 + j] * bernstein[k];
      }
      EXPECT_NEAR(sum, i == k ? 1.0 : 0.0, 1e-12) << i << "," << k;
    }
  }
}

TEST_F(StepBSpline, FirstAndLastRowsAreUnitRowsAndTheCurveInterpolates) {
  // Chord-like parameters of 12 points; the curve built from the control points
  // must pass through every data value.
  std::vector<double> params = {0, 0.03, 0.1, 0.2, 0.31, 0.4, 0.52, 0.6, 0.75, 0.83, 0.95, 1};
  const size_t n = params.size();
  std::vector<double> data(n);
  for (size_t j = 0; j < n; ++j) data[j] = std::sin(3.0 * params[j]) + params[j] * params[j];
  std::vector<double> knots, inverse;
  ASSERT_EQ(InterpolateBSplineCurve(params, knots, inverse), 3);
  for (size_t j = 0; j < n; ++j) {
    EXPECT_NEAR(inverse[j], j == 0 ? 1.0 : 0.0, 1e-15);
    EXPECT_NEAR(inverse[(n - 1) * n + j], j == n - 1 ? 1.0 : 0.0, 1e-15);
  }
  std::vector<double> control(n, 0.0);
  for (size_t i = 0; i < n; ++i)
    for (size_t j = 0; j < n; ++j) control[i] += inverse[i * n + j] * data[j];
  for (size_t j = 0; j < n; ++j) {
    std::vector<double> basis(n);
    EvaluateBSplineBasis(3, knots, n, params[j], basis.data());
    double value = 0.0;
    for (size_t i = 0; i < n; ++i) value += basis[i] * control[i];
    EXPECT_NEAR(value, data[j], 1e-12) << j;
  }
  EXPECT_FALSE(StepLineList.faulty);
}

TEST_F(StepBSpline, RepeatedParametersAreSingularAndMarkTheFile) {
  std::vector<double> knots, inverse;
  InterpolateBSplineCurve({0, 0.5, 0.5, 1}, knots, inverse);
  EXPECT_TRUE(StepLineList.faulty);
  ASSERT_EQ(inverse.size(), 16u);
  EXPECT_TRUE(std::isnan(inverse[5]));
  ResetStepEntities();
  InterpolateBSplineCurve({}, knots, inverse);
  EXPECT_TRUE(StepLineList.faulty);
}

TEST_F(StepBSpline, KnotsThatPrintAlikeAreOneKnot) {
  struct Case {
    const char* name;
    std::vector<double> knots;
    const char* multiplicities;
    const char* values;
  };
  const Case cases[] = {
      {"within 1e-12 of the run's first knot",
       {0, 0, 0.5, 0.5 + 4e-13, 1, 1},
       "2,2,2",
       "0.0000000000,0.5000000000,1.0000000000"},
      // 3e-11 apart: outside 1e-12, but both print 0.3333333333.
      {"printing alike", {0, 0, 0.33333333331, 0.33333333334, 1, 1}, "2,2,2", "0.0000000000,0.3333333333,1.0000000000"},
      {"a creeping run below the printed digits", {0, 0.6e-12, 1.2e-12, 1}, "3,1", "0.0000000000,1.0000000000"},
      {"printing apart",
       {0, 0.2500000001, 0.2500000002, 1},
       "1,1,1,1",
       "0.0000000000,0.2500000001,0.2500000002,1.0000000000"},
      {"negative zero", {-0.0, -1e-15, 1}, "2,1", "0.0000000000,1.0000000000"},
  };
  for (const Case& c : cases) {
    FormatKnotVector(c.knots, c.knots.size());
    EXPECT_EQ(StepKnotMultiplicitiesText, c.multiplicities) << c.name;
    EXPECT_EQ(StepKnotValuesText, c.values) << c.name;
  }
}

TEST_F(StepBSpline, CurveFromControlPoints) {
  std::vector<StepControlPoint> points = {{0, 0, 0}, {1, 2, 0}, {3, 2, 1}, {4, 0, 1}, {5, -1, 2}};
  uint64_t curve = WriteStepBSplineFromControlPoints(3, points, {0, 0, 0, 0, 0.5, 1, 1, 1, 1});
  EXPECT_EQ(curve, 6u);
  EXPECT_NE(StepLineList.text.find("#2=CARTESIAN_POINT('',(1.000000,2.000000,0.000000));\n"), std::string::npos);
  EXPECT_NE(StepLineList.text.find("#6=B_SPLINE_CURVE_WITH_KNOTS('',3,(#1,#2,#3,#4,#5),.UNSPECIFIED.,.F.,.F.,"
                                   "(4,1,4),(0.0000000000,0.5000000000,1.0000000000),.UNSPECIFIED.);\n"),
            std::string::npos)
      << StepLineList.text;
  EXPECT_FALSE(StepLineList.faulty);
}

TEST_F(StepBSpline, OutlinePolylineAsControlPolygon) {
  struct Case {
    const char* name;
    size_t points;
    const char* tail;
  };
  const Case cases[] = {
      {"2 points", 2, "1,(#1,#2),.UNSPECIFIED.,.F.,.F.,(2,2),(0.0,1.0),.UNSPECIFIED.);\n"},
      {"3 points", 3, "2,(#1,#2,#3),.UNSPECIFIED.,.F.,.F.,(3,3),(0.0,1.0),.UNSPECIFIED.);\n"},
      {"4 points", 4, "3,(#1,#2,#3,#4),.UNSPECIFIED.,.F.,.F.,(4,4),(0.0,1.0),.UNSPECIFIED.);\n"},
      {"6 points", 6, "3,(#1,#2,#3,#4,#5,#6),.UNSPECIFIED.,.F.,.F.,(4,1,1,4),(0.0,1.0,2.0,3.0),.UNSPECIFIED.);\n"},
  };
  for (const Case& c : cases) {
    ResetStepEntities();
    OutlinePolyline line;
    for (size_t i = 0; i < c.points; ++i) line.points.push_back({10.0 + i, 0.5 * i});
    EXPECT_EQ(WriteStepBSplineCurve(line, 0, 0, 1, 0, 0), c.points + 1) << c.name;
    std::string expected = "=B_SPLINE_CURVE_WITH_KNOTS(''," + std::string(c.tail);
    EXPECT_NE(StepLineList.text.find(expected), std::string::npos) << c.name << "\n" << StepLineList.text;
  }
  // A quarter turn: (10, 0) of a body at (50, 0) lies at (50, 10).
  ResetStepEntities();
  OutlinePolyline line;
  line.points = {{10, 0}, {20, 0}};
  WriteStepBSplineCurve(line, 50, 0, 0, 1, 7.5);
  EXPECT_EQ(StepLineList.text.substr(0, StepLineList.text.find('\n')),
            "#1=CARTESIAN_POINT('',(50.000000,10.000000,7.500000));");
  EXPECT_FALSE(StepLineList.faulty);
}

}  // namespace
}  // namespace kovrex
