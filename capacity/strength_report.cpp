// Text of the strength report and of its status line, built from the results of
// one strength run. Every number goes through FormatFixed, or prints "-" when it
// is not finite.
#include "capacity/strength_report.h"

#include <cmath>
#include <limits>

#include "capacity/load_capacity.h"
#include "numbers/number_text.h"
#include "text/texts.h"

namespace kovrex {
namespace {

constexpr size_t kLabelWidth = 28;
constexpr size_t kValueWidth = 11;

// Characters, not bytes: σ, ², × and β take two bytes each in UTF-8 but one column.
size_t CharacterCount(const std::string& text) {
  size_t n = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

std::string FirstCharacters(const std::string& text, size_t count) {
  size_t n = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      if (n == count) return text.substr(0, i);
      ++n;
    }
  }
  return text;
}

std::string PadRight(const std::string& text, size_t width) {
  size_t n = CharacterCount(text);
  return n >= width ? text : text + std::string(width - n, ' ');
}

std::string PadLeft(const std::string& text, size_t width) {
  size_t n = CharacterCount(text);
  return n >= width ? text : std::string(width - n, ' ') + text;
}

// A value as wide as its column or wider keeps one blank in front: two full columns
// side by side would otherwise read as one number (1e11 and 6e10 load cycles as
// "12000000000060000000000").
std::string ValueColumn(const std::string& value) {
  return CharacterCount(value) >= kValueWidth ? " " + value : PadLeft(value, kValueWidth);
}

std::string T(TextId id) { return Tx(id); }

// Unlike std::min, a NaN on either side stays NaN, so that it cannot hide behind a
// finite partner and make an unusable result look sufficient.
double MinOrNaN(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::numeric_limits<double>::quiet_NaN();
  return a < b ? a : b;
}

std::string SafetyValue(double safety, double minimum) {
  return FormatReportNumber(2, safety) + RateSafetyMargin(safety, minimum);
}

std::string TwoValueRow(TextId label, int decimals, const double (&values)[2]) {
  return FormatReportTableRow(T(label), FormatReportNumber(decimals, values[0]),
                              FormatReportNumber(decimals, values[1]));
}

// One row of the shaft section: "-" for a gear without a key connection.
template <typename ValueOf>
std::string KeyRow(TextId label, const StrengthKeyData& keys, bool needsKeyCheck, ValueOf valueOf) {
  std::string v[2];
  for (int i = 0; i < 2; ++i) {
    const KeyConnectionResult& k = keys.connection[i];
    bool shown = keys.present[i] && (!needsKeyCheck || k.keyChecked != 0);
    v[i] = shown ? valueOf(i, k) : "-";
  }
  return FormatReportTableRow(T(label), v[0], v[1]);
}

std::string ShaftSection(const StrengthKeyData& keys) {
  std::string s = T(TextId::StrengthShaftHeading);
  s += KeyRow(TextId::StrengthRowShaftTorque, keys, false,
              [](int, const KeyConnectionResult& k) { return FormatReportNumber(2, k.torque); });
  s += KeyRow(TextId::StrengthRowShaftMin, keys, false,
              [](int, const KeyConnectionResult& k) { return FormatReportNumber(1, k.shaftDiameterRequired); });
  s += KeyRow(TextId::StrengthRowShaftStandard, keys, false,
              [](int, const KeyConnectionResult& k) { return FormatReportNumber(0, k.shaftDiameterStandard); });
  s += KeyRow(TextId::StrengthRowBore, keys, false, [](int, const KeyConnectionResult& k) -> std::string {
    if (!(k.bore > 0.0)) return "-";
    return FormatReportNumber(1, k.bore) + RateSafetyMargin(k.bore, k.shaftDiameterRequired);
  });
  bool anyKey = (keys.present[0] && keys.connection[0].keyChecked != 0) ||
                (keys.present[1] && keys.connection[1].keyChecked != 0);
  if (!anyKey) return s;
  s += KeyRow(TextId::StrengthRowKeySize, keys, true, [&keys](int i, const KeyConnectionResult& k) {
    return FormatReportNumber(0, keys.keywayWidth[i]) + "×" + FormatReportNumber(0, keys.keyHeight[i]) + " k" +
           FormatReportNumber(1, k.keyBearingHeight);
  });
  s += KeyRow(TextId::StrengthRowKeyLength, keys, true, [](int, const KeyConnectionResult& k) {
    return FormatReportNumber(1, k.keyLength) + "/" + FormatReportNumber(1, k.bearingLength);
  });
  s += KeyRow(TextId::StrengthRowKeyPressure, keys, true, [](int, const KeyConnectionResult& k) -> std::string {
    if (!(k.pressure > 0.0)) return "-";
    return FormatReportNumber(0, k.pressure) + "/" + FormatReportNumber(0, k.pressureAllowed);
  });
  s += KeyRow(TextId::StrengthRowKeySafety, keys, true,
              [](int, const KeyConnectionResult& k) { return SafetyValue(k.keySafety, 1.0); });
  s += KeyRow(TextId::StrengthRowKeyRequired, keys, true,
              [](int, const KeyConnectionResult& k) { return FormatReportNumber(1, k.keyLengthRequired); });
  return s;
}

// The verdict of one gear's key connection and, when its bore is below the torsion
// diameter, the warning with the standard size to choose.
std::string KeyVerdictLines(const std::string& name, const KeyConnectionResult& k) {
  std::string s = "  " + name + ": " + k.verdict + "\n";
  if (k.bore > 0.0 && k.bore < k.shaftDiameterRequired)
    s += "  ! " + name + T(TextId::StrengthBoreTooSmall) + FormatReportNumber(0, k.shaftDiameterStandard) +
         T(TextId::StrengthMillimetreLine);
  return s;
}

}  // namespace

