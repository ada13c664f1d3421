// The start values of every control of the three windows: texts, states, combo
// entries and window titles, written into any control store. The GTK builder uses
// it after creating the widgets and headless tests use it on the memory store, so
// the defaults live in this one place. Not for: labels, captions and placement.
#pragma once

#include "app/control_store.h"

namespace kovrex {

void PopulateMainWindowControls(ControlStore& store);
// Reads GearMaterialTable and ShaftMaterialTable as they are: fill them first.
void PopulateStrengthWindowControls(ControlStore& store);
void PopulateHubWindowControls(ControlStore& store);

}  // namespace kovrex
