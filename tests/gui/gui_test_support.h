// Shared fixture of the GUI tests: GTK started once on the X display, the three
// real windows built for each test, and recorders in place of the event dispatch so
// that a test sees exactly which events the widgets raised.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <vector>

#include "app/event_dispatch.h"
#include "support/test_support.h"

namespace kovrex::test {

struct RecordedEvents {
  std::vector<ControlEvent> controls;
  std::vector<int64_t> statesAtEvent;  // GetState of the control when its event arrived
  std::vector<MenuItem> menus;
  std::vector<int> windowCloses;
  std::vector<int> timers;
  void Clear() { *this = RecordedEvents{}; }
};
RecordedEvents& Recorded();

// Handles every pending GTK event (redraws, allocations, idle callbacks).
void PumpEvents();
// Pumps until `done` holds, at most about two seconds; returns whether it held.
bool PumpUntil(const std::function<bool()>& done);
// Pumps events for about `ms` milliseconds (to see that something does not happen).
void PumpFor(int ms);

class GuiTest : public KovrexTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Builds the three windows with the GTK store (hidden), in the language of the
  // test, with the event recorders as sinks.
  void BuildWindows(bool dutch = false);
  // Sends the real dispatch the window closes (to see the windows hide).
  void UseRealWindowClose();
};

}  // namespace kovrex::test
