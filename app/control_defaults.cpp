// Tables of the controls' start values, and the loop that writes them.
#include "app/control_defaults.h"

#include <cstdint>
#include <string>
#include <vector>

#include "app/controls.h"
#include "capacity/strength_types.h"
#include "geometry/arrangement_state.h"
#include "numbers/number_text.h"
#include "text/texts.h"

namespace kovrex {
namespace {

// Numbers as the user would type them; the same in both builds (a decimal comma
// in "0,01" is deliberate: it shows that a comma is accepted).
struct TextDefault {
  int control;
  const char* text;
};

// Texts that differ between the builds.
struct WordedDefault {
  int control;
  TextId text;
};

struct StateDefault {
  int control;
  int64_t state;
};

struct ComboDefault {
  int control;
  std::vector<TextId> entries;
  int64_t selected;
};

const TextDefault kMainTexts[] = {
    {GadgetPairCentreDistance, "60"},     {GadgetPairRatio, "2"},
    {GadgetPairPressureAngle, "20"},      {GadgetPairHelixAngle, "0"},
    {GadgetPairTolerance, "2"},           {GadgetPairSumXMin, "-0.5"},
    {GadgetPairSumXMax, "1.0"},           {GadgetPairZMin, "12"},
    {GadgetPairX1, "0"},                  {GadgetPairFaceWidth, "10"},
    {GadgetPairBacklash, "0"},            {GadgetPairBore1, "8"},
    {GadgetPairBore2, "12"},              {GadgetSingleTeeth, "20"},
    {GadgetSingleProfileShift, "0"},      {GadgetSinglePressureAngle, "20"},
    {GadgetSingleHelixAngle, "0"},        {GadgetSingleFaceWidth, "10"},
    {GadgetSingleThicknessAllowance, "0"}, {GadgetSingleBore, "8"},
    {GadgetRackPinionTeeth, "20"},        {GadgetRackProfileShift, "0"},
    {GadgetRackPressureAngle, "20"},      {GadgetRackHelixAngle, "0"},
    {GadgetRackFaceWidth, "20"},          {GadgetRackPinionBore, "8"},
    {GadgetRackBacklash, "0"},            {GadgetRackTeeth, "20"},
    {GadgetRackHeight, "15"},             {GadgetStlTolerance, "0,01"},
    {GadgetReport, ""},                   {GadgetInternalCentreDistance, "40"},
    {GadgetInternalRatio, "3"},           {GadgetInternalPressureAngle, "20"},
    {GadgetInternalHelixAngle, "0"},      {GadgetInternalTolerance, "2"},
    {GadgetInternalDeltaXMin, "-0.5"},    {GadgetInternalDeltaXMax, "1.0"},
    {GadgetInternalZ1Min, "12"},          {GadgetInternalToothDiffMin, "8"},
    {GadgetInternalX1, "0"},              {GadgetInternalFaceWidth, "10"},
    {GadgetInternalBacklash, "0"},        {GadgetInternalPinionBore, "6"},
    {GadgetInternalRingRim, "6"},
};

const WordedDefault kMainWorded[] = {
    {GadgetPairX2Text, TextId::WinMainX2Text},
    {GadgetInternalX2Text, TextId::WinMainX2Text},
};

const StateDefault kMainStates[] = {
    {GadgetTabPanel, 0},       {GadgetPairSearchBeta, 0},     {GadgetPairSeries2, 0},
    {GadgetRotate, 0},         {GadgetSpeed, 4},              {GadgetLineOfAction, 1},
    {GadgetInternalSearchBeta, 0}, {GadgetInternalSeries2, 0}, {GadgetInternalShortenTip, 1},
};

const std::vector<TextId> kHands = {TextId::HandRight, TextId::HandLeft};

const ComboDefault kMainCombos[] = {
    {GadgetPairHand, kHands, 0},
    {GadgetSingleHand, kHands, 0},
    {GadgetRackHand, kHands, 0},
    {GadgetInternalHand, kHands, 0},
    {GadgetExportChoice, {TextId::WinMainExportBoth, TextId::WinMainExportGear1, TextId::WinMainExportGear2}, 0},
};

const int kModuleCombos[] = {GadgetSingleModule, GadgetRackModule};
const int kListViews[] = {GadgetPairResults, GadgetInternalResults};

const TextDefault kStrengthTexts[] = {
    {GadgetLoadValue, "5"},       {GadgetSpeedN1, "1500"},      {GadgetLifeHours, "20000"},
    {GadgetMinSafetyH, "1,0"},    {GadgetMinSafetyF, "1,4"},    {GadgetAllowableTorsion, "40"},
    {GadgetShaftYield, "490"},    {GadgetKeyLength, ""},        {GadgetStrengthStatus, ""},
    {GadgetStrengthReport, ""},
};

const WordedDefault kStrengthWorded[] = {
    {GadgetLoadLabel, TextId::WinStrengthPowerLabel},
    {GadgetShaftLabel, TextId::WinStrengthShaftHeading},
    {GadgetMaterial1Label, TextId::WinStrengthGear1Heading},
    {GadgetMaterial2Label, TextId::WinStrengthGear2Heading},
};

const ComboDefault kStrengthCombos[] = {
    {GadgetLoadKind, {TextId::WinStrengthLoadPowerSpeed, TextId::WinStrengthLoadTorqueSpeed}, 0},
    {GadgetFlankFinish, {TextId::WinStrengthHobbed, TextId::WinStrengthGround}, 0},
    {GadgetLubrication, {TextId::WinStrengthOil, TextId::WinStrengthGrease, TextId::WinStrengthDry}, 0},
    {GadgetKeyCount, {TextId::WinStrengthOneKey, TextId::WinStrengthTwoKeys}, 0},
};

const std::vector<TextId> kApplicationFactors = {TextId::WinStrengthKaUniform, TextId::WinStrengthKaLight,
                                                 TextId::WinStrengthKaModerate, TextId::WinStrengthKaHeavy,
                                                 TextId::WinStrengthKaVeryHeavy};
constexpr int kApplicationFactorDefault = 1;  // "1,25 lichte stoten"
constexpr int kFirstAccuracyGrade = 5;
constexpr int kAccuracyGradeCount = 6;
constexpr int kAccuracyDefault = 2;  // grade 7
constexpr int kGearMaterialDefault = 3;
constexpr int kShaftMaterialDefault = 2;

const TextDefault kHubTexts[] = {
    {GadgetKeyWidth1, ""},    {GadgetKeyDepth1, ""}, {GadgetHubDiameter1, ""}, {GadgetHubLength1, "10"},
    {GadgetKeyWidth2, ""},    {GadgetKeyDepth2, ""}, {GadgetHubDiameter2, ""}, {GadgetHubLength2, "10"},
};

const WordedDefault kHubWorded[] = {
    {GadgetHubLabel1, TextId::WinHubGear1Heading},
    {GadgetHubLabel2, TextId::WinHubGear2Heading},
};

const std::vector<TextId> kKeyways = {TextId::WinHubKeywayNone, TextId::WinHubKeywayStandard,
                                      TextId::WinHubKeywayCustom};
const std::vector<TextId> kHubs = {TextId::WinHubHubNone, TextId::WinHubHubLeft, TextId::WinHubHubRight,
                                   TextId::WinHubHubBoth};
const ComboDefault kHubCombos[] = {
    {GadgetKeyway1, kKeyways, 0},
    {GadgetHub1, kHubs, 0},
    {GadgetKeyway2, kKeyways, 0},
    {GadgetHub2, kHubs, 0},
};

template <size_t N>
void PutTexts(ControlStore& store, const TextDefault (&table)[N]) {
  for (const TextDefault& d : table) store.SetText(d.control, d.text);
}

template <size_t N>
void PutWorded(ControlStore& store, const WordedDefault (&table)[N]) {
  for (const WordedDefault& d : table) store.SetText(d.control, Tx(d.text));
}

template <size_t N>
void PutCombos(ControlStore& store, const ComboDefault (&table)[N]) {
  for (const ComboDefault& d : table) {
    store.ClearItems(d.control);
    for (TextId entry : d.entries) store.AddItem(d.control, Tx(entry));
    store.SetState(d.control, d.selected);
  }
}

// The four fields of a wheel show the selected row; the custom row (and a table
// that has not been filled yet) leaves them as they are.
void ShowSelectedGearMaterial(ControlStore& store, int combo, int sigmaH, int sigmaF, int modulus, int poisson) {
  int64_t row = store.GetState(combo);
  if (row < 0 || row >= CustomMaterialRow) return;
  const GearMaterial& m = GearMaterialTable[row];
  if (m.name.empty()) return;
  store.SetText(sigmaH, FormatFixed(0, m.sigmaHlim));
  store.SetText(sigmaF, FormatFixed(0, m.sigmaFlim));
  store.SetText(modulus, FormatFixed(0, m.elasticModulus));
  store.SetText(poisson, FormatFixed(2, m.poissonRatio));
}

}  // namespace

void PopulateMainWindowControls(ControlStore& store) {
  store.SetWindowTitle(WindowMain, Tx(TextId::MainWindowInitialTitle));
  PutTexts(store, kMainTexts);
  PutWorded(store, kMainWorded);
  PutCombos(store, kMainCombos);
  for (int combo : kModuleCombos) {
    store.ClearItems(combo);
    for (int i = 0; ModuleSeries[0][i] > 0; ++i) store.AddItem(combo, FormatNumberTrimmed(ModuleSeries[0][i]));
    store.SetText(combo, "2");
  }
  for (int list : kListViews) store.ClearItems(list);
  for (const StateDefault& d : kMainStates) store.SetState(d.control, d.state);
}

void PopulateStrengthWindowControls(ControlStore& store) {
  store.SetWindowTitle(WindowStrength, Tx(TextId::WinStrengthTitle));
  PutTexts(store, kStrengthTexts);
  PutWorded(store, kStrengthWorded);
  PutCombos(store, kStrengthCombos);

  store.ClearItems(GadgetApplicationFactor);
  for (TextId entry : kApplicationFactors) store.AddItem(GadgetApplicationFactor, Tx(entry));
  store.SetText(GadgetApplicationFactor, Tx(kApplicationFactors[kApplicationFactorDefault]));

  store.ClearItems(GadgetAccuracyClass);
  for (int i = 0; i < kAccuracyGradeCount; ++i)
    store.AddItem(GadgetAccuracyClass, std::string(Tx(TextId::WinStrengthGradePrefix)) +
                                           FormatFixed(0, kFirstAccuracyGrade + i));
  store.SetState(GadgetAccuracyClass, kAccuracyDefault);

  store.ClearItems(GadgetShaftMaterial);
  for (const ShaftMaterial& m : ShaftMaterialTable)
    store.AddItem(GadgetShaftMaterial, std::string(Tx(TextId::WinStrengthShaftPrefix)) + m.name);
  store.SetState(GadgetShaftMaterial, kShaftMaterialDefault);

  for (int combo : {GadgetMaterial1, GadgetMaterial2}) {
    store.ClearItems(combo);
    for (const GearMaterial& m : GearMaterialTable) store.AddItem(combo, m.name);
    store.SetState(combo, kGearMaterialDefault);
  }
  ShowSelectedGearMaterial(store, GadgetMaterial1, GadgetSigHlim1, GadgetSigFlim1, GadgetE1, GadgetNu1);
  ShowSelectedGearMaterial(store, GadgetMaterial2, GadgetSigHlim2, GadgetSigFlim2, GadgetE2, GadgetNu2);
}

void PopulateHubWindowControls(ControlStore& store) {
  store.SetWindowTitle(WindowHubKeyway, Tx(TextId::WinHubTitle));
  PutTexts(store, kHubTexts);
  PutWorded(store, kHubWorded);
  PutCombos(store, kHubCombos);
}

}  // namespace kovrex
