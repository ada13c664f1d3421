// Layout metrics of the three windows, derived from the user-interface font, and
// the pure size rules of the main window. Not for: creating the windows' controls.
#pragma once

#include <gtk/gtk.h>

#include <string>
#include <vector>

namespace kovrex {

// Pixels. Written by ComputeUiLayoutMetrics (and ReportEditorTop by the main window
// builder); read by the builders and the resize handlers.
extern int LayoutLineHeight;
extern int LayoutFieldHeight;
extern int LayoutRowPitch;
extern int LayoutFieldX;
extern int LayoutFieldWidth;
extern int LayoutFieldHalfWidth;
extern int LayoutRightColumnWidth;
extern int CanvasLeft;
extern int ReportEditorTop;

// The metric rules from a measured line height and widest label width (pixels).
void SetLayoutMetrics(int lineHeight, int widestLabelWidth);

// Measures "Ag" and the labels in the default control font and sets the metrics.
void ComputeUiLayoutMetrics(const std::vector<std::string>& labels);

// The eight longest form labels, in the build's language.
std::vector<std::string> LongestFormLabels();

// Rounded pixel size of a text in the default control font.
int MeasureTextWidth(const std::string& text);
int MeasureTextHeight(const std::string& text);

// List-column font scale s = LayoutLineHeight / 15.
double ListFontScale();

// Puts a widget into a GtkFixed or GtkLayout at (x, y) with the given size.
void PlaceWidget(GtkWidget* container, GtkWidget* widget, int x, int y, int width, int height);

// For the resize handlers, which run inside GTK's size allocation: sets the size
// request when it differs and then has `container` laid out again. GTK 3 does not
// act on a request changed during an allocation until something else asks for a
// layout, so the new layout is asked for from an idle callback.
void ResizeChildIfChanged(GtkWidget* container, GtkWidget* child, int width, int height);

// A form label (no control number) at x = 10, vertically centred on a field row.
GtkWidget* AddFormLabel(GtkWidget* container, int rowY, const std::string& text);

// Height of the desktop's monitor in pixels, 0 when it reports none.
int MonitorHeight();

// 860, or min(860, monitor height - 80) when that difference is positive.
int MainWindowInitialHeight(int monitorHeight);

// After the controls exist: the report wants ReportEditorTop + 208 pixels (limited
// to monitor height - 80 when positive); a taller wish grows and re-centres the window.
struct WindowGrowth {
  bool grow = false;
  int height = 0;
  int y = 0;
};
WindowGrowth MainWindowGrowth(int reportEditorTop, int currentHeight, int monitorHeight);

// Sizes the resize rule gives the main window's parts at inner size W x H.
struct MainLayoutSizes {
  int scrollAreaHeight = 0;
  int reportHeight = 0;
  int scrollInnerHeight = 0;
  int canvasWidth = 0;
  int canvasHeight = 0;
};
MainLayoutSizes ComputeMainLayoutSizes(int width, int height);

}  // namespace kovrex
