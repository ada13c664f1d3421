// The one command behind the three export buttons (DXF, STEP, STL): checks what is
// displayed, proposes a file name, asks for the file, writes it safely and reports
// the result. Not for: the file formats (export/ writes them).
#pragma once

namespace kovrex {

// kind 0 DXF, 1 STEP, 2 STL (an ExportKind value).
void ExportDrawing(int kind);

}  // namespace kovrex