std::string FormatReportNumber(int decimals, double value) {
  if (!std::isfinite(value)) return "-";
  return FormatFixed(decimals, value);
}

std::string FormatReportTableRow(const std::string& label, const std::string& value1,
                                 const std::string& value2) {
  return "  " + PadRight(FirstCharacters(label, kLabelWidth), kLabelWidth) + ValueColumn(value1) +
         ValueColumn(value2) + "\n";
}

std::string StrengthGearAName() { return T(TextId::StrengthGearName1); }

std::string StrengthGearBName(ToothKind kind) {
  switch (kind) {
    case ToothKind::External: return T(TextId::StrengthGearName2);
    case ToothKind::Rack: return T(TextId::StrengthGearNameRack);
    case ToothKind::Ring: return T(TextId::StrengthGearNameRing);
  }
  return T(TextId::StrengthGearName2);
}

std::string BuildStrengthReportBody(const StrengthResult& r, const StrengthInput& in, ToothKind kind,
                                    const std::string& gearBName, const StrengthKeyData& keys) {
  const double n1 = in.speed1;
  std::string s = T(TextId::StrengthLoadHeading);
  s += T(TextId::StrengthLoadTorque) + FormatReportNumber(2, r.torque1) + T(TextId::StrengthLoadSpeed1) +
       FormatReportNumber(0, n1) + T(TextId::StrengthPerMinute);
  if (kind == ToothKind::Rack)
    s += T(TextId::StrengthLoadRackSpeed) + FormatReportNumber(3, r.pitchLineVelocity) +
         T(TextId::StrengthMetresPerSecondLine);
  else
    s += T(TextId::StrengthLoadSpeed2) + FormatReportNumber(1, r.speed2) + T(TextId::StrengthPerMinuteLine);
  s += T(TextId::StrengthLoadForce) + FormatReportNumber(1, r.tangentialForce) + T(TextId::StrengthLoadVelocity) +
       FormatReportNumber(2, r.pitchLineVelocity) + T(TextId::StrengthLoadFaceWidth) +
       FormatReportNumber(1, r.faceWidth) + T(TextId::StrengthMillimetreLine);

  s += T(TextId::StrengthFactorsHeading);
  s += T(TextId::StrengthFactorKA) + FormatReportNumber(2, in.applicationFactor) + T(TextId::StrengthFactorKV) +
       FormatReportNumber(3, r.KV) + T(TextId::StrengthFactorKHbeta) + FormatReportNumber(3, r.KHbeta) +
       T(TextId::StrengthFactorKFbeta) + FormatReportNumber(3, r.KFbeta) + T(TextId::StrengthFactorKalpha) +
       FormatReportNumber(2, r.KHalpha) + "\n";
  s += T(TextId::StrengthFactorZH) + FormatReportNumber(3, r.ZH) + T(TextId::StrengthFactorZE) +
       FormatReportNumber(1, r.ZE) + T(TextId::StrengthFactorZeps) + FormatReportNumber(3, r.Zeps) +
       T(TextId::StrengthFactorZbeta) + FormatReportNumber(3, r.Zbeta) + T(TextId::StrengthFactorZLVR) +
       FormatReportNumber(2, r.ZLVR) + "\n";
  s += T(TextId::StrengthFactorEpsAlpha) + FormatReportNumber(3, r.epsAlpha) + T(TextId::StrengthFactorEpsBeta) +
       FormatReportNumber(3, r.epsBeta) + T(TextId::StrengthFactorYeps) + FormatReportNumber(3, r.Yeps) +
       T(TextId::StrengthFactorYbeta) + FormatReportNumber(3, r.Ybeta) + "\n";

  s += "\n  " + std::string(kLabelWidth, ' ') + PadLeft(StrengthGearAName(), kValueWidth) +
       PadLeft(gearBName, kValueWidth) + "\n";
  s += T(TextId::StrengthPittingHeading);
  s += FormatReportTableRow(T(TextId::StrengthRowSigmaH), FormatReportNumber(0, r.sigmaH),
                            FormatReportNumber(0, r.sigmaH));
  s += TwoValueRow(TextId::StrengthRowSigmaHlim, 0, in.sigmaHlim);
  s += TwoValueRow(TextId::StrengthRowLoadCycles, 0, r.loadCycles);
  s += TwoValueRow(TextId::StrengthRowZNT, 3, r.ZNT);
  s += TwoValueRow(TextId::StrengthRowSigmaHG, 0, r.sigmaHG);
  s += FormatReportTableRow(T(TextId::StrengthRowSafetyH) + FormatReportNumber(2, in.minSafetyH) + ")",
                            SafetyValue(r.SH[0], in.minSafetyH), SafetyValue(r.SH[1], in.minSafetyH));

  s += T(TextId::StrengthRootHeading);
  s += FormatReportTableRow(T(TextId::StrengthRowFormFactors),
                            FormatReportNumber(2, r.YF[0]) + "/" + FormatReportNumber(2, r.YS[0]),
                            FormatReportNumber(2, r.YF[1]) + "/" + FormatReportNumber(2, r.YS[1]));
  s += TwoValueRow(TextId::StrengthRowSigmaF, 0, r.sigmaF);
  s += TwoValueRow(TextId::StrengthRowSigmaFlim, 0, in.sigmaFlim);
  s += TwoValueRow(TextId::StrengthRowYNT, 3, r.YNT);
  s += TwoValueRow(TextId::StrengthRowSigmaFG, 0, r.sigmaFG);
  s += FormatReportTableRow(T(TextId::StrengthRowSafetyF) + FormatReportNumber(2, in.minSafetyF) + ")",
                            SafetyValue(r.SF[0], in.minSafetyF), SafetyValue(r.SF[1], in.minSafetyF));

  const double tMax = MinOrNaN(r.maxTorquePitting, r.maxTorqueRoot);
  const double pMax = tMax * n1 / 9550.0;
  s += T(TextId::StrengthTransmissibleHeading);
  s += T(TextId::StrengthMaxTorque) + FormatReportNumber(2, tMax) + T(TextId::StrengthMaxPower) +
       FormatReportNumber(3, pMax) + T(TextId::StrengthMaxPowerAt) + FormatReportNumber(0, n1) +
       T(TextId::StrengthPerMinuteLine);
  s += T(TextId::StrengthLimitedBy) +
       T(r.maxTorqueRoot < r.maxTorquePitting ? TextId::StrengthLimitRoot : TextId::StrengthLimitPitting) + "\n";

  s += ShaftSection(keys);
  s += KeyVerdictLines(StrengthGearAName(), keys.connection[0]);
  if (kind == ToothKind::External && keys.present[1]) s += KeyVerdictLines(gearBName, keys.connection[1]);
  if (in.lubrication == 2) s += T(TextId::StrengthDryRunning);
  s += T(TextId::StrengthDisclaimer);
  return s;
}

