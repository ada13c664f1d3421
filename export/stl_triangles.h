// The triangle list every STL mesh builder appends to, and the two ways of adding
// a triangle: as given, or in a plane z = const with the orientation chosen.
// Not for: writing the file (stl_writer.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace kovrex {

// Vertex order P0, P1, P2 carries the orientation: the outward normal is
// (P1 - P0) x (P2 - P0). Kept in double precision until the file is written.
struct StlTriangle {
  double x[3];
  double y[3];
  double z[3];
};

// Triangles in insertion order, held in one contiguous vector. Without a drain the
// list keeps them all. With one, every full block is handed to the drain and the
// list starts the next block: a file of millions of triangles is then written as
// it is meshed, without holding the whole mesh (nor faulting in its memory).
class StlTriangleList {
 public:
  using Drain = std::function<bool(const std::vector<StlTriangle>&)>;

  StlTriangleList() = default;
  StlTriangleList(Drain drain, size_t block) : drain_(std::move(drain)), block_(block) { items_.reserve(block); }

  void push_back(const StlTriangle& t) {
    items_.push_back(t);
    if (drain_ && items_.size() >= block_) Flush();
  }
  // Hands the held triangles to the drain; false once any drain failed.
  bool Flush() {
    if (drain_ && !items_.empty()) {
      if (!failed_ && !drain_(items_)) failed_ = true;
      drained_ += items_.size();
      items_.clear();
    }
    return !failed_;
  }

  size_t size() const { return items_.size(); }  // held, not yet drained
  bool empty() const { return items_.empty(); }
  const StlTriangle& operator[](size_t i) const { return items_[i]; }
  const std::vector<StlTriangle>& items() const { return items_; }
  uint64_t total() const { return drained_ + items_.size(); }  // added so far

 private:
  std::vector<StlTriangle> items_;
  Drain drain_;
  size_t block_ = 0;
  uint64_t drained_ = 0;
  bool failed_ = false;
};

void AddStlTriangle(StlTriangleList& list, double x0, double y0, double z0, double x1, double y1, double z1,
                    double x2, double y2, double z2);

// A triangle at height z facing +z (facingUp) or -z, whatever the order of the
// corners; nothing when the corners are collinear.
void AddPlanarTriangleOriented(StlTriangleList& list, bool facingUp, double x1, double y1, double x2, double y2,
                               double x3, double y3, double z);

}  // namespace kovrex
