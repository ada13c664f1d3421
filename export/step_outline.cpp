// Merging of outline points that lie closer together than the STEP precision.
#include "export/step_outline.h"

#include <cmath>
#include <utility>

namespace kovrex {

std::vector<OutlinePolyline> MergeCloseOutlinePoints(const std::vector<OutlinePolyline>& outline, double minDistance) {
  std::vector<OutlinePolyline> merged;
  const OutlinePoint* start = nullptr;
  for (const OutlinePolyline& line : outline) {
    if (!line.points.empty()) {
      start = &line.points.front();
      break;
    }
  }
  if (start == nullptr) return merged;
  auto near = [minDistance](const OutlinePoint& a, const OutlinePoint& b) {
    return std::hypot(a.x - b.x, a.y - b.y) < minDistance;
  };

  merged.reserve(outline.size());
  OutlinePoint joint = *start;  // where the next kept polyline begins
  for (const OutlinePolyline& line : outline) {
    const size_t count = line.points.size();
    if (count == 0) continue;
    OutlinePolyline piece;
    piece.points.reserve(count);
    piece.points.push_back(joint);
    for (size_t k = 1; k + 1 < count; ++k)
      if (!near(line.points[k], piece.points.back())) piece.points.push_back(line.points[k]);
    if (count > 1) {
      const OutlinePoint& end = line.points[count - 1];
      while (piece.points.size() > 1 && near(end, piece.points.back())) piece.points.pop_back();
      if (!near(end, piece.points.back())) piece.points.push_back(end);
    }
    if (piece.points.size() < 2) continue;
    joint = piece.points.back();
    merged.push_back(std::move(piece));
  }

  // Close the contour exactly where it began; a last piece that this leaves too
  // short gives way like any other.
  while (!merged.empty()) {
    std::vector<OutlinePoint>& points = merged.back().points;
    points.back() = *start;
    while (points.size() > 2 && near(points[points.size() - 2], points.back())) points.erase(points.end() - 2);
    if (points.size() == 2 && near(points[0], points[1])) {
      merged.pop_back();
      continue;
    }
    break;
  }
  return merged;
}

}  // namespace kovrex
