// The About window on the real main window under X: its size, owner and captions,
// the main window insensitive and deaf to clicks while it is open, the animation
// timer's ticks dropped, and every way of closing it. Each run is driven from
// timeouts that close the window, with a last-resort destroy, so no test can hang.
#include <gdk/gdk.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/controls.h"
#include "app/event_dispatch.h"
#include "app/gtk/about_window.h"
#include "app/gtk/gtk_control_store.h"
#include "app/gtk/gtk_services.h"
#include "app/gtk/logo_image.h"
#include "app/services.h"
#include "geometry/arrangement_state.h"
#include "gui/gui_test_support.h"
#include "text/texts.h"

namespace kovrex::test {
namespace {

enum class CloseBy { Escape, Return, CloseButton, WindowManager };

struct Observed {
  bool seen = false;
  bool timedOut = false;
  int width = 0, height = 0;
  bool transientForMain = false;
  bool modal = false;
  bool mainSensitiveWhileOpen = true;
  std::string title;
  std::vector<std::string> labels;
  std::vector<std::string> buttons;
  bool hasImage = false;
  int imageWidth = 0, imageHeight = 0;
  GtkAllocation image{}, version{}, close{};
  std::string versionFontFamily;
  int versionWeight = 0, versionSizePt = 0;
  size_t ticksAtOpen = 0, ticksAtClose = 0;
  double angleAtOpen = 0.0, angleAtClose = 0.0;
  int mainClicksWhileOpen = 0;
};

// Counts the timer's ticks and passes them to the real dispatch, which turns the
// gears while something is displayed.
size_t g_ticks = 0;
void CountAndDispatchTick(int timer) {
  ++g_ticks;
  DispatchTimerEvent(timer);
}

int g_mainClicks = 0;
void OnMainButtonClicked(GtkButton*, gpointer) { ++g_mainClicks; }

void Collect(GtkWidget* w, Observed& o) {
  if (GTK_IS_BUTTON(w)) {
    const gchar* label = gtk_button_get_label(GTK_BUTTON(w));
    o.buttons.push_back(label ? label : "");
    gtk_widget_get_allocation(w, &o.close);
    return;
  }
  if (GTK_IS_IMAGE(w)) {
    GdkPixbuf* p = gtk_image_get_pixbuf(GTK_IMAGE(w));
    o.hasImage = p != nullptr;
    if (p) {
      o.imageWidth = gdk_pixbuf_get_width(p);
      o.imageHeight = gdk_pixbuf_get_height(p);
    }
    gtk_widget_get_allocation(w, &o.image);
    return;
  }
  if (GTK_IS_LABEL(w)) {
    o.labels.push_back(gtk_label_get_text(GTK_LABEL(w)));
    PangoAttrList* attrs = gtk_label_get_attributes(GTK_LABEL(w));
    if (attrs) {
      gtk_widget_get_allocation(w, &o.version);
      PangoAttrIterator* it = pango_attr_list_get_iterator(attrs);
      PangoFontDescription* desc = pango_font_description_new();
      pango_attr_iterator_get_font(it, desc, nullptr, nullptr);
      const char* family = pango_font_description_get_family(desc);
      o.versionFontFamily = family ? family : "";
      o.versionWeight = pango_font_description_get_weight(desc);
      o.versionSizePt = pango_font_description_get_size(desc) / PANGO_SCALE;
      pango_font_description_free(desc);
      pango_attr_iterator_destroy(it);
    }
    return;
  }
  if (GTK_IS_CONTAINER(w)) {
    GList* children = gtk_container_get_children(GTK_CONTAINER(w));
    for (GList* c = children; c; c = c->next) Collect(GTK_WIDGET(c->data), o);
    g_list_free(children);
  }
}

// The toplevel that is neither one of the program's three windows nor a popup.
GtkWidget* FindAboutWindow() {
  GtkWidget* found = nullptr;
  GList* all = gtk_window_list_toplevels();
  for (GList* l = all; l; l = l->next) {
    GtkWidget* w = GTK_WIDGET(l->data);
    if (w == WindowWidget(WindowMain) || w == WindowWidget(WindowStrength) || w == WindowWidget(WindowHubKeyway))
      continue;
    if (gtk_window_get_window_type(GTK_WINDOW(w)) != GTK_WINDOW_TOPLEVEL) continue;
    if (gtk_widget_get_mapped(w)) found = w;
  }
  g_list_free(all);
  return found;
}

// Input is put into GDK's event queue as the X backend puts a user's click or key
// press there, so that it takes the same way on: GTK's grabs, sensitivity and the
// widgets' handlers. (Real X input through XTest would be shared by every GUI test
// running in parallel on the same X server.)
GdkDevice* Pointer() { return gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default())); }
GdkDevice* Keyboard() { return gdk_seat_get_keyboard(gdk_display_get_default_seat(gdk_display_get_default())); }

