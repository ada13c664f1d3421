// The one command behind the three export buttons (DXF, STEP, STL): checks what is
// displayed, proposes a file name, asks for the file, writes it safely and reports
// the result. Not for: the file formats (export/ writes them).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "export/byte_sink.h"
#include "export/export_status.h"
#include "geometry/gear_record.h"

namespace kovrex {

// The STEP and STL writers and their size estimates as the command calls them.
// They start as the real ones (export/step_writer.h, export/stl_writer.h); tests
// put their own in place to reach every outcome of a writer.
struct ExportWriterTable {
  std::function<bool(ByteSink& file, const std::string& path, const GearRecord& first, double firstRotation,
                     const GearRecord* second, double secondX, double secondY, double secondRotation,
                     ExportStatus* status)>
      writeStep;
  std::function<uint64_t(ByteSink& file, double tolerance, const GearRecord& first, double firstRotation,
                         const GearRecord* second, double secondX, double secondY, double secondRotation,
                         ExportStatus* status)>
      writeStl;
  std::function<uint64_t(const GearRecord& body)> estimateStepControlPoints;
  std::function<uint64_t(const GearRecord& body, double tolerance, ExportError* error, double x, double y)>
      estimateStlTriangles;
};

ExportWriterTable& ExportWriters();
// Back to the real writers (part of ResetAllState).
void ResetExportWriters();

// kind 0 DXF, 1 STEP, 2 STL (an ExportKind value).
void ExportDrawing(int kind);

}  // namespace kovrex
