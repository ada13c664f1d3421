// Test helpers for canvas drawing: a Cairo image surface to paint into, pixel
// probes, and the current path of a context read back as sub-paths. Not for
// comparing whole images (fonts differ between machines).
#pragma once

#include <cairo.h>

#include <cstdint>
#include <vector>

namespace kovrex::test {

struct Rgba {
  int r = 0, g = 0, b = 0, a = 0;
  bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

// An ARGB32 image surface of width x height with a context on it.
class ImageCanvas {
 public:
  ImageCanvas(int width, int height)
      : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)), cr_(cairo_create(surface_)) {}
  ~ImageCanvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
  }
  ImageCanvas(const ImageCanvas&) = delete;
  ImageCanvas& operator=(const ImageCanvas&) = delete;

  cairo_t* cr() const { return cr_; }
  cairo_surface_t* surface() const { return surface_; }
  int width() const { return cairo_image_surface_get_width(surface_); }
  int height() const { return cairo_image_surface_get_height(surface_); }

  // Un-premultiplied colour of the pixel (x, y).
  Rgba At(int x, int y) const {
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    uint32_t v = *reinterpret_cast<const uint32_t*>(data + y * stride + 4 * x);
    Rgba c{static_cast<int>((v >> 16) & 0xff), static_cast<int>((v >> 8) & 0xff), static_cast<int>(v & 0xff),
           static_cast<int>(v >> 24)};
    if (c.a > 0 && c.a < 255) {
      c.r = c.r * 255 / c.a;
      c.g = c.g * 255 / c.a;
      c.b = c.b * 255 / c.a;
    }
    return c;
  }

  // Alpha of every pixel, row by row.
  std::vector<uint8_t> Alphas() const {
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    std::vector<uint8_t> a;
    a.reserve(static_cast<size_t>(width()) * height());
    for (int y = 0; y < height(); ++y)
      for (int x = 0; x < width(); ++x) a.push_back(static_cast<uint8_t>(*reinterpret_cast<const uint32_t*>(data + y * stride + 4 * x) >> 24));
    return a;
  }

  void Clear() {
    cairo_save(cr_);
    cairo_set_operator(cr_, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr_);
    cairo_restore(cr_);
  }

 private:
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

inline bool NearColour(const Rgba& c, int r, int g, int b, int tolerance = 2) {
  auto near = [tolerance](int x, int y) { return x - y <= tolerance && y - x <= tolerance; };
  return near(c.r, r) && near(c.g, g) && near(c.b, b);
}

struct PathPoint {
  double x = 0.0, y = 0.0;
};

// One sub-path of the current path: its points from the move_to on, and whether
// a close_path ended it.
struct SubPath {
  std::vector<PathPoint> points;
  bool closed = false;
  bool curved = false;  // holds curve_to points (cairo_arc)
};

// The current path of cr (user coordinates), split at every move_to. Cairo merges
// a line_to that continues the previous one in the same direction and drops one
// to the current point, so count sub-paths and ends, not points.
inline std::vector<SubPath> ReadPath(cairo_t* cr) {
  std::vector<SubPath> result;
  cairo_path_t* path = cairo_copy_path(cr);
  for (int i = 0; i < path->num_data; i += path->data[i].header.length) {
    const cairo_path_data_t& d = path->data[i];
    switch (d.header.type) {
      case CAIRO_PATH_MOVE_TO:
        // A move_to that nothing follows (Cairo adds one after close_path) is no sub-path.
        if (result.empty() || result.back().points.size() > 1 || result.back().closed) result.push_back({});
        result.back().points.clear();
        result.back().points.push_back({path->data[i + 1].point.x, path->data[i + 1].point.y});
        break;
      case CAIRO_PATH_LINE_TO:
        if (result.empty() || result.back().closed) result.push_back({});
        result.back().points.push_back({path->data[i + 1].point.x, path->data[i + 1].point.y});
        break;
      case CAIRO_PATH_CURVE_TO:
        if (result.empty() || result.back().closed) result.push_back({});
        result.back().curved = true;
        for (int k = 1; k <= 3; ++k) result.back().points.push_back({path->data[i + k].point.x, path->data[i + k].point.y});
        break;
      case CAIRO_PATH_CLOSE_PATH:
        if (!result.empty()) result.back().closed = true;
        break;
    }
  }
  cairo_path_destroy(path);
  if (!result.empty() && result.back().points.size() == 1 && !result.back().closed) result.pop_back();
  return result;
}

// Signed area (shoelace) of a sub-path taken as a closed polygon.
inline double PolygonArea(const std::vector<PathPoint>& p) {
  double a = 0.0;
  for (size_t i = 0; i < p.size(); ++i) {
    const PathPoint& u = p[i];
    const PathPoint& v = p[(i + 1) % p.size()];
    a += u.x * v.y - v.x * u.y;
  }
  return a / 2.0;
}

}  // namespace kovrex::test
