// The mesh check of the internal pair against an independent sweep of the whole
// outlines (support/mesh_reference.h: every tooth, a dense sweep refined at its
// peaks, crossing counts and segment distances of its own): the kept interference
// cases, one pair of each kind, and the placements of a pair with backlash, whose
// gap along the line of action and first contact have closed forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/gadget_input.h"
#include "app/internal_commands.h"
#include "geometry/arrangement_state.h"
#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "geometry/mesh_penetration.h"
#include "geometry/ring_gear.h"
#include "numbers/number_text.h"
#include "support/action_replay.h"
#include "support/mesh_reference.h"
#include "support/report_lines.h"
#include "support/startup_fixture.h"
#include "support/test_support.h"

namespace kovrex::test {
namespace {

constexpr double kNone = -1e9;

// The pinion and ring of the Internal tab with every tooth, at the check's detail.
struct FullOutlines {
  GearRecord pinion, ring;
};

FullOutlines FullOutlinesOfTheTab() {
  FullOutlines f;
  f.pinion = Gear1;
  ComputeExternalGearGeometry(f.pinion, 3);
  GenerateToothProfile(f.ring, RingGear.normalModule, RingGear.toothCount, RingGear.profileShift,
                       RingGear.pressureAngle * kRadToDeg, RingGear.faceWidth, RingGear.rimWidth,
                       RingGear.thicknessAllowance, RingGear.helixAngle * kRadToDeg, RingGear.hand, 3,
                       RingGear.tipRadiusOverride);
  return f;
}

// Pinion turn that takes up half the backlash jn along the line of action, from
// the design's own numbers: jn / (2 cos beta_b) over r_b1, with
// sin beta_b = sin beta cos alpha_n and r_b1 = z1 m_t cos(alpha_t) / 2.
double LoadedTurn(double jn, double m, double z1, double alphaN, double beta) {
  const double betaB = std::asin(std::sin(beta) * std::cos(alphaN));
  const double alphaT = std::atan(std::tan(alphaN) / std::cos(beta));
  const double rb1 = z1 * m / std::cos(beta) * std::cos(alphaT) / 2.0;
  return jn / (2.0 * std::cos(betaB)) / rb1;
}

struct Reference {
  double centred = 0.0, loadedPlus = 0.0, loadedMinus = 0.0;
  double Deepest() const { return std::max({centred, loadedPlus, loadedMinus}); }
};

// The reference sweep of the tab's pair, centred and with the backlash taken up
// on either flank.
Reference ReferenceOfTheTab(double cap) {
  const FullOutlines f = FullOutlinesOfTheTab();
  const ReferenceMesh mesh(f.pinion, f.ring, InternalCentreDistance);
  const double turn = LoadedTurn(GetGadgetNumber(GadgetInternalBacklash), Gear1.normalModule,
                                 double(Gear1.toothCount), Gear1.pressureAngle, Gear1.helixAngle);
  return {mesh.Sweep(0.0, 1000, cap).signedDepth, mesh.Sweep(turn, 1000, cap).signedDepth,
          mesh.Sweep(-turn, 1000, cap).signedDepth};
}

// The check agrees with the reference's deepest signed depth: no overlap where
// the reference never finds a vertex inside; otherwise the same depth, to the
// check's 1e-5 m and the reference's sampling where it could decide the verdict
// (within 5 % of the 0.002 m limit or above it), to 5 % of its distance from the
// limit below that.
void ExpectSameDepth(double shown, double reference, double m) {
  const double limit = 0.002 * m;
  const double allowed = std::max({2e-5 * m, 0.005 * reference, 0.05 * (limit - reference)});
  if (reference <= 0.0) {
    EXPECT_EQ(shown, kNone) << "the reference keeps a gap of " << -reference << " mm";
  } else if (shown == kNone) {
    EXPECT_LE(reference, allowed) << "no overlap shown";
  } else {
    EXPECT_NEAR(shown, reference, allowed);
  }
}

// The last line of the pair block: the check's verdict.
std::string VerdictLine() {
  const std::string report = Controls().GetText(GadgetReport);
  for (const std::string& line : SplitLines(report))
    if (line.rfind("  ! INTERFERENCE", 0) == 0 || line.rfind("  no interference", 0) == 0) return line;
  ADD_FAILURE() << "no verdict line in\n" << report;
  return "";
}

// ---- the kept cases ----------------------------------------------------------

struct CaseRow {
  const char* file;
  bool interference;
  // The independent mesh's value where the case was kept (tests/cases/interference
  // and its README), at one placement: a depth, or minus the closest approach.
  bool loaded;
  double keptValue;
};

void PrintTo(const CaseRow& row, std::ostream* out) { *out << row.file; }

const CaseRow kCases[] = {
    // m 0.7, 18/31, jn 0.076, shortening on: centred the bodies only touch
    // (0.0012 mm), with either flank in contact the tips overlap.
    {"loaded-tip-collision.txt", true, true, 0.0367},
    // m 1.25, 22/37, no backlash: a short tip collision between the positions of
    // a coarse sweep.
    {"missed-between-steps.txt", true, false, 0.00323},
    // m 1.75, 9/17, jn 0.13, undercut pinion: 0.00965 mm centred (and deeper
    // still with a flank in contact).
    {"missed-with-backlash.txt", true, false, 0.00965},
    // m 4.5, 13/41, jn 0.311, undercut pinion, shortening off: centred, the ring
    // tip passes through the pinion's undercut pocket 0.155 mm from its flank; a
    // radius-per-angle table counted the pocket as material.
    {"false-alarm-undercut.txt", false, false, -0.155},
};

class InterferenceCases : public KovrexTest, public ::testing::WithParamInterface<CaseRow> {};

TEST_P(InterferenceCases, DepthAndVerdictAgreeWithTheWholeOutlineSweep) {
  const CaseRow& row = GetParam();
  const std::string actions = ReadCaseFile(std::string("interference/") + row.file);
  ASSERT_FALSE(actions.empty()) << "no case file " << row.file;
  ReplayActions(store, services, actions, ::testing::TempDir());
  ASSERT_TRUE(Gear1.valid && RingGear.valid);
  const double m = Gear1.normalModule;
  const Reference ref = ReferenceOfTheTab(/*cap=*/0.05 * m);

  // The reference agrees with the mesh the case was kept from.
  const double kept = row.loaded ? std::max(ref.loadedPlus, ref.loadedMinus) : ref.centred;
  EXPECT_NEAR(kept, row.keptValue, 0.01 * std::fabs(row.keptValue));
  // Either flank may drive: the two loaded placements are mirror images.
  EXPECT_NEAR(ref.loadedPlus, ref.loadedMinus, 1e-6 * m);

  ExpectSameDepth(InternalPenetration, ref.Deepest(), m);
  // A collision shorter than a step is still found from two steps per pitch.
  const FullOutlines f = FullOutlinesOfTheTab();
  ExpectSameDepth(ComputeInternalMeshPenetration(f.pinion, f.ring, InternalCentreDistance, /*stepsPerPitch=*/2),
                  ref.Deepest(), m);
  const double limit = 0.002 * m;
  EXPECT_EQ(ref.Deepest() > limit, row.interference);
  const std::string verdict = VerdictLine();
  if (row.interference) {
    EXPECT_EQ(verdict, "  ! INTERFERENCE: teeth overlap by " + FormatFixed(3, ref.Deepest()) + " mm");
  } else {
    EXPECT_EQ(verdict, "  no interference (checked over one full pitch)");
  }
}

INSTANTIATE_TEST_SUITE_P(Kept, InterferenceCases, ::testing::ValuesIn(kCases));

// ---- one pair of each kind ----------------------------------------------------

// What a row of the kinds table stands for, checked on the pair it gives.
enum class Kind { Plain, UndercutPinion, Helical, RingTipShortened, RingTipNominal };

struct PairRow {
  const char* name;
  double m;
  int64_t z1, z2;
  double helixDeg;
  const char* x1;  // "" keeps the proposed shift
  const char* backlash;
  int shorten;
  double centreDistance;  // 0: the reference centre distance m_t (z2 - z1) / 2
  int searchRow;          // >= 0: that row of the start-up search instead
  Kind kind = Kind::Plain;
};

void PrintTo(const PairRow& row, std::ostream* out) { *out << row.name; }

std::string Decimal(double v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 9);
  return std::string(buf, r.ptr);
}

// The pair of a row on the Internal tab, as a user would pick it.
void ShowPair(MemoryControlStore& store, const PairRow& row) {
  store.SetState(GadgetTabPanel, 3);
  int64_t index = 0;
  if (row.searchRow >= 0) {
    SearchInternalCombinations(1);
    ASSERT_GT(static_cast<int64_t>(InternalResultList.size()), row.searchRow);
    index = row.searchRow;
  } else {
    InternalResultList = {{row.m, row.z1, row.z2, row.helixDeg, double(row.z2) / double(row.z1), 0.0, 0.0, 1.0}};
    const double a = row.centreDistance > 0.0
                         ? row.centreDistance
                         : row.m / std::cos(row.helixDeg * kDegToRad) * double(row.z2 - row.z1) / 2.0;
    store.SetText(GadgetInternalCentreDistance, Decimal(a));
  }
  store.SetText(GadgetInternalBacklash, row.backlash);
  store.SetState(GadgetInternalShortenTip, row.shorten);
  ApplyInternalCombinationRow(index);
  if (*row.x1) store.SetText(GadgetInternalX1, row.x1);
  ComputeInternalPairFromSelection(0);
  ASSERT_TRUE(Gear1.valid && RingGear.valid);
}

const PairRow kPairs[] = {
    // A 9-tooth pinion without shift is undercut: two flank radii at one angle.
    {"undercut pinion 9/21, x1 0", 2, 9, 21, 0, "0", "0.05", 1, 0, -1, Kind::UndercutPinion},
    {"undercut pinion 9/21, x1 0, ring tip not shortened", 2, 9, 21, 0, "0", "0.05", 0, 0, -1,
     Kind::UndercutPinion},
    {"helical 20/60 at 15 degrees", 2, 20, 60, 15, "", "0.1", 1, 0, -1, Kind::Helical},
    {"helical 17/45 at 25 degrees, no backlash", 1.5, 17, 45, 25, "", "0", 1, 0, -1, Kind::Helical},
    {"helical 17/45 at 25 degrees, ring tip not shortened", 1.5, 17, 45, 25, "", "0.05", 0, 0, -1, Kind::Helical},
    {"shortening on, 24/40", 1, 24, 40, 0, "", "0.05", 1, 0, -1, Kind::RingTipShortened},
    // The same pair with the ring tip at its nominal circle: it meets the
    // pinion's root fillet.
    {"shortening off, 24/40", 1, 24, 40, 0, "", "0.05", 0, 0, -1, Kind::RingTipNominal},
    // Six teeth difference: the tips meet outside the path of contact.
    {"small tooth difference, shortening off, 30/36", 1, 30, 36, 0, "", "0.05", 0, 0, -1, Kind::RingTipNominal},
    {"small tooth difference, shortening on, 30/36", 1, 30, 36, 0, "", "0.05", 1, 0, -1, Kind::RingTipShortened},
    {"first start-up row, 333/999", 0.12, 0, 0, 0, "", "0", 1, 0, 0},
    {"start-up row 57/171", 0.2, 0, 0, 0, "", "0", 1, 0, 9},
    // A centre distance 0.1 mm too large eats 2 * 0.1 * sin 20 of the backlash.
    {"20/60, backlash 0.02, a 40.1", 2, 20, 60, 0, "", "0.02", 1, 40.1, -1},
    {"17/40, no backlash, a 11.6: deep overlap", 1, 17, 40, 0, "", "0", 1, 11.6, -1},
};

class MeshCheckKinds : public StartedProgramTest, public ::testing::WithParamInterface<PairRow> {};

TEST_P(MeshCheckKinds, DepthAgreesWithTheWholeOutlineSweep) {
  const PairRow& row = GetParam();
  ASSERT_NO_FATAL_FAILURE(ShowPair(store, row));
  switch (row.kind) {
    case Kind::UndercutPinion: ASSERT_EQ(Gear1.undercutFlag, 1); break;
    case Kind::Helical: ASSERT_GT(Gear1.helixAngle, 0.0); break;
    case Kind::RingTipShortened: ASSERT_GT(RingGear.tipShortening, 0.0); break;
    case Kind::RingTipNominal: ASSERT_EQ(RingGear.tipShortening, 0.0); break;
    case Kind::Plain: break;
  }
  const double m = Gear1.normalModule;
  const Reference ref = ReferenceOfTheTab(/*cap=*/0.01 * m);
  ExpectSameDepth(InternalPenetration, ref.Deepest(), m);
  // And the centred placement alone.
  const FullOutlines f = FullOutlinesOfTheTab();
  ExpectSameDepth(ComputeInternalOverlapAtTurns(f.pinion, f.ring, InternalCentreDistance, {0.0}), ref.centred, m);
}

INSTANTIATE_TEST_SUITE_P(Kinds, MeshCheckKinds, ::testing::ValuesIn(kPairs));

// Pairs as users make them: a search with random inputs, a random row of it, a
// random shift, backlash and tip shortening, and more often than not a centre
// distance moved off the row's (teeth that overlap along the whole path of
// contact, or stand apart). Each seed checks six such pairs.
class RandomPairs : public StartedProgramTest, public ::testing::WithParamInterface<int> {};

TEST_P(RandomPairs, DepthAgreesWithTheWholeOutlineSweep) {
  std::mt19937 random(static_cast<unsigned>(GetParam()));
  auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random); };
  auto text = [&](int control, double v, int decimals) { store.SetText(control, FormatFixed(decimals, v)); };
  store.SetState(GadgetTabPanel, 3);
  int checked = 0;
  for (int attempt = 0; attempt < 100 && checked < 6; ++attempt) {
    text(GadgetInternalCentreDistance, uniform(3, 60), 3);
    text(GadgetInternalRatio, uniform(1.2, 4), 3);
    text(GadgetInternalPressureAngle, uniform(15, 25), 1);
    text(GadgetInternalHelixAngle, uniform(0, 1) < 0.5 ? 0.0 : uniform(5, 30), 1);
    text(GadgetInternalZ1Min, std::floor(uniform(6, 20)), 0);
    text(GadgetInternalToothDiffMin, std::floor(uniform(3, 14)), 0);
    text(GadgetInternalTolerance, 5, 0);
    SearchInternalCombinations(1);
    if (InternalResultList.empty()) continue;
    const auto row = static_cast<int64_t>(uniform(0, std::min<double>(double(InternalResultList.size()), 40)));
    store.SetState(GadgetInternalShortenTip, uniform(0, 1) < 0.5 ? 1 : 0);
    ApplyInternalCombinationRow(row);
    const InternalCombination pick = InternalResultList[static_cast<size_t>(row)];
    const double m = pick.module;
    text(GadgetInternalBacklash, uniform(0, 1) < 0.3 ? 0.0 : uniform(0, 0.15 * m), 3);
    text(GadgetInternalX1, uniform(-0.4, 0.6), 3);
    if (uniform(0, 1) < 0.6)
      text(GadgetInternalCentreDistance, GetGadgetNumber(GadgetInternalCentreDistance) + uniform(-0.2, 0.4) * m, 4);
    ComputeInternalPairFromSelection(0);
    // Rings of thousands of teeth make the reference slow, not the check.
    if (!Gear1.valid || !RingGear.valid || pick.teeth1 * pick.teeth2 > 40000) continue;
    ++checked;
    SCOPED_TRACE(testing::Message() << "m " << m << ", z " << pick.teeth1 << "/" << pick.teeth2 << ", beta "
                                    << pick.helixAngleDeg << ", delta x " << pick.profileShiftDifference << ", a "
                                    << store.GetText(GadgetInternalCentreDistance) << ", alpha "
                                    << store.GetText(GadgetInternalPressureAngle) << ", x1 "
                                    << store.GetText(GadgetInternalX1) << ", jn "
                                    << store.GetText(GadgetInternalBacklash) << ", shortened "
                                    << store.GetState(GadgetInternalShortenTip));
    ExpectSameDepth(InternalPenetration, ReferenceOfTheTab(/*cap=*/0.01 * m).Deepest(), m);
  }
  EXPECT_EQ(checked, 6);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomPairs, ::testing::Values(1, 2, 3, 4));