std::string BuildStrengthReportHeader(const StrengthHeaderTexts& t, const StrengthInput& in,
                                      const std::string& gearBName) {
  std::string s = T(TextId::StrengthReportTitle);
  s += t.mainReport + "\n";
  s += T(TextId::StrengthInputHeading);
  s += "  " + t.loadLabel + " = " + t.loadValue + T(TextId::StrengthInputSpeed) + t.speed +
       T(TextId::StrengthInputKA) + FormatReportNumber(2, in.applicationFactor) + T(TextId::StrengthInputLife) +
       t.lifeHours + T(TextId::StrengthInputHours);
  s += T(TextId::StrengthInputGrade) + FormatFixed(0, static_cast<double>(in.accuracyGrade)) + ", " +
       t.flankFinish + ", " + t.lubrication + "\n";
  const std::string names[2] = {StrengthGearAName(), gearBName};
  for (int i = 0; i < 2; ++i)
    s += "  " + names[i] + ": " + t.material[i] + " (" + t.sigmaHlim[i] + " / " + t.sigmaFlim[i] +
         T(TextId::StrengthInputStressUnit);
  s += "\n";
  return s;
}

double ComputeOverallMargin(const StrengthResult& r, const StrengthInput& in, const StrengthKeyData& keys) {
  double m = MinOrNaN(MinOrNaN(r.SH[0], r.SH[1]) / in.minSafetyH, MinOrNaN(r.SF[0], r.SF[1]) / in.minSafetyF);
  for (int i = 0; i < 2; ++i) {
    if (!keys.present[i]) continue;
    const KeyConnectionResult& k = keys.connection[i];
    if (k.bore > 0.0 && k.shaftDiameterRequired > 0.0) m = MinOrNaN(m, k.bore / k.shaftDiameterRequired);
    if (k.keyChecked != 0) m = MinOrNaN(m, k.keySafety);
  }
  return m;
}

