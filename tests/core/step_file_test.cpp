// The STEP file as a whole: the fixed frame against the exchange-file layout the
// reader expects, numbering per file, references only backwards, the escaped file
// name, and the refusals that write nothing (non-finite numbers, empty outlines,
// a sink that fails).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <regex>
#include <string>
#include <vector>

#include "export/step_writer.h"
#include "support/report_lines.h"
#include "support/sample_bodies.h"
#include "support/step_text.h"
#include "text/texts.h"

namespace kovrex {
namespace {

std::vector<std::string> Lines(const std::string& text) { return test::SplitLines(text); }

class FailingSink : public ByteSink {
 public:
  using ByteSink::Write;
  bool Write(const void*, size_t) override {
    ++calls;
    return false;
  }
  int calls = 0;
};

class StepFile : public ::testing::Test {
 protected:
  void SetUp() override {
    SetStepFileTimeForTest("2026-03-05T14:07:09");
    SetTextLanguageForTest(false);
    test::MakeGear(gear, 2.0, 20, 0.0, 8.0);
  }
  void TearDown() override {
    SetStepFileTimeForTest("");
    SetTextLanguageForTest(false);
  }
  std::string Write(const std::string& path, const GearRecord& first, const GearRecord* second = nullptr) {
    StringSink sink;
    ExportStatus status;
    EXPECT_TRUE(WriteStepFile(sink, path, first, 0.2, second, 60.0, 0.0, 0.05, &status));
    EXPECT_EQ(status.error, ExportError::None);
    return sink.bytes;
  }
  GearRecord gear;
};

TEST_F(StepFile, FixedFrameHeaderAndTrailer) {
  std::vector<std::string> lines = Lines(Write("/a/b/paar_m2_z20-40.stp", gear));
  const std::vector<std::string> head = {
      "ISO-10303-21;",
      "HEADER;",
      "FILE_DESCRIPTION(('Involute gear'),'2;1');",
      "FILE_NAME('paar_m2_z20-40.stp','2026-03-05T14:07:09',(''),(''),'Kovrex','Kovrex','');",
      "FILE_SCHEMA(('AUTOMOTIVE_DESIGN { 1 0 10303 214 1 1 1 1 }'));",
      "ENDSEC;",
      "DATA;",
      "#1=APPLICATION_CONTEXT('core data for automotive mechanical design processes');",
      "#2=APPLICATION_PROTOCOL_DEFINITION('international standard','automotive_design',2000,#1);",
      "#3=PRODUCT_CONTEXT('',#1,'mechanical');",
      "#4=PRODUCT('paar_m2_z20-40','paar_m2_z20-40','',(#3));",
      "#5=PRODUCT_DEFINITION_FORMATION('','',#4);",
      "#6=PRODUCT_DEFINITION_CONTEXT('part definition',#1,'design');",
      "#7=PRODUCT_DEFINITION('design','',#5,#6);",
      "#8=PRODUCT_DEFINITION_SHAPE('','',#7);",
      "#9=(LENGTH_UNIT()NAMED_UNIT(*)SI_UNIT(.MILLI.,.METRE.));",
      "#10=(NAMED_UNIT(*)PLANE_ANGLE_UNIT()SI_UNIT($,.RADIAN.));",
      "#11=(NAMED_UNIT(*)SI_UNIT($,.STERADIAN.)SOLID_ANGLE_UNIT());",
      "#12=UNCERTAINTY_MEASURE_WITH_UNIT(LENGTH_MEASURE(1.E-06),#9,'distance_accuracy_value','confusion accuracy');",
      "#13=(GEOMETRIC_REPRESENTATION_CONTEXT(3)GLOBAL_UNCERTAINTY_ASSIGNED_CONTEXT((#12))GLOBAL_UNIT_ASSIGNED_CONTEXT("
      "(#9,#10,#11))REPRESENTATION_CONTEXT('Context #1','3D Context with UNIT and UNCERTAINTY'));",
      "#14=DIRECTION('',(0.,0.,1.));",
      "#15=DIRECTION('',(1.,0.,0.));",
      "#16=CARTESIAN_POINT('',(0.000000,0.000000,0.000000));",
      "#17=AXIS2_PLACEMENT_3D('',#16,#14,#15);",
  };
  ASSERT_GT(lines.size(), head.size() + 4);
  for (size_t i = 0; i < head.size(); ++i) EXPECT_EQ(lines[i], head[i]) << "line " << i + 1;
  // The first solid follows #17 directly; the representation lists the world
  // placement and the solid, and the shape definition closes the data.
  EXPECT_EQ(lines[head.size()].substr(0, 4), "#18=");
  const size_t n = lines.size();
  EXPECT_EQ(lines[n - 2], "ENDSEC;");
  EXPECT_EQ(lines[n - 1], "END-ISO-10303-21;");
  std::smatch m;
  ASSERT_TRUE(std::regex_match(lines[n - 5], m, std::regex(R"(#(\d+)=MANIFOLD_SOLID_BREP\('Gear z=20',#\d+\);)")))
      << lines[n - 5];
  const uint64_t solid = std::stoull(m[1]);
  EXPECT_EQ(lines[n - 4], "#" + std::to_string(solid + 1) +
                              "=ADVANCED_BREP_SHAPE_REPRESENTATION('paar_m2_z20-40',(#17,#" + std::to_string(solid) +
                              "),#13);");
  EXPECT_EQ(lines[n - 3], "#" + std::to_string(solid + 2) + "=SHAPE_DEFINITION_REPRESENTATION(#8,#" +
                              std::to_string(solid + 1) + ");");
}

TEST_F(StepFile, DutchBuildDescribesTheFileInDutch) {
  SetTextLanguageForTest(true);
  std::string text = Write("tandwiel.stp", gear);
  EXPECT_NE(text.find("\nFILE_DESCRIPTION(('Evolvent tandwiel'),'2;1');\n"), std::string::npos);
  EXPECT_NE(text.find("MANIFOLD_SOLID_BREP('Tandwiel z=20',"), std::string::npos);
}

TEST_F(StepFile, TwoBodiesGiveThreeRepresentationItemsInOrder) {
  GearRecord second;
  test::MakeGear(second, 2.0, 40, 0.0, 10.0);
  auto entities = test::ParseStepEntities(Write("paar.stp", gear, &second));
  std::vector<uint64_t> solids = test::FindStepEntities(entities, "MANIFOLD_SOLID_BREP");
  ASSERT_EQ(solids.size(), 2u);
  std::vector<uint64_t> reps = test::FindStepEntities(entities, "ADVANCED_BREP_SHAPE_REPRESENTATION");
  ASSERT_EQ(reps.size(), 1u);
  EXPECT_EQ(test::StepReferences(entities[reps[0]]), (std::vector<uint64_t>{17, solids[0], solids[1], 13}));
  EXPECT_NE(entities[solids[0]].find("'Gear z=20'"), std::string::npos);
  EXPECT_NE(entities[solids[1]].find("'Gear z=40'"), std::string::npos);
}

TEST_F(StepFile, EveryLineEndsInOneLineFeedAndRefersOnlyBackwards) {
  GearRecord second;
  test::MakeGear(second, 2.0, 40, 0.0, 10.0);
  second.hubSide = 3;
  second.hubDiameter = 50.0;
  second.hubLength = 8.0;
  second.keywayWidth = 3.0;
  second.keywayDepth = 1.4;
  std::string text = Write("/tmp/x/pair.stp", gear, &second);
  EXPECT_EQ(text.find('\r'), std::string::npos);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '\n');
  EXPECT_EQ(text.find("\n\n"), std::string::npos);
  EXPECT_NE(static_cast<unsigned char>(text[0]), 0xEF);  // no byte-order mark
  for (unsigned char c : text) EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << int(c);

