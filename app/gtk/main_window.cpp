// Builds the main window from its row tables and keeps its layout fitted to the
// window size. Positions follow the layout metrics; GTK only draws.
#include "app/gtk/main_window.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <string>

#include "app/control_defaults.h"
#include "app/controls.h"
#include "app/gtk/form_rows.h"
#include "app/gtk/gtk_control_store.h"
#include "app/gtk/gtk_services.h"
#include "app/gtk/layout_metrics.h"
#include "numbers/number_text.h"
#include "text/texts.h"

namespace kovrex {
namespace {

constexpr int kMainWindowWidth = 1280;

struct MainWindowParts {
  GtkWidget* window = nullptr;
  GtkWidget* layout = nullptr;       // the window's content: free positions, no size of its own
  GtkWidget* scrollInner = nullptr;  // GtkFixed inside the scroll area
  int builtWidth = 0, builtHeight = 0;
};
MainWindowParts g_main;

const FormRow kPairPage[] = {
    {RowKind::Field, TextId::WinMainCentreDistance, GadgetPairCentreDistance},
    {RowKind::Field, TextId::WinMainRatio, GadgetPairRatio},
    {RowKind::Field, TextId::WinMainPressureAngle, GadgetPairPressureAngle},
    {RowKind::Halves, TextId::WinMainHelixAngleHand, GadgetPairHelixAngle, GadgetPairHand},
    {RowKind::Wide, TextId::WinMainPairSearchBeta, GadgetPairSearchBeta},
    {RowKind::Field, TextId::WinMainTolerance, GadgetPairTolerance},
    {RowKind::Halves, TextId::WinMainSumXMinMax, GadgetPairSumXMin, GadgetPairSumXMax},
    {RowKind::Field, TextId::WinMainZMin, GadgetPairZMin},
    {RowKind::Wide, TextId::WinMainSeries2, GadgetPairSeries2},
    {RowKind::Wide, TextId::WinMainCalculateModules, GadgetPairSearch, -1, kNoText, /*extraAdvance=*/6},
    {RowKind::Wide, kNoText, GadgetPairResults},
    {RowKind::HalfAndText, TextId::WinMainProfileShiftX1, GadgetPairX1, GadgetPairX2Text},
    {RowKind::Field, TextId::WinMainFaceWidth, GadgetPairFaceWidth},
    {RowKind::Field, TextId::WinMainBacklash, GadgetPairBacklash},
    {RowKind::Halves, TextId::WinMainBores, GadgetPairBore1, GadgetPairBore2},
};

const FormRow kSinglePage[] = {
    {RowKind::Field, TextId::WinMainModule, GadgetSingleModule},
    {RowKind::Field, TextId::WinMainTeeth, GadgetSingleTeeth},
    {RowKind::Field, TextId::WinMainProfileShiftX, GadgetSingleProfileShift},
    {RowKind::Field, TextId::WinMainPressureAngle, GadgetSinglePressureAngle},
    {RowKind::Halves, TextId::WinMainHelixAngleHand, GadgetSingleHelixAngle, GadgetSingleHand},
    {RowKind::Field, TextId::WinMainFaceWidth, GadgetSingleFaceWidth},
    {RowKind::Field, TextId::WinMainThicknessAllowance, GadgetSingleThicknessAllowance},
    {RowKind::Field, TextId::WinMainBore, GadgetSingleBore},
    {RowKind::Note, TextId::WinMainSingleNote, -1, -1, kNoText, 0, /*lines=*/4},
};

const FormRow kRackPage[] = {
    {RowKind::Field, TextId::WinMainModule, GadgetRackModule},
    {RowKind::Field, TextId::WinMainPinionTeeth, GadgetRackPinionTeeth},
    {RowKind::Field, TextId::WinMainProfileShiftX, GadgetRackProfileShift},
    {RowKind::Field, TextId::WinMainPressureAngle, GadgetRackPressureAngle},
    {RowKind::Halves, TextId::WinMainHelixAngleHand, GadgetRackHelixAngle, GadgetRackHand},
    {RowKind::Field, TextId::WinMainFaceWidth, GadgetRackFaceWidth},
    {RowKind::Field, TextId::WinMainPinionBore, GadgetRackPinionBore},
    {RowKind::Field, TextId::WinMainBacklash, GadgetRackBacklash},
    {RowKind::Field, TextId::WinMainRackTeeth, GadgetRackTeeth},
    {RowKind::Field, TextId::WinMainRackHeight, GadgetRackHeight},
};

const FormRow kInternalPage[] = {
    {RowKind::Field, TextId::WinMainCentreDistance, GadgetInternalCentreDistance},
    {RowKind::Field, TextId::WinMainRatio, GadgetInternalRatio},
    {RowKind::Field, TextId::WinMainPressureAngle, GadgetInternalPressureAngle},
    {RowKind::Halves, TextId::WinMainHelixAngleHand, GadgetInternalHelixAngle, GadgetInternalHand},
    {RowKind::Wide, TextId::WinMainInternalSearchBeta, GadgetInternalSearchBeta},
    {RowKind::Field, TextId::WinMainTolerance, GadgetInternalTolerance},
    {RowKind::Halves, TextId::WinMainDeltaXMinMax, GadgetInternalDeltaXMin, GadgetInternalDeltaXMax},
    {RowKind::Halves, TextId::WinMainZ1MinToothDiff, GadgetInternalZ1Min, GadgetInternalToothDiffMin},
    {RowKind::Wide, TextId::WinMainSeries2, GadgetInternalSeries2},
    {RowKind::Wide, TextId::WinMainCalculateModules, GadgetInternalSearch},
    {RowKind::Wide, kNoText, GadgetInternalResults},
    {RowKind::HalfAndText, TextId::WinMainProfileShiftX1, GadgetInternalX1, GadgetInternalX2Text},
    {RowKind::Field, TextId::WinMainFaceWidth, GadgetInternalFaceWidth},
    {RowKind::Field, TextId::WinMainBacklash, GadgetInternalBacklash},
    {RowKind::Halves, TextId::WinMainPinionBoreRingRim, GadgetInternalPinionBore, GadgetInternalRingRim},
    {RowKind::Wide, TextId::WinMainShortenTip, GadgetInternalShortenTip},
};

struct Page {
  TextId tab;
  const FormRow* rows;
  size_t count;
};
const Page kPages[] = {
    {TextId::WinMainTabPair, kPairPage, std::size(kPairPage)},
    {TextId::WinMainTabSingle, kSinglePage, std::size(kSinglePage)},
    {TextId::WinMainTabRack, kRackPage, std::size(kRackPage)},
    {TextId::WinMainTabInternal, kInternalPage, std::size(kInternalPage)},
};

const ToolTip kToolTips[] = {
    {GadgetPairHelixAngle, TextId::WinMainTipHelixAngle},
    {GadgetPairSearchBeta, TextId::WinMainTipPairSearchBeta},
    {GadgetRackHand, TextId::WinMainTipRackHand},
    {GadgetRackHeight, TextId::WinMainTipRackHeight},
    {GadgetSpeed, TextId::WinMainTipSpeed},
    {GadgetLineOfAction, TextId::WinMainTipLineOfAction},
    {GadgetStlTolerance, TextId::WinMainTipStlTolerance},
    {GadgetToolOpen, TextId::WinMainTipOpen},
    {GadgetToolSave, TextId::WinMainTipSave},
    {GadgetToolHelp, TextId::WinMainTipHelp},
    {GadgetInternalHelixAngle, TextId::WinMainTipHelixAngle},
    {GadgetInternalHand, TextId::WinMainTipInternalHand},
    {GadgetInternalZ1Min, TextId::WinMainTipZ1Min},
    {GadgetInternalToothDiffMin, TextId::WinMainTipToothDiffMin},
    {GadgetInternalPinionBore, TextId::WinMainTipPinionBore},
    {GadgetInternalRingRim, TextId::WinMainTipRingRim},
    {GadgetInternalShortenTip, TextId::WinMainTipShortenTip},
    {GadgetStrengthButton, TextId::WinMainTipStrength},
    {GadgetHubKeywayButton, TextId::WinMainTipHubKey},
};

// Column titles of a result list, '\n' between them; list 66 has Δx where 13 has Σx.
std::string ResultColumns(TextId shiftColumn) {
  const TextId ids[] = {TextId::WinMainColumnModule, TextId::WinMainColumnZ1,  TextId::WinMainColumnZ2,
                        TextId::WinMainColumnRatio,  TextId::WinMainColumnRatioDeviation, shiftColumn,
                        TextId::WinMainColumnHelix};
  std::string titles;
  for (TextId id : ids) {
    if (!titles.empty()) titles += '\n';
    titles += Tx(id);
  }
  return titles;
}

void SetResultColumnWidths(int control) {
  const double widths[] = {42, 34, 34, 46, 44, 48, 48};
  GtkWidget* view = ControlWidget(control);
  for (int c = 0; c < 7; ++c) {
    GtkTreeViewColumn* column = gtk_tree_view_get_column(GTK_TREE_VIEW(view), c);
    if (column)
      gtk_tree_view_column_set_fixed_width(column,
                                           static_cast<int>(RoundHalfAwayFromZero(widths[c] * ListFontScale())));
  }
}

// The list views are created before the rows that place them, because their
// column titles are not form captions.
void CreateResultLists() {
  CreateControlWidget(GadgetPairResults, ResultColumns(TextId::WinMainColumnSumX));
  CreateControlWidget(GadgetInternalResults, ResultColumns(TextId::WinMainColumnDeltaX));
  SetResultColumnWidths(GadgetPairResults);
  SetResultColumnWidths(GadgetInternalResults);
}

void PlaceCreated(GtkWidget* container, int control, int x, int y, int w, int h) {
  GtkWidget* widget = PlacedWidget(control);
  if (widget && !gtk_widget_get_parent(widget)) PlaceWidget(container, widget, x, y, w, h);
}

void Place(GtkWidget* container, int control, TextId caption, int x, int y, int w, int h) {
  GtkWidget* widget = CreateControlWidget(control, caption == kNoText ? "" : Tx(caption));
  if (widget) PlaceWidget(container, widget, x, y, w, h);
}

// Rows of the page tables place every control except the lists, which exist already.
int PlacePageRows(GtkWidget* page, const FormRow* rows, size_t count) {
  int y = 8;
  for (size_t i = 0; i < count; ++i) {
    const FormRow& row = rows[i];
    if (row.kind == RowKind::Wide && ControlKindOf(row.first) == ControlKind::ListView) {
      PlaceCreated(page, row.first, 10, y, WideControlWidth(), ListViewHeight());
      y += ListViewHeight() + 8;
    } else {
      y = PlaceFormRows(page, &row, 1, y);
    }
  }
  return y;
}

// Height of the tab headers as GTK draws them; a value GTK cannot give sensibly
// is replaced by a field height plus a margin.
int TabHeaderHeight(GtkWidget* notebook, int pageHeight) {
  int minimum = 0, natural = 0;
  gtk_widget_get_preferred_height(notebook, &minimum, &natural);
  int header = natural - pageHeight;
  if (natural <= 0 || header <= 0 || header > 6 * LayoutFieldHeight) header = LayoutFieldHeight + 16;
  return header;
}

// Returns the panel's height.
int BuildTabPanel(GtkWidget* inner) {
  GtkWidget* notebook = gtk_notebook_new();
  RegisterControl(GadgetTabPanel, ControlWidgets{notebook});
  GtkWidget* pages[4];
  int tallest = 0;
  for (int i = 0; i < 4; ++i) {
    pages[i] = gtk_fixed_new();
    gtk_notebook_append_page(GTK_NOTEBOOK(notebook), pages[i], gtk_label_new(Tx(kPages[i].tab)));
    tallest = std::max(tallest, PlacePageRows(pages[i], kPages[i].rows, kPages[i].count));
  }
  for (GtkWidget* page : pages) gtk_widget_set_size_request(page, -1, tallest);
  PlaceWidget(inner, notebook, 8, LayoutFieldHeight + 20, LayoutRightColumnWidth, tallest);
  gtk_widget_show_all(notebook);
  int height = tallest + TabHeaderHeight(notebook, tallest) + 6;
  gtk_widget_set_size_request(notebook, LayoutRightColumnWidth, height);
  return height;
}

void BuildToolBar(GtkWidget* inner) {
  const int rcw = LayoutRightColumnWidth;
  const int w4 = (rcw - 18) / 4;
  const int h = LayoutFieldHeight + 4;
  Place(inner, GadgetToolOpen, TextId::WinMainOpen, 8, 8, w4, h);
  Place(inner, GadgetToolSave, TextId::WinMainSave, w4 + 14, 8, w4, h);
  Place(inner, GadgetToolSaveAs, TextId::WinMainSaveAs, 2 * w4 + 20, 8, w4, h);
  Place(inner, GadgetToolHelp, TextId::WinMainHelp, rcw - w4 + 8, 8, w4, h);
}

// Rows under the tab panel; returns the y after the STL row (the report's top).
int BuildCommonRows(GtkWidget* inner, int y) {
  const int rcw = LayoutRightColumnWidth;
  const int fh = LayoutFieldHeight;
  auto part = [rcw](double share) { return static_cast<int>(RoundHalfAwayFromZero(share * rcw)); };

  Place(inner, GadgetRotate, TextId::WinMainRotate, 8, y, part(0.4), fh);
  Place(inner, GadgetSpeed, kNoText, 8 + part(0.4), y, rcw - part(0.4), fh);
  y += LayoutRowPitch + 2;

  Place(inner, GadgetLineOfAction, TextId::WinMainLineOfAction, 8, y, part(0.42), fh);
  Place(inner, GadgetStrengthButton, TextId::WinMainStrength, 8 + part(0.42), y, part(0.29), fh);
  Place(inner, GadgetHubKeywayButton, TextId::WinMainHubKey, 8 + part(0.71), y, part(0.29) - 2, fh);
  y += LayoutRowPitch + 2;

  Place(inner, GadgetExportChoice, kNoText, 8, y, rcw, fh);
  y += LayoutRowPitch + 2;

  const int w3 = (rcw - 12) / 3;
  Place(inner, GadgetExportDxf, TextId::WinMainExportDxf, 8, y, w3, fh + 6);
  Place(inner, GadgetExportStep, TextId::WinMainExportStep, w3 + 14, y, w3, fh + 6);
  Place(inner, GadgetExportStl, TextId::WinMainExportStl, 8 + rcw - w3, y, w3, fh + 6);
  y += fh + 12;

  RememberFormLabel(GadgetStlTolerance, AddFormLabel(inner, y, Tx(TextId::WinMainStlTolerance)));
  Place(inner, GadgetStlTolerance, kNoText, 8 + LayoutFieldX, y, LayoutFieldHalfWidth, fh);
  y += LayoutRowPitch + 6;
  return y;
}

// The input column scrolls by whole rows, as the form is built of rows.
gboolean OnScrollAreaWheel(GtkWidget* scrolled, GdkEventScroll* event, gpointer) {
  GtkAdjustment* adj = gtk_scrolled_window_get_vadjustment(GTK_SCROLLED_WINDOW(scrolled));
  double delta = 0;
  if (event->direction == GDK_SCROLL_UP) delta = -1;
  else if (event->direction == GDK_SCROLL_DOWN) delta = 1;
  else if (event->direction == GDK_SCROLL_SMOOTH) delta = event->delta_y;
  else return FALSE;
  double top = gtk_adjustment_get_upper(adj) - gtk_adjustment_get_page_size(adj);
  double value = std::clamp(gtk_adjustment_get_value(adj) + delta * LayoutRowPitch, 0.0, std::max(0.0, top));
  gtk_adjustment_set_value(adj, value);
  return TRUE;
}

void OnScrollAdjustmentChanged(GtkAdjustment* adj, gpointer) {
  if (gtk_adjustment_get_step_increment(adj) != LayoutRowPitch) gtk_adjustment_set_step_increment(adj, LayoutRowPitch);
}

void BuildScrollArea() {
  GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_NEVER, GTK_POLICY_AUTOMATIC);
  g_main.scrollInner = gtk_fixed_new();
  gtk_widget_set_size_request(g_main.scrollInner, LayoutRightColumnWidth + 16, 3000);
  gtk_container_add(GTK_CONTAINER(scrolled), g_main.scrollInner);
  gtk_viewport_set_shadow_type(GTK_VIEWPORT(gtk_bin_get_child(GTK_BIN(scrolled))), GTK_SHADOW_NONE);
  RegisterControl(GadgetInputScrollArea, ControlWidgets{scrolled});
  g_signal_connect(scrolled, "scroll-event", G_CALLBACK(OnScrollAreaWheel), nullptr);
  GtkAdjustment* adj = gtk_scrolled_window_get_vadjustment(GTK_SCROLLED_WINDOW(scrolled));
  g_signal_connect(adj, "changed", G_CALLBACK(OnScrollAdjustmentChanged), nullptr);
  PlaceWidget(g_main.layout, scrolled, 0, 0, CanvasLeft, g_main.builtHeight);
}

void OnLayoutAllocated(GtkWidget*, GdkRectangle*, gpointer) { LayoutMainWindowOnResize(); }

void AddShortcuts(GtkWidget* window) {
  GtkAccelGroup* group = gtk_accel_group_new();
  gtk_window_add_accel_group(GTK_WINDOW(window), group);
  g_object_unref(group);
  AddMenuShortcut(group, GDK_KEY_F1, static_cast<GdkModifierType>(0), static_cast<int>(MenuItem::Help));
  AddMenuShortcut(group, GDK_KEY_o, GDK_CONTROL_MASK, static_cast<int>(MenuItem::OpenProject));
  AddMenuShortcut(group, GDK_KEY_s, GDK_CONTROL_MASK, static_cast<int>(MenuItem::SaveProject));
}

}  // namespace

