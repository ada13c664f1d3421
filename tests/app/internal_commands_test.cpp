// The Internal tab: search messages, applying a row, the ring tip shortening, the
// mesh check and the rejected inputs.
#include <gtest/gtest.h>

#include <cmath>

#include "app/app_state.h"
#include "app/control_store.h"
#include "app/controls.h"
#include "app/internal_commands.h"
#include "geometry/arrangement_state.h"
#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "geometry/mesh_penetration.h"
#include "geometry/ring_gear.h"
#include "support/test_support.h"
#include "text/texts.h"

namespace kovrex {
namespace {

class InternalTab : public test::KovrexTest {
 protected:
  void SetUp() override {
    KovrexTest::SetUp();
    const std::pair<int, const char*> texts[] = {
        {GadgetInternalCentreDistance, "40"}, {GadgetInternalRatio, "3"},      {GadgetInternalPressureAngle, "20"},
        {GadgetInternalHelixAngle, "0"},      {GadgetInternalTolerance, "2"},  {GadgetInternalDeltaXMin, "-0.5"},
        {GadgetInternalDeltaXMax, "1.0"},     {GadgetInternalZ1Min, "12"},     {GadgetInternalToothDiffMin, "8"},
        {GadgetInternalX1, "0"},              {GadgetInternalFaceWidth, "10"}, {GadgetInternalBacklash, "0"},
        {GadgetInternalPinionBore, "6"},      {GadgetInternalRingRim, "6"},
    };
    for (auto [c, t] : texts) store.SetText(c, t);
    store.SetState(GadgetInternalHand, 0);
    store.SetState(GadgetInternalSearchBeta, 0);
    store.SetState(GadgetInternalSeries2, 0);
    store.SetState(GadgetInternalShortenTip, 1);
    store.SetState(GadgetTabPanel, 3);
  }
  // One row, m 2, 20/60 at the reference centre distance 40 (delta x = 0).
  void UseRow(double m = 2, int64_t z1 = 20, int64_t z2 = 60) {
    InternalResultList = {{m, z1, z2, 0.0, double(z2) / z1, 0.0, 0.0, 10000 * m}};
    store.SetText(GadgetInternalCentreDistance, "40");
  }
};

TEST_F(InternalTab, SearchFillsTheListAndMessagesFollowSilence) {
  SearchInternalCombinations(0);
  ASSERT_FALSE(InternalResultList.empty());
  EXPECT_EQ(store.CountItems(GadgetInternalResults), static_cast<int>(InternalResultList.size()));
  EXPECT_EQ(store.GetItemText(GadgetInternalResults, 0), "0.12\n333\n999\n3.000\n0.00\n0.335\n0.000");
  EXPECT_EQ(InternalSelectedRow, -1);
  EXPECT_TRUE(services.messages.empty());

  store.SetText(GadgetInternalRatio, "1");
  SearchInternalCombinations(1);
  EXPECT_TRUE(services.messages.empty());  // silent: no box even for invalid input
  EXPECT_TRUE(InternalResultList.empty());
  EXPECT_EQ(store.CountItems(GadgetInternalResults), 0);
  SearchInternalCombinations(0);
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].icon, MessageIcon::Warning);
  EXPECT_EQ(services.messages[0].title, "Kovrex");
  EXPECT_EQ(services.messages[0].text,
            "Check centre distance, ratio (> 1), pressure angle (10..35), β (0..45), z min and tooth difference.");

  store.SetText(GadgetInternalRatio, "3");
  store.SetText(GadgetInternalRatio, "3.0001");  // no z1 up to 400 gives it exactly
  store.SetText(GadgetInternalTolerance, "0");
  SetTextLanguageForTest(true);
  SearchInternalCombinations(0);
  ASSERT_EQ(services.messages.size(), 2u);
  EXPECT_EQ(services.messages[1].icon, MessageIcon::Info);
  EXPECT_EQ(services.messages[1].text,
            "Geen combinaties gevonden. Vergroot de tolerantie, de grenzen van Δx of de maximale β.");
}

