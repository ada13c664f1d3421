// Test reader for the STEP files the program writes: reads one file with
// OpenCASCADE twice, once through the default reader (which heals) and once by
// building every MANIFOLD_SOLID_BREP straight from its entities without healing,
// and prints what the tests check, one fact per line:
//
//   reader <default|raw>
//   solids <n>
//   solid <i> valid <0|1> free_edges <n> volume <v> bbox <x0> <y0> <z0> <x1> <y1> <z1>
//   section <i> z <z> wires <n> area <a>     (without healing only)
//   wire <i> <j> closed <0|1> area <signed area> points <n>
//   pt <x> <y>                       (only with --points)
//   common <v>                       (only with --common, solids 0 and 1, without
//                                    healing only)
//   face <i> type <t> orientation <o> area <a> status <s> edge_status <s>
//                                    (only with --faces: faces the check faults)
//
// Usage: kovrex_step_check FILE [--section Z] [--points] [--common] [--faces]
// Exit code 0 when the file could be read at all, 2 otherwise. Only a test tool:
// the programs never link OpenCASCADE.
#include <BRepAdaptor_Curve.hxx>
#include <BRepAlgoAPI_Common.hxx>
#include <BRepAlgoAPI_Section.hxx>
#include <BRepBndLib.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BRepCheck_ListOfStatus.hxx>
#include <BRepCheck_Result.hxx>
#include <Standard_Failure.hxx>
#include <BRepGProp.hxx>
#include <BRep_Tool.hxx>
#include <Bnd_Box.hxx>
#include <GCPnts_QuasiUniformDeflection.hxx>
#include <GProp_GProps.hxx>
#include <IFSelect_ReturnStatus.hxx>
#include <Interface_HGraph.hxx>
#include <Interface_Static.hxx>
#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <STEPControl_Reader.hxx>
#include <ShapeAnalysis_FreeBounds.hxx>
#include <Geom_Plane.hxx>
#include <ShapeFix_Edge.hxx>
#include <ShapeFix_Wire.hxx>
#include <StepData_StepModel.hxx>
#include <StepShape_ManifoldSolidBrep.hxx>
#include <StepToTopoDS_Builder.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_HSequenceOfShape.hxx>
#include <TopTools_IndexedDataMapOfShapeListOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Compound.hxx>
#include <TopoDS_Face.hxx>
#include <TopoDS_Edge.hxx>
#include <TopoDS_Solid.hxx>
#include <TopoDS_Wire.hxx>
#include <Transfer_TransientProcess.hxx>
#include <XSControl_TransferReader.hxx>
#include <XSControl_WorkSession.hxx>
#include <gp_Pln.hxx>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Options {
  std::string path;
  bool section = false;
  double sectionZ = 0.0;
  bool points = false;
  bool common = false;
  bool faces = false;
};

// Edges used by exactly one face of the solid: a closed shell has none. A seam
// edge appears twice in its one face and counts as used twice.
int CountFreeEdges(const TopoDS_Shape& solid) {
  TopTools_IndexedDataMapOfShapeListOfShape map;
  TopExp::MapShapesAndAncestors(solid, TopAbs_EDGE, TopAbs_FACE, map);
  int free = 0;
  for (int i = 1; i <= map.Extent(); ++i) {
    const TopoDS_Edge& edge = TopoDS::Edge(map.FindKey(i));
    if (BRep_Tool::Degenerated(edge)) continue;
    if (map.FindFromIndex(i).Extent() < 2) ++free;
  }
  return free;
}

double Volume(const TopoDS_Shape& shape) {
  // Gauss-Kronrod over every knot span: the plain Gauss rule is 0.05 % off and the
  // adaptive one 2 % off on linear extrusions of B-splines with many knots.
  GProp_GProps props;
  BRepGProp::VolumePropertiesGK(shape, props, 1e-6, Standard_False, Standard_True);
  return props.Mass();
}

