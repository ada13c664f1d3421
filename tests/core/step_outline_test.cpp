// Merging of outline points closer than the STEP file's 1e-6 mm precision: hand-made
// outlines for each rule, and the generators' own detail-4 outlines, whose tip and
// root arcs and undercut points can come closer than that.
#include "export/step_outline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "export/step_writer.h"
#include "support/gear_inputs.h"
#include "support/sample_bodies.h"
#include "support/step_text.h"

namespace kovrex {
namespace {

using Polylines = std::vector<OutlinePolyline>;

Polylines Make(const std::vector<std::vector<OutlinePoint>>& pieces) {
  Polylines out;
  for (const auto& p : pieces) out.push_back(OutlinePolyline{p});
  return out;
}

std::string Show(const Polylines& lines) {
  std::string s;
  for (const OutlinePolyline& l : lines) {
    s += "[";
    for (const OutlinePoint& p : l.points) s += "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
    s += "]";
  }
  return s;
}

// Shared end points, the closing point and the minimum spacing of a merged outline.
void ExpectSoundContour(const Polylines& lines, double minDistance, const std::string& name) {
  ASSERT_FALSE(lines.empty()) << name;
  for (size_t i = 0; i < lines.size(); ++i) {
    const auto& pts = lines[i].points;
    ASSERT_GE(pts.size(), 2u) << name << " piece " << i;
    const auto& next = lines[(i + 1) % lines.size()].points.front();
    EXPECT_EQ(pts.back().x, next.x) << name << " piece " << i;
    EXPECT_EQ(pts.back().y, next.y) << name << " piece " << i;
    for (size_t k = 1; k < pts.size(); ++k)
      EXPECT_GE(std::hypot(pts[k].x - pts[k - 1].x, pts[k].y - pts[k - 1].y), minDistance)
          << name << " piece " << i << " point " << k;
  }
}

TEST(StepOutlineMerge, RulesOnHandMadeOutlines) {
  const double d = 4e-7;  // below the 1e-6 precision
  struct Case {
    const char* name;
    Polylines in;
    Polylines expected;
  };
  const Case cases[] = {
      {"nothing to merge", Make({{{0, 0}, {10, 0}}, {{10, 0}, {10, 10}, {0, 10}}, {{0, 10}, {0, 0}}}),
       Make({{{0, 0}, {10, 0}}, {{10, 0}, {10, 10}, {0, 10}}, {{0, 10}, {0, 0}}})},
      {"inner point close to the one before",
       Make({{{0, 0}, {10, 0}}, {{10, 0}, {10, d}, {10, 5}, {10, 10}}, {{10, 10}, {0, 0}}}),
       Make({{{0, 0}, {10, 0}}, {{10, 0}, {10, 5}, {10, 10}}, {{10, 10}, {0, 0}}})},
      {"inner point gives way to the end point",
       Make({{{0, 0}, {10, 0}}, {{10, 0}, {10, 5}, {10, 10 - d}, {10, 10}}, {{10, 10}, {0, 0}}}),
       Make({{{0, 0}, {10, 0}}, {{10, 0}, {10, 5}, {10, 10}}, {{10, 10}, {0, 0}}})},
      {"a piece shorter than the precision joins its neighbour",
       Make({{{0, 0}, {10, 0}}, {{10, 0}, {10, d}, {10, 2 * d}}, {{10, 2 * d}, {10, 10}}, {{10, 10}, {0, 0}}}),
       Make({{{0, 0}, {10, 0}}, {{10, 0}, {10, 10}}, {{10, 10}, {0, 0}}})},
      {"the last piece closes exactly on the first point",
       Make({{{0, 0}, {10, 0}}, {{10, 0}, {10, 10}}, {{10, 10}, {0, d}}, {{0, d}, {0, 0}}}),
       Make({{{0, 0}, {10, 0}}, {{10, 0}, {10, 10}}, {{10, 10}, {0, 0}}})},
      {"empty polylines are skipped", Make({{}, {{0, 0}, {10, 0}}, {}, {{10, 0}, {5, 5}, {0, 0}}}),
       Make({{{0, 0}, {10, 0}}, {{10, 0}, {5, 5}, {0, 0}}})},
  };
  for (const Case& c : cases) {
    Polylines out = MergeCloseOutlinePoints(c.in);
    EXPECT_EQ(Show(out), Show(c.expected)) << c.name;
    ExpectSoundContour(out, 1e-6, c.name);
  }
  EXPECT_TRUE(MergeCloseOutlinePoints({}).empty());
  EXPECT_TRUE(MergeCloseOutlinePoints(Make({{}, {}})).empty());
  EXPECT_TRUE(MergeCloseOutlinePoints(Make({{{1, 1}, {1, 1 + d}}, {{1, 1 + d}, {1, 1}}})).empty());
}

TEST(StepOutlineMerge, GeneratorOutlinesAtExportDetail) {
  struct Body {
    const char* name;
    GearRecord record;
  };
  std::vector<Body> bodies;
  const test::GearInput gears[] = {
      {"m2 z20", 2.0, 20, 0.0, 20.0, 0.0},        {"z8 deep undercut", 1.0, 8, -0.3, 20.0, 0.0},
      {"z7 pointed tip", 1.0, 7, 0.9, 20.0, 0.0}, {"z200", 0.5, 200, 0.0, 20.0, 0.0},
      {"helical z13", 3.0, 13, 0.0, 20.0, 30.0},
  };
  for (const test::GearInput& g : gears) bodies.push_back({g.name, test::MakeGear(g, /*detail=*/4)});
  GearRecord ring;
  GenerateToothProfile(ring, 2.0, 60, 0.0, 20.0, 20.0, 10.0, 0.0, 0.0, 1, /*detail=*/4, 0.0);
  bodies.push_back({"ring z60", ring});
  GearRecord rack;
  BuildRackOutline(rack, 2.0, 20.0, 0.0, 1, 10, 8.0, 20.0, 0.0, /*density=*/4);
  bodies.push_back({"rack", rack});
  for (const Body& b : bodies) {
    ASSERT_EQ(b.record.valid, 1) << b.name;
    ExpectSoundContour(MergeCloseOutlinePoints(b.record.outline), 1e-6, b.name);
  }
}

TEST(StepOutlineMerge, FileHasNoEdgeShorterThanItsPrecision) {
  // A gear whose tip arc is shortened to a sliver 3e-7 mm long: the file gets one
  // side face fewer than the outline has polylines, and still closes.
  GearRecord g;
  test::MakeGear(g, 2.0, 20);
  size_t n = g.outline.size();
  size_t arc = 0;
  for (size_t i = 0; i < n; ++i)
    if (g.outline[i].points.size() > 2) {
      arc = i;
      break;
    }
  OutlinePolyline& sliver = g.outline[arc];
  const OutlinePoint a = sliver.points.front();
  sliver.points = {a, {a.x, a.y + 1e-7}, {a.x, a.y + 3e-7}};
  g.outline[arc + 1].points.front() = sliver.points.back();
  StringSink sink;
  SetStepFileTimeForTest("2026-01-01T00:00:00");
  ASSERT_TRUE(WriteStepFile(sink, "s.stp", g, 0.0, nullptr, 0, 0, 0));
  SetStepFileTimeForTest("");
  auto e = test::ParseStepEntities(sink.bytes);
  // n - 1 side faces, the bottom and the top face (no bore).
  std::vector<uint64_t> shells = test::FindStepEntities(e, "CLOSED_SHELL");
  ASSERT_EQ(shells.size(), 1u);
  EXPECT_EQ(test::StepShellFaces(e, shells[0]).size(), n - 1 + 2);
}

}  // namespace
}  // namespace kovrex
