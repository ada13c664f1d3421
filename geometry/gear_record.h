// The gear record shared by every gear, ring gear and rack, the four global
// records, and the small involute helpers all geometry code uses. Lengths in mm,
// angles in radians. Not for: generating outlines (external_gear, ring_gear,
// rack_outline do that).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kovrex {

struct OutlinePoint {
  double x = 0.0;
  double y = 0.0;
};

struct OutlinePolyline {
  std::vector<OutlinePoint> points;
};

// Fields in the order of the record's definition; all start at 0 / empty.
struct GearRecord {
  double normalModule = 0.0;             // 1  m (rack: its module)
  int64_t toothCount = 0;                // 2  z; rack: number of rack teeth n
  double profileShift = 0.0;             // 3  x as entered or chosen
  double pressureAngle = 0.0;            // 4  alpha_n [rad]
  double helixAngle = 0.0;               // 5  beta >= 0 [rad]
  int64_t hand = 0;                      // 6  +1 right, -1 left
  double faceWidth = 0.0;                // 7  b
  double boreDiameter = 0.0;             // 8  0 = solid
  double tipShortening = 0.0;            // 9  k: r_a = r + m (ha* + x - k)
  double thicknessAllowance = 0.0;       // 10 A_s, positive = thinner tooth
  double addendumCoeff = 0.0;            // 11 ha* (1.0)
  double dedendumCoeff = 0.0;            // 12 hf* (1.25)
  double rootRadiusCoeff = 0.0;          // 13 rho_f* (0.38; ring 0.25)
  double transverseModule = 0.0;         // 14 m_t
  double transversePressureAngle = 0.0;  // 15 alpha_t
  double baseHelixAngle = 0.0;           // 16 beta_b
  double pitchRadius = 0.0;              // 17 r (rack: 0)
  double baseRadius = 0.0;               // 18 r_b
  double tipRadius = 0.0;                // 19 r_a as used; ring: inner tip; rack: tip line height
  double rootRadius = 0.0;               // 20 r_f; rack: root line depth
  double pitchToothThickness = 0.0;      // 21 s_t (ring: space width e_t)
  double tipToothThickness = 0.0;        // 22 s_a
  double toolProfileShift = 0.0;         // 23 x_E
  double undercutLimitShift = 0.0;       // 24 x_min
  int64_t undercutFlag = 0;              // 25
  int64_t pointedTipFlag = 0;            // 26
  double involuteStartRadius = 0.0;      // 27 r_s
  int64_t spanTeeth = 0;                 // 28 k
  double spanMeasurement = 0.0;          // 29 W_k
  double spanContactRadius = 0.0;        // 30
  double ballDiameter = 0.0;             // 31 D_M
  double dimensionOverBalls = 0.0;       // 32 M_d (ring: between balls)
  double ballContactRadius = 0.0;        // 33
  int64_t ballBeyondTipFlag = 0;         // 34
  double minFaceWidthForSpan = 0.0;      // 35 W_k sin beta_b
  int64_t isRack = 0;                    // 36
  double rackLength = 0.0;               // 37
  double rackHeight = 0.0;               // 38 H_p
  double rackHelixOffset = 0.0;          // 39 b tan(beta) hand
  int64_t isInternal = 0;                // 40
  double rimRadius = 0.0;                // 41
  double rimWidth = 0.0;                 // 42
  double tipRadiusOverride = 0.0;        // 43
  int64_t hubSide = 0;                   // 44 0 none, 1 left, 2 right, 3 both
  double hubDiameter = 0.0;              // 45
  double hubLength = 0.0;                // 46 per side
  double keywayWidth = 0.0;              // 47
  double keywayDepth = 0.0;              // 48 t2, from the bore
  double keyHeight = 0.0;                // 49 h (DIN keys only)
  double keyHeightInHub = 0.0;           // 50
  int64_t keyIsDin = 0;                  // 51
  std::string messages;                  // 52 hub/keyway warnings, each ending in "; "
  int64_t valid = 0;                     // 53
  std::vector<OutlinePolyline> outline;  // 54 in drawing order, consecutive polylines share end points
  double ringFlankEndRadius = 0.0;       // 55 ring: where the involute meets the root fillet (r_f without one)
};

// The four records of the program.
extern GearRecord Gear1;     // gear 1, single gear, pinion (rack and internal pair)
extern GearRecord Gear2;     // gear 2 of the external pair
extern GearRecord RingGear;  // ring gear of the internal pair
extern GearRecord Rack;      // rack of the pinion-and-rack arrangement

// Resets the four records to empty.
void ResetGearRecords();

// Writes fields 1 to 13 with the ISO 53 basic rack and clears the hub and keyway
// fields; the outline, messages and derived fields are left for the generators.
int InitGearParams(GearRecord& gear, double module, int64_t toothCount, double profileShift,
                   double pressureAngleDeg, double faceWidth, double bore, double tipShortening,
                   double helixAngleDeg, int64_t hand);

double InvoluteFunction(double alpha);
// Angle whose involute is v; 0 for v <= 0.
double InvertInvoluteFunction(double v);

// Polar half-angle of the tooth (ring: of the space) at radius r; radii below r_b
// are taken as r_b.
double ComputeHalfToothAngleAtRadius(const GearRecord& gear, double r);
int InvolutePointAtRadius(const GearRecord& gear, OutlinePoint& point, double r);

double ComputeMinProfileShift(int64_t z, double pressureAngleDeg, double helixAngleDeg);
double ComputeOverlapRatio(const GearRecord& gear);

bool HasHub(const GearRecord& gear);
bool HasKeyway(const GearRecord& gear);
double ComputeBoreContourRadius(const GearRecord& gear);

void AddPointToList(std::vector<OutlinePoint>& list, double x, double y);
void SetPolarPoint(std::vector<OutlinePoint>& list, double r, double phi);
void AddSegmentIfNotDegenerate(GearRecord& gear, double x1, double y1, double x2, double y2);

double MinOfTwo(double a, double b);
double MaxDouble(double a, double b);

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegToRad = kPi / 180.0;
constexpr double kRadToDeg = 57.29577951308232;

}  // namespace kovrex
