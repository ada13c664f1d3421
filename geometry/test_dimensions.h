// Workshop test dimensions of an external gear: span over k teeth and dimension over
// two balls (ComputeSpanAndBallMeasurements, declared in external_gear.h). Not for:
// the ring gear's dimension between balls (ring_gear).
#pragma once

namespace kovrex {

// Ball or pin diameter as bought: steps of 0.05 mm, of 0.01 mm below 1 mm; never 0
// or negative (the smallest step instead).
double RoundBallDiameter(double rawDiameter);

}  // namespace kovrex
