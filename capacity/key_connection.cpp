// DIN 6885-1 key table, DIN 748 diameter series, and the torsion and key-pressure
// check of a shaft-hub connection. The verdict is a user text of the linked language.
#include "capacity/key_connection.h"

#include <cmath>
#include <limits>
#include <string>

#include "numbers/number_text.h"
#include "text/texts.h"

namespace kovrex {

const KeySize KeySizeTable[kKeySizeCount] = {
    {6, 8, 2, 2, 1.0, 1.2},         {8, 10, 3, 3, 1.4, 1.8},        {10, 12, 4, 4, 1.8, 2.5},
    {12, 17, 5, 5, 2.3, 3.0},       {17, 22, 6, 6, 2.8, 3.5},       {22, 30, 8, 7, 3.3, 4.0},
    {30, 38, 10, 8, 3.3, 5.0},      {38, 44, 12, 8, 3.3, 5.0},      {44, 50, 14, 9, 3.8, 5.5},
    {50, 58, 16, 10, 4.3, 6.0},     {58, 65, 18, 11, 4.4, 7.0},     {65, 75, 20, 12, 4.9, 7.5},
    {75, 85, 22, 14, 5.4, 9.0},     {85, 95, 25, 14, 5.4, 9.0},     {95, 110, 28, 16, 6.4, 10.0},
    {110, 130, 32, 18, 7.4, 11.0},  {130, 150, 36, 20, 8.4, 12.0},  {150, 170, 40, 22, 9.4, 13.0},
    {170, 200, 45, 25, 10.4, 15.0}, {200, 230, 50, 28, 11.4, 17.0},
};

const double StandardDiameterSeries[kStandardDiameterCount + 1] = {
    6,   7,   8,   9,   10,  11,  12,  14,  16,  18,  19,  20,  22,  24,  25,  28,  30,  32,
    35,  38,  40,  42,  45,  48,  50,  55,  56,  60,  63,  65,  70,  71,  75,  80,  85,  90,
    95,  100, 110, 120, 125, 130, 140, 150, 160, 170, 180, 190, 200, 220, 240, 250, -1,
};

DinKeyLookup LookupDin6885Key(double d) {
  DinKeyLookup key;
  for (const KeySize& row : KeySizeTable) {
    if (d > row.dOver && d <= row.dUpTo) {
      key.found = true;
      key.b = row.b;
      key.h = row.h;
      key.t2 = row.t2;
      key.t1 = row.t1;
      break;
    }
  }
  return key;
}

double RoundUpToStandardDiameter(double d) {
  // The 1e-9 keeps a diameter that is a series value up to rounding (a computed
  // 19.0000000001) on that value instead of the next one.
  for (int i = 0; StandardDiameterSeries[i] > 0.0; ++i) {
    if (StandardDiameterSeries[i] >= d - 1e-9) return StandardDiameterSeries[i];
  }
  return std::ceil(d);
}

namespace {

bool PositiveFinite(double v) { return std::isfinite(v) && v > 0.0; }

// A length that is no number is written "-", never "+Infinity".
std::string LengthVerdict(TextId start, double length, TextId end) {
  return std::string(Tx(start)) + (std::isfinite(length) ? FormatFixed(1, length) : std::string("-")) + Tx(end);
}

}  // namespace

int CheckKeyConnection(const GearRecord& g, double torque, double applicationFactor,
                       double allowableTorsionStress, double shaftYieldStrength,
                       double hubPressureLimit, int64_t keyCountChoice, double keyLengthInput,
                       KeyConnectionResult& r) {
  r = KeyConnectionResult{};
  // A custom shaft with an empty yield field gives Re = 0: p_zul would be 0 and the
  // required key length infinite. Every input the check divides by or takes a
  // root of must be usable, or nothing is reported for this gear.
  if (!PositiveFinite(torque) || !PositiveFinite(allowableTorsionStress) ||
      !PositiveFinite(applicationFactor) || !PositiveFinite(shaftYieldStrength) ||
      !PositiveFinite(hubPressureLimit)) {
    return 1;
  }
  const double load = torque * applicationFactor;  // T * K_A [N m]
  const double dRequired = std::cbrt(16000.0 * load / (kPi * allowableTorsionStress));
  if (!std::isfinite(dRequired)) return 1;

  r.torque = torque;
  r.shaftDiameterRequired = dRequired;
  r.shaftDiameterStandard = RoundUpToStandardDiameter(dRequired);
  r.bore = g.boreDiameter;
  r.computed = 1;

  if (!HasKeyway(g)) {
    r.verdict = Tx(g.boreDiameter > 0.0 ? TextId::KeyVerdictNoKeyway : TextId::KeyVerdictNoBore);
    return 0;
  }

  r.keyChecked = 1;
  const int64_t n = keyCountChoice < 1 ? 1 : (keyCountChoice > 2 ? 2 : keyCountChoice);
  // Two keys never share the load evenly: each is counted at 75 %.
  const double share = n == 1 ? 1.0 : 0.75;
  r.keyCount = n;
  const double hBearing = g.keyHeightInHub > 0.0 ? g.keyHeightInHub : 0.9 * g.keywayDepth;
  r.keyBearingHeight = hBearing;

  const int hubSides = !HasHub(g) ? 0 : (g.hubSide == 3 ? 2 : 1);
  r.lengthAvailable = g.faceWidth + hubSides * g.hubLength;
  r.keyLength = keyLengthInput > 0.0 ? MinOfTwo(keyLengthInput, r.lengthAvailable) : r.lengthAvailable;
  r.bearingLength = r.keyLength - g.keywayWidth;

  // 387 N/mm^2 is the ceiling set by the key's own steel, whatever hub and shaft allow.
  r.pressureAllowed = MinOfTwo(MinOfTwo(hubPressureLimit, 0.9 * shaftYieldStrength), 387.0);
  // Circumferential force on the key flank: 2000 T K_A / d [N], T in N m, d in mm.
  const double forceTerm = 2000.0 * load / (g.boreDiameter * hBearing * n * share);
  r.keyLengthRequired = forceTerm / r.pressureAllowed + g.keywayWidth;
  // A bearing height that underflows (a custom keyway 1e-306 mm deep) makes the
  // force term infinite: then there is no required length, only a failed check.
  const bool lengthKnown = std::isfinite(r.keyLengthRequired);
  if (!lengthKnown) r.keyLengthRequired = std::numeric_limits<double>::quiet_NaN();

  if (!(r.bearingLength > 0.0)) {
    r.verdict = Tx(TextId::KeyVerdictNoBearingLength);
    r.keySafety = 0.0;
    return 0;
  }

  if (!lengthKnown) {
    r.verdict = LengthVerdict(TextId::KeyVerdictOverloadedStart, r.keyLengthRequired, TextId::KeyVerdictOverloadedEnd);
    r.keySafety = 0.0;
    return 0;
  }

  r.pressure = forceTerm / r.bearingLength;
  r.keySafety = r.pressureAllowed / r.pressure;

  if (r.keySafety >= 1.0) {
    r.verdict = Tx(n == 1 ? TextId::KeyVerdictOneKeySufficient : TextId::KeyVerdictTwoKeysSufficient);
  } else if (n == 1 && 2.0 * 0.75 * r.keySafety >= 1.0) {
    r.verdict = LengthVerdict(TextId::KeyVerdictTwoKeysNeededStart, r.keyLengthRequired,
                              TextId::KeyVerdictTwoKeysNeededEnd);
  } else if (r.keyLengthRequired <= r.lengthAvailable + 1e-9) {
    r.verdict = LengthVerdict(TextId::KeyVerdictLongerKeyStart, r.keyLengthRequired,
                              TextId::KeyVerdictLongerKeyEnd);
  } else {
    r.verdict = LengthVerdict(TextId::KeyVerdictOverloadedStart, r.keyLengthRequired,
                              TextId::KeyVerdictOverloadedEnd);
  }
  return 0;
}

}  // namespace kovrex
