// Readers of binary STL bytes for the tests: the file layout, a mesh check of the
// tests' own on the float32 vertices as written (edge pairing, facets of exactly
// zero area and slivers thinner than the floats resolve, volume and Euler
// characteristic per connected part), and admesh as the outside reader, run on a
// regular file under timeout.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <numeric>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace kovrex::test {

struct StlFacet {
  std::array<float, 3> normal;
  std::array<std::array<float, 3>, 3> v;
};

struct StlFile {
  bool parsed = false;
  std::string header;
  uint32_t count = 0;
  std::vector<StlFacet> facets;
};

inline uint32_t ReadU32(const std::string& b, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

inline float ReadF32(const std::string& b, size_t at) {
  const uint32_t u = ReadU32(b, at);
  float f;
  std::memcpy(&f, &u, 4);
  return f;
}

inline StlFile ParseStl(const std::string& bytes) {
  StlFile f;
  if (bytes.size() < 84) return f;
  f.header = bytes.substr(0, 80);
  f.count = ReadU32(bytes, 80);
  if (bytes.size() != 84 + 50ull * f.count) return f;
  f.facets.resize(f.count);
  for (uint32_t i = 0; i < f.count; ++i) {
    const size_t at = 84 + 50ull * i;
    for (int k = 0; k < 3; ++k) f.facets[i].normal[k] = ReadF32(bytes, at + 4 * k);
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 3; ++k) f.facets[i].v[j][k] = ReadF32(bytes, at + 12 + 12 * j + 4 * k);
    if (bytes[at + 48] != 0 || bytes[at + 49] != 0) return f;
  }
  f.parsed = true;
  return f;
}

// Exact arithmetic on the floats of a facet, so that "zero area" means zero and not
// a product that double rounding sent to zero or away from it. A number is held as
// an expansion: doubles that do not overlap, whose exact sum is its value
// (Shewchuk's TwoSum and TwoProduct, the product's error by fma).
using Expansion = std::vector<double>;

inline void TwoSum(double a, double b, double& sum, double& error) {
  sum = a + b;
  const double bv = sum - a, av = sum - bv;
  error = (a - av) + (b - bv);
}

// The expansion plus one double, still exact.
inline void GrowExpansion(Expansion& e, double b) {
  double q = b;
  Expansion out;
  for (double h : e) {
    double sum, error;
    TwoSum(q, h, sum, error);
    if (error != 0.0) out.push_back(error);
    q = sum;
  }
  if (q != 0.0) out.push_back(q);
  e.swap(out);
}

// a * b - c * d of exact expansions, as an expansion.
inline Expansion CrossTerm(const Expansion& a, const Expansion& b, const Expansion& c, const Expansion& d) {
  Expansion e;
  for (double x : a)
    for (double y : b) {
      const double p = x * y;
      GrowExpansion(e, p);
      GrowExpansion(e, std::fma(x, y, -p));
    }
  for (double x : c)
    for (double y : d) {
      const double p = -x * y;
      GrowExpansion(e, p);
      GrowExpansion(e, std::fma(-x, y, -p));
    }
  return e;
}

// True when the facet's three vertices, as the file's floats hold them, lie on
// one line (or coincide): its cross product is exactly zero.
inline bool FacetHasZeroArea(const std::array<std::array<float, 3>, 3>& v) {
  Expansion u[3], w[3];
  for (int k = 0; k < 3; ++k) {
    double sum, error;
    TwoSum(double(v[1][k]), -double(v[0][k]), sum, error);
    u[k] = {error, sum};
    TwoSum(double(v[2][k]), -double(v[0][k]), sum, error);
    w[k] = {error, sum};
  }
  // An expansion grown without zeros is zero only when it is empty.
  return CrossTerm(u[1], w[2], u[2], w[1]).empty() && CrossTerm(u[2], w[0], u[0], w[2]).empty() &&
         CrossTerm(u[0], w[1], u[1], w[0]).empty();
}

// Spacing of the floats at the facet's largest coordinate: its vertices are held no
// finer than this.
inline double FloatStepOf(const std::array<std::array<float, 3>, 3>& v) {
  float largest = 0.0f;
  for (const auto& p : v)
    for (float c : p) largest = std::max(largest, std::fabs(c));
  return double(std::nextafter(largest, INFINITY)) - double(largest);
}

// Smallest altitude of the facet (twice its area over its longest edge).
inline double FacetThickness(const std::array<std::array<float, 3>, 3>& v) {
  double e[3][3], longest = 0.0;
  for (int j = 0; j < 3; ++j) {
    for (int k = 0; k < 3; ++k) e[j][k] = double(v[(j + 1) % 3][k]) - double(v[j][k]);
    longest = std::max(longest, std::sqrt(e[j][0] * e[j][0] + e[j][1] * e[j][1] + e[j][2] * e[j][2]));
  }
  const double nx = e[0][1] * e[1][2] - e[0][2] * e[1][1], ny = e[0][2] * e[1][0] - e[0][0] * e[1][2],
               nz = e[0][0] * e[1][1] - e[0][1] * e[1][0];
  return longest > 0.0 ? std::sqrt(nx * nx + ny * ny + nz * nz) / longest : 0.0;
}

