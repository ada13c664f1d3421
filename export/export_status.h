// Why a CAD writer refused or failed, so that the export command can show the right
// message: a write error is not the same as a model that would be invalid or too
// large. Not for: the messages themselves (the command holds those).
#pragma once

namespace kovrex {

enum class ExportError {
  None,
  Write,             // the sink refused a write: the file could not be written
  InvalidGeometry,   // bore or keyway reaching into the root or the hub
  InvalidBody,       // a body no file can hold: a number that is not finite, a
                     // singular fit, an outline that cannot be meshed
  TooManyTriangles,  // STL estimate above the cap; millions holds the estimate
  StepTooLarge,      // STEP control points above the cap; millions holds the estimate
};

struct ExportStatus {
  ExportError error = ExportError::None;
  double millions = 0.0;  // the estimate, in millions, for the two size refusals
};

}  // namespace kovrex
