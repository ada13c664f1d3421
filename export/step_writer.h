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

// True for the bodies whose STEP solid is swept along the helix with end curves
// fitted through the outline: helical gears and ring gears (a helical rack is an
// oblique prism).
bool StepFitsEndCurves(const GearRecord& body);

// False when the curves that the STEP solid of this body fits through its outline
// would cross or touch away from their shared ends, as the two undercut fillets
// of a tooth that the tool has cut through do: no file holds such an end face as
// valid, and WriteStepFile refuses it (InvalidBody). Bodies written as prisms
// pass: their curves take the outline as control polygon and keep to its side.
// The outline is checked as it stands: give it at the density it will be written.
bool StepEndCurvesKeepClear(const GearRecord& body);

// WriteStepFile refuses (StepTooLarge) when both bodies together need more.
constexpr uint64_t kStepControlPointLimit = 20000000;

}  // namespace kovrex
