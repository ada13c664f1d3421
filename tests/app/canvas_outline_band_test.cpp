// The body outlines drawn as filled bands against Cairo's own stroke of the same
// paths: two whole frames painted in the same run at a fixed size, which may
// differ only in anti-aliased pixels (those whose neighbourhood in the stroked
// frame is not one colour), and there only a little.
#include <gtest/gtest.h>

#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

#include "app/app_state.h"
#include "app/canvas.h"
#include "app/canvas_scenes.h"
#include "app/controls.h"
#include "geometry/arrangement_state.h"
#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "geometry/ring_gear.h"
#include "support/sample_bodies.h"
#include "support/test_support.h"

namespace kovrex {
namespace {

constexpr int kW = 1000, kH = 800;

// Premultiplied ARGB words of a whole frame.
std::vector<uint32_t> Frame(bool cairoStroker) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kW, kH);
  cairo_t* cr = cairo_create(s);
  CanvasOutlinesByCairoStroker = cairoStroker;
  PaintCanvas(cr, kW, kH);
  CanvasOutlinesByCairoStroker = false;
  cairo_surface_flush(s);
  std::vector<uint32_t> px(static_cast<size_t>(kW) * kH);
  const unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) px[static_cast<size_t>(y) * kW + x] = reinterpret_cast<const uint32_t*>(data + y * stride)[x];
  cairo_destroy(cr);
  cairo_surface_destroy(s);
  return px;
}

int ChannelDifference(uint32_t a, uint32_t b) {
  int worst = 0;
  for (int shift = 0; shift < 32; shift += 8)
    worst = std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xff) - static_cast<int>((b >> shift) & 0xff)));
  return worst;
}

// An anti-aliased edge pixel: one of its eight neighbours has another colour.
bool IsEdge(const std::vector<uint32_t>& f, int x, int y) {
  const uint32_t c = f[static_cast<size_t>(y) * kW + x];
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) {
      const int nx = x + dx, ny = y + dy;
      if (nx < 0 || ny < 0 || nx >= kW || ny >= kH) continue;
      if (f[static_cast<size_t>(ny) * kW + nx] != c) return true;
    }
  return false;
}

class OutlineBandTest : public test::KovrexTest {
 protected:
  void SetUp() override {
    KovrexTest::SetUp();
    store.SetState(GadgetLineOfAction, 1);
    store.SetSize(GadgetCanvas, kW, kH);
  }
};

TEST_F(OutlineBandTest, WholeFramesEqualTheStrokedOnesButForAntiAliasedEdges) {
  struct Case {
    const char* name;
    std::function<void()> setup;
  };
  auto startUpPair = [] {
    test::MakeGear(Gear1, 0.2, 200, 0.02, 10.0);
    test::MakeGear(Gear2, 0.2, 400, 0.02, 20.0);
    PairCentreDistance = 60.0;
    DisplayMode = static_cast<int>(DisplayKind::Pair);
    ZoomToFit();
  };
  const Case cases[] = {
      {"start-up pair 200/400, fitted", startUpPair},
      {"internal pair 333/999, fitted",
       [] {
         test::MakeGear(Gear1, 0.12, 333, 0.02, 8.0);
         GenerateToothProfile(RingGear, 0.12, 999, 0.0, 20.0, 5.0, 5.0, 0.02, 0.0, 1, 1, 0.0);
         InternalCentreDistance = (999 - 333) * 0.12 / 2.0;
         DisplayMode = static_cast<int>(DisplayKind::Internal);
         ZoomToFit();
       }},
      {"start-up pair at the pitch point, 60 px/mm",
       [startUpPair] {
         startUpPair();
         ZoomPxPerMm = 60.0;
         PanX = 20.0;
       }},
      {"keyed pinion m 2 in a rack, 8 px/mm",
       [] {
         test::MakeGear(Gear1, 2.0, 20, 0.2, 10.0);
         Gear1.keywayWidth = 3.0;
         Gear1.keywayDepth = 1.4;
         test::MakeRack(Rack, 2.0, 10, 10.0, 0.2);
         DisplayMode = static_cast<int>(DisplayKind::PinionRack);
         ZoomToFit();
       }},
      {"internal pair m 2, 20/60, at the rim edge, 400 px/mm",
       [] {
         test::MakeGear(Gear1, 2.0, 20, 0.2, 10.0);
         test::MakeRing(RingGear, 2.0, 60, 8.0, 0.2);
         InternalCentreDistance = 40.0;
         DisplayMode = static_cast<int>(DisplayKind::Internal);
         ZoomPxPerMm = 400.0;
         PanX = -70.5;
         PanY = 0.3;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetAllState();
    c.setup();
    DriveAngle = 0.013;
    const std::vector<uint32_t> stroked = Frame(true), banded = Frame(false);
    int differing = 0, inner = 0, worst = 0, edges = 0;
    long sum = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        const size_t i = static_cast<size_t>(y) * kW + x;
        const bool edge = IsEdge(stroked, x, y);
        edges += edge ? 1 : 0;
        if (stroked[i] == banded[i]) continue;
        ++differing;
        if (!edge) ++inner;
        const int d = ChannelDifference(stroked[i], banded[i]);
        worst = std::max(worst, d);
        sum += d;
      }
    ASSERT_GT(edges, 10000);  // there is a drawing to compare
    EXPECT_EQ(inner, 0) << "pixels away from every edge must not change";
    // Measured: a tenth of the edge pixels differ, by 1 on average and at most 14.
    EXPECT_LT(differing, edges / 5);
    EXPECT_LE(worst, 32);
    EXPECT_LE(static_cast<double>(sum), 2.0 * differing);
  }
}

}  // namespace
}  // namespace kovrex
