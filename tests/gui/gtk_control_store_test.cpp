// The GTK control store on the real widgets: values set by the program come back
// unchanged and raise no event, while the same change made the way a user's action
// reaches the widget raises exactly one event of the right kind.
#include <gtest/gtest.h>

#include <glib/gstdio.h>
#include <sys/stat.h>

#include <cmath>
#include <string>

#include "app/app_state.h"
#include "app/controls.h"
#include "app/gtk/gtk_control_store.h"
#include "app/gtk/gtk_services.h"
#include "app/services.h"
#include "gui/gui_test_support.h"

namespace kovrex::test {
namespace {

class GtkControlStoreTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    BuildWindows();
  }
  GtkControlStore& store() { return GtkStore(); }
  GtkWidget* W(int control) { return ControlWidget(control); }

  // Exactly one event, for `control`, of `kind`.
  void ExpectOneEvent(int control, EventKind kind) {
    ASSERT_EQ(Recorded().controls.size(), 1u) << ControlInfoOf(control).name;
    EXPECT_EQ(Recorded().controls[0].control, control);
    EXPECT_EQ(Recorded().controls[0].kind, kind) << ControlInfoOf(control).name;
  }
  void ExpectNoEvent() { EXPECT_TRUE(Recorded().controls.empty()) << Recorded().controls.size() << " events"; }
};

TEST_F(GtkControlStoreTest, EntryTextRoundTripsSilentlyAndTypingRaisesChange) {
  store().SetText(GadgetPairCentreDistance, "62,5");
  PumpEvents();
  EXPECT_EQ(store().GetText(GadgetPairCentreDistance), "62,5");
  ExpectNoEvent();

  gtk_entry_set_text(GTK_ENTRY(W(GadgetPairCentreDistance)), "63");
  ExpectOneEvent(GadgetPairCentreDistance, EventKind::Change);
  EXPECT_EQ(store().GetText(GadgetPairCentreDistance), "63");
}

TEST_F(GtkControlStoreTest, TextThatIsNotUtf8IsRepairedBeforeGtkSeesIt) {
  store().SetText(GadgetPairFaceWidth, std::string("1\xff" "2"));
  std::string text = store().GetText(GadgetPairFaceWidth);
  EXPECT_TRUE(g_utf8_validate(text.c_str(), -1, nullptr));
  EXPECT_EQ(text.front(), '1');
  EXPECT_EQ(text.back(), '2');
}

TEST_F(GtkControlStoreTest, EditableComboTextAndEntryPickRaiseOneChangeOnlyFromTheUser) {
  ASSERT_GT(store().CountItems(GadgetSingleModule), 20);
  store().SetText(GadgetSingleModule, "2.75");
  store().SetState(GadgetSingleModule, 0);
  PumpEvents();
  ExpectNoEvent();
  EXPECT_EQ(store().GetText(GadgetSingleModule), store().GetItemText(GadgetSingleModule, 0));

  // A pick from the list changes the entry as well; it must count once.
  gtk_combo_box_set_active(GTK_COMBO_BOX(W(GadgetSingleModule)), 3);
  ExpectOneEvent(GadgetSingleModule, EventKind::Change);
  EXPECT_EQ(store().GetText(GadgetSingleModule), store().GetItemText(GadgetSingleModule, 3));

  Recorded().Clear();
  gtk_entry_set_text(GTK_ENTRY(gtk_bin_get_child(GTK_BIN(W(GadgetSingleModule)))), "1,6");
  ExpectOneEvent(GadgetSingleModule, EventKind::Change);
  EXPECT_EQ(store().GetText(GadgetSingleModule), "1,6");
}

TEST_F(GtkControlStoreTest, ComboStateAndTextRoundTripAndUserChoiceRaisesChange) {
  store().SetState(GadgetPairHand, 1);
  EXPECT_EQ(store().GetState(GadgetPairHand), 1);
  EXPECT_EQ(store().GetText(GadgetPairHand), "left");
  store().SetText(GadgetPairHand, "right");  // a combo's text selects that entry
  EXPECT_EQ(store().GetState(GadgetPairHand), 0);
  store().SetState(GadgetPairHand, 7);  // out of range: ignored
  EXPECT_EQ(store().GetState(GadgetPairHand), 0);
  PumpEvents();
  ExpectNoEvent();

  gtk_combo_box_set_active(GTK_COMBO_BOX(W(GadgetPairHand)), 1);
  ExpectOneEvent(GadgetPairHand, EventKind::Change);
  EXPECT_EQ(Recorded().statesAtEvent[0], 1);
}

