// The body outline as a filled band. Cairo's stroker joins every segment through
// the vertex itself on the inner side, so the stroke polygon of an outline of a
// few thousand sub-pixel segments crosses itself at every vertex, and the
// anti-aliasing scan converter spends on those crossings some ten times what the
// fill of the same outline costs. The band between the two mitred offset contours
// covers the same pixels (they differ only in the anti-aliased edge) and fills at
// about the price of a second fill.
#include "app/canvas_band.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace kovrex {

namespace {

struct BandPoint {
  double x = 0.0, y = 0.0;
};

// Cairo's default miter limit: joins sharper than this are bevelled.
constexpr double kMiterLimit = 10.0;

// Unit normal (left of the direction of travel) and length of each segment j to
// j + 1 of a closed contour.
struct SegmentFrame {
  double nx = 0.0, ny = 0.0, length = 0.0;
};

void SegmentFrames(const std::vector<BandPoint>& p, std::vector<SegmentFrame>& out) {
  const size_t n = p.size();
  out.resize(n);
  for (size_t j = 0; j < n; ++j) {
    const BandPoint& a = p[j];
    const BandPoint& b = p[(j + 1) % n];
    const double ux = b.x - a.x, uy = b.y - a.y, ul = std::sqrt(ux * ux + uy * uy);
    out[j] = {-uy / ul, ux / ul, ul};
  }
}

// Appends the offset points of vertex j at +half (side +1) or -half (side -1).
// Where the side is the inside of the turn and the mitre point would reach past
// a neighbouring segment, the side goes through the vertex itself instead, as
// Cairo's stroker does, so that no loop of reversed winding appears.
void OffsetVertex(const std::vector<BandPoint>& p, const std::vector<SegmentFrame>& f, size_t j, double half,
                  int side, std::vector<BandPoint>& out) {
  const size_t n = p.size();
  const SegmentFrame& in = f[(j + n - 1) % n];
  const SegmentFrame& on = f[j];
  const BandPoint& b = p[j];
  const double h = half * side;
  const double cosTurn = in.nx * on.nx + in.ny * on.ny;
  // The cross product of the normals has the sign of the turn (positive: left).
  const double cross = in.nx * on.ny - in.ny * on.nx;
  const bool inner = (cross > 0.0) == (side > 0);
  if (inner && cosTurn < 1.0) {
    // The mitre point lies half * tan(turn / 2) back along both segments.
    const double back = half * std::sqrt((1.0 - cosTurn) / std::max(1.0 + cosTurn, 1e-12));
    if (back > in.length || back > on.length) {
      out.push_back({b.x + h * in.nx, b.y + h * in.ny});
      out.push_back(b);
      out.push_back({b.x + h * on.nx, b.y + h * on.ny});
      return;
    }
  }
  if (1.0 + cosTurn < 2.0 / (kMiterLimit * kMiterLimit)) {
    out.push_back({b.x + h * in.nx, b.y + h * in.ny});
    out.push_back({b.x + h * on.nx, b.y + h * on.ny});
    return;
  }
  const double k = h / (1.0 + cosTurn);
  out.push_back({b.x + (in.nx + on.nx) * k, b.y + (in.ny + on.ny) * k});
}

void AddContour(cairo_t* cr, const std::vector<BandPoint>& pts) {
  cairo_move_to(cr, pts[0].x, pts[0].y);
  for (size_t i = 1; i < pts.size(); ++i) cairo_line_to(cr, pts[i].x, pts[i].y);
  cairo_close_path(cr);
}

// Drops repeated points (the outline's pieces share their end points), including
// a last point equal to the first.
void DropRepeats(std::vector<BandPoint>& p) {
  size_t out = 0;
  for (size_t i = 0; i < p.size(); ++i) {
    if (out > 0 && std::fabs(p[i].x - p[out - 1].x) < 1e-9 && std::fabs(p[i].y - p[out - 1].y) < 1e-9) continue;
    p[out++] = p[i];
  }
  p.resize(out);
  while (p.size() > 1 && std::fabs(p.back().x - p[0].x) < 1e-9 && std::fabs(p.back().y - p[0].y) < 1e-9) p.pop_back();
}

}  // namespace

bool FillOutlineBand(cairo_t* cr, double width) {
  cairo_path_t* path = cairo_copy_path(cr);
  if (path == nullptr) return false;
  std::vector<std::vector<BandPoint>> contours;
  bool usable = path->status == CAIRO_STATUS_SUCCESS;
  bool open = false;
  for (int i = 0; usable && i < path->num_data; i += path->data[i].header.length) {
    const cairo_path_data_t& d = path->data[i];
    switch (d.header.type) {
      case CAIRO_PATH_MOVE_TO:
        // Cairo follows every close_path with a move_to its start: a lone move_to
        // draws nothing.
        if (open && contours.back().size() > 1) usable = false;
        if (open) contours.pop_back();
        contours.emplace_back();
        contours.back().push_back({path->data[i + 1].point.x, path->data[i + 1].point.y});
        open = true;
        break;
      case CAIRO_PATH_LINE_TO:
        if (!open) usable = false;
        else contours.back().push_back({path->data[i + 1].point.x, path->data[i + 1].point.y});
        break;
      case CAIRO_PATH_CLOSE_PATH:
        open = false;
        break;
      default:  // a curve
        usable = false;
        break;
    }
  }
  cairo_path_destroy(path);
  if (open && usable) {
    if (contours.back().size() > 1) return false;
    contours.pop_back();
  }
  if (!usable) return false;

  const double half = width / 2.0;
  cairo_new_path(cr);
  std::vector<BandPoint> plus, minus;
  std::vector<SegmentFrame> frames;
  for (std::vector<BandPoint>& c : contours) {
    DropRepeats(c);
    if (c.size() < 3) continue;
    SegmentFrames(c, frames);
    plus.clear();
    minus.clear();
    for (size_t j = 0; j < c.size(); ++j) {
      OffsetVertex(c, frames, j, half, +1, plus);
      OffsetVertex(c, frames, j, half, -1, minus);
    }
    AddContour(cr, plus);
    // The other side backwards: the band between them winds once.
    std::vector<BandPoint> back(minus.rbegin(), minus.rend());
    AddContour(cr, back);
  }
  const cairo_fill_rule_t rule = cairo_get_fill_rule(cr);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  cairo_fill(cr);
  cairo_set_fill_rule(cr, rule);
  return true;
}

}  // namespace kovrex