StrengthStatus RateStrengthStatus(const StrengthResult& r, double margin) {
  const double sh = MinOrNaN(r.SH[0], r.SH[1]);
  const double sf = MinOrNaN(r.SF[0], r.SF[1]);
  bool finite = std::isfinite(margin) && std::isfinite(r.sigmaH);
  for (int i = 0; i < 2; ++i)
    finite = finite && std::isfinite(r.SH[i]) && std::isfinite(r.SF[i]) && std::isfinite(r.sigmaF[i]);
  StrengthStatus status;
  TextId prefix;
  if (!finite || margin < 1.0) {
    prefix = TextId::StrengthStatusInsufficient;
    status.red = 240, status.green = 140, status.blue = 140;
  } else if (margin < 1.1) {
    prefix = TextId::StrengthStatusTight;
    status.red = 250, status.green = 205, status.blue = 120;
  } else {
    prefix = TextId::StrengthStatusSufficient;
    status.red = 170, status.green = 225, status.blue = 170;
  }
  status.text = T(prefix) + FormatReportNumber(2, sh) + T(TextId::StrengthStatusSafetyF) +
                FormatReportNumber(2, sf) + ")";
  return status;
}

std::string BuildStrengthReportText(const std::string& header, const StrengthStatus& status,
                                    const std::string& body) {
  return header + T(TextId::StrengthResultPrefix) + status.text + "\n\n" + body;
}

}  // namespace kovrex