// ---- placements of a pair with backlash -----------------------------------------

struct Crossing {
  double t;       // along the line
  bool pinion;    // of the pinion's outline, else the ring's
  bool square;    // the outline is square to the line there, as a flank whose normal it is
  bool entering;  // the material of that body, going in +t
};

// A closed outline in world coordinates, and which side of it its material lies
// on: the pinion's inside its loop, the ring's outside (the rim is far away).
struct WorldLoop {
  std::vector<OutlinePoint> points;
  bool materialLeft = true;
};

WorldLoop PlacedLoop(const GearRecord& g, double turn, OutlinePoint centre, bool pinion) {
  WorldLoop loop;
  const double c = std::cos(turn), s = std::sin(turn);
  for (const OutlinePolyline& line : g.outline)
    for (const OutlinePoint& q : line.points) {
      const OutlinePoint w{centre.x + c * q.x - s * q.y, centre.y + s * q.x + c * q.y};
      if (loop.points.empty() || std::hypot(w.x - loop.points.back().x, w.y - loop.points.back().y) > 1e-12)
        loop.points.push_back(w);
    }
  double area = 0.0;  // twice the signed area: positive for a counter-clockwise loop
  for (size_t i = 0; i < loop.points.size(); ++i) {
    const OutlinePoint a = loop.points[i], b = loop.points[(i + 1) % loop.points.size()];
    area += a.x * b.y - a.y * b.x;
  }
  loop.materialLeft = (area > 0.0) == pinion;
  return loop;
}

