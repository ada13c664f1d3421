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

#include "export/byte_sink.h"
#include "export/step_writer.h"
#include "export/stl_writer.h"
#include "numbers/number_text.h"
#include "support/stl_bodies.h"
#include "support/stl_check.h"

namespace kovrex {
namespace {

// The STEP faces are B-spline fits of the outline; a vertex on the true surface
// lies within the fit's own error of them.
constexpr double kStepFitError = 2e-4;

struct SurfaceCase {
  const char* name;
  std::function<GearRecord()> make;
  double rotation;
  double tolerance;
};

void PrintTo(const SurfaceCase& c, std::ostream* out) { *out << c.name; }

const SurfaceCase kCases[] = {
    {"SpurBore", [] { return test::StlGear(2.0, 30, 10.0, 20.0); }, 0.3, 0.01},
    {"HelicalRightBore", [] { return test::StlGear(3.0, 40, 40.0, 30.0, 20.0, 1); }, 0.0, 0.01},
    {"HelicalLeftSolid", [] { return test::StlGear(2.0, 25, 15.0, 0.0, 15.0, -1); }, 0.5, 0.05},
    {"HubsKeyway",
     [] {
       GearRecord g = test::StlGear(3.0, 40, 30.0, 30.0);
       test::AddKeyway(g, 8.0, 3.3);
       test::AddHub(g, 3, 70.0, 20.0);
       return g;
     },
     0.7, 0.01},
    {"HelicalRing", [] { return test::StlRing(2.0, 48, 12.0, 6.0, 15.0, -1); }, 0.0, 0.01},
    {"HelicalRack", [] { return test::StlRack(2.0, 10, 8.0, 10.0, 20.0, 1); }, 0.0, 0.01},
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
  const GearRecord body = c.make();
  StringSink step;
  if (!WriteStepFile(step, "stl_on_step.step", body, c.rotation, nullptr, 0, 0, 0)) {
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
  // A spread sample: every k-th facet gives its first vertex and the midpoints of
  // its three edges, and every wall edge running between two layers is sampled
  // apart so that the helical chords are surely among them.
  const size_t step1 = std::max<size_t>(1, f.facets.size() / 400);
  size_t walls = 0;
  for (size_t i = 0; i < f.facets.size(); ++i) {
    const auto& t = f.facets[i];
    const bool sampled = i % step1 == 0;
    if (sampled) put("v", t.v[0][0], t.v[0][1], t.v[0][2]);
    for (int j = 0; j < 3; ++j) {
      const auto& a = t.v[j];
      const auto& b = t.v[(j + 1) % 3];
      const bool wall = a[2] != b[2];
      if (sampled || (wall && (walls++ % (step1 * 4) == 0)))
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
