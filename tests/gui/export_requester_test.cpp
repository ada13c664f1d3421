// The export's save requester on the real GTK file chooser: the filter lists its
// files in either case and every glob of a ';' list, and the chooser opens with the
// title, the proposed name, the filter and no overwrite question of its own.
#include <gtest/gtest.h>

#include <glib/gstdio.h>

#include <optional>
#include <string>

#include "app/gtk/gtk_services.h"
#include "app/services.h"
#include "gui/gui_test_support.h"

namespace kovrex::test {
namespace {

class ExportRequesterTest : public GuiTest {};

bool Lists(GtkFileFilter* filter, const char* name) {
  GtkFileFilterInfo info = {};
  info.contains = GTK_FILE_FILTER_DISPLAY_NAME;
  info.display_name = name;
  return gtk_file_filter_filter(filter, &info) != FALSE;
}

TEST_F(ExportRequesterTest, FilterMatchesEveryGlobInEitherCase) {
  GtkFileFilter* step = NewFileFilter({"STEP (*.stp;*.step)", "*.stp;*.step"});
  g_object_ref_sink(step);
  EXPECT_STREQ(gtk_file_filter_get_name(step), "STEP (*.stp;*.step)");
  for (const char* name : {"a.stp", "A.STP", "b.Step", "c.STEP"}) EXPECT_TRUE(Lists(step, name)) << name;
  for (const char* name : {"a.stl", "a.stpx", "stp", "a.dxf"}) EXPECT_FALSE(Lists(step, name)) << name;
  g_object_unref(step);

  GtkFileFilter* dxf = NewFileFilter({"DXF (*.dxf)", "*.dxf"});
  g_object_ref_sink(dxf);
  EXPECT_TRUE(Lists(dxf, "X.DXF"));
  EXPECT_TRUE(Lists(dxf, "x.dxf"));
  EXPECT_FALSE(Lists(dxf, "x.dxf.bak"));
  g_object_unref(dxf);
}

struct ChooserSeen {
  bool found = false;
  int ticks = 0;
  int answerTick = -1;
  bool clicked = false;
  guint source = 0;
  std::string title, name, filter;
  bool overwriteQuestion = true;
  std::string folder;
};

// Runs inside the chooser's own loop: notes what it shows, then answers it.
gboolean AnswerChooser(gpointer data) {
  auto* seen = static_cast<ChooserSeen*>(data);
  ++seen->ticks;
  GList* windows = gtk_window_list_toplevels();
  for (GList* w = windows; w != nullptr; w = w->next) {
    if (!GTK_IS_FILE_CHOOSER_DIALOG(w->data)) continue;
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(w->data);
    if (seen->found) {
      // The chooser checks a typed name before it answers; give it the time.
      if (seen->ticks == seen->answerTick) {
        GtkWidget* accept = gtk_dialog_get_widget_for_response(GTK_DIALOG(w->data), GTK_RESPONSE_ACCEPT);
        seen->clicked = true;
        gtk_button_clicked(GTK_BUTTON(accept));
      }
      break;
    }
    seen->found = true;
    seen->answerTick = seen->ticks + 5;
    seen->title = gtk_window_get_title(GTK_WINDOW(w->data));
    gchar* name = gtk_file_chooser_get_current_name(chooser);
    seen->name = name ? name : "";
    g_free(name);
    GtkFileFilter* filter = gtk_file_chooser_get_filter(chooser);
    seen->filter = filter ? gtk_file_filter_get_name(filter) : "";
    seen->overwriteQuestion = gtk_file_chooser_get_do_overwrite_confirmation(chooser);
    gtk_file_chooser_set_current_folder(chooser, seen->folder.c_str());
    gtk_file_chooser_set_current_name(chooser, "answer.dxf");
    break;
  }
  g_list_free(windows);
  if (seen->clicked) {
    seen->source = 0;
    return G_SOURCE_REMOVE;
  }
  return G_SOURCE_CONTINUE;
}

TEST_F(ExportRequesterTest, ChooserOpensWithTitleNameAndFilter) {
  BuildWindows();
  InstallGtkServices();
  gchar* folder = g_dir_make_tmp("kovrex-export-XXXXXX", nullptr);
  ASSERT_NE(folder, nullptr);
  ChooserSeen seen;
  seen.folder = folder;
  seen.source = g_timeout_add(100, AnswerChooser, &seen);
  const std::optional<std::string> answer =
      Svc().saveRequester("Export", "pair_m2_z20-40.dxf", {{"DXF (*.dxf)", "*.dxf"}});
  if (seen.source != 0) g_source_remove(seen.source);
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.title, "Export");
  EXPECT_EQ(seen.name, "pair_m2_z20-40.dxf");
  EXPECT_EQ(seen.filter, "DXF (*.dxf)");
  EXPECT_FALSE(seen.overwriteQuestion);
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(*answer, std::string(folder) + "/answer.dxf");
  g_rmdir(folder);
  g_free(folder);
}

}  // namespace
}  // namespace kovrex::test
