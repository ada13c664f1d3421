// GTK back end of the control store: each numbered control is one widget, read and
// written by its kind; user signals become control events. Not for: placement of
// the widgets in their windows.
#include "app/gtk/gtk_control_store.h"

#include <cmath>
#include <vector>

#include "app/app_state.h"
#include "app/canvas.h"
#include "numbers/number_text.h"

namespace kovrex {
namespace {

int g_guardDepth = 0;
EventSinks g_sinks;
std::array<ControlWidgets, kGadgetCount> g_controls;
std::array<GtkWidget*, 3> g_windows = {nullptr, nullptr, nullptr};
const ControlWidgets kNoWidgets;
double g_smoothScrollRest = 0.0;

bool IsControlNumber(int control) { return control >= 0 && control < kGadgetCount; }

// GTK refuses text that is not UTF-8 (a project file may hold any bytes).
std::string ValidUtf8(const std::string& text) {
  if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) return text;
  gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
  std::string result = valid;
  g_free(valid);
  return result;
}

std::string TakeString(gchar* text) {
  std::string s = text ? text : "";
  g_free(text);
  return s;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      parts.push_back(text.substr(start));
      return parts;
    }
    parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
}

void FinishUserEvent() {
  if (QuitRequested == 1 && gtk_main_level() > 0) gtk_main_quit();
}

gpointer ControlData(int control) { return GINT_TO_POINTER(control); }
int ControlOf(gpointer data) { return GPOINTER_TO_INT(data); }

void SendSimple(int control, EventKind kind) {
  ControlEvent event;
  event.control = control;
  event.kind = kind;
  SendControlEvent(event);
}

// ---- signal handlers: each returns at once while the guard is held (inside Send*)

void OnChanged(GtkWidget*, gpointer data) { SendSimple(ControlOf(data), EventKind::Change); }
void OnClicked(GtkButton*, gpointer data) { SendSimple(ControlOf(data), EventKind::Activate); }
void OnSelectionChanged(GtkTreeSelection*, gpointer data) { SendSimple(ControlOf(data), EventKind::Change); }
void OnSwitchPage(GtkNotebook*, GtkWidget*, guint, gpointer data) {
  SendSimple(ControlOf(data), EventKind::Change);
}

gboolean OnListButtonRelease(GtkWidget*, GdkEventButton* event, gpointer data) {
  if (event->button == GDK_BUTTON_PRIMARY) SendSimple(ControlOf(data), EventKind::LeftClick);
  return FALSE;
}

void SendCanvasEvent(int control, EventKind kind, double x, double y, int wheel = 0) {
  ControlEvent event;
  event.control = control;
  event.kind = kind;
  event.mouseX = x;
  event.mouseY = y;
  event.wheelDelta = wheel;
  SendControlEvent(event);
}

gboolean OnCanvasDraw(GtkWidget* widget, cairo_t* cr, gpointer) {
  PaintCanvas(cr, gtk_widget_get_allocated_width(widget), gtk_widget_get_allocated_height(widget));
  return TRUE;
}

gboolean OnCanvasButtonPress(GtkWidget*, GdkEventButton* event, gpointer data) {
  if (event->button != GDK_BUTTON_PRIMARY) return FALSE;
  // A double click arrives as press, release, press, double press, release: the
  // two plain presses start (empty) drags, the double press fits the view.
  EventKind kind = event->type == GDK_2BUTTON_PRESS ? EventKind::LeftDouble : EventKind::LeftDown;
  if (event->type == GDK_3BUTTON_PRESS) return TRUE;
  SendCanvasEvent(ControlOf(data), kind, event->x, event->y);
  return TRUE;
}

gboolean OnCanvasButtonRelease(GtkWidget*, GdkEventButton* event, gpointer data) {
  if (event->button != GDK_BUTTON_PRIMARY) return FALSE;
  SendCanvasEvent(ControlOf(data), EventKind::LeftUp, event->x, event->y);
  return TRUE;
}

gboolean OnCanvasMotion(GtkWidget*, GdkEventMotion* event, gpointer data) {
  SendCanvasEvent(ControlOf(data), EventKind::MouseMove, event->x, event->y);
  return TRUE;
}

