// The logo embedded for the About window: the bytes are a PNG that GdkPixbuf
// decodes to a 256 x 256 image with alpha, showing a toothed blue gear with a grey
// hub ring and a keyed bore on a transparent background.
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "app/gtk/logo_image.h"

namespace kovrex {
namespace {

struct Rgba {
  int r, g, b, a;
};

constexpr double kTwoPi = 6.283185307179586;

class LogoImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("png", nullptr);
    ASSERT_NE(loader, nullptr);
    const unsigned char* start = LogoPngStart();
    const unsigned char* end = LogoPngEnd();
    ASSERT_GT(end - start, 1000);
    GError* error = nullptr;
    bool ok = gdk_pixbuf_loader_write(loader, start, static_cast<gsize>(end - start), &error) &&
              gdk_pixbuf_loader_close(loader, &error);
    if (error) {
      ADD_FAILURE() << error->message;
      g_error_free(error);
    }
    if (ok) {
      pixbuf_ = gdk_pixbuf_loader_get_pixbuf(loader);
      if (pixbuf_) g_object_ref(pixbuf_);
    }
    g_object_unref(loader);
    ASSERT_NE(pixbuf_, nullptr);
  }
  void TearDown() override {
    if (pixbuf_) g_object_unref(pixbuf_);
  }
  Rgba At(int x, int y) const {
    const guchar* p = gdk_pixbuf_read_pixels(pixbuf_) + y * gdk_pixbuf_get_rowstride(pixbuf_) +
                      x * gdk_pixbuf_get_n_channels(pixbuf_);
    return {p[0], p[1], p[2], p[3]};
  }
  // Polar probe about the image centre; angle 0 points up, clockwise on screen.
  Rgba Polar(double radiusPx, double angle) const {
    int x = static_cast<int>(std::lround(128.0 + radiusPx * std::sin(angle)));
    int y = static_cast<int>(std::lround(128.0 - radiusPx * std::cos(angle)));
    return At(x, y);
  }
  GdkPixbuf* pixbuf_ = nullptr;
};

TEST_F(LogoImageTest, DecodesTo256SquareWithAlpha) {
  EXPECT_EQ(gdk_pixbuf_get_width(pixbuf_), 256);
  EXPECT_EQ(gdk_pixbuf_get_height(pixbuf_), 256);
  EXPECT_TRUE(gdk_pixbuf_get_has_alpha(pixbuf_));
  EXPECT_EQ(gdk_pixbuf_get_n_channels(pixbuf_), 4);
}

TEST_F(LogoImageTest, TransparentAroundTheGearAndInTheBore) {
  const std::pair<int, int> outside[] = {{0, 0}, {255, 0}, {0, 255}, {255, 255}, {128, 0}, {0, 128}};
  for (auto [x, y] : outside) EXPECT_EQ(At(x, y).a, 0) << x << "," << y;
  EXPECT_EQ(At(128, 128).a, 0) << "bore";
}

// Walking once round a circle between root and tip must cross teeth and spaces
// alternately: opaque blue on a tooth, transparent in a space.
TEST_F(LogoImageTest, ToothRingAlternatesBlueTeethAndEmptySpaces) {
  int changes = 0;
  bool prevOpaque = Polar(112.0, 0.0).a > 128;
  const int steps = 2000;
  for (int i = 1; i <= steps; ++i) {
    Rgba c = Polar(112.0, kTwoPi * i / steps);
    bool opaque = c.a > 128;
    if (opaque && c.a == 255) {
      EXPECT_GT(c.b, c.r + 40) << "tooth pixel not blue at step " << i;
    }
    if (opaque != prevOpaque) ++changes;
    prevOpaque = opaque;
  }
  int teeth = changes / 2;
  EXPECT_GE(teeth, 8);
  EXPECT_LE(teeth, 60);
}

TEST_F(LogoImageTest, BlueBodyLightGreyHubRingAndKeywayOnTheBore) {
  // The body between hub and root circle is opaque blue all round.
  for (int i = 0; i < 12; ++i) {
    Rgba c = Polar(75.0, kTwoPi * i / 12);
    EXPECT_EQ(c.a, 255) << i;
    EXPECT_GT(c.b, c.r + 40) << i;
  }
  // The hub ring round the bore is a light, nearly neutral grey.
  for (int i = 0; i < 12; ++i) {
    Rgba c = Polar(45.0, kTwoPi * i / 12);
    EXPECT_EQ(c.a, 255) << i;
    EXPECT_GT(c.r, 150) << i;
    EXPECT_LT(std::abs(c.r - c.b), 40) << i;
  }
  // A keyway opens the bore outwards in one direction: on a circle just outside
  // the bore the hub is cut away, but only over a short arc.
  int open = 0;
  const int steps = 720;
  for (int i = 0; i < steps; ++i) open += Polar(37.0, kTwoPi * i / steps).a < 128;
  EXPECT_GT(open, 10);
  EXPECT_LT(open, steps / 6);
}

}  // namespace
}  // namespace kovrex
