// Vertices, edges and side faces of a prismatic STEP body.
#include "export/step_extruded.h"

#include <cmath>
#include <string>
#include <vector>

#include "export/step_body.h"
#include "export/step_bspline.h"
#include "export/step_entities.h"

namespace kovrex {

uint64_t WriteStepExtrudedSolid(const GearRecord& body, double ox, double oy, double theta) {
  const std::vector<OutlinePolyline>& outline = body.outline;
  const size_t n = outline.size();
  const double b = body.faceWidth;
  // The helix offset and the placed corners are taken as the file holds them, so
  // that a top corner (bottom corner + offset) prints exactly and the planes of
  // the straight pieces pass through all four written corners.
  const double s = body.isRack != 0 ? StepRoundedAsWritten(body.rackHelixOffset) : 0.0;
  const double c = std::cos(theta), st = std::sin(theta);
  if (n == 0) MarkStepFileFaulty();
  auto placeX = [&](const OutlinePoint& p) { return StepRoundedAsWritten(ox + c * p.x - st * p.y); };
  auto placeY = [&](const OutlinePoint& p) { return StepRoundedAsWritten(oy + st * p.x + c * p.y); };
  auto first = [&](size_t i) -> const OutlinePoint& {
    static const OutlinePoint kNone;
    return outline[i].points.empty() ? kNone : outline[i].points.front();
  };

  const uint64_t Z = AddStepEntity("DIRECTION('',(0.,0.,1.))");
  uint64_t V;
  if (s == 0.0) {
    V = AddStepEntity("VECTOR(''," + FormatStepRef(Z) + "," + FormatStepRealChecked(b) + ")");
  } else {
    // Direction ratios, not normalised: a reader normalises them.
    const uint64_t D =
        AddStepEntity("DIRECTION('',(" + FormatStepRealChecked(s) + ",0.," + FormatStepRealChecked(b) + "))");
    V = AddStepEntity("VECTOR(''," + FormatStepRef(D) + "," + FormatStepRealChecked(std::sqrt(s * s + b * b)) + ")");
  }
  const std::string vectorRef = FormatStepRef(V);

  std::vector<uint64_t> VB(n + 1), VT(n + 1), EV(n + 1), EB(n), ET(n);
  for (size_t i = 0; i < n; ++i) {
    const double x = placeX(first(i)), y = placeY(first(i));
    const uint64_t P = WriteStepCartesianPoint(x, y, 0.0);
    VB[i] = AddStepEntity("VERTEX_POINT(''," + FormatStepRef(P) + ")");
    VT[i] = WriteStepVertexPoint(x + s, y, b);
    const uint64_t L = AddStepEntity("LINE(''," + FormatStepRef(P) + "," + vectorRef + ")");
    EV[i] = AddStepEntity("EDGE_CURVE(''," + FormatStepRef(VB[i]) + "," + FormatStepRef(VT[i]) + "," +
                          FormatStepRef(L) + ",.T.)");
  }
  if (n > 0) {
    VB[n] = VB[0];
    VT[n] = VT[0];
    EV[n] = EV[0];
  }

  std::string faces;
  faces.reserve(n * 8);
  for (size_t i = 0; i < n; ++i) {
    const std::vector<OutlinePoint>& points = outline[i].points;
    uint64_t CB, CT, S;
    if (points.size() == 2) {
      const double x0 = placeX(points[0]), y0 = placeY(points[0]);
      const double x1 = placeX(points[1]), y1 = placeY(points[1]);
      const double dx = StepRoundedAsWritten(x1) - StepRoundedAsWritten(x0);
      const double dy = StepRoundedAsWritten(y1) - StepRoundedAsWritten(y0);
      const double len = std::sqrt(dx * dx + dy * dy);
      const double ux = dx / len, uy = dy / len;
      // Piece direction x extrusion vector (s, 0, b): out of the material for a
      // counter-clockwise outline.
      const double nx = uy * b, ny = -ux * b, nz = -uy * s;
      const double nlen = std::sqrt(nx * nx + ny * ny + nz * nz);
      const uint64_t U =
          AddStepEntity("DIRECTION('',(" + FormatStepDirectionRatios(ux, uy) + "))");
      const std::string U_ref = FormatStepRef(U), length = FormatStepRealChecked(len);
      const uint64_t Pb = WriteStepCartesianPoint(x0, y0, 0.0);
      const uint64_t Wb = AddStepEntity("VECTOR(''," + U_ref + "," + length + ")");
      CB = AddStepEntity("LINE(''," + FormatStepRef(Pb) + "," + FormatStepRef(Wb) + ")");
      const uint64_t Pt = WriteStepCartesianPoint(x0 + s, y0, b);
      const uint64_t Wt = AddStepEntity("VECTOR(''," + U_ref + "," + length + ")");
      CT = AddStepEntity("LINE(''," + FormatStepRef(Pt) + "," + FormatStepRef(Wt) + ")");
      const uint64_t Pp = WriteStepCartesianPoint(x0, y0, 0.0);
      const uint64_t Np =
          AddStepEntity("DIRECTION('',(" + FormatStepDirectionRatios(nx / nlen, ny / nlen, nz / nlen) + "))");
      const uint64_t Ap =
          AddStepEntity("AXIS2_PLACEMENT_3D(''," + FormatStepRef(Pp) + "," + FormatStepRef(Np) + "," + U_ref + ")");
      S = AddStepEntity("PLANE(''," + FormatStepRef(Ap) + ")");
    } else {
      CB = WriteStepBSplineCurve(outline[i], ox, oy, c, st, 0.0);
      CT = WriteStepBSplineCurve(outline[i], ox, oy, c, st, b, s);
      S = AddStepEntity("SURFACE_OF_LINEAR_EXTRUSION(''," + FormatStepRef(CB) + "," + vectorRef + ")");
    }
    EB[i] = AddStepEntity("EDGE_CURVE(''," + FormatStepRef(VB[i]) + "," + FormatStepRef(VB[i + 1]) + "," +
                          FormatStepRef(CB) + ",.T.)");
    ET[i] = AddStepEntity("EDGE_CURVE(''," + FormatStepRef(VT[i]) + "," + FormatStepRef(VT[i + 1]) + "," +
                          FormatStepRef(CT) + ",.T.)");
    // Along the bottom, up at the piece's end, back along the top, down at its start.
    std::string refs;
    AppendStepRef(refs, WriteStepOrientedEdge(EB[i], true));
    AppendStepRef(refs, WriteStepOrientedEdge(EV[i + 1], true));
    AppendStepRef(refs, WriteStepOrientedEdge(ET[i], false));
    AppendStepRef(refs, WriteStepOrientedEdge(EV[i], false));
    const uint64_t loop = AddStepEntity("EDGE_LOOP('',(" + refs + "))");
    const uint64_t bound = AddStepEntity("FACE_OUTER_BOUND(''," + FormatStepRef(loop) + ",.T.)");
    AppendStepRef(faces,
                  AddStepEntity("ADVANCED_FACE('',(" + FormatStepRef(bound) + ")," + FormatStepRef(S) + ",.T.)"));
  }
  return CloseStepGearSolid(body, EB, ET, faces, ox, oy, theta);
}

}  // namespace kovrex
