// What an export writes before any file is touched: which bodies of the displayed
// arrangement go to the writer and where each one stands, the proposed file name,
// the extension and filter of each kind, and the checks that refuse a body.
// Not for: reading controls, asking for the file or showing messages (the export
// command in app/ does that) and not for writing files (the writers).
#pragma once

#include <cstdint>
#include <string>

#include "geometry/gear_record.h"

namespace kovrex {

enum class ExportKind : int { Dxf = 0, Step = 1, Stl = 2 };

// Entries of the export choice combo.
enum class ExportSelection : int { AsShown = 0, FirstOnly = 1, SecondOnly = 2 };

// One body and where it stands: its axis (a rack: the origin of its own frame on
// its pitch line) and its rotation about that point, counter-clockwise.
struct PlacedBody {
  const GearRecord* body = nullptr;
  double x = 0.0, y = 0.0;  // mm
  double rotation = 0.0;    // rad
};

// The bodies handed to a writer: the first always stands at the origin; second.body
// is null when only one body is exported.
struct ExportBodies {
  PlacedBody first;
  PlacedBody second;
};

// The arrangement on screen: the display mode (a DisplayKind value) and its bodies
// as the canvas places them, in drawing order (pair: gear 1, gear 2; pinion and
// rack: pinion, rack; internal pair: ring, pinion; single gear: the gear alone).
struct ShownArrangement {
  int displayMode = 0;
  PlacedBody first;
  PlacedBody second;
};

// The single-gear view has only gear 1, whatever the combo shows; an entry the
// combo cannot hold counts as "as shown".
ExportSelection EffectiveExportSelection(int displayMode, int comboIndex);

// The bodies and placements that an export of this selection writes. "As shown"
// keeps the canvas placements, so that a pair stands assembled and in mesh; a body
// exported alone stands at the origin, unturned. Selection 1 is always gear 1 or
// the pinion (in the internal pair the second body on screen), selection 2 the
// other body (gear 2, the rack or the ring gear).
ExportBodies ChooseExportBodies(const ShownArrangement& shown, ExportSelection selection);

// True when every body of the displayed arrangement (not only the exported ones)
// has a usable outline and a face width that is a finite number above zero: a
// zero or negative width would give solids without volume or turned inside out.
bool DisplayedBodiesAreValid(int displayMode, const GearRecord& gear1, const GearRecord& gear2,
                             const GearRecord& ring, const GearRecord& rack);

// Proposed file name without extension, in the language of the build: "pair_m2_z20-40".
std::string DefaultExportName(int displayMode, ExportSelection selection, const GearRecord& gear1,
                              const GearRecord& gear2, const GearRecord& ring, const GearRecord& rack);

// "dxf", "stp" or "stl".
const char* ExportExtension(ExportKind kind);

// The requester's filter: pairs of a description and its patterns, separated by
// "|", patterns separated by ";"; the first pair is preselected.
const char* ExportFilter(ExportKind kind);

// The path as it will be written: the kind's extension appended when the file's
// own name (the part after the last '/') has none. Any other extension is kept, so
// "drawing.txt" stays "drawing.txt"; a name that ends in '.' gets only the
// extension after that point.
std::string ExportPathWithExtension(const std::string& path, ExportKind kind);

// Size of a binary STL file of this many triangles in kilobytes, rounded: 80-byte
// header, 4-byte count, 50 bytes per triangle, in 64 bits (a 32-bit count of bytes
// overflows above 43 million triangles).
uint64_t StlFileKilobytes(uint64_t triangles);

// What the CAD files can hold of a body. The STEP file declares 1e-6 mm and writes
// a tilted direction with twelve digits: beyond 100 m from the origin the two no
// longer agree (a helical rack 1 km wide reads invalid without healing). A face
// width, bore, keyway, hub length, rim or rack back below a micrometre, or teeth of
// a module below 0.01 mm, have corners and curves closer than a kernel tells apart
// (a hub 1e-7 mm long gives a STEP file without a solid and an STL of degenerate
// facets). The DXF and STL exports hold to the same limits.
constexpr double kMaxExportCoordinate = 1e5;  // mm
constexpr double kMinExportFeature = 1e-3;    // mm
constexpr double kMinExportModule = 0.01;     // mm

// True when every length of the placed body that a writer uses is a finite number
// within those limits: its placement, outline, face width and hubs, and the bore,
// keyway, ring rim and rack back where it has them.
bool BodyFitsTheFiles(const PlacedBody& placed);

// Largest radius of the inner contour of a gear: the bore, or with a keyway the
// keyway's outer corners at sqrt((R + t2)^2 + (b/2)^2). 0 without a bore.
double BoreContourOuterRadius(const GearRecord& body);

// True when the bore with its keyway stays inside the body: below the root circle
// by more than rootMargin (the STL chord tolerance, 0 otherwise) and inside the
// hub circle where a hub is drawn, in both by more than kMinExportFeature. Ring
// gears and racks have no bore and pass.
bool BoreFitsInsideBody(const GearRecord& body, double rootMargin);

}  // namespace kovrex
