// Every STL vertex on the true surface and every chord within the tolerance: the
// STL of a body measured against the STEP solid of the same body, read with
// OpenCASCADE by a helper program. Skips without OpenCASCADE or while the STEP
// writer cannot write the body.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "export/byte_sink.h"
#include "export/step_writer.h"
#include "export/stl_writer.h"
#include "numbers/number_text.h"
#include "support/stl_bodies.h"
#include "support/stl_check.h"

namespace kovrex {
namespace {

// The STEP faces are B-splines whose control polygons are the outline at the
// export's detail 4: they pass through the ends of each piece and stay within about
// a micrometre of the involute between them, so a vertex on the true surface lies
// within that fit's own error of the faces.
constexpr double kStepFitError = 2e-3;

// The body at a detail level: 1 for the record as displayed, 4 for the outline the
// export command hands to the STEP writer.
struct SurfaceCase {
  const char* name;
  std::function<GearRecord(int detail)> make;
  double rotation;
  double tolerance;
};

void PrintTo(const SurfaceCase& c, std::ostream* out) { *out << c.name; }

const SurfaceCase kCases[] = {
    {"SpurBore", [](int d) { return test::StlGear(2.0, 30, 10.0, 20.0, 0.0, 1, 0.0, d); }, 0.3, 0.01},
    {"HelicalRightBore", [](int d) { return test::StlGear(3.0, 40, 40.0, 30.0, 20.0, 1, 0.0, d); }, 0.0, 0.01},
    {"HelicalLeftSolid", [](int d) { return test::StlGear(2.0, 25, 15.0, 0.0, 15.0, -1, 0.0, d); }, 0.5, 0.05},
    {"HubsKeyway",
     [](int d) {
       GearRecord g = test::StlGear(3.0, 40, 30.0, 30.0, 0.0, 1, 0.0, d);
       test::AddKeyway(g, 8.0, 3.3);
       test::AddHub(g, 3, 70.0, 20.0);
       return g;
     },
     0.7, 0.01},
    {"HelicalRing", [](int d) { return test::StlRing(2.0, 48, 12.0, 6.0, 15.0, -1, d); }, 0.0, 0.01},
    {"HelicalRack", [](int d) { return test::StlRack(2.0, 10, 8.0, 10.0, 20.0, 1, 0.0, d); }, 0.0, 0.01},
};

std::string RunHelper(const std::string& step, const std::string& points) {
#ifdef KOVREX_STL_ON_STEP
  const std::string command = std::string("timeout 300 '") + KOVREX_STL_ON_STEP + "' '" + step + "' '" + points + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {};
  std::string out;
  char buffer[512];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
  if (pclose(pipe) != 0) return {};
  return out;
#else
  (void)step;
  (void)points;
  return {};
#endif
}

double Reported(const std::string& out, const std::string& label) {
  const size_t at = out.find(label + " ");
  return at == std::string::npos ? -1.0 : std::atof(out.c_str() + at + label.size() + 1);
}

class StlOnStep : public ::testing::TestWithParam<SurfaceCase> {};

TEST_P(StlOnStep, VerticesOnTheSolidAndChordsWithinTheTolerance) {
#ifndef KOVREX_STL_ON_STEP
  GTEST_SKIP() << "OpenCASCADE not found";
#endif
  const SurfaceCase& c = GetParam();
  const GearRecord body = c.make(1);
  StringSink step;
  if (!WriteStepFile(step, "stl_on_step.step", c.make(4), c.rotation, nullptr, 0, 0, 0)) {
    GTEST_SKIP() << "the STEP writer cannot write this body yet";
  }
  StringSink stl;
  ASSERT_GT(WriteStlFile(stl, c.tolerance, body, c.rotation, nullptr, 0, 0, 0), 0u);
  const test::StlFile f = test::ParseStl(stl.bytes);
  ASSERT_TRUE(f.parsed);

  const std::string base = ::testing::TempDir() + "kovrex_stl_on_step_" + c.name;
  {
    std::ofstream out(base + ".step", std::ios::binary);
    out << step.bytes;
  }
  std::ofstream points(base + ".txt");
  auto put = [&](const char* kind, double x, double y, double z) {
    points << kind << ' ' << FormatFixed(9, x) << ' ' << FormatFixed(9, y) << ' ' << FormatFixed(9, z) << '\n';
  };
  // A spread sample of the wall facets (those not lying in one z plane): the first
  // vertex and the midpoints of the three edges of every k-th one. Every vertex of
  // the mesh is a wall vertex, and every wall edge is a chord of a side face, a
  // bore or a hub mantle, helical walls included. The end faces are planes whose
  // distance is plain; the helper leaves them out, as they are slow to measure.
  std::vector<size_t> wallFacets;
  for (size_t i = 0; i < f.facets.size(); ++i) {
    const auto& t = f.facets[i];
    if (t.v[0][2] != t.v[1][2] || t.v[0][2] != t.v[2][2]) wallFacets.push_back(i);
  }
  const size_t every = std::max<size_t>(1, wallFacets.size() / 300);
  for (size_t k = 0; k < wallFacets.size(); k += every) {
    const auto& t = f.facets[wallFacets[k]];
    put("v", t.v[0][0], t.v[0][1], t.v[0][2]);
    for (int j = 0; j < 3; ++j) {
      const auto& a = t.v[j];
      const auto& b = t.v[(j + 1) % 3];
      put("m", (double(a[0]) + b[0]) / 2, (double(a[1]) + b[1]) / 2, (double(a[2]) + b[2]) / 2);
    }
  }
  points.close();

  const std::string out = RunHelper(base + ".step", base + ".txt");
  std::remove((base + ".step").c_str());
  std::remove((base + ".txt").c_str());
  ASSERT_FALSE(out.empty()) << "the OpenCASCADE helper failed";
  EXPECT_EQ(Reported(out, "solids"), 1.0) << out;
  EXPECT_LT(Reported(out, "vertices"), kStepFitError) << out;
  EXPECT_LT(Reported(out, "midpoints"), c.tolerance + kStepFitError) << out;
}

INSTANTIATE_TEST_SUITE_P(Bodies, StlOnStep, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<SurfaceCase>& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace kovrex