TEST_F(GtkControlStoreTest, ComboItemsCanBeReplaced) {
  store().ClearItems(GadgetExportChoice);
  EXPECT_EQ(store().CountItems(GadgetExportChoice), 0);
  EXPECT_EQ(store().GetState(GadgetExportChoice), -1);
  store().AddItem(GadgetExportChoice, "a");
  store().AddItem(GadgetExportChoice, "b");
  EXPECT_EQ(store().CountItems(GadgetExportChoice), 2);
  EXPECT_EQ(store().GetItemText(GadgetExportChoice, 1), "b");
  EXPECT_EQ(store().GetItemText(GadgetExportChoice, 2), "");
  ExpectNoEvent();
}

TEST_F(GtkControlStoreTest, CheckBoxStateRoundTripsAndToggleRaisesChange) {
  store().SetState(GadgetPairSearchBeta, 1);
  EXPECT_EQ(store().GetState(GadgetPairSearchBeta), 1);
  store().SetState(GadgetPairSearchBeta, 0);
  EXPECT_EQ(store().GetState(GadgetPairSearchBeta), 0);
  PumpEvents();
  ExpectNoEvent();

  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(W(GadgetPairSearchBeta)), TRUE);
  ExpectOneEvent(GadgetPairSearchBeta, EventKind::Change);
  EXPECT_EQ(Recorded().statesAtEvent[0], 1);
}

TEST_F(GtkControlStoreTest, TrackBarRunsFromOneToTwentyAndMovingItRaisesChange) {
  store().SetState(GadgetSpeed, 11);
  EXPECT_EQ(store().GetState(GadgetSpeed), 11);
  store().SetState(GadgetSpeed, 50);
  EXPECT_EQ(store().GetState(GadgetSpeed), 20);
  store().SetState(GadgetSpeed, -3);
  EXPECT_EQ(store().GetState(GadgetSpeed), 1);
  PumpEvents();
  ExpectNoEvent();

  gtk_range_set_value(GTK_RANGE(W(GadgetSpeed)), 15);
  ExpectOneEvent(GadgetSpeed, EventKind::Change);
  EXPECT_EQ(store().GetState(GadgetSpeed), 15);
}

TEST_F(GtkControlStoreTest, ListViewRowsKeepTheirColumnsAndSelectionRaisesChangeOnlyFromTheUser) {
  store().AddItem(GadgetPairResults, "2\n20\n40\n2.000\n0.00\n0.1234\n0");
  store().AddItem(GadgetPairResults, "1.5\n26\n53");  // missing columns stay empty
  EXPECT_EQ(store().CountItems(GadgetPairResults), 2);
  EXPECT_EQ(store().GetItemText(GadgetPairResults, 0), "2\n20\n40\n2.000\n0.00\n0.1234\n0");
  EXPECT_EQ(store().GetItemText(GadgetPairResults, 1), "1.5\n26\n53\n\n\n\n");
  EXPECT_EQ(store().GetState(GadgetPairResults), -1);
  store().SetState(GadgetPairResults, 1);
  EXPECT_EQ(store().GetState(GadgetPairResults), 1);
  store().SetState(GadgetPairResults, -1);
  EXPECT_EQ(store().GetState(GadgetPairResults), -1);
  PumpEvents();
  ExpectNoEvent();

  GtkTreePath* path = gtk_tree_path_new_from_indices(0, -1);
  gtk_tree_selection_select_path(gtk_tree_view_get_selection(GTK_TREE_VIEW(W(GadgetPairResults))), path);
  gtk_tree_path_free(path);
  ExpectOneEvent(GadgetPairResults, EventKind::Change);
  EXPECT_EQ(Recorded().statesAtEvent[0], 0);

  Recorded().Clear();
  GdkEvent* release = gdk_event_new(GDK_BUTTON_RELEASE);
  release->button.button = GDK_BUTTON_PRIMARY;
  gboolean handled = FALSE;
  g_signal_emit_by_name(W(GadgetPairResults), "button-release-event", release, &handled);
  gdk_event_free(release);
  ExpectOneEvent(GadgetPairResults, EventKind::LeftClick);

  Recorded().Clear();
  store().ClearItems(GadgetPairResults);  // drops the selection without an event
  EXPECT_EQ(store().CountItems(GadgetPairResults), 0);
  EXPECT_EQ(store().GetState(GadgetPairResults), -1);
  ExpectNoEvent();
}

