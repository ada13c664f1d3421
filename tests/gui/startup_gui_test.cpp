// The real program in process under Xvfb: start-up on the GTK widgets selects row 0
// of the pair search and draws it unmodified; a user's typing into a bound field
// marks the project once and shows it in the title.
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/control_store.h"
#include "app/controls.h"
#include "app/event_dispatch.h"
#include "app/gtk/gtk_control_store.h"
#include "app/startup.h"
#include "app/window_title.h"
#include "geometry/arrangement_state.h"
#include "geometry/gear_record.h"
#include "gui/gui_test_support.h"

namespace kovrex {
namespace {

class StartUpGui : public test::GuiTest {
 protected:
  void StartUp(bool dutch) {
    BuildWindows(dutch);
    ResetGtkEventSinks();  // the real dispatch, as in the program
    StartUpCalculations();
    UpdateWindowTitle();
    test::PumpEvents();
  }
  static std::string Title() { return gtk_window_get_title(GTK_WINDOW(WindowWidget(WindowMain))); }
};

TEST_F(StartUpGui, StartsWithRowZeroOfThePairSearchUnmodified) {
  StartUp(false);
  EXPECT_EQ(PairSelectedRow, 0);
  EXPECT_EQ(Controls().GetState(GadgetPairResults), 0);
  EXPECT_GT(Controls().CountItems(GadgetPairResults), 10);
  EXPECT_EQ(DisplayMode, 1);
  EXPECT_EQ(Gear1.toothCount, 200);
  EXPECT_NE(Controls().GetText(GadgetReport).find("GEAR PAIR"), std::string::npos);
  EXPECT_EQ(Controls().GetText(GadgetPairX2Text), "x2 = 0.0000");
  EXPECT_EQ(Title(), "Kovrex - new project   (ISO 53 / DIN 867 / DIN 3960)");
  EXPECT_EQ(ProjectModified, 0);  // nothing the program set raised an event
}

TEST_F(StartUpGui, DutchBuildStartsWithTheDutchTitleAndReport) {
  StartUp(true);
  EXPECT_EQ(Title(), "Kovrex - nieuw project   (ISO 53 / DIN 867 / DIN 3960)");
  EXPECT_NE(Controls().GetText(GadgetReport).find("TANDWIELPAAR"), std::string::npos);
  EXPECT_EQ(ProjectModified, 0);
}

TEST_F(StartUpGui, TypingIntoABoundFieldMarksTheProjectOnce) {
  StartUp(false);
  GtkEntry* entry = GTK_ENTRY(ControlWidget(GadgetPairCentreDistance));
  ASSERT_NE(entry, nullptr);
  gtk_entry_set_text(entry, "61");  // outside the program-side guard: as a user's edit
  test::PumpEvents();
  EXPECT_EQ(ProjectModified, 1);
  EXPECT_EQ(Title(), "Kovrex - new project *   (ISO 53 / DIN 867 / DIN 3960)");
  EXPECT_EQ(PairCentreDistance, 60);  // a search input: nothing computed yet
  gtk_window_set_title(GTK_WINDOW(WindowWidget(WindowMain)), "unchanged");
  gtk_entry_set_text(entry, "62");
  test::PumpEvents();
  EXPECT_EQ(Title(), "unchanged");  // marked once: the title is not rebuilt again
}

}  // namespace
}  // namespace kovrex