gboolean OnCanvasScroll(GtkWidget*, GdkEventScroll* event, gpointer data) {
  int steps = 0;
  switch (event->direction) {
    case GDK_SCROLL_UP: steps = 1; break;
    case GDK_SCROLL_DOWN: steps = -1; break;
    case GDK_SCROLL_SMOOTH:
      // Touchpads send fractions of a step; whole steps are passed on as they add up.
      g_smoothScrollRest -= event->delta_y;
      steps = static_cast<int>(std::trunc(g_smoothScrollRest));
      g_smoothScrollRest -= steps;
      break;
    default: break;
  }
  if (steps != 0) SendCanvasEvent(ControlOf(data), EventKind::MouseWheel, event->x, event->y, steps);
  return TRUE;
}

// Whether the keyboard focus of the control's window is on the control or inside
// it (a combo's focus sits on its button, an editable combo's in its entry).
bool HoldsKeyboardFocus(GtkWidget* widget) {
  GtkWidget* top = gtk_widget_get_toplevel(widget);
  if (!GTK_IS_WINDOW(top)) return false;
  GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(top));
  return focus != nullptr && (focus == widget || gtk_widget_is_ancestor(focus, widget));
}

// A wheel step over a slider or combo is, unless the user gave that control the
// focus, meant for the input column it passes over: moving the value (and marking
// the project modified) would surprise. The control's own wheel handler is
// skipped and the step goes on to the parents, where the column scrolls by its
// row rule; outside the column nothing takes it. A focused control keeps its wheel.
gboolean OnValueControlScroll(GtkWidget* widget, GdkEventScroll*, gpointer) {
  if (HoldsKeyboardFocus(widget)) return FALSE;
  g_signal_stop_emission_by_name(widget, "scroll-event");
  return FALSE;
}

gboolean OnCanvasEnter(GtkWidget*, GdkEventCrossing* event, gpointer data) {
  SendCanvasEvent(ControlOf(data), EventKind::MouseEnter, event->x, event->y);
  return FALSE;
}

gboolean OnWindowDelete(GtkWidget*, GdkEvent*, gpointer data) {
  SendWindowClose(GPOINTER_TO_INT(data));
  return TRUE;  // never let GTK destroy a window: windows 1 and 2 are only hidden
}

void ConnectSignals(int control, const ControlWidgets& w) {
  GtkWidget* widget = w.widget;
  gpointer data = ControlData(control);
  switch (ControlKindOf(control)) {
    case ControlKind::Entry:
      g_signal_connect(widget, "changed", G_CALLBACK(OnChanged), data);
      break;
    case ControlKind::EditableCombo:
      // The entry's "changed" covers typing and picking from the list; the combo's
      // own "changed" as well would report a pick twice.
      g_signal_connect(gtk_bin_get_child(GTK_BIN(widget)), "changed", G_CALLBACK(OnChanged), data);
      g_signal_connect(widget, "scroll-event", G_CALLBACK(OnValueControlScroll), nullptr);
      break;
    case ControlKind::Combo:
      g_signal_connect(widget, "changed", G_CALLBACK(OnChanged), data);
      g_signal_connect(widget, "scroll-event", G_CALLBACK(OnValueControlScroll), nullptr);
      break;
    case ControlKind::CheckBox:
      g_signal_connect(widget, "toggled", G_CALLBACK(OnChanged), data);
      break;
    case ControlKind::TrackBar:
      g_signal_connect(widget, "value-changed", G_CALLBACK(OnChanged), data);
      g_signal_connect(widget, "scroll-event", G_CALLBACK(OnValueControlScroll), nullptr);
      break;
    case ControlKind::ListView:
      g_signal_connect(gtk_tree_view_get_selection(GTK_TREE_VIEW(widget)), "changed",
                       G_CALLBACK(OnSelectionChanged), data);
      g_signal_connect(widget, "button-release-event", G_CALLBACK(OnListButtonRelease), data);
      break;
    case ControlKind::Button:
      g_signal_connect(widget, "clicked", G_CALLBACK(OnClicked), data);
      break;
    case ControlKind::TabPanel:
      // After the default handler, so that the event sees the new page as current.
      g_signal_connect_after(widget, "switch-page", G_CALLBACK(OnSwitchPage), data);
      break;
    case ControlKind::DrawingArea:
      gtk_widget_add_events(widget, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK |
                                        GDK_SCROLL_MASK | GDK_ENTER_NOTIFY_MASK);
      g_signal_connect(widget, "draw", G_CALLBACK(OnCanvasDraw), data);
      g_signal_connect(widget, "button-press-event", G_CALLBACK(OnCanvasButtonPress), data);
      g_signal_connect(widget, "button-release-event", G_CALLBACK(OnCanvasButtonRelease), data);
      g_signal_connect(widget, "motion-notify-event", G_CALLBACK(OnCanvasMotion), data);
      g_signal_connect(widget, "scroll-event", G_CALLBACK(OnCanvasScroll), data);
      g_signal_connect(widget, "enter-notify-event", G_CALLBACK(OnCanvasEnter), data);
      break;
    case ControlKind::TextLabel:
    case ControlKind::ReadOnlyEditor:
    case ControlKind::ScrollArea:
    case ControlKind::None:
      break;
  }
}

