// The entity list of the STEP file being built and the small writers every STEP
// solid is made of: points, vertices, placements, oriented edges, full circles and
// edge loops. Each writer appends its entity lines bottom-up, so a reference always
// points to an entity written before it. Not for: the file frame (step_writer) or
// whole solids (step_body, step_extruded, step_prism_closure, step_helical).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kovrex {

// Finished entity lines "#n=text;" in creation order, each ended by a line feed,
// kept as one text so that a large solid is not millions of small strings.
// WriteStepFile puts the file's header in front of the first line, so that the
// finished file is this one text.
struct StepEntityLines {
  std::string text;
  // Set when a number that no file may hold (NaN, infinity) was formatted, a fit
  // was singular or an outline was empty: the file is then not written at all.
  bool faulty = false;
};

// The one list of the STEP writers, and the number of its last entity.
extern StepEntityLines StepLineList;
extern uint64_t StepEntityCounter;

// Empties the list, clears its fault and sets the counter to 0: the next entity is
// #1. Also releases the memory of a large earlier file.
void ResetStepEntities();

// Marks the file being built as unwritable.
void MarkStepFileFaulty();

// FormatStepReal for file text: a non-finite value marks the file faulty, so that
// "NaN" or "+Infinity" can never reach a file that is reported as written.
std::string FormatStepRealChecked(double value);

// The ratios of a DIRECTION, "x,y,z" ("x,y,0." for a direction in the xy plane).
// A unit vector printed with six decimals turns a line or a plane by up to 1e-6
// rad: at the far end of a 10 mm flank that is 1e-5 mm, ten times the precision the
// file declares, and a reader that does not heal finds the edges off their faces.
// STEP normalises direction ratios, so a unit vector that does not print exactly
// is written scaled by 10^6, which keeps twelve significant digits.
std::string FormatStepDirectionRatios(double x, double y);
std::string FormatStepDirectionRatios(double x, double y, double z);

// A coordinate as the file holds it: read back from its six-decimal text, so that
// it is the very value a reader takes from the file. A line or a plane through
// written points takes its direction from these, not from the exact values: the
// points of a tilted flank, each rounded by up to 5e-7 mm, then still lie on the
// plane and the line still ends in its vertex, within the file's 1e-6 mm. Vertices
// on a circle come from its centre and radius read back so.
double StepRoundedAsWritten(double value);

// A coordinate as a fine point holds it: read back from FormatStepRealFine's text.
double StepRoundedFine(double value);

// Appends "#n=text;" with n = counter + 1 and returns n.
uint64_t AddStepEntity(std::string_view text);

// "#n".
std::string FormatStepRef(uint64_t n);

// Appends "#n" to a list of references joined by "," (a face list, a loop).
void AppendStepRef(std::string& list, uint64_t n);

// One full circle: two vertices at angle 0 and pi, two half edges on one CIRCLE,
// edge1 from vertex1 over +y to vertex2, edge2 back over -y.
struct StepCircleEdges {
  uint64_t vertex1 = 0;
  uint64_t vertex2 = 0;
  uint64_t edge1 = 0;
  uint64_t edge2 = 0;
  uint64_t point1 = 0;
  uint64_t point2 = 0;
};

// A closed outline of 2 or 4 edges in one plane (the bore, with or without its
// keyway). Edge i runs from vertex i to vertex (i + 1) mod count; x and y are the
// vertex positions in the file's frame.
struct StepBoreLoop {
  int count = 0;
  uint64_t vertex[4] = {0, 0, 0, 0};
  uint64_t point[4] = {0, 0, 0, 0};
  uint64_t edge[4] = {0, 0, 0, 0};
  int isArc[4] = {0, 0, 0, 0};
  double x[4] = {0.0, 0.0, 0.0, 0.0};
  double y[4] = {0.0, 0.0, 0.0, 0.0};
};

uint64_t WriteStepCartesianPoint(double x, double y, double z);
// A point whose x and y carry ten decimals: one on a circle or a cylinder at an
// angle other than 0 or pi, which six decimals would leave off it by more than the
// 1e-7 mm a kernel that does not heal allows between a vertex and its curve.
uint64_t WriteStepCartesianPointFine(double x, double y, double z);
uint64_t WriteStepVertexPoint(double x, double y, double z);
// Point at (x, y, z), then the placement with the given axis and reference
// direction entities.
uint64_t WriteStepAxisPlacement(uint64_t axis, uint64_t refDirection, double x, double y, double z);
uint64_t WriteStepOrientedEdge(uint64_t edge, bool sameSense);

// Full circle of radius r about (cx, cy, cz) in the plane of the placement; the
// parameter runs counter-clockwise about axis from refDirection. Its two vertices
// are the centre and radius as written plus and minus the radius: exactly on the
// circle, also when the centre does not print exactly.
void WriteStepCircleEdges(uint64_t axis, uint64_t refDirection, StepCircleEdges& record, double cx, double cy,
                          double cz, double r);

// Loop of the circle's two edges: forward runs along the circle's sense,
// otherwise against it. Returns "#loop".
std::string WriteStepCircleLoop(const StepCircleEdges& record, bool forward);

// Loop of the bore edges in their own direction, or all reversed. Return "#loop".
std::string WriteStepEdgeLoop(const StepBoreLoop& loop);
std::string WriteStepEdgeLoopReversed(const StepBoreLoop& loop);

}  // namespace kovrex