// A GtkButton takes its clicks on an input-only window of its own over its
// allocation; widgets without one take them on their parent's window.
GdkWindow* InputWindowOf(GtkWidget* widget, double& x, double& y) {
  GtkAllocation a;
  gtk_widget_get_allocation(widget, &a);
  GdkWindow* parent = gtk_widget_get_window(widget);
  for (GList* l = gdk_window_peek_children(parent); l; l = l->next) {
    gpointer owner = nullptr;
    gdk_window_get_user_data(GDK_WINDOW(l->data), &owner);
    if (owner == widget && gdk_window_is_input_only(GDK_WINDOW(l->data))) {
      x = a.width / 2.0;
      y = a.height / 2.0;
      return GDK_WINDOW(l->data);
    }
  }
  x = a.x + a.width / 2.0;
  y = a.y + a.height / 2.0;
  return parent;
}

void ClickAt(GtkWidget* widget) {
  double x = 0.0, y = 0.0;
  GdkWindow* target = InputWindowOf(widget, x, y);
  const GdkEventType sequence[] = {GDK_ENTER_NOTIFY, GDK_BUTTON_PRESS, GDK_BUTTON_RELEASE};
  for (GdkEventType type : sequence) {
    GdkEvent* e = gdk_event_new(type);
    if (type == GDK_ENTER_NOTIFY) {
      e->crossing.window = GDK_WINDOW(g_object_ref(target));
      e->crossing.x = x;
      e->crossing.y = y;
      e->crossing.mode = GDK_CROSSING_NORMAL;
      e->crossing.detail = GDK_NOTIFY_ANCESTOR;
      e->crossing.time = GDK_CURRENT_TIME;
    } else {
      e->button.window = GDK_WINDOW(g_object_ref(target));
      e->button.x = x;
      e->button.y = y;
      e->button.button = 1;
      e->button.time = GDK_CURRENT_TIME;
      if (type == GDK_BUTTON_RELEASE) e->button.state = GDK_BUTTON1_MASK;
    }
    gdk_event_set_device(e, Pointer());
    gdk_event_put(e);
    gdk_event_free(e);
  }
}

void PressKey(GtkWidget* window, guint keyval) {
  GdkKeymapKey* keys = nullptr;
  gint count = 0;
  guint16 code = 0;
  if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(gdk_display_get_default()), keyval, &keys,
                                        &count) &&
      count > 0) {
    code = static_cast<guint16>(keys[0].keycode);
  }
  g_free(keys);
  for (GdkEventType type : {GDK_KEY_PRESS, GDK_KEY_RELEASE}) {
    GdkEvent* e = gdk_event_new(type);
    e->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(window)));
    e->key.keyval = keyval;
    e->key.hardware_keycode = code;
    e->key.time = GDK_CURRENT_TIME;
    gdk_event_set_device(e, Keyboard());
    gdk_event_put(e);
    gdk_event_free(e);
  }
}

