// Draws the logo of the About window (resources/logo.png): a shaded blue spur gear
// seen face-on with a light grey hub ring and a keyed bore, on a transparent
// 256 x 256 background, from the program's own tooth outline. Run by hand
// (cmake --build build --target kovrex_logo); the normal build only embeds the PNG.
#include <cairo.h>

#include <cstdio>
#include <vector>

#include "geometry/bore_outline.h"
#include "geometry/external_gear.h"
#include "geometry/gear_record.h"

namespace {

using kovrex::OutlinePoint;

constexpr int kSize = 256;
constexpr double kTipRadiusPx = 121.0;  // leaves room for the edge stroke

// The gear: 18 teeth of module 10 (tip circle 200), bore 56 with a 16 x 4.3 keyway.
// Only the shape matters; the numbers give a gear whose proportions read well small.
constexpr double kModule = 10.0;
constexpr int kTeeth = 18;
constexpr double kBore = 56.0;
constexpr double kKeywayWidth = 16.0;
constexpr double kKeywayDepth = 4.3;
constexpr double kHubRadius = 46.0;

// World millimetres to image pixels: centred, y up, turned a quarter so that the
// keyway (and the tooth above it) points up.
struct View {
  double scale;
  void Apply(cairo_t* cr) const {
    cairo_translate(cr, kSize / 2.0, kSize / 2.0);
    cairo_scale(cr, scale, -scale);
    cairo_rotate(cr, kovrex::kPi / 2.0);
  }
};

void AddClosedPolygon(cairo_t* cr, const std::vector<OutlinePoint>& pts) {
  if (pts.empty()) return;
  cairo_move_to(cr, pts[0].x, pts[0].y);
  for (size_t i = 1; i < pts.size(); ++i) cairo_line_to(cr, pts[i].x, pts[i].y);
  cairo_close_path(cr);
}

std::vector<OutlinePoint> JoinOutline(const kovrex::GearRecord& g) {
  std::vector<OutlinePoint> all;
  for (const kovrex::OutlinePolyline& pl : g.outline) {
    for (size_t i = 0; i < pl.points.size(); ++i) {
      // Consecutive polylines share their end points; one copy is enough.
      if (i == 0 && !all.empty()) continue;
      all.push_back(pl.points[i]);
    }
  }
  return all;
}

// Cairo keeps the user-space transform for the line width: widths in pixels
// must be divided by the scale, or a 2 px edge would become 2 mm.
void StrokePx(cairo_t* cr, const View& v, double px, double r, double g, double b, double a = 1.0) {
  cairo_set_source_rgba(cr, r, g, b, a);
  cairo_set_line_width(cr, px / v.scale);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
}

}  // namespace

int main(int argc, char** argv) {
  const char* out = argc > 1 ? argv[1] : "logo.png";

  kovrex::GearRecord gear;
  kovrex::InitGearParams(gear, kModule, kTeeth, /*profileShift=*/0.0, /*pressureAngleDeg=*/20.0,
                         /*faceWidth=*/10.0, kBore, /*tipShortening=*/0.0, /*helixAngleDeg=*/0.0, /*hand=*/1);
  gear.keywayWidth = kKeywayWidth;
  gear.keywayDepth = kKeywayDepth;
  kovrex::ComputeExternalGearGeometry(gear, /*detail=*/8);
  if (!gear.valid || gear.outline.empty()) {
    std::fprintf(stderr, "make_logo: the gear outline could not be generated\n");
    return 1;
  }
  std::vector<OutlinePoint> tooth = JoinOutline(gear);
  std::vector<OutlinePoint> bore;
  kovrex::BuildBoreOutline(gear, bore, /*tolerance=*/0.01);

  const View view{kTipRadiusPx / gear.tipRadius};
  const double ra = gear.tipRadius;
  const double rf = gear.rootRadius;

  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kSize, kSize);
  cairo_t* cr = cairo_create(surface);
  view.Apply(cr);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);

  // Gear body: a blue lit from the upper left (world: up is +x after the turn).
  AddClosedPolygon(cr, tooth);
  AddClosedPolygon(cr, bore);
  cairo_pattern_t* body = cairo_pattern_create_linear(-ra, ra, ra, -ra);
  cairo_pattern_add_color_stop_rgb(body, 0.0, 0.42, 0.64, 0.90);
  cairo_pattern_add_color_stop_rgb(body, 0.55, 0.18, 0.42, 0.76);
  cairo_pattern_add_color_stop_rgb(body, 1.0, 0.08, 0.24, 0.52);
  cairo_set_source(cr, body);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(body);
  cairo_pattern_t* gloss = cairo_pattern_create_radial(0.35 * ra, 0.35 * ra, 0.0, 0.35 * ra, 0.35 * ra, 1.1 * ra);
  cairo_pattern_add_color_stop_rgba(gloss, 0.0, 1.0, 1.0, 1.0, 0.30);
  cairo_pattern_add_color_stop_rgba(gloss, 1.0, 1.0, 1.0, 1.0, 0.0);
  cairo_set_source(cr, gloss);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(gloss);
  StrokePx(cr, view, 2.0, 0.05, 0.16, 0.38);

  // A recessed web between the root circle and the hub: a darker band edged by a
  // light line, so that the face does not look flat.
  cairo_new_path(cr);
  cairo_arc(cr, 0.0, 0.0, 0.86 * rf, 0.0, 2.0 * kovrex::kPi);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0.0, 0.0, kHubRadius + 6.0, 0.0, 2.0 * kovrex::kPi);
  cairo_set_source_rgba(cr, 0.02, 0.10, 0.30, 0.22);
  cairo_fill(cr);
  cairo_arc(cr, 0.0, 0.0, 0.86 * rf, 0.0, 2.0 * kovrex::kPi);
  StrokePx(cr, view, 1.2, 0.75, 0.86, 1.0, 0.55);

  // Hub ring: light grey, a little lighter towards the light.
  cairo_new_path(cr);
  cairo_arc(cr, 0.0, 0.0, kHubRadius, 0.0, 2.0 * kovrex::kPi);
  cairo_close_path(cr);
  AddClosedPolygon(cr, bore);
  cairo_pattern_t* hub = cairo_pattern_create_linear(-kHubRadius, kHubRadius, kHubRadius, -kHubRadius);
  cairo_pattern_add_color_stop_rgb(hub, 0.0, 0.93, 0.94, 0.95);
  cairo_pattern_add_color_stop_rgb(hub, 1.0, 0.70, 0.72, 0.76);
  cairo_set_source(cr, hub);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(hub);
  StrokePx(cr, view, 1.5, 0.38, 0.40, 0.45);

  cairo_destroy(cr);
  cairo_surface_flush(surface);
  cairo_status_t status = cairo_surface_write_to_png(surface, out);
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "make_logo: cannot write %s: %s\n", out, cairo_status_to_string(status));
    return 1;
  }
  return 0;
}
