// Test helper: how far points lie from the boundary of the solids in a STEP file.
// Usage: kovrex_stl_on_step model.step points.txt, where every line of the points
// file is "v x y z" (a mesh vertex) or "m x y z" (a chord midpoint). Prints
// "solids N", "vertices D" and "midpoints D" with D the largest distance of that
// kind from the faces of the model other than the end faces across the axis, in
// mm. Exit 2 when the file cannot be read.
#include <BRepBndLib.hxx>
#include <BRepBuilderAPI_MakeVertex.hxx>
#include <Bnd_Box.hxx>
#include <BRepExtrema_DistShapeShape.hxx>
#include <BRep_Tool.hxx>
#include <Geom_Plane.hxx>
#include <gp.hxx>
#include <IFSelect_ReturnStatus.hxx>
#include <STEPControl_Reader.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Face.hxx>
#include <TopoDS_Shape.hxx>
#include <gp_Pnt.hxx>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s model.step points.txt\n", argv[0]);
    return 2;
  }
  STEPControl_Reader reader;
  if (reader.ReadFile(argv[1]) != IFSelect_RetDone) return 2;
  reader.TransferRoots();
  const TopoDS_Shape shape = reader.OneShape();
  if (shape.IsNull()) return 2;

  // Distance to the faces, not to the solid: a point inside a solid would be at
  // distance 0 from it wherever it lies. Each face's box is a lower bound of the
  // distance to it, so the faces are measured nearest box first and the search
  // stops at a box farther than the best distance found.
  struct BoxedFace {
    TopoDS_Face face;
    double lo[3], hi[3];
  };
  std::vector<BoxedFace> faces;
  int solids = 0;
  for (TopExp_Explorer e(shape, TopAbs_SOLID); e.More(); e.Next()) ++solids;
  for (TopExp_Explorer e(shape, TopAbs_FACE); e.More(); e.Next()) {
    BoxedFace f;
    f.face = TopoDS::Face(e.Current());
    // End faces (planes across the axis) are left out: the caller measures only
    // points of the side walls, and an end face with its hundreds of edges costs
    // more to measure than all the rest.
    Handle(Geom_Plane) plane = Handle(Geom_Plane)::DownCast(BRep_Tool::Surface(f.face));
    if (!plane.IsNull() && plane->Axis().Direction().IsParallel(gp::DZ(), 1e-9)) continue;
    Bnd_Box box;
    BRepBndLib::Add(f.face, box, /*useTriangulation=*/false);
    box.Get(f.lo[0], f.lo[1], f.lo[2], f.hi[0], f.hi[1], f.hi[2]);
    faces.push_back(f);
  }

  std::ifstream in(argv[2]);
  std::string kind;
  double p[3];
  double worstVertex = 0.0, worstMidpoint = 0.0;
  std::vector<double> bound(faces.size());
  std::vector<size_t> order(faces.size());
  while (in >> kind >> p[0] >> p[1] >> p[2]) {
    for (size_t i = 0; i < faces.size(); ++i) {
      double sq = 0.0;
      for (int k = 0; k < 3; ++k) {
        const double out = std::max({faces[i].lo[k] - p[k], p[k] - faces[i].hi[k], 0.0});
        sq += out * out;
      }
      bound[i] = std::sqrt(sq);
    }
    std::iota(order.begin(), order.end(), size_t{0});
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return bound[a] < bound[b]; });
    const TopoDS_Shape vertex = BRepBuilderAPI_MakeVertex(gp_Pnt(p[0], p[1], p[2]));
    double d = 1e300;
    for (size_t i : order) {
      if (bound[i] >= d) break;
      BRepExtrema_DistShapeShape distance(vertex, faces[i].face, Extrema_ExtFlag_MIN);
      if (!distance.IsDone()) return 2;
      d = std::min(d, distance.Value());
    }
    if (kind == "v")
      worstVertex = std::max(worstVertex, d);
    else
      worstMidpoint = std::max(worstMidpoint, d);
  }
  std::printf("solids %d\nvertices %.9f\nmidpoints %.9f\n", solids, worstVertex, worstMidpoint);
  return 0;
}
