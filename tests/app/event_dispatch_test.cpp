// The event loop's rules driven exactly as a user's action would reach them: the
// modified rule, the load conversion, the canvas mouse rules, the timer and the
// window closes.
#include <gtest/gtest.h>

#include <cmath>

#include "app/app_state.h"
#include "app/control_store.h"
#include "app/controls.h"
#include "app/event_dispatch.h"
#include "app/project_bindings.h"
#include "app/window_title.h"
#include "geometry/arrangement_state.h"
#include "support/test_support.h"

namespace kovrex {
namespace {

class DispatchTest : public test::KovrexTest {
 protected:
  void SetUp() override {
    KovrexTest::SetUp();
    RegisterProjectBindings();
    store.SetSize(GadgetCanvas, 800, 600);
    store.SetState(GadgetSpeed, 4);
    store.SetState(GadgetLoadKind, 0);
    store.SetText(GadgetLoadLabel, "Power P [kW]");
    store.SetText(GadgetLoadValue, "5");
    store.SetText(GadgetSpeedN1, "1500");
  }
  static void Send(int control, EventKind kind) { DispatchControlEvent({control, kind, 0, 0, 0}); }
};

TEST_F(DispatchTest, ModifiedRule) {
  // Controls whose own action changes nothing else, so that only the rule acts.
  struct Case {
    int control;
    EventKind kind;
    bool marks;
  };
  const Case cases[] = {
      {GadgetPairCentreDistance, EventKind::Change, true},    // bound entry, Change
      {GadgetPairCentreDistance, EventKind::Activate, false}, // bound entry, other event
      {GadgetPairSearchBeta, EventKind::Activate, true},      // bound check box: any event
      {GadgetPairSeries2, EventKind::Change, true},
      {GadgetSpeed, EventKind::Activate, true},               // bound track bar: any event
      {GadgetExportChoice, EventKind::Change, true},          // bound combo, Change
      {GadgetExportChoice, EventKind::LeftClick, false},
      {GadgetStlTolerance, EventKind::Change, true},
      {GadgetRotate, EventKind::Change, false},               // unbound check box
      {GadgetPairX2Text, EventKind::Change, false},           // unbound text
      {GadgetReport, EventKind::Change, false},               // editor
      {GadgetCanvas, EventKind::LeftDown, false},
      {GadgetLineOfAction, EventKind::Activate, true},        // bound check box
  };
  for (const Case& c : cases) {
    ProjectModified = 0;
    store.SetWindowTitle(WindowMain, "");
    Send(c.control, c.kind);
    EXPECT_EQ(ProjectModified == 1, c.marks) << "control " << c.control;
    EXPECT_EQ(store.GetWindowTitle(WindowMain).find(" *") != std::string::npos, c.marks) << "control " << c.control;
  }
}

TEST_F(DispatchTest, EditingABoundSearchInputMarksOnceAndComputesNothing) {
  store.SetText(GadgetPairCentreDistance, "61");
  Send(GadgetPairCentreDistance, EventKind::Change);
  store.SetWindowTitle(WindowMain, "unchanged");
  Send(GadgetPairCentreDistance, EventKind::Change);
  EXPECT_EQ(store.GetWindowTitle(WindowMain), "unchanged");
  EXPECT_EQ(DisplayMode, 0);
  EXPECT_TRUE(PairResultList.empty());
}

TEST_F(DispatchTest, LoadConversionBothWays) {
  store.SetText(GadgetLoadValue, "5");  // 5 kW at 1500 /min
  store.SetState(GadgetLoadKind, 1);
  Send(GadgetLoadKind, EventKind::Change);
  EXPECT_EQ(store.GetText(GadgetLoadLabel), "Torque T1 [Nm]");
  EXPECT_EQ(store.GetText(GadgetLoadValue), "31.83");  // 5 * 9550 / 1500 = 31.8333
  store.SetState(GadgetLoadKind, 0);
  Send(GadgetLoadKind, EventKind::Change);
  EXPECT_EQ(store.GetText(GadgetLoadLabel), "Power P [kW]");
  EXPECT_EQ(store.GetText(GadgetLoadValue), "4.999");  // 31.83 * 1500 / 9550 = 4.99947
}

TEST_F(DispatchTest, LoadKindWithoutSpeedPutsTheComboBack) {
  for (const char* speed : {"0", "", "-5", "abc"}) {
    store.SetText(GadgetSpeedN1, speed);
    store.SetState(GadgetLoadKind, 1);
    Send(GadgetLoadKind, EventKind::Change);
    EXPECT_EQ(store.GetState(GadgetLoadKind), 0) << speed;
    EXPECT_EQ(store.GetText(GadgetLoadLabel), "Power P [kW]") << speed;
    EXPECT_EQ(store.GetText(GadgetLoadValue), "5") << speed;
  }
}

TEST_F(DispatchTest, WheelZoomKeepsThePointUnderTheCursor) {
  ZoomPxPerMm = 3.0;
  PanX = 10.0;
  PanY = -4.0;
  const double mx = 650, my = 120;  // canvas 800 x 600
  auto world = [&] { return std::pair(PanX + (mx - 400) / ZoomPxPerMm, PanY - (my - 300) / ZoomPxPerMm); };
  auto before = world();
  DispatchControlEvent({GadgetCanvas, EventKind::MouseWheel, mx, my, 3});
  EXPECT_NEAR(ZoomPxPerMm, 3.0 * 1.728, 1e-12);
  auto after = world();
  EXPECT_NEAR(after.first, before.first, 1e-9);
  EXPECT_NEAR(after.second, before.second, 1e-9);
  DispatchControlEvent({GadgetCanvas, EventKind::MouseWheel, mx, my, 200});
  EXPECT_EQ(ZoomPxPerMm, 100000.0);
  DispatchControlEvent({GadgetCanvas, EventKind::MouseWheel, mx, my, -400});
  EXPECT_EQ(ZoomPxPerMm, 0.01);
  EXPECT_GE(services.redraws, 3);
}

TEST_F(DispatchTest, DragPanFollowsTheMouse) {
  ZoomPxPerMm = 2.0;
  PanX = 1.0;
  PanY = 1.0;
  DispatchControlEvent({GadgetCanvas, EventKind::MouseMove, 100, 100, 0});  // not dragging
  EXPECT_EQ(PanX, 1.0);
  DispatchControlEvent({GadgetCanvas, EventKind::LeftDown, 100, 100, 0});
  DispatchControlEvent({GadgetCanvas, EventKind::MouseMove, 140, 80, 0});
  // 40 px right moves the world 20 mm left under a fixed view centre; 20 px up
  // (screen y down) moves it 10 mm down.
  EXPECT_DOUBLE_EQ(PanX, 1.0 - 20.0);
  EXPECT_DOUBLE_EQ(PanY, 1.0 - 10.0);
  DispatchControlEvent({GadgetCanvas, EventKind::LeftUp, 140, 80, 0});
  DispatchControlEvent({GadgetCanvas, EventKind::MouseMove, 300, 300, 0});
  EXPECT_DOUBLE_EQ(PanX, -19.0);
}

TEST_F(DispatchTest, TimerStepAndWrap) {
  DispatchTimerEvent(TimerAnimation);
  EXPECT_EQ(DriveAngle, 0.0);  // nothing displayed
  DisplayMode = 2;
  store.SetState(GadgetSpeed, 20);  // 1 degree per tick
  DispatchTimerEvent(TimerAnimation);
  EXPECT_NEAR(DriveAngle, M_PI / 180.0, 1e-15);
  DriveAngle = 2 * M_PI - 0.5 * M_PI / 180.0;
  DispatchTimerEvent(TimerAnimation);
  EXPECT_NEAR(DriveAngle, 0.5 * M_PI / 180.0, 1e-12);
  DispatchTimerEvent(2);
  EXPECT_NEAR(DriveAngle, 0.5 * M_PI / 180.0, 1e-12);
}

TEST_F(DispatchTest, RotateBoxStartsAndStopsTheTimer) {
  store.SetState(GadgetRotate, 1);
  Send(GadgetRotate, EventKind::Change);
  store.SetState(GadgetRotate, 0);
  Send(GadgetRotate, EventKind::Change);
  EXPECT_EQ(services.timersStarted, std::vector<int>{TimerAnimation});
  EXPECT_EQ(services.timersStopped, std::vector<int>{TimerAnimation});
}

TEST_F(DispatchTest, SecondChangeOnTheSelectedRowDoesNothing) {
  PairResultList.push_back({});
  PairSelectedRow = 0;
  store.SetState(GadgetPairResults, 0);
  Send(GadgetPairResults, EventKind::Change);
  Send(GadgetPairResults, EventKind::LeftClick);
  EXPECT_EQ(ProjectModified, 0);
  EXPECT_EQ(DisplayMode, 0);
}

TEST_F(DispatchTest, SecondaryWindowsHideAndTheMainWindowQuits) {
  OpenStrengthWindow();
  EXPECT_TRUE(store.IsWindowVisible(WindowStrength));
  EXPECT_EQ(StrengthWindowOpen, 1);
  DispatchWindowClose(WindowStrength);
  EXPECT_FALSE(store.IsWindowVisible(WindowStrength));
  EXPECT_EQ(StrengthWindowOpen, 0);
  Send(GadgetHubKeywayButton, EventKind::Activate);
  EXPECT_TRUE(store.IsWindowVisible(WindowHubKeyway));
  DispatchWindowClose(WindowHubKeyway);
  EXPECT_FALSE(store.IsWindowVisible(WindowHubKeyway));
  EXPECT_EQ(QuitRequested, 0);
  DispatchWindowClose(WindowMain);  // nothing modified: no question
  EXPECT_EQ(QuitRequested, 1);
  EXPECT_TRUE(services.questions.empty());
}

TEST_F(DispatchTest, CopyButtonPutsTheStrengthReportOnTheClipboard) {
  services.clipboard = "old";
  Send(GadgetCopyReport, EventKind::Activate);
  EXPECT_EQ(services.clipboard, "old");  // empty report: nothing copied
  StrengthReportText = "STRENGTH CALCULATION\n";
  Send(GadgetCopyReport, EventKind::Activate);
  EXPECT_EQ(services.clipboard, "STRENGTH CALCULATION\n");
}

}  // namespace
}  // namespace kovrex
