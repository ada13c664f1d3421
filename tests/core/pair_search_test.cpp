// Pair combination search: order of the rows, the fit of every row to the centre
// distance (checked by a second method), the helix-angle mode, series 2, input
// validation and the text of a row.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "geometry/gear_record.h"
#include "geometry/pair_search.h"

namespace kovrex {
namespace {

PairSearchInput StartUpDefaults() {
  PairSearchInput in;
  in.centreDistance = 60.0;
  in.ratio = 2.0;
  in.pressureAngleDeg = 20.0;
  in.helixAngleDeg = 0.0;
  in.tolerancePercent = 2.0;
  in.sumXMin = -0.5;
  in.sumXMax = 1.0;
  in.minTeeth = 12;
  return in;
}

double Inv(double a) { return std::tan(a) - a; }

// Working centre distance of a profile-shift sum (DIN 3960), the involute inverted
// by bisection rather than through the search's arc cosine.
double CentreDistanceOfShiftSum(double m, int64_t z1, int64_t z2, double alphaDeg, double betaDeg, double sumX) {
  const double an = alphaDeg * kDegToRad, b = betaDeg * kDegToRad;
  const double at = std::atan(std::tan(an) / std::cos(b));
  const double target = Inv(at) + 2.0 * sumX * std::tan(an) / static_cast<double>(z1 + z2);
  double lo = 0.0, hi = 1.55;
  for (int i = 0; i < 200; ++i) (Inv(0.5 * (lo + hi)) < target ? lo : hi) = 0.5 * (lo + hi);
  return m / std::cos(b) * static_cast<double>(z1 + z2) / 2.0 * std::cos(at) / std::cos(lo);
}

bool HasRow(const std::vector<PairCombination>& rows, double m, int64_t z1, int64_t z2) {
  for (const PairCombination& r : rows)
    if (std::fabs(r.module - m) < 1e-12 && r.teeth1 == z1 && r.teeth2 == z2) return true;
  return false;
}

TEST(PairSearch, StartUpDefaultsAreOrderedByModuleThenShiftSum) {
  const std::vector<PairCombination> rows = SearchPairCombinationRows(StartUpDefaults());
  ASSERT_FALSE(rows.empty());
  // 0.2 (200 + 400) / 2 = 60: the first module whose teeth reach the centre distance.
  EXPECT_DOUBLE_EQ(rows[0].module, 0.2);
  EXPECT_EQ(rows[0].teeth1, 200);
  EXPECT_EQ(rows[0].teeth2, 400);
  EXPECT_NEAR(rows[0].profileShiftSum, 0.0, 1e-12);
  for (size_t k = 1; k < rows.size(); ++k) {
    ASSERT_LE(rows[k - 1].module, rows[k].module) << k;
    if (rows[k - 1].module == rows[k].module) {
      EXPECT_LE(std::fabs(rows[k - 1].profileShiftSum), std::fabs(rows[k].profileShiftSum)) << k;
    }
  }
  size_t m1 = rows.size();
  for (size_t k = 0; k < rows.size(); ++k)
    if (rows[k].module == 1.0 && rows[k].teeth1 == 40 && rows[k].teeth2 == 80) m1 = k;
  ASSERT_LT(m1, rows.size());
  EXPECT_NEAR(rows[m1].profileShiftSum, 0.0, 1e-12);
  for (size_t k = 0; k < rows.size(); ++k) {
    if (rows[k].module < 1.0) {
      EXPECT_LT(k, m1);
    }
    if (rows[k].module >= 1.25) {
      EXPECT_GT(k, m1);
    }
  }
  EXPECT_TRUE(HasRow(rows, 2.0, 20, 40));
  EXPECT_TRUE(HasRow(rows, 0.5, 80, 160));
}

TEST(PairSearch, EveryRowFitsTheCentreDistanceAndTheLimits) {
  for (double beta : {0.0, 15.0}) {
    PairSearchInput in = StartUpDefaults();
    in.helixAngleDeg = beta;
    in.ratio = 3.1;
    const std::vector<PairCombination> rows = SearchPairCombinationRows(in);
    ASSERT_GE(rows.size(), 5u) << beta;
    for (const PairCombination& r : rows) {
      EXPECT_NEAR(CentreDistanceOfShiftSum(r.module, r.teeth1, r.teeth2, 20.0, beta, r.profileShiftSum), 60.0, 1e-9)
          << r.module << " " << r.teeth1;
      EXPECT_GE(r.profileShiftSum, -0.5 - 1e-9);
      EXPECT_LE(r.profileShiftSum, 1.0 + 1e-9);
      EXPECT_GE(r.teeth1, 12);
      EXPECT_LE(r.teeth2, 400);
      EXPECT_LE(std::fabs(r.actualRatio / 3.1 - 1.0), 0.02 + 1e-12);
      EXPECT_DOUBLE_EQ(r.actualRatio, static_cast<double>(r.teeth2) / r.teeth1);
      EXPECT_NEAR(r.ratioDeviationPercent, (r.actualRatio - 3.1) / 3.1 * 100.0, 1e-12);
      EXPECT_EQ(r.helixAngleDeg, beta);
      EXPECT_NEAR(r.score, std::fabs(r.profileShiftSum) + 10000.0 * r.module + 0.001 * beta, 1e-9);
    }
  }
}

TEST(PairSearch, HelixAngleModeFindsTheAngleThatFitsWithoutShift) {
  PairSearchInput in = StartUpDefaults();
  in.searchHelixAngle = true;
  in.helixAngleDeg = 20.0;
  const std::vector<PairCombination> rows = SearchPairCombinationRows(in);
  ASSERT_GT(rows.size(), 5u);
  for (size_t k = 0; k < rows.size(); ++k) {
    const PairCombination& r = rows[k];
    EXPECT_EQ(r.profileShiftSum, 0.0);
    EXPECT_LE(r.helixAngleDeg, 20.0 + 1e-9);
    EXPECT_GE(r.helixAngleDeg, 0.0);
    // a = m (z1 + z2) / (2 cos beta).
    EXPECT_NEAR(r.module * (r.teeth1 + r.teeth2) / (2.0 * std::cos(r.helixAngleDeg * kDegToRad)), 60.0, 1e-9);
    if (k > 0 && rows[k - 1].module == r.module) {
      EXPECT_LE(rows[k - 1].helixAngleDeg, r.helixAngleDeg);
    }
    if (k > 0) {
      EXPECT_LE(rows[k - 1].module, r.module);
    }
  }
  EXPECT_TRUE(HasRow(rows, 1.0, 40, 80));
}

TEST(PairSearch, HelixAngleModeKeepsAnExactFitWhoseCosineRoundsAboveOne) {
  // 0.8 (16 + 32) / 2 = 19.2 exactly, but 0.8 * 48 / 38.4 is 1 + 2e-16 in doubles.
  PairSearchInput in = StartUpDefaults();
  in.searchHelixAngle = true;
  in.helixAngleDeg = 20.0;
  in.centreDistance = 19.2;
  ASSERT_GT(0.8 * 48.0 / (2.0 * 19.2), 1.0);
  const std::vector<PairCombination> rows = SearchPairCombinationRows(in);
  bool found = false;
  for (const PairCombination& r : rows)
    if (r.module == 0.8 && r.teeth1 == 16 && r.teeth2 == 32) {
      found = true;
      EXPECT_EQ(r.helixAngleDeg, 0.0);
    }
  EXPECT_TRUE(found);
}

TEST(PairSearch, SeriesTwoModulesSortInBetweenSeriesOne) {
  PairSearchInput in = StartUpDefaults();
  in.includeSeries2 = true;
  const std::vector<PairCombination> rows = SearchPairCombinationRows(in);
  size_t first = rows.size(), last = 0;
  for (size_t k = 0; k < rows.size(); ++k) {
    if (k > 0) {
      ASSERT_LE(rows[k - 1].module, rows[k].module) << k;
    }
    if (rows[k].module == 1.125) {
      first = std::min(first, k);
      last = k;
    }
  }
  ASSERT_LT(first, rows.size());
  for (size_t k = 0; k < rows.size(); ++k) {
    if (rows[k].module == 1.0) {
      EXPECT_LT(k, first);
    }
    if (rows[k].module == 1.25) {
      EXPECT_GT(k, last);
    }
  }
  EXPECT_FALSE(HasRow(SearchPairCombinationRows(StartUpDefaults()), 1.125, rows[first].teeth1, rows[first].teeth2));
}

TEST(PairSearch, InvalidInputsGiveNoRows) {
  struct Case {
    const char* name;
    void (*change)(PairSearchInput&);
  };
  const Case cases[] = {
      {"z min 2", [](PairSearchInput& in) { in.minTeeth = 2; }},
      {"alpha 9.9", [](PairSearchInput& in) { in.pressureAngleDeg = 9.9; }},
      {"alpha 35.1", [](PairSearchInput& in) { in.pressureAngleDeg = 35.1; }},
      {"beta 45.1", [](PairSearchInput& in) { in.helixAngleDeg = 45.1; }},
      {"beta -0.1", [](PairSearchInput& in) { in.helixAngleDeg = -0.1; }},
      {"a 0", [](PairSearchInput& in) { in.centreDistance = 0.0; }},
      {"i 0", [](PairSearchInput& in) { in.ratio = 0.0; }},
      {"a nan", [](PairSearchInput& in) { in.centreDistance = std::nan(""); }},
      {"tolerance inf", [](PairSearchInput& in) { in.tolerancePercent = std::numeric_limits<double>::infinity(); }},
  };
  for (const Case& c : cases) {
    PairSearchInput in = StartUpDefaults();
    c.change(in);
    EXPECT_FALSE(PairSearchInputIsValid(in)) << c.name;
    EXPECT_TRUE(SearchPairCombinationRows(in).empty()) << c.name;
  }
  PairSearchInput edge = StartUpDefaults();
  edge.minTeeth = 3;
  edge.pressureAngleDeg = 35.0;
  edge.helixAngleDeg = 45.0;
  EXPECT_TRUE(PairSearchInputIsValid(edge));
}

TEST(PairSearch, RatioBeyondFourHundredTeethFindsNothing) {
  PairSearchInput in = StartUpDefaults();
  in.ratio = 34.0;  // 34 * 12 = 408 > 400 for the smallest z1 already
  EXPECT_TRUE(PairSearchInputIsValid(in));
  EXPECT_TRUE(SearchPairCombinationRows(in).empty());
}

TEST(PairSearch, RowText) {
  PairCombination r;
  r.module = 1.125;
  r.teeth1 = 17;
  r.teeth2 = 35;
  r.actualRatio = 35.0 / 17.0;
  r.ratioDeviationPercent = -0.0004;
  r.profileShiftSum = -0.12345;
  r.helixAngleDeg = 12.3456;
  EXPECT_EQ(FormatPairCombinationRow(r), "1.125\n17\n35\n2.059\n0.00\n-0.123\n12.346");
  r.module = 2.0;
  r.ratioDeviationPercent = 1.996;
  r.profileShiftSum = 0.0;
  r.helixAngleDeg = 0.0;
  EXPECT_EQ(FormatPairCombinationRow(r), "2\n17\n35\n2.059\n2.00\n0.000\n0.000");
}

}  // namespace
}  // namespace kovrex