TEST_F(GtkControlStoreTest, TabPanelPageRoundTripsAndTheUsersChangeSeesTheNewPage) {
  store().SetState(GadgetTabPanel, 2);
  EXPECT_EQ(store().GetState(GadgetTabPanel), 2);
  store().SetState(GadgetTabPanel, 9);  // no such page: ignored
  EXPECT_EQ(store().GetState(GadgetTabPanel), 2);
  PumpEvents();
  ExpectNoEvent();

  gtk_notebook_set_current_page(GTK_NOTEBOOK(W(GadgetTabPanel)), 3);
  ExpectOneEvent(GadgetTabPanel, EventKind::Change);
  // The dispatch decides by the new tab, so the event must arrive after the switch.
  EXPECT_EQ(Recorded().statesAtEvent[0], 3);
}

TEST_F(GtkControlStoreTest, ButtonClickRaisesActivate) {
  gtk_button_clicked(GTK_BUTTON(W(GadgetPairSearch)));
  ExpectOneEvent(GadgetPairSearch, EventKind::Activate);
}

TEST_F(GtkControlStoreTest, TextLabelShowsItsTextOnTheBackgroundColourSet) {
  store().SetText(GadgetStrengthStatus, "S_H = 1.23");
  EXPECT_EQ(store().GetText(GadgetStrengthStatus), "S_H = 1.23");
  store().SetBackgroundColour(GadgetStrengthStatus, 200, 40, 60);

  GtkWidget* box = PlacedWidget(GadgetStrengthStatus);
  GtkStore().ShowWindow(WindowStrength, true);
  ASSERT_TRUE(PumpUntil([&] { return gtk_widget_get_allocated_width(box) > 10; }));
  int w = gtk_widget_get_allocated_width(box), h = gtk_widget_get_allocated_height(box);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  cairo_t* cr = cairo_create(surface);
  gtk_widget_draw(box, cr);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  // Bottom right corner: background, away from the text.
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const uint32_t pixel = *reinterpret_cast<const uint32_t*>(data + (h - 2) * cairo_image_surface_get_stride(surface) +
                                                            (w - 2) * 4);
  EXPECT_EQ((pixel >> 16) & 0xff, 200u);
  EXPECT_EQ((pixel >> 8) & 0xff, 40u);
  EXPECT_EQ(pixel & 0xff, 60u);
  cairo_surface_destroy(surface);
}

TEST_F(GtkControlStoreTest, ReadOnlyEditorHoldsMultiLineTextInMonospaceNine) {
  const std::string report = "Line one\n  x2 = 0.1234\n\nlast";
  store().SetText(GadgetReport, report);
  EXPECT_EQ(store().GetText(GadgetReport), report);
  EXPECT_FALSE(gtk_text_view_get_editable(GTK_TEXT_VIEW(W(GadgetReport))));
  for (int editor : {GadgetReport, GadgetStrengthReport}) {
    PangoFontDescription* font = nullptr;
    GtkStyleContext* style = gtk_widget_get_style_context(W(editor));
    gtk_style_context_get(style, gtk_style_context_get_state(style), "font", &font, nullptr);
    ASSERT_NE(font, nullptr);
    EXPECT_STREQ(pango_font_description_get_family(font), "Monospace") << editor;
    EXPECT_EQ(pango_font_description_get_size(font), 9 * PANGO_SCALE) << editor;
    pango_font_description_free(font);
  }
}

TEST_F(GtkControlStoreTest, DisabledControlsReportIt) {
  store().SetEnabled(GadgetExportStl, false);
  EXPECT_FALSE(store().IsEnabled(GadgetExportStl));
  store().SetEnabled(GadgetExportStl, true);
  EXPECT_TRUE(store().IsEnabled(GadgetExportStl));
}

