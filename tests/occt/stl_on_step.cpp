// Test helper: how far points lie from the boundary of the solids in a STEP file.
// Usage: kovrex_stl_on_step model.step points.txt, where every line of the points
// file is "v x y z" (a mesh vertex) or "m x y z" (a chord midpoint). Prints
// "solids N", "vertices D" and "midpoints D" with D the largest distance of that
// kind from the faces of the model, in mm. Exit 2 when the file cannot be read.
#include <BRepBuilderAPI_MakeVertex.hxx>
#include <BRepExtrema_DistShapeShape.hxx>
#include <BRep_Builder.hxx>
#include <IFSelect_ReturnStatus.hxx>
#include <STEPControl_Reader.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Compound.hxx>
#include <TopoDS_Shape.hxx>
#include <gp_Pnt.hxx>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

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
  // distance 0 from it wherever it lies.
  TopoDS_Compound faces;
  BRep_Builder builder;
  builder.MakeCompound(faces);
  int solids = 0;
  for (TopExp_Explorer e(shape, TopAbs_SOLID); e.More(); e.Next()) ++solids;
  for (TopExp_Explorer e(shape, TopAbs_FACE); e.More(); e.Next()) builder.Add(faces, e.Current());

  std::ifstream in(argv[2]);
  std::string kind;
  double x, y, z;
  double worstVertex = 0.0, worstMidpoint = 0.0;
  while (in >> kind >> x >> y >> z) {
    BRepExtrema_DistShapeShape distance(BRepBuilderAPI_MakeVertex(gp_Pnt(x, y, z)), faces);
    if (!distance.IsDone()) return 2;
    const double d = distance.Value();
    if (kind == "v")
      worstVertex = std::max(worstVertex, d);
    else
      worstMidpoint = std::max(worstMidpoint, d);
  }
  std::printf("solids %d\nvertices %.9f\nmidpoints %.9f\n", solids, worstVertex, worstMidpoint);
  return 0;
}
