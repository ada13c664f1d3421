// Font-derived layout metrics and the size rules of the main window.
#include "app/gtk/layout_metrics.h"

#include <algorithm>
#include <cmath>

#include "numbers/number_text.h"
#include "text/texts.h"

namespace kovrex {

int LayoutLineHeight = 15;
int LayoutFieldHeight = 33;
int LayoutRowPitch = 38;
int LayoutFieldX = 150;
int LayoutFieldWidth = 150;
int LayoutFieldHalfWidth = 72;
int LayoutRightColumnWidth = 318;
int CanvasLeft = 356;
int ReportEditorTop = 0;

namespace {

constexpr int kMainWindowHeight = 860;
constexpr int kMonitorMargin = 80;  // room for panels and the title bar
constexpr int kReportWish = 208;

// Pixel size of a text in the control font, measured on a small scratch image.
void MeasureText(const std::string& text, double& width, double& height) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 16, 16);
  cairo_t* cr = cairo_create(surface);
  PangoLayout* layout = pango_cairo_create_layout(cr);
  // The widgets are laid out at the screen's resolution; the scratch image must be too.
  GdkScreen* screen = gdk_screen_get_default();
  double dpi = screen ? gdk_screen_get_resolution(screen) : -1.0;
  if (dpi > 0) pango_cairo_context_set_resolution(pango_layout_get_context(layout), dpi);
  pango_layout_context_changed(layout);

  gchar* fontName = nullptr;
  GtkSettings* settings = gtk_settings_get_default();
  if (settings) g_object_get(settings, "gtk-font-name", &fontName, nullptr);
  PangoFontDescription* font = pango_font_description_from_string(fontName ? fontName : "Sans 10");
  g_free(fontName);
  pango_layout_set_font_description(layout, font);
  pango_font_description_free(font);

  pango_layout_set_text(layout, text.c_str(), -1);
  PangoRectangle logical;
  pango_layout_get_extents(layout, nullptr, &logical);
  width = static_cast<double>(logical.width) / PANGO_SCALE;
  height = static_cast<double>(logical.height) / PANGO_SCALE;
  g_object_unref(layout);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

}  // namespace

void SetLayoutMetrics(int lineHeight, int widestLabelWidth) {
  // A font that measures under 10 pixels is taken as unusable (no font, a broken
  // font configuration): the layout then falls back to a normal 15-pixel line.
  LayoutLineHeight = lineHeight < 10 ? 15 : lineHeight;
  LayoutFieldHeight = LayoutLineHeight + 18;
  LayoutRowPitch = LayoutFieldHeight + 5;
  LayoutFieldX = widestLabelWidth + 22;
  LayoutFieldWidth = (150 * LayoutLineHeight + 14) / 15;  // ceiling of 150 * h / 15
  LayoutFieldHalfWidth = (LayoutFieldWidth - 6) / 2;
  LayoutRightColumnWidth = LayoutFieldX + LayoutFieldWidth + 18;
  CanvasLeft = LayoutRightColumnWidth + 38;
}

int MeasureTextWidth(const std::string& text) {
  double w = 0, h = 0;
  MeasureText(text, w, h);
  return static_cast<int>(RoundHalfAwayFromZero(w));
}

int MeasureTextHeight(const std::string& text) {
  double w = 0, h = 0;
  MeasureText(text, w, h);
  return static_cast<int>(RoundHalfAwayFromZero(h));
}

void ComputeUiLayoutMetrics(const std::vector<std::string>& labels) {
  int widest = 0;
  for (const std::string& label : labels) widest = std::max(widest, MeasureTextWidth(label));
  SetLayoutMetrics(MeasureTextHeight("Ag"), widest);
}