struct MeshPart {
  int64_t euler = 0;  // V - E + F
  double volume = 0.0;
  int64_t facets = 0;
};

struct MeshFacts {
  int64_t unpairedEdges = 0;    // a directed edge whose reverse is missing
  int64_t repeatedEdges = 0;    // a directed edge used more than once
  int64_t degenerateFacets = 0; // zero area on the float vertices, exactly
  int64_t thinFacets = 0;       // thinner than the float spacing where they stand
  std::vector<MeshPart> parts;  // by connected vertices, in order of first facet
  std::vector<std::array<double, 3>> vertices;
};

// Vertices are the same when their three floats are equal, as a reader sees them.
inline MeshFacts CheckMesh(const StlFile& file) {
  MeshFacts facts;
  std::map<std::array<float, 3>, int64_t> ids;
  std::vector<std::array<int64_t, 3>> tri;
  tri.reserve(file.facets.size());
  for (const StlFacet& f : file.facets) {
    std::array<int64_t, 3> t{};
    for (int j = 0; j < 3; ++j) {
      auto [it, fresh] = ids.emplace(f.v[j], static_cast<int64_t>(ids.size()));
      if (fresh) facts.vertices.push_back({f.v[j][0], f.v[j][1], f.v[j][2]});
      t[j] = it->second;
    }
    tri.push_back(t);
    if (FacetHasZeroArea(f.v))
      ++facts.degenerateFacets;
    else if (FacetThickness(f.v) < FloatStepOf(f.v))
      ++facts.thinFacets;
  }
  const int64_t nv = static_cast<int64_t>(ids.size());
  std::vector<int64_t> parent(static_cast<size_t>(nv));
  std::iota(parent.begin(), parent.end(), 0);
  auto find = [&](int64_t a) {
    while (parent[a] != a) a = parent[a] = parent[parent[a]];
    return a;
  };
  std::map<std::pair<int64_t, int64_t>, int> directed;
  for (const auto& t : tri) {
    for (int j = 0; j < 3; ++j) {
      ++directed[{t[j], t[(j + 1) % 3]}];
      parent[find(t[j])] = find(t[(j + 1) % 3]);
    }
  }
  for (const auto& [edge, uses] : directed) {
    if (uses > 1) facts.repeatedEdges += uses - 1;
    if (!directed.count({edge.second, edge.first})) ++facts.unpairedEdges;
  }
  std::map<int64_t, size_t> partOf;
  std::vector<int64_t> partVertices;
  std::vector<std::map<std::pair<int64_t, int64_t>, int>> partEdges;
  for (size_t i = 0; i < tri.size(); ++i) {
    const int64_t root = find(tri[i][0]);
    auto [it, fresh] = partOf.emplace(root, facts.parts.size());
    if (fresh) facts.parts.emplace_back();
    MeshPart& part = facts.parts[it->second];
    ++part.facets;
    const auto& a = facts.vertices[tri[i][0]];
    const auto& b = facts.vertices[tri[i][1]];
    const auto& c = facts.vertices[tri[i][2]];
    part.volume += (a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) +
                    a[2] * (b[0] * c[1] - b[1] * c[0])) /
                   6.0;
  }
  // Euler characteristic per part: vertices and undirected edges of its facets.
  std::vector<int64_t> verticesIn(facts.parts.size(), 0), edgesIn(facts.parts.size(), 0);
  for (int64_t v = 0; v < nv; ++v) {
    auto it = partOf.find(find(v));
    if (it != partOf.end()) ++verticesIn[it->second];
  }
  for (const auto& [edge, uses] : directed) {
    if (edge.first < edge.second || !directed.count({edge.second, edge.first}))
      ++edgesIn[partOf[find(edge.first)]];
  }
  for (size_t p = 0; p < facts.parts.size(); ++p)
    facts.parts[p].euler = verticesIn[p] - edgesIn[p] + facts.parts[p].facets;
  return facts;
}

struct AdmeshFacts {
  bool ran = false;
  int64_t facets = -1, parts = -1, degenerate = -1, disconnected = -1, edgesFixed = -1, facetsRemoved = -1,
          facetsAdded = -1, facetsReversed = -1, backwardsEdges = -1;
  double volume = -1.0;
  std::string output;
};

inline int64_t AdmeshNumber(const std::string& out, const std::string& label, size_t column = 0) {
  const size_t at = out.find(label);
  if (at == std::string::npos) return -1;
  const size_t colon = out.find(':', at);
  long long a = -1, b = -1;
  if (std::sscanf(out.c_str() + colon + 1, "%lld %lld", &a, &b) < 1) return -1;
  return column == 0 ? a : b;
}

