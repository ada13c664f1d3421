// Application globals and the reset of all program state.
#include "app/app_state.h"

#include "app/export_command.h"
#include "app/project_bindings.h"
#include "app/services.h"
#include "capacity/strength_types.h"
#include "geometry/arrangement_state.h"
#include "geometry/gear_record.h"

namespace kovrex {

int QuitRequested = 0;
int ProjectModified = 0;
int StrengthWindowOpen = 0;
int CanvasMouseX = 0, CanvasMouseY = 0;
int CanvasDragging = 0;
int DragStartMouseX = 0, DragStartMouseY = 0;
double DragStartPanX = 0.0, DragStartPanY = 0.0;
std::string ProjectPath;
std::string StrengthReportText;

double ZoomPxPerMm = 1.0;
double PanX = 0.0, PanY = 0.0;
double CanvasPixelScale = 1.0;
double ClipXMin = 0.0, ClipXMax = 0.0, ClipYMin = 0.0, ClipYMax = 0.0;
double ClipT0 = 0.0, ClipT1 = 1.0;
double DriveAngle = 0.0;
double CanvasWidth = 0.0, CanvasHeight = 0.0;

void ResetAllState() {
  ResetGearRecords();
  ResetArrangementState();
  ResetStrengthState();
  ResetProjectBindings();
  QuitRequested = 0;
  ProjectModified = 0;
  StrengthWindowOpen = 0;
  CanvasMouseX = CanvasMouseY = 0;
  CanvasDragging = 0;
  DragStartMouseX = DragStartMouseY = 0;
  DragStartPanX = DragStartPanY = 0.0;
  ProjectPath.clear();
  StrengthReportText.clear();
  ZoomPxPerMm = 1.0;
  PanX = PanY = 0.0;
  CanvasPixelScale = 1.0;
  ClipXMin = ClipXMax = ClipYMin = ClipYMax = 0.0;
  ClipT0 = 0.0;
  ClipT1 = 1.0;
  DriveAngle = 0.0;
  CanvasWidth = CanvasHeight = 0.0;
  ResetServices();
  ResetExportWriters();
}

}  // namespace kovrex
