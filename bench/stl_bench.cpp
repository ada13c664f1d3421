// Speed of the STL export against OpenCASCADE's own mesher on the same gear: a
// 40-tooth helical gear (m 3, beta 20, b 40, bore 30). Kovrex's mesh and file at
// 0.01 mm must take less time than BRepMesh_IncrementalMesh at a linear deflection
// of 0.01 mm on Kovrex's STEP solid (read once, before timing); at 0.001 mm the
// file must be written in under 0.5 s (about 640 000 triangles: the layers also
// bound the diagonals of the twisted wall quads). The OCCT side runs only when
// OpenCASCADE was found and the STEP writer can write the gear.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "app/atomic_file.h"
#include "export/byte_sink.h"
#include "export/step_writer.h"
#include "export/stl_writer.h"
#include "geometry/external_gear.h"
#include "geometry/gear_record.h"

#ifdef KOVREX_BENCH_OCCT
#include <BRepMesh_IncrementalMesh.hxx>
#include <BRepTools.hxx>
#include <BRep_Tool.hxx>
#include <IFSelect_ReturnStatus.hxx>
#include <Poly_Triangulation.hxx>
#include <STEPControl_Reader.hxx>
#include <TopExp_Explorer.hxx>
#include <TopLoc_Location.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Face.hxx>
#include <TopoDS_Shape.hxx>
#endif

namespace {

kovrex::GearRecord BenchGear() {
  kovrex::GearRecord g;
  kovrex::InitGearParams(g, 3.0, 40, 0.0, 20.0, 40.0, 30.0, 0.0, 20.0, 1);
  kovrex::ComputeExternalGearGeometry(g, /*detail=*/1);
  return g;
}

// Counts the bytes and drops them: the meshing and encoding without the disk.
class CountingSink : public kovrex::ByteSink {
 public:
  using ByteSink::Write;
  bool Write(const void*, size_t size) override {
    bytes += size;
    return true;
  }
  size_t bytes = 0;
};

void BM_StlHelicalGearInMemory(benchmark::State& state) {
  const kovrex::GearRecord g = BenchGear();
  const double tolerance = static_cast<double>(state.range(0)) * 1e-4;
  uint64_t triangles = 0;
  for (auto _ : state) {
    CountingSink sink;
    triangles = kovrex::WriteStlFile(sink, tolerance, g, 0.0, nullptr, 0, 0, 0);
    benchmark::DoNotOptimize(sink.bytes);
  }
  if (triangles == 0) state.SkipWithError("the STL writer failed");
  state.counters["triangles"] = static_cast<double>(triangles);
}
BENCHMARK(BM_StlHelicalGearInMemory)->Arg(100)->Arg(10)->Unit(benchmark::kMillisecond);

// The size check the command runs before the file requester: it must stay cheap
// beside the export itself.
void BM_StlTriangleEstimate(benchmark::State& state) {
  const kovrex::GearRecord g = BenchGear();
  const double tolerance = static_cast<double>(state.range(0)) * 1e-4;
  uint64_t triangles = 0;
  for (auto _ : state) {
    triangles = kovrex::EstimateStlTriangles(g, tolerance);
    benchmark::DoNotOptimize(triangles);
  }
  state.counters["triangles"] = static_cast<double>(triangles);
}
BENCHMARK(BM_StlTriangleEstimate)->Arg(100)->Arg(10)->Unit(benchmark::kMillisecond);

// The whole export as the command does it: safe file opened first, meshed,
// written, committed.
void BM_StlHelicalGearToFile(benchmark::State& state) {
  const kovrex::GearRecord g = BenchGear();
  const double tolerance = static_cast<double>(state.range(0)) * 1e-4;
  const char* dir = std::getenv("TMPDIR");
  const std::string path = std::string(dir ? dir : "/tmp") + "/kovrex_bench_" + std::to_string(getpid()) + ".stl";
  uint64_t triangles = 0;
  for (auto _ : state) {
    kovrex::AtomicFileWriter file;
    if (!file.Open(path)) {
      state.SkipWithError("cannot create the file");
      break;
    }
    triangles = kovrex::WriteStlFile(file, tolerance, g, 0.0, nullptr, 0, 0, 0);
    if (triangles == 0 || !file.Commit()) {
      state.SkipWithError("the STL export failed");
      break;
    }
  }
  std::remove(path.c_str());
  state.counters["triangles"] = static_cast<double>(triangles);
}
BENCHMARK(BM_StlHelicalGearToFile)->Arg(100)->Arg(10)->Unit(benchmark::kMillisecond);

#ifdef KOVREX_BENCH_OCCT
void BM_OcctMesherOnStepSolid(benchmark::State& state) {
  const kovrex::GearRecord g = BenchGear();
  kovrex::StringSink step;
  if (!kovrex::WriteStepFile(step, "bench.step", g, 0.0, nullptr, 0, 0, 0)) {
    state.SkipWithError("the STEP writer cannot write the gear yet");
    for (auto _ : state) {
    }
    return;
  }
  const char* dir = std::getenv("TMPDIR");
  const std::string path = std::string(dir ? dir : "/tmp") + "/kovrex_bench_" + std::to_string(getpid()) + ".step";
  if (!kovrex::WriteFileAtomically(path, step.bytes)) {
    state.SkipWithError("cannot write the STEP file");
    for (auto _ : state) {
    }
    return;
  }
  STEPControl_Reader reader;
  const bool read = reader.ReadFile(path.c_str()) == IFSelect_RetDone;
  std::remove(path.c_str());
  if (!read || reader.TransferRoots() == 0) {
    state.SkipWithError("OpenCASCADE cannot read the STEP file");
    for (auto _ : state) {
    }
    return;
  }
  const TopoDS_Shape shape = reader.OneShape();
  const double deflection = static_cast<double>(state.range(0)) * 1e-4;
  double triangles = 0.0;
  for (auto _ : state) {
    BRepTools::Clean(shape);
    BRepMesh_IncrementalMesh mesh(shape, deflection, /*isRelative=*/Standard_False, /*angle=*/0.5,
                                  /*isInParallel=*/Standard_False);
    triangles = 0.0;
    for (TopExp_Explorer e(shape, TopAbs_FACE); e.More(); e.Next()) {
      TopLoc_Location location;
      const Handle(Poly_Triangulation) t = BRep_Tool::Triangulation(TopoDS::Face(e.Current()), location);
      if (!t.IsNull()) triangles += t->NbTriangles();
    }
  }
  state.counters["triangles"] = triangles;
}
BENCHMARK(BM_OcctMesherOnStepSolid)->Arg(100)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
