// STEP (ISO 10303-21, AP214) file of one or two placed bodies: the entry point of
// the STEP writers. Not for: choosing bodies or showing messages (the export
// command does that).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "export/byte_sink.h"
#include "export/export_status.h"
#include "geometry/gear_record.h"

namespace kovrex {

// The first body stands with its axis at the origin turned by firstRotation, the
// second (or none) with its axis at (secondX, secondY) turned by secondRotation.
// path names the product and the FILE_NAME; the bytes go to file. True when every
// byte was taken; on false, status says why.
bool WriteStepFile(ByteSink& file, const std::string& path, const GearRecord& first, double firstRotation,
                   const GearRecord* second, double secondX, double secondY, double secondRotation,
                   ExportStatus* status = nullptr);

// Content of a STEP string literal for a UTF-8 text: the apostrophe and the
// backslash doubled, every character outside printable ASCII as UTF-16 code units
// in hexadecimal between the X2 and X0 directives. For the file name in PRODUCT,
// the representation and FILE_NAME.
std::string EncodeStepString(std::string_view text);

// Golden-file tests fix the FILE_NAME time stamp ("2026-03-05T14:07:09"); an empty
// text returns to the local time of the moment of writing.
void SetStepFileTimeForTest(const std::string& timeText);

// Control points that the helical surfaces of this body would need (0 for a
// prism): the size check before a STEP file is built.
uint64_t EstimateStepControlPoints(const GearRecord& body);

// WriteStepFile refuses (StepTooLarge) when both bodies together need more.
constexpr uint64_t kStepControlPointLimit = 20000000;

}  // namespace kovrex
