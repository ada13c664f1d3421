// Runs the OpenCASCADE test reader (tests/occt/step_check.cpp) on a STEP file and
// parses its lines, so that tests can check what a real CAD kernel makes of the
// files: solids, validity, free edges, volumes, boxes, sections, overlap. Also a
// small hand-made box file whose faces can be flipped or left out, to show that
// the reader without healing sees such faults.
#pragma once

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <fcntl.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace kovrex::test {

struct SectionWire {
  bool closed = false;
  double signedArea = 0.0;
  std::vector<std::pair<double, double>> points;
};

struct CheckedSolid {
  bool valid = false;
  int freeEdges = -1;
  double volume = 0.0;
  double box[6] = {0, 0, 0, 0, 0, 0};  // x0 y0 z0 x1 y1 z1
  bool hasSection = false;
  double sectionArea = 0.0;
  std::vector<SectionWire> wires;
};

struct CheckedRead {
  std::vector<CheckedSolid> solids;
  bool hasCommon = false;
  double common = 0.0;
};

struct StepCheck {
  bool ran = false;  // the reader ran and read the file
  CheckedRead healed;  // STEPControl_Reader with its usual repairs
  CheckedRead raw;     // the solids as written, nothing repaired
  std::string output;
};

inline bool StepCheckAvailable() {
#ifdef KOVREX_STEP_CHECK
  return true;
#else
  return false;
#endif
}

inline void ParseStepCheck(StepCheck& result) {
  std::istringstream in(result.output);
  std::string line;
  CheckedRead* read = nullptr;
  CheckedSolid* solid = nullptr;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string key;
    words >> key;
    if (key == "reader") {
      std::string name;
      words >> name;
      read = name == "raw" ? &result.raw : &result.healed;
      solid = nullptr;
    } else if (!read) {
      continue;
    } else if (key == "solid") {
      read->solids.emplace_back();
      solid = &read->solids.back();
      std::string k;
      size_t index;
      int valid;
      words >> index >> k >> valid >> k >> solid->freeEdges >> k >> solid->volume >> k;
      for (double& v : solid->box) words >> v;
      solid->valid = valid == 1;
    } else if (key == "section" && solid) {
      std::string k;
      int index, wires;
      double z;
      words >> index >> k >> z >> k >> wires >> k >> solid->sectionArea;
      solid->hasSection = true;
    } else if (key == "wire" && solid) {
      SectionWire w;
      std::string k;
      int index, closed;
      size_t j, n;
      words >> index >> j >> k >> closed >> k >> w.signedArea >> k >> n;
      w.closed = closed == 1;
      solid->wires.push_back(w);
    } else if (key == "pt" && solid && !solid->wires.empty()) {
      double x, y;
      words >> x >> y;
      solid->wires.back().points.emplace_back(x, y);
    } else if (key == "common") {
      read->hasCommon = static_cast<bool>(words >> read->common);
    }
  }
}

// Runs the reader on path (no shell: the name may hold any character). extra are
// further arguments ("--section", "5", "--points", "--common").
inline StepCheck RunStepCheck(const std::string& path, const std::vector<std::string>& extra = {}) {
  StepCheck result;
#ifdef KOVREX_STEP_CHECK
  const std::string outPath = path + ".check.txt";
  std::vector<std::string> args = {KOVREX_STEP_CHECK, path};
  args.insert(args.end(), extra.begin(), extra.end());
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  if (rc == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0)
    result.ran = true;
  std::ifstream in(outPath);
  std::stringstream text;
  text << in.rdbuf();
  result.output = text.str();
  std::remove(outPath.c_str());
  ParseStepCheck(result);
#else
  (void)path;
  (void)extra;
#endif
  return result;
}

// Both reads of an exported file (default and without healing) hold `solids`
// closed valid solids with a volume.
inline void ExpectValidSolidsBothReads(const StepCheck& check, size_t solids) {
  ASSERT_TRUE(check.ran) << check.output;
  for (const CheckedRead* read : {&check.healed, &check.raw}) {
    SCOPED_TRACE(read == &check.raw ? "without healing" : "default reader");
    ASSERT_EQ(read->solids.size(), solids) << check.output;
    for (const CheckedSolid& s : read->solids) {
      EXPECT_TRUE(s.valid) << check.output;
      EXPECT_EQ(s.freeEdges, 0) << check.output;
      EXPECT_GT(s.volume, 0.0) << check.output;
    }
  }
}

