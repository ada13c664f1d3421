// DXF drawing (AutoCAD R12, AC1009) of one or two placed bodies: each body's tooth
// outline as one closed polyline, its bore, hub circle, ring rim and pitch circle
// (a rack: its pitch line), in millimetres. Not for: choosing bodies, opening the
// file or showing messages (the export command does that).
#pragma once

#include <string_view>

#include "export/byte_sink.h"
#include "export/export_status.h"
#include "geometry/gear_record.h"

namespace kovrex {

// The whole file: HEADER, ENTITIES, EOF. The first body stands with its axis at
// the origin turned by firstRotation, the second (or none) at (secondX, secondY)
// turned by secondRotation (radians, counter-clockwise). False, with nothing
// written, when a body has no outline or a number that is not finite (status:
// InvalidBody); false also when the sink refuses a write (status: Write).
bool WriteDxfFile(ByteSink& file, const GearRecord& first, double firstRotation, const GearRecord* second,
                  double secondX, double secondY, double secondRotation, ExportStatus* status = nullptr);

// The entities of one body with its axis at (x, y) turned by phi. False on a body
// that cannot be written (see above) or a refused write.
bool WriteGearDxfEntities(ByteSink& file, const GearRecord& body, double x, double y, double phi);

// text and CR LF.
bool WriteDxfLine(ByteSink& file, std::string_view text);

}  // namespace kovrex
