// Control layer, text sets and the title rule.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/app_state.h"
#include "app/controls.h"
#include "app/gadget_input.h"
#include "app/window_title.h"
#include "support/test_support.h"
#include "text/texts.h"

namespace kovrex {
namespace {

using test::KovrexTest;

TEST(TextSets, EveryIdentifierHasATextInBothLanguages) {
  std::set<std::string> names;
  for (int i = 0; i < static_cast<int>(TextId::Count); ++i) {
    TextId id = static_cast<TextId>(i);
    names.insert(TextIdName(id));
    SetTextLanguageForTest(true);
    EXPECT_STRNE(Tx(id), "") << TextIdName(id) << " (nl)";
    SetTextLanguageForTest(false);
    EXPECT_STRNE(Tx(id), "") << TextIdName(id) << " (en)";
  }
  EXPECT_EQ(names.size(), static_cast<size_t>(TextId::Count));
}

TEST(Controls, TableNumbersAndKinds) {
  for (int n = 0; n < kGadgetCount; ++n) {
    const ControlInfo& c = ControlInfoOf(n);
    EXPECT_EQ(c.number, n);
    EXPECT_EQ(c.kind == ControlKind::None, n == 120) << n;
  }
  EXPECT_EQ(ControlKindOf(GadgetCanvas), ControlKind::DrawingArea);
  EXPECT_EQ(ControlInfoOf(GadgetHubLength2).window, WindowHubKeyway);
  EXPECT_EQ(ControlInfoOf(GadgetKeyLength).window, WindowStrength);
  EXPECT_EQ(ControlInfoOf(GadgetHubKeywayButton).window, WindowMain);
  EXPECT_EQ(ControlKindOf(-1), ControlKind::None);
  EXPECT_EQ(ControlKindOf(127), ControlKind::None);
}

class InputTest : public KovrexTest {};

TEST_F(InputTest, GetGadgetNumberReadsTheFieldText) {
  store.SetText(GadgetPairCentreDistance, " 2,5 ");
  EXPECT_DOUBLE_EQ(GetGadgetNumber(GadgetPairCentreDistance), 2.5);
  store.SetText(GadgetPairCentreDistance, "abc");
  EXPECT_DOUBLE_EQ(GetGadgetNumber(GadgetPairCentreDistance), 0.0);
  store.SetText(GadgetSingleTeeth, "20");
  EXPECT_EQ(GetGadgetWholeNumber(GadgetSingleTeeth), 20);
}

TEST_F(InputTest, SignFromHandOption) {
  store.SetState(GadgetPairHand, 0);
  EXPECT_EQ(GetSignFromOption(GadgetPairHand), 1);
  store.SetState(GadgetPairHand, 1);
  EXPECT_EQ(GetSignFromOption(GadgetPairHand), -1);
  store.SetState(GadgetPairHand, -1);
  EXPECT_EQ(GetSignFromOption(GadgetPairHand), 1);
}

// A store that counts writes, to see that an unchanged text is not touched.
class CountingStore : public MemoryControlStore {
 public:
  void SetText(int control, const std::string& text) override {
    ++writes;
    MemoryControlStore::SetText(control, text);
  }
  int writes = 0;
};

TEST(SetGadgetTextIfChanged, WritesOnlyADifferentText) {
  CountingStore s;
  SetActiveControlStore(&s);
  SetGadgetTextIfChanged(GadgetKeyWidth1, "6");
  SetGadgetTextIfChanged(GadgetKeyWidth1, "6");
  EXPECT_EQ(s.writes, 1);
  SetGadgetTextIfChanged(GadgetKeyWidth1, "6.0");
  EXPECT_EQ(s.writes, 2);
  SetActiveControlStore(nullptr);
}

class TitleTest : public KovrexTest {};

TEST_F(TitleTest, TitleRule) {
  EXPECT_EQ(BuildWindowTitle(), "Kovrex - new project   (ISO 53 / DIN 867 / DIN 3960)");
  SetTextLanguageForTest(true);
  EXPECT_EQ(BuildWindowTitle(), "Kovrex - nieuw project   (ISO 53 / DIN 867 / DIN 3960)");
  ProjectPath = "/home/a b/v1.2/gears.tdw";
  ProjectModified = 1;
  EXPECT_EQ(BuildWindowTitle(), "Kovrex - gears.tdw *   (ISO 53 / DIN 867 / DIN 3960)");
}

TEST_F(TitleTest, MarkProjectModifiedRebuildsTheTitleOnce) {
  store.SetWindowTitle(WindowMain, "old");
  MarkProjectModified();
  EXPECT_EQ(store.GetWindowTitle(WindowMain), "Kovrex - new project *   (ISO 53 / DIN 867 / DIN 3960)");
  store.SetWindowTitle(WindowMain, "untouched");
  MarkProjectModified();
  EXPECT_EQ(store.GetWindowTitle(WindowMain), "untouched");
}

TEST_F(TitleTest, ResetAllStateRestoresStartValues) {
  ZoomPxPerMm = 7;
  ProjectModified = 1;
  DriveAngle = 2;
  ResetAllState();
  EXPECT_EQ(ZoomPxPerMm, 1.0);
  EXPECT_EQ(ProjectModified, 0);
  EXPECT_EQ(DriveAngle, 0.0);
  EXPECT_EQ(CanvasPixelScale, 1.0);
}

}  // namespace
}  // namespace kovrex