void BuildMainWindow() {
  ProgramSideGuard guard;
  ComputeUiLayoutMetrics(LongestFormLabels());

  const int monitorHeight = MonitorHeight();
  g_main = MainWindowParts{};
  g_main.builtWidth = kMainWindowWidth;
  g_main.builtHeight = MainWindowInitialHeight(monitorHeight);
  g_main.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(g_main.window), g_main.builtWidth, g_main.builtHeight);
  gtk_window_move(GTK_WINDOW(g_main.window), 0, 0);
  RegisterWindow(WindowMain, g_main.window);

  g_main.layout = gtk_layout_new(nullptr, nullptr);
  // The minimum size of the window; the layout itself asks for nothing more, so the
  // window can be made smaller than the controls' extent.
  gtk_widget_set_size_request(g_main.layout, CanvasLeft + 400, 420);
  gtk_container_add(GTK_CONTAINER(g_main.window), g_main.layout);

  BuildScrollArea();
  GtkWidget* inner = g_main.scrollInner;
  CreateResultLists();
  BuildToolBar(inner);
  int panelHeight = BuildTabPanel(inner);
  ReportEditorTop = BuildCommonRows(inner, LayoutFieldHeight + 20 + panelHeight + 8);
  Place(inner, GadgetReport, kNoText, 8, ReportEditorTop, LayoutRightColumnWidth - 8,
        std::max(120, g_main.builtHeight - ReportEditorTop - 8));
  Place(g_main.layout, GadgetCanvas, kNoText, CanvasLeft + 4, 8,
        std::max(50, g_main.builtWidth - CanvasLeft - 12), std::max(50, g_main.builtHeight - 16));

  ApplyToolTips(kToolTips);
  BuildHelpPopupMenu(g_main.window);
  AddShortcuts(g_main.window);
  PopulateMainWindowControls(GtkStore());

  WindowGrowth growth = MainWindowGrowth(ReportEditorTop, g_main.builtHeight, monitorHeight);
  if (growth.grow) {
    g_main.builtHeight = growth.height;
    gtk_window_set_default_size(GTK_WINDOW(g_main.window), g_main.builtWidth, g_main.builtHeight);
    gtk_window_move(GTK_WINDOW(g_main.window), 0, growth.y);
  }

  g_signal_connect(g_main.layout, "size-allocate", G_CALLBACK(OnLayoutAllocated), nullptr);
  gtk_widget_show_all(g_main.layout);
  LayoutMainWindowOnResize();
}

