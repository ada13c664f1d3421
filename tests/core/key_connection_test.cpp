// Key table, DIN 748 series and the key connection check: row boundaries, round
// up, a hand-worked key check, every verdict in both languages, and inputs that
// cannot give a finite check.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "capacity/key_connection.h"
#include "geometry/gear_record.h"
#include "text/texts.h"

namespace kovrex {
namespace {

class KeyConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override { SetTextLanguageForTest(false); }
  void TearDown() override { SetTextLanguageForTest(false); }
};

TEST(KeySizeTable, RowsJoinWithoutGapsFrom6To230) {
  EXPECT_EQ(KeySizeTable[0].dOver, 6.0);
  EXPECT_EQ(KeySizeTable[kKeySizeCount - 1].dUpTo, 230.0);
  for (int i = 1; i < kKeySizeCount; ++i) EXPECT_EQ(KeySizeTable[i].dOver, KeySizeTable[i - 1].dUpTo) << i;
}

TEST(KeySizeTable, LookupAtEveryRowBoundary) {
  // Each range is open below, closed above: d = dUpTo still takes the row, a hair
  // above it the next one; a hair above dOver takes the row, dOver itself not.
  for (int i = 0; i < kKeySizeCount; ++i) {
    const KeySize& row = KeySizeTable[i];
    for (double d : {row.dOver + 1e-4, (row.dOver + row.dUpTo) / 2, row.dUpTo, row.dUpTo - 1e-4}) {
      DinKeyLookup k = LookupDin6885Key(d);
      ASSERT_TRUE(k.found) << "row " << i << " d " << d;
      EXPECT_EQ(k.b, row.b) << "row " << i << " d " << d;
      EXPECT_EQ(k.t2, row.t2) << "row " << i << " d " << d;
    }
    DinKeyLookup above = LookupDin6885Key(row.dUpTo + 1e-4);
    if (i + 1 < kKeySizeCount) {
      EXPECT_EQ(above.b, KeySizeTable[i + 1].b) << "just above row " << i;
    } else {
      EXPECT_FALSE(above.found) << "just above the last row";
    }
  }
}

TEST(KeySizeTable, NamedDiameters) {
  struct Case {
    double d;
    bool found;
    double b, h, t2, t1;
  };
  const Case cases[] = {
      {6.0, false, 0, 0, 0, 0},        {8.0, true, 2, 2, 1.0, 1.2},    {8.0001, true, 3, 3, 1.4, 1.8},
      {20.0, true, 6, 6, 2.8, 3.5},    {230.0, true, 50, 28, 11.4, 17.0},
      {231.0, false, 0, 0, 0, 0},      {0.0, false, 0, 0, 0, 0},       {-10.0, false, 0, 0, 0, 0},
      {std::numeric_limits<double>::quiet_NaN(), false, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    DinKeyLookup k = LookupDin6885Key(c.d);
    EXPECT_EQ(k.found, c.found) << c.d;
    EXPECT_EQ(k.b, c.b) << c.d;
    EXPECT_EQ(k.h, c.h) << c.d;
    EXPECT_EQ(k.t2, c.t2) << c.d;
    EXPECT_EQ(k.t1, c.t1) << c.d;
  }
}

TEST(StandardDiameterSeries, AscendingFrom6To250WithEndMarker) {
  EXPECT_EQ(StandardDiameterSeries[0], 6.0);
  EXPECT_EQ(StandardDiameterSeries[kStandardDiameterCount - 1], 250.0);
  EXPECT_EQ(StandardDiameterSeries[kStandardDiameterCount], -1.0);
  for (int i = 1; i < kStandardDiameterCount; ++i)
    EXPECT_GT(StandardDiameterSeries[i], StandardDiameterSeries[i - 1]) << i;
}

TEST(StandardDiameterSeries, RoundUp) {
  struct Case {
    double d, expected;
  };
  const Case cases[] = {
      {19.0000000001, 19}, {19.1, 20}, {251.2, 252}, {250, 250}, {250.0000000001, 250},
      {19, 19},            {18.5, 19}, {0.5, 6},     {-3, 6},    {6.001, 7},
      {55.5, 56},          {239, 240}, {260, 260},
  };
  for (const Case& c : cases) EXPECT_EQ(RoundUpToStandardDiameter(c.d), c.expected) << c.d;
  // Every series value maps onto itself, and a hair above onto the next one.
  for (int i = 0; i + 1 < kStandardDiameterCount; ++i) {
    EXPECT_EQ(RoundUpToStandardDiameter(StandardDiameterSeries[i]), StandardDiameterSeries[i]);
    EXPECT_EQ(RoundUpToStandardDiameter(StandardDiameterSeries[i] + 1e-6), StandardDiameterSeries[i + 1]);
  }
}

// A valid gear with bore 20 and the DIN 6 x 6 key (t2 2.8, t1 3.5: h' = 2.5).
GearRecord KeyedGear(double faceWidth = 20.0) {
  GearRecord g;
  InitGearParams(g, 2.0, 30, 0.0, 20.0, faceWidth, 20.0, 0.0, 0.0, 1);
  g.rootRadius = 27.5;
  g.valid = 1;
  g.keywayWidth = 6.0;
  g.keywayDepth = 2.8;
  g.keyHeight = 6.0;
  g.keyHeightInHub = 2.5;
  g.keyIsDin = 1;
  return g;
}

constexpr double kLargeHubLimit = 1000.0;

// T K_A = 62.5 N m. d_req = (16000 T K_A / (pi 40))^(1/3) = (7957.75)^(1/3) = 19.9647.
// Bore 20, b 6, h' 2.5, face 20 without hub: l = 20, l_t = 14;
// p = 2000 T K_A / (d h' l_t) = 125000 / 700 = 178.571; p_zul = min(1000, 0.9 490, 387) = 387;
// safety 387 / 178.571 = 2.1672; l_req = 125000 / (20 2.5 387) + 6 = 12.4599.
TEST_F(KeyConnectionTest, HandWorkedSingleKey) {
  KeyConnectionResult r;
  ASSERT_EQ(CheckKeyConnection(KeyedGear(), 50.0, 1.25, 40.0, 490.0, kLargeHubLimit, 1, 0.0, r), 0);
  EXPECT_EQ(r.computed, 1);
  EXPECT_EQ(r.torque, 50.0);
  EXPECT_NEAR(r.shaftDiameterRequired, 19.96473, 1e-5);
  EXPECT_EQ(r.shaftDiameterStandard, 20.0);
  EXPECT_EQ(r.bore, 20.0);
  EXPECT_EQ(r.keyChecked, 1);
  EXPECT_EQ(r.keyCount, 1);
  EXPECT_DOUBLE_EQ(r.keyBearingHeight, 2.5);
  EXPECT_DOUBLE_EQ(r.lengthAvailable, 20.0);
  EXPECT_DOUBLE_EQ(r.keyLength, 20.0);
  EXPECT_DOUBLE_EQ(r.bearingLength, 14.0);
  EXPECT_NEAR(r.pressure, 178.5714, 1e-4);
  EXPECT_DOUBLE_EQ(r.pressureAllowed, 387.0);
  EXPECT_NEAR(r.keySafety, 2.16720, 1e-5);
  EXPECT_NEAR(r.keyLengthRequired, 12.45995, 1e-5);
  EXPECT_EQ(r.verdict, "1 key is sufficient");
}

TEST_F(KeyConnectionTest, TwoKeysHubsKeyLengthAndCustomBearingHeight) {
  struct Case {
    const char* name;
    int64_t hubSide;
    double hubLength, keyLengthInput, keyHeightInHub, hubLimit;
    int64_t keyChoice;
    double available, keyLength, bearingHeight, keyCount, pressure, allowed;
  };
  // Load term 2000 T K_A / (d h' n phi) = 125000 / (20 h' n phi); p = that / l_t.
  const Case cases[] = {
      // Two keys at 75 % each: 125000 / (20 2.5 1.5) / 14 = 119.05.
      {"two keys", 0, 0, 0, 2.5, kLargeHubLimit, 2, 20, 20, 2.5, 2, 125000.0 / (20 * 2.5 * 1.5 * 14), 387},
      // Choices outside 1..2 are clamped.
      {"choice 0 is one key", 0, 0, 0, 2.5, kLargeHubLimit, 0, 20, 20, 2.5, 1, 125000.0 / (20 * 2.5 * 14), 387},
      {"choice 5 is two keys", 0, 0, 0, 2.5, kLargeHubLimit, 5, 20, 20, 2.5, 2, 125000.0 / (20 * 2.5 * 1.5 * 14), 387},
      // Hub on one side adds its length once, both sides twice.
      {"hub left", 1, 10, 0, 2.5, kLargeHubLimit, 1, 30, 30, 2.5, 1, 125000.0 / (20 * 2.5 * 24), 387},
      {"hub both", 3, 10, 0, 2.5, kLargeHubLimit, 1, 40, 40, 2.5, 1, 125000.0 / (20 * 2.5 * 34), 387},
      // A key length input below the available length is used, above it is cut.
      {"key 16", 3, 10, 16, 2.5, kLargeHubLimit, 1, 40, 16, 2.5, 1, 125000.0 / (20 * 2.5 * 10), 387},
      {"key 99", 0, 0, 99, 2.5, kLargeHubLimit, 1, 20, 20, 2.5, 1, 125000.0 / (20 * 2.5 * 14), 387},
      // Custom keyway: no key height in the hub, 0.9 t2 = 2.52 bears.
      {"custom", 0, 0, 0, 0.0, kLargeHubLimit, 1, 20, 20, 2.52, 1, 125000.0 / (20 * 2.52 * 14), 387},
      // The hub material limits: p_hub 300 against 0.9 Re = 441 and 387.
      {"hub limit", 0, 0, 0, 2.5, 300, 1, 20, 20, 2.5, 1, 125000.0 / (20 * 2.5 * 14), 300},
  };
  for (const Case& c : cases) {
    GearRecord g = KeyedGear();
    g.hubSide = c.hubSide;
    g.hubLength = c.hubLength;
    g.hubDiameter = c.hubSide ? 40.0 : 0.0;
    g.keyHeightInHub = c.keyHeightInHub;
    KeyConnectionResult r;
    ASSERT_EQ(CheckKeyConnection(g, 50.0, 1.25, 40.0, 490.0, c.hubLimit, c.keyChoice, c.keyLengthInput, r), 0)
        << c.name;
    EXPECT_DOUBLE_EQ(r.lengthAvailable, c.available) << c.name;
    EXPECT_DOUBLE_EQ(r.keyLength, c.keyLength) << c.name;
    EXPECT_DOUBLE_EQ(r.bearingLength, c.keyLength - 6.0) << c.name;
    EXPECT_DOUBLE_EQ(r.keyBearingHeight, c.bearingHeight) << c.name;
    EXPECT_EQ(r.keyCount, c.keyCount) << c.name;
    EXPECT_NEAR(r.pressure, c.pressure, 1e-9 * c.pressure) << c.name;
    EXPECT_DOUBLE_EQ(r.pressureAllowed, c.allowed) << c.name;
    EXPECT_NEAR(r.keySafety, c.allowed / c.pressure, 1e-12) << c.name;
  }
}

// Verdicts by case, checked in both languages. Bore 20, DIN 6 x 6 key, face 20
// (l_t = 14), K_A 1, tau 40, Re 490, so p_zul = 387 and p = 2000 T / (20 2.5 n phi 14).
TEST_F(KeyConnectionTest, EveryVerdictInBothLanguages) {
  struct Case {
    const char* name;
    double torque;
    int64_t keys;
    double boreOverride;  // < 0: keep the keyed bore 20
    double keywayWidth;
    const char* nl;
    const char* en;
  };
  // One key: p = T / 0.35, two keys: p = T / 0.525 (phi 0.75 each), safety 387 / p.
  // T 150, two keys: safety 1.35. T 200, one key: safety 0.677, 1.5 x 0.677 >= 1,
  // l_req = 400000 / (20 2.5 387) + 6 = 26.67. T 240, two keys: safety 0.847,
  // l_req = 480000 / (20 2.5 1.5 387) + 6 = 22.54 > 20 available.
  const Case cases[] = {
      {"one key enough", 50, 1, -1, 6, "1 spie volstaat", "1 key is sufficient"},
      {"two keys enough", 150, 2, -1, 6, "2 spieen (180 graden) volstaan", "2 keys (180 degrees) are sufficient"},
      {"two keys needed", 200, 1, -1, 6, "2 spieen (180 graden) nodig, of een spielengte van ten minste 26.7 mm",
       "2 keys (180 degrees) needed, or a key length of at least 26.7 mm"},
      {"overloaded", 240, 2, -1, 6,
       "spie te zwaar belast: grotere as, langere naaf (spie 22.5 mm nodig) of spievertanding",
       "key overloaded: larger shaft, longer hub (key 22.5 mm needed) or spline"},
      {"no keyway", 50, 1, -1, 0, "geen spiebaan: as-naafverbinding (pers-, klem- of spievertanding) niet berekend",
       "no keyway: shaft-hub connection (press fit, clamp or spline) not calculated"},
      {"no bore", 50, 1, 0, 6, "geen boring: wiel op de as (massief) of boring nog opgeven",
       "no bore: gear solid on the shaft, or enter a bore"},
      {"keyway 20 wide", 50, 1, -1, 20, "spie korter dan haar breedte: geen dragende lengte",
       "key shorter than its width: no bearing length"},
  };
  for (bool dutch : {true, false}) {
    SetTextLanguageForTest(dutch);
    for (const Case& c : cases) {
      GearRecord g = KeyedGear();
      g.keywayWidth = c.keywayWidth;
      if (c.boreOverride >= 0) g.boreDiameter = c.boreOverride;
      // The 20 mm keyway needs a bore wider than it to count as a keyway.
      if (c.keywayWidth >= 20) g.boreDiameter = 30;
      KeyConnectionResult r;
      ASSERT_EQ(CheckKeyConnection(g, c.torque, 1.0, 40.0, 490.0, kLargeHubLimit, c.keys, 0.0, r), 0) << c.name;
      EXPECT_EQ(r.verdict, dutch ? c.nl : c.en) << c.name << (dutch ? " (nl)" : " (en)");
    }
  }
}

TEST_F(KeyConnectionTest, LongerKeyWhenTheHubGivesRoom) {
  // Two keys, T 240, K_A 1: p = 240 2000 / (20 2.5 1.5 14) = 457.1, safety 0.8466;
  // l_req = 22.54 fits a hub of 10 on both sides (available 40) but the key input
  // of 16 mm is too short: p = 480000 / (75 10) = 640, safety 0.605.
  GearRecord g = KeyedGear();
  g.hubSide = 3;
  g.hubDiameter = 40;
  g.hubLength = 10;
  KeyConnectionResult r;
  ASSERT_EQ(CheckKeyConnection(g, 240.0, 1.0, 40.0, 490.0, kLargeHubLimit, 2, 16.0, r), 0);
  EXPECT_NEAR(r.keySafety, 387.0 / 640.0, 1e-12);
  EXPECT_NEAR(r.keyLengthRequired, 480000.0 / (20 * 2.5 * 1.5 * 387) + 6, 1e-12);
  EXPECT_EQ(r.verdict, "make the key longer: at least 22.5 mm");
  SetTextLanguageForTest(true);
  ASSERT_EQ(CheckKeyConnection(g, 240.0, 1.0, 40.0, 490.0, kLargeHubLimit, 2, 16.0, r), 0);
  EXPECT_EQ(r.verdict, "spie langer maken: ten minste 22.5 mm");
}

TEST_F(KeyConnectionTest, OneKeyAtSafety07AsksForTwoKeys) {
  // p = 387 / 0.7 = 552.86 with one key: T = p 0.35 = 193.5 N m. 2 0.75 0.7 = 1.05 >= 1.
  KeyConnectionResult r;
  ASSERT_EQ(CheckKeyConnection(KeyedGear(), 387.0 / 0.7 * 0.35, 1.0, 40.0, 490.0, kLargeHubLimit, 1, 0.0, r), 0);
  EXPECT_NEAR(r.keySafety, 0.7, 1e-12);
  EXPECT_EQ(r.verdict.rfind("2 keys (180 degrees) needed, or a key length of at least ", 0), 0u) << r.verdict;
}

TEST_F(KeyConnectionTest, TwoKeysAtSafety09GiveALengthVerdict) {
  // Two keys: p = T / 0.525; safety 0.9 at T = 387 / 0.9 0.525 = 225.75 N m;
  // l_req = 2000 T / (20 2.5 1.5 387) + 6 = 21.56 > 20: overloaded without a hub,
  // "longer" with a hub of 10 on one side (available 30).
  const double T = 387.0 / 0.9 * 0.525;
  GearRecord g = KeyedGear();
  KeyConnectionResult r;
  ASSERT_EQ(CheckKeyConnection(g, T, 1.0, 40.0, 490.0, kLargeHubLimit, 2, 0.0, r), 0);
  EXPECT_NEAR(r.keySafety, 0.9, 1e-12);
  EXPECT_EQ(r.verdict, "key overloaded: larger shaft, longer hub (key 21.6 mm needed) or spline");
  g.hubSide = 1;
  g.hubDiameter = 40;
  g.hubLength = 10;
  ASSERT_EQ(CheckKeyConnection(g, T, 1.0, 40.0, 490.0, kLargeHubLimit, 2, 20.0, r), 0);
  EXPECT_NEAR(r.keySafety, 0.9, 1e-12);
  EXPECT_EQ(r.verdict, "make the key longer: at least 21.6 mm");
}

TEST_F(KeyConnectionTest, UnusableInputsGiveTheClearedFailureResult) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* name;
    double torque, ka, tau, re, hub;
  };
  const Case cases[] = {
      {"T 0", 0, 1.25, 40, 490, 1000},       {"T negative", -5, 1.25, 40, 490, 1000},
      {"tau 0", 50, 1.25, 0, 490, 1000},     {"tau negative", 50, 1.25, -40, 490, 1000},
      // A custom shaft with an empty yield field: p_zul would be 0 and the required
      // length infinite.
      {"Re 0", 50, 1.25, 40, 0, 1000},       {"Re negative", 50, 1.25, 40, -490, 1000},
      {"Re NaN", 50, 1.25, 40, nan, 1000},   {"Re inf", 50, 1.25, 40, inf, 1000},
      {"T NaN", nan, 1.25, 40, 490, 1000},   {"T inf", inf, 1.25, 40, 490, 1000},
      {"tau NaN", 50, 1.25, nan, 490, 1000}, {"K_A 0", 50, 0, 40, 490, 1000},
      {"K_A NaN", 50, nan, 40, 490, 1000},   {"p_hub 0", 50, 1.25, 40, 490, 0},
      {"p_hub NaN", 50, 1.25, 40, 490, nan}, {"T 1e306", 1e306, 1.25, 40, 490, 1000},
  };
  for (const Case& c : cases) {
    KeyConnectionResult r;
    r.computed = 1;
    r.verdict = "old";
    r.keySafety = 3.0;
    EXPECT_EQ(CheckKeyConnection(KeyedGear(), c.torque, c.ka, c.tau, c.re, c.hub, 1, 0.0, r), 1) << c.name;
    EXPECT_EQ(r.computed, 0) << c.name;
    EXPECT_EQ(r.keyChecked, 0) << c.name;
    EXPECT_EQ(r.keySafety, 0.0) << c.name;
    EXPECT_EQ(r.keyLengthRequired, 0.0) << c.name;
    EXPECT_EQ(r.shaftDiameterRequired, 0.0) << c.name;
    EXPECT_TRUE(r.verdict.empty()) << c.name;
  }
}

