// Entity list, counter and the small entity writers of the STEP solids.
#include "export/step_entities.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "numbers/number_text.h"

namespace kovrex {

StepEntityLines StepLineList;
uint64_t StepEntityCounter = 0;

namespace {

void AppendDecimal(std::string& text, uint64_t n) {
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
  text.append(buffer, result.ptr);
}

}  // namespace

void ResetStepEntities() {
  std::string().swap(StepLineList.text);
  StepLineList.faulty = false;
  StepEntityCounter = 0;
}

void MarkStepFileFaulty() { StepLineList.faulty = true; }

std::string FormatStepRealChecked(double value) {
  if (!std::isfinite(value)) {
    MarkStepFileFaulty();
    return "0.000000";
  }
  return FormatStepReal(value);
}

namespace {

double DirectionScale(double x, double y, double z) {
  auto printsExactly = [](double v) {
    const double micro = v * 1e6;
    return std::fabs(micro - std::nearbyint(micro)) < 1e-6;
  };
  return printsExactly(x) && printsExactly(y) && printsExactly(z) ? 1.0 : 1e6;
}

// The number a reader takes from `text`: the double nearest to its decimal value.
// Rounding the scaled value instead (nearbyint(v * 1e6) / 1e6) rounds twice and
// sends ties to even, and on a radius such as 10.0000005 it lands one unit of the
// last decimal away from the text the file holds.
double ReadBack(const std::string& text, double value) {
  double read = 0.0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), read);
  return result.ec == std::errc() ? read : value;
}

}  // namespace

double StepRoundedAsWritten(double value) {
  return std::isfinite(value) ? ReadBack(FormatStepReal(value), value) : value;
}

double StepRoundedFine(double value) {
  return std::isfinite(value) ? ReadBack(FormatStepRealFine(value), value) : value;
}

std::string FormatStepDirectionRatios(double x, double y) {
  const double k = DirectionScale(x, y, 0.0);
  return FormatStepRealChecked(x * k) + "," + FormatStepRealChecked(y * k) + ",0.";
}

std::string FormatStepDirectionRatios(double x, double y, double z) {
  const double k = DirectionScale(x, y, z);
  return FormatStepRealChecked(x * k) + "," + FormatStepRealChecked(y * k) + "," + FormatStepRealChecked(z * k);
}

uint64_t AddStepEntity(std::string_view text) {
  uint64_t n = ++StepEntityCounter;
  std::string& lines = StepLineList.text;
  lines.push_back('#');
  AppendDecimal(lines, n);
  lines.push_back('=');
  lines.append(text);
  lines.append(";\n");
  return n;
}

std::string FormatStepRef(uint64_t n) {
  std::string text = "#";
  AppendDecimal(text, n);
  return text;
}

void AppendStepRef(std::string& list, uint64_t n) {
  if (!list.empty()) list.push_back(',');
  list.push_back('#');
  AppendDecimal(list, n);
}

// The most frequent entity of a gear file: written straight into the list, without
// a text of its own.
uint64_t WriteStepCartesianPoint(double x, double y, double z) {
  uint64_t n = ++StepEntityCounter;
  std::string& lines = StepLineList.text;
  lines.push_back('#');
  AppendDecimal(lines, n);
  lines.append("=CARTESIAN_POINT('',(");
  lines.append(FormatStepRealChecked(x));
  lines.push_back(',');
  lines.append(FormatStepRealChecked(y));
  lines.push_back(',');
  lines.append(FormatStepRealChecked(z));
  lines.append("));\n");
  return n;
}

uint64_t WriteStepCartesianPointFine(double x, double y, double z) {
  auto fine = [](double v) {
    if (std::isfinite(v)) return FormatStepRealFine(v);
    return FormatStepRealChecked(v);  // marks the file faulty
  };
  return AddStepEntity("CARTESIAN_POINT('',(" + fine(x) + "," + fine(y) + "," + FormatStepRealChecked(z) + "))");
}

uint64_t WriteStepVertexPoint(double x, double y, double z) {
  uint64_t p = WriteStepCartesianPoint(x, y, z);
  return AddStepEntity("VERTEX_POINT(''," + FormatStepRef(p) + ")");
}

uint64_t WriteStepAxisPlacement(uint64_t axis, uint64_t refDirection, double x, double y, double z) {
  uint64_t p = WriteStepCartesianPoint(x, y, z);
  return AddStepEntity("AXIS2_PLACEMENT_3D(''," + FormatStepRef(p) + "," + FormatStepRef(axis) + "," +
                       FormatStepRef(refDirection) + ")");
}

uint64_t WriteStepOrientedEdge(uint64_t edge, bool sameSense) {
  return AddStepEntity("ORIENTED_EDGE('',*,*," + FormatStepRef(edge) + (sameSense ? ",.T.)" : ",.F.)"));
}

void WriteStepCircleEdges(uint64_t axis, uint64_t refDirection, StepCircleEdges& record, double cx, double cy,
                          double cz, double r) {
  // Sums of six-decimal numbers print exactly with six decimals.
  const double x = StepRoundedAsWritten(cx), rw = StepRoundedAsWritten(r);
  record.point1 = WriteStepCartesianPoint(x + rw, cy, cz);
  record.vertex1 = AddStepEntity("VERTEX_POINT(''," + FormatStepRef(record.point1) + ")");
  record.point2 = WriteStepCartesianPoint(x - rw, cy, cz);
  record.vertex2 = AddStepEntity("VERTEX_POINT(''," + FormatStepRef(record.point2) + ")");
  uint64_t a = WriteStepAxisPlacement(axis, refDirection, cx, cy, cz);
  uint64_t c = AddStepEntity("CIRCLE(''," + FormatStepRef(a) + "," + FormatStepRealChecked(r) + ")");
  std::string v1 = FormatStepRef(record.vertex1), v2 = FormatStepRef(record.vertex2), cr = FormatStepRef(c);
  record.edge1 = AddStepEntity("EDGE_CURVE(''," + v1 + "," + v2 + "," + cr + ",.T.)");
  record.edge2 = AddStepEntity("EDGE_CURVE(''," + v2 + "," + v1 + "," + cr + ",.T.)");
}

std::string WriteStepCircleLoop(const StepCircleEdges& record, bool forward) {
  uint64_t o1 = forward ? WriteStepOrientedEdge(record.edge1, true) : WriteStepOrientedEdge(record.edge2, false);
  uint64_t o2 = forward ? WriteStepOrientedEdge(record.edge2, true) : WriteStepOrientedEdge(record.edge1, false);
  return FormatStepRef(AddStepEntity("EDGE_LOOP('',(" + FormatStepRef(o1) + "," + FormatStepRef(o2) + "))"));
}

namespace {

std::string WriteBoreEdgeLoop(const StepBoreLoop& loop, bool reversed) {
  std::string refs;
  int n = loop.count < 0 ? 0 : (loop.count > 4 ? 4 : loop.count);
  for (int k = 0; k < n; ++k) {
    int i = reversed ? n - 1 - k : k;
    AppendStepRef(refs, WriteStepOrientedEdge(loop.edge[i], !reversed));
  }
  return FormatStepRef(AddStepEntity("EDGE_LOOP('',(" + refs + "))"));
}

}  // namespace

std::string WriteStepEdgeLoop(const StepBoreLoop& loop) { return WriteBoreEdgeLoop(loop, false); }

std::string WriteStepEdgeLoopReversed(const StepBoreLoop& loop) { return WriteBoreEdgeLoop(loop, true); }

}  // namespace kovrex
