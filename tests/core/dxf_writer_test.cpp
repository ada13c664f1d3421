// DXF writer: the file frame and golden text of a small gear in both languages,
// the entities of every body kind read back by ezdxf, vertices never repeated or
// crowded, refusals before the first byte, a sink that fails part way, and the face
// area of the written outline against a much finer outline of the same gear.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include <cmath>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "export/byte_sink.h"
#include "export/dxf_writer.h"
#include "geometry/bore_outline.h"
#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "numbers/number_text.h"
#include "support/dxf_reading.h"
#include "support/outline_checks.h"
#include "support/report_lines.h"
#include "support/sample_bodies.h"
#include "text/texts.h"

namespace kovrex {
namespace {

using test::DxfFile;
using test::ParseDxf;
using test::ReadDxfWithEzdxf;

class DxfWriterTest : public ::testing::Test {
 protected:
  void SetUp() override { SetTextLanguageForTest(false); }
  void TearDown() override { SetTextLanguageForTest(false); }

  // A file in the test's own scratch folder, removed afterwards.
  std::string Scratch(const std::string& name) {
    std::string dir = std::string(KOVREX_BINARY_DIR) + "/dxf_writer_scratch";
    mkdir(dir.c_str(), 0777);
    std::string path = dir + "/" + std::to_string(getpid()) + "_" + name;
    scratch_.push_back(path);
    return path;
  }
  static void Save(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  void TearDownScratch() {
    for (const std::string& p : scratch_) unlink(p.c_str());
  }
  ~DxfWriterTest() override { TearDownScratch(); }

  std::vector<std::string> scratch_;
};

// A small gear with every kind of entity but the keyed bore: outline, bore circle,
// hub circle, pitch circle.
GearRecord SmallGear() {
  GearRecord g;
  InitGearParams(g, 1.0, 7, 0.4, 20.0, 5.0, 2.0, 0.0, 0.0, 1);
  ComputeExternalGearGeometry(g, /*detail=*/1);
  g.hubSide = 1;
  g.hubDiameter = 3.0;
  g.hubLength = 4.0;
  return g;
}

class SinkThatFailsAfter : public ByteSink {
 public:
  explicit SinkThatFailsAfter(size_t limit) : limit_(limit) {}
  using ByteSink::Write;
  bool Write(const void*, size_t size) override {
    if (taken_ + size > limit_) return false;
    taken_ += size;
    return true;
  }