// Where the line p + t e crosses a loop.
void CrossingsWithLine(const WorldLoop& loop, OutlinePoint p, OutlinePoint e, bool pinion,
                       std::vector<Crossing>& out) {
  const std::vector<OutlinePoint>& v = loop.points;
  for (size_t i = 0; i < v.size(); ++i) {
    const OutlinePoint a = v[i], b = v[(i + 1) % v.size()];
    const double da = (a.x - p.x) * e.y - (a.y - p.y) * e.x, db = (b.x - p.x) * e.y - (b.y - p.y) * e.x;
    if ((da > 0) == (db > 0)) continue;
    const double s = da / (da - db);
    const OutlinePoint x{a.x + s * (b.x - a.x), a.y + s * (b.y - a.y)};
    const double tx = b.x - a.x, ty = b.y - a.y, len = std::hypot(tx, ty);
    const bool square = std::fabs((tx * e.x + ty * e.y) / len) < 0.02;
    const bool intoLeft = tx * e.y - ty * e.x > 0.0;  // e points to the left of ab
    out.push_back({(x.x - p.x) * e.x + (x.y - p.y) * e.y, pinion, square, intoLeft == loop.materialLeft});
  }
}

// Gaps along a line of action between a pinion flank and a ring flank that both
// have the line as their normal: free stretches of the line between leaving one
// body's flank and entering the other's, within the path of contact.
std::vector<double> FlankGapsAlongLine(const FullOutlines& f, double a, double psi, double turn, int side) {
  const double rb1 = f.pinion.baseRadius, rb2 = f.ring.baseRadius;
  const double basePitch = 2.0 * kPi * rb1 / double(f.pinion.toothCount);
  // The line touching both base circles on one side: unit normal n with
  // n . O = rb2 and n . C = rb1, C = (a, 0).
  const double phi = side * std::acos((rb2 - rb1) / a);
  const OutlinePoint n{std::cos(phi), std::sin(phi)};
  const OutlinePoint base{rb2 * n.x, rb2 * n.y}, e{-n.y, n.x};
  std::vector<Crossing> crossings;
  CrossingsWithLine(PlacedLoop(f.pinion, psi + turn, {a, 0.0}, true), base, e, true, crossings);
  const double ringTurn = psi * double(f.pinion.toothCount) / double(f.ring.toothCount);
  CrossingsWithLine(PlacedLoop(f.ring, ringTurn, {0.0, 0.0}, false), base, e, false, crossings);
  std::sort(crossings.begin(), crossings.end(), [](const Crossing& l, const Crossing& r) { return l.t < r.t; });
  std::vector<double> gaps;
  for (size_t i = 0; i + 1 < crossings.size(); ++i) {
    const Crossing& l = crossings[i];
    const Crossing& r = crossings[i + 1];
    if (l.entering || !r.entering || l.pinion == r.pinion || !l.square || !r.square) continue;
    // Mating flanks stand less than half a base pitch apart; a longer stretch runs
    // from a pinion flank to a ring tooth on the far side of the ring.
    if (r.t - l.t < 0.5 * basePitch) gaps.push_back(r.t - l.t);
  }
  return gaps;
}

