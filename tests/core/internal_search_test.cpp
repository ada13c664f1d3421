// The internal combination search.
#include <gtest/gtest.h>

#include <cmath>

#include "geometry/gear_record.h"
#include "geometry/internal_search.h"

namespace kovrex {
namespace {

InternalSearchInput Defaults() {
  InternalSearchInput in;
  in.centreDistance = 40;
  in.ratio = 3;
  in.pressureAngleDeg = 20;
  in.helixAngleDeg = 0;
  in.tolerance = 0.02;
  in.deltaXMin = -0.5;
  in.deltaXMax = 1.0;
  in.z1Min = 12;
  in.toothDifferenceMin = 8;
  return in;
}

// Delta x of a row from the involute relation of an internal pair:
// inv(alpha_w) = inv(alpha_t) + 2 tan(alpha_n) (x2 - x1) / (z2 - z1),
// with cos(alpha_w) = a0 cos(alpha_t) / a.
double DeltaXFor(const InternalCombination& r, double a, double alphaDeg) {
  double an = alphaDeg * kDegToRad, b = r.helixAngleDeg * kDegToRad;
  double at = std::atan(std::tan(an) / std::cos(b));
  double a0 = r.module / std::cos(b) * (r.teeth2 - r.teeth1) / 2.0;
  double aw = std::acos(a0 * std::cos(at) / a);
  return (std::tan(aw) - aw - (std::tan(at) - at)) * (r.teeth2 - r.teeth1) / (2 * std::tan(an));
}

TEST(InternalSearch, StartUpDefaultsAreOrderedByModuleThenDeltaX) {
  std::vector<InternalCombination> rows;
  ASSERT_TRUE(FindInternalCombinations(Defaults(), rows));
  ASSERT_FALSE(rows.empty());
  for (size_t i = 1; i < rows.size(); ++i) {
    ASSERT_LE(rows[i - 1].module, rows[i].module + 1e-12) << i;
    if (rows[i - 1].module == rows[i].module) {
      EXPECT_LE(std::fabs(rows[i - 1].profileShiftDifference), std::fabs(rows[i].profileShiftDifference) + 1e-12) << i;
    }
  }
  for (const auto& r : rows) {
    EXPECT_GE(r.teeth2 - r.teeth1, 8);
    EXPECT_LE(r.teeth2, 1000);
    EXPECT_GE(r.teeth1, 12);
    EXPECT_LE(std::fabs(r.actualRatio - 3.0) / 3.0, 0.02 + 1e-12);
    EXPECT_GE(r.profileShiftDifference, -0.5 - 1e-9);
    EXPECT_LE(r.profileShiftDifference, 1.0 + 1e-9);
    EXPECT_NEAR(r.profileShiftDifference, DeltaXFor(r, 40, 20), 1e-9);
    EXPECT_NEAR(r.ratioDeviationPercent, (r.actualRatio - 3.0) / 3.0 * 100.0, 1e-12);
  }
  // The first row: the smallest module whose ring fits the 1000-tooth limit.
  EXPECT_DOUBLE_EQ(rows[0].module, 0.12);
  EXPECT_EQ(rows[0].teeth1, 333);
  EXPECT_EQ(rows[0].teeth2, 999);
}

TEST(InternalSearch, RejectedInputs) {
  struct Case {
    const char* name;
    void (*change)(InternalSearchInput&);
  };
  const Case cases[] = {
      {"ratio 1", [](InternalSearchInput& i) { i.ratio = 1.0; }},
      {"tooth difference 0", [](InternalSearchInput& i) { i.toothDifferenceMin = 0; }},
      {"z1 min 2", [](InternalSearchInput& i) { i.z1Min = 2; }},
      {"alpha 9.9", [](InternalSearchInput& i) { i.pressureAngleDeg = 9.9; }},
      {"alpha 35.1", [](InternalSearchInput& i) { i.pressureAngleDeg = 35.1; }},
      {"beta 45.1", [](InternalSearchInput& i) { i.helixAngleDeg = 45.1; }},
      {"beta -1", [](InternalSearchInput& i) { i.helixAngleDeg = -1; }},
      {"a 0", [](InternalSearchInput& i) { i.centreDistance = 0; }},
      {"a nan", [](InternalSearchInput& i) { i.centreDistance = std::nan(""); }},
  };
  for (const Case& c : cases) {
    InternalSearchInput in = Defaults();
    c.change(in);
    std::vector<InternalCombination> rows(3);
    EXPECT_FALSE(FindInternalCombinations(in, rows)) << c.name;
    EXPECT_TRUE(rows.empty()) << c.name;
  }
}

TEST(InternalSearch, HelixAngleModeKeepsExactFitsAndSortsByBeta) {
  InternalSearchInput in = Defaults();
  in.helixAngleMode = true;
  in.helixAngleDeg = 30;
  std::vector<InternalCombination> rows;
  ASSERT_TRUE(FindInternalCombinations(in, rows));
  ASSERT_FALSE(rows.empty());
  bool exactFit = false;
  for (size_t i = 0; i < rows.size(); ++i) {
    const auto& r = rows[i];
    EXPECT_EQ(r.profileShiftDifference, 0.0);
    EXPECT_LE(r.helixAngleDeg, 30 + 1e-9);
    // a = m (z2 - z1) / (2 cos beta)
    EXPECT_NEAR(r.module * (r.teeth2 - r.teeth1) / (2 * std::cos(r.helixAngleDeg * kDegToRad)), 40.0, 1e-9);
    if (i > 0 && rows[i - 1].module == r.module) {
      EXPECT_LE(rows[i - 1].helixAngleDeg, r.helixAngleDeg);
    }
    if (r.helixAngleDeg == 0.0) exactFit = true;
  }
  // m 1, z 40/120 fits a = 40 exactly with beta = 0, where cos(beta) computes to
  // 1 + 1 ulp.
  EXPECT_TRUE(exactFit);
}

TEST(InternalSearch, ToothDifferenceSkipsButGoesOnAndLargeRatiosStopAt1000Teeth) {
  InternalSearchInput in = Defaults();
  in.ratio = 1.05;
  in.toothDifferenceMin = 5;
  in.centreDistance = 100;
  std::vector<InternalCombination> rows;
  ASSERT_TRUE(FindInternalCombinations(in, rows));
  for (const auto& r : rows) EXPECT_GE(r.teeth2 - r.teeth1, 5);
  bool beyondFirstSkips = false;
  for (const auto& r : rows)
    if (r.teeth1 > 100) beyondFirstSkips = true;
  EXPECT_TRUE(beyondFirstSkips);

  in = Defaults();
  in.ratio = 60;
  in.toothDifferenceMin = 1;
  in.centreDistance = 500;
  ASSERT_TRUE(FindInternalCombinations(in, rows));
  for (const auto& r : rows) EXPECT_LE(r.teeth2, 1000);
}

TEST(InternalSearch, RingsBelowSixTeethAreNotProposed) {
  InternalSearchInput in = Defaults();
  in.ratio = 1.4;  // z1 3 -> z2 4, z1 4 -> 6
  in.z1Min = 3;
  in.toothDifferenceMin = 1;
  in.centreDistance = 1;
  in.deltaXMin = -5;
  in.deltaXMax = 5;
  in.tolerance = 0.2;
  std::vector<InternalCombination> rows;
  ASSERT_TRUE(FindInternalCombinations(in, rows));
  for (const auto& r : rows) EXPECT_GE(r.teeth2, 6);
}

TEST(InternalSearch, SeriesTwoSortsIn) {
  InternalSearchInput in = Defaults();
  in.series2 = true;
  std::vector<InternalCombination> rows;
  ASSERT_TRUE(FindInternalCombinations(in, rows));
  bool sawSeries2 = false;
  for (size_t i = 1; i < rows.size(); ++i) {
    EXPECT_LE(rows[i - 1].score, rows[i].score);
    if (rows[i].module == 1.125) sawSeries2 = true;
  }
  EXPECT_TRUE(sawSeries2);
}

}  // namespace
}  // namespace kovrex
