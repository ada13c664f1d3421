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
void OpenStrengthWindow();
void CloseStrengthWindow();
void ShowHubKeywayWindow();
void CloseHubKeyWindow();

}  // namespace kovrex
