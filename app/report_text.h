// Text of the main window's report, block by block: pure builders over the gear
// records, DisplayMode and the centre distances (no controls, no state of their
// own). Not for: putting the text into the report control (report.cpp).
#pragma once

#include <cstdint>
#include <string>

#include "geometry/gear_record.h"

namespace kovrex {

// The whole report of the current DisplayMode; "" for mode 0 or an unknown mode.
std::string BuildReportText();

// Mode 1: the pair lines, then the blocks of Gear1 and Gear2 with an empty line
// between them.
std::string BuildPairReport();

// Block of an external gear (gear 1, gear 2, the single gear, the pinion),
// including its hub and keyway lines.
std::string BuildGearReportSection(const GearRecord& gear, const std::string& title);

// Keyway line, remaining-material warning, hub line and message line of one
// gear; may be empty.
std::string BuildHubKeyReportBlock(const GearRecord& gear);

// Mode 3: pinion (Gear1) with the rack (Rack).
std::string BuildRackPairReport();

// Mode 4: pinion (Gear1) inside the ring gear (RingGear).
std::string BuildInternalPairReport();

// Block of the ring gear; it has no hub or keyway lines.
std::string BuildInternalGearBlock(const GearRecord& gear, const std::string& title);

// "left" for a negative hand, else "right" (0 counts as right, as it is stored).
std::string GetHandName(int64_t hand);

}  // namespace kovrex