// Lets a combo be narrower than its longest entry (material names are long).
void AllowNarrowCombo(GtkWidget* combo) {
  GList* cells = gtk_cell_layout_get_cells(GTK_CELL_LAYOUT(combo));
  for (GList* c = cells; c; c = c->next)
    if (GTK_IS_CELL_RENDERER_TEXT(c->data)) g_object_set(c->data, "ellipsize", PANGO_ELLIPSIZE_END, nullptr);
  g_list_free(cells);
}

GtkWidget* NewScrolled(GtkWidget* child) {
  GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_AUTOMATIC, GTK_POLICY_AUTOMATIC);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scrolled), GTK_SHADOW_IN);
  gtk_container_add(GTK_CONTAINER(scrolled), child);
  return scrolled;
}

void AddCss(GtkWidget* widget, const char* css) {
  GtkCssProvider* provider = gtk_css_provider_new();
  gtk_css_provider_load_from_data(provider, css, -1, nullptr);
  gtk_style_context_add_provider(gtk_widget_get_style_context(widget), GTK_STYLE_PROVIDER(provider),
                                 GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(provider);
}

int ModelRowCount(GtkTreeModel* model) { return gtk_tree_model_iter_n_children(model, nullptr); }

std::string ModelText(GtkTreeModel* model, int row, int column) {
  GtkTreeIter iter;
  if (!gtk_tree_model_iter_nth_child(model, &iter, nullptr, row)) return "";
  gchar* text = nullptr;
  gtk_tree_model_get(model, &iter, column, &text, -1);
  return TakeString(text);
}

std::string ComboItemText(GtkWidget* combo, int index) {
  return ModelText(gtk_combo_box_get_model(GTK_COMBO_BOX(combo)), index, 0);
}

std::string ButtonCaption(GtkWidget* widget) {
  const gchar* label = gtk_button_get_label(GTK_BUTTON(widget));
  return label ? label : "";
}

}  // namespace

// ---- guard and sinks --------------------------------------------------------

ProgramSideGuard::ProgramSideGuard() { ++g_guardDepth; }
ProgramSideGuard::~ProgramSideGuard() { --g_guardDepth; }
bool ProgramSideGuardHeld() { return g_guardDepth > 0; }

EventSinks& GtkEventSinks() {
  if (!g_sinks.control) ResetGtkEventSinks();
  return g_sinks;
}

void ResetGtkEventSinks() {
  g_sinks.control = DispatchControlEvent;
  g_sinks.menu = DispatchMenuEvent;
  g_sinks.windowClose = DispatchWindowClose;
  g_sinks.timer = DispatchTimerEvent;
}

void SendControlEvent(const ControlEvent& event) {
  if (ProgramSideGuardHeld()) return;
  GtkEventSinks().control(event);
  FinishUserEvent();
}

void SendMenuEvent(MenuItem item) {
  if (ProgramSideGuardHeld()) return;
  GtkEventSinks().menu(item);
  FinishUserEvent();
}

void SendWindowClose(int window) {
  if (ProgramSideGuardHeld()) return;
  GtkEventSinks().windowClose(window);
  FinishUserEvent();
}

void SendTimerEvent(int timer) {
  if (ProgramSideGuardHeld()) return;
  GtkEventSinks().timer(timer);
  FinishUserEvent();
}