 private:
  size_t limit_, taken_ = 0;
};

// Compares line by line; on a difference the actual text is written beside the
// golden file as <name>.actual. The golden file itself must be a file ezdxf reads
// and audits without an error, so that a broken file can never be blessed.
void ExpectMatchesGolden(const std::string& name, const std::string& actual) {
  const std::string path = std::string(KOVREX_SOURCE_DIR) + "/tests/golden/" + name;
  const std::string golden = test::ReadBytes(path);
  if (golden != actual) {
    std::ofstream(path + ".actual", std::ios::binary) << actual;
    const DxfFile want = ParseDxf(golden), got = ParseDxf(actual);
    ASSERT_FALSE(golden.empty()) << name << ": no golden file; the actual text is in " << path << ".actual";
    for (size_t i = 0; i < std::max(want.lines.size(), got.lines.size()); ++i) {
      const std::string w = i < want.lines.size() ? want.lines[i] : "(none)";
      const std::string g = i < got.lines.size() ? got.lines[i] : "(none)";
      ASSERT_EQ(w, g) << name << " line " << i + 1 << " (actual text in " << path << ".actual)";
    }
    ADD_FAILURE() << name << ": line ends differ";
  }
}

TEST_F(DxfWriterTest, GoldenSmallGearInBothLanguages) {
  const GearRecord g = SmallGear();
  for (bool dutch : {true, false}) {
    SetTextLanguageForTest(dutch);
    StringSink sink;
    ASSERT_TRUE(WriteDxfFile(sink, g, 0.0, nullptr, 0, 0, 0));
    ExpectMatchesGolden(dutch ? "dxf_small_gear_nl.dxf" : "dxf_small_gear_en.dxf", sink.bytes);
  }
  const std::string dir = std::string(KOVREX_SOURCE_DIR) + "/tests/golden/";
  for (const test::DxfReaderReport& r :
       test::ReadDxfFilesWithEzdxf({dir + "dxf_small_gear_nl.dxf", dir + "dxf_small_gear_en.dxf"})) {
    ASSERT_TRUE(r.ran) << r.text;
    ASSERT_FALSE(r.Of("audit_errors").empty()) << r.text;
    EXPECT_EQ(r.Of("audit_errors")[0].at(1), "0") << r.text;
    EXPECT_EQ(r.Of("polyline").size(), 1u) << r.text;
    EXPECT_EQ(r.Of("circle").size(), 3u) << r.text;
  }
}

TEST_F(DxfWriterTest, FrameHeaderAndEndWithCrLfOnEveryLine) {
  StringSink sink;
  ASSERT_TRUE(WriteDxfFile(sink, SmallGear(), 0.3, nullptr, 0, 0, 0));
  const DxfFile f = ParseDxf(sink.bytes);
  EXPECT_TRUE(f.allLinesEndInCrLf);
  ASSERT_GE(sink.bytes.size(), 2u);
  EXPECT_EQ(sink.bytes.substr(sink.bytes.size() - 2), "\r\n");
  const std::vector<std::string> header = {"0", "SECTION", "2", "HEADER", "9", "$ACADVER", "1", "AC1009", "9",
                                           "$INSUNITS", "70", "4", "0", "ENDSEC", "0", "SECTION", "2", "ENTITIES"};
  ASSERT_GE(f.lines.size(), header.size() + 4);
  for (size_t i = 0; i < header.size(); ++i) EXPECT_EQ(f.lines[i], header[i]) << "line " << i + 1;
  const std::vector<std::string> end(f.lines.end() - 4, f.lines.end());
  EXPECT_EQ(end, (std::vector<std::string>{"0", "ENDSEC", "0", "EOF"}));
  EXPECT_EQ(test::FirstBadLine(std::string(sink.bytes)), "");
}

// Expected entities of one body kind, as a CAD user would look for them.
struct BodyCase {
  const char* name;
  GearRecord body;
  double x, y, phi;
  int polylines;                      // outline, and the keyed bore
  std::vector<std::string> circles;   // "layer colour radius" in file order
  bool pitchLine;
};

std::string CircleText(const test::DxfEntity& e) {
  const std::string colour = e.Value(62).empty() ? "-" : e.Value(62);
  return e.Value(8) + " " + colour + " " + e.Value(40);
}

TEST_F(DxfWriterTest, EntitiesOfEveryBodyKind) {
  GearRecord plain;
  test::MakeGear(plain, 2.0, 20, 0.0, /*bore=*/10.0);
  GearRecord keyed = plain;
  keyed.keywayWidth = 3.0;
  keyed.keywayDepth = 1.4;
  GearRecord hub = keyed;
  hub.hubSide = 3;
  hub.hubDiameter = 24.0;
  hub.hubLength = 8.0;
  GearRecord ring;
  test::MakeRing(ring, 2.0, 40, 6.0);
  ring.hubSide = 1;  // hub values on a ring are never drawn
  ring.hubDiameter = 200.0;
  ring.hubLength = 5.0;
  GearRecord rack;
  test::MakeRack(rack, 2.0, 7, 15.0);

  const std::vector<BodyCase> cases = {
      {"plain bore at the origin", plain, 0, 0, 0, 1, {"GEAR - 5.000000", "PITCH 5 20.000000"}, false},
      {"keyed bore turned and moved", keyed, 55.5, -3.25, 0.7, 2, {"PITCH 5 20.000000"}, false},
      {"keyed bore with hub", hub, 0, 0, -1.1, 2, {"HUB 8 12.000000", "PITCH 5 20.000000"}, false},
      {"ring with hub values", ring, 0, 0, 0.2, 1, {"GEAR - " + FormatStepReal(ring.rimRadius), "PITCH 5 40.000000"},
       false},
      {"rack shifted", rack, -21.0, -20.0, 0, 1, {}, true},
  };
  std::vector<std::string> files;
  for (const BodyCase& c : cases) {
    SCOPED_TRACE(c.name);
    StringSink sink;
    ASSERT_TRUE(WriteDxfFile(sink, plain, 0.0, &c.body, c.x, c.y, c.phi));
    const DxfFile f = ParseDxf(sink.bytes);
    // The second body's entities follow the first body's three.
    std::vector<const test::DxfEntity*> polylines, circles, lines;
    bool firstDone = false;
    int firstEntities = 0;
    for (const test::DxfEntity& e : f.entities) {
      if (!firstDone) {
        if (++firstEntities == 3) firstDone = true;
        continue;
      }
      if (e.type == "POLYLINE") polylines.push_back(&e);
      if (e.type == "CIRCLE") circles.push_back(&e);
      if (e.type == "LINE") lines.push_back(&e);
    }
    ASSERT_EQ(static_cast<int>(polylines.size()), c.polylines);
    for (const test::DxfEntity* p : polylines) {
      EXPECT_EQ(p->Value(8), "GEAR");
      EXPECT_EQ(p->Value(70), "1");
      EXPECT_EQ(p->Value(66), "1");
    }
    std::vector<std::string> circleTexts;
    for (const test::DxfEntity* e : circles) {
      circleTexts.push_back(CircleText(*e));
      EXPECT_NEAR(e->Number(10), c.x, 1e-6);
      EXPECT_NEAR(e->Number(20), c.y, 1e-6);
    }
    EXPECT_EQ(circleTexts, c.circles);
    ASSERT_EQ(lines.size(), c.pitchLine ? 1u : 0u);
    if (c.pitchLine) {
      EXPECT_EQ(lines[0]->Value(8), "PITCH");
      EXPECT_EQ(lines[0]->Value(62), "5");
      EXPECT_NEAR(lines[0]->Number(10), c.x, 1e-6);
      EXPECT_NEAR(lines[0]->Number(20), c.y, 1e-6);
      EXPECT_NEAR(lines[0]->Number(11), c.x + c.body.rackLength, 1e-6);
      EXPECT_NEAR(lines[0]->Number(21), c.y, 1e-6);
    }
    // The outline is the body's own, placed: its first distinct point turned and moved.
    const std::vector<OutlinePoint> ring0 = test::OutlineRing(c.body.outline);
    const double X = c.x + ring0[0].x * std::cos(c.phi) - ring0[0].y * std::sin(c.phi);
    const double Y = c.y + ring0[0].x * std::sin(c.phi) + ring0[0].y * std::cos(c.phi);
    ASSERT_FALSE(polylines[0]->vertices.empty());
    EXPECT_NEAR(polylines[0]->vertices[0][0], X, 1e-6);
    EXPECT_NEAR(polylines[0]->vertices[0][1], Y, 1e-6);

    const std::string path = Scratch(std::to_string(files.size()) + "kind.dxf");
    Save(path, sink.bytes);
    files.push_back(path);
  }
  const std::vector<test::DxfReaderReport> reports = test::ReadDxfFilesWithEzdxf(files);
  for (size_t i = 0; i < reports.size(); ++i) {
    const test::DxfReaderReport& r = reports[i];
    SCOPED_TRACE(cases[i].name);
    ASSERT_TRUE(r.ran) << r.text;
    ASSERT_FALSE(r.Of("audit_errors").empty()) << r.text;
    EXPECT_EQ(r.Of("audit_errors")[0].at(1), "0") << r.text;
    EXPECT_EQ(static_cast<int>(r.Of("polyline").size()), 1 + cases[i].polylines);
    for (const test::ReaderLine& p : r.Of("polyline")) {
      EXPECT_EQ(p.at(2), "1") << "not closed: " << r.text;
      EXPECT_GE(std::stod(p.at(4)), 1e-6) << "zero-length edge";
      EXPECT_EQ(p.at(6), "1") << "not a simple polygon";
    }
  }
}

TEST_F(DxfWriterTest, KeyedBoreEnclosesTheBoreWithItsKeyway) {
  GearRecord g;
  test::MakeGear(g, 2.0, 30, 0.0, /*bore=*/20.0);
  g.keywayWidth = 6.0;
  g.keywayDepth = 2.8;
  StringSink sink;
  ASSERT_TRUE(WriteDxfFile(sink, g, 0.0, nullptr, 0, 0, 0));
  const std::string path = Scratch("keyed.dxf");
  Save(path, sink.bytes);
  const test::DxfReaderReport r = ReadDxfWithEzdxf(path);
  ASSERT_TRUE(r.ran) << r.text;
  const std::vector<test::ReaderLine> polylines = r.Of("polyline");
  ASSERT_EQ(polylines.size(), 2u);
  // The true contour: the circle less the segment cut off by the keyway's chord,
  // plus the keyway's rectangle beyond that chord.
  const double R = 10.0, h = 3.0, t2 = 2.8, d = std::sqrt(R * R - h * h), w = std::asin(h / R);
  const double area = kPi * R * R - (R * R * w - h * d) + 2 * h * (R + t2 - d);
  const double written = std::stod(polylines[1].at(5));
  EXPECT_LE(written, area * (1 + 1e-9));
  EXPECT_GE(written, area - 2 * kPi * R * 0.001);  // the chord tolerance of the keyed bore
}

TEST_F(DxfWriterTest, NoRepeatedClosingVertexAndNoCrowdedPoints) {
  // A square drawn as four polylines that share their ends, with a point 4e-7 mm
  // from its neighbour, two that are 1.27e-6 apart yet print alike (each
  // coordinate rounds to 10.000000) and a last polyline that ends on the first point.
  GearRecord g;
  g.valid = 1;
  g.faceWidth = 1.0;
  g.pitchRadius = 1.0;
  g.outline = {{{{0, 0}, {10, 0}, {10, 4e-7}}},
               {{{10, 4e-7}, {9.99999955, 9.99999955}, {10.00000045, 10.00000045}}},
               {{{10.00000045, 10.00000045}, {0, 10}}},
               {{{0, 10}, {0, 0}}}};
  StringSink sink;
  ASSERT_TRUE(WriteDxfFile(sink, g, 0.0, nullptr, 0, 0, 0));
  const DxfFile f = ParseDxf(sink.bytes);
  ASSERT_EQ(f.OfType("POLYLINE").size(), 1u);
  const auto& v = f.OfType("POLYLINE")[0]->vertices;
  ASSERT_EQ(v.size(), 4u);
  EXPECT_EQ(v[0], (std::array<double, 2>{0, 0}));
  EXPECT_EQ(v[1], (std::array<double, 2>{10, 0}));
  EXPECT_EQ(v[2], (std::array<double, 2>{10, 10}));
  EXPECT_EQ(v[3], (std::array<double, 2>{0, 10}));
}

TEST_F(DxfWriterTest, UnwritableBodiesAreRefusedBeforeTheFirstByte) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const GearRecord good = SmallGear();
  GearRecord empty = good;
  empty.outline.clear();
  GearRecord nanPoint = good;
  nanPoint.outline[3].points[1].x = nan;
  GearRecord nanRadius = good;
  nanRadius.pitchRadius = nan;
  GearRecord infHub = good;
  infHub.hubDiameter = inf;
  GearRecord twoPoints = good;
  twoPoints.outline = {{{{0, 0}, {1, 0}}}};
  struct Case {
    const char* name;
    const GearRecord* first;
    double rotation;
    const GearRecord* second;
    double x;
  };
  const Case cases[] = {
      {"empty outline", &empty, 0, nullptr, 0},        {"NaN outline point", &nanPoint, 0, nullptr, 0},
      {"NaN pitch radius", &nanRadius, 0, nullptr, 0}, {"infinite hub", &infHub, 0, nullptr, 0},
      {"two points", &twoPoints, 0, nullptr, 0},       {"NaN rotation", &good, nan, nullptr, 0},
      {"second body empty", &good, 0, &empty, 10},     {"second body at infinity", &good, 0, &good, inf},
  };
  for (const Case& c : cases) {
    StringSink sink;
    ExportStatus status;
    EXPECT_FALSE(WriteDxfFile(sink, *c.first, c.rotation, c.second, c.x, 0, 0, &status)) << c.name;
    EXPECT_TRUE(sink.bytes.empty()) << c.name;
    // The body's fault, not the file's.
    EXPECT_EQ(status.error, ExportError::InvalidBody) << c.name;
  }
}

TEST_F(DxfWriterTest, ARefusedWriteAnywhereFailsTheFile) {
  GearRecord a, b;
  test::MakeGear(a, 2.0, 20, 0.0, 8.0);
  test::MakeGear(b, 2.0, 40, 0.0, 12.0);
  StringSink whole;
  ASSERT_TRUE(WriteDxfFile(whole, a, 0, &b, 60, 0, 0));
  for (size_t limit : {size_t(0), size_t(10), size_t(65535), size_t(65536), whole.bytes.size() / 2,
                       whole.bytes.size() - 1}) {
    SinkThatFailsAfter sink(limit);
    ExportStatus status;
    EXPECT_FALSE(WriteDxfFile(sink, a, 0, &b, 60, 0, 0, &status)) << limit;
    EXPECT_EQ(status.error, ExportError::Write) << limit;
  }
  SinkThatFailsAfter exact(whole.bytes.size());
  ExportStatus status;
  EXPECT_TRUE(WriteDxfFile(exact, a, 0, &b, 60, 0, 0, &status));
  EXPECT_EQ(status.error, ExportError::None);
}

// Shortest distance from p to the closed polygon.
double DistanceToRing(const OutlinePoint& p, const std::vector<OutlinePoint>& ring) {
  double best = INFINITY;
  for (size_t i = 0, n = ring.size(); i < n; ++i) {
    const OutlinePoint& a = ring[i];
    const OutlinePoint& b = ring[(i + 1) % n];
    const double vx = b.x - a.x, vy = b.y - a.y;
    const double len2 = vx * vx + vy * vy;
    double t = len2 > 0 ? ((p.x - a.x) * vx + (p.y - a.y) * vy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    best = std::min(best, std::hypot(p.x - a.x - t * vx, p.y - a.y - t * vy));
  }
  return best;
}

TEST_F(DxfWriterTest, WrittenFaceAreaMatchesTheGearWithinTheChordError) {
  struct Case {
    const char* name;
    double m;
    int64_t z;
    double x, beta, bore;
  };
  const Case cases[] = {{"spur z20 x0.2", 2.0, 20, 0.2, 0.0, 10.0}, {"helical z13 undercut", 1.5, 13, 0.0, 20.0, 6.0}};
  struct Expected {
    double face, tolerance, boreRadius;
  };
  std::vector<Expected> expected;
  std::vector<std::string> files;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GearRecord g, fine;
    InitGearParams(g, c.m, c.z, c.x, 20.0, 10.0, c.bore, 0.0, c.beta, 1);
    fine = g;
    ComputeExternalGearGeometry(g, /*detail=*/4);
    ComputeExternalGearGeometry(fine, /*detail=*/64);
    ASSERT_EQ(g.valid, 1);
    ASSERT_EQ(fine.valid, 1);
    const std::vector<OutlinePoint> coarse = test::OutlineRing(g.outline);
    const std::vector<OutlinePoint> curve = test::OutlineRing(fine.outline);
    // The chord error of detail 4: how far the fine outline strays from the written
    // polygon, measured over the first tooth (every tooth is the same, turned).
    double chordError = 0.0, length = 0.0;
    for (size_t i = 0; i < curve.size(); ++i) {
      length += test::PointDistance(curve[i], curve[(i + 1) % curve.size()]);
      if (std::fabs(std::atan2(curve[i].y, curve[i].x)) < kPi / static_cast<double>(c.z))
        chordError = std::max(chordError, DistanceToRing(curve[i], coarse));
    }
    ASSERT_GT(chordError, 0.0);
    StringSink sink;
    ASSERT_TRUE(WriteDxfFile(sink, g, 0.0, nullptr, 0, 0, 0));
    files.push_back(Scratch(std::to_string(files.size()) + "area.dxf"));
    Save(files.back(), sink.bytes);
    expected.push_back({test::SignedArea(curve) - kPi * c.bore * c.bore / 4, chordError * length, c.bore / 2});
  }
  const std::vector<test::DxfReaderReport> reports = test::ReadDxfFilesWithEzdxf(files);
  for (size_t i = 0; i < reports.size(); ++i) {
    const test::DxfReaderReport& r = reports[i];
    SCOPED_TRACE(cases[i].name);
    ASSERT_TRUE(r.ran) << r.text;
    ASSERT_FALSE(r.Of("audit_errors").empty()) << r.text;
    EXPECT_EQ(r.Of("audit_errors")[0].at(1), "0");
    const std::vector<test::ReaderLine> polylines = r.Of("polyline"), circles = r.Of("circle");
    ASSERT_EQ(polylines.size(), 1u);
    ASSERT_EQ(circles.size(), 2u);
    const double bore = std::stod(circles[0].at(5));
    EXPECT_EQ(bore, expected[i].boreRadius);
    const double face = std::stod(polylines[0].at(5)) - kPi * bore * bore;
    EXPECT_NEAR(face, expected[i].face, expected[i].tolerance);
    EXPECT_GT(std::stod(polylines[0].at(4)), 1e-6);
  }
}

}  // namespace
}  // namespace kovrex