// The points of a wire in its order, each edge sampled in the wire's sense.
std::vector<gp_Pnt> SampleWire(const TopoDS_Wire& wire) {
  std::vector<gp_Pnt> points;
  for (TopExp_Explorer it(wire, TopAbs_EDGE); it.More(); it.Next()) {
    const TopoDS_Edge& edge = TopoDS::Edge(it.Current());
    BRepAdaptor_Curve curve(edge);
    GCPnts_QuasiUniformDeflection sampler(curve, 1e-4);
    if (!sampler.IsDone()) continue;
    std::vector<gp_Pnt> piece;
    for (int k = 1; k <= sampler.NbPoints(); ++k) piece.push_back(sampler.Value(k));
    if (edge.Orientation() == TopAbs_REVERSED) std::reverse(piece.begin(), piece.end());
    for (const gp_Pnt& p : piece) {
      if (!points.empty() && points.back().Distance(p) < 1e-9) continue;
      points.push_back(p);
    }
  }
  return points;
}

double SignedArea(const std::vector<gp_Pnt>& pts) {
  double a = 0.0;
  for (size_t i = 0; i < pts.size(); ++i) {
    const gp_Pnt& p = pts[i];
    const gp_Pnt& q = pts[(i + 1) % pts.size()];
    a += p.X() * q.Y() - q.X() * p.Y();
  }
  return 0.5 * a;
}

void ReportSection(int index, const TopoDS_Shape& solid, const Options& opt) {
  BRepAlgoAPI_Section section(solid, gp_Pln(gp_Pnt(0, 0, opt.sectionZ), gp_Dir(0, 0, 1)), Standard_False);
  section.Approximation(Standard_False);
  section.ComputePCurveOn1(Standard_False);
  // Some seconds on a helical gear's hundreds of B-spline faces: use every core.
  section.SetRunParallel(Standard_True);
  section.Build();
  if (!section.IsDone()) {
    std::printf("section %d z %.9g wires 0 area 0 failed 1\n", index, opt.sectionZ);
    return;
  }
  Handle(TopTools_HSequenceOfShape) edges = new TopTools_HSequenceOfShape;
  for (TopExp_Explorer it(section.Shape(), TopAbs_EDGE); it.More(); it.Next()) edges->Append(it.Current());
  Handle(TopTools_HSequenceOfShape) wires;
  ShapeAnalysis_FreeBounds::ConnectEdgesToWires(edges, 1e-5, Standard_False, wires);
  // The section's area: outer wire minus holes, whatever sense each wire got.
  std::vector<std::vector<gp_Pnt>> sampled;
  std::vector<double> areas;
  size_t outer = 0;
  for (int w = 1; w <= wires->Length(); ++w) {
    sampled.push_back(SampleWire(TopoDS::Wire(wires->Value(w))));
    areas.push_back(SignedArea(sampled.back()));
    if (std::abs(areas.back()) > std::abs(areas[outer])) outer = areas.size() - 1;
  }
  double area = 0.0;
  for (size_t w = 0; w < areas.size(); ++w) area += (w == outer ? 1.0 : -1.0) * std::abs(areas[w]);
  std::printf("section %d z %.9g wires %d area %.9g\n", index, opt.sectionZ, wires->Length(), area);
  for (size_t w = 0; w < sampled.size(); ++w) {
    const TopoDS_Wire& wire = TopoDS::Wire(wires->Value(static_cast<int>(w) + 1));
    std::printf("wire %d %zu closed %d area %.9g points %zu\n", index, w, BRep_Tool::IsClosed(wire) ? 1 : 0,
                areas[w], sampled[w].size());
    if (opt.points)
      for (const gp_Pnt& p : sampled[w]) std::printf("pt %.9g %.9g\n", p.X(), p.Y());
  }
}

