// Globals of the application: the run state, the modified flag and project path,
// the canvas view and mouse state, and the strength report text. ResetAllState()
// puts every global of the program back to its start-up value.
#pragma once

#include <string>

namespace kovrex {

extern int QuitRequested;
extern int ProjectModified;
extern int StrengthWindowOpen;
extern int CanvasMouseX, CanvasMouseY;
extern int CanvasDragging;
extern int DragStartMouseX, DragStartMouseY;
extern double DragStartPanX, DragStartPanY;
extern std::string ProjectPath;
extern std::string StrengthReportText;

// View state of the canvas.
extern double ZoomPxPerMm;  // 1.0 at start
extern double PanX, PanY;   // world point at the canvas centre [mm]
extern double CanvasPixelScale;
extern double ClipXMin, ClipXMax, ClipYMin, ClipYMax;
extern double ClipT0, ClipT1;
extern double DriveAngle;  // rotation of gear 1 / the pinion [rad]
// Size of the canvas being painted [canvas pixels], set by PaintCanvas from its
// arguments before anything is drawn; WorldToCanvas centres the pan point on it.
extern double CanvasWidth, CanvasHeight;

// Every global of the program (gear records, search results, strength results,
// material tables, view and application state) to its start-up value, and the
// service table to its defaults. The control store is left alone.
void ResetAllState();

}  // namespace kovrex
