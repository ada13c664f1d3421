// The STEP entity writers: numbering, exact entity texts, order of the circle and
// loop entities, and the fault flag for numbers no file may hold.
#include "export/step_entities.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "numbers/number_text.h"
#include "support/report_lines.h"

namespace kovrex {
namespace {

std::vector<std::string> Lines(const std::string& text) { return test::SplitLines(text); }

class StepEntities : public ::testing::Test {
 protected:
  void SetUp() override { ResetStepEntities(); }
  void TearDown() override { ResetStepEntities(); }
};

TEST_F(StepEntities, NumbersFromOneAndFormsLines) {
  EXPECT_EQ(AddStepEntity("DIRECTION('',(0.,0.,1.))"), 1u);
  EXPECT_EQ(WriteStepCartesianPoint(1.5, -4e-13, -2.0), 2u);
  EXPECT_EQ(WriteStepVertexPoint(0.0, 0.0, 10.0), 4u);
  EXPECT_EQ(WriteStepOrientedEdge(4, false), 5u);
  EXPECT_EQ(StepEntityCounter, 5u);
  EXPECT_EQ(StepLineList.text,
            "#1=DIRECTION('',(0.,0.,1.));\n"
            "#2=CARTESIAN_POINT('',(1.500000,0.000000,-2.000000));\n"
            "#3=CARTESIAN_POINT('',(0.000000,0.000000,10.000000));\n"
            "#4=VERTEX_POINT('',#3);\n"
            "#5=ORIENTED_EDGE('',*,*,#4,.F.);\n");
  EXPECT_FALSE(StepLineList.faulty);
  ResetStepEntities();
  EXPECT_EQ(AddStepEntity("X()"), 1u);
}

TEST_F(StepEntities, ReferencesAreDecimalWithoutLeadingZerosIn64Bits) {
  EXPECT_EQ(FormatStepRef(7), "#7");
  EXPECT_EQ(FormatStepRef(4294967296ull), "#4294967296");  // beyond 32 bits
  StepEntityCounter = 4294967295ull;
  EXPECT_EQ(AddStepEntity("X()"), 4294967296ull);
  EXPECT_EQ(StepLineList.text, "#4294967296=X();\n");
}

TEST_F(StepEntities, CircleEdgesRunFromAngleZeroOverPlusY) {
  StepCircleEdges c;
  WriteStepCircleEdges(14, 15, c, 50.0, 0.0, 5.0, 4.0);
  EXPECT_EQ(c.point1, 1u);
  EXPECT_EQ(c.vertex1, 2u);
  EXPECT_EQ(c.point2, 3u);
  EXPECT_EQ(c.vertex2, 4u);
  EXPECT_EQ(c.edge1, 8u);
  EXPECT_EQ(c.edge2, 9u);
  std::vector<std::string> lines = Lines(StepLineList.text);
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], "#1=CARTESIAN_POINT('',(54.000000,0.000000,5.000000));");
  EXPECT_EQ(lines[2], "#3=CARTESIAN_POINT('',(46.000000,0.000000,5.000000));");
  EXPECT_EQ(lines[4], "#5=CARTESIAN_POINT('',(50.000000,0.000000,5.000000));");
  EXPECT_EQ(lines[5], "#6=AXIS2_PLACEMENT_3D('',#5,#14,#15);");
  EXPECT_EQ(lines[6], "#7=CIRCLE('',#6,4.000000);");
  EXPECT_EQ(lines[7], "#8=EDGE_CURVE('',#2,#4,#7,.T.);");
  EXPECT_EQ(lines[8], "#9=EDGE_CURVE('',#4,#2,#7,.T.);");
}