// admesh loops on some broken files, so it always runs under timeout; it is given
// a regular file because it seeks.
inline AdmeshFacts RunAdmesh(const std::string& bytes, const std::string& name) {
  AdmeshFacts facts;
  const std::string path = ::testing::TempDir() + "kovrex_" + name + ".stl";
  {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  const std::string command = "timeout 60 admesh '" + path + "' 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return facts;
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) facts.output.append(buffer, got);
  facts.ran = pclose(pipe) == 0;
  std::remove(path.c_str());
  facts.facets = AdmeshNumber(facts.output, "Number of facets", 1);
  facts.disconnected = AdmeshNumber(facts.output, "Total disconnected facets", 1);
  facts.parts = AdmeshNumber(facts.output, "Number of parts");
  facts.degenerate = AdmeshNumber(facts.output, "Degenerate facets");
  facts.edgesFixed = AdmeshNumber(facts.output, "Edges fixed");
  facts.facetsRemoved = AdmeshNumber(facts.output, "Facets removed");
  facts.facetsAdded = AdmeshNumber(facts.output, "Facets added");
  facts.facetsReversed = AdmeshNumber(facts.output, "Facets reversed");
  facts.backwardsEdges = AdmeshNumber(facts.output, "Backwards edges");
  const size_t at = facts.output.find("Volume   :");
  if (at != std::string::npos) facts.volume = std::atof(facts.output.c_str() + at + 10);
  return facts;
}

inline std::vector<std::array<double, 3>> PartVertices(const StlFile& f, size_t begin, size_t end) {
  std::set<std::array<float, 3>> seen;
  std::vector<std::array<double, 3>> out;
  for (size_t i = begin; i < end; ++i)
    for (const auto& v : f.facets[i].v)
      if (seen.insert(v).second) out.push_back({v[0], v[1], v[2]});
  return out;
}

// No vertex of one body at z = 0 lies inside a bottom facet of the other.
inline int64_t VerticesInside(const StlFile& f, size_t aBegin, size_t aEnd, size_t bBegin, size_t bEnd) {
  std::vector<const StlFacet*> bottom;
  for (size_t i = bBegin; i < bEnd; ++i) {
    const auto& t = f.facets[i];
    if (t.v[0][2] == 0.0f && t.v[1][2] == 0.0f && t.v[2][2] == 0.0f) bottom.push_back(&t);
  }
  int64_t inside = 0;
  for (const auto& p : PartVertices(f, aBegin, aEnd)) {
    if (p[2] != 0.0) continue;
    for (const StlFacet* t : bottom) {
      double s[3];
      for (int j = 0; j < 3; ++j) {
        const auto& a = t->v[j];
        const auto& c = t->v[(j + 1) % 3];
        s[j] = (double(c[0]) - a[0]) * (p[1] - a[1]) - (double(c[1]) - a[1]) * (p[0] - a[0]);
      }
      // Bottom facets run clockwise from above: strictly inside means all negative.
      if (s[0] < -1e-9 && s[1] < -1e-9 && s[2] < -1e-9) {
        ++inside;
        break;
      }
    }
  }
  return inside;
}

// The checks every closed STL of `parts` bodies must pass in admesh.
inline void ExpectAdmeshClean(const std::string& bytes, const std::string& name, int64_t parts) {
  const AdmeshFacts a = RunAdmesh(bytes, name);
  ASSERT_TRUE(a.ran) << a.output;
  EXPECT_EQ(a.facets, static_cast<int64_t>((bytes.size() - 84) / 50)) << name;
  EXPECT_EQ(a.parts, parts) << name;
  EXPECT_EQ(a.degenerate, 0) << name;
  EXPECT_EQ(a.disconnected, 0) << name;
  EXPECT_EQ(a.edgesFixed, 0) << name;
  EXPECT_EQ(a.facetsRemoved, 0) << name;
  EXPECT_EQ(a.facetsAdded, 0) << name;
  EXPECT_EQ(a.facetsReversed, 0) << name;
  EXPECT_EQ(a.backwardsEdges, 0) << name;
}

// Every check a written STL of `bodies` closed bodies must pass: our mesh check on
// the floats as written (each edge once in each direction, no facet of zero area,
// one part of positive volume per body) and admesh.
inline void ExpectCleanStl(const std::string& bytes, int bodies, const std::string& name) {
  const StlFile file = ParseStl(bytes);
  ASSERT_TRUE(file.parsed) << bytes.size() << " bytes";
  const MeshFacts facts = CheckMesh(file);
  EXPECT_EQ(facts.unpairedEdges, 0);
  EXPECT_EQ(facts.repeatedEdges, 0);
  EXPECT_EQ(facts.degenerateFacets, 0);
  EXPECT_EQ(facts.thinFacets, 0);
  EXPECT_EQ(facts.parts.size(), static_cast<size_t>(bodies));
  for (const MeshPart& part : facts.parts) EXPECT_GT(part.volume, 0.0);
  ExpectAdmeshClean(bytes, name, bodies);
}

}  // namespace kovrex::test
