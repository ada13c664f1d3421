// The filter of the export's save requester on real GTK filters: it lists its
// files in either case and every glob of a ';' list.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace kovrex::test
