// Bore loop and hub cylinder faces of the STEP gear solid.
#include "export/step_bore.h"

#include <cmath>

namespace kovrex {

void WriteStepBoreLoop(const GearRecord& body, double x, double y, double phi, double z, uint64_t axis,
                       uint64_t refDirection, StepBoreLoop& loop) {
  const double R = body.boreDiameter / 2.0;
  const double w = body.keywayWidth / 2.0;
  const double t2 = body.keywayDepth;

  uint64_t a = WriteStepAxisPlacement(axis, refDirection, x, y, z);
  uint64_t circle = AddStepEntity("CIRCLE(''," + FormatStepRef(a) + "," + FormatStepRealChecked(R) + ")");

  double u[4], v[4];
  if (HasKeyway(body)) {
    const double h = std::sqrt(R * R - w * w);
    u[0] = h, v[0] = w;
    u[1] = h, v[1] = -w;
    u[2] = R + t2, v[2] = -w;
    u[3] = R + t2, v[3] = w;
    loop.count = 4;
    loop.isArc[0] = 1;
    loop.isArc[1] = loop.isArc[2] = loop.isArc[3] = 0;
  } else {
    u[0] = R, v[0] = 0.0;
    u[1] = -R, v[1] = 0.0;
    loop.count = 2;
    loop.isArc[0] = loop.isArc[1] = 1;
    loop.isArc[2] = loop.isArc[3] = 0;
  }

  // The arc's end vertices lie on the circle as the file holds it (centre and
  // radius with six decimals), at their own angle, and carry ten decimals: with six
  // a keyway corner or the split point of a turned bore sits up to 7e-7 mm off the
  // bore cylinder, and a kernel that does not heal finds the seam off its face.
  // Kept as written, so that the keyway's lines and planes, whose directions come
  // from these, pass exactly through the written vertices.
  const double cx = StepRoundedAsWritten(x), cy = StepRoundedAsWritten(y), Rw = StepRoundedAsWritten(R);
  const double c = std::cos(phi), s = std::sin(phi);
  const int n = loop.count;
  for (int i = 0; i < n; ++i) {
    const bool onCircle = loop.isArc[i] || loop.isArc[(i + n - 1) % n];
    const double theta = std::atan2(v[i], u[i]) + phi;
    loop.x[i] = StepRoundedFine(onCircle ? cx + Rw * std::cos(theta) : cx + u[i] * c - v[i] * s);
    loop.y[i] = StepRoundedFine(onCircle ? cy + Rw * std::sin(theta) : cy + u[i] * s + v[i] * c);
    loop.point[i] = WriteStepCartesianPointFine(loop.x[i], loop.y[i], z);
    loop.vertex[i] = AddStepEntity("VERTEX_POINT(''," + FormatStepRef(loop.point[i]) + ")");
  }
  for (int i = 0; i < n; ++i) {
    const int j = (i + 1) % n;
    uint64_t curve = circle;
    if (!loop.isArc[i]) {
      const double dx = loop.x[j] - loop.x[i], dy = loop.y[j] - loop.y[i];
      const double len = std::sqrt(dx * dx + dy * dy);
      uint64_t d = AddStepEntity("DIRECTION('',(" + FormatStepDirectionRatios(dx / len, dy / len) + "))");
      uint64_t vec = AddStepEntity("VECTOR(''," + FormatStepRef(d) + "," + FormatStepRealChecked(len) + ")");
      curve = AddStepEntity("LINE(''," + FormatStepRef(loop.point[i]) + "," + FormatStepRef(vec) + ")");
    }
    loop.edge[i] = AddStepEntity("EDGE_CURVE(''," + FormatStepRef(loop.vertex[i]) + "," +
                                 FormatStepRef(loop.vertex[j]) + "," + FormatStepRef(curve) + ",.T.)");
  }
}

std::string WriteStepCylinderFaces(const StepCircleEdges& lower, const StepCircleEdges& upper, double x, double y,
                                   double zLow, double zHigh, double r, uint64_t axis, uint64_t refDirection) {
  uint64_t v = AddStepEntity("VECTOR(''," + FormatStepRef(axis) + "," + FormatStepRealChecked(zHigh - zLow) + ")");
  uint64_t l1 = AddStepEntity("LINE(''," + FormatStepRef(lower.point1) + "," + FormatStepRef(v) + ")");
  uint64_t s1 = AddStepEntity("EDGE_CURVE(''," + FormatStepRef(lower.vertex1) + "," + FormatStepRef(upper.vertex1) +
                              "," + FormatStepRef(l1) + ",.T.)");
  uint64_t l2 = AddStepEntity("LINE(''," + FormatStepRef(lower.point2) + "," + FormatStepRef(v) + ")");
  uint64_t s2 = AddStepEntity("EDGE_CURVE(''," + FormatStepRef(lower.vertex2) + "," + FormatStepRef(upper.vertex2) +
                              "," + FormatStepRef(l2) + ",.T.)");
  uint64_t a = WriteStepAxisPlacement(axis, refDirection, x, y, zLow);
  uint64_t cyl = AddStepEntity("CYLINDRICAL_SURFACE(''," + FormatStepRef(a) + "," + FormatStepRealChecked(r) + ")");

  auto face = [cyl](uint64_t lowerEdge, uint64_t seamUp, uint64_t upperEdge, uint64_t seamDown) {
    std::string o1 = FormatStepRef(WriteStepOrientedEdge(lowerEdge, true));
    std::string o2 = FormatStepRef(WriteStepOrientedEdge(seamUp, true));
    std::string o3 = FormatStepRef(WriteStepOrientedEdge(upperEdge, false));
    std::string o4 = FormatStepRef(WriteStepOrientedEdge(seamDown, false));
    uint64_t loop = AddStepEntity("EDGE_LOOP('',(" + o1 + "," + o2 + "," + o3 + "," + o4 + "))");
    uint64_t bound = AddStepEntity("FACE_OUTER_BOUND(''," + FormatStepRef(loop) + ",.T.)");
    return AddStepEntity("ADVANCED_FACE('',(" + FormatStepRef(bound) + ")," + FormatStepRef(cyl) + ",.T.)");
  };
  uint64_t face1 = face(lower.edge1, s2, upper.edge1, s1);
  uint64_t face2 = face(lower.edge2, s1, upper.edge2, s2);
  return "," + FormatStepRef(face1) + "," + FormatStepRef(face2);
}

}  // namespace kovrex