// One line per face that the checker finds fault with: its surface type, its
// orientation, its area and the first check status; for finding why a solid is
// not valid.
void ReportFaces(const TopoDS_Shape& solid) {
  BRepCheck_Analyzer check(solid);
  int index = 0;
  for (TopExp_Explorer it(solid, TopAbs_FACE); it.More(); it.Next(), ++index) {
    const TopoDS_Face& face = TopoDS::Face(it.Current());
    GProp_GProps props;
    BRepGProp::SurfaceProperties(face, props);
    int status = 0;
    const Handle(BRepCheck_Result)& result = check.Result(face);
    if (!result.IsNull()) {
      for (result->InitContextIterator(); result->MoreShapeInContext(); result->NextShapeInContext())
        for (BRepCheck_ListOfStatus::Iterator s(result->StatusOnShape()); s.More(); s.Next())
          if (s.Value() != BRepCheck_NoError && status == 0) status = s.Value();
    }
    int edgeStatus = 0;
    for (TopExp_Explorer e(face, TopAbs_EDGE); e.More() && edgeStatus == 0; e.Next()) {
      const Handle(BRepCheck_Result)& r = check.Result(e.Current());
      if (r.IsNull()) continue;
      for (r->InitContextIterator(); r->MoreShapeInContext(); r->NextShapeInContext())
        for (BRepCheck_ListOfStatus::Iterator s(r->StatusOnShape()); s.More(); s.Next())
          if (s.Value() != BRepCheck_NoError && edgeStatus == 0) edgeStatus = s.Value();
    }
    if (status || edgeStatus)
      std::printf("face %d type %s orientation %d area %.9g status %d edge_status %d\n", index,
                  BRep_Tool::Surface(face)->DynamicType()->Name(), static_cast<int>(face.Orientation()),
                  props.Mass(), status, edgeStatus);
  }
}

void Report(const char* name, const std::vector<TopoDS_Shape>& solids, const Options& opt) {
  const bool raw = std::strcmp(name, "raw") == 0;
  std::printf("reader %s\nsolids %zu\n", name, solids.size());
  for (size_t i = 0; i < solids.size(); ++i) {
    const TopoDS_Shape& s = solids[i];
    BRepCheck_Analyzer check(s);
    Bnd_Box box;
    BRepBndLib::AddOptimal(s, box, Standard_False, Standard_False);
    double x0 = 0, y0 = 0, z0 = 0, x1 = 0, y1 = 0, z1 = 0;
    if (!box.IsVoid()) box.Get(x0, y0, z0, x1, y1, z1);
    std::printf("solid %zu valid %d free_edges %d volume %.9g bbox %.9g %.9g %.9g %.9g %.9g %.9g\n", i,
                check.IsValid() ? 1 : 0, CountFreeEdges(s), Volume(s), x0, y0, z0, x1, y1, z1);
    if (opt.faces) ReportFaces(s);
    // The section only of the solids as written: on a sound file the two reads
    // agree, and it is the slowest step.
    if (opt.section && raw) ReportSection(static_cast<int>(i), s, opt);
  }
  if (opt.common && raw && solids.size() >= 2) {
    BRepAlgoAPI_Common common(solids[0], solids[1]);
    if (common.IsDone())
      std::printf("common %.9g\n", Volume(common.Shape()));
    else
      std::printf("common failed\n");
  }
  std::fflush(stdout);
}

// The reader leaves the curves of edges on curved faces to be found: project each
// edge onto every face that lacks its curve there, and on a closed surface (a
// half cylinder ends on the seam) move a projected curve by whole periods to
// where its face lies. Orientation, faces, edges and tolerances are left as
// written: no SameParameter fix, which would widen an edge's tolerance to cover
// a seam line that lies beside its cylinder.
void AddMissingPCurves(const TopoDS_Shape& solid) {
  ShapeFix_Edge fix;
  for (TopExp_Explorer f(solid, TopAbs_FACE); f.More(); f.Next()) {
    const TopoDS_Face& face = TopoDS::Face(f.Current());
    // A plane needs none: the kernel finds an edge's curve on it by itself.
    if (BRep_Tool::Surface(face)->IsKind(STANDARD_TYPE(Geom_Plane))) continue;
    for (TopExp_Explorer e(face, TopAbs_EDGE); e.More(); e.Next()) {
      const TopoDS_Edge& edge = TopoDS::Edge(e.Current());
      fix.FixAddPCurve(edge, face, Standard_False, 1e-6);
    }
    for (TopExp_Explorer w(face, TopAbs_WIRE); w.More(); w.Next()) {
      ShapeFix_Wire shift(TopoDS::Wire(w.Current()), face, 1e-6);
      shift.FixShifted();
    }
  }
}

