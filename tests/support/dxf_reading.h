// Reading exported DXF files back in the tests: a small parser of the group-code
// pairs for checks on exact texts and counts, and the outside reader (ezdxf with
// shapely, tests/readers/dxf_check.py under /usr/bin/python3) for what a CAD
// program would make of the file. Header-only, for any test executable.
#pragma once

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace kovrex::test {

struct DxfEntity {
  std::string type;
  std::vector<std::pair<int, std::string>> groups;  // in file order, without the leading 0
  std::vector<std::array<double, 2>> vertices;      // POLYLINE: its VERTEX points
  std::string Value(int code) const {
    for (const auto& g : groups)
      if (g.first == code) return g.second;
    return "";
  }
  double Number(int code) const { return std::stod(Value(code)); }
};

struct DxfFile {
  std::vector<std::string> lines;  // without CR LF
  bool allLinesEndInCrLf = true;
  std::vector<DxfEntity> entities;  // of the ENTITIES section; VERTEX and SEQEND folded into POLYLINE
  std::vector<const DxfEntity*> OfType(const std::string& type) const {
    std::vector<const DxfEntity*> out;
    for (const DxfEntity& e : entities)
      if (e.type == type) out.push_back(&e);
    return out;
  }
};

inline DxfFile ParseDxf(const std::string& bytes) {
  DxfFile f;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t lf = bytes.find('\n', start);
    if (lf == std::string::npos || lf == start || bytes[lf - 1] != '\r') {
      f.allLinesEndInCrLf = false;
      if (lf == std::string::npos) {
        f.lines.push_back(bytes.substr(start));
        break;
      }
      f.lines.push_back(bytes.substr(start, lf - start));
    } else {
      f.lines.push_back(bytes.substr(start, lf - 1 - start));
    }
    start = lf + 1;
  }
  bool inEntities = false;
  DxfEntity* polyline = nullptr;
  DxfEntity vertex;
  for (size_t i = 0; i + 1 < f.lines.size(); i += 2) {
    const int code = std::stoi(f.lines[i]);
    const std::string& value = f.lines[i + 1];
    if (code == 0) {
      if (vertex.type == "VERTEX" && polyline != nullptr)
        polyline->vertices.push_back({vertex.Number(10), vertex.Number(20)});
      vertex = DxfEntity();
      if (value == "VERTEX") {
        vertex.type = value;
        continue;
      }
      if (value == "SEQEND") {
        polyline = nullptr;
        vertex.type = value;
        continue;
      }
      if (value == "ENDSEC") inEntities = false;
      if (inEntities) {
        f.entities.push_back({value, {}, {}});
        if (value == "POLYLINE") polyline = &f.entities.back();
      }
      continue;
    }
    if (code == 2 && value == "ENTITIES") inEntities = true;
    if (!vertex.type.empty()) {
      vertex.groups.push_back({code, value});
    } else if (inEntities && !f.entities.empty()) {
      f.entities.back().groups.push_back({code, value});
    }
  }
  return f;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// One line of the reader's report, split at blanks.
using ReaderLine = std::vector<std::string>;

struct DxfReaderReport {
  bool ran = false;
  std::string text;
  std::vector<ReaderLine> lines;
  std::vector<ReaderLine> Of(const std::string& key) const {
    std::vector<ReaderLine> out;
    for (const ReaderLine& l : lines)
      if (!l.empty() && l[0] == key) out.push_back(l);
    return out;
  }
};

// Every file in one run of the reader (starting it costs about a second). A name
// may end in "::external", "::rack" or "::internal" for the overlap and gap of its
// first two outlines. One report per file, in order; all empty when the reader
// did not run.
inline std::vector<DxfReaderReport> ReadDxfFilesWithEzdxf(const std::vector<std::string>& files) {
  std::string command = "/usr/bin/python3 '" + std::string(KOVREX_SOURCE_DIR) + "/tests/readers/dxf_check.py'";
  for (const std::string& f : files) command += " '" + f + "'";
  command += " 2>&1";
  std::vector<DxfReaderReport> reports(files.size());
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return reports;
  std::string text;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  const bool ran = pclose(pipe) == 0;
  std::istringstream in(text);
  std::string line;
  DxfReaderReport* current = nullptr;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    ReaderLine l;
    std::string w;
    while (words >> w) l.push_back(w);
    if (l.size() == 2 && l[0] == "file") {
      const size_t index = std::stoul(l[1]);
      current = index < reports.size() ? &reports[index] : nullptr;
      continue;
    }
    if (current == nullptr || l.empty()) continue;
    current->text += line + "\n";
    current->lines.push_back(l);
  }
  for (DxfReaderReport& r : reports) {
    r.ran = ran;
    if (!ran) r.text = text;
  }
  return reports;
}

inline DxfReaderReport ReadDxfWithEzdxf(const std::string& path) { return ReadDxfFilesWithEzdxf({path}).at(0); }

}  // namespace kovrex::test
