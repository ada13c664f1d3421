// Exports of random designs, as a careful but unusual user makes them: every input
// of a tab and of the hub and keyway window set to values from the plausible to
// the absurd, the animation turned, then a DXF, a STEP and an STL export. Each
// export must end in a file that every reader accepts (ezdxf with simple closed
// polylines; OpenCASCADE with and without healing; the mesh check and admesh) or in
// a refusal before the requester; never in a write error, since the folder is
// empty and writable. The seeds are fixed: a failing design prints its actions in
// the format of tests/cases/, so that it can be kept as a case.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/controls.h"
#include "geometry/arrangement_state.h"
#include "numbers/number_text.h"
#include "support/action_replay.h"
#include "support/dxf_reading.h"
#include "support/step_check.h"
#include "support/stl_check.h"
#include "support/test_support.h"

namespace kovrex::test {
namespace {

constexpr int kShards = 8;
constexpr int kDesignsPerShard = 32;
constexpr off_t kMaxCheckedStepBytes = 3000000;
constexpr off_t kMaxCheckedDxfBytes = 1500000;

// A number text: mostly a plausible value of the field, sometimes with a decimal
// comma or blanks, sometimes one of the values that break programs.
class NumberTexts {
 public:
  explicit NumberTexts(uint64_t seed) : rng_(seed) {}

  std::string Plausible(double lo, double hi, int decimals) {
    const double v = std::uniform_real_distribution<double>(lo, hi)(rng_);
    std::string text = FormatFixed(decimals, v);
    if (Chance(0.2))
      for (char& c : text)
        if (c == '.') c = ',';
    return text;
  }

  std::string Any(double lo, double hi, int decimals) {
    static const char* const kOdd[] = {
        "0",    "-1",   "1e-9", "1e-7", "0.0001", "1e6", "1e20", "1e308", "", "abc", "-0.000000",
        "1.7976931348623157e308", "  5 ", "2,5", "1e-300", "99999999999999999999", "0.000001", "-1e-9",
        "0.001", "0.01", "1e5",
    };
    if (Chance(0.12)) return kOdd[Pick(sizeof kOdd / sizeof kOdd[0])];
    return Plausible(lo, hi, decimals);
  }

  std::string Whole(int lo, int hi) { return std::to_string(std::uniform_int_distribution<int>(lo, hi)(rng_)); }
  bool Chance(double p) { return std::uniform_real_distribution<double>(0.0, 1.0)(rng_) < p; }
  size_t Pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng_); }

 private:
  std::mt19937_64 rng_;
};

struct FieldRange {
  int control;
  double lo, hi;
  int decimals;
};