// A keyway so shallow that the bearing height underflows gives an infinite force
// on the key flank: no length of key can carry it. The check fails (safety 0) with
// the overloaded verdict and "-" for the length, never "+Infinity".
TEST_F(KeyConnectionTest, UnderflowingBearingHeightFailsWithoutALength) {
  for (double depth : {1e-305, 1e-306, 1e-320}) {
    GearRecord g = KeyedGear();
    g.keyIsDin = 0;
    g.keyHeightInHub = 0.0;  // custom keyway: h' = 0.9 t2
    g.keywayWidth = 3.0;
    g.keywayDepth = depth;
    for (int64_t keys : {1, 2}) {
      KeyConnectionResult r;
      ASSERT_EQ(CheckKeyConnection(g, 50.0, 1.25, 40.0, 490.0, kLargeHubLimit, keys, 0.0, r), 0) << depth;
      EXPECT_EQ(r.computed, 1);
      EXPECT_EQ(r.keyChecked, 1);
      EXPECT_EQ(r.keySafety, 0.0) << depth;
      EXPECT_FALSE(std::isfinite(r.keyLengthRequired)) << depth;
      EXPECT_FALSE(r.pressure > 0.0) << depth;
      EXPECT_EQ(r.verdict, "key overloaded: larger shaft, longer hub (key - mm needed) or spline") << depth;
    }
  }
  // A depth that still gives a finite force keeps its number.
  GearRecord g = KeyedGear();
  g.keyIsDin = 0;
  g.keyHeightInHub = 0.0;
  g.keywayWidth = 3.0;
  g.keywayDepth = 0.01;
  KeyConnectionResult r;
  ASSERT_EQ(CheckKeyConnection(g, 50.0, 1.25, 40.0, 490.0, kLargeHubLimit, 1, 0.0, r), 0);
  // l_req = 2000 * 62.5 / (20 * 0.009 * 387) + 3 = 1797.4 mm
  EXPECT_NEAR(r.keyLengthRequired, 125000.0 / (20.0 * 0.009 * 387.0) + 3.0, 1e-6);
  EXPECT_EQ(r.verdict, "key overloaded: larger shaft, longer hub (key 1797.4 mm needed) or spline");
}