// ---- registration -----------------------------------------------------------

void RegisterControl(int control, const ControlWidgets& widgets) {
  if (!IsControlNumber(control) || !widgets.widget) return;
  ControlWidgets w = widgets;
  if (!w.outer) w.outer = w.widget;
  g_controls[control] = w;
  ConnectSignals(control, w);
}

GtkWidget* CreateControlWidget(int control, const std::string& caption) {
  ProgramSideGuard guard;
  ControlWidgets w;
  switch (ControlKindOf(control)) {
    case ControlKind::Entry:
      w.widget = gtk_entry_new();
      // Without this an entry will not be narrower than 150 pixels.
      gtk_entry_set_width_chars(GTK_ENTRY(w.widget), 1);
      break;
    case ControlKind::EditableCombo:
      w.widget = gtk_combo_box_text_new_with_entry();
      gtk_entry_set_width_chars(GTK_ENTRY(gtk_bin_get_child(GTK_BIN(w.widget))), 1);
      AllowNarrowCombo(w.widget);
      break;
    case ControlKind::Combo:
      w.widget = gtk_combo_box_text_new();
      AllowNarrowCombo(w.widget);
      break;
    case ControlKind::CheckBox:
      w.widget = gtk_check_button_new_with_label(ValidUtf8(caption).c_str());
      break;
    case ControlKind::Button: {
      w.widget = gtk_button_new_with_label(ValidUtf8(caption).c_str());
      // The tool-bar buttons are a quarter of the input column wide: with the
      // theme's padding "Opslaan als..." would not fit and push over its neighbour.
      // The caption is centred anyway; one that still does not fit ends in "...".
      AddCss(w.widget, "button { padding-left: 0; padding-right: 0; }");
      GtkWidget* label = gtk_bin_get_child(GTK_BIN(w.widget));
      if (GTK_IS_LABEL(label)) gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
      break;
    }
    case ControlKind::TrackBar:
      w.widget = gtk_scale_new_with_range(GTK_ORIENTATION_HORIZONTAL, 1, 20, 1);
      gtk_scale_set_draw_value(GTK_SCALE(w.widget), FALSE);
      gtk_scale_set_digits(GTK_SCALE(w.widget), 0);
      gtk_range_set_round_digits(GTK_RANGE(w.widget), 0);
      break;
    case ControlKind::TextLabel:
      w.widget = gtk_label_new(ValidUtf8(caption).c_str());
      gtk_label_set_xalign(GTK_LABEL(w.widget), 0.0f);
      gtk_label_set_ellipsize(GTK_LABEL(w.widget), PANGO_ELLIPSIZE_END);
      // The event box gives the label a background of its own (the status line).
      w.outer = gtk_event_box_new();
      gtk_container_add(GTK_CONTAINER(w.outer), w.widget);
      break;
    case ControlKind::ReadOnlyEditor:
      w.widget = gtk_text_view_new();
      gtk_text_view_set_editable(GTK_TEXT_VIEW(w.widget), FALSE);
      gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(w.widget), GTK_WRAP_NONE);
      gtk_text_view_set_left_margin(GTK_TEXT_VIEW(w.widget), 4);
      AddCss(w.widget, "textview { font-family: Monospace; font-size: 9pt; }");
      w.outer = NewScrolled(w.widget);
      break;
    case ControlKind::ListView: {
      std::vector<std::string> titles = SplitLines(caption);
      w.columns = static_cast<int>(titles.size());
      std::vector<GType> types(titles.size(), G_TYPE_STRING);
      w.rows = gtk_list_store_newv(w.columns, types.data());
      w.widget = gtk_tree_view_new_with_model(GTK_TREE_MODEL(w.rows));
      g_object_unref(w.rows);  // the view holds it
      for (int c = 0; c < w.columns; ++c) {
        GtkCellRenderer* cell = gtk_cell_renderer_text_new();
        GtkTreeViewColumn* column =
            gtk_tree_view_column_new_with_attributes(ValidUtf8(titles[c]).c_str(), cell, "text", c, nullptr);
        gtk_tree_view_column_set_sizing(column, GTK_TREE_VIEW_COLUMN_FIXED);
        gtk_tree_view_append_column(GTK_TREE_VIEW(w.widget), column);
      }
      gtk_tree_selection_set_mode(gtk_tree_view_get_selection(GTK_TREE_VIEW(w.widget)), GTK_SELECTION_SINGLE);
      w.outer = NewScrolled(w.widget);
      break;
    }
    case ControlKind::DrawingArea:
      w.widget = gtk_drawing_area_new();
      gtk_widget_set_can_focus(w.widget, TRUE);
      break;
    case ControlKind::TabPanel:
    case ControlKind::ScrollArea:
    case ControlKind::None:
      return nullptr;
  }
  RegisterControl(control, w);
  return g_controls[control].outer;
}

