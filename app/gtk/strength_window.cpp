// Builds the strength window from its row table; the right column (status line and
// report) follows the window size.
#include "app/gtk/strength_window.h"

#include <gtk/gtk.h>

#include <algorithm>

#include "app/control_defaults.h"
#include "app/controls.h"
#include "app/gtk/form_rows.h"
#include "app/gtk/gtk_control_store.h"
#include "app/gtk/gtk_services.h"
#include "app/gtk/layout_metrics.h"
#include "text/texts.h"

namespace kovrex {
namespace {

GtkWidget* g_layout = nullptr;

const FormRow kRows[] = {
    {RowKind::Wide, kNoText, GadgetLoadKind},
    {RowKind::LabelControl, kNoText, GadgetLoadValue, GadgetLoadLabel},
    {RowKind::Field, TextId::WinStrengthSpeed, GadgetSpeedN1},
    {RowKind::Field, TextId::WinStrengthApplicationFactor, GadgetApplicationFactor},
    {RowKind::Field, TextId::WinStrengthLifeHours, GadgetLifeHours},
    {RowKind::Field, TextId::WinStrengthAccuracy, GadgetAccuracyClass},
    {RowKind::Field, TextId::WinStrengthFlankFinish, GadgetFlankFinish},
    {RowKind::Field, TextId::WinStrengthLubrication, GadgetLubrication},
    {RowKind::Halves, TextId::WinStrengthMinSafety, GadgetMinSafetyH, GadgetMinSafetyF},
    {RowKind::Wide, kNoText, GadgetShaftLabel},
    {RowKind::Wide, kNoText, GadgetShaftMaterial},
    {RowKind::Halves, TextId::WinStrengthTorsionYield, GadgetAllowableTorsion, GadgetShaftYield},
    {RowKind::Halves, TextId::WinStrengthKeysLength, GadgetKeyCount, GadgetKeyLength},
    {RowKind::Wide, kNoText, GadgetMaterial1Label},
    {RowKind::Wide, kNoText, GadgetMaterial1},
    {RowKind::Halves, TextId::WinStrengthSigmaLimits, GadgetSigHlim1, GadgetSigFlim1},
    {RowKind::Halves, TextId::WinStrengthElasticity, GadgetE1, GadgetNu1},
    {RowKind::Wide, kNoText, GadgetMaterial2Label},
    {RowKind::Wide, kNoText, GadgetMaterial2},
    {RowKind::Halves, TextId::WinStrengthSigmaLimits, GadgetSigHlim2, GadgetSigFlim2},
    {RowKind::Halves, TextId::WinStrengthElasticity, GadgetE2, GadgetNu2},
    {RowKind::ButtonPair, TextId::WinStrengthCopyReport, GadgetCopyReport, GadgetStrengthClose,
     TextId::WinStrengthClose},
};

const ToolTip kToolTips[] = {
    {GadgetSpeedN1, TextId::WinStrengthTipSpeed},
    {GadgetAllowableTorsion, TextId::WinStrengthTipTorsion},
    {GadgetKeyLength, TextId::WinStrengthTipKeyLength},
};

const int kHeadings[] = {GadgetShaftLabel, GadgetMaterial1Label, GadgetMaterial2Label};

int RightColumnX() { return LayoutFieldX + LayoutFieldWidth + 10; }
int ReportTop() { return LayoutFieldHeight + 22; }

void OnAllocated(GtkWidget*, GdkRectangle*, gpointer) { ResizeStrengthDialog(); }

void PlaceRightColumn(int width, int height) {
  GtkWidget* status = CreateControlWidget(GadgetStrengthStatus);
  GtkWidget* report = CreateControlWidget(GadgetStrengthReport);
  // The status line's background colour is its verdict; the text sits a little in.
  gtk_widget_set_margin_start(ControlWidget(GadgetStrengthStatus), 6);
  PlaceWidget(g_layout, status, RightColumnX(), 10, width - RightColumnX() - 10, LayoutFieldHeight + 6);
  PlaceWidget(g_layout, report, RightColumnX(), ReportTop(), width - RightColumnX() - 10,
              height - ReportTop() - 10);
}

}  // namespace

void BuildStrengthWindow() {
  ProgramSideGuard guard;
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  GtkWidget* main = WindowWidget(WindowMain);
  if (main) gtk_window_set_transient_for(GTK_WINDOW(window), GTK_WINDOW(main));
  gtk_window_set_destroy_with_parent(GTK_WINDOW(window), TRUE);
  RegisterWindow(WindowStrength, window);

  g_layout = gtk_layout_new(nullptr, nullptr);
  gtk_container_add(GTK_CONTAINER(window), g_layout);
  g_signal_connect(g_layout, "destroy", G_CALLBACK(+[](GtkWidget*, gpointer) { g_layout = nullptr; }), nullptr);

  int width = LayoutFieldX + LayoutFieldWidth + 460;
  int height = 22 * LayoutRowPitch + 40;
  int buttonRowY = PlaceFormRows(g_layout, kRows, 10) - (LayoutFieldHeight + 16);
  int columnEnd = buttonRowY + LayoutFieldHeight + 16;
  // A large font makes the rows taller than the window was planned for.
  height = std::max(height, columnEnd);
  PlaceRightColumn(width, height);
  for (int control : kHeadings) MakeHeading(ControlWidget(control));
  ApplyToolTips(kToolTips);

  GtkAccelGroup* group = gtk_accel_group_new();
  gtk_window_add_accel_group(GTK_WINDOW(window), group);
  g_object_unref(group);
  AddMenuShortcut(group, GDK_KEY_F1, static_cast<GdkModifierType>(0), static_cast<int>(MenuItem::Help));

  PopulateStrengthWindowControls(GtkStore());

  // The window cannot be made smaller than it is built: that is the layout's request.
  gtk_widget_set_size_request(g_layout, width, height);
  gtk_window_set_default_size(GTK_WINDOW(window), width, height);
  g_signal_connect(g_layout, "size-allocate", G_CALLBACK(OnAllocated), nullptr);
  gtk_widget_show_all(g_layout);
}

void ResizeStrengthDialog() {
  if (!g_layout || !gtk_widget_get_realized(g_layout)) return;
  int width = gtk_widget_get_allocated_width(g_layout);
  int height = gtk_widget_get_allocated_height(g_layout);
  ResizeChildIfChanged(g_layout, PlacedWidget(GadgetStrengthStatus), width - RightColumnX() - 10, LayoutFieldHeight + 6);
  ResizeChildIfChanged(g_layout, PlacedWidget(GadgetStrengthReport), width - RightColumnX() - 10, height - ReportTop() - 10);
}

}  // namespace kovrex
