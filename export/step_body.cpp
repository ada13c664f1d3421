// Body selection and the STEP solid of a gear with hub or keyed bore.
#include "export/step_body.h"

#include <cmath>
#include <utility>

#include "export/step_bore.h"
#include "export/step_entities.h"
#include "export/step_extruded.h"
#include "export/step_helical.h"
#include "export/step_outline.h"
#include "export/step_prism_closure.h"
#include "export/step_writer.h"

namespace kovrex {

namespace {

// The record's numbers that shape the solid; one that is not finite could
// otherwise just drop a bore or a hub without any NaN reaching the text.
bool SolidNumbersAreFinite(const GearRecord& g) {
  const double values[] = {g.faceWidth,   g.boreDiameter, g.hubDiameter, g.hubLength,      g.keywayWidth,
                           g.keywayDepth, g.rimRadius,    g.helixAngle,  g.rackHelixOffset};
  for (double v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

}  // namespace

uint64_t WriteStepGearSolid(const GearRecord& body, double x, double y, double phi) {
  if (!SolidNumbersAreFinite(body)) MarkStepFileFaulty();
  GearRecord work = body;
  work.outline = MergeCloseOutlinePoints(body.outline);
  if (work.outline.empty()) {
    MarkStepFileFaulty();
    return 0;
  }
  if (StepFitsEndCurves(work)) return WriteStepHelicalSolid(work, x, y, phi);
  return WriteStepExtrudedSolid(work, x, y, phi);
}

uint64_t CloseStepGearSolid(const GearRecord& body, const std::vector<uint64_t>& bottomEdges,
                            const std::vector<uint64_t>& topEdges, std::string faces, double x, double y, double phi) {
  if (body.isInternal == 0 && body.isRack == 0 && (HasKeyway(body) || HasHub(body)))
    return WriteStepBodyWithHub(body, bottomEdges, topEdges, std::move(faces), x, y, phi);
  return CloseStepPrismSolid(body, bottomEdges, topEdges, std::move(faces), x, y);
}

namespace {

uint64_t PlaneAt(uint64_t dz, uint64_t dx, double x, double y, double z) {
  return AddStepEntity("PLANE(''," + FormatStepRef(WriteStepAxisPlacement(dz, dx, x, y, z)) + ")");
}

uint64_t FaceBound(const std::string& loopRef, bool outer) {
  return AddStepEntity((outer ? "FACE_OUTER_BOUND(''," : "FACE_BOUND('',") + loopRef + ",.T.)");
}

}  // namespace

uint64_t WriteStepBodyWithHub(const GearRecord& body, const std::vector<uint64_t>& bottomEdges,
                              const std::vector<uint64_t>& topEdges, std::string faces, double x, double y,
                              double phi) {
  const double b = body.faceWidth;
  const bool hub = HasHub(body);
  const bool hubBelow = hub && (body.hubSide == 1 || body.hubSide == 3);
  const bool hubAbove = hub && (body.hubSide == 2 || body.hubSide == 3);
  const double L = body.hubLength;
  const double z0 = hubBelow ? -L : 0.0;
  const double z1 = hubAbove ? b + L : b;
  const double Rh = body.hubDiameter / 2.0;
  const bool bore = body.boreDiameter > 0.0;

  const uint64_t dz = AddStepEntity("DIRECTION('',(0.,0.,1.))");
  const uint64_t dx = AddStepEntity("DIRECTION('',(1.,0.,0.))");

  StepBoreLoop low, high;
  if (bore) {
    WriteStepBoreLoop(body, x, y, phi, z0, dz, dx, low);
    WriteStepBoreLoop(body, x, y, phi, z1, dz, dx, high);
    const int nb = low.count;
    const uint64_t v = AddStepEntity("VECTOR(''," + FormatStepRef(dz) + "," + FormatStepRealChecked(z1 - z0) + ")");
    uint64_t seam[4] = {0, 0, 0, 0};
    for (int i = 0; i < nb; ++i) {
      const uint64_t l = AddStepEntity("LINE(''," + FormatStepRef(low.point[i]) + "," + FormatStepRef(v) + ")");
      seam[i] = AddStepEntity("EDGE_CURVE(''," + FormatStepRef(low.vertex[i]) + "," + FormatStepRef(high.vertex[i]) +
                              "," + FormatStepRef(l) + ",.T.)");
    }
    for (int i = 0; i < nb; ++i) {
      const int j = (i + 1) % nb;
      std::string refs;
      AppendStepRef(refs, WriteStepOrientedEdge(low.edge[i], false));
      AppendStepRef(refs, WriteStepOrientedEdge(seam[i], true));
      AppendStepRef(refs, WriteStepOrientedEdge(high.edge[i], true));
      AppendStepRef(refs, WriteStepOrientedEdge(seam[j], false));
      const uint64_t loop = AddStepEntity("EDGE_LOOP('',(" + refs + "))");
      if (low.isArc[i]) {
        // The cylinder's own normal points away from the axis; the bore face looks
        // into the hole.
        const uint64_t a = WriteStepAxisPlacement(dz, dx, x, y, z0);
        const uint64_t surface = AddStepEntity("CYLINDRICAL_SURFACE(''," + FormatStepRef(a) + "," +
                                               FormatStepRealChecked(body.boreDiameter / 2.0) + ")");
        const uint64_t f = FaceBound(FormatStepRef(loop), true);
        AppendStepRef(faces,
                      AddStepEntity("ADVANCED_FACE('',(" + FormatStepRef(f) + ")," + FormatStepRef(surface) + ",.F.)"));
      } else {
        // Left-hand normal of the counter-clockwise bore edge: into the hole.
        const double ddx = low.x[j] - low.x[i], ddy = low.y[j] - low.y[i];
        const double len = std::sqrt(ddx * ddx + ddy * ddy);
        const uint64_t nrm = AddStepEntity("DIRECTION('',(" + FormatStepDirectionRatios(-ddy / len, ddx / len) + "))");
        const uint64_t ref = AddStepEntity("DIRECTION('',(" + FormatStepDirectionRatios(ddx / len, ddy / len) + "))");
        const uint64_t a = AddStepEntity("AXIS2_PLACEMENT_3D(''," + FormatStepRef(low.point[i]) + "," +
                                         FormatStepRef(nrm) + "," + FormatStepRef(ref) + ")");
        const uint64_t surface = AddStepEntity("PLANE(''," + FormatStepRef(a) + ")");
        const uint64_t f = FaceBound(FormatStepRef(loop), true);
        AppendStepRef(faces,
                      AddStepEntity("ADVANCED_FACE('',(" + FormatStepRef(f) + ")," + FormatStepRef(surface) + ",.T.)"));
      }
    }
  }

  StepCircleEdges endBelow, rootBelow, rootAbove, endAbove;
  if (hubBelow) {
    WriteStepCircleEdges(dz, dx, endBelow, x, y, z0, Rh);
    WriteStepCircleEdges(dz, dx, rootBelow, x, y, 0.0, Rh);
    faces += WriteStepCylinderFaces(endBelow, rootBelow, x, y, z0, 0.0, Rh, dz, dx);
  }
  if (hubAbove) {
    WriteStepCircleEdges(dz, dx, rootAbove, x, y, b, Rh);
    WriteStepCircleEdges(dz, dx, endAbove, x, y, z1, Rh);
    faces += WriteStepCylinderFaces(rootAbove, endAbove, x, y, b, z1, Rh, dz, dx);
  }

  std::string refs;
  refs.reserve(bottomEdges.size() * 8);
  for (size_t i = bottomEdges.size(); i-- > 0;) AppendStepRef(refs, WriteStepOrientedEdge(bottomEdges[i], false));
  const uint64_t bottomOuter = FaceBound(FormatStepRef(AddStepEntity("EDGE_LOOP('',(" + refs + "))")), true);
  refs.clear();
  for (uint64_t e : topEdges) AppendStepRef(refs, WriteStepOrientedEdge(e, true));
  const uint64_t topOuter = FaceBound(FormatStepRef(AddStepEntity("EDGE_LOOP('',(" + refs + "))")), true);

  // Inner bounds run clockwise seen from outside the solid.
  uint64_t bottomInner = 0, topInner = 0;
  if (hubBelow)
    bottomInner = FaceBound(WriteStepCircleLoop(rootBelow, true), false);
  else if (bore)
    bottomInner = FaceBound(WriteStepEdgeLoop(low), false);
  if (hubAbove)
    topInner = FaceBound(WriteStepCircleLoop(rootAbove, false), false);
  else if (bore)
    topInner = FaceBound(WriteStepEdgeLoopReversed(high), false);

  auto endFace = [&](uint64_t outer, uint64_t inner, double z, bool top) {
    const uint64_t p = PlaneAt(dz, dx, x, y, z);
    std::string bounds = FormatStepRef(outer);
    if (inner != 0) AppendStepRef(bounds, inner);
    AppendStepRef(faces,
                  AddStepEntity("ADVANCED_FACE('',(" + bounds + ")," + FormatStepRef(p) + (top ? ",.T.)" : ",.F.)")));
  };
  endFace(bottomOuter, bottomInner, 0.0, false);
  endFace(topOuter, topInner, b, true);

  if (hubBelow) {
    const uint64_t outer = FaceBound(WriteStepCircleLoop(endBelow, false), true);
    const uint64_t inner = bore ? FaceBound(WriteStepEdgeLoop(low), false) : 0;
    endFace(outer, inner, z0, false);
  }
  if (hubAbove) {
    const uint64_t outer = FaceBound(WriteStepCircleLoop(endAbove, true), true);
    const uint64_t inner = bore ? FaceBound(WriteStepEdgeLoopReversed(high), false) : 0;
    endFace(outer, inner, z1, true);
  }

  const uint64_t shell = AddStepEntity("CLOSED_SHELL('',(" + faces + "))");
  return AddStepEntity("MANIFOLD_SOLID_BREP('" + StepSolidName(body) + "'," + FormatStepRef(shell) + ")");
}

}  // namespace kovrex