// Fields of each tab with their plausible ranges, wide enough to reach pointed,
// undercut and thin-rimmed teeth.
const std::vector<FieldRange> kPairFields = {
    {GadgetPairCentreDistance, 20, 200, 3}, {GadgetPairRatio, 1, 6, 3},      {GadgetPairPressureAngle, 10, 35, 1},
    {GadgetPairHelixAngle, 0, 45, 1},       {GadgetPairTolerance, 0.5, 3, 2}, {GadgetPairSumXMin, -0.5, 0.3, 2},
    {GadgetPairSumXMax, 0.3, 1.2, 2},       {GadgetPairZMin, 8, 30, 0},      {GadgetPairX1, -1.5, 2.0, 4},
    {GadgetPairFaceWidth, 2, 40, 2},        {GadgetPairBacklash, -0.5, 2, 3}, {GadgetPairBore1, 0, 30, 1},
    {GadgetPairBore2, 0, 40, 1},
};
const std::vector<FieldRange> kSingleFields = {
    {GadgetSingleModule, 0.3, 6, 3},          {GadgetSingleTeeth, 3, 150, 0},
    {GadgetSingleProfileShift, -1.5, 2.5, 3}, {GadgetSinglePressureAngle, 10, 35, 1},
    {GadgetSingleHelixAngle, 0, 45, 1},       {GadgetSingleFaceWidth, 2, 40, 2},
    {GadgetSingleThicknessAllowance, -0.5, 2, 3}, {GadgetSingleBore, 0, 40, 1},
};
const std::vector<FieldRange> kRackFields = {
    {GadgetRackModule, 0.3, 6, 3},        {GadgetRackPinionTeeth, 8, 60, 0}, {GadgetRackProfileShift, -1.5, 2, 3},
    {GadgetRackPressureAngle, 10, 35, 1}, {GadgetRackHelixAngle, 0, 45, 1},  {GadgetRackFaceWidth, 2, 40, 2},
    {GadgetRackPinionBore, 0, 30, 1},     {GadgetRackBacklash, -0.5, 2, 3},   {GadgetRackTeeth, 1, 30, 0},
    {GadgetRackHeight, 1, 40, 2},
};
const std::vector<FieldRange> kInternalFields = {
    {GadgetInternalCentreDistance, 15, 120, 3}, {GadgetInternalRatio, 1.5, 6, 3},
    {GadgetInternalPressureAngle, 10, 35, 1},   {GadgetInternalHelixAngle, 0, 45, 1},
    {GadgetInternalTolerance, 0.5, 3, 2},       {GadgetInternalDeltaXMin, -0.2, 0.3, 2},
    {GadgetInternalDeltaXMax, 0.3, 1.0, 2},     {GadgetInternalZ1Min, 10, 30, 0},
    {GadgetInternalToothDiffMin, 6, 20, 0},     {GadgetInternalX1, -1.5, 2, 4},
    {GadgetInternalFaceWidth, 2, 40, 2},        {GadgetInternalBacklash, -0.5, 2, 3},
    {GadgetInternalPinionBore, 0, 20, 1},       {GadgetInternalRingRim, 0.1, 20, 2},
};
// Hub and keyway fields of gear 1; gear 2's are 7 further on.
const std::vector<FieldRange> kHubFields = {
    {GadgetKeyWidth1, 0.05, 30, 2}, {GadgetKeyDepth1, 0.05, 15, 2}, {GadgetHubDiameter1, 0, 120, 1},
    {GadgetHubLength1, 0.5, 30, 1},
};

// Bores and hub diameters typed to the micrometre, per tab: half such diameters
// have a radius whose seventh decimal is a 5, where the circles and the vertices
// on them are easily rounded two ways.
const std::vector<FieldRange> kMicrometreFields[] = {
    {{GadgetPairBore1, 2, 30, 6}, {GadgetPairBore2, 2, 40, 6}, {GadgetHubDiameter1, 10, 60, 6},
     {GadgetHubDiameter1 + 7, 10, 80, 6}},
    {{GadgetSingleBore, 2, 40, 6}, {GadgetHubDiameter1, 10, 80, 6}},
    {{GadgetRackPinionBore, 2, 30, 6}, {GadgetHubDiameter1, 10, 60, 6}},
    {{GadgetInternalPinionBore, 2, 20, 6}, {GadgetHubDiameter1, 10, 40, 6}},
};

std::string TextLine(int control, const std::string& text) {
  return "text " + std::to_string(control) + " \"" + text + "\"\n";
}
std::string StateLine(int control, int64_t state) {
  return "state " + std::to_string(control) + " " + std::to_string(state) + "\n";
}