std::vector<std::string> LongestFormLabels() {
  const TextId ids[] = {TextId::WinMainPressureAngle,   TextId::WinMainHelixAngleHand,
                        TextId::WinMainRatio,           TextId::WinMainProfileShiftX1,
                        TextId::WinMainBores,           TextId::WinMainTolerance,
                        TextId::WinMainZ1MinToothDiff,  TextId::WinMainThicknessAllowance};
  std::vector<std::string> labels;
  for (TextId id : ids) labels.push_back(Tx(id));
  return labels;
}

double ListFontScale() { return LayoutLineHeight / 15.0; }

void PlaceWidget(GtkWidget* container, GtkWidget* widget, int x, int y, int width, int height) {
  gtk_widget_set_size_request(widget, std::max(width, 1), std::max(height, 1));
  if (GTK_IS_LAYOUT(container)) {
    gtk_layout_put(GTK_LAYOUT(container), widget, x, y);
  } else {
    gtk_fixed_put(GTK_FIXED(container), widget, x, y);
  }
}

namespace {
gboolean QueueResizeOnce(gpointer data) {
  GtkWidget* container = GTK_WIDGET(data);
  g_object_set_data(G_OBJECT(container), "kovrex-relayout", nullptr);
  gtk_widget_queue_resize(container);
  g_object_unref(container);
  return G_SOURCE_REMOVE;
}
}  // namespace

void ResizeChildIfChanged(GtkWidget* container, GtkWidget* child, int width, int height) {
  if (!child) return;
  width = std::max(width, 1);
  height = std::max(height, 1);
  int w = -1, h = -1;
  gtk_widget_get_size_request(child, &w, &h);
  if (w == width && h == height) return;
  gtk_widget_set_size_request(child, width, height);
  if (!container || g_object_get_data(G_OBJECT(container), "kovrex-relayout")) return;
  g_object_set_data(G_OBJECT(container), "kovrex-relayout", GINT_TO_POINTER(1));
  g_idle_add(QueueResizeOnce, g_object_ref(container));
}

GtkWidget* AddFormLabel(GtkWidget* container, int rowY, const std::string& text) {
  GtkWidget* label = gtk_label_new(text.c_str());
  gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
  // A label longer than its column is cut with "..." instead of pushing into the field.
  gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
  PlaceWidget(container, label, 10, rowY + (LayoutFieldHeight - LayoutLineHeight) / 2, LayoutFieldX - 12,
              LayoutLineHeight + 4);
  return label;
}

int MonitorHeight() {
  GdkDisplay* display = gdk_display_get_default();
  if (!display) return 0;
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
  if (!monitor && gdk_display_get_n_monitors(display) > 0) monitor = gdk_display_get_monitor(display, 0);
  if (!monitor) return 0;
  GdkRectangle geometry;
  gdk_monitor_get_geometry(monitor, &geometry);
  return geometry.height;
}

// A monitor of 80 pixels or less would give a window height of zero or less.
int MainWindowInitialHeight(int monitorHeight) {
  if (monitorHeight - kMonitorMargin > 0) return std::min(kMainWindowHeight, monitorHeight - kMonitorMargin);
  return kMainWindowHeight;
}

WindowGrowth MainWindowGrowth(int reportEditorTop, int currentHeight, int monitorHeight) {
  WindowGrowth g;
  int wanted = reportEditorTop + kReportWish;
  if (monitorHeight - kMonitorMargin > 0) wanted = std::min(wanted, monitorHeight - kMonitorMargin);
  if (wanted <= currentHeight) return g;
  g.grow = true;
  g.height = wanted;
  g.y = std::max(0, (monitorHeight - wanted) / 2 - 20);
  return g;
}

MainLayoutSizes ComputeMainLayoutSizes(int width, int height) {
  MainLayoutSizes s;
  s.scrollAreaHeight = height;
  s.reportHeight = std::max(120, height - ReportEditorTop - 8);
  s.scrollInnerHeight = ReportEditorTop + s.reportHeight + 8;
  s.canvasWidth = std::max(50, width - CanvasLeft - 12);
  s.canvasHeight = std::max(50, height - 16);
  return s;
}

}  // namespace kovrex