void LayoutMainWindowOnResize() {
  if (!g_main.layout) return;
  int width = g_main.builtWidth, height = g_main.builtHeight;
  if (gtk_widget_get_realized(g_main.layout)) {
    width = gtk_widget_get_allocated_width(g_main.layout);
    height = gtk_widget_get_allocated_height(g_main.layout);
  }
  MainLayoutSizes s = ComputeMainLayoutSizes(width, height);
  ResizeChildIfChanged(g_main.layout, PlacedWidget(GadgetInputScrollArea), CanvasLeft, s.scrollAreaHeight);
  ResizeChildIfChanged(g_main.layout, PlacedWidget(GadgetReport), LayoutRightColumnWidth - 8, s.reportHeight);
  ResizeChildIfChanged(g_main.layout, g_main.scrollInner, LayoutRightColumnWidth + 16, s.scrollInnerHeight);
  ResizeChildIfChanged(g_main.layout, PlacedWidget(GadgetCanvas), s.canvasWidth, s.canvasHeight);
  GtkWidget* canvas = ControlWidget(GadgetCanvas);
  if (canvas) gtk_widget_queue_draw(canvas);
}

void MainWindowBuiltSize(int& width, int& height) {
  width = g_main.builtWidth;
  height = g_main.builtHeight;
}

}  // namespace kovrex