struct BacklashRow {
  const char* name;
  double m;
  int64_t z1, z2;
  double helixDeg;
  double jn;
};

void PrintTo(const BacklashRow& row, std::ostream* out) { *out << row.name; }

const BacklashRow kBacklashPairs[] = {
    {"spur 20/60, jn 0.1", 2, 20, 60, 0, 0.1},
    {"helical 24/61 at 18 degrees, jn 0.08", 1.5, 24, 61, 18, 0.08},
};

class BacklashPlacements : public StartedProgramTest, public ::testing::WithParamInterface<BacklashRow> {};

TEST_P(BacklashPlacements, GapAlongTheLineOfActionAndFirstContact) {
  const BacklashRow& row = GetParam();
  const std::string jn = Decimal(row.jn);
  ASSERT_NO_FATAL_FAILURE(ShowPair(store, {row.name, row.m, row.z1, row.z2, row.helixDeg, "", jn.c_str(), 1, 0, -1}));
  const FullOutlines f = FullOutlinesOfTheTab();
  const double a = InternalCentreDistance;
  const double beta = row.helixDeg * kDegToRad, alphaN = 20 * kDegToRad;
  const double gap = row.jn / (2.0 * std::cos(std::asin(std::sin(beta) * std::cos(alphaN))));
  const double p1 = 2 * kPi / double(row.z1);

  // Centred, every flank pair on either line of action stands the same gap apart
  // at every position (to the chord error of the outlines).
  for (int side : {1, -1}) {
    for (int k = 0; k < 8; ++k) {
      const std::vector<double> gaps = FlankGapsAlongLine(f, a, k * p1 / 8, 0.0, side);
      ASSERT_FALSE(gaps.empty()) << "side " << side << " position " << k;
      for (double g : gaps) EXPECT_NEAR(g, gap, 2e-4 * row.m) << "side " << side << " position " << k;
    }
  }

  // Turned by that gap over r_b1 the flanks on one line just touch and those on
  // the other stand twice the gap apart.
  const double turn = LoadedTurn(row.jn, row.m, double(row.z1), alphaN, beta);
  EXPECT_NEAR(ComputeLoadedPinionTurn(f.pinion, f.ring), turn, 1e-12 * turn);
  for (int k = 0; k < 4; ++k) {
    std::vector<double> gaps[2] = {FlankGapsAlongLine(f, a, k * p1 / 4, turn, 1),
                                   FlankGapsAlongLine(f, a, k * p1 / 4, turn, -1)};
    // Touching flanks leave no free stretch, or one of the chord error.
    const bool firstCloses = gaps[0].empty() || gaps[0][0] < gap;
    for (double g : gaps[firstCloses ? 0 : 1]) EXPECT_NEAR(g, 0.0, 2e-4 * row.m) << "position " << k;
    ASSERT_FALSE(gaps[firstCloses ? 1 : 0].empty()) << "position " << k;
    for (double g : gaps[firstCloses ? 1 : 0]) EXPECT_NEAR(g, 2.0 * gap, 2e-4 * row.m) << "position " << k;
  }

  // At that turn only the polygons' chords and the ring's tip corner grazing the
  // pinion's fillet (its shortened tip is set for contact on the line of action)
  // read any depth, well under the report's limit; 0.02 m short of it the
  // bodies stay clear; 0.02 m beyond it the flanks overlap by 0.02 m along their
  // common normal, the line of action.
  const double e = 0.02 * row.m, rb1 = f.pinion.baseRadius;
  const ReferenceMesh mesh(f.pinion, f.ring, a);
  const double touch = mesh.Sweep(turn, 600, e).signedDepth;
  EXPECT_LT(touch, 0.5 * 0.002 * row.m);
  ExpectSameDepth(ComputeInternalOverlapAtTurns(f.pinion, f.ring, a, {turn}), touch, row.m);
  EXPECT_EQ(ComputeInternalOverlapAtTurns(f.pinion, f.ring, a, {turn - e / rb1}), kNone);
  EXPECT_LT(mesh.Sweep(turn - e / rb1, 600, e).signedDepth, 0.0);
  EXPECT_NEAR(ComputeInternalOverlapAtTurns(f.pinion, f.ring, a, {turn + e / rb1}), e, std::max(touch, 0.0) + 0.005 * e);
  EXPECT_NEAR(mesh.Sweep(turn + e / rb1, 600, e).signedDepth, e, std::max(touch, 0.0) + 0.005 * e);
}

INSTANTIATE_TEST_SUITE_P(Pairs, BacklashPlacements, ::testing::ValuesIn(kBacklashPairs));

}  // namespace
}  // namespace kovrex::test
