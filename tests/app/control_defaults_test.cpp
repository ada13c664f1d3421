// Start values written by the populate functions into the in-memory store: combo
// lists built from the module series and the material tables, and the material
// fields shown from the selected row.
#include <gtest/gtest.h>

#include <string>

#include "app/control_defaults.h"
#include "app/controls.h"
#include "capacity/strength_types.h"
#include "support/test_support.h"
#include "text/texts.h"

namespace kovrex::test {
namespace {

class ControlDefaultsTest : public KovrexTest {};

TEST_F(ControlDefaultsTest, ModuleCombosListSeriesOneOfDin780AndShowTwo) {
  PopulateMainWindowControls(store);
  // DIN 780 series 1: 0.05 ... 60 mm, 34 values.
  const char* expected[] = {"0.05", "0.06", "0.08", "0.1", "0.12", "0.16", "0.2", "0.25", "0.3",
                            "0.4",  "0.5",  "0.6",  "0.7", "0.8",  "0.9",  "1",   "1.25", "1.5",
                            "2",    "2.5",  "3",    "4",   "5",    "6",    "8",   "10",   "12",
                            "16",   "20",   "25",   "32",  "40",   "50",   "60"};
  for (int combo : {GadgetSingleModule, GadgetRackModule}) {
    ASSERT_EQ(store.CountItems(combo), 34) << combo;
    for (int i = 0; i < 34; ++i) EXPECT_EQ(store.GetItemText(combo, i), expected[i]) << combo << " entry " << i;
    EXPECT_EQ(store.GetText(combo), "2");
  }
}

TEST_F(ControlDefaultsTest, GearMaterialCombosListTheTableAndTheFieldsShowRowThree) {
  for (int i = 0; i < kGearMaterialCount; ++i) GearMaterialTable[i].name = "material " + std::to_string(i);
  GearMaterialTable[3] = {"42CrMo4", 750, 300, 206000, 0.3, 0, 750};
  PopulateStrengthWindowControls(store);
  for (int combo : {GadgetMaterial1, GadgetMaterial2}) {
    ASSERT_EQ(store.CountItems(combo), 13);
    EXPECT_EQ(store.GetItemText(combo, 0), "material 0");
    EXPECT_EQ(store.GetItemText(combo, 12), "material 12");
    EXPECT_EQ(store.GetState(combo), 3);
  }
  // Whole numbers for the stresses and E, two decimals for Poisson's ratio.
  for (int field : {GadgetSigHlim1, GadgetSigHlim2}) EXPECT_EQ(store.GetText(field), "750");
  for (int field : {GadgetSigFlim1, GadgetSigFlim2}) EXPECT_EQ(store.GetText(field), "300");
  for (int field : {GadgetE1, GadgetE2}) EXPECT_EQ(store.GetText(field), "206000");
  for (int field : {GadgetNu1, GadgetNu2}) EXPECT_EQ(store.GetText(field), "0.30");
}

TEST_F(ControlDefaultsTest, AnUnfilledMaterialTableLeavesTheFieldsEmpty) {
  PopulateStrengthWindowControls(store);
  EXPECT_EQ(store.CountItems(GadgetMaterial1), 13);
  for (int field : {GadgetSigHlim1, GadgetSigFlim1, GadgetE1, GadgetNu1, GadgetNu2})
    EXPECT_EQ(store.GetText(field), "") << field;
}

TEST_F(ControlDefaultsTest, ShaftMaterialsArePrefixedAndRowTwoIsChosen) {
  const char* names[] = {"S235", "S355", "C45", "42CrMo4", "34CrNiMo6", "own"};
  for (int i = 0; i < kShaftMaterialCount; ++i) ShaftMaterialTable[i].name = names[i];
  PopulateStrengthWindowControls(store);
  ASSERT_EQ(store.CountItems(GadgetShaftMaterial), 6);
  EXPECT_EQ(store.GetItemText(GadgetShaftMaterial, 0), "As: S235");
  EXPECT_EQ(store.GetItemText(GadgetShaftMaterial, 5), "As: own");
  EXPECT_EQ(store.GetState(GadgetShaftMaterial), 2);
}

TEST_F(ControlDefaultsTest, AccuracyGradesFiveToTenInEachLanguage) {
  for (bool dutch : {false, true}) {
    SetTextLanguageForTest(dutch);
    PopulateStrengthWindowControls(store);
    ASSERT_EQ(store.CountItems(GadgetAccuracyClass), 6);
    EXPECT_EQ(store.GetItemText(GadgetAccuracyClass, 0), dutch ? "klasse 5" : "grade 5");
    EXPECT_EQ(store.GetItemText(GadgetAccuracyClass, 5), dutch ? "klasse 10" : "grade 10");
    EXPECT_EQ(store.GetState(GadgetAccuracyClass), 2);
    EXPECT_EQ(store.GetText(GadgetApplicationFactor), dutch ? "1,25 lichte stoten" : "1.25 light shocks");
  }
}

TEST_F(ControlDefaultsTest, PopulatingTwiceGivesTheSameListsNotDoubledOnes) {
  PopulateMainWindowControls(store);
  PopulateMainWindowControls(store);
  PopulateHubWindowControls(store);
  PopulateHubWindowControls(store);
  EXPECT_EQ(store.CountItems(GadgetPairHand), 2);
  EXPECT_EQ(store.CountItems(GadgetSingleModule), 34);
  EXPECT_EQ(store.CountItems(GadgetHub2), 4);
}

}  // namespace
}  // namespace kovrex::test