TEST_F(InternalTab, ApplyingARowProposesX1AndStartsTheAnimationAgain) {
  UseRow(1, 14, 42);  // 14 teeth undercut below x = 0.181
  DriveAngle = 1.0;
  ASSERT_EQ(ApplyInternalCombinationRow(0), 0);
  EXPECT_EQ(InternalSelectedRow, 0);
  EXPECT_EQ(DriveAngle, 0.0);
  // x_min = 1.25 - 0.38 (1 - sin 20) - 14 sin^2(20) / 2 = 0.181123, written upward
  EXPECT_EQ(store.GetText(GadgetInternalX1), "0.1812");
  EXPECT_EQ(store.GetText(GadgetInternalX2Text), "x2 = 0.1812");
  EXPECT_EQ(DisplayMode, 4);
  EXPECT_TRUE(Gear1.valid);
  EXPECT_TRUE(RingGear.valid);
  EXPECT_EQ(ApplyInternalCombinationRow(1), 1);
  EXPECT_EQ(ApplyInternalCombinationRow(-1), 1);

  UseRow(2, 30, 90);  // no undercut: x1 = max(x_min, 0) = 0
  ApplyInternalCombinationRow(0);
  EXPECT_EQ(store.GetText(GadgetInternalX1), "0.0000");
}

// The proposed x1 of a pinion that needs a positive shift is its x min written
// upward: a field read back below x min would flag the program's own proposal as
// undercut. Row m 3, 13/39 of the default search: x min = 0.239612.
TEST_F(InternalTab, ProposedX1NeverRaisesItsOwnUndercutWarning) {
  const double s = std::sin(20.0 * kDegToRad);
  const double xMin13 = 1.25 - 0.38 * (1.0 - s) - 13.0 * s * s / 2.0;
  ASSERT_NEAR(xMin13, 0.239612, 1e-6);
  SearchInternalCombinations(0);
  int64_t row = -1;
  for (size_t i = 0; i < InternalResultList.size(); ++i) {
    const InternalCombination& r = InternalResultList[i];
    if (r.module == 3.0 && r.teeth1 == 13 && r.teeth2 == 39) row = static_cast<int64_t>(i);
  }
  ASSERT_GE(row, 0) << "the default search lists m 3, 13/39";
  store.SetState(GadgetInternalResults, row);
  ASSERT_EQ(ApplyInternalCombinationRow(row), 0);
  EXPECT_EQ(store.GetText(GadgetInternalX1), "0.2397");
  EXPECT_GE(Gear1.profileShift, xMin13);
  EXPECT_EQ(Gear1.undercutFlag, 0);
  const std::string report = store.GetText(GadgetReport);
  EXPECT_NE(report.find("x  = 0.2397   (x min = 0.240)"), std::string::npos) << report;
  EXPECT_EQ(report.find(Tx(TextId::RptWarnUndercut)), std::string::npos) << report;

  // A typed x1 just below x min is still flagged: the check itself is unchanged.
  store.SetText(GadgetInternalX1, "0.2396");
  ComputeInternalPairFromSelection(0);
  EXPECT_EQ(Gear1.undercutFlag, 1);
  EXPECT_NE(store.GetText(GadgetReport).find(Tx(TextId::RptWarnUndercut)), std::string::npos);
}

TEST_F(InternalTab, WithoutASelectedRowNothingChanges) {
  UseRow();
  store.SetText(GadgetInternalX1, "0.3");
  ComputeInternalPairFromSelection(0);
  EXPECT_EQ(DisplayMode, 0);
  EXPECT_FALSE(Gear1.valid);
  EXPECT_EQ(ComputeRingFromSelection(1), 1);
}

TEST_F(InternalTab, RejectedLiveInputsChangeNothing) {
  UseRow();
  ApplyInternalCombinationRow(0);
  const double ra1 = Gear1.tipRadius, ra2 = RingGear.tipRadius;
  DisplayMode = 4;
  const std::pair<int, const char*> bad[] = {
      {GadgetInternalPressureAngle, "9.9"}, {GadgetInternalPressureAngle, "35.1"},
      {GadgetInternalFaceWidth, "0"},       {GadgetInternalFaceWidth, "-2"},
      {GadgetInternalPinionBore, "-1"},     {GadgetInternalCentreDistance, "0"},
      // The base circles differ by 40 cos 20 = 37.6 mm: a smaller centre distance
      // has no working pressure angle.
      {GadgetInternalCentreDistance, "37"},
  };
  for (auto [control, text] : bad) {
    std::string old = store.GetText(control);
    store.SetText(control, text);
    store.SetText(GadgetInternalX1, "0.4");
    ComputeInternalPairFromSelection(0);
    EXPECT_EQ(Gear1.tipRadius, ra1) << control << " " << text;
    EXPECT_EQ(RingGear.tipRadius, ra2) << control << " " << text;
    store.SetText(control, old);
    store.SetText(GadgetInternalX1, "0");
  }
}

