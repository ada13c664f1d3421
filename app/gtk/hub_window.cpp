// Builds the hub and keyway window from its row table: two identical blocks, a
// note and the close button. Its size is fixed by its content.
#include "app/gtk/hub_window.h"

#include <gtk/gtk.h>

#include "app/control_defaults.h"
#include "app/controls.h"
#include "app/gtk/form_rows.h"
#include "app/gtk/gtk_control_store.h"
#include "app/gtk/gtk_services.h"
#include "app/gtk/layout_metrics.h"
#include "text/texts.h"

namespace kovrex {
namespace {

const FormRow kRows[] = {
    {RowKind::Wide, kNoText, GadgetHubLabel1},
    {RowKind::Field, TextId::WinHubKeyway, GadgetKeyway1},
    {RowKind::Halves, TextId::WinHubWidthDepth, GadgetKeyWidth1, GadgetKeyDepth1},
    {RowKind::Field, TextId::WinHubHub, GadgetHub1},
    {RowKind::Halves, TextId::WinHubDiameterLength, GadgetHubDiameter1, GadgetHubLength1},
    {RowKind::Wide, kNoText, GadgetHubLabel2},
    {RowKind::Field, TextId::WinHubKeyway, GadgetKeyway2},
    {RowKind::Halves, TextId::WinHubWidthDepth, GadgetKeyWidth2, GadgetKeyDepth2},
    {RowKind::Field, TextId::WinHubHub, GadgetHub2},
    {RowKind::Halves, TextId::WinHubDiameterLength, GadgetHubDiameter2, GadgetHubLength2},
    {RowKind::Note, TextId::WinHubNote, -1, -1, kNoText, 0, /*lines=*/3},
    {RowKind::ButtonPair, kNoText, -1, GadgetHubClose, TextId::WinHubClose},
};

const ToolTip kToolTips[] = {
    {GadgetKeyDepth1, TextId::WinHubTipDepth},      {GadgetKeyDepth2, TextId::WinHubTipDepth},
    {GadgetHubDiameter1, TextId::WinHubTipDiameter}, {GadgetHubDiameter2, TextId::WinHubTipDiameter},
    {GadgetHubLength1, TextId::WinHubTipLength},    {GadgetHubLength2, TextId::WinHubTipLength},
};

}  // namespace

void BuildHubKeywayWindow() {
  ProgramSideGuard guard;
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  GtkWidget* main = WindowWidget(WindowMain);
  if (main) gtk_window_set_transient_for(GTK_WINDOW(window), GTK_WINDOW(main));
  gtk_window_set_destroy_with_parent(GTK_WINDOW(window), TRUE);
  RegisterWindow(WindowHubKeyway, window);

  const int width = LayoutFieldX + LayoutFieldWidth + 20;
  gtk_window_set_default_size(GTK_WINDOW(window), width, 100);
  GtkWidget* fixed = gtk_fixed_new();
  gtk_container_add(GTK_CONTAINER(window), fixed);

  int buttonRowY = PlaceFormRows(fixed, kRows, 10) - (LayoutFieldHeight + 16);
  MakeHeading(ControlWidget(GadgetHubLabel1));
  MakeHeading(ControlWidget(GadgetHubLabel2));
  ApplyToolTips(kToolTips);

  GtkAccelGroup* group = gtk_accel_group_new();
  gtk_window_add_accel_group(GTK_WINDOW(window), group);
  g_object_unref(group);
  AddMenuShortcut(group, GDK_KEY_F1, static_cast<GdkModifierType>(0), static_cast<int>(MenuItem::Help));

  PopulateHubWindowControls(GtkStore());
  gtk_window_set_default_size(GTK_WINDOW(window), width, buttonRowY + LayoutFieldHeight + 16);
  gtk_widget_show_all(fixed);
}

}  // namespace kovrex
