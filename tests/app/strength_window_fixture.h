// A test fixture with the strength window as start-up leaves it: the material
// tables filled and every control of window 1 at its default (English texts).
#pragma once

#include <string>

#include "app/controls.h"
#include "capacity/materials.h"
#include "capacity/strength_types.h"
#include "support/test_support.h"

namespace kovrex::test {

class StrengthWindowTest : public KovrexTest {
 protected:
  void SetUp() override {
    KovrexTest::SetUp();
    InitMaterialTable();
    InitShaftMaterialTable();
    FillCombo(GadgetLoadKind, {"Load: power + speed", "Load: torque + speed"}, 0);
    store.SetText(GadgetLoadLabel, "Power P [kW]");
    store.SetText(GadgetLoadValue, "5");
    store.SetText(GadgetSpeedN1, "1500");
    FillCombo(GadgetApplicationFactor,
              {"1.00 uniform", "1.25 light shocks", "1.50 moderate shocks", "1.75 heavy shocks",
               "2.00 very heavy shocks"},
              1);
    store.SetText(GadgetLifeHours, "20000");
    FillCombo(GadgetAccuracyClass, {"grade 5", "grade 6", "grade 7", "grade 8", "grade 9", "grade 10"}, 2);
    FillCombo(GadgetFlankFinish, {"hobbed / shaped", "ground"}, 0);
    FillCombo(GadgetLubrication, {"oil", "grease", "dry (indicative)"}, 0);
    store.SetText(GadgetMinSafetyH, "1,0");
    store.SetText(GadgetMinSafetyF, "1,4");
    store.ClearItems(GadgetShaftMaterial);
    for (const ShaftMaterial& m : ShaftMaterialTable) store.AddItem(GadgetShaftMaterial, "As: " + m.name);
    store.SetState(GadgetShaftMaterial, 2);
    store.SetText(GadgetAllowableTorsion, "40");
    store.SetText(GadgetShaftYield, "490");
    FillCombo(GadgetKeyCount, {"1 key", "2 keys"}, 0);
    store.SetText(GadgetKeyLength, "");
    const int combos[2] = {GadgetMaterial1, GadgetMaterial2};
    for (int combo : combos) {
      store.ClearItems(combo);
      for (const GearMaterial& m : GearMaterialTable) store.AddItem(combo, m.name);
      store.SetState(combo, 3);
      // Row 3 (42CrMo4 quenched and tempered) as the material fields show it.
      store.SetText(combo + 1, "750");
      store.SetText(combo + 2, "300");
      store.SetText(combo + 3, "206000");
      store.SetText(combo + 4, "0.30");
    }
  }

  void FillCombo(int combo, std::initializer_list<const char*> items, int selected) {
    store.ClearItems(combo);
    for (const char* item : items) store.AddItem(combo, item);
    store.SetState(combo, selected);
  }
};

}  // namespace kovrex::test
