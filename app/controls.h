// Numbers and kinds of the windows, controls, menu items and timers of Kovrex.
// Controls are numbered 0..126 across the three windows; menu item numbers overlap
// control numbers, so they are a type of their own and never share a switch.
#pragma once

namespace kovrex {

enum Window : int { WindowMain = 0, WindowStrength = 1, WindowHubKeyway = 2 };

enum Gadget : int {
  GadgetTabPanel = 0,
  GadgetPairCentreDistance = 1,
  GadgetPairRatio = 2,
  GadgetPairPressureAngle = 3,
  GadgetPairHelixAngle = 4,
  GadgetPairHand = 5,
  GadgetPairSearchBeta = 6,
  GadgetPairTolerance = 7,
  GadgetPairSumXMin = 8,
  GadgetPairSumXMax = 9,
  GadgetPairZMin = 10,
  GadgetPairSeries2 = 11,
  GadgetPairSearch = 12,
  GadgetPairResults = 13,
  GadgetPairX1 = 14,
  GadgetPairX2Text = 15,
  GadgetPairFaceWidth = 16,
  GadgetPairBacklash = 17,
  GadgetPairBore1 = 18,
  GadgetPairBore2 = 19,
  GadgetSingleModule = 20,
  GadgetSingleTeeth = 21,
  GadgetSingleProfileShift = 22,
  GadgetSinglePressureAngle = 23,
  GadgetSingleHelixAngle = 24,
  GadgetSingleHand = 25,
  GadgetSingleFaceWidth = 26,
  GadgetSingleThicknessAllowance = 27,
  GadgetSingleBore = 28,
  GadgetRackModule = 29,
  GadgetRackPinionTeeth = 30,
  GadgetRackProfileShift = 31,
  GadgetRackPressureAngle = 32,
  GadgetRackHelixAngle = 33,
  GadgetRackHand = 34,
  GadgetRackFaceWidth = 35,
  GadgetRackPinionBore = 36,
  GadgetRackBacklash = 37,
  GadgetRackTeeth = 38,
  GadgetRackHeight = 39,
  GadgetRotate = 40,
  GadgetSpeed = 41,
  GadgetLineOfAction = 42,
  GadgetExportChoice = 43,
  GadgetExportDxf = 44,
  GadgetExportStep = 45,
  GadgetExportStl = 46,
  GadgetStlTolerance = 47,
  GadgetReport = 48,
  GadgetToolOpen = 49,
  GadgetToolSave = 50,
  GadgetToolSaveAs = 51,
  GadgetToolHelp = 52,
  GadgetInternalCentreDistance = 53,
  GadgetInternalRatio = 54,
  GadgetInternalPressureAngle = 55,
  GadgetInternalHelixAngle = 56,
  GadgetInternalHand = 57,
  GadgetInternalSearchBeta = 58,
  GadgetInternalTolerance = 59,
  GadgetInternalDeltaXMin = 60,
  GadgetInternalDeltaXMax = 61,
  GadgetInternalZ1Min = 62,
  GadgetInternalToothDiffMin = 63,
  GadgetInternalSeries2 = 64,
  GadgetInternalSearch = 65,
  GadgetInternalResults = 66,
  GadgetInternalX1 = 67,
  GadgetInternalX2Text = 68,
  GadgetInternalFaceWidth = 69,
  GadgetInternalBacklash = 70,
  GadgetInternalPinionBore = 71,
  GadgetInternalRingRim = 72,
  GadgetInternalShortenTip = 73,
  GadgetStrengthButton = 74,
  GadgetLoadKind = 75,
  GadgetLoadValue = 76,
  GadgetLoadLabel = 77,
  GadgetSpeedN1 = 78,
  GadgetApplicationFactor = 79,
  GadgetLifeHours = 80,
  GadgetAccuracyClass = 81,
  GadgetFlankFinish = 82,
  GadgetLubrication = 83,
  GadgetMinSafetyH = 84,
  GadgetMinSafetyF = 85,
  GadgetMaterial1Label = 86,
  GadgetMaterial1 = 87,
  GadgetSigHlim1 = 88,
  GadgetSigFlim1 = 89,
  GadgetE1 = 90,
  GadgetNu1 = 91,
  GadgetMaterial2Label = 92,
  GadgetMaterial2 = 93,
  GadgetSigHlim2 = 94,
  GadgetSigFlim2 = 95,
  GadgetE2 = 96,
  GadgetNu2 = 97,
  GadgetStrengthStatus = 98,
  GadgetStrengthReport = 99,
  GadgetCopyReport = 100,
  GadgetStrengthClose = 101,
  GadgetCanvas = 102,
  GadgetShaftLabel = 103,
  GadgetShaftMaterial = 104,
  GadgetAllowableTorsion = 105,
  GadgetShaftYield = 106,
  GadgetKeyCount = 107,
  GadgetKeyLength = 108,
  GadgetHubKeywayButton = 109,
  GadgetHubLabel1 = 110,
  GadgetHubLabel2 = 111,
  GadgetHubClose = 112,
  GadgetInputScrollArea = 113,
  GadgetKeyway1 = 114,
  GadgetKeyWidth1 = 115,
  GadgetKeyDepth1 = 116,
  GadgetHub1 = 117,
  GadgetHubDiameter1 = 118,
  GadgetHubLength1 = 119,
  GadgetKeyway2 = 121,
  GadgetKeyWidth2 = 122,
  GadgetKeyDepth2 = 123,
  GadgetHub2 = 124,
  GadgetHubDiameter2 = 125,
  GadgetHubLength2 = 126,
};

constexpr int kGadgetCount = 127;  // numbers 0..126; 120 is not used

enum class MenuItem : int { OpenProject = 100, SaveProject = 101, Help = 102, About = 103 };

enum Timer : int { TimerAnimation = 1 };

enum class ControlKind : int {
  None,            // unused number
  TabPanel,        // state = page
  Entry,           // single-line text
  EditableCombo,   // text, plus a list of entries; state = selected entry or -1
  Combo,           // state = selected entry; text = that entry's text
  CheckBox,        // state 0/1
  TrackBar,        // state = position
  ListView,        // rows of columns separated by '\n'; state = selected row or -1
  Button,
  TextLabel,       // text set by the program (x2 texts, load label, status line)
  ReadOnlyEditor,  // multi-line read-only text
  DrawingArea,
  ScrollArea,
};

struct ControlInfo {
  int number;
  const char* name;
  ControlKind kind;
  Window window;
};

// Every control number 0..126 with its name, kind and window (index = number).
const ControlInfo& ControlInfoOf(int control);
ControlKind ControlKindOf(int control);

}  // namespace kovrex