// The actions of one random design, ending in the three exports.
std::string RandomDesign(NumberTexts& n) {
  std::string a = "restart\n";
  const int tab = static_cast<int>(n.Pick(4));
  a += StateLine(GadgetTabPanel, tab);
  const std::vector<FieldRange>* fields[] = {&kPairFields, &kSingleFields, &kRackFields, &kInternalFields};
  auto hubWindow = [&](int gear) {
    const int c = 7 * gear;
    if (n.Chance(0.5)) a += StateLine(GadgetKeyway1 + c, static_cast<int64_t>(n.Pick(3)));
    if (n.Chance(0.5)) a += StateLine(GadgetHub1 + c, static_cast<int64_t>(n.Pick(4)));
    for (const FieldRange& f : kHubFields)
      if (n.Chance(0.35)) a += TextLine(f.control + c, n.Any(f.lo, f.hi, f.decimals));
  };
  // Hub and keyway first for half the designs, after the tab's fields for the rest.
  const bool hubFirst = n.Chance(0.5);
  if (hubFirst) hubWindow(0);
  if (hubFirst && tab == 0) hubWindow(1);
  for (const FieldRange& f : *fields[tab])
    if (n.Chance(0.3)) a += TextLine(f.control, n.Any(f.lo, f.hi, f.decimals));
  const int hands[] = {GadgetPairHand, GadgetSingleHand, GadgetRackHand, GadgetInternalHand};
  if (n.Chance(0.3)) a += StateLine(hands[tab], static_cast<int64_t>(n.Pick(2)));
  if (tab == 0 || tab == 3) {
    const int search = tab == 0 ? GadgetPairSearch : GadgetInternalSearch;
    const int beta = tab == 0 ? GadgetPairSearchBeta : GadgetInternalSearchBeta;
    const int results = tab == 0 ? GadgetPairResults : GadgetInternalResults;
    if (n.Chance(0.2)) a += StateLine(beta, 1);
    if (n.Chance(0.5)) a += "press " + std::to_string(search) + "\n";
    // The first rows hold the finest modules (the start-up pair has 200 and 400
    // teeth, whose files take the readers half a minute): mostly one of the
    // coarser rows of the default search's 34 or 20.
    const size_t rows = tab == 0 ? 34 : 20, fine = tab == 0 ? 10 : 5;
    a += StateLine(results, static_cast<int64_t>(n.Chance(0.1) ? n.Pick(fine) : fine + n.Pick(rows - fine)));
    // A profile shift typed after the row was chosen.
    if (n.Chance(0.3)) a += TextLine(tab == 0 ? GadgetPairX1 : GadgetInternalX1, n.Any(-1.5, 2.0, 4));
  }
  if (!hubFirst) hubWindow(0);
  if (!hubFirst && tab == 0) hubWindow(1);
  if (n.Chance(0.3))
    for (const FieldRange& f : kMicrometreFields[tab])
      if (n.Chance(0.6)) a += TextLine(f.control, n.Plausible(f.lo, f.hi, f.decimals));
  if (n.Chance(0.5)) {
    a += StateLine(GadgetRotate, 1);
    a += "timer " + n.Whole(1, 400) + "\n";
  }
  a += StateLine(GadgetExportChoice, static_cast<int64_t>(n.Pick(3)));
  // Tolerances coarse enough for a minute of CI time, sometimes one the command
  // refuses, and now and then the finest it takes, where outline points stand
  // micrometres apart and end faces are prone to slivers.
  std::string tolerance;
  if (n.Chance(0.12))
    tolerance = n.Plausible(0.0001, 0.0003, 4);
  else
    tolerance = n.Chance(0.05) ? n.Any(0.0001, 1, 4) : n.Plausible(0.005, 0.2, 3);
  a += TextLine(GadgetStlTolerance, tolerance);
  a += "export 44 proposed\nexport 45 proposed\nexport 46 proposed\n";
  return a;
}

class ExportSweep : public KovrexTest, public ::testing::WithParamInterface<int> {
 protected:
  ScratchFolder scratch_{"kovrex_sweep_" + std::to_string(GetParam())};
  const std::string& folder_ = scratch_.path();
};

struct WrittenDxf {
  std::string path;
  std::string design;
};

// Bodies an export writes, read off the state the design left.
int ExportedBodies(const MemoryControlStore& store) {
  return DisplayMode != static_cast<int>(DisplayKind::Single) && store.GetState(GadgetExportChoice) == 0 ? 2 : 1;
}

void CheckStep(const std::string& path, int bodies) {
  if (!StepCheckAvailable()) return;
  ExpectValidSolidsBothReads(RunStepCheck(path), static_cast<size_t>(bodies));
}