TEST_F(InternalTab, RingTipIsShortenedOnlyWhenItWasInsideTheLimit) {
  UseRow(2, 13, 39);
  store.SetText(GadgetInternalCentreDistance, "26");
  store.SetState(GadgetInternalShortenTip, 0);
  ApplyInternalCombinationRow(0);
  const double nominal = RingGear.tipRadius;
  const double limit = ComputeRingTipLimitRadius(Gear1, RingGear, InternalCentreDistance) + 0.0001 * 2;
  ASSERT_LT(nominal, limit);  // a 13-tooth pinion: its usable involute starts high
  EXPECT_EQ(RingGear.tipShortening, 0.0);
  store.SetState(GadgetInternalShortenTip, 1);
  ComputeInternalPairFromSelection(0);
  EXPECT_NEAR(RingGear.tipRadius, limit, 1e-12);
  EXPECT_NEAR(RingGear.tipShortening, (limit - nominal) / 2, 1e-12);

  // A ring shifted 0.3 more than the pinion has its tip 0.6 mm further out, beyond
  // the limit (88.17 mm for this pinion): built once, unchanged.
  UseRow(2, 30, 90);
  InternalResultList[0].profileShiftDifference = 0.3;
  store.SetText(GadgetInternalCentreDistance, "60");
  ApplyInternalCombinationRow(0);
  EXPECT_EQ(RingGear.tipShortening, 0.0);
  EXPECT_GE(RingGear.tipRadius, RingTipLimitRadius);
}

TEST_F(InternalTab, MeshCheckFindsOverlapOnlyWhenTheTeethCollide) {
  // With a flank in contact (the check also runs the pair loaded) the shortened
  // ring tip grazes the pinion's fillet by well under a micron; only centred do
  // the bodies keep apart. Either way no depth reaches the report's 0.002 m.
  UseRow();
  store.SetText(GadgetInternalBacklash, "0.1");
  ApplyInternalCombinationRow(0);
  EXPECT_LT(InternalPenetration, 0.002 * 2);
  // An internal pair's flanks close in when the pinion moves out towards the ring
  // teeth, i.e. at a larger centre distance: 0.05 m more eats 2 * 0.1 * sin 20 =
  // 0.068 mm of backlash, more than the 0.02 mm left.
  store.SetText(GadgetInternalBacklash, "0.02");
  store.SetText(GadgetInternalCentreDistance, "40.1");
  ComputeInternalPairFromSelection(0);
  EXPECT_GT(InternalPenetration, 0.002 * 2);
  store.SetText(GadgetInternalCentreDistance, "39.9");
  ComputeInternalPairFromSelection(0);
  EXPECT_LT(InternalPenetration, 0.002 * 2);
  // An invalid ring (rim 0) keeps "not checked".
  store.SetText(GadgetInternalRingRim, "0");
  ComputeInternalPairFromSelection(0);
  EXPECT_FALSE(RingGear.valid);
  EXPECT_EQ(InternalPenetration, -1.0);
}

TEST(MeshPenetration, TouchingPairAtTheReferenceCentreDistanceHardlyOverlaps) {
  // Zero backlash: the flanks touch; whatever the polygon approximation finds must
  // stay far below the report's threshold of 0.002 m.
  const double m = 2;
  GearRecord p, r;
  InitGearParams(p, m, 20, 0.0, 20, 10, 0, 0, 0, 1);
  ComputeExternalGearGeometry(p, 3);
  GenerateToothProfile(r, m, 60, 0.0, 20, 10, 6, 0.0, 0, 1, 3, 0);
  double limit = ComputeRingTipLimitRadius(p, r, 40) + 0.0001 * m;
  GenerateToothProfile(r, m, 60, 0.0, 20, 10, 6, 0.0, 0, 1, 3, limit);
  EXPECT_LT(ComputeInternalMeshPenetration(p, r, 40), 0.002 * m);
}

}  // namespace
}  // namespace kovrex