std::vector<TopoDS_Shape> SolidsOf(const TopoDS_Shape& shape) {
  std::vector<TopoDS_Shape> solids;
  for (TopExp_Explorer it(shape, TopAbs_SOLID); it.More(); it.Next()) solids.push_back(it.Current());
  return solids;
}

bool ReadDefault(const Options& opt) {
  STEPControl_Reader reader;
  if (reader.ReadFile(opt.path.c_str()) != IFSelect_RetDone) return false;
  reader.TransferRoots();
  std::vector<TopoDS_Shape> solids;
  for (int i = 1; i <= reader.NbShapes(); ++i)
    for (const TopoDS_Shape& s : SolidsOf(reader.Shape(i))) solids.push_back(s);
  Report("default", solids, opt);
  return true;
}

// Every MANIFOLD_SOLID_BREP built from its faces as written: no sewing, no fixing
// of orientation or of missing faces; only pcurves the file lacks are computed.
bool ReadRaw(const Options& opt) {
  STEPControl_Reader reader;
  if (reader.ReadFile(opt.path.c_str()) != IFSelect_RetDone) return false;
  Handle(StepData_StepModel) model = reader.StepModel();
  Handle(Transfer_TransientProcess) process = new Transfer_TransientProcess(model->NbEntities());
  process->SetModel(model);
  process->SetGraph(new Interface_HGraph(model));
  std::vector<TopoDS_Shape> solids;
  for (int i = 1; i <= model->NbEntities(); ++i) {
    Handle(StepShape_ManifoldSolidBrep) brep = Handle(StepShape_ManifoldSolidBrep)::DownCast(model->Value(i));
    if (brep.IsNull()) continue;
    try {
      // The file's own length uncertainty, as the default reader takes it.
      StepToTopoDS_Builder builder;
      builder.SetPrecision(1e-6);
      builder.SetMaxTol(1e-6);
      builder.Init(brep, process);
      if (builder.IsDone())
        for (const TopoDS_Shape& s : SolidsOf(builder.Value())) {
          AddMissingPCurves(s);
          solids.push_back(s);
        }
      else
        std::printf("raw_failed %d\n", i);
    } catch (const Standard_Failure& failure) {
      std::printf("raw_failed %d %s\n", i, failure.GetMessageString());
    }
  }
  Report("raw", solids, opt);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options opt;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--section") == 0 && i + 1 < argc) {
      opt.section = true;
      opt.sectionZ = std::atof(argv[++i]);
    } else if (std::strcmp(argv[i], "--points") == 0) {
      opt.points = true;
    } else if (std::strcmp(argv[i], "--faces") == 0) {
      opt.faces = true;
    } else if (std::strcmp(argv[i], "--common") == 0) {
      opt.common = true;
    } else {
      opt.path = argv[i];
    }
  }
  if (opt.path.empty()) {
    std::fprintf(stderr, "usage: %s FILE [--section Z] [--points] [--common] [--faces]\n", argv[0]);
    return 2;
  }
  // The reader's own chatter goes to stderr, away from the lines the tests parse.
  Message::DefaultMessenger()->RemovePrinters(STANDARD_TYPE(Message_Printer));
  Interface_Static::SetIVal("read.step.product.mode", 1);
  if (!ReadDefault(opt)) {
    std::printf("read_failed\n");
    return 2;
  }
  if (!ReadRaw(opt)) return 2;
  return 0;
}
