// Records of the load-capacity calculation and the shaft/key sizing: inputs,
// results, the critical root section, the key connection, and the two material
// tables. The calculations themselves are in load_capacity, root_factors and
// key_connection.
#pragma once

#include <cstdint>
#include <string>

namespace kovrex {

struct RootSectionResult {
  int64_t found = 0;
  double formFactor = 0.0;              // Y_F
  double stressCorrectionFactor = 0.0;  // Y_S
  double sectionWidth = 0.0;            // s_Fn
  double bendingArm = 0.0;              // h_Fe
  double filletRadius = 0.0;            // rho_F (1e6 for three points on a line)
  double loadAngle = 0.0;               // alpha_Fen [rad]
  double sectionHalfWidth = 0.0;        // x of the tangent point in the tooth frame
  double sectionPosition = 0.0;         // y of the tangent point in the tooth frame
};

struct StrengthInput {
  double torque1 = 0.0;
  double speed1 = 0.0;
  double applicationFactor = 1.0;
  double lifeHours = 0.0;
  int64_t accuracyGrade = 7;
  int64_t flankFinish = 0;  // 0 hobbed/shaped, 1 ground
  int64_t lubrication = 0;  // 0 oil, 1 grease, 2 dry
  double minSafetyH = 1.0;
  double minSafetyF = 1.4;
  double sigmaHlim[2] = {0.0, 0.0};
  double sigmaFlim[2] = {0.0, 0.0};
  double elasticModulus[2] = {0.0, 0.0};
  double poissonRatio[2] = {0.0, 0.0};
  int64_t lifeCurveClass[2] = {0, 0};
};

// Index [0] is gear A (Gear1), [1] gear B.
struct StrengthResult {
  int64_t ok = 0;
  std::string message;
  double torque1 = 0.0;
  double tangentialForce = 0.0;
  double pitchLineVelocity = 0.0;
  double ratio = 0.0;
  double speed2 = 0.0;
  double faceWidth = 0.0;
  double KV = 0.0;
  double KHbeta = 0.0;
  double KHalpha = 0.0;
  double KFbeta = 0.0;
  double KFalpha = 0.0;
  double ZH = 0.0;
  double ZE = 0.0;
  double Zeps = 0.0;
  double Zbeta = 0.0;
  double ZLVR = 0.0;
  double Yeps = 0.0;
  double Ybeta = 0.0;
  double epsAlpha = 0.0;
  double epsBeta = 0.0;
  double sigmaH = 0.0;
  double YF[2] = {0.0, 0.0};
  double YS[2] = {0.0, 0.0};
  double YX[2] = {0.0, 0.0};
  double loadCycles[2] = {0.0, 0.0};
  double ZNT[2] = {0.0, 0.0};
  double YNT[2] = {0.0, 0.0};
  double sigmaHG[2] = {0.0, 0.0};
  double SH[2] = {0.0, 0.0};
  double sigmaF[2] = {0.0, 0.0};
  double sigmaFG[2] = {0.0, 0.0};
  double SF[2] = {0.0, 0.0};
  double maxTorquePitting = 0.0;
  double maxTorqueRoot = 0.0;
  RootSectionResult rootSection[2];
};

struct KeyConnectionResult {
  int64_t computed = 0;
  double torque = 0.0;
  double shaftDiameterRequired = 0.0;
  double shaftDiameterStandard = 0.0;
  double bore = 0.0;
  int64_t keyChecked = 0;
  double keyBearingHeight = 0.0;
  double keyLength = 0.0;
  double bearingLength = 0.0;
  int64_t keyCount = 0;
  double pressure = 0.0;
  double pressureAllowed = 0.0;
  double keySafety = 0.0;
  double keyLengthRequired = 0.0;
  double lengthAvailable = 0.0;
  std::string verdict;
};

struct GearMaterial {
  std::string name;
  double sigmaHlim = 0.0;
  double sigmaFlim = 0.0;
  double elasticModulus = 0.0;
  double poissonRatio = 0.0;
  int64_t lifeCurveClass = 0;
  double yieldStrength = 0.0;
};

struct ShaftMaterial {
  std::string name;
  double allowableTorsionStress = 0.0;
  double yieldStrength = 0.0;
};

constexpr int kGearMaterialCount = 13;
constexpr int CustomMaterialRow = 12;
constexpr int kShaftMaterialCount = 6;
constexpr int CustomShaftRow = 5;

extern GearMaterial GearMaterialTable[kGearMaterialCount];
extern ShaftMaterial ShaftMaterialTable[kShaftMaterialCount];
extern StrengthResult StrengthResultGlobal;  // the program's one StrengthResult

// Clears the strength result and the material tables (start-up state).
void ResetStrengthState();

}  // namespace kovrex
