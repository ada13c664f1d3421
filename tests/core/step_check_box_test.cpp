// The STEP test reader itself: on a hand-made 10 mm cube it must see a sound
// solid, and without healing it must see a face turned inside out or left out,
// which the default reader quietly repairs.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "support/step_check.h"

namespace kovrex::test {
namespace {

StepCheck CheckBox(const std::string& name, int flipFace, int dropFace) {
  const std::string path = ::testing::TempDir() + name;
  std::ofstream(path) << MakeBoxStep(flipFace, dropFace);
  StepCheck check = RunStepCheck(path, {"--section", "5"});
  std::remove(path.c_str());
  return check;
}

TEST(StepCheckReader, SoundCubeReadsAsOneValidSolidBothWays) {
  if (!StepCheckAvailable()) GTEST_SKIP() << "OpenCASCADE not found at configure time";
  const StepCheck check = CheckBox("box_ok.stp", -1, -1);
  ASSERT_TRUE(check.ran) << check.output;
  for (const CheckedRead* read : {&check.healed, &check.raw}) {
    ASSERT_EQ(read->solids.size(), 1u) << check.output;
    const CheckedSolid& s = read->solids[0];
    EXPECT_TRUE(s.valid);
    EXPECT_EQ(s.freeEdges, 0);
    EXPECT_NEAR(s.volume, 1000.0, 1e-6);
    EXPECT_NEAR(s.box[0], 0.0, 1e-6);
    EXPECT_NEAR(s.box[5], 10.0, 1e-6);
  }
  // The plane section is made of the solid as written.
  const CheckedSolid& raw = check.raw.solids[0];
  EXPECT_TRUE(raw.hasSection);
  EXPECT_NEAR(raw.sectionArea, 100.0, 1e-6);
  ASSERT_EQ(raw.wires.size(), 1u);
  EXPECT_TRUE(raw.wires[0].closed);
}

TEST(StepCheckReader, FlippedFaceIsSeenWithoutHealing) {
  if (!StepCheckAvailable()) GTEST_SKIP() << "OpenCASCADE not found at configure time";
  for (int face = 0; face < 6; ++face) {
    SCOPED_TRACE(face);
    const StepCheck check = CheckBox("box_flip.stp", face, -1);
    ASSERT_TRUE(check.ran) << check.output;
    ASSERT_EQ(check.raw.solids.size(), 1u) << check.output;
    const CheckedSolid& s = check.raw.solids[0];
    EXPECT_FALSE(s.valid && std::abs(s.volume - 1000.0) < 1e-3) << check.output;
  }
}

TEST(StepCheckReader, MissingFaceLeavesFreeEdgesWithoutHealing) {
  if (!StepCheckAvailable()) GTEST_SKIP() << "OpenCASCADE not found at configure time";
  const StepCheck check = CheckBox("box_open.stp", -1, 3);
  ASSERT_TRUE(check.ran) << check.output;
  ASSERT_EQ(check.raw.solids.size(), 1u) << check.output;
  EXPECT_EQ(check.raw.solids[0].freeEdges, 4) << check.output;
}

}  // namespace
}  // namespace kovrex::test
