// The STL of each two-body arrangement placed exactly as the canvas draws it, at
// a drive angle that is not a special one: two closed parts that do not overlap,
// the second body's triangles after the first's.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>

#include "app/app_state.h"
#include "app/placements.h"
#include "export/byte_sink.h"
#include "export/stl_writer.h"
#include "geometry/arrangement_state.h"
#include "geometry/gear_record.h"
#include "support/stl_bodies.h"
#include "support/stl_check.h"
#include "support/test_support.h"

namespace kovrex {
namespace {

struct ArrangementCase {
  const char* name;
  DisplayKind kind;
  int64_t secondEuler;
};

void PrintTo(const ArrangementCase& c, std::ostream* out) { *out << c.name; }

class StlAsShown : public test::KovrexTest, public ::testing::WithParamInterface<ArrangementCase> {};

TEST_P(StlAsShown, TwoClosedPartsWithoutOverlap) {
  const ArrangementCase& c = GetParam();
  // Thinned teeth (0.15 mm allowance) keep play at every drive angle.
  Gear1 = test::StlGear(2.0, 20, 10.0, 10.0, 0.0, 1, 0.15);
  switch (c.kind) {
    case DisplayKind::Pair:
      Gear2 = test::StlGear(2.0, 33, 10.0, 16.0, 0.0, 1, 0.15);
      PairCentreDistance = Gear1.pitchRadius + Gear2.pitchRadius;
      break;
    case DisplayKind::PinionRack:
      Rack = test::StlRack(2.0, 12, 8.0, 10.0, 0.0, 1, 0.15);
      break;
    case DisplayKind::Internal:
      RingGear = test::StlRing(2.0, 57, 10.0, 7.0);
      InternalCentreDistance = RingGear.pitchRadius - Gear1.pitchRadius;
      break;
    default:
      FAIL();
  }
  DisplayMode = static_cast<int>(c.kind);
  DriveAngle = 0.4137;
  BodyPlacement placed[2];
  ASSERT_EQ(ComputeBodyPlacements(placed), 2);

  StringSink sink;
  ExportStatus status;
  const uint64_t n = WriteStlFile(sink, 0.01, *placed[0].body, placed[0].rotation, placed[1].body, placed[1].x,
                                  placed[1].y, placed[1].rotation, &status);
  ASSERT_GT(n, 0u) << static_cast<int>(status.error);
  const test::StlFile f = test::ParseStl(sink.bytes);
  ASSERT_TRUE(f.parsed);
  const test::MeshFacts mesh = test::CheckMesh(f);
  EXPECT_EQ(mesh.unpairedEdges + mesh.repeatedEdges + mesh.degenerateFacets + mesh.thinFacets, 0);
  ASSERT_EQ(mesh.parts.size(), 2u);
  EXPECT_EQ(mesh.parts[0].euler, 0);
  EXPECT_EQ(mesh.parts[1].euler, c.secondEuler);
  const size_t split = static_cast<size_t>(mesh.parts[0].facets);
  EXPECT_EQ(split, EstimateStlTriangles(*placed[0].body, 0.01)) << "the first body's triangles come first";
  for (size_t p = 0; p < 2; ++p) {
    EXPECT_GT(mesh.parts[p].volume, 0.0);
    const test::ExpectedVolume e = test::ExpectVolume(*placed[p].body, 0.01);
    EXPECT_NEAR(mesh.parts[p].volume, e.volume, e.band) << p;
  }
  EXPECT_EQ(test::VerticesInside(f, split, f.facets.size(), 0, split), 0) << "second body inside the first";
  EXPECT_EQ(test::VerticesInside(f, 0, split, split, f.facets.size()), 0) << "first body inside the second";
  test::ExpectAdmeshClean(sink.bytes, std::string("as_shown_") + c.name, 2);
}

const ArrangementCase kArrangements[] = {
    {"Pair", DisplayKind::Pair, 0},
    {"PinionWithRack", DisplayKind::PinionRack, 2},
    {"InternalPair", DisplayKind::Internal, 0},
};

INSTANTIATE_TEST_SUITE_P(Arrangements, StlAsShown, ::testing::ValuesIn(kArrangements),
                         [](const ::testing::TestParamInfo<ArrangementCase>& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace kovrex
