// Choice of the exported bodies, their placements and the proposed file name, and
// the checks that refuse an export before the requester opens.
#include "export/export_plan.h"

#include <cmath>

#include "geometry/arrangement_state.h"
#include "numbers/number_text.h"
#include "text/texts.h"

namespace kovrex {
namespace {

bool IsMode(int displayMode, DisplayKind kind) { return displayMode == static_cast<int>(kind); }

bool BodyIsUsable(const GearRecord& g) {
  return g.valid != 0 && !g.outline.empty() && g.faceWidth > 0.0 && std::isfinite(g.faceWidth);
}

std::string Module(const GearRecord& g) { return FormatNumberTrimmed(g.normalModule); }
std::string Teeth(const GearRecord& g) { return std::to_string(g.toothCount); }

std::string NameOfOne(TextId prefix, const GearRecord& g) { return Tx(prefix) + Module(g) + "_z" + Teeth(g); }

std::string NameOfTwo(TextId prefix, const GearRecord& named, const GearRecord& other) {
  return NameOfOne(prefix, named) + "-" + Teeth(other);
}

}  // namespace

ExportSelection EffectiveExportSelection(int displayMode, int comboIndex) {
  if (IsMode(displayMode, DisplayKind::Single)) return ExportSelection::FirstOnly;
  if (comboIndex == 1) return ExportSelection::FirstOnly;
  if (comboIndex == 2) return ExportSelection::SecondOnly;
  return ExportSelection::AsShown;
}

ExportBodies ChooseExportBodies(const ShownArrangement& shown, ExportSelection selection) {
  ExportBodies out;
  if (selection == ExportSelection::AsShown && shown.second.body != nullptr) {
    out.first = shown.first;
    out.second = shown.second;
    // The first body always stands at the origin: only its rotation is kept.
    out.first.x = out.first.y = 0.0;
    return out;
  }
  // Gear 1 (the pinion) is drawn second in the internal pair, under it the ring.
  const bool internal = IsMode(shown.displayMode, DisplayKind::Internal);
  const PlacedBody& gear1 = internal ? shown.second : shown.first;
  const PlacedBody& other = internal ? shown.first : shown.second;
  const PlacedBody& alone = selection == ExportSelection::SecondOnly ? other : gear1;
  out.first.body = alone.body != nullptr ? alone.body : shown.first.body;
  return out;
}

bool DisplayedBodiesAreValid(int displayMode, const GearRecord& gear1, const GearRecord& gear2,
                             const GearRecord& ring, const GearRecord& rack) {
  switch (static_cast<DisplayKind>(displayMode)) {
    case DisplayKind::Pair:
      return BodyIsUsable(gear1) && BodyIsUsable(gear2);
    case DisplayKind::Single:
      return BodyIsUsable(gear1);
    case DisplayKind::PinionRack:
      return BodyIsUsable(gear1) && BodyIsUsable(rack);
    case DisplayKind::Internal:
      return BodyIsUsable(gear1) && BodyIsUsable(ring);
    default:
      return false;
  }
}

std::string DefaultExportName(int displayMode, ExportSelection selection, const GearRecord& gear1,
                              const GearRecord& gear2, const GearRecord& ring, const GearRecord& rack) {
  switch (static_cast<DisplayKind>(displayMode)) {
    case DisplayKind::Pair:
      if (selection == ExportSelection::FirstOnly) return NameOfOne(TextId::ExportNamePairGear1, gear1);
      if (selection == ExportSelection::SecondOnly) return NameOfOne(TextId::ExportNamePairGear2, gear2);
      return NameOfTwo(TextId::ExportNamePair, gear1, gear2);
    case DisplayKind::Single:
      return NameOfOne(TextId::ExportNameSingle, gear1);
    case DisplayKind::PinionRack:
      if (selection == ExportSelection::FirstOnly) return NameOfOne(TextId::ExportNamePinion, gear1);
      if (selection == ExportSelection::SecondOnly)
        return Tx(TextId::ExportNameRack) + Module(rack) + "_n" + Teeth(rack);
      return NameOfOne(TextId::ExportNamePinionRack, gear1);
    case DisplayKind::Internal:
      if (selection == ExportSelection::FirstOnly) return NameOfOne(TextId::ExportNamePinion, gear1);
      if (selection == ExportSelection::SecondOnly) return NameOfOne(TextId::ExportNameRing, ring);
      return NameOfTwo(TextId::ExportNameInternal, gear1, ring);
    default:
      return NameOfOne(TextId::ExportNameSingle, gear1);
  }
}

const char* ExportExtension(ExportKind kind) {
  switch (kind) {
    case ExportKind::Step: return "stp";
    case ExportKind::Stl: return "stl";
    case ExportKind::Dxf: break;
  }
  return "dxf";
}

const char* ExportFilter(ExportKind kind) {
  switch (kind) {
    case ExportKind::Step: return "STEP (*.stp;*.step)|*.stp;*.step";
    case ExportKind::Stl: return "STL (*.stl)|*.stl";
    case ExportKind::Dxf: break;
  }
  return "DXF (*.dxf)|*.dxf";
}

std::string ExportPathWithExtension(const std::string& path, ExportKind kind) {
  // Only the file's own name counts: a dot in a folder name ("v1.2/gear") is no
  // extension of the file.
  const size_t slash = path.rfind('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = path.rfind('.');
  if (dot != std::string::npos && dot >= nameStart) {
    if (dot + 1 < path.size()) return path;
    return path + ExportExtension(kind);
  }
  return path + "." + ExportExtension(kind);
}

uint64_t StlFileKilobytes(uint64_t triangles) { return (50 * triangles + 84 + 512) / 1024; }

double BoreContourOuterRadius(const GearRecord& body) {
  if (!(body.boreDiameter > 0.0)) return 0.0;
  const double r = body.boreDiameter / 2.0;
  if (!HasKeyway(body)) return r;
  return std::hypot(r + body.keywayDepth, body.keywayWidth / 2.0);
}

bool BoreFitsInsideBody(const GearRecord& body, double rootMargin) {
  if (body.isRack != 0 || body.isInternal != 0) return true;
  if (!(body.boreDiameter > 0.0)) return true;
  const double reach = BoreContourOuterRadius(body);
  // Written so that a NaN anywhere refuses. A wall thinner than a micrometre is
  // no wall a CAD kernel can keep.
  if (!(reach < body.rootRadius - std::fmax(rootMargin, kMinExportFeature))) return false;
  if (HasHub(body) && !(reach < body.hubDiameter / 2.0 - kMinExportFeature)) return false;
  return true;
}

bool BodyFitsTheFiles(const PlacedBody& placed) {
  if (placed.body == nullptr) return false;
  const GearRecord& g = *placed.body;
  // Each test is written so that a NaN fails it.
  auto within = [](double v) { return std::fabs(v) <= kMaxExportCoordinate; };
  auto feature = [](double v) { return v >= kMinExportFeature && v <= kMaxExportCoordinate; };
  if (!within(placed.x) || !within(placed.y) || !std::isfinite(placed.rotation)) return false;
  if (!(g.normalModule >= kMinExportModule)) return false;
  const double offset = std::hypot(placed.x, placed.y);
  double reach = 0.0;
  for (const OutlinePolyline& line : g.outline)
    for (const OutlinePoint& p : line.points) {
      const double r = std::hypot(p.x, p.y);
      if (!(r <= kMaxExportCoordinate)) return false;
      reach = std::fmax(reach, r);
    }
  // A helical rack's top face stands shifted along its length.
  if (g.isRack != 0) reach += std::fabs(g.rackHelixOffset);
  if (!within(offset + reach)) return false;
  if (!feature(g.faceWidth)) return false;

  if (g.isInternal != 0) return feature(g.rimRadius - reach) && within(offset + g.rimRadius);
  if (g.isRack != 0) return feature(g.rackHeight - g.dedendumCoeff * g.normalModule);
  if (g.boreDiameter > 0.0 && !feature(g.boreDiameter)) return false;
  if (HasKeyway(g) && !(feature(g.keywayWidth) && feature(g.keywayDepth))) return false;
  if (HasHub(g) && !(feature(g.hubLength) && within(g.faceWidth + 2.0 * g.hubLength))) return false;
  return true;
}

}  // namespace kovrex