const ControlWidgets& WidgetsOf(int control) { return IsControlNumber(control) ? g_controls[control] : kNoWidgets; }
GtkWidget* ControlWidget(int control) { return WidgetsOf(control).widget; }
GtkWidget* PlacedWidget(int control) { return WidgetsOf(control).outer; }

void RegisterWindow(int window, GtkWidget* gtkWindow) {
  if (window < 0 || window > 2) return;
  g_windows[window] = gtkWindow;
  g_signal_connect(gtkWindow, "delete-event", G_CALLBACK(OnWindowDelete), GINT_TO_POINTER(window));
}

GtkWidget* WindowWidget(int window) { return (window >= 0 && window <= 2) ? g_windows[window] : nullptr; }

void DestroyAllWindows() {
  ProgramSideGuard guard;
  for (ControlWidgets& w : g_controls) {
    if (w.background) g_object_unref(w.background);
    w = ControlWidgets{};
  }
  // Secondary windows first: they are transient for the main window.
  for (int window = 2; window >= 0; --window) {
    if (g_windows[window]) gtk_widget_destroy(g_windows[window]);
    g_windows[window] = nullptr;
  }
}

GtkControlStore& GtkStore() {
  static GtkControlStore store;
  return store;
}

// ---- the store ----------------------------------------------------------------

std::string GtkControlStore::GetText(int control) const {
  GtkWidget* widget = ControlWidget(control);
  if (!widget) return "";
  switch (ControlKindOf(control)) {
    case ControlKind::Entry: return gtk_entry_get_text(GTK_ENTRY(widget));
    case ControlKind::EditableCombo: return gtk_entry_get_text(GTK_ENTRY(gtk_bin_get_child(GTK_BIN(widget))));
    case ControlKind::Combo: {
      int active = gtk_combo_box_get_active(GTK_COMBO_BOX(widget));
      return active < 0 ? "" : ComboItemText(widget, active);
    }
    case ControlKind::TextLabel: return gtk_label_get_text(GTK_LABEL(widget));
    case ControlKind::ReadOnlyEditor: {
      GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(widget));
      GtkTextIter start, end;
      gtk_text_buffer_get_bounds(buffer, &start, &end);
      return TakeString(gtk_text_buffer_get_text(buffer, &start, &end, FALSE));
    }
    case ControlKind::CheckBox:
    case ControlKind::Button: return ButtonCaption(widget);
    default: return "";
  }
}

void GtkControlStore::SetText(int control, const std::string& text) {
  GtkWidget* widget = ControlWidget(control);
  if (!widget) return;
  ProgramSideGuard guard;
  std::string valid = ValidUtf8(text);
  switch (ControlKindOf(control)) {
    case ControlKind::Entry: gtk_entry_set_text(GTK_ENTRY(widget), valid.c_str()); break;
    case ControlKind::EditableCombo:
      gtk_entry_set_text(GTK_ENTRY(gtk_bin_get_child(GTK_BIN(widget))), valid.c_str());
      break;
    case ControlKind::Combo:
      for (int i = 0; i < CountItems(control); ++i)
        if (ComboItemText(widget, i) == valid) {
          gtk_combo_box_set_active(GTK_COMBO_BOX(widget), i);
          break;
        }
      break;
    case ControlKind::TextLabel: gtk_label_set_text(GTK_LABEL(widget), valid.c_str()); break;
    case ControlKind::ReadOnlyEditor: {
      GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(widget));
      gtk_text_buffer_set_text(buffer, valid.c_str(), -1);
      GtkTextIter start;
      gtk_text_buffer_get_start_iter(buffer, &start);
      gtk_text_buffer_place_cursor(buffer, &start);
      break;
    }
    case ControlKind::CheckBox:
    case ControlKind::Button: gtk_button_set_label(GTK_BUTTON(widget), valid.c_str()); break;
    default: break;
  }
}