GdkEvent* CanvasEvent(GdkEventType type, double x, double y) {
  GdkEvent* e = gdk_event_new(type);
  switch (type) {
    case GDK_BUTTON_PRESS:
    case GDK_2BUTTON_PRESS:
    case GDK_BUTTON_RELEASE:
      e->button.button = GDK_BUTTON_PRIMARY;
      e->button.x = x;
      e->button.y = y;
      break;
    case GDK_MOTION_NOTIFY:
      e->motion.x = x;
      e->motion.y = y;
      break;
    case GDK_ENTER_NOTIFY:
      e->crossing.x = x;
      e->crossing.y = y;
      break;
    default: break;
  }
  return e;
}

const char* SignalOf(GdkEventType type) {
  switch (type) {
    case GDK_BUTTON_PRESS:
    case GDK_2BUTTON_PRESS: return "button-press-event";
    case GDK_BUTTON_RELEASE: return "button-release-event";
    case GDK_MOTION_NOTIFY: return "motion-notify-event";
    case GDK_ENTER_NOTIFY: return "enter-notify-event";
    default: return "scroll-event";
  }
}

TEST_F(GtkControlStoreTest, CanvasMouseEventsCarryTheirKindAndPosition) {
  struct Case {
    GdkEventType type;
    EventKind kind;
  };
  const Case cases[] = {
      {GDK_BUTTON_PRESS, EventKind::LeftDown},   {GDK_2BUTTON_PRESS, EventKind::LeftDouble},
      {GDK_BUTTON_RELEASE, EventKind::LeftUp},   {GDK_MOTION_NOTIFY, EventKind::MouseMove},
      {GDK_ENTER_NOTIFY, EventKind::MouseEnter},
  };
  for (const Case& c : cases) {
    Recorded().Clear();
    GdkEvent* e = CanvasEvent(c.type, 123.5, 45.25);
    gboolean handled = FALSE;
    g_signal_emit_by_name(W(GadgetCanvas), SignalOf(c.type), e, &handled);
    gdk_event_free(e);
    ASSERT_EQ(Recorded().controls.size(), 1u) << SignalOf(c.type);
    EXPECT_EQ(Recorded().controls[0].control, GadgetCanvas);
    EXPECT_EQ(Recorded().controls[0].kind, c.kind);
    EXPECT_DOUBLE_EQ(Recorded().controls[0].mouseX, 123.5);
    EXPECT_DOUBLE_EQ(Recorded().controls[0].mouseY, 45.25);
  }
}

TEST_F(GtkControlStoreTest, WheelUpZoomsInWithPositiveDelta) {
  const std::pair<GdkScrollDirection, int> cases[] = {{GDK_SCROLL_UP, 1}, {GDK_SCROLL_DOWN, -1}};
  for (const auto& [direction, delta] : cases) {
    Recorded().Clear();
    GdkEvent* e = gdk_event_new(GDK_SCROLL);
    e->scroll.direction = direction;
    e->scroll.x = 10;
    e->scroll.y = 20;
    gboolean handled = FALSE;
    g_signal_emit_by_name(W(GadgetCanvas), "scroll-event", e, &handled);
    gdk_event_free(e);
    ASSERT_EQ(Recorded().controls.size(), 1u);
    EXPECT_EQ(Recorded().controls[0].kind, EventKind::MouseWheel);
    EXPECT_EQ(Recorded().controls[0].wheelDelta, delta);
    EXPECT_DOUBLE_EQ(Recorded().controls[0].mouseX, 10);
  }
}

TEST_F(GtkControlStoreTest, WindowTitlesAndVisibilityRoundTrip) {
  store().SetWindowTitle(WindowHubKeyway, "Naaf – ü");
  EXPECT_EQ(store().GetWindowTitle(WindowHubKeyway), "Naaf – ü");
  EXPECT_FALSE(store().IsWindowVisible(WindowHubKeyway));
  store().ShowWindow(WindowHubKeyway, true);
  EXPECT_TRUE(store().IsWindowVisible(WindowHubKeyway));
  store().ShowWindow(WindowHubKeyway, false);
  EXPECT_FALSE(store().IsWindowVisible(WindowHubKeyway));
}