// A 10 mm cube at the origin as a complete AP214 file; flipFace turns one face
// inside out (its loop reversed, its sense .F.), dropFace leaves one out (-1: none).
inline std::string MakeBoxStep(int flipFace = -1, int dropFace = -1) {
  std::vector<std::string> lines;
  auto add = [&](const std::string& text) {
    lines.push_back(text);
    return "#" + std::to_string(lines.size());
  };
  add("APPLICATION_CONTEXT('automotive design')");
  add("APPLICATION_PROTOCOL_DEFINITION('international standard','automotive_design',2000,#1)");
  add("PRODUCT_CONTEXT('',#1,'mechanical')");
  add("PRODUCT('box','box','',(#3))");
  add("PRODUCT_DEFINITION_FORMATION('','',#4)");
  add("PRODUCT_DEFINITION_CONTEXT('part definition',#1,'design')");
  add("PRODUCT_DEFINITION('design','',#5,#6)");
  const std::string shape = add("PRODUCT_DEFINITION_SHAPE('','',#7)");
  add("(LENGTH_UNIT()NAMED_UNIT(*)SI_UNIT(.MILLI.,.METRE.))");
  add("(NAMED_UNIT(*)PLANE_ANGLE_UNIT()SI_UNIT($,.RADIAN.))");
  add("(NAMED_UNIT(*)SI_UNIT($,.STERADIAN.)SOLID_ANGLE_UNIT())");
  add("UNCERTAINTY_MEASURE_WITH_UNIT(LENGTH_MEASURE(1.E-06),#9,'distance_accuracy_value','')");
  const std::string context = add(
      "(GEOMETRIC_REPRESENTATION_CONTEXT(3)GLOBAL_UNCERTAINTY_ASSIGNED_CONTEXT((#12))"
      "GLOBAL_UNIT_ASSIGNED_CONTEXT((#9,#10,#11))REPRESENTATION_CONTEXT('',''))");
  auto coord = [](int v, int bit) { return (v >> bit & 1) ? std::string("10.") : std::string("0."); };
  std::string points[8], vertices[8];
  for (int v = 0; v < 8; ++v) {
    points[v] = add("CARTESIAN_POINT('',(" + coord(v, 0) + "," + coord(v, 1) + "," + coord(v, 2) + "))");
    vertices[v] = add("VERTEX_POINT(''," + points[v] + ")");
  }
  std::map<std::pair<int, int>, std::string> edges;  // from the lower to the higher vertex
  auto edge = [&](int a, int b) {
    const std::pair<int, int> key(std::min(a, b), std::max(a, b));
    auto found = edges.find(key);
    if (found != edges.end()) return found->second;
    const int lo = key.first, hi = key.second, bit = (hi - lo) == 1 ? 0 : (hi - lo) == 2 ? 1 : 2;
    const std::string dir = add(std::string("DIRECTION('',(") + (bit == 0 ? "1." : "0.") + "," +
                                (bit == 1 ? "1." : "0.") + "," + (bit == 2 ? "1." : "0.") + "))");
    const std::string vec = add("VECTOR(''," + dir + ",10.)");
    const std::string line = add("LINE(''," + points[lo] + "," + vec + ")");
    return edges[key] = add("EDGE_CURVE(''," + vertices[lo] + "," + vertices[hi] + "," + line + ",.T.)");
  };
  // Outer loops counter-clockwise seen from outside, with the outward normal.
  const int loops[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  const char* normals[6] = {"0.,0.,-1.", "0.,0.,1.", "0.,-1.,0.", "0.,1.,0.", "-1.,0.,0.", "1.,0.,0."};
  const char* refs[6] = {"1.,0.,0.", "1.,0.,0.", "1.,0.,0.", "1.,0.,0.", "0.,1.,0.", "0.,1.,0."};
  std::string faces;
  for (int f = 0; f < 6; ++f) {
    if (f == dropFace) continue;
    int loop[4] = {loops[f][0], loops[f][1], loops[f][2], loops[f][3]};
    if (f == flipFace) std::swap(loop[1], loop[3]);
    std::string oriented;
    for (int i = 0; i < 4; ++i) {
      const int a = loop[i], b = loop[(i + 1) % 4];
      const std::string e = edge(a, b);
      oriented += (i ? "," : "") + add("ORIENTED_EDGE('',*,*," + e + (a < b ? ",.T.)" : ",.F.)"));
    }
    const std::string el = add("EDGE_LOOP('',(" + oriented + "))");
    const std::string bound = add("FACE_OUTER_BOUND(''," + el + ",.T.)");
    const std::string n = add(std::string("DIRECTION('',(") + normals[f] + "))");
    const std::string r = add(std::string("DIRECTION('',(") + refs[f] + "))");
    const std::string a = add("AXIS2_PLACEMENT_3D(''," + points[loops[f][0]] + "," + n + "," + r + ")");
    const std::string plane = add("PLANE(''," + a + ")");
    faces += (faces.empty() ? "" : ",") +
             add("ADVANCED_FACE('',(" + bound + ")," + plane + (f == flipFace ? ",.F.)" : ",.T.)"));
  }
  const std::string shell = add("CLOSED_SHELL('',(" + faces + "))");
  const std::string solid = add("MANIFOLD_SOLID_BREP('box'," + shell + ")");
  const std::string rep = add("ADVANCED_BREP_SHAPE_REPRESENTATION('box',(" + solid + ")," + context + ")");
  add("SHAPE_DEFINITION_REPRESENTATION(" + shape + "," + rep + ")");
  std::string text =
      "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION((''),'2;1');\n"
      "FILE_NAME('box.stp','2026-01-01T00:00:00',(''),(''),'','','');\n"
      "FILE_SCHEMA(('AUTOMOTIVE_DESIGN { 1 0 10303 214 1 1 1 1 }'));\nENDSEC;\nDATA;\n";
  for (size_t i = 0; i < lines.size(); ++i) text += "#" + std::to_string(i + 1) + "=" + lines[i] + ";\n";
  return text + "ENDSEC;\nEND-ISO-10303-21;\n";
}

}  // namespace kovrex::test