GtkWidget* FindButton(GtkWidget* w) {
  if (GTK_IS_BUTTON(w)) return w;
  if (!GTK_IS_CONTAINER(w)) return nullptr;
  GtkWidget* found = nullptr;
  GList* children = gtk_container_get_children(GTK_CONTAINER(w));
  for (GList* c = children; c && !found; c = c->next) found = FindButton(GTK_WIDGET(c->data));
  g_list_free(children);
  return found;
}

// The driver, advanced by a 20 ms timeout while ShowAboutWindow runs its loop:
// wait for the window to be mapped, look at it, let the timer tick for a while and
// click the main window, look again, then close the window the chosen way.
struct Driver {
  CloseBy how = CloseBy::Escape;
  GtkWidget* mainButton = nullptr;
  Observed observed;
  int phase = 0;
  int polls = 0;
  int totalPolls = 0;
  GtkWidget* about = nullptr;
};

gboolean DriveStep(gpointer data) {
  auto* d = static_cast<Driver*>(data);
  Observed& o = d->observed;
  ++d->polls;
  // Six seconds without the window closing: destroy it, so that the loop ends and
  // the test fails instead of hanging.
  if (++d->totalPolls > 300) {
    o.timedOut = true;
    if (GtkWidget* w = FindAboutWindow()) gtk_widget_destroy(w);
    return G_SOURCE_REMOVE;
  }
  switch (d->phase) {
    case 0: {
      d->about = FindAboutWindow();
      if (!d->about || gtk_widget_get_allocated_width(d->about) <= 1) return G_SOURCE_CONTINUE;
      o.seen = true;
      gtk_window_get_size(GTK_WINDOW(d->about), &o.width, &o.height);
      o.transientForMain =
          gtk_window_get_transient_for(GTK_WINDOW(d->about)) == GTK_WINDOW(WindowWidget(WindowMain));
      o.modal = gtk_window_get_modal(GTK_WINDOW(d->about));
      o.mainSensitiveWhileOpen = gtk_widget_get_sensitive(WindowWidget(WindowMain));
      o.title = gtk_window_get_title(GTK_WINDOW(d->about));
      Collect(d->about, o);
      o.ticksAtOpen = g_ticks;
      o.angleAtOpen = DriveAngle;
      g_mainClicks = 0;
      ClickAt(d->mainButton);
      d->phase = 1;
      d->polls = 0;
      return G_SOURCE_CONTINUE;
    }
    case 1:
      // About 300 ms: some ten ticks of the 30 ms timer would have arrived.
      if (d->polls < 15) return G_SOURCE_CONTINUE;
      o.ticksAtClose = g_ticks;
      o.angleAtClose = DriveAngle;
      o.mainClicksWhileOpen = g_mainClicks;
      switch (d->how) {
        case CloseBy::Escape: PressKey(d->about, GDK_KEY_Escape); break;
        case CloseBy::Return: PressKey(d->about, GDK_KEY_Return); break;
        case CloseBy::CloseButton: ClickAt(FindButton(d->about)); break;
        case CloseBy::WindowManager: gtk_window_close(GTK_WINDOW(d->about)); break;
      }
      d->phase = 2;
      d->polls = 0;
      return G_SOURCE_CONTINUE;
    default:
      return G_SOURCE_CONTINUE;
  }
}

class AboutWindowTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    BuildWindows();
    InstallGtkServices();
    GtkEventSinks().timer = CountAndDispatchTick;
    g_ticks = 0;
    GtkWidget* main = WindowWidget(WindowMain);
    gtk_widget_show(main);
    ASSERT_TRUE(PumpUntil([main] { return gtk_widget_get_mapped(main) && gtk_widget_get_allocated_width(main) > 1; }));
    mainButton = ControlWidget(GadgetToolOpen);
    ASSERT_NE(mainButton, nullptr);
    clickHandler = g_signal_connect(mainButton, "clicked", G_CALLBACK(OnMainButtonClicked), nullptr);
  }
  void TearDown() override {
    if (mainButton && clickHandler) g_signal_handler_disconnect(mainButton, clickHandler);
    GuiTest::TearDown();
  }

  Observed Run(CloseBy how, int dutch, const unsigned char* start, const unsigned char* end,
               const std::string& version = "Kovrex 1.00") {
    Driver d;
    d.how = how;
    d.mainButton = mainButton;
    guint source = g_timeout_add(20, DriveStep, &d);
    ShowAboutWindow(WindowMain, version, start, end, dutch);
    if (!d.observed.timedOut) g_source_remove(source);
    return d.observed;
  }
  Observed Run(CloseBy how) { return Run(how, 0, LogoPngStart(), LogoPngEnd()); }

  GtkWidget* mainButton = nullptr;
  gulong clickHandler = 0;
};

