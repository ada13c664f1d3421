// Every row of the event loop's dispatch reaches its action, on a program that has
// started headless: a user's edit or click, sent as the front end sends it, changes
// what that row says it changes (and a row bound to a tab does nothing on another).
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/app_state.h"
#include "app/control_store.h"
#include "app/controls.h"
#include "app/event_dispatch.h"
#include "app/services.h"
#include "support/test_support.h"
#include "capacity/strength_types.h"
#include "geometry/arrangement_state.h"
#include "geometry/gear_record.h"
#include "support/startup_fixture.h"

namespace kovrex {
namespace {

class DispatchActions : public test::StartedProgramTest {
 protected:
  void Change(int control) { DispatchControlEvent({control, EventKind::Change, 0, 0, 0}); }
  void Press(int control) { DispatchControlEvent({control, EventKind::Activate, 0, 0, 0}); }
  void Edit(int control, const std::string& text) {
    store.SetText(control, text);
    Change(control);
  }
  void Choose(int control, int64_t state) {
    store.SetState(control, state);
    Change(control);
  }
  void SelectTab(int tab) { Choose(GadgetTabPanel, tab); }
};

TEST_F(DispatchActions, StartUpShowsRowZeroOfThePairSearchUnmodified) {
  EXPECT_EQ(DisplayMode, 1);
  EXPECT_EQ(PairSelectedRow, 0);
  EXPECT_EQ(Gear1.toothCount, 200);
  EXPECT_EQ(Gear2.toothCount, 400);
  EXPECT_TRUE(Gear1.valid && Gear2.valid);
  EXPECT_EQ(ProjectModified, 0);
  EXPECT_EQ(store.GetWindowTitle(WindowMain), "Kovrex - new project   (ISO 53 / DIN 867 / DIN 3960)");
  EXPECT_NE(store.GetText(GadgetReport).find("GEAR PAIR"), std::string::npos);
}

TEST_F(DispatchActions, TabChangesComputeTheirArrangement) {
  DriveAngle = 1.0;
  SelectTab(1);
  EXPECT_EQ(DisplayMode, 2);
  EXPECT_EQ(DriveAngle, 0.0);
  EXPECT_EQ(ProjectModified, 1);
  EXPECT_EQ(Gear1.toothCount, 20);
  SelectTab(2);
  EXPECT_EQ(DisplayMode, 3);
  EXPECT_TRUE(Rack.valid);
  SelectTab(3);  // no internal row yet: the search runs and row 0 is applied
  EXPECT_EQ(DisplayMode, 4);
  EXPECT_EQ(InternalSelectedRow, 0);
  EXPECT_EQ(store.GetState(GadgetInternalResults), 0);
  SelectTab(0);
  EXPECT_EQ(DisplayMode, 1);
  EXPECT_EQ(Gear1.toothCount, 200);
}

TEST_F(DispatchActions, TabsWithoutASelectionShowNothing) {
  Edit(GadgetPairRatio, "2000");
  Press(GadgetPairSearch);  // finds nothing: the old pair must not stay shown
  EXPECT_EQ(PairSelectedRow, -1);
  EXPECT_EQ(DisplayMode, 0);
  EXPECT_EQ(store.GetText(GadgetReport), "");
  SelectTab(1);
  SelectTab(0);
  EXPECT_EQ(DisplayMode, 0);
  Edit(GadgetInternalRatio, "0.5");
  SelectTab(3);
  EXPECT_EQ(DisplayMode, 0);
  Press(GadgetInternalSearch);
  EXPECT_EQ(DisplayMode, 0);
}

// A tab whose own computation is rejected shows nothing, never the arrangement of
// the tab shown before; editing a field of the tab already shown keeps the last
// valid result.
TEST_F(DispatchActions, ATabWhoseInputsAreRejectedShowsNothingOfAnotherTab) {
  struct Case {
    const char* name;
    int tab;
    int field;
    const char* text;
  };
  const Case cases[] = {
      {"single b = 0", 1, GadgetSingleFaceWidth, "0"},
      {"single z = 2", 1, GadgetSingleTeeth, "2"},
      {"rack b = 0", 2, GadgetRackFaceWidth, "0"},
      {"pair b = 0", 0, GadgetPairFaceWidth, "0"},
      {"internal b = 0", 3, GadgetInternalFaceWidth, "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // The internal pair is on the screen, then the rejected tab is chosen.
    SelectTab(3);
    ASSERT_EQ(DisplayMode, 4);
    ASSERT_NE(store.GetText(GadgetReport), "");
    store.SetText(c.field, c.text);  // typed while another tab was shown
    if (c.tab == 3) SelectTab(0);
    const int redraws = services.redraws;
    SelectTab(c.tab);
    EXPECT_EQ(DisplayMode, 0);
    EXPECT_EQ(store.GetText(GadgetReport), "");
    EXPECT_GT(services.redraws, redraws);
    // A valid value brings the tab's own arrangement.
    Edit(c.field, c.tab == 1 && c.field == GadgetSingleTeeth ? "20" : "10");
    EXPECT_EQ(DisplayMode, c.tab == 0 ? 1 : c.tab == 1 ? 2 : c.tab == 2 ? 3 : 4);
    EXPECT_NE(store.GetText(GadgetReport), "");
  }
  // On the tab already shown a rejected edit keeps the last valid result.
  SelectTab(1);
  const std::string report = store.GetText(GadgetReport);
  Edit(GadgetSingleFaceWidth, "0");
  EXPECT_EQ(DisplayMode, 2);
  EXPECT_EQ(store.GetText(GadgetReport), report);
}

TEST_F(DispatchActions, PairTabFields) {
  struct Row {
    int control;
    const char* text;
    std::function<bool()> took;
  };
  const Row rows[] = {
      {GadgetPairX1, "0.2", [] { return Gear1.profileShift == 0.2; }},
      {GadgetPairFaceWidth, "14", [] { return Gear1.faceWidth == 14 && Gear2.faceWidth == 14; }},
      {GadgetPairBacklash, "0.1", [] { return Gear1.thicknessAllowance > 0.05; }},
      {GadgetPairBore1, "6", [] { return Gear1.boreDiameter == 6; }},
      {GadgetPairBore2, "10", [] { return Gear2.boreDiameter == 10; }},
  };
  for (const Row& r : rows) {
    Edit(r.control, r.text);
    EXPECT_TRUE(r.took()) << r.control;
  }
  Choose(GadgetPairHand, 1);
  EXPECT_EQ(Gear1.hand, -1);
  EXPECT_EQ(Gear2.hand, 1);
  // On another tab the same edit waits.
  SelectTab(1);
  Edit(GadgetPairFaceWidth, "16");
  EXPECT_NE(Gear1.faceWidth, 16);
}

TEST_F(DispatchActions, PairSearchAndResultList) {
  Edit(GadgetPairCentreDistance, "50");
  ProjectModified = 0;
  Press(GadgetPairSearch);
  EXPECT_EQ(PairCentreDistance, 50);
  EXPECT_EQ(PairSelectedRow, 0);
  EXPECT_EQ(ProjectModified, 0);  // the pair search button does not mark
  Choose(GadgetPairResults, 3);
  EXPECT_EQ(PairSelectedRow, 3);
  EXPECT_EQ(Gear1.toothCount, PairResultList[3].teeth1);
  EXPECT_EQ(ProjectModified, 1);
  store.SetState(GadgetPairResults, 4);
  DispatchControlEvent({GadgetPairResults, EventKind::LeftClick, 0, 0, 0});
  EXPECT_EQ(PairSelectedRow, 4);
}

TEST_F(DispatchActions, SingleAndRackTabFields) {
  SelectTab(1);
  const std::pair<int, const char*> single[] = {
      {GadgetSingleModule, "3"}, {GadgetSingleTeeth, "25"},      {GadgetSinglePressureAngle, "22"},
      {GadgetSingleHelixAngle, "10"}, {GadgetSingleProfileShift, "0.1"}, {GadgetSingleFaceWidth, "12"},
      {GadgetSingleThicknessAllowance, "0.05"}, {GadgetSingleBore, "10"},
  };
  for (auto [c, t] : single) Edit(c, t);
  EXPECT_EQ(Gear1.normalModule, 3);
  EXPECT_EQ(Gear1.toothCount, 25);
  EXPECT_NEAR(Gear1.pressureAngle, 22 * kDegToRad, 1e-15);
  EXPECT_NEAR(Gear1.helixAngle, 10 * kDegToRad, 1e-15);
  EXPECT_EQ(Gear1.profileShift, 0.1);
  EXPECT_EQ(Gear1.faceWidth, 12);
  EXPECT_EQ(Gear1.thicknessAllowance, 0.05);
  EXPECT_EQ(Gear1.boreDiameter, 10);
  Choose(GadgetSingleHand, 1);
  EXPECT_EQ(Gear1.hand, -1);

  SelectTab(2);
  const std::pair<int, const char*> rack[] = {
      {GadgetRackModule, "1.5"}, {GadgetRackPinionTeeth, "18"}, {GadgetRackTeeth, "9"}, {GadgetRackHeight, "12"},
      {GadgetRackProfileShift, "0.2"}, {GadgetRackPressureAngle, "20"}, {GadgetRackHelixAngle, "5"},
      {GadgetRackFaceWidth, "15"}, {GadgetRackPinionBore, "6"}, {GadgetRackBacklash, "0.05"},
  };
  for (auto [c, t] : rack) Edit(c, t);
  EXPECT_EQ(Gear1.toothCount, 18);
  EXPECT_EQ(Rack.toothCount, 9);
  EXPECT_EQ(Rack.rackHeight, 12);
  EXPECT_EQ(Gear1.profileShift, 0.2);
  EXPECT_EQ(Rack.faceWidth, 15);
  EXPECT_EQ(Gear1.boreDiameter, 6);
  EXPECT_GT(Rack.thicknessAllowance, 0.0);
  Choose(GadgetRackHand, 1);
  EXPECT_EQ(Gear1.hand, -1);
  EXPECT_EQ(Rack.hand, -1);
}

TEST_F(DispatchActions, InternalTabFields) {
  SelectTab(3);
  ASSERT_EQ(DisplayMode, 4);
  Edit(GadgetInternalX1, "0.1");
  EXPECT_EQ(Gear1.profileShift, 0.1);
  Edit(GadgetInternalFaceWidth, "8");
  EXPECT_EQ(RingGear.faceWidth, 8);
  Edit(GadgetInternalBacklash, "0.05");
  EXPECT_GT(RingGear.thicknessAllowance, 0.0);
  Edit(GadgetInternalPinionBore, "5");
  EXPECT_EQ(Gear1.boreDiameter, 5);
  Edit(GadgetInternalRingRim, "7");
  EXPECT_EQ(RingGear.rimWidth, 7);
  Choose(GadgetInternalHand, 1);
  EXPECT_EQ(RingGear.hand, -1);
  store.SetText(GadgetInternalX1, "0.15");  // typed without an event: the box recomputes
  store.SetState(GadgetInternalShortenTip, 0);
  Press(GadgetInternalShortenTip);
  EXPECT_EQ(Gear1.profileShift, 0.15);
  EXPECT_EQ(RingGear.tipShortening, 0.0);

  Edit(GadgetInternalCentreDistance, "41");
  ProjectModified = 0;
  Press(GadgetInternalSearch);
  EXPECT_EQ(InternalCentreDistance, 41);
  EXPECT_EQ(ProjectModified, 1);  // unlike the pair search button
  Choose(GadgetInternalResults, 1);
  EXPECT_EQ(InternalSelectedRow, 1);
}

TEST_F(DispatchActions, CommonControlsAndMenus) {
  store.SetState(GadgetRotate, 1);
  Press(GadgetRotate);
  EXPECT_EQ(services.timersStarted.size(), 1u);
  int redraws = services.redraws;
  Press(GadgetLineOfAction);
  EXPECT_GT(services.redraws, redraws);

  int popups = 0, abouts = 0;
  Svc().showHelpPopupMenu = [&] { ++popups; };
  Svc().showAboutWindow = [&] { ++abouts; };
  Press(GadgetToolHelp);
  DispatchMenuEvent(MenuItem::About);
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(abouts, 1);

  ProjectModified = 0;  // so that opening does not first ask to save
  Press(GadgetToolOpen);
  Press(GadgetToolSave);  // a new project: the save requester asks for a name
  Press(GadgetToolSaveAs);
  DispatchMenuEvent(MenuItem::OpenProject);
  DispatchMenuEvent(MenuItem::SaveProject);
  EXPECT_EQ(services.requesterTitles,
            (std::vector<std::string>{"Open project", "Save project", "Save project", "Open project", "Save project"}));
  DispatchMenuEvent(MenuItem::Help);  // no guide in a test: the warning, never a crash
}

TEST_F(DispatchActions, StrengthWindowControls) {
  Choose(GadgetKeyway1, 1);  // a DIN key in gear 1, so that the key inputs count
  Press(GadgetStrengthButton);
  EXPECT_EQ(StrengthWindowOpen, 1);
  EXPECT_TRUE(store.IsWindowVisible(WindowStrength));
  ASSERT_FALSE(StrengthReportText.empty());
  const std::string first = StrengthReportText;

  // Each input row runs the strength calculation again.
  const std::pair<int, const char*> fields[] = {
      {GadgetLoadValue, "6"},  {GadgetSpeedN1, "1400"}, {GadgetApplicationFactor, "1,5"}, {GadgetLifeHours, "9000"},
      {GadgetMinSafetyH, "1,1"}, {GadgetMinSafetyF, "1,5"}, {GadgetKeyLength, "8"},
  };
  for (auto [c, t] : fields) {
    std::string before = StrengthReportText;
    Edit(c, t);
    EXPECT_NE(StrengthReportText, before) << c;
  }
  for (int combo : {GadgetAccuracyClass, GadgetFlankFinish, GadgetLubrication, GadgetKeyCount}) {
    std::string before = StrengthReportText;
    Choose(combo, 1);
    EXPECT_NE(StrengthReportText, before) << combo;
  }
  Choose(GadgetLoadKind, 1);
  EXPECT_EQ(store.GetText(GadgetLoadLabel), "Torque T1 [Nm]");

  Choose(GadgetMaterial1, 7);
  EXPECT_EQ(store.GetText(GadgetSigHlim1), "1500");
  Choose(GadgetMaterial2, 9);
  EXPECT_EQ(store.GetText(GadgetE2), "170000");
  Edit(GadgetSigFlim1, "451");
  EXPECT_EQ(store.GetState(GadgetMaterial1), 12);
  Edit(GadgetNu2, "0,31");
  EXPECT_EQ(store.GetState(GadgetMaterial2), 12);

  Choose(GadgetShaftMaterial, 4);
  EXPECT_EQ(store.GetText(GadgetAllowableTorsion), "65");
  EXPECT_EQ(store.GetText(GadgetShaftYield), "900");
  Edit(GadgetShaftYield, "901");
  EXPECT_EQ(store.GetState(GadgetShaftMaterial), 5);
  Edit(GadgetAllowableTorsion, "60");

  Press(GadgetCopyReport);
  EXPECT_EQ(services.clipboard, StrengthReportText);
  EXPECT_NE(StrengthReportText, first);
  Press(GadgetStrengthClose);
  EXPECT_EQ(StrengthWindowOpen, 0);
  EXPECT_FALSE(store.IsWindowVisible(WindowStrength));
}

TEST_F(DispatchActions, HubWindowRecomputesTheActiveTab) {
  Press(GadgetHubKeywayButton);
  EXPECT_TRUE(store.IsWindowVisible(WindowHubKeyway));
  Choose(GadgetKeyway1, 1);  // DIN key in the 8 mm bore of gear 1
  EXPECT_EQ(Gear1.keyIsDin, 1);
  EXPECT_EQ(Gear1.keywayWidth, 2);
  Choose(GadgetKeyway2, 1);  // 12 mm bore of gear 2
  EXPECT_EQ(Gear2.keywayWidth, 4);
  Choose(GadgetKeyway2, 2);
  Edit(GadgetKeyWidth2, "3");
  Edit(GadgetKeyDepth2, "1.5");
  EXPECT_EQ(Gear2.keywayWidth, 3);
  EXPECT_EQ(Gear2.keywayDepth, 1.5);
  Edit(GadgetKeyWidth1, "9");  // ignored in DIN mode, but still recomputes
  EXPECT_EQ(Gear1.keywayWidth, 2);
  Edit(GadgetKeyDepth1, "1");
  Choose(GadgetHub1, 3);
  Edit(GadgetHubDiameter1, "20");
  Edit(GadgetHubLength1, "5");
  EXPECT_EQ(Gear1.hubSide, 3);
  EXPECT_EQ(Gear1.hubLength, 5);
  Choose(GadgetHub2, 1);
  Edit(GadgetHubDiameter2, "22");
  Edit(GadgetHubLength2, "6");
  EXPECT_EQ(Gear2.hubSide, 1);
  EXPECT_EQ(Gear2.hubDiameter, 22);
  Press(GadgetHubClose);
  EXPECT_FALSE(store.IsWindowVisible(WindowHubKeyway));
}

// Custom keyway 3 x 1e-306 on gear 1 of the start-up pair: the key check has no
// required length. Window, status and clipboard say "-", never "Infinity".
TEST_F(DispatchActions, KeyCheckWithoutAFiniteLengthPrintsNoInfinity) {
  Press(GadgetHubKeywayButton);
  Choose(GadgetKeyway1, 2);
  Edit(GadgetKeyWidth1, "3");
  Edit(GadgetKeyDepth1, "1e-306");
  ASSERT_EQ(Gear1.keywayDepth, 1e-306);
  Press(GadgetStrengthButton);
  Press(GadgetCopyReport);
  const std::string texts[] = {StrengthReportText, services.clipboard, store.GetText(GadgetStrengthReport),
                               store.GetText(GadgetStrengthStatus)};
  EXPECT_NE(StrengthReportText.find("  gear 1: key overloaded: larger shaft, longer hub (key - mm needed) or spline\n"),
            std::string::npos)
      << StrengthReportText;
  EXPECT_EQ(services.clipboard, StrengthReportText);
  for (const std::string& text : texts) {
    for (const char* bad : {"Infinity", "inf", "nan", "NaN"}) EXPECT_EQ(text.find(bad), std::string::npos) << text;
  }
}

TEST_F(DispatchActions, EachRowFitsOrKeepsTheViewAsItsTableSays) {
  // Fit view: the arrangement's own computation refits. Keep view: the zoom and pan
  // the user set stay, although the arrangement is recomputed and redrawn.
  struct Row {
    int tab;
    int control;
    const char* text;  // typed into the field; nullptr: state 1 chosen (or box pressed)
    bool fits;
  };
  const Row rows[] = {
      {0, GadgetPairHand, nullptr, false},       {0, GadgetPairX1, "0.1", false},
      {0, GadgetPairFaceWidth, "12", false},     {0, GadgetPairBacklash, "0.05", false},
      {0, GadgetPairBore1, "6", false},          {0, GadgetPairBore2, "10", false},
      {0, GadgetPairResults, nullptr, true},     {0, GadgetHubLength1, "12", false},
      {1, GadgetSingleModule, "3", true},        {1, GadgetSingleTeeth, "25", true},
      {1, GadgetSinglePressureAngle, "22", true}, {1, GadgetSingleHelixAngle, "10", true},
      {1, GadgetSingleHand, nullptr, true},      {1, GadgetSingleProfileShift, "0.1", false},
      {1, GadgetSingleFaceWidth, "12", false},   {1, GadgetSingleThicknessAllowance, "0.05", false},
      {1, GadgetSingleBore, "10", false},        {1, GadgetHubLength1, "14", false},
      {2, GadgetRackModule, "1.5", true},        {2, GadgetRackPinionTeeth, "18", true},
      {2, GadgetRackTeeth, "9", true},           {2, GadgetRackHeight, "12", true},
      {2, GadgetRackProfileShift, "0.2", false}, {2, GadgetRackPressureAngle, "21", false},
      {2, GadgetRackHelixAngle, "5", false},     {2, GadgetRackHand, nullptr, false},
      {2, GadgetRackFaceWidth, "15", false},     {2, GadgetRackPinionBore, "6", false},
      {2, GadgetRackBacklash, "0.05", false},    {3, GadgetInternalHand, nullptr, false},
      {3, GadgetInternalX1, "0.1", false},       {3, GadgetInternalFaceWidth, "8", false},
      {3, GadgetInternalBacklash, "0.05", false}, {3, GadgetInternalPinionBore, "5", false},
      {3, GadgetInternalRingRim, "7", false},    {3, GadgetInternalShortenTip, nullptr, false},
      {3, GadgetInternalResults, nullptr, true}, {3, GadgetHubLength1, "16", false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE("tab " + std::to_string(r.tab) + ", control " + std::to_string(r.control));
    if (store.GetState(GadgetTabPanel) != r.tab) {
      ZoomPxPerMm = 123.0;
      SelectTab(r.tab);
      EXPECT_NE(ZoomPxPerMm, 123.0) << "a tab change fits the view";
    }
    ZoomPxPerMm = 123.0;
    PanX = 777.0;
    const int redraws = services.redraws;
    if (r.text != nullptr) {
      Edit(r.control, r.text);
    } else if (r.control == GadgetInternalShortenTip) {
      Press(r.control);
    } else {
      Choose(r.control, 1);
    }
    EXPECT_GT(services.redraws, redraws) << "recomputed and redrawn";
    EXPECT_EQ(ZoomPxPerMm != 123.0 && PanX != 777.0, r.fits);
    EXPECT_EQ(ZoomPxPerMm == 123.0 && PanX == 777.0, !r.fits);
  }
}

TEST_F(DispatchActions, CanvasDoubleClickFitsTheView) {
  ZoomPxPerMm = 0.5;
  PanX = 100;
  DispatchControlEvent({GadgetCanvas, EventKind::LeftDouble, 10, 10, 0});
  EXPECT_NE(ZoomPxPerMm, 0.5);
  EXPECT_NEAR(PanX, PairCentreDistance / 2 + (Gear2.tipRadius - Gear1.tipRadius) / 2, 1e-9);
}

}  // namespace
}  // namespace kovrex
