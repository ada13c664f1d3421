// STEP solid of a helical gear or helical ring gear: the end-face outline swept
// along the axis while it turns at the helix's constant rate. Each outline
// polyline becomes one B-spline surface interpolating the turned polyline at K
// cross-sections; each outline vertex becomes a helical B-spline edge through the
// same sections. The closure (bore, hub, end faces) is CloseStepGearSolid's.
// Between the outline's points the interpolating curves leave its polygon: on a
// tooth all but cut through by its undercuts they can cross where the points keep
// apart, so the end curves are checked for clearance, before the requester and
// again as they are written.
#include "export/step_helical.h"

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "export/step_body.h"
#include "export/step_bspline.h"
#include "export/step_contour_clearance.h"
#include "export/step_entities.h"
#include "export/step_outline.h"
#include "export/step_writer.h"

namespace kovrex {

namespace {

// One cross-section per started 0.1 rad of total twist, plus one, at least 4.
constexpr double kTwistPerSection = 0.1;
constexpr int64_t kMinSections = 4;

void AppendRef(std::string& text, uint64_t n) {
  char buffer[24];
  buffer[0] = '#';
  auto result = std::to_chars(buffer + 1, buffer + sizeof buffer, n);
  text.append(buffer, result.ptr);
}

void AppendDecimal(std::string& text, int64_t n) {
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
  text.append(buffer, result.ptr);
}

// Everything across the face width that every vertex and every polyline reuses:
// the sections' heights and turns and the one K-section interpolation.
struct SectionFrame {
  int64_t count = 0;             // K
  int degree = 0;                // pV
  std::vector<double> knots;     // KV
  std::vector<double> inverse;   // NV, K x K row-major
  std::vector<double> z;         // z_j
  std::vector<double> cosTurn;   // cos(theta + k b t_j)
  std::vector<double> sinTurn;
};

SectionFrame BuildSectionFrame(const GearRecord& body, double theta) {
  SectionFrame f;
  const double b = body.faceWidth;
  const double twist = HelicalTwistRate(body) * b;
  f.count = HelicalSectionCount(body);
  const size_t K = static_cast<size_t>(f.count);
  std::vector<double> t(K);
  f.z.resize(K);
  f.cosTurn.resize(K);
  f.sinTurn.resize(K);
  for (size_t j = 0; j < K; ++j) {
    t[j] = static_cast<double>(j) / static_cast<double>(K - 1);
    f.z[j] = b * t[j];
    const double turn = theta + twist * t[j];
    f.cosTurn[j] = std::cos(turn);
    f.sinTurn[j] = std::sin(turn);
  }
  f.degree = InterpolateBSplineCurve(t, f.knots, f.inverse);
  return f;
}

// Control points across the face width of the point (X, Y) of the end outline:
// Q_l = sum over j of NV[l][j] times the point placed in section j.
void SweepPoint(const SectionFrame& f, double ox, double oy, double X, double Y, StepControlPoint* out,
                std::vector<StepControlPoint>& placed) {
  const size_t K = static_cast<size_t>(f.count);
  for (size_t j = 0; j < K; ++j) {
    placed[j].x = ox + X * f.cosTurn[j] - Y * f.sinTurn[j];
    placed[j].y = oy + X * f.sinTurn[j] + Y * f.cosTurn[j];
    placed[j].z = f.z[j];
  }
  for (size_t l = 0; l < K; ++l) {
    const double* row = &f.inverse[l * K];
    double x = 0.0, y = 0.0, z = 0.0;
    for (size_t j = 0; j < K; ++j) {
      x += row[j] * placed[j].x;
      y += row[j] * placed[j].y;
      z += row[j] * placed[j].z;
    }
    out[l] = {x, y, z};
  }
}

// Work arrays of the polylines, kept across polylines so that a gear with
// thousands of them does not allocate for each.
struct PolylineWork {
  std::vector<double> params, knots, inverse;
  std::vector<StepControlPoint> planar;  // C_i, z unused
  std::vector<StepControlPoint> net;     // P[i][l], i outer
  std::vector<StepControlPoint> placed;  // one point in every section
  std::vector<StepControlPoint> rim;     // a bottom or top curve's control points
  std::string text;
};

// Chord-length parameters of the polyline's points, the last exactly 1.
void ChordParameters(const OutlinePolyline& line, std::vector<double>& u) {
  const size_t m = line.points.size();
  u.assign(m, 0.0);
  for (size_t i = 1; i < m; ++i) {
    const double dx = line.points[i].x - line.points[i - 1].x;
    const double dy = line.points[i].y - line.points[i - 1].y;
    u[i] = u[i - 1] + std::sqrt(dx * dx + dy * dy);
  }
  const double total = m > 0 ? u[m - 1] : 0.0;
  for (size_t i = 1; i < m; ++i) u[i] = total > 0.0 ? u[i] / total : static_cast<double>(i) / (m - 1);
  if (m > 1) u[m - 1] = 1.0;
}

// The end-face curve interpolating the polyline, in the body's own frame: work's
// params, knots and inverse are those of the fit, planar its control points.
// Returns the degree.
int FitEndCurve(const OutlinePolyline& line, PolylineWork& work) {
  const size_t m = line.points.size();
  ChordParameters(line, work.params);
  const int p = InterpolateBSplineCurve(work.params, work.knots, work.inverse);
  work.planar.resize(m);
  for (size_t i = 0; i < m; ++i) {
    const double* row = &work.inverse[i * m];
    double x = 0.0, y = 0.0;
    for (size_t j = 0; j < m; ++j) {
      x += row[j] * line.points[j].x;
      y += row[j] * line.points[j].y;
    }
    work.planar[i] = {x, y, 0.0};
  }
  return p;
}

}  // namespace

double HelicalTwistRate(const GearRecord& body) {
  const double hand = body.hand < 0 ? -1.0 : 1.0;
  return hand * std::tan(body.helixAngle) / body.pitchRadius;
}

int64_t HelicalSectionCount(const GearRecord& body) {
  const double turns = std::fabs(HelicalTwistRate(body) * body.faceWidth) / kTwistPerSection;
  // A twist that is no finite number gives the fewest sections; the fit then
  // meets the non-finite values and marks the file unwritable.
  if (!(turns < 1e12)) return kMinSections;
  const int64_t count = static_cast<int64_t>(std::ceil(turns)) + 1;
  return count < kMinSections ? kMinSections : count;
}

uint64_t EstimateStepControlPoints(const GearRecord& body) {
  if (!(body.helixAngle > 1e-9) || body.isRack != 0) return 0;
  const uint64_t K = static_cast<uint64_t>(HelicalSectionCount(body));
  uint64_t total = 0;
  // Per polyline of m points: its m x K net, its bottom and top curves (m each)
  // and the helical edge of its first vertex (K).
  for (const OutlinePolyline& line : MergeCloseOutlinePoints(body.outline)) {
    const uint64_t m = line.points.size();
    total += m * K + 2 * m + K;
  }
  return total;
}

bool StepFitsEndCurves(const GearRecord& body) { return body.helixAngle > 1e-9 && body.isRack == 0; }

bool StepEndCurvesKeepClear(const GearRecord& body) {
  if (!StepFitsEndCurves(body)) return true;
  const std::vector<OutlinePolyline> outline = MergeCloseOutlinePoints(body.outline);
  // A singular fit marks the file being built; this is no file yet, and its NaN
  // points already fail the check.
  const bool faulty = StepLineList.faulty;
  PolylineWork work;
  std::vector<StepPlanarCurve> curves(outline.size());
  bool fitted = !outline.empty();
  for (size_t s = 0; s < outline.size() && fitted; ++s) {
    fitted = outline[s].points.size() >= 2;
    if (fitted) curves[s] = {FitEndCurve(outline[s], work), work.knots, work.planar};
  }
  StepLineList.faulty = faulty;
  return fitted && StepContourKeepsClear(curves, kStepLengthPrecision);
}

uint64_t WriteStepHelicalSolid(const GearRecord& body, double ox, double oy, double theta) {
  const std::vector<OutlinePolyline>& outline = body.outline;
  const size_t n = outline.size();
  if (n == 0) {
    MarkStepFileFaulty();
    return 0;
  }
  const SectionFrame frame = BuildSectionFrame(body, theta);
  const size_t K = static_cast<size_t>(frame.count);
  const double b = body.faceWidth;

  PolylineWork work;
  work.placed.resize(K);
  std::vector<StepControlPoint> edgePoints(K);
  std::vector<uint64_t> VB(n + 1), VT(n + 1), EH(n + 1);
  std::vector<uint64_t> EB(n), ET(n);

  // First pass: the vertices at both ends and the helical edge of each vertex.
  const double c0 = frame.cosTurn[0], s0 = frame.sinTurn[0];
  const double cK = frame.cosTurn[K - 1], sK = frame.sinTurn[K - 1];
  for (size_t s = 0; s < n; ++s) {
    if (outline[s].points.size() < 2) {
      MarkStepFileFaulty();
      return 0;
    }
    const double X = outline[s].points[0].x, Y = outline[s].points[0].y;
    VB[s] = WriteStepVertexPoint(ox + X * c0 - Y * s0, oy + X * s0 + Y * c0, 0.0);
    VT[s] = WriteStepVertexPoint(ox + X * cK - Y * sK, oy + X * sK + Y * cK, b);
    SweepPoint(frame, ox, oy, X, Y, edgePoints.data(), work.placed);
    const uint64_t curve = WriteStepBSplineFromControlPoints(frame.degree, edgePoints, frame.knots);
    work.text.assign("EDGE_CURVE('',");
    AppendRef(work.text, VB[s]);
    work.text += ',';
    AppendRef(work.text, VT[s]);
    work.text += ',';
    AppendRef(work.text, curve);
    work.text += ",.T.)";
    EH[s] = AddStepEntity(work.text);
  }
  VB[n] = VB[0];
  VT[n] = VT[0];
  EH[n] = EH[0];

  // The knot texts across the face width are the same for every surface.
  FormatKnotVector(frame.knots, frame.knots.size());
  const std::string multV = StepKnotMultiplicitiesText, valuesV = StepKnotValuesText;

  std::string faces;
  faces.reserve(n * 8);
  std::vector<StepPlanarCurve> endCurves(n);
  for (size_t s = 0; s < n; ++s) {
    const OutlinePolyline& line = outline[s];
    const size_t m = line.points.size();
    // The polyline's interpolating curve in the body's frame, then swept.
    const int pU = FitEndCurve(line, work);
    endCurves[s] = {pU, work.knots, work.planar};
    work.net.resize(m * K);
    for (size_t i = 0; i < m; ++i)
      SweepPoint(frame, ox, oy, work.planar[i].x, work.planar[i].y, &work.net[i * K], work.placed);

    // The net's points, row by row, and the list of their references.
    std::string& refs = work.text;
    refs.clear();
    for (size_t i = 0; i < m; ++i) {
      refs += i ? ",(" : "(";
      for (size_t l = 0; l < K; ++l) {
        const StepControlPoint& q = work.net[i * K + l];
        if (l) refs += ',';
        AppendRef(refs, WriteStepCartesianPoint(q.x, q.y, q.z));
      }
      refs += ')';
    }
    FormatKnotVector(work.knots, work.knots.size());
    std::string surface;
    surface.reserve(refs.size() + multV.size() + valuesV.size() + StepKnotValuesText.size() +
                    StepKnotMultiplicitiesText.size() + 128);
    surface += "B_SPLINE_SURFACE_WITH_KNOTS('',";
    AppendDecimal(surface, pU);
    surface += ',';
    AppendDecimal(surface, frame.degree);
    surface += ",(";
    surface += refs;
    surface += "),.UNSPECIFIED.,.F.,.F.,.F.,(";
    surface += StepKnotMultiplicitiesText;
    surface += "),(";
    surface += multV;
    surface += "),(";
    surface += StepKnotValuesText;
    surface += "),(";
    surface += valuesV;
    surface += "),.UNSPECIFIED.)";
    const uint64_t SF = AddStepEntity(surface);

    // Bottom and top curves: the net's first and last rows at exactly 0 and b.
    work.rim.resize(m);
    for (size_t i = 0; i < m; ++i) work.rim[i] = {work.net[i * K].x, work.net[i * K].y, 0.0};
    const uint64_t bottom = WriteStepBSplineFromControlPoints(pU, work.rim, work.knots);
    for (size_t i = 0; i < m; ++i) work.rim[i] = {work.net[i * K + K - 1].x, work.net[i * K + K - 1].y, b};
    const uint64_t top = WriteStepBSplineFromControlPoints(pU, work.rim, work.knots);

    auto edgeCurve = [&](uint64_t from, uint64_t to, uint64_t curve) {
      std::string text = "EDGE_CURVE('',";
      AppendRef(text, from);
      text += ',';
      AppendRef(text, to);
      text += ',';
      AppendRef(text, curve);
      text += ",.T.)";
      return AddStepEntity(text);
    };
    EB[s] = edgeCurve(VB[s], VB[s + 1], bottom);
    ET[s] = edgeCurve(VT[s], VT[s + 1], top);

    const uint64_t o1 = WriteStepOrientedEdge(EB[s], true);
    const uint64_t o2 = WriteStepOrientedEdge(EH[s + 1], true);
    const uint64_t o3 = WriteStepOrientedEdge(ET[s], false);
    const uint64_t o4 = WriteStepOrientedEdge(EH[s], false);
    std::string text = "EDGE_LOOP('',(";
    for (uint64_t o : {o1, o2, o3, o4}) {
      if (o != o1) text += ',';
      AppendRef(text, o);
    }
    text += "))";
    const uint64_t loop = AddStepEntity(text);
    text = "FACE_OUTER_BOUND('',";
    AppendRef(text, loop);
    text += ",.T.)";
    const uint64_t bound = AddStepEntity(text);
    text = "ADVANCED_FACE('',(";
    AppendRef(text, bound);
    text += "),";
    AppendRef(text, SF);
    text += ",.T.)";
    const uint64_t face = AddStepEntity(text);
    if (s) faces += ',';
    AppendRef(faces, face);
  }
  // The end faces hold the curves turned as a whole: clear in the body's frame is
  // clear on both faces.
  if (!StepContourKeepsClear(endCurves, kStepLengthPrecision)) MarkStepFileFaulty();
  return CloseStepGearSolid(body, EB, ET, std::move(faces), ox, oy, theta);
}

}  // namespace kovrex
