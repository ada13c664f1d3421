// Placement of form rows by the layout metrics.
#include "app/gtk/form_rows.h"

#include <map>
#include <string>

#include "app/controls.h"
#include "app/gtk/gtk_control_store.h"
#include "app/gtk/layout_metrics.h"

namespace kovrex {
namespace {

std::map<int, GtkWidget*> g_formLabels;

std::string Caption(TextId id) { return id == kNoText ? std::string() : std::string(Tx(id)); }

void OnFormLabelDestroyed(GtkWidget* label, gpointer data) {
  auto it = g_formLabels.find(GPOINTER_TO_INT(data));
  if (it != g_formLabels.end() && it->second == label) g_formLabels.erase(it);
}

void PlaceControl(GtkWidget* container, int control, const std::string& caption, int x, int y, int w, int h) {
  GtkWidget* widget = CreateControlWidget(control, caption);
  if (widget) PlaceWidget(container, widget, x, y, w, h);
}

int SecondHalfX() { return LayoutFieldX + LayoutFieldWidth - LayoutFieldHalfWidth; }

}  // namespace

int WideControlWidth() { return LayoutFieldX + LayoutFieldWidth - 10; }
int ListViewHeight() { return 6 * (LayoutLineHeight + 10) + 10; }

int PlaceFormRows(GtkWidget* container, const FormRow* rows, size_t count, int y) {
  const int fh = LayoutFieldHeight;
  for (size_t i = 0; i < count; ++i) {
    const FormRow& row = rows[i];
    int advance = LayoutRowPitch;
    switch (row.kind) {
      case RowKind::Field:
        RememberFormLabel(row.first, AddFormLabel(container, y, Caption(row.text)));
        PlaceControl(container, row.first, "", LayoutFieldX, y, LayoutFieldWidth, fh);
        break;
      case RowKind::Halves:
        RememberFormLabel(row.first, AddFormLabel(container, y, Caption(row.text)));
        PlaceControl(container, row.first, "", LayoutFieldX, y, LayoutFieldHalfWidth, fh);
        PlaceControl(container, row.second, "", SecondHalfX(), y, LayoutFieldHalfWidth, fh);
        break;
      case RowKind::HalfAndText:
        RememberFormLabel(row.first, AddFormLabel(container, y, Caption(row.text)));
        PlaceControl(container, row.first, "", LayoutFieldX, y, LayoutFieldHalfWidth, fh);
        PlaceControl(container, row.second, "", SecondHalfX(), y, LayoutFieldHalfWidth + 10, fh);
        break;
      case RowKind::LabelControl:
        PlaceControl(container, row.second, "", 10, y + (fh - LayoutLineHeight) / 2, LayoutFieldX - 12,
                     LayoutLineHeight + 4);
        PlaceControl(container, row.first, "", LayoutFieldX, y, LayoutFieldWidth, fh);
        break;
      case RowKind::Wide: {
        int h = fh;
        if (ControlKindOf(row.first) == ControlKind::ListView) {
          h = ListViewHeight();
          advance = h + 8;
        }
        PlaceControl(container, row.first, Caption(row.text), 10, y, WideControlWidth(), h);
        break;
      }
      case RowKind::ButtonPair: {
        int w = (LayoutFieldX + LayoutFieldWidth - 16) / 2;
        if (row.first >= 0) PlaceControl(container, row.first, Caption(row.text), 10, y, w, fh + 6);
        if (row.second >= 0) PlaceControl(container, row.second, Caption(row.text2), 10 + w + 6, y, w, fh + 6);
        advance = fh + 16;
        break;
      }
      case RowKind::Note: {
        GtkWidget* note = gtk_label_new(Caption(row.text).c_str());
        gtk_label_set_line_wrap(GTK_LABEL(note), TRUE);
        gtk_label_set_xalign(GTK_LABEL(note), 0.0f);
        gtk_label_set_yalign(GTK_LABEL(note), 0.0f);
        int h = row.lines * LayoutLineHeight;
        PlaceWidget(container, note, 10, y + 10, WideControlWidth(), h);
        advance = 10 + h;
        break;
      }
    }
    y += advance + row.extraAdvance;
  }
  return y;
}

GtkWidget* FormLabelOf(int control) {
  auto it = g_formLabels.find(control);
  return it == g_formLabels.end() ? nullptr : it->second;
}

void RememberFormLabel(int control, GtkWidget* label) {
  g_formLabels[control] = label;
  g_signal_connect(label, "destroy", G_CALLBACK(OnFormLabelDestroyed), GINT_TO_POINTER(control));
}

void ForgetFormLabels() { g_formLabels.clear(); }

void ApplyToolTips(const ToolTip* tips, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    GtkWidget* widget = ControlWidget(tips[i].control);
    if (widget) gtk_widget_set_tooltip_text(widget, Tx(tips[i].text));
  }
}

void MakeHeading(GtkWidget* label) {
  GtkCssProvider* provider = gtk_css_provider_new();
  gtk_css_provider_load_from_data(provider, "label { font-weight: bold; }", -1, nullptr);
  gtk_style_context_add_provider(gtk_widget_get_style_context(label), GTK_STYLE_PROVIDER(provider),
                                 GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(provider);
}

}  // namespace kovrex
