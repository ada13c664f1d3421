// Bore or rim cylinder, end faces and shell of a STEP body without hub and keyway.
#include "export/step_prism_closure.h"

#include "export/step_entities.h"
#include "text/texts.h"

namespace kovrex {

namespace {

std::string OrientedRef(uint64_t edge, bool sameSense) { return FormatStepRef(WriteStepOrientedEdge(edge, sameSense)); }

uint64_t Loop(const std::string& refs) { return AddStepEntity("EDGE_LOOP('',(" + refs + "))"); }

uint64_t Bound(uint64_t loop, bool outer) {
  return AddStepEntity((outer ? "FACE_OUTER_BOUND(''," : "FACE_BOUND('',") + FormatStepRef(loop) + ",.T.)");
}

}  // namespace

std::string StepSolidName(const GearRecord& body) {
  if (body.isRack != 0) return Tx(TextId::StepSolidRack);
  const TextId id = body.isInternal != 0 ? TextId::StepSolidRingGear : TextId::StepSolidGear;
  return Tx(id) + std::to_string(body.toothCount);
}

uint64_t CloseStepPrismSolid(const GearRecord& body, const std::vector<uint64_t>& bottomEdges,
                             const std::vector<uint64_t>& topEdges, std::string faces, double ox, double oy) {
  const double b = body.faceWidth;
  const bool ring = body.isInternal != 0;
  const uint64_t Z = AddStepEntity("DIRECTION('',(0.,0.,1.))");
  const uint64_t X = AddStepEntity("DIRECTION('',(1.,0.,0.))");

  const double R = ring ? body.rimRadius : (body.isRack != 0 ? 0.0 : body.boreDiameter / 2.0);
  const bool cylinder = R > 0.0;
  uint64_t CBB = 0, CTB = 0;
  if (cylinder) {
    const std::string r = FormatStepRealChecked(R);
    const uint64_t V = AddStepEntity("VECTOR(''," + FormatStepRef(Z) + "," + FormatStepRealChecked(b) + ")");
    // The seam vertices from the centre and radius as written, so that they lie
    // exactly on the circles and the cylinder.
    const double xPlus = StepRoundedAsWritten(ox) + StepRoundedAsWritten(R);
    const double xMinus = StepRoundedAsWritten(ox) - StepRoundedAsWritten(R);
    const uint64_t V1 = WriteStepVertexPoint(xPlus, oy, 0.0);
    const uint64_t V2 = WriteStepVertexPoint(xMinus, oy, 0.0);
    const uint64_t V3 = WriteStepVertexPoint(xPlus, oy, b);
    const uint64_t V4 = WriteStepVertexPoint(xMinus, oy, b);
    const uint64_t A0 = WriteStepAxisPlacement(Z, X, ox, oy, 0.0);
    const uint64_t CB = AddStepEntity("CIRCLE(''," + FormatStepRef(A0) + "," + r + ")");
    const uint64_t Ab = WriteStepAxisPlacement(Z, X, ox, oy, b);
    const uint64_t CT = AddStepEntity("CIRCLE(''," + FormatStepRef(Ab) + "," + r + ")");
    auto edge = [](uint64_t from, uint64_t to, uint64_t curve) {
      return AddStepEntity("EDGE_CURVE(''," + FormatStepRef(from) + "," + FormatStepRef(to) + "," +
                           FormatStepRef(curve) + ",.T.)");
    };
    const uint64_t E1 = edge(V1, V2, CB);
    const uint64_t E2 = edge(V2, V1, CB);
    const uint64_t E3 = edge(V3, V4, CT);
    const uint64_t E4 = edge(V4, V3, CT);
    const uint64_t p1 = WriteStepCartesianPoint(xPlus, oy, 0.0);
    const uint64_t L1 = AddStepEntity("LINE(''," + FormatStepRef(p1) + "," + FormatStepRef(V) + ")");
    const uint64_t S1 = edge(V1, V3, L1);
    const uint64_t p2 = WriteStepCartesianPoint(xMinus, oy, 0.0);
    const uint64_t L2 = AddStepEntity("LINE(''," + FormatStepRef(p2) + "," + FormatStepRef(V) + ")");
    const uint64_t S2 = edge(V2, V4, L2);
    const uint64_t A = WriteStepAxisPlacement(Z, X, ox, oy, 0.0);
    const uint64_t C = AddStepEntity("CYLINDRICAL_SURFACE(''," + FormatStepRef(A) + "," + r + ")");

    // The rim's faces look away from the axis, the bore's towards it; each half
    // face's loop runs counter-clockwise seen from where its normal points.
    auto halfFace = [&](uint64_t e1, bool s1, uint64_t e2, bool s2, uint64_t e3, bool s3, uint64_t e4, bool s4) {
      std::string refs =
          OrientedRef(e1, s1) + "," + OrientedRef(e2, s2) + "," + OrientedRef(e3, s3) + "," + OrientedRef(e4, s4);
      const uint64_t bound = Bound(Loop(refs), true);
      const uint64_t face = AddStepEntity("ADVANCED_FACE('',(" + FormatStepRef(bound) + ")," + FormatStepRef(C) +
                                          (ring ? ",.T.)" : ",.F.)"));
      AppendStepRef(faces, face);
    };
    if (ring) {
      halfFace(E1, true, S2, true, E3, false, S1, false);
      halfFace(E2, true, S1, true, E4, false, S2, false);
      CBB = Bound(Loop(OrientedRef(E2, false) + "," + OrientedRef(E1, false)), true);
      CTB = Bound(Loop(OrientedRef(E3, true) + "," + OrientedRef(E4, true)), true);
    } else {
      halfFace(E1, false, S1, true, E3, true, S2, false);
      halfFace(E2, false, S2, true, E4, true, S1, false);
      CBB = Bound(Loop(OrientedRef(E1, true) + "," + OrientedRef(E2, true)), false);
      CTB = Bound(Loop(OrientedRef(E4, false) + "," + OrientedRef(E3, false)), false);
    }
  }

  // The tooth outline is the outer bound of a gear's or rack's end faces and a hole
  // in the ring gear's; on the bottom face it is walked backwards.
  std::string refs;
  refs.reserve(bottomEdges.size() * 8);
  for (size_t i = bottomEdges.size(); i-- > 0;) AppendStepRef(refs, WriteStepOrientedEdge(bottomEdges[i], false));
  const uint64_t OB = Bound(Loop(refs), !ring);
  refs.clear();
  for (uint64_t e : topEdges) AppendStepRef(refs, WriteStepOrientedEdge(e, true));
  const uint64_t OT = Bound(Loop(refs), !ring);

  const uint64_t P0 = AddStepEntity("PLANE(''," + FormatStepRef(WriteStepAxisPlacement(Z, X, ox, oy, 0.0)) + ")");
  std::string bounds = FormatStepRef(OB);
  if (cylinder) AppendStepRef(bounds, CBB);
  AppendStepRef(faces, AddStepEntity("ADVANCED_FACE('',(" + bounds + ")," + FormatStepRef(P0) + ",.F.)"));
  const uint64_t Pb = AddStepEntity("PLANE(''," + FormatStepRef(WriteStepAxisPlacement(Z, X, ox, oy, b)) + ")");
  bounds = FormatStepRef(OT);
  if (cylinder) AppendStepRef(bounds, CTB);
  AppendStepRef(faces, AddStepEntity("ADVANCED_FACE('',(" + bounds + ")," + FormatStepRef(Pb) + ",.T.)"));

  const uint64_t SH = AddStepEntity("CLOSED_SHELL('',(" + faces + "))");
  return AddStepEntity("MANIFOLD_SOLID_BREP('" + StepSolidName(body) + "'," + FormatStepRef(SH) + ")");
}

}  // namespace kovrex
