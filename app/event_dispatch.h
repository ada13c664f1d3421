// The event loop's dispatch, as plain functions of (control or menu number, event
// kind): the GTK front end turns signals into these calls, tests call them exactly
// as a user's action would.
#pragma once

#include "app/controls.h"

namespace kovrex {

enum class EventKind : int {
  Change,       // text edited, entry chosen, box toggled, row selected, tab changed
  Activate,     // button pressed
  LeftClick,    // list view row clicked
  LeftDown,     // canvas: left button pressed
  LeftUp,       // canvas: left button released
  LeftDouble,   // canvas: left double click
  MouseMove,    // canvas: pointer moved
  MouseWheel,   // canvas: wheel step(s), wheelDelta > 0 zooms in
  MouseEnter,   // canvas: pointer entered
};

struct ControlEvent {
  int control = -1;
  EventKind kind = EventKind::Change;
  double mouseX = 0.0, mouseY = 0.0;  // canvas events: position in the control's pixels
  int wheelDelta = 0;
};

void DispatchControlEvent(const ControlEvent& event);
void DispatchMenuEvent(MenuItem item);
// A window's close button (or the window manager) was used.
void DispatchWindowClose(int window);
void DispatchTimerEvent(int timer);

// Recomputes the arrangement of the selected tab, keeping the view.
void RecomputeActiveTab();
// For a tab just selected (a tab change, an opened project) after its computation
// ran: when that computation was rejected, the records, report and drawing still
// hold another tab's arrangement, which must not appear under this tab. Then it
// shows nothing: DisplayMode 0, empty report, canvas redrawn. The caller sets
// DisplayMode to 0 before computing, so a stale arrangement of the same kind (a
// previous project's) cannot pass for a result.
void ShowNothingUnlessSelectedTabShown();
void OpenStrengthWindow();
void CloseStrengthWindow();
void ShowHubKeywayWindow();
void CloseHubKeyWindow();

}  // namespace kovrex