void CheckStl(const std::string& path, int bodies) {
  ExpectCleanStl(ReadBytes(path), bodies, "sweep_" + std::to_string(getpid()));
}

void CheckDxfReports(const std::vector<WrittenDxf>& drawings) {
  std::vector<std::string> paths;
  for (const WrittenDxf& d : drawings) paths.push_back(d.path);
  const std::vector<DxfReaderReport> reports = ReadDxfFilesWithEzdxf(paths);
  for (size_t i = 0; i < drawings.size(); ++i) {
    SCOPED_TRACE("design:\n" + drawings[i].design);
    const DxfReaderReport& r = reports[i];
    ASSERT_TRUE(r.ran) << r.text;
    const std::vector<ReaderLine> audit = r.Of("audit_errors");
    ASSERT_EQ(audit.size(), 1u) << r.text;
    EXPECT_EQ(audit[0][1], "0") << r.text;
    for (const ReaderLine& l : r.Of("polyline")) {
      ASSERT_EQ(l.size(), 7u);
      EXPECT_EQ(l[2], "1") << "open polyline on layer " << l[1];
      EXPECT_EQ(l[6], "1") << "polyline on layer " << l[1] << " is not simple";
      EXPECT_GT(std::stod(l[4]), 0.0) << "zero-length edge on layer " << l[1];
    }
  }
  for (const std::string& p : paths) std::remove(p.c_str());
}

TEST_P(ExportSweep, EveryExportIsReadableOrRefused) {
  NumberTexts numbers(20261210u + static_cast<uint64_t>(GetParam()));
  std::vector<WrittenDxf> drawings;
  int files = 0, bigFiles = 0;
  for (int d = 0; d < kDesignsPerShard; ++d) {
    const std::string design = RandomDesign(numbers);
    SCOPED_TRACE("design:\n" + design);
    const size_t before = services.messages.size();
    const std::vector<ReplayedExport> exports = ReplayActions(store, services, design, folder_);
    const int bodies = ExportedBodies(store);
    for (size_t e = 0; e < exports.size(); ++e) {
      const ReplayedExport& x = exports[e];
      const size_t end = e + 1 < exports.size() ? exports[e + 1].firstMessage : services.messages.size();
      bool refused = false;
      for (size_t m = std::max(x.firstMessage, before); m < end; ++m) {
        const RecordedMessage& msg = services.messages[m];
        // The folder is writable: a write error blames the file for the design.
        EXPECT_NE(msg.icon, MessageIcon::Error) << msg.text;
        if (msg.icon == MessageIcon::Warning) refused = true;
      }
      if (x.path.empty()) continue;
      struct stat st;
      const bool written = stat(x.path.c_str(), &st) == 0;
      // A refusal after the requester leaves nothing behind.
      if (refused) {
        EXPECT_FALSE(written) << x.path;
        std::remove(x.path.c_str());
        continue;
      }
      if (!written) continue;
      ++files;
      SCOPED_TRACE(x.path);
      if (x.button == GadgetExportDxf) {
        if (st.st_size <= kMaxCheckedDxfBytes) {
          drawings.push_back({x.path, design});
          continue;
        }
        ++bigFiles;
      }
      if (x.button == GadgetExportStep) {
        // OpenCASCADE takes half a minute over a 400-tooth gear, ezdxf some
        // seconds: the big files only count, so that the sweep stays inside its
        // minute.
        if (st.st_size <= kMaxCheckedStepBytes)
          CheckStep(x.path, bodies);
        else
          ++bigFiles;
      }
      if (x.button == GadgetExportStl) CheckStl(x.path, bodies);
      std::remove(x.path.c_str());
    }
  }
  CheckDxfReports(drawings);
  // Most files were read back.
  EXPECT_LE(2 * bigFiles, files);
  std::printf("sweep shard %d: %d files, %d too big to read back\n", GetParam(), files, bigFiles);
}

INSTANTIATE_TEST_SUITE_P(Seeds, ExportSweep, ::testing::Range(0, kShards));

}  // namespace
}  // namespace kovrex::test