int64_t GtkControlStore::GetState(int control) const {
  GtkWidget* widget = ControlWidget(control);
  ControlKind kind = ControlKindOf(control);
  if (!widget)
    return (kind == ControlKind::ListView || kind == ControlKind::Combo || kind == ControlKind::EditableCombo) ? -1
                                                                                                                 : 0;
  switch (kind) {
    case ControlKind::TabPanel: return gtk_notebook_get_current_page(GTK_NOTEBOOK(widget));
    case ControlKind::Combo:
    case ControlKind::EditableCombo: return gtk_combo_box_get_active(GTK_COMBO_BOX(widget));
    case ControlKind::CheckBox: return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget)) ? 1 : 0;
    case ControlKind::TrackBar: return RoundHalfAwayFromZero(gtk_range_get_value(GTK_RANGE(widget)));
    case ControlKind::ListView: {
      GtkTreeModel* model = nullptr;
      GtkTreeIter iter;
      if (!gtk_tree_selection_get_selected(gtk_tree_view_get_selection(GTK_TREE_VIEW(widget)), &model, &iter))
        return -1;
      GtkTreePath* path = gtk_tree_model_get_path(model, &iter);
      int row = gtk_tree_path_get_indices(path)[0];
      gtk_tree_path_free(path);
      return row;
    }
    default: return 0;
  }
}

void GtkControlStore::SetState(int control, int64_t state) {
  GtkWidget* widget = ControlWidget(control);
  if (!widget) return;
  ProgramSideGuard guard;
  switch (ControlKindOf(control)) {
    case ControlKind::TabPanel:
      if (state >= 0 && state < gtk_notebook_get_n_pages(GTK_NOTEBOOK(widget)))
        gtk_notebook_set_current_page(GTK_NOTEBOOK(widget), static_cast<int>(state));
      break;
    case ControlKind::Combo:
    case ControlKind::EditableCombo:
      if (state >= -1 && state < CountItems(control))
        gtk_combo_box_set_active(GTK_COMBO_BOX(widget), static_cast<int>(state));
      break;
    case ControlKind::CheckBox: gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget), state != 0); break;
    case ControlKind::TrackBar: gtk_range_set_value(GTK_RANGE(widget), static_cast<double>(state)); break;
    case ControlKind::ListView: {
      GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(widget));
      if (state < 0 || state >= CountItems(control)) {
        gtk_tree_selection_unselect_all(selection);
        break;
      }
      GtkTreePath* path = gtk_tree_path_new_from_indices(static_cast<int>(state), -1);
      gtk_tree_selection_select_path(selection, path);
      gtk_tree_view_scroll_to_cell(GTK_TREE_VIEW(widget), path, nullptr, FALSE, 0, 0);
      gtk_tree_path_free(path);
      break;
    }
    default: break;
  }
}

void GtkControlStore::ClearItems(int control) {
  const ControlWidgets& w = WidgetsOf(control);
  if (!w.widget) return;
  ProgramSideGuard guard;
  switch (ControlKindOf(control)) {
    case ControlKind::Combo:
    case ControlKind::EditableCombo: gtk_combo_box_text_remove_all(GTK_COMBO_BOX_TEXT(w.widget)); break;
    case ControlKind::ListView: gtk_list_store_clear(w.rows); break;
    default: break;
  }
}

void GtkControlStore::AddItem(int control, const std::string& text) {
  const ControlWidgets& w = WidgetsOf(control);
  if (!w.widget) return;
  ProgramSideGuard guard;
  switch (ControlKindOf(control)) {
    case ControlKind::Combo:
    case ControlKind::EditableCombo:
      gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(w.widget), ValidUtf8(text).c_str());
      break;
    case ControlKind::ListView: {
      std::vector<std::string> cells = SplitLines(text);
      GtkTreeIter iter;
      gtk_list_store_append(w.rows, &iter);
      for (int c = 0; c < w.columns; ++c) {
        std::string cell = c < static_cast<int>(cells.size()) ? ValidUtf8(cells[c]) : "";
        gtk_list_store_set(w.rows, &iter, c, cell.c_str(), -1);
      }
      break;
    }
    default: break;
  }
}

