// Indicative load capacity of one gear pair after ISO 6336 / DIN 3990 in a
// simplified form: load factors, contact and root stresses, life factors, safety
// factors and transmissible torque. Pure numbers in, StrengthResult out; the
// strength window's controls are read by app/strength_run.
#pragma once

#include <cstdint>
#include <string>

#include "capacity/root_factors.h"
#include "capacity/strength_types.h"
#include "geometry/gear_record.h"

namespace kovrex {

// The whole calculation for gear A (Gear1) with gear B. `kind`: 0 external pair,
// 1 internal pair (B is the ring), 2 pinion with rack. centreDistance is the
// operating centre distance (0 for the rack). The accuracy grade of `input` is
// clamped to 5..10 in place. Returns 1 when done; 0 with result.message set when
// the input is unusable or a critical root section cannot be found.
int ComputeStrengthResults(const GearRecord& gearA, const GearRecord& gearB, ToothKind kind,
                           double centreDistance, double epsAlpha, StrengthInput& input,
                           StrengthResult& result);

// Life factors Z_NT and Y_NT for N load cycles; class 1 selects the curves of
// nitrided steel and grey cast iron.
double PittingLifeFactor(double loadCycles, int64_t lifeCurveClass);
double RootLifeFactor(double loadCycles, int64_t lifeCurveClass);

// " ok" when S >= 1.1 Smin, " krap" / " tight" when S >= Smin, else " !!" (also for
// a value that is not a number).
std::string RateSafetyMargin(double safety, double minimumSafety);

// The single factors, as ComputeStrengthResults combines them.
int64_t ClampAccuracyGrade(int64_t grade);
// K_V from the line load KA Ft / b and the pitch-line velocity v [m/s]; u = 0 and
// rack = true for the pinion with rack.
double DynamicFactor(int64_t grade, double applicationFactor, double tangentialForce, double faceWidth,
                     int64_t pinionTeeth, double velocity, double ratio, bool rack, double overlapRatio);
double FaceLoadFactorContact(int64_t grade, double faceWidth, double pinionDiameter);
double TransverseLoadFactor(int64_t grade);
double FaceLoadFactorRoot(double faceLoadFactorContact, double faceWidth, double toothHeight);
double ZoneFactor(double baseHelixAngle, double transversePressureAngle, double workingPressureAngle);
double ElasticityFactor(double e1, double nu1, double e2, double nu2);
double PittingContactRatioFactor(double epsAlpha, double epsBeta);
double PittingHelixFactor(double helixAngle);
double FinishAndLubricationFactor(int64_t flankFinish, int64_t lubrication);
double RootContactRatioFactor(double baseHelixAngle, double epsAlpha);
double RootHelixFactor(double epsBeta, double helixAngle);
double RootSizeFactor(double module);

}  // namespace kovrex
