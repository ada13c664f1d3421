// Placeholder dispatch until the event loop lands: closing the main window quits.
#include "app/event_dispatch.h"

#include "app/app_state.h"
#include "app/control_store.h"

namespace kovrex {

void DispatchControlEvent(const ControlEvent&) {}
void DispatchMenuEvent(MenuItem) {}
void DispatchWindowClose(int window) {
  if (window == WindowStrength) {
    CloseStrengthWindow();
  } else if (window == WindowHubKeyway) {
    CloseHubKeyWindow();
  } else {
    QuitRequested = 1;
  }
}
void DispatchTimerEvent(int) {}
void RecomputeActiveTab() {}
void OpenStrengthWindow() {
  StrengthWindowOpen = 1;
  Controls().ShowWindow(WindowStrength, true);
}
void CloseStrengthWindow() {
  StrengthWindowOpen = 0;
  Controls().ShowWindow(WindowStrength, false);
}
void ShowHubKeywayWindow() { Controls().ShowWindow(WindowHubKeyway, true); }
void CloseHubKeyWindow() { Controls().ShowWindow(WindowHubKeyway, false); }

}  // namespace kovrex
