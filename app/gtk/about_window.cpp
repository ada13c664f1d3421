// The About window: a fixed 600 x 300 layout with the decoded logo, run modally in
// a local loop that keeps the rest of the program still. Not for: the user guide.
#include "app/gtk/about_window.h"

#include <cairo.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtk/gtk.h>
#include <pango/pango.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "app/controls.h"
#include "app/gtk/gtk_control_store.h"
#include "app/gtk/logo_image.h"
#include "app/services.h"
#include "numbers/number_text.h"
#include "text/texts.h"

namespace kovrex {
namespace {

#if defined(__clang__)
constexpr const char* kCompiler = "Clang " __clang_version__;
#elif defined(__GNUC__)
constexpr const char* kCompiler = "GCC " __VERSION__;
#else
constexpr const char* kCompiler = "C++";
#endif

#ifndef KOVREX_BUILD_PLATFORM
#define KOVREX_BUILD_PLATFORM "Linux"
#endif
#ifndef KOVREX_BUILD_SYSTEM
#define KOVREX_BUILD_SYSTEM "CMake"
#endif

// The libraries the window itself is drawn with, at the versions compiled against.
// (GTK's version macros are parenthesised numbers, so they cannot be pasted into a
// string literal as Cairo's and Pango's version strings can.)
std::string LibrariesLine() {
  return "GTK " + FormatFixed(0, GTK_MAJOR_VERSION) + "." + FormatFixed(0, GTK_MINOR_VERSION) + "." +
         FormatFixed(0, GTK_MICRO_VERSION) + ", Cairo " CAIRO_VERSION_STRING ", Pango " PANGO_VERSION_STRING;
}

// Both languages are built in: the window is told its language and does not read
// the linked text set.
struct AboutCaptions {
  const char* title;
  const char* maker;
  const char* credit;
  const char* createdUsing;
  const char* close;
};
constexpr AboutCaptions kDutchCaptions = {"Over", "Kovrex, berekening van evolvente tandwielen",
                                          "Geometrie volgens ISO 53 en DIN 3960", "Gemaakt met:", "Sluiten"};
constexpr AboutCaptions kEnglishCaptions = {"About", "Kovrex, calculator for involute gears",
                                            "Geometry to ISO 53 and DIN 3960", "Created using:", "Close"};

struct Box {
  int x, y, width, height;
};
constexpr Box kImageBox = {16, 16, 256, 256};
constexpr Box kVersionBox = {290, 24, 300, 46};
constexpr Box kMakerBox = {290, 80, 300, 20};
constexpr Box kCredit1Box = {290, 120, 300, 20};
constexpr Box kCredit2Box = {290, 142, 300, 20};
constexpr Box kCreatedUsingBox = {290, 182, 300, 20};
constexpr Box kToolBox = {290, 204, 300, 20};
constexpr Box kCloseBox = {490, 256, 94, 28};
constexpr int kWindowWidth = 600;
constexpr int kWindowHeight = 300;

// __clang_version__ ends in a blank on some releases.
std::string Trimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

std::string DevelopmentToolLine() {
  return Trimmed(kCompiler) + ", " KOVREX_BUILD_SYSTEM " (" KOVREX_BUILD_PLATFORM ")";
}

// GdkPixbuf hands back the rows it got from a cut-off PNG without any error, so a
// truncated logo would show half a gear. A whole PNG starts with the signature and
// ends with the empty IEND chunk, whose bytes never vary.
bool IsWholePng(const unsigned char* start, const unsigned char* end) {
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  static const unsigned char kIend[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xae, 0x42, 0x60, 0x82};
  if (end - start < static_cast<std::ptrdiff_t>(sizeof kSignature + sizeof kIend)) return false;
  return std::memcmp(start, kSignature, sizeof kSignature) == 0 &&
         std::memcmp(end - sizeof kIend, kIend, sizeof kIend) == 0;
}

GdkPixbuf* DecodePng(const unsigned char* start, const unsigned char* end) {
  if (!start || !end || end <= start || !IsWholePng(start, end)) return nullptr;
  GError* error = nullptr;
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("png", &error);
  if (!loader) {
    if (error) g_error_free(error);
    return nullptr;
  }
  GdkPixbuf* pixbuf = nullptr;
  bool ok = gdk_pixbuf_loader_write(loader, start, static_cast<gsize>(end - start), &error);
  // The loader must be closed even after a failed write, or it warns when freed.
  ok = gdk_pixbuf_loader_close(loader, ok ? &error : nullptr) && ok;
  if (ok) {
    pixbuf = gdk_pixbuf_loader_get_pixbuf(loader);
    if (pixbuf) g_object_ref(pixbuf);
  }
  if (error) g_error_free(error);
  g_object_unref(loader);
  return pixbuf;
}

void Place(GtkWidget* fixed, GtkWidget* child, const Box& box) {
  gtk_widget_set_size_request(child, box.width, box.height);
  gtk_fixed_put(GTK_FIXED(fixed), child, box.x, box.y);
}

GtkWidget* PlaceLabel(GtkWidget* fixed, const std::string& text, const Box& box) {
  GtkWidget* label = gtk_label_new(text.c_str());
  gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
  gtk_label_set_yalign(GTK_LABEL(label), 0.5f);
  // A text wider than its box (a large desktop font) must not widen the window.
  gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
  Place(fixed, label, box);
  return label;
}

// What ends the local loop. The window is destroyed by ShowAboutWindow itself, so a
// close through the window manager only asks for the end.
struct AboutLoop {
  bool done = false;
  GtkWidget* window = nullptr;
};

gboolean OnAboutDelete(GtkWidget*, GdkEvent*, gpointer data) {
  static_cast<AboutLoop*>(data)->done = true;
  return TRUE;
}

void OnAboutDestroyed(GtkWidget*, gpointer data) {
  auto* loop = static_cast<AboutLoop*>(data);
  loop->done = true;
  loop->window = nullptr;
}

gboolean OnAboutKey(GtkWidget*, GdkEventKey* event, gpointer data) {
  switch (event->keyval) {
    case GDK_KEY_Escape:
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
      static_cast<AboutLoop*>(data)->done = true;
      return TRUE;
    default:
      return FALSE;
  }
}

void OnAboutClose(GtkButton*, gpointer data) { static_cast<AboutLoop*>(data)->done = true; }

void DropControlEvent(const ControlEvent&) {}
void DropMenuEvent(MenuItem) {}
void DropWindowClose(int) {}
void DropTimerEvent(int) {}

bool g_aboutOpen = false;

}  // namespace

void ShowAboutWindow(int parentWindow, const std::string& versionText, const unsigned char* imageStart,
                     const unsigned char* imageEnd, int dutch) {
  if (g_aboutOpen) return;
  const AboutCaptions& captions = dutch ? kDutchCaptions : kEnglishCaptions;
  GdkPixbuf* image = DecodePng(imageStart, imageEnd);

  GtkWidget* parent = WindowWidget(parentWindow);
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  if (!window) {
    if (image) g_object_unref(image);
    return;
  }
  AboutLoop loop;
  loop.window = window;
  gtk_window_set_title(GTK_WINDOW(window), captions.title);
  if (parent) gtk_window_set_transient_for(GTK_WINDOW(window), GTK_WINDOW(parent));
  gtk_window_set_modal(GTK_WINDOW(window), TRUE);
  gtk_window_set_type_hint(GTK_WINDOW(window), GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_position(GTK_WINDOW(window), parent ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
  gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
  gtk_window_set_default_size(GTK_WINDOW(window), kWindowWidth, kWindowHeight);

  GtkWidget* fixed = gtk_fixed_new();
  gtk_widget_set_size_request(fixed, kWindowWidth, kWindowHeight);
  gtk_container_add(GTK_CONTAINER(window), fixed);

  if (image) Place(fixed, gtk_image_new_from_pixbuf(image), kImageBox);

  GtkWidget* version = PlaceLabel(fixed, versionText, kVersionBox);
  PangoFontDescription* font = pango_font_description_from_string("Sans Bold 12");
  PangoAttrList* attributes = pango_attr_list_new();
  pango_attr_list_insert(attributes, pango_attr_font_desc_new(font));
  gtk_label_set_attributes(GTK_LABEL(version), attributes);

  PlaceLabel(fixed, captions.maker, kMakerBox);
  PlaceLabel(fixed, captions.credit, kCredit1Box);
  PlaceLabel(fixed, LibrariesLine(), kCredit2Box);
  PlaceLabel(fixed, captions.createdUsing, kCreatedUsingBox);
  PlaceLabel(fixed, DevelopmentToolLine(), kToolBox);

  GtkWidget* close = gtk_button_new_with_label(captions.close);
  // The theme's button is taller than the 28 pixels of the layout (its minimum
  // height and padding), and GTK never shrinks a widget below its minimum.
  GtkCssProvider* compact = gtk_css_provider_new();
  gtk_css_provider_load_from_data(compact, "button { min-height: 0; padding-top: 0; padding-bottom: 0; }", -1,
                                  nullptr);
  gtk_style_context_add_provider(gtk_widget_get_style_context(close), GTK_STYLE_PROVIDER(compact),
                                 GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(compact);
  Place(fixed, close, kCloseBox);
  g_signal_connect(close, "clicked", G_CALLBACK(OnAboutClose), &loop);
  g_signal_connect(window, "key-press-event", G_CALLBACK(OnAboutKey), &loop);
  g_signal_connect(window, "delete-event", G_CALLBACK(OnAboutDelete), &loop);
  g_signal_connect(window, "destroy", G_CALLBACK(OnAboutDestroyed), &loop);

  // The modal grab keeps input away from every other window of the program; the
  // dropping sinks catch what does not come from input, above all the animation
  // timer, whose ticks would otherwise go on turning the gears behind the window.
  // Restoring the saved sinks (not the defaults) keeps whatever a caller had put there.
  g_aboutOpen = true;
  const EventSinks saved = GtkEventSinks();
  GtkEventSinks() = EventSinks{DropControlEvent, DropMenuEvent, DropWindowClose, DropTimerEvent};
  if (parent) gtk_widget_set_sensitive(parent, FALSE);
  gtk_widget_show_all(window);
  gtk_widget_grab_focus(close);
  gtk_window_present(GTK_WINDOW(window));

  while (!loop.done) gtk_main_iteration();

  if (parent) gtk_widget_set_sensitive(parent, TRUE);
  GtkEventSinks() = saved;
  g_aboutOpen = false;
  if (loop.window) {
    g_signal_handlers_disconnect_by_data(loop.window, &loop);
    gtk_widget_destroy(loop.window);
  }
  pango_attr_list_unref(attributes);
  pango_font_description_free(font);
  if (image) g_object_unref(image);
  if (parent) gtk_window_present(GTK_WINDOW(parent));
}

void InstallAboutWindowService() {
  Svc().showAboutWindow = [] {
    ShowAboutWindow(WindowMain, Tx(TextId::AboutVersion), LogoPngStart(), LogoPngEnd(), TextSetIsDutch() ? 1 : 0);
  };
}

}  // namespace kovrex