TEST_F(GtkControlStoreTest, ClosingAWindowGoesToTheDispatchAndNeverDestroysIt) {
  store().ShowWindow(WindowStrength, true);
  GtkWidget* window = WindowWidget(WindowStrength);
  GdkEvent* e = gdk_event_new(GDK_DELETE);
  gboolean handled = FALSE;
  g_signal_emit_by_name(window, "delete-event", e, &handled);
  gdk_event_free(e);
  EXPECT_TRUE(handled);
  ASSERT_EQ(Recorded().windowCloses.size(), 1u);
  EXPECT_EQ(Recorded().windowCloses[0], WindowStrength);
  EXPECT_TRUE(GTK_IS_WINDOW(WindowWidget(WindowStrength)));
}

TEST_F(GtkControlStoreTest, DiscardingPendingEventsDropsWhatWasQueued) {
  // Something queued as if the user had typed while a project was being restored.
  g_idle_add(+[](gpointer) -> gboolean {
        gtk_entry_set_text(GTK_ENTRY(ControlWidget(GadgetPairRatio)), "3");
        return G_SOURCE_REMOVE;
      },
      nullptr);
  Svc().discardPendingEvents();
  EXPECT_EQ(store().GetText(GadgetPairRatio), "3");
  ExpectNoEvent();
}

TEST_F(GtkControlStoreTest, TimerTicksUntilStoppedAndThenNeverAgain) {
  InstallGtkServices();
  Svc().startTimer(TimerAnimation, 30);
  ASSERT_TRUE(PumpUntil([] { return Recorded().timers.size() >= 2; }));
  EXPECT_EQ(Recorded().timers[0], TimerAnimation);
  Svc().stopTimer(TimerAnimation);
  size_t ticks = Recorded().timers.size();
  PumpFor(200);  // several intervals
  EXPECT_EQ(Recorded().timers.size(), ticks);
}

TEST_F(GtkControlStoreTest, ClipboardHoldsThePlainText) {
  InstallGtkServices();
  Svc().setClipboardText("Sterkte\nS_H = 1.20");
  gchar* text = gtk_clipboard_wait_for_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "Sterkte\nS_H = 1.20");
  g_free(text);
}

TEST_F(GtkControlStoreTest, ProcessStartsFromAnArgumentVectorWithoutAShell) {
  InstallGtkServices();
  gchar* dir = g_dir_make_tmp("kovrex-spawn-XXXXXX", nullptr);
  ASSERT_NE(dir, nullptr);
  // Blanks, quotes and a semicolon reach the program as one argument, untouched.
  std::string path = std::string(dir) + "/a b\"c;d";
  ASSERT_TRUE(Svc().startProcess({"touch", path}));
  EXPECT_TRUE(PumpUntil([&] { return g_file_test(path.c_str(), G_FILE_TEST_IS_REGULAR); }));
  g_remove(path.c_str());
  g_rmdir(dir);
  g_free(dir);
  EXPECT_FALSE(Svc().startProcess({"/nonexistent/kovrex-no-such-program"}));
  EXPECT_FALSE(Svc().startProcess({}));
}

TEST_F(GtkControlStoreTest, QuitRequestedDuringAnEventLeavesTheMainLoop) {
  GtkEventSinks().control = [](const ControlEvent&) { QuitRequested = 1; };
  g_idle_add(+[](gpointer) -> gboolean {
        gtk_button_clicked(GTK_BUTTON(ControlWidget(GadgetToolSave)));
        return G_SOURCE_REMOVE;
      },
      nullptr);
  static bool timedOut;
  timedOut = false;
  guint guard = g_timeout_add(5000, +[](gpointer) -> gboolean {
        timedOut = true;
        gtk_main_quit();
        return G_SOURCE_REMOVE;
      },
      nullptr);
  gtk_main();
  EXPECT_FALSE(timedOut) << "the main loop did not end on the quit flag";
  if (!timedOut) g_source_remove(guard);
  EXPECT_EQ(QuitRequested, 1);
}

}  // namespace
}  // namespace kovrex::test