TEST_F(StepEntities, LoopsRunForwardOrReversed) {
  StepCircleEdges c;
  c.edge1 = 8;
  c.edge2 = 9;
  EXPECT_EQ(WriteStepCircleLoop(c, true), "#3");
  EXPECT_EQ(WriteStepCircleLoop(c, false), "#6");
  StepBoreLoop b;
  b.count = 4;
  b.edge[0] = 20;
  b.edge[1] = 21;
  b.edge[2] = 22;
  b.edge[3] = 23;
  EXPECT_EQ(WriteStepEdgeLoop(b), "#11");
  EXPECT_EQ(WriteStepEdgeLoopReversed(b), "#16");
  std::vector<std::string> lines = Lines(StepLineList.text);
  std::vector<std::string> expected = {
      "#1=ORIENTED_EDGE('',*,*,#8,.T.);",    "#2=ORIENTED_EDGE('',*,*,#9,.T.);",   "#3=EDGE_LOOP('',(#1,#2));",
      "#4=ORIENTED_EDGE('',*,*,#9,.F.);",    "#5=ORIENTED_EDGE('',*,*,#8,.F.);",   "#6=EDGE_LOOP('',(#4,#5));",
      "#7=ORIENTED_EDGE('',*,*,#20,.T.);",   "#8=ORIENTED_EDGE('',*,*,#21,.T.);",  "#9=ORIENTED_EDGE('',*,*,#22,.T.);",
      "#10=ORIENTED_EDGE('',*,*,#23,.T.);",  "#11=EDGE_LOOP('',(#7,#8,#9,#10));",  "#12=ORIENTED_EDGE('',*,*,#23,.F.);",
      "#13=ORIENTED_EDGE('',*,*,#22,.F.);",  "#14=ORIENTED_EDGE('',*,*,#21,.F.);", "#15=ORIENTED_EDGE('',*,*,#20,.F.);",
      "#16=EDGE_LOOP('',(#12,#13,#14,#15));"};
  EXPECT_EQ(lines, expected);
}

TEST_F(StepEntities, NonFiniteNumberMarksTheFileAndNeverPrints) {
  const double values[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity()};
  for (double v : values) {
    ResetStepEntities();
    WriteStepAxisPlacement(1, 2, 0.0, v, 0.0);
    EXPECT_TRUE(StepLineList.faulty) << v;
    EXPECT_EQ(StepLineList.text.find("NaN"), std::string::npos);
    EXPECT_EQ(StepLineList.text.find("Infinity"), std::string::npos);
  }
  ResetStepEntities();
  EXPECT_FALSE(StepLineList.faulty);
}

// The decimal value of a fixed-point text, worked out apart from the writer: its
// digits as a whole number, divided by the power of ten of its decimals. Both are
// exact doubles below 2^53, so the quotient is the double nearest the text.
double DecimalValue(const std::string& text) {
  int64_t digits = 0, scale = 1;
  bool negative = false, after = false;
  for (char c : text) {
    if (c == '-') negative = true;
    if (c == '.') after = true;
    if (c < '0' || c > '9') continue;
    digits = digits * 10 + (c - '0');
    if (after) scale *= 10;
  }
  const double v = static_cast<double>(digits) / static_cast<double>(scale);
  return negative ? -v : v;
}

// A vertex placed "as written" must be the number the file's text holds, bit for
// bit: on random lengths, on halves of lengths typed with six decimals (a seventh
// decimal of 5, where double rounding goes wrong), and on sums of such values.
TEST_F(StepEntities, AsWrittenIsTheNumberOfTheWrittenText) {
  std::mt19937_64 rng(4711);
  std::uniform_real_distribution<double> length(-2000.0, 2000.0);
  std::uniform_int_distribution<int64_t> typed(1, 400000000);  // up to 400 mm in um
  int ties = 0;
  for (int i = 0; i < 200000; ++i) {
    const double values[] = {length(rng), static_cast<double>(typed(rng)) / 1e6 / 2.0,
                             static_cast<double>(typed(rng)) / 1e7};
    for (double v : values) {
      const std::string text = FormatStepReal(v);
      const double written = StepRoundedAsWritten(v);
      ASSERT_EQ(written, DecimalValue(text)) << text;
      ASSERT_EQ(FormatStepReal(written), text);
      if (std::nearbyint(v * 1e6) / 1e6 != written) ++ties;
      const std::string fine = FormatStepRealFine(v);
      ASSERT_EQ(StepRoundedFine(v), DecimalValue(fine)) << fine;
    }
  }
  // The rounding of the scaled value differs on many of these.
  EXPECT_GT(ties, 100);
  for (double v : {0.0, -0.0, 1e-13, -1e-9, 5e-7, -5e-7, 99999.9999995})
    EXPECT_EQ(StepRoundedAsWritten(v), DecimalValue(FormatStepReal(v))) << v;
  EXPECT_TRUE(std::isnan(StepRoundedAsWritten(std::numeric_limits<double>::quiet_NaN())));
}

}  // namespace
}  // namespace kovrex
