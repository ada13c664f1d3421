// The strength report as text: the table row form (a number is never cut), the
// verdict of the status line (a value that is not finite is never "sufficient"),
// and whole reports of the three arrangements in both languages against golden
// files.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "capacity/strength_report.h"
#include "text/texts.h"

namespace kovrex {
namespace {

class LanguageGuard {
 public:
  explicit LanguageGuard(bool dutch) { SetTextLanguageForTest(dutch); }
  ~LanguageGuard() { SetTextLanguageForTest(false); }
};

TEST(FormatReportTableRow, PadsLabelAndRightAlignsValues) {
  EXPECT_EQ(FormatReportTableRow("ZNT", "0.850", "1.000"),
            "  ZNT" + std::string(25, ' ') + "      0.850      1.000\n");
  // Columns count characters: sigma and the superscript two are two bytes each.
  std::string row = FormatReportTableRow("σH [N/mm²]", "812", "812");
  EXPECT_EQ(row, "  σH [N/mm²]" + std::string(18, ' ') + "        812        812\n");
}

TEST(FormatReportTableRow, NeverCutsANumber) {
  // 1.2e11 load cycles need 12 characters: the value widens its column.
  std::string row = FormatReportTableRow("load cycles", "120000000000", "60000000000");
  EXPECT_EQ(row, "  load cycles" + std::string(17, ' ') + " 120000000000 60000000000\n");
  EXPECT_NE(row.find("120000000000"), std::string::npos);
  // A long label keeps its first 28 characters.
  std::string label(40, 'x');
  EXPECT_EQ(FormatReportTableRow(label, "1", "2"), "  " + std::string(28, 'x') + std::string(10, ' ') + "1" +
                                                       std::string(10, ' ') + "2\n");
}

TEST(FormatReportNumber, NotFiniteIsADash) {
  EXPECT_EQ(FormatReportNumber(2, 1.234), "1.23");
  EXPECT_EQ(FormatReportNumber(0, std::numeric_limits<double>::infinity()), "-");
  EXPECT_EQ(FormatReportNumber(3, std::nan("")), "-");
}

StrengthResult FiniteResult(double safety) {
  StrengthResult r;
  r.ok = 1;
  r.sigmaH = 800;
  for (int i = 0; i < 2; ++i) {
    r.SH[i] = safety;
    r.SF[i] = 2.0 * safety;
    r.sigmaF[i] = 200;
  }
  return r;
}

TEST(RateStrengthStatus, ThreeVerdictsAndTheirColours) {
  LanguageGuard english(false);
  StrengthStatus s = RateStrengthStatus(FiniteResult(1.234), 1.234);
  EXPECT_EQ(s.text, "Sufficient  (S_H 1.23, S_F 2.47)");
  EXPECT_EQ((std::vector<int>{s.red, s.green, s.blue}), (std::vector<int>{170, 225, 170}));
  s = RateStrengthStatus(FiniteResult(1.234), 1.05);
  EXPECT_EQ(s.text, "Tight  (S_H 1.23, S_F 2.47)");
  EXPECT_EQ((std::vector<int>{s.red, s.green, s.blue}), (std::vector<int>{250, 205, 120}));
  s = RateStrengthStatus(FiniteResult(1.234), 1.0);
  EXPECT_EQ(s.text.rfind("Tight", 0), 0u);
  s = RateStrengthStatus(FiniteResult(0.9), 0.9);
  EXPECT_EQ(s.text, "Insufficient  (S_H 0.90, S_F 1.80)");
  EXPECT_EQ((std::vector<int>{s.red, s.green, s.blue}), (std::vector<int>{240, 140, 140}));
  s = RateStrengthStatus(FiniteResult(1.5), 1.1);
  EXPECT_EQ(s.text.rfind("Sufficient", 0), 0u);
  LanguageGuard dutch(true);
  EXPECT_EQ(RateStrengthStatus(FiniteResult(1.5), 1.5).text, "Voldoet  (S_H 1.50, S_F 3.00)");
  EXPECT_EQ(RateStrengthStatus(FiniteResult(1.5), 1.05).text.rfind("Krap  (S_H ", 0), 0u);
  EXPECT_EQ(RateStrengthStatus(FiniteResult(0.5), 0.5).text.rfind("Voldoet niet  (S_H ", 0), 0u);
}

TEST(RateStrengthStatus, NotFiniteValuesAreNeverSufficient) {
  LanguageGuard english(false);
  const double nan = std::nan("");
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* name;
    void (*spoil)(StrengthResult&);
  };
  const Case cases[] = {
      {"sigmaH NaN", [](StrengthResult& r) { r.sigmaH = std::nan(""); }},
      {"sigmaH inf", [](StrengthResult& r) { r.sigmaH = std::numeric_limits<double>::infinity(); }},
      {"SH of gear B NaN", [](StrengthResult& r) { r.SH[1] = std::nan(""); }},
      {"SF of gear A inf", [](StrengthResult& r) { r.SF[0] = std::numeric_limits<double>::infinity(); }},
      {"sigmaF of gear B NaN", [](StrengthResult& r) { r.sigmaF[1] = std::nan(""); }},
  };
  for (const Case& c : cases) {
    StrengthResult r = FiniteResult(3.0);
    c.spoil(r);
    StrengthKeyData keys;
    StrengthInput in;
    double m = ComputeOverallMargin(r, in, keys);
    StrengthStatus s = RateStrengthStatus(r, m);
    EXPECT_EQ(s.text.rfind("Insufficient", 0), 0u) << c.name << ": " << s.text;
    EXPECT_EQ(s.text.find("NaN"), std::string::npos) << c.name;
    EXPECT_EQ(s.text.find("Infinity"), std::string::npos) << c.name;
  }
  // A NaN margin with otherwise good values.
  EXPECT_EQ(RateStrengthStatus(FiniteResult(3.0), nan).text.rfind("Insufficient", 0), 0u);
  EXPECT_EQ(RateStrengthStatus(FiniteResult(3.0), inf).text.rfind("Insufficient", 0), 0u);
}

TEST(ComputeOverallMargin, SafetiesBoresAndKeys) {
  StrengthResult r = FiniteResult(2.0);  // SH 2, SF 4
  StrengthInput in;
  in.minSafetyH = 1.0;
  in.minSafetyF = 1.4;
  StrengthKeyData keys;
  EXPECT_DOUBLE_EQ(ComputeOverallMargin(r, in, keys), 2.0);
  r.SF[1] = 1.47;  // 1.47 / 1.4 = 1.05
  EXPECT_NEAR(ComputeOverallMargin(r, in, keys), 1.05, 1e-12);
  r.SF[1] = 4.0;
  // A bore below the torsion diameter of gear A limits the margin.
  keys.present[0] = true;
  keys.connection[0].bore = 21.0;
  keys.connection[0].shaftDiameterRequired = 20.0;
  EXPECT_NEAR(ComputeOverallMargin(r, in, keys), 1.05, 1e-12);
  // So does a key safety of 1.05, but only when the key was checked.
  keys.connection[0].bore = 0.0;
  keys.connection[1].keySafety = 0.5;
  EXPECT_DOUBLE_EQ(ComputeOverallMargin(r, in, keys), 2.0);
  keys.present[1] = true;
  EXPECT_DOUBLE_EQ(ComputeOverallMargin(r, in, keys), 2.0);
  keys.connection[1].keyChecked = 1;
  EXPECT_DOUBLE_EQ(ComputeOverallMargin(r, in, keys), 0.5);
  // A gear without a connection (rack, ring) never counts.
  keys.present[1] = false;
  EXPECT_DOUBLE_EQ(ComputeOverallMargin(r, in, keys), 2.0);
}

// ---- whole reports ----------------------------------------------------------

struct ReportCase {
  const char* file;
  ToothKind kind;
  bool dutch;
};

StrengthResult SampleResult(ToothKind kind) {
  StrengthResult r;
  r.ok = 1;
  r.torque1 = 31.8333;
  r.tangentialForce = 1591.667;
  r.pitchLineVelocity = 3.14159;
  r.ratio = kind == ToothKind::Rack ? 0.0 : 2.0;
  r.speed2 = kind == ToothKind::Rack ? 0.0 : 750.0;
  r.faceWidth = 20.0;
  r.KV = 1.05234;
  r.KHbeta = 1.23456;
  r.KHalpha = 1.1;
  r.KFbeta = 1.18765;
  r.KFalpha = 1.1;
  r.ZH = 2.49457;
  r.ZE = 189.812;
  r.Zeps = 0.88192;
  r.Zbeta = 1.01766;
  r.ZLVR = 0.85;
  r.Yeps = 0.71875;
  r.Ybeta = 0.9375;
  r.epsAlpha = 1.6;
  r.epsBeta = 0.5;
  r.sigmaH = 812.44;
  const double yf[2] = {2.8012, 2.0649}, ys[2] = {1.5521, 1.9703};
  for (int i = 0; i < 2; ++i) {
    r.YF[i] = yf[i];
    r.YS[i] = ys[i];
    r.YX[i] = 1.0;
  }
  // 1.2e11 cycles print as 12 digits: wider than the column, and not cut.
  r.loadCycles[0] = 1.2e11;
  r.loadCycles[1] = kind == ToothKind::Rack ? 2.4e10 : 6e10;
  r.ZNT[0] = r.ZNT[1] = 0.85;
  r.YNT[0] = r.YNT[1] = 0.85;
  r.sigmaHG[0] = r.sigmaHG[1] = 541.875;
  // Sample values that agree with each other: T1 (SH / SH,min)^2 and T1 SF / SF,min.
  r.SH[0] = r.SH[1] = kind == ToothKind::External ? 0.667 : (kind == ToothKind::Rack ? 1.35 : 1.27);
  r.sigmaF[0] = 210.34;
  r.sigmaF[1] = 198.66;
  r.sigmaFG[0] = r.sigmaFG[1] = 510.0;
  r.SF[0] = 2.4247;
  r.SF[1] = 2.5672;
  r.maxTorquePitting = r.torque1 * r.SH[0] * r.SH[0];
  r.maxTorqueRoot = r.torque1 * r.SF[0] / 1.4;
  return r;
}

StrengthInput SampleInput(ToothKind kind) {
  StrengthInput in;
  in.torque1 = 31.8333;
  in.speed1 = 1500;
  in.applicationFactor = 1.25;
  in.lifeHours = 20000;
  in.accuracyGrade = 7;
  in.lubrication = kind == ToothKind::Rack ? 2 : (kind == ToothKind::Ring ? 1 : 0);
  in.minSafetyH = 1.0;
  in.minSafetyF = 1.4;
  in.sigmaHlim[0] = in.sigmaHlim[1] = 750;
  in.sigmaFlim[0] = in.sigmaFlim[1] = 300;
  return in;
}

KeyConnectionResult CheckedKey(double torque, double bore, double dReq, double dStd, double safety,
                               const char* verdict) {
  KeyConnectionResult k;
  k.computed = 1;
  k.torque = torque;
  k.bore = bore;
  k.shaftDiameterRequired = dReq;
  k.shaftDiameterStandard = dStd;
  k.keyChecked = 1;
  k.keyBearingHeight = 2.3;
  k.keyLength = 20.0;
  k.bearingLength = 14.0;
  k.keyCount = 1;
  k.pressure = 98.64;
  k.pressureAllowed = 387.0;
  k.keySafety = safety;
  k.keyLengthRequired = 9.62;
  k.lengthAvailable = 20.0;
  k.verdict = verdict;
  return k;
}

StrengthKeyData SampleKeys(ToothKind kind) {
  StrengthKeyData keys;
  keys.present[0] = true;
  if (kind == ToothKind::Rack) {
    // Solid pinion: shaft sizing only, no key rows at all.
    KeyConnectionResult& k = keys.connection[0];
    k.computed = 1;
    k.torque = 31.8333;
    k.shaftDiameterRequired = 16.07;
    k.shaftDiameterStandard = 18;
    k.verdict = TextSetIsDutch() ? "geen boring: wiel op de as (massief) of boring nog opgeven"
                                 : "no bore: gear solid on the shaft, or enter a bore";
    return keys;
  }
  keys.connection[0] = CheckedKey(31.8333, 20.0, 16.07, 18, 3.9234,
                                  TextSetIsDutch() ? "1 spie volstaat" : "1 key is sufficient");
  keys.keywayWidth[0] = 6;
  keys.keyHeight[0] = 6;
  if (kind == ToothKind::External) {
    keys.present[1] = true;
    // Bore below d min, no bearing pressure: the warning line and a "-".
    keys.connection[1] = CheckedKey(63.6667, 16.0, 20.25, 22, 0.95,
                                  TextSetIsDutch() ? "spie langer maken: ten minste 25.4 mm"
                                                   : "make the key longer: at least 25.4 mm");
    keys.connection[1].pressure = 0.0;
    keys.keywayWidth[1] = 5;
    keys.keyHeight[1] = 5;
  }
  return keys;
}

std::string SampleReport(ToothKind kind) {
  StrengthResult r = SampleResult(kind);
  StrengthInput in = SampleInput(kind);
  StrengthKeyData keys = SampleKeys(kind);
  StrengthHeaderTexts t;
  const bool nl = TextSetIsDutch();
  const char* arrangement[3][2] = {{"GEAR PAIR", "TANDWIELPAAR"}, {"INTERNAL PAIR", "BINNENVERTANDING"},
                                   {"PINION AND RACK", "RONDSEL EN HEUGEL"}};
  const char* lubrication[3][2] = {{"oil", "olie"}, {"grease", "vet"}, {"dry (indicative)", "droog (indicatief)"}};
  t.mainReport = std::string(arrangement[static_cast<int>(kind)][nl]) + "\n  m = 2 mm\n";
  t.loadLabel = TextSetIsDutch() ? "Vermogen P [kW]" : "Power P [kW]";
  t.loadValue = "5";
  t.speed = "1500";
  t.lifeHours = "20000";
  t.flankFinish = TextSetIsDutch() ? "gefreesd / gestoken" : "hobbed / shaped";
  t.lubrication = lubrication[in.lubrication][nl];
  for (int i = 0; i < 2; ++i) {
    t.material[i] = TextSetIsDutch() ? "42CrMo4 veredeld (~300 HB)" : "42CrMo4 quenched and tempered (~300 HB)";
    t.sigmaHlim[i] = "750";
    t.sigmaFlim[i] = "300";
  }
  std::string nameB = StrengthGearBName(kind);
  std::string body = BuildStrengthReportBody(r, in, kind, nameB, keys);
  StrengthStatus status = RateStrengthStatus(r, ComputeOverallMargin(r, in, keys));
  return BuildStrengthReportText(BuildStrengthReportHeader(t, in, nameB), status, body);
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

TEST(StrengthReport, GoldenTexts) {
  const ReportCase cases[] = {
      {"strength_report_pair_en.txt", ToothKind::External, false},
      {"strength_report_pair_nl.txt", ToothKind::External, true},
      {"strength_report_rack_en.txt", ToothKind::Rack, false},
      {"strength_report_rack_nl.txt", ToothKind::Rack, true},
      {"strength_report_internal_en.txt", ToothKind::Ring, false},
      {"strength_report_internal_nl.txt", ToothKind::Ring, true},
  };
  for (const ReportCase& c : cases) {
    LanguageGuard language(c.dutch);
    const std::string actual = SampleReport(c.kind);
    const std::string path = std::string(KOVREX_SOURCE_DIR) + "/tests/golden/" + c.file;
    std::ifstream file(path, std::ios::binary);
    std::stringstream golden;
    golden << file.rdbuf();
    const std::vector<std::string> expected = SplitLines(golden.str());
    const std::vector<std::string> got = SplitLines(actual);
    bool same = file.good() && expected.size() == got.size() && golden.str() == actual;
    for (size_t i = 0; i < std::min(expected.size(), got.size()); ++i)
      EXPECT_EQ(got[i], expected[i]) << c.file << " line " << i + 1;
    EXPECT_EQ(got.size(), expected.size()) << c.file;
    EXPECT_TRUE(same) << c.file << " differs (line ends or missing file); actual written beside it";
    if (!same) std::ofstream(path + ".actual", std::ios::binary) << actual;
  }
}

TEST(StrengthReport, ShaftColumnOfRackAndRingIsDashed) {
  LanguageGuard english(false);
  for (ToothKind kind : {ToothKind::Rack, ToothKind::Ring}) {
    std::string text = SampleReport(kind);
    size_t shaft = text.find("SHAFT AND KEY CONNECTION");
    ASSERT_NE(shaft, std::string::npos);
    std::vector<std::string> lines = SplitLines(text.substr(shaft));
    // Heading, then the rows up to the verdict of gear 1: each ends in a dash in the
    // second column.
    int rows = 0;
    const std::string dash = std::string(10, ' ') + "-";
    for (size_t i = 1; i < lines.size() && lines[i].rfind("  gear 1:", 0) != 0; ++i, ++rows)
      EXPECT_EQ(lines[i].substr(lines[i].size() - dash.size()), dash) << lines[i];
    EXPECT_EQ(rows, kind == ToothKind::Ring ? 9 : 4);
  }
}

}  // namespace
}  // namespace kovrex
