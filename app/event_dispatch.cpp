// The event loop's dispatch: the modified rule, then one action per control, menu
// item, window close and timer tick. Buttons, the canvas and unbound controls never
// mark the project modified by the rule; bound entries and combos only on Change.
#include "app/event_dispatch.h"

#include <cmath>

#include "app/app_state.h"
#include "app/canvas.h"
#include "app/control_store.h"
#include "app/export_command.h"
#include "app/gadget_input.h"
#include "app/help.h"
#include "app/internal_commands.h"
#include "app/material_glue.h"
#include "app/pair_commands.h"
#include "app/project_bindings.h"
#include "app/project_file.h"
#include "app/rack_commands.h"
#include "app/services.h"
#include "app/strength_run.h"
#include "app/window_title.h"
#include "geometry/arrangement_state.h"
#include "numbers/number_text.h"
#include "text/texts.h"

namespace kovrex {
namespace {

constexpr double kTwoPi = 6.283185307179586;

int SelectedTab() { return static_cast<int>(Controls().GetState(GadgetTabPanel)); }

// Nothing to show: the arrangement of another tab must not stay drawn, reported
// or exportable while no row of this tab is selected.
void ShowNothing() {
  DisplayMode = static_cast<int>(DisplayKind::Nothing);
  Controls().SetText(GadgetReport, "");
  RedrawCanvas();
}

void RunPairSearchButton() {
  SearchPairCombinations();
  if (!PairResultList.empty()) {
    Controls().SetState(GadgetPairResults, 0);
    SelectPairCombination(0);
  } else {
    ShowNothing();
  }
}

void RunInternalSearchButton() {
  SearchInternalCombinations(0);
  if (!InternalResultList.empty()) {
    Controls().SetState(GadgetInternalResults, 0);
    ApplyInternalCombinationRow(0);
    MarkProjectModified();
  } else {
    ShowNothing();
  }
}

DisplayKind DisplayKindOfTab(int tab) {
  switch (tab) {
    case 1: return DisplayKind::Single;
    case 2: return DisplayKind::PinionRack;
    case 3: return DisplayKind::Internal;
    default: return DisplayKind::Pair;
  }
}

// The arrangement of a tab just selected; a row to show is searched for first on
// the Internal tab. What is shown when nothing could be computed is decided after.
void ComputeTabOnArrival() {
  switch (SelectedTab()) {
    case 1:
      ComputeSingleGearFromInputs(1);
      break;
    case 2:
      ComputeRackFromInputs(1);
      break;
    case 3:
      if (InternalSelectedRow >= 0) {
        ComputeInternalPairFromSelection(1);
      } else {
        SearchInternalCombinations(0);
        if (!InternalResultList.empty()) {
          Controls().SetState(GadgetInternalResults, 0);
          ApplyInternalCombinationRow(0);
        }
      }
      break;
    default:
      if (PairSelectedRow >= 0) ComputePairFromSelection(1);
      break;
  }
}

void OnTabChanged() {
  DriveAngle = 0.0;
  MarkProjectModified();
  DisplayMode = static_cast<int>(DisplayKind::Nothing);
  ComputeTabOnArrival();
  ShowNothingUnlessSelectedTabShown();
}

// Load kind 0 means power + speed, 1 torque + speed. The field keeps the same
// load, converted, and its label follows.
void OnLoadKindChanged() {
  double n1 = GetGadgetNumber(GadgetSpeedN1);
  int64_t entry = Controls().GetState(GadgetLoadKind);
  if (!(n1 > 0.0)) {
    // Without a speed the value cannot be converted: put the combo back, so that
    // combo, label and value keep agreeing (the next strength run would otherwise
    // read kW as N·m).
    Controls().SetState(GadgetLoadKind, entry == 0 ? 1 : 0);
    return;
  }
  double value = GetGadgetNumber(GadgetLoadValue);
  if (entry == 0) {
    Controls().SetText(GadgetLoadLabel, Tx(TextId::LoadLabelPower));
    Controls().SetText(GadgetLoadValue, FormatFixed(3, value * n1 / 9550.0));
  } else {
    Controls().SetText(GadgetLoadLabel, Tx(TextId::LoadLabelTorque));
    Controls().SetText(GadgetLoadValue, FormatFixed(2, value * 9550.0 / n1));
  }
  ComputeStrengthAndReport();
}

void OnCanvasEvent(const ControlEvent& e) {
  double scale = CanvasPixelScale > 0.0 ? CanvasPixelScale : 1.0;
  CanvasMouseX = static_cast<int>(RoundHalfAwayFromZero(e.mouseX / scale));
  CanvasMouseY = static_cast<int>(RoundHalfAwayFromZero(e.mouseY / scale));
  int w = 0, h = 0;
  Controls().GetSize(GadgetCanvas, w, h);
  switch (e.kind) {
    case EventKind::MouseEnter:
      Svc().focusCanvas();
      break;
    case EventKind::MouseWheel: {
      double dx = CanvasMouseX - w / 2.0, dy = CanvasMouseY - h / 2.0;
      double wx = PanX + dx / ZoomPxPerMm;
      double wy = PanY - dy / ZoomPxPerMm;
      double zoom = ZoomPxPerMm * std::pow(1.2, e.wheelDelta);
      if (!(zoom <= 100000.0)) zoom = 100000.0;
      if (!(zoom >= 0.01)) zoom = 0.01;
      ZoomPxPerMm = zoom;
      PanX = wx - dx / ZoomPxPerMm;
      PanY = wy + dy / ZoomPxPerMm;
      RedrawCanvas();
      break;
    }
    case EventKind::LeftDown:
      CanvasDragging = 1;
      DragStartMouseX = CanvasMouseX;
      DragStartMouseY = CanvasMouseY;
      DragStartPanX = PanX;
      DragStartPanY = PanY;
      break;
    case EventKind::LeftUp:
      CanvasDragging = 0;
      break;
    case EventKind::MouseMove:
      if (CanvasDragging == 1) {
        PanX = DragStartPanX - (CanvasMouseX - DragStartMouseX) / ZoomPxPerMm;
        PanY = DragStartPanY + (CanvasMouseY - DragStartMouseY) / ZoomPxPerMm;
        RedrawCanvas();
      }
      break;
    case EventKind::LeftDouble:
      ZoomToFit();
      RedrawCanvas();
      break;
    default:
      break;
  }
}

bool IsChange(const ControlEvent& e) { return e.kind == EventKind::Change; }

}  // namespace

void DispatchControlEvent(const ControlEvent& e) {
  const int c = e.control;
  const ControlKind kind = ControlKindOf(c);
  if (IsGadgetBound(c) && (IsChange(e) || kind == ControlKind::CheckBox || kind == ControlKind::TrackBar))
    MarkProjectModified();

  const bool change = IsChange(e);
  switch (c) {
    case GadgetTabPanel:
      if (change) OnTabChanged();
      return;
    case GadgetPairHand:
    case GadgetPairX1:
    case GadgetPairFaceWidth:
    case GadgetPairBacklash:
    case GadgetPairBore1:
    case GadgetPairBore2:
      if (change && SelectedTab() == 0) ComputePairFromSelection(0);
      return;
    case GadgetPairSearch:
      RunPairSearchButton();
      return;
    case GadgetPairResults:
    case GadgetInternalResults:
      if (change || e.kind == EventKind::LeftClick) {
        int64_t row = Controls().GetState(c);
        if (c == GadgetPairResults && row >= 0 && row != PairSelectedRow) {
          SelectPairCombination(row);
          MarkProjectModified();
        } else if (c == GadgetInternalResults && row >= 0 && row != InternalSelectedRow) {
          ApplyInternalCombinationRow(row);
          MarkProjectModified();
        }
      }
      return;
    case GadgetSingleModule:
    case GadgetSingleTeeth:
    case GadgetSinglePressureAngle:
    case GadgetSingleHelixAngle:
    case GadgetSingleHand:
      if (change && SelectedTab() == 1) ComputeSingleGearFromInputs(1);
      return;
    case GadgetSingleProfileShift:
    case GadgetSingleFaceWidth:
    case GadgetSingleThicknessAllowance:
    case GadgetSingleBore:
      if (change && SelectedTab() == 1) ComputeSingleGearFromInputs(0);
      return;
    case GadgetRackModule:
    case GadgetRackPinionTeeth:
    case GadgetRackTeeth:
    case GadgetRackHeight:
      if (change && SelectedTab() == 2) ComputeRackFromInputs(1);
      return;
    case GadgetRackProfileShift:
    case GadgetRackPressureAngle:
    case GadgetRackHelixAngle:
    case GadgetRackHand:
    case GadgetRackFaceWidth:
    case GadgetRackPinionBore:
    case GadgetRackBacklash:
      if (change && SelectedTab() == 2) ComputeRackFromInputs(0);
      return;
    case GadgetRotate:
      if (Controls().GetState(GadgetRotate) != 0) {
        Svc().startTimer(TimerAnimation, 30);
      } else {
        Svc().stopTimer(TimerAnimation);
      }
      return;
    case GadgetLineOfAction:
      RedrawCanvas();
      return;
    case GadgetToolOpen:
      OpenProjectRequester();
      return;
    case GadgetToolSave:
      SaveProject(false);
      return;
    case GadgetToolSaveAs:
      SaveProject(true);
      return;
    case GadgetToolHelp:
      Svc().showHelpPopupMenu();
      return;
    case GadgetInternalHand:
    case GadgetInternalX1:
    case GadgetInternalFaceWidth:
    case GadgetInternalBacklash:
    case GadgetInternalPinionBore:
    case GadgetInternalRingRim:
      if (change && SelectedTab() == 3) ComputeInternalPairFromSelection(0);
      return;
    case GadgetInternalSearch:
      RunInternalSearchButton();
      return;
    case GadgetInternalShortenTip:
      if (SelectedTab() == 3) ComputeInternalPairFromSelection(0);
      return;
    case GadgetStrengthButton:
      OpenStrengthWindow();
      return;
    case GadgetLoadKind:
      if (change) OnLoadKindChanged();
      return;
    case GadgetLoadValue:
    case GadgetSpeedN1:
    case GadgetApplicationFactor:
    case GadgetLifeHours:
    case GadgetAccuracyClass:
    case GadgetFlankFinish:
    case GadgetLubrication:
    case GadgetMinSafetyH:
    case GadgetMinSafetyF:
    case GadgetKeyCount:
    case GadgetKeyLength:
      if (change) ComputeStrengthAndReport();
      return;
    case GadgetMaterial1:
    case GadgetMaterial2:
      if (change) {
        int b = c == GadgetMaterial1 ? GadgetMaterial1 : GadgetMaterial2;
        ShowMaterialProperties(b, b + 1, b + 2, b + 3, b + 4);
        ComputeStrengthAndReport();
      }
      return;
    case GadgetSigHlim1:
    case GadgetSigFlim1:
    case GadgetE1:
    case GadgetNu1:
    case GadgetSigHlim2:
    case GadgetSigFlim2:
    case GadgetE2:
    case GadgetNu2:
      if (change) {
        int b = c <= GadgetNu1 ? GadgetMaterial1 : GadgetMaterial2;
        ResetMaterialPresetIfEdited(b, b + 1, b + 2, b + 3, b + 4);
        ComputeStrengthAndReport();
      }
      return;
    case GadgetCopyReport:
      if (!StrengthReportText.empty()) Svc().setClipboardText(StrengthReportText);
      return;
    case GadgetStrengthClose:
      CloseStrengthWindow();
      return;
    case GadgetCanvas:
      OnCanvasEvent(e);
      return;
    case GadgetShaftMaterial:
      if (change) {
        ShowShaftMaterialProperties();
        ComputeStrengthAndReport();
      }
      return;
    case GadgetAllowableTorsion:
    case GadgetShaftYield:
      if (change) {
        ResetShaftPresetIfEdited();
        ComputeStrengthAndReport();
      }
      return;
    case GadgetExportDxf:
      ExportDrawing(0);
      return;
    case GadgetExportStep:
      ExportDrawing(1);
      return;
    case GadgetExportStl:
      ExportDrawing(2);
      return;
    case GadgetHubKeywayButton:
      ShowHubKeywayWindow();
      return;
    case GadgetHubClose:
      CloseHubKeyWindow();
      return;
    case GadgetKeyway1:
    case GadgetKeyWidth1:
    case GadgetKeyDepth1:
    case GadgetHub1:
    case GadgetHubDiameter1:
    case GadgetHubLength1:
    case GadgetKeyway2:
    case GadgetKeyWidth2:
    case GadgetKeyDepth2:
    case GadgetHub2:
    case GadgetHubDiameter2:
    case GadgetHubLength2:
      if (change) RecomputeActiveTab();
      return;
    default:
      // Search inputs, the speed track bar, the export choice and tolerance, labels
      // and editors have no action: their values are read when a search, an export
      // or a save runs.
      return;
  }
}

void DispatchMenuEvent(MenuItem item) {
  switch (item) {
    case MenuItem::OpenProject:
      OpenProjectRequester();
      break;
    case MenuItem::SaveProject:
      SaveProject(false);
      break;
    case MenuItem::Help:
      ShowHelp();
      break;
    case MenuItem::About:
      Svc().showAboutWindow();
      break;
  }
}

void DispatchWindowClose(int window) {
  if (window == WindowStrength) {
    CloseStrengthWindow();
  } else if (window == WindowHubKeyway) {
    CloseHubKeyWindow();
  } else if (ConfirmDiscardChanges()) {
    QuitRequested = 1;
  }
}

void DispatchTimerEvent(int timer) {
  if (timer != TimerAnimation || DisplayMode == static_cast<int>(DisplayKind::Nothing)) return;
  DriveAngle += 0.05 * static_cast<double>(Controls().GetState(GadgetSpeed)) * (kTwoPi / 360.0);
  if (DriveAngle > kTwoPi) DriveAngle -= kTwoPi;
  RedrawCanvas();
}

void ShowNothingUnlessSelectedTabShown() {
  if (DisplayMode != static_cast<int>(DisplayKindOfTab(SelectedTab()))) ShowNothing();
}

void RecomputeActiveTab() {
  switch (SelectedTab()) {
    case 1:
      ComputeSingleGearFromInputs(0);
      break;
    case 2:
      ComputeRackFromInputs(0);
      break;
    case 3:
      ComputeInternalPairFromSelection(0);
      break;
    default:
      ComputePairFromSelection(0);
      break;
  }
}

void OpenStrengthWindow() {
  StrengthWindowOpen = 1;
  Controls().ShowWindow(WindowStrength, true);
  ComputeStrengthAndReport();
  RedrawCanvas();
}

void CloseStrengthWindow() {
  StrengthWindowOpen = 0;
  Controls().ShowWindow(WindowStrength, false);
  RedrawCanvas();
}

void ShowHubKeywayWindow() { Controls().ShowWindow(WindowHubKeyway, true); }

void CloseHubKeyWindow() { Controls().ShowWindow(WindowHubKeyway, false); }

}  // namespace kovrex
