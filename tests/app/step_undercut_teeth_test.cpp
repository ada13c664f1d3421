// STEP exports of helical gears whose teeth are both pointed and deeply undercut:
// the undercuts of the two flanks leave a neck of micrometres, or the tool's tip
// rounding reaches across the tooth centre line and cuts the tooth through while
// the outline's points still stand a micrometre apart. A tooth with a neck is
// written as a valid solid (OpenCASCADE, also without healing, with the volume of
// its end face times the face width); a tooth cut through is no valid gear, and
// its export is refused before the save requester. Which of the two a design is comes from rolling the basic rack
// here, not from the program.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/controls.h"
#include "geometry/external_gear.h"
#include "numbers/number_text.h"
#include "support/action_replay.h"
#include "support/outline_checks.h"
#include "support/step_check.h"
#include "support/test_support.h"
#include "text/texts.h"

namespace kovrex::test {
namespace {

constexpr double kPiHere = 3.14159265358979323846;

double Involute(double a) { return std::tan(a) - a; }

// The farthest the tip rounding of the basic rack (ISO 53: dedendum 1.25 m, tip
// radius 0.38 m) reaches across the centre line of the tooth it cuts, in mm, in
// the transverse section, where the normal-section rounding is an ellipse
// stretched by 1/cos(beta) along the pitch line. The rack is shifted by x m and
// moved toward the axis by A_s / (2 tan alpha_n) for the thickness allowance, and
// rolled on the pitch circle. Negative: it keeps that far from the centre line
// everywhere, which for a thin neck between two undercuts is the neck's
// half-width. Only rounding points below the radius where the two involutes meet
// count: above it there is no tooth left to cut.
double RoundingReachAcrossCentreLine(double m, int z, double alphaDeg, double betaDeg, double x, double allowance) {
  const double an = alphaDeg * kPiHere / 180.0, beta = betaDeg * kPiHere / 180.0;
  const double cb = std::cos(beta);
  const double mt = m / cb;
  const double at = std::atan(std::tan(an) / cb);
  const double r = z * mt / 2.0, rb = r * std::cos(at);
  const double xE = x - allowance / (2.0 * m * std::tan(an));
  const double rho = 0.38 * m;
  // Rounding centre: height above the axis at no roll, and distance from the tooth
  // centre line along the pitch line (the rack space is half a pitch wide there).
  const double yc = r + xE * m - 1.25 * m + rho;
  const double ut = (kPiHere * m / 4.0 + (1.25 * m - rho) * std::tan(an) + rho / std::cos(an)) / cb;

  // Where the involutes of the two flanks meet: half the tooth angle is zero.
  auto halfAngle = [&](double radius) {
    return (kPiHere / 2.0 + 2.0 * xE * std::tan(an)) / z + Involute(at) - Involute(std::acos(rb / radius));
  };
  double lo = rb, hi = r + 3.0 * m;
  for (int i = 0; i < 200; ++i) {
    const double mid = (lo + hi) / 2.0;
    (halfAngle(mid) > 0.0 ? lo : hi) = mid;
  }
  const double pointedRadius = lo;

  // At roll angle phi, a rack point (px, py) stands at X = (px - r phi) cos phi +
  // py sin phi from the centre line (positive toward the rack's tooth), Y = -(px -
  // r phi) sin phi + py cos phi. On the rounding's arc from the flank (theta = pi +
  // alpha_n) to its bottom (3 pi / 2), X is a constant plus a sinusoid in theta:
  // its least value is at the sinusoid's trough or at an end of the arc.
  auto reach = [&](double phi) {
    const double c = std::cos(phi), s = std::sin(phi);
    auto at = [&](double theta, double& X, double& Y) {
      const double px = ut + rho * std::cos(theta) / cb, py = yc + rho * std::sin(theta);
      X = (px - r * phi) * c + py * s;
      Y = -(px - r * phi) * s + py * c;
    };
    double trough = std::atan2(s, c / cb) + kPiHere;
    if (trough < 0.0) trough += 2.0 * kPiHere;
    double best = -1e300;
    for (double theta : {kPiHere + an, 1.5 * kPiHere, trough}) {
      if (theta < kPiHere + an || theta > 1.5 * kPiHere) continue;
      double X, Y;
      at(theta, X, Y);
      if (Y > 0.0 && std::hypot(X, Y) < pointedRadius) best = std::max(best, -X);
    }
    return best;
  };
  const int steps = 40000;
  double bestPhi = 0.0, best = -1e300;
  for (int i = 0; i <= steps; ++i) {
    const double phi = -1.0 + 2.0 * i / steps;
    const double v = reach(phi);
    if (v > best) best = v, bestPhi = phi;
  }
  double a = bestPhi - 2.0 / steps, b = bestPhi + 2.0 / steps;
  for (int i = 0; i < 200; ++i) {
    const double m1 = a + (b - a) / 3.0, m2 = b - (b - a) / 3.0;
    if (reach(m1) < reach(m2))
      a = m1;
    else
      b = m2;
  }
  return std::max(best, reach((a + b) / 2.0));
}

enum class Tab { Single, PinionRack };

struct ToothRow {
  const char* name;
  Tab tab;
  const char *m, *z, *x, *alphaDeg, *betaDeg;
  const char* allowance;  // the pinion of the rack tab has none without backlash
  bool leftHand;
  int solids;  // 0: the design must be refused
};

void PrintTo(const ToothRow& row, std::ostream* out) { *out << row.name; }

std::string Actions(const ToothRow& row) {
  const bool single = row.tab == Tab::Single;
  std::string a = single ? "restart\nstate 0 1\n" : "restart\nstate 0 2\n";
  auto text = [&](int control, const std::string& value) {
    a += "text " + std::to_string(control) + " \"" + value + "\"\n";
  };
  text(single ? GadgetSingleModule : GadgetRackModule, row.m);
  text(single ? GadgetSingleTeeth : GadgetRackPinionTeeth, row.z);
  text(single ? GadgetSingleProfileShift : GadgetRackProfileShift, row.x);
  text(single ? GadgetSinglePressureAngle : GadgetRackPressureAngle, row.alphaDeg);
  text(single ? GadgetSingleHelixAngle : GadgetRackHelixAngle, row.betaDeg);
  if (single) text(GadgetSingleThicknessAllowance, row.allowance);
  text(single ? GadgetSingleBore : GadgetRackPinionBore, "0");
  if (row.leftHand) a += "state " + std::to_string(single ? GadgetSingleHand : GadgetRackHand) + " 1\n";
  return a;
}

// Pressure angles to nine decimals put the neck within a micrometre of nothing.
const ToothRow kRows[] = {
    {"neck 4 um, z 30 beta 0.75", Tab::Single, "2", "30", "0", "13.231133899", "0.75", "2", false, 1},
    {"neck 0.1 um, z 16 beta 6.5", Tab::Single, "2", "16", "-0.478", "19.745313594", "6.475", "1.681", false, 1},
    {"neck 0.6 um, z 45 beta 30", Tab::Single, "2", "45", "-0.3", "12.368151217", "30", "2.5", false, 1},
    {"neck 4 um, z 12 beta 20 left hand", Tab::Single, "2", "12", "0.2", "13.670511454", "20", "1.5", true, 1},
    {"neck 10 um, z 14 beta 26", Tab::Single, "2", "14", "-0.653", "23.6759", "26.077", "2.18", false, 1},
    {"cut through, 0.75 um across, m 5 z 20 beta 16", Tab::Single, "5", "20", "0.293", "13.145311770", "16.161",
     "4.875", false, 0},
    {"cut through, 0.05 um across, z 12 beta 20 left hand", Tab::Single, "2", "12", "0.2", "13.658772760", "20",
     "1.5", true, 0},
    {"cut through, 0.3 um across, z 39 beta 16", Tab::Single, "2", "39", "-0.846", "18.799634658", "16.256", "2.681",
     false, 0},
    // The pinion with its helical rack, both bodies in the file.
    {"pinion z 8 with its rack", Tab::PinionRack, "2", "8", "0.7", "12", "10", "0", false, 2},
};

class UndercutTeeth : public KovrexTest, public ::testing::WithParamInterface<ToothRow> {
 protected:
  ScratchFolder scratch_{"kovrex_teeth"};
  const std::string& folder_ = scratch_.path();
};

TEST_P(UndercutTeeth, ValidSolidWhereTheToothHoldsRefusedWhereTheToolCutsItThrough) {
  const ToothRow& row = GetParam();
  auto number = [](const char* text) { return ParseDecimalNumber(text); };
  const double reach =
      RoundingReachAcrossCentreLine(number(row.m), static_cast<int>(ParseWholeNumber(row.z)), number(row.alphaDeg),
                                    number(row.betaDeg), number(row.x), number(row.allowance));
  // A row is only worth its name well clear of the edge: 20 nm either way, twenty
  // times what the file tells apart.
  ASSERT_GT(std::fabs(reach), 2e-5) << reach;
  ASSERT_EQ(reach > 0.0, row.solids == 0) << "reach across the centre line " << reach << " mm";

  ReplayActions(store, services, Actions(row), folder_);
  const GearRecord drawn = Gear1;
  const std::vector<ReplayedExport> exports =
      ReplayActions(store, services, "export " + std::to_string(GadgetExportStep) + " model\n", folder_);
  ASSERT_EQ(exports.size(), 1u);
  // A tooth that the tool cuts through is no gear: the geometry refuses it where
  // the fillet crosses the centre line between its samples. A tooth with a neck is
  // pointed and undercut, and stands.
  EXPECT_EQ(Gear1.valid, row.solids == 0 ? 0 : 1);
  if (row.solids != 0) {
    EXPECT_EQ(Gear1.pointedTipFlag, 1);
    EXPECT_EQ(Gear1.undercutFlag, 1);
  }
  const ReplayedExport& e = exports[0];
  const std::vector<RecordedMessage> shown(services.messages.begin() + static_cast<long>(e.firstMessage),
                                           services.messages.end());
  if (row.solids == 0) {
    EXPECT_TRUE(e.path.empty()) << "the requester was opened for " << e.path;
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].icon, MessageIcon::Warning);
    EXPECT_EQ(shown[0].text, Tx(TextId::ExportNothingValid));
    // The check fits the outline at the export density; the gear on screen keeps
    // the outline it was drawn with, point for point.
    ASSERT_EQ(Gear1.outline.size(), drawn.outline.size());
    for (size_t i = 0; i < drawn.outline.size(); ++i) {
      ASSERT_EQ(Gear1.outline[i].points.size(), drawn.outline[i].points.size()) << i;
      for (size_t k = 0; k < drawn.outline[i].points.size(); ++k) {
        EXPECT_EQ(Gear1.outline[i].points[k].x, drawn.outline[i].points[k].x);
        EXPECT_EQ(Gear1.outline[i].points[k].y, drawn.outline[i].points[k].y);
      }
    }
    return;
  }
  ASSERT_FALSE(e.path.empty());
  EXPECT_TRUE(shown.empty()) << shown[0].text;
  if (!StepCheckAvailable()) GTEST_SKIP() << "OpenCASCADE not found at configure time";
  const StepCheck check = RunStepCheck(e.path);
  std::remove(e.path.c_str());
  ExpectValidSolidsBothReads(check, static_cast<size_t>(row.solids));
  // The helix turns the end face without changing it: the gear's volume is its
  // end face times the face width, here from the outline polygon at the export
  // density. The curves pass through its points and stand off its chords by a
  // mean of up to 2 um: a tooth tip lost above its neck is forty times that.
  GearRecord dense = Gear1;
  ComputeExternalGearGeometry(dense, 4);
  const double expected = OutlineArea(dense) * dense.faceWidth;
  const double tolerance = OutlinePerimeter(dense) * dense.faceWidth * 0.002;
  for (const CheckedRead* read : {&check.healed, &check.raw}) {
    if (!read->solids.empty()) {
      EXPECT_NEAR(read->solids[0].volume, expected, tolerance);
    }
  }
}

std::string RowName(const ::testing::TestParamInfo<ToothRow>& info) {
  std::string name;
  for (const char* c = info.param.name; *c; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Helical, UndercutTeeth, ::testing::ValuesIn(kRows), RowName);

}  // namespace
}  // namespace kovrex::test
