// GTK start-up for the GUI test binary and the shared fixture.
#include "gui/gui_test_support.h"

#include "app/app_state.h"
#include "app/gtk/form_rows.h"
#include "app/gtk/gtk_control_store.h"
#include "app/gtk/gtk_services.h"
#include "app/gtk/main_program.h"
#include "text/texts.h"

namespace kovrex::test {
namespace {

RecordedEvents g_recorded;

class GtkEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    gdk_set_allowed_backends("x11");
    ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "the GUI tests need an X display (run under xvfb-run)";
  }
};
const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new GtkEnvironment);

void RecordControl(const ControlEvent& event) {
  g_recorded.controls.push_back(event);
  g_recorded.statesAtEvent.push_back(Controls().GetState(event.control));
}
void RecordMenu(MenuItem item) { g_recorded.menus.push_back(item); }
void RecordWindowClose(int window) { g_recorded.windowCloses.push_back(window); }
void RecordTimer(int timer) { g_recorded.timers.push_back(timer); }

}  // namespace

RecordedEvents& Recorded() { return g_recorded; }

void PumpEvents() {
  for (int i = 0; i < 100000 && gtk_events_pending(); ++i) gtk_main_iteration_do(FALSE);
}

bool PumpUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 400; ++i) {
    PumpEvents();
    if (done()) return true;
    g_usleep(5000);
  }
  PumpEvents();
  return done();
}

void PumpFor(int ms) {
  gint64 end = g_get_monotonic_time() + static_cast<gint64>(ms) * 1000;
  while (g_get_monotonic_time() < end) {
    PumpEvents();
    g_usleep(5000);
  }
  PumpEvents();
}

void GuiTest::SetUp() {
  KovrexTest::SetUp();
  g_recorded.Clear();
}

void GuiTest::BuildWindows(bool dutch) {
  SetTextLanguageForTest(dutch);
  BuildAllWindows();
  // Desktop questions must never block a test: back to the scripted answers.
  services.Install();
  EventSinks& sinks = GtkEventSinks();
  sinks.control = RecordControl;
  sinks.menu = RecordMenu;
  sinks.windowClose = RecordWindowClose;
  sinks.timer = RecordTimer;
  PumpEvents();
  g_recorded.Clear();
}

void GuiTest::UseRealWindowClose() { GtkEventSinks().windowClose = DispatchWindowClose; }

void GuiTest::TearDown() {
  StopAllTimers();
  DestroyAllWindows();
  ForgetFormLabels();
  ResetGtkEventSinks();
  PumpEvents();
  KovrexTest::TearDown();
}

}  // namespace kovrex::test