TEST_F(KeyConnectionTest, EveryComputedResultIsFinite) {
  // A sweep over torques, key counts and key lengths, with and without hubs: no
  // number of a computed result may be NaN or infinite.
  for (double T : {0.01, 1.0, 50.0, 1e4, 1e8}) {
    for (int64_t keys : {1, 2}) {
      for (double len : {0.0, 3.0, 6.0, 7.0, 100.0}) {
        for (int64_t side : {0, 1, 3}) {
          GearRecord g = KeyedGear();
          g.hubSide = side;
          g.hubDiameter = 40;
          g.hubLength = 10;
          KeyConnectionResult r;
          ASSERT_EQ(CheckKeyConnection(g, T, 1.0, 40.0, 490.0, 300.0, keys, len, r), 0);
          for (double v : {r.shaftDiameterRequired, r.shaftDiameterStandard, r.keyBearingHeight, r.keyLength,
                           r.bearingLength, r.pressure, r.pressureAllowed, r.keySafety, r.keyLengthRequired,
                           r.lengthAvailable}) {
            EXPECT_TRUE(std::isfinite(v)) << "T " << T << " keys " << keys << " len " << len << " side " << side;
          }
          EXPECT_FALSE(r.verdict.empty());
        }
      }
    }
  }
}

}  // namespace
}  // namespace kovrex
