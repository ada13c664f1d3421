// The strength report as text: the table row form, the body under the status line,
// the header with the input summary, and the overall verdict with its colour. Pure
// functions over the results; app/strength_run reads the controls and writes them.
#pragma once

#include <string>

#include "capacity/root_factors.h"
#include "capacity/strength_types.h"

namespace kovrex {

// Two blanks, the label padded to 28 characters (a longer label keeps its first 28),
// each value right-aligned in 11 characters, a line feed. A value that fills its
// column or more is never cut: it widens the column, with one blank before it.
// Widths count UTF-8 characters.
std::string FormatReportTableRow(const std::string& label, const std::string& value1,
                                 const std::string& value2);

// A number of the report: "-" for a value that is not finite.
std::string FormatReportNumber(int decimals, double value);

// Shaft and key data of the two gears. present[1] is false for the rack and the
// ring, which get no key connection; keywayWidth and keyHeight come from the gear
// records.
struct StrengthKeyData {
  KeyConnectionResult connection[2];
  bool present[2] = {false, false};
  double keywayWidth[2] = {0.0, 0.0};
  double keyHeight[2] = {0.0, 0.0};
};

// The texts of the strength window's controls that the report header repeats.
struct StrengthHeaderTexts {
  std::string mainReport;  // the arrangement report of the main window
  std::string loadLabel, loadValue, speed, lifeHours;
  std::string flankFinish, lubrication;
  std::string material[2], sigmaHlim[2], sigmaFlim[2];
};

struct StrengthStatus {
  std::string text;
  int red = 0, green = 0, blue = 0;
};

std::string BuildStrengthReportBody(const StrengthResult& result, const StrengthInput& input, ToothKind kind,
                                    const std::string& gearBName, const StrengthKeyData& keys);

std::string BuildStrengthReportHeader(const StrengthHeaderTexts& texts, const StrengthInput& input,
                                      const std::string& gearBName);

// The smallest of the safety ratios, bore / d required and key safeties. NaN when a
// safety factor is not a number.
double ComputeOverallMargin(const StrengthResult& result, const StrengthInput& input, const StrengthKeyData& keys);

// Status line of a completed calculation. A margin, stress or safety that is not
// finite counts as insufficient, never as sufficient.
StrengthStatus RateStrengthStatus(const StrengthResult& result, double overallMargin);

// Header, "RESULT: " with the status text, a blank line and the body.
std::string BuildStrengthReportText(const std::string& header, const StrengthStatus& status,
                                    const std::string& body);

// Gear names of the report: "wiel 1" / "gear 1" and the name of gear B by kind.
std::string StrengthGearAName();
std::string StrengthGearBName(ToothKind kind);

}  // namespace kovrex
