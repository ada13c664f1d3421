// Numbers as text, both ways, independent of the desktop's locale: every number
// written for a person or a file goes through the Format* functions, every number
// typed into a field through ParseDecimalNumber. Not for: binary file data.
#pragma once

#include <string>
#include <string_view>

namespace kovrex {

// Value with exactly `decimals` digits after a point (0..512), correctly rounded
// from the binary value (exact ties to even). A value below half a unit of the last
// decimal prints as 0, and a result whose printed digits are all 0 carries no sign.
std::string FormatFixed(int decimals, double value);

// Three decimals, then trailing zeros and a trailing point removed ("2.5", "10", "0").
std::string FormatNumberTrimmed(double value);

// Number form of the CAD files: |x| < 1e-12 is 0, then six decimals. Unlike the two
// forms above it keeps the sign of a tiny negative value ("-0.000000" for -1e-9).
std::string FormatStepReal(double value);

// The same with up to ten decimals, trailing zeros after the sixth dropped
// ("9.5393920142", "12.800000"): for the points that must lie on a circle or a
// cylinder, where six decimals leave them up to 7e-7 mm off it.
std::string FormatStepRealFine(double value);

// Reads the longest leading decimal number (sign, digits, point, exponent) of a text
// after trimming blanks and turning every comma into a point. No number, "nan",
// "inf", hexadecimal or an out-of-range value all read as 0.
double ParseDecimalNumber(std::string_view text);

// Whole number of a text: the decimal number above, truncated toward zero and
// limited to the int64 range (so that "1e30" cannot overflow a conversion).
long long ParseWholeNumber(std::string_view text);

// Rounds to the nearest whole number, halves away from zero; non-finite or huge
// values are limited to the int64 range instead of being undefined.
long long RoundHalfAwayFromZero(double value);

}  // namespace kovrex
