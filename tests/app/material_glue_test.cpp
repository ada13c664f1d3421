// The material combos of the strength window and their fields: a chosen row fills
// the fields, a field edited away from the row selects the custom row.
#include <gtest/gtest.h>

#include "app/material_glue.h"
#include "strength_window_fixture.h"

namespace kovrex {
namespace {

using MaterialGlueTest = test::StrengthWindowTest;

TEST_F(MaterialGlueTest, ChoosingARowFillsItsFourFields) {
  store.SetState(GadgetMaterial1, 0);
  ShowMaterialProperties(GadgetMaterial1, GadgetSigHlim1, GadgetSigFlim1, GadgetE1, GadgetNu1);
  EXPECT_EQ(store.GetText(GadgetSigHlim1), "430");
  EXPECT_EQ(store.GetText(GadgetSigFlim1), "200");
  EXPECT_EQ(store.GetText(GadgetE1), "206000");
  EXPECT_EQ(store.GetText(GadgetNu1), "0.30");
  // The other wheel keeps its row 3.
  EXPECT_EQ(store.GetText(GadgetSigHlim2), "750");

  store.SetState(GadgetMaterial2, 10);  // grey cast iron
  ShowMaterialProperties(GadgetMaterial2, GadgetSigHlim2, GadgetSigFlim2, GadgetE2, GadgetNu2);
  EXPECT_EQ(store.GetText(GadgetSigHlim2), "360");
  EXPECT_EQ(store.GetText(GadgetE2), "120000");
  EXPECT_EQ(store.GetText(GadgetNu2), "0.26");
}

TEST_F(MaterialGlueTest, CustomRowAndNoSelectionLeaveTheFields) {
  store.SetText(GadgetSigHlim1, "999");
  store.SetState(GadgetMaterial1, CustomMaterialRow);
  ShowMaterialProperties(GadgetMaterial1, GadgetSigHlim1, GadgetSigFlim1, GadgetE1, GadgetNu1);
  EXPECT_EQ(store.GetText(GadgetSigHlim1), "999");
  store.SetState(GadgetMaterial1, -1);
  ShowMaterialProperties(GadgetMaterial1, GadgetSigHlim1, GadgetSigFlim1, GadgetE1, GadgetNu1);
  EXPECT_EQ(store.GetText(GadgetSigHlim1), "999");
}

TEST_F(MaterialGlueTest, TypedValueEqualToTheRowKeepsTheRow) {
  store.SetText(GadgetNu1, "0,30");
  ResetMaterialPresetIfEdited(GadgetMaterial1, GadgetSigHlim1, GadgetSigFlim1, GadgetE1, GadgetNu1);
  EXPECT_EQ(store.GetState(GadgetMaterial1), 3);
  store.SetText(GadgetE1, " 206000.0000001 ");  // within 1e-6
  ResetMaterialPresetIfEdited(GadgetMaterial1, GadgetSigHlim1, GadgetSigFlim1, GadgetE1, GadgetNu1);
  EXPECT_EQ(store.GetState(GadgetMaterial1), 3);
  store.SetText(GadgetNu1, "0,31");
  ResetMaterialPresetIfEdited(GadgetMaterial1, GadgetSigHlim1, GadgetSigFlim1, GadgetE1, GadgetNu1);
  EXPECT_EQ(store.GetState(GadgetMaterial1), CustomMaterialRow);
  // The fields keep what was typed.
  EXPECT_EQ(store.GetText(GadgetNu1), "0,31");
}

TEST_F(MaterialGlueTest, EditingWheelTwoSwitchesOnlyItsCombo) {
  store.SetText(GadgetSigHlim2, "800");
  ResetMaterialPresetIfEdited(GadgetMaterial2, GadgetSigHlim2, GadgetSigFlim2, GadgetE2, GadgetNu2);
  EXPECT_EQ(store.GetState(GadgetMaterial2), CustomMaterialRow);
  EXPECT_EQ(store.GetState(GadgetMaterial1), 3);
  // An empty field reads as 0, which differs from every preset.
  store.SetText(GadgetSigFlim1, "");
  ResetMaterialPresetIfEdited(GadgetMaterial1, GadgetSigHlim1, GadgetSigFlim1, GadgetE1, GadgetNu1);
  EXPECT_EQ(store.GetState(GadgetMaterial1), CustomMaterialRow);
}

TEST_F(MaterialGlueTest, ShaftFieldsAgainstTheirPreset) {
  store.SetText(GadgetShaftYield, "490");
  ResetShaftPresetIfEdited();
  EXPECT_EQ(store.GetState(GadgetShaftMaterial), 2);
  store.SetText(GadgetShaftYield, "500");
  ResetShaftPresetIfEdited();
  EXPECT_EQ(store.GetState(GadgetShaftMaterial), CustomShaftRow);

  store.SetState(GadgetShaftMaterial, 3);
  ShowShaftMaterialProperties();
  EXPECT_EQ(store.GetText(GadgetAllowableTorsion), "55");
  EXPECT_EQ(store.GetText(GadgetShaftYield), "750");
  store.SetText(GadgetAllowableTorsion, "55,0");
  ResetShaftPresetIfEdited();
  EXPECT_EQ(store.GetState(GadgetShaftMaterial), 3);
  // The custom row leaves the fields as typed.
  store.SetState(GadgetShaftMaterial, CustomShaftRow);
  store.SetText(GadgetShaftYield, "123");
  ShowShaftMaterialProperties();
  EXPECT_EQ(store.GetText(GadgetShaftYield), "123");
}

}  // namespace
}  // namespace kovrex