TEST_F(AboutWindowTest, OwnedBySixHundredByThreeHundredAndKeepsTheProgramStill) {
  // Something displayed and the rotation running: each tick would turn the gears.
  DisplayMode = 1;
  Svc().startTimer(TimerAnimation, 30);
  ASSERT_TRUE(PumpUntil([] { return g_ticks >= 2; })) << "the animation timer does not run";
  ASSERT_GT(DriveAngle, 0.0) << "the ticks do not turn the gears";
  g_mainClicks = 0;
  ClickAt(mainButton);
  ASSERT_TRUE(PumpUntil([] { return g_mainClicks == 1; })) << "a click on the main window does not arrive";

  Observed o = Run(CloseBy::Escape);

  ASSERT_TRUE(o.seen);
  EXPECT_FALSE(o.timedOut) << "Escape did not close the window";
  EXPECT_EQ(o.width, 600);
  EXPECT_EQ(o.height, 300);
  EXPECT_TRUE(o.transientForMain);
  EXPECT_TRUE(o.modal);
  EXPECT_FALSE(o.mainSensitiveWhileOpen);
  EXPECT_EQ(o.mainClicksWhileOpen, 0);
  EXPECT_EQ(o.ticksAtClose, o.ticksAtOpen) << "timer ticks reached the program while the window was open";
  EXPECT_EQ(o.angleAtClose, o.angleAtOpen);

  // Afterwards: the main window takes input again, the window is gone, the ticks
  // reach the program again.
  EXPECT_TRUE(gtk_widget_get_sensitive(WindowWidget(WindowMain)));
  PumpEvents();
  EXPECT_EQ(FindAboutWindow(), nullptr);
  size_t before = g_ticks;
  EXPECT_TRUE(PumpUntil([before] { return g_ticks >= before + 2; }));
}

TEST_F(AboutWindowTest, EscapeReturnCloseButtonAndWindowManagerCloseIt) {
  const struct {
    CloseBy how;
    const char* name;
  } cases[] = {{CloseBy::Escape, "Escape"},
               {CloseBy::Return, "Return"},
               {CloseBy::CloseButton, "close button"},
               {CloseBy::WindowManager, "window manager"}};
  for (const auto& c : cases) {
    Observed o = Run(c.how);
    EXPECT_TRUE(o.seen) << c.name;
    EXPECT_FALSE(o.timedOut) << c.name;
    EXPECT_TRUE(gtk_widget_get_sensitive(WindowWidget(WindowMain))) << c.name;
    PumpEvents();
    EXPECT_EQ(FindAboutWindow(), nullptr) << c.name;
  }
}

bool Has(const std::vector<std::string>& v, const std::string& s) {
  for (const std::string& x : v)
    if (x == s) return true;
  return false;
}

// The flag decides, not the linked text set: both combinations are tried against
// the other language's texts.
TEST_F(AboutWindowTest, CaptionsFollowTheLanguageFlag) {
  SetTextLanguageForTest(false);
  Observed nl = Run(CloseBy::Escape, 1, LogoPngStart(), LogoPngEnd());
  EXPECT_EQ(nl.title, "Over");
  EXPECT_TRUE(Has(nl.labels, "Gemaakt met:"));
  EXPECT_EQ(nl.buttons, std::vector<std::string>{"Sluiten"});
  // The longer Dutch lines must not widen the window.
  EXPECT_EQ(nl.width, 600);
  EXPECT_EQ(nl.height, 300);

  SetTextLanguageForTest(true);
  Observed en = Run(CloseBy::Escape, 0, LogoPngStart(), LogoPngEnd());
  EXPECT_EQ(en.title, "About");
  EXPECT_TRUE(Has(en.labels, "Created using:"));
  EXPECT_EQ(en.buttons, std::vector<std::string>{"Close"});
}