  auto entities = test::ParseStepEntities(text);
  uint64_t expected = 1;
  for (const auto& [n, body] : entities) {
    EXPECT_EQ(n, expected++) << "entity numbers run without gaps";
    for (uint64_t ref : test::StepReferences(body)) {
      EXPECT_LT(ref, n) << "#" << n << "=" << body;
      EXPECT_TRUE(entities.count(ref)) << "#" << n << " refers to missing #" << ref;
    }
  }
  // Every DATA line is an entity.
  std::vector<std::string> lines = Lines(text);
  for (size_t i = 7; i + 2 < lines.size(); ++i) EXPECT_EQ(lines[i][0], '#') << lines[i];
}

TEST_F(StepFile, TwoExportsInARowBothNumberFromOne) {
  GearRecord second;
  test::MakeGear(second, 2.0, 40, 0.0, 10.0);
  std::string pair = Write("a.stp", gear, &second);
  std::string single = Write("a.stp", gear);
  std::string again = Write("a.stp", gear);
  EXPECT_EQ(Lines(single)[7], "#1=APPLICATION_CONTEXT('core data for automotive mechanical design processes');");
  EXPECT_EQ(single, again);
  EXPECT_LT(single.size(), pair.size());
}

TEST_F(StepFile, FileNameIsEscapedAsAStepString) {
  struct Case {
    const char* path;
    const char* name;      // in PRODUCT and the representation
    const char* fileName;  // in FILE_NAME
  };
  const Case cases[] = {
      {"/a/b/paar_m2_z20-40.stp", "paar_m2_z20-40", "paar_m2_z20-40.stp"},
      {"/home/o'brien/o'brien's.stp", "o''brien''s", "o''brien''s.stp"},
      {"dir/back\\slash.stp", "back\\\\slash", "back\\\\slash.stp"},
      {"wiel_\xC3\xB8"
       "20.stp",
       "wiel_\\X2\\00F8\\X0\\20", "wiel_\\X2\\00F8\\X0\\20.stp"},                        // U+00F8
      {"\xE2\x82\xAC\xC3\xA9.stp", "\\X2\\20AC00E9\\X0\\", "\\X2\\20AC00E9\\X0\\.stp"},  // one run
      {"g\xF0\x9F\x98\x80.stp", "g\\X2\\D83DDE00\\X0\\", "g\\X2\\D83DDE00\\X0\\.stp"},   // surrogate pair
      {"latin\xE9.stp", "latin\\X2\\00E9\\X0\\", "latin\\X2\\00E9\\X0\\.stp"},           // not UTF-8
      {"tab\there.stp", "tab\\X2\\0009\\X0\\here", "tab\\X2\\0009\\X0\\here.stp"},
      {"a.b.step", "a.b", "a.b.step"},
      {"/x/noextension", "noextension", "noextension"},
  };
  for (const Case& c : cases) {
    std::string text = Write(c.path, gear);
    const std::string name = c.name, fileName = c.fileName;
    EXPECT_NE(text.find("=PRODUCT('" + name + "','" + name + "','',(#3));\n"), std::string::npos) << c.path;
    EXPECT_NE(text.find("=ADVANCED_BREP_SHAPE_REPRESENTATION('" + name + "',(#17,"), std::string::npos) << c.path;
    EXPECT_NE(text.find("\nFILE_NAME('" + fileName + "','2026-03-05T14:07:09',"), std::string::npos) << c.path;
    for (unsigned char ch : text) ASSERT_TRUE(ch == '\n' || (ch >= 0x20 && ch < 0x7F)) << c.path;
  }
  EXPECT_EQ(EncodeStepString("it's"), "it''s");
}

TEST_F(StepFile, TimeStampIsLocalDateAndTime) {
  SetStepFileTimeForTest("");
  std::string text = Write("t.stp", gear);
  EXPECT_TRUE(std::regex_search(text, std::regex(R"(\nFILE_NAME\('t\.stp','\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d',)")));
}

TEST_F(StepFile, NothingIsWrittenWhenANumberCannotBe) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* name;
    void (*spoil)(GearRecord& first, GearRecord& second, double& rotation, double value);
    double value;
  };
  const Case cases[] = {
      {"NaN outline point", [](GearRecord& f, GearRecord&, double&, double v) { f.outline[3].points[1].x = v; }, nan},
      {"infinite outline point of the second body",
       [](GearRecord&, GearRecord& s, double&, double v) { s.outline[0].points[0].y = v; }, inf},
      {"infinite face width", [](GearRecord& f, GearRecord&, double&, double v) { f.faceWidth = v; }, inf},
      {"NaN bore", [](GearRecord& f, GearRecord&, double&, double v) { f.boreDiameter = v; }, nan},
      {"NaN rotation", [](GearRecord&, GearRecord&, double& r, double v) { r = v; }, nan},
      {"empty outline", [](GearRecord& f, GearRecord&, double&, double) { f.outline.clear(); }, 0.0},
      {"outline of empty polylines",
       [](GearRecord&, GearRecord& s, double&, double) {
         for (OutlinePolyline& p : s.outline) p.points.clear();
       },
       0.0},
  };
  for (const Case& c : cases) {
    GearRecord first = gear, second;
    test::MakeGear(second, 2.0, 40, 0.0, 10.0);
    double rotation = 0.1;
    c.spoil(first, second, rotation, c.value);
    StringSink sink;
    ExportStatus status;
    EXPECT_FALSE(WriteStepFile(sink, "bad.stp", first, rotation, &second, 60.0, 0.0, 0.0, &status)) << c.name;
    // The body's fault, not the file's.
    EXPECT_EQ(status.error, ExportError::InvalidBody) << c.name;
    EXPECT_TRUE(sink.bytes.empty()) << c.name;
  }
  // The refusals leave nothing behind for the next file.
  EXPECT_EQ(Lines(Write("good.stp", gear))[7].substr(0, 3), "#1=");
}

TEST_F(StepFile, FailedSinkWriteIsAWriteError) {
  FailingSink sink;
  ExportStatus status;
  EXPECT_FALSE(WriteStepFile(sink, "full-disk.stp", gear, 0.0, nullptr, 0.0, 0.0, 0.0, &status));
  EXPECT_EQ(status.error, ExportError::Write);
  EXPECT_EQ(sink.calls, 1);  // the whole text in one write, never a part of it
  EXPECT_FALSE(WriteStepFile(sink, "full-disk.stp", gear, 0.0, nullptr, 0.0, 0.0, 0.0));
}

}  // namespace
}  // namespace kovrex