int GtkControlStore::CountItems(int control) const {
  const ControlWidgets& w = WidgetsOf(control);
  if (!w.widget) return 0;
  switch (ControlKindOf(control)) {
    case ControlKind::Combo:
    case ControlKind::EditableCombo: return ModelRowCount(gtk_combo_box_get_model(GTK_COMBO_BOX(w.widget)));
    case ControlKind::ListView: return ModelRowCount(GTK_TREE_MODEL(w.rows));
    default: return 0;
  }
}

std::string GtkControlStore::GetItemText(int control, int index) const {
  const ControlWidgets& w = WidgetsOf(control);
  if (!w.widget || index < 0 || index >= CountItems(control)) return "";
  switch (ControlKindOf(control)) {
    case ControlKind::Combo:
    case ControlKind::EditableCombo: return ComboItemText(w.widget, index);
    case ControlKind::ListView: {
      std::string row;
      for (int c = 0; c < w.columns; ++c) {
        if (c > 0) row += '\n';
        row += ModelText(GTK_TREE_MODEL(w.rows), index, c);
      }
      return row;
    }
    default: return "";
  }
}

void GtkControlStore::SetEnabled(int control, bool enabled) {
  GtkWidget* outer = PlacedWidget(control);
  if (!outer) return;
  ProgramSideGuard guard;
  gtk_widget_set_sensitive(outer, enabled);
}

bool GtkControlStore::IsEnabled(int control) const {
  GtkWidget* outer = PlacedWidget(control);
  return outer ? gtk_widget_get_sensitive(outer) : true;
}

void GtkControlStore::SetBackgroundColour(int control, int r, int g, int b) {
  if (!IsControlNumber(control) || !g_controls[control].outer) return;
  ControlWidgets& w = g_controls[control];
  if (!w.background) {
    w.background = gtk_css_provider_new();
    gtk_style_context_add_provider(gtk_widget_get_style_context(w.outer), GTK_STYLE_PROVIDER(w.background),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  }
  std::string css = "* { }";
  if (r >= 0 && g >= 0 && b >= 0) {
    auto part = [](int v) { return FormatFixed(0, v > 255 ? 255 : v); };
    css = "* { background-color: rgb(" + part(r) + "," + part(g) + "," + part(b) + "); background-image: none; }";
  }
  gtk_css_provider_load_from_data(w.background, css.c_str(), -1, nullptr);
}

void GtkControlStore::GetSize(int control, int& width, int& height) const {
  GtkWidget* outer = PlacedWidget(control);
  width = height = 0;
  if (!outer) return;
  width = gtk_widget_get_allocated_width(outer);
  height = gtk_widget_get_allocated_height(outer);
  // Before the first allocation GTK reports 1 x 1: the size asked for is the better answer.
  if (width <= 1 || height <= 1) gtk_widget_get_size_request(outer, &width, &height);
  if (width < 0) width = 0;
  if (height < 0) height = 0;
}

void GtkControlStore::SetWindowTitle(int window, const std::string& title) {
  GtkWidget* w = WindowWidget(window);
  if (w) gtk_window_set_title(GTK_WINDOW(w), ValidUtf8(title).c_str());
}

std::string GtkControlStore::GetWindowTitle(int window) const {
  GtkWidget* w = WindowWidget(window);
  const gchar* title = w ? gtk_window_get_title(GTK_WINDOW(w)) : nullptr;
  return title ? title : "";
}

void GtkControlStore::ShowWindow(int window, bool visible) {
  GtkWidget* w = WindowWidget(window);
  if (!w) return;
  ProgramSideGuard guard;
  if (visible) {
    gtk_widget_show(w);
    gtk_window_present(GTK_WINDOW(w));
  } else {
    gtk_widget_hide(w);
  }
}

bool GtkControlStore::IsWindowVisible(int window) const {
  GtkWidget* w = WindowWidget(window);
  return w && gtk_widget_get_visible(w);
}

}  // namespace kovrex