TEST_F(AboutWindowTest, LogoVersionAndCloseButtonSitWhereTheLayoutPutsThem) {
  Observed o = Run(CloseBy::Escape, 0, LogoPngStart(), LogoPngEnd(), "Kovrex 9.99");
  ASSERT_TRUE(o.hasImage);
  EXPECT_EQ(o.imageWidth, 256);
  EXPECT_EQ(o.imageHeight, 256);
  EXPECT_EQ((std::vector<int>{o.image.x, o.image.y, o.image.width, o.image.height}),
            (std::vector<int>{16, 16, 256, 256}));
  EXPECT_EQ((std::vector<int>{o.close.x, o.close.y, o.close.width, o.close.height}),
            (std::vector<int>{490, 256, 94, 28}));
  EXPECT_EQ((std::vector<int>{o.version.x, o.version.y, o.version.width, o.version.height}),
            (std::vector<int>{290, 24, 300, 46}));
  EXPECT_TRUE(Has(o.labels, "Kovrex 9.99"));
  EXPECT_EQ(o.versionFontFamily, "Sans");
  EXPECT_EQ(o.versionWeight, PANGO_WEIGHT_BOLD);
  EXPECT_EQ(o.versionSizePt, 12);
  // Maker, two credits, the caption and the tool line besides the version.
  EXPECT_EQ(o.labels.size(), 6u);
  for (const std::string& l : o.labels) EXPECT_FALSE(l.empty());
}

TEST_F(AboutWindowTest, MissingOrBrokenImageBytesLeaveTheWindowWithoutImage) {
  static const unsigned char notPng[] = {0x89, 'P', 'N', 'G', 1, 2, 3, 4, 5, 6, 7, 8};
  const struct {
    const unsigned char* start;
    const unsigned char* end;
    const char* name;
  } cases[] = {{nullptr, nullptr, "no bytes"},
               {LogoPngStart(), LogoPngStart(), "empty range"},
               {LogoPngEnd(), LogoPngStart(), "end before start"},
               {notPng, notPng + sizeof notPng, "not a PNG"},
               {LogoPngStart(), LogoPngStart() + 200, "cut-off PNG"}};
  for (const auto& c : cases) {
    Observed o = Run(CloseBy::Escape, 0, c.start, c.end);
    EXPECT_TRUE(o.seen) << c.name;
    EXPECT_FALSE(o.timedOut) << c.name;
    EXPECT_FALSE(o.hasImage) << c.name;
    EXPECT_EQ(o.width, 600) << c.name;
  }
}

// The program's About entry: main window, "Kovrex 1.00", the embedded logo and the
// language of the linked text set.
TEST_F(AboutWindowTest, ServiceOpensItOverTheMainWindowInTheBuildsLanguage) {
  InstallAboutWindowService();
  SetTextLanguageForTest(true);
  Driver d;
  d.how = CloseBy::Escape;
  d.mainButton = mainButton;
  guint source = g_timeout_add(20, DriveStep, &d);
  Svc().showAboutWindow();
  if (!d.observed.timedOut) g_source_remove(source);
  const Observed& o = d.observed;
  ASSERT_TRUE(o.seen);
  EXPECT_FALSE(o.timedOut);
  EXPECT_TRUE(o.transientForMain);
  EXPECT_EQ(o.title, "Over");
  EXPECT_TRUE(Has(o.labels, "Kovrex 1.00"));
  EXPECT_TRUE(o.hasImage);
}

}  // namespace
}  // namespace kovrex::test
