// Reading the text of a STEP file in tests: the DATA section as numbered entities,
// the references of an entity (text inside strings skipped), and the faces of a
// closed shell. A structural reader only; the geometry is checked with OCCT.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace kovrex::test {

// Entity number -> text between "=" and the closing ";" of every "#n=...;" line.
inline std::map<uint64_t, std::string> ParseStepEntities(const std::string& file) {
  std::map<uint64_t, std::string> entities;
  size_t start = 0;
  while (start < file.size()) {
    size_t end = file.find('\n', start);
    if (end == std::string::npos) end = file.size();
    std::string line = file.substr(start, end - start);
    start = end + 1;
    if (line.size() < 4 || line[0] != '#' || line.back() != ';') continue;
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    entities[std::stoull(line.substr(1, eq - 1))] = line.substr(eq + 1, line.size() - eq - 2);
  }
  return entities;
}

// The "#n" references of an entity text in order, skipping everything inside
// '...' strings (a doubled apostrophe stays inside the string).
inline std::vector<uint64_t> StepReferences(const std::string& text) {
  std::vector<uint64_t> refs;
  bool inString = false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\'') {
      inString = !inString;
    } else if (!inString && text[i] == '#') {
      size_t j = i + 1;
      while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
      if (j > i + 1) refs.push_back(std::stoull(text.substr(i + 1, j - i - 1)));
      i = j - 1;
    }
  }
  return refs;
}

// "ADVANCED_FACE" of "ADVANCED_FACE('',(#1),#2,.T.)".
inline std::string StepKeyword(const std::string& text) { return text.substr(0, text.find('(')); }

inline size_t CountStepEntities(const std::map<uint64_t, std::string>& entities, const std::string& keyword) {
  size_t count = 0;
  for (const auto& [n, text] : entities)
    if (StepKeyword(text) == keyword) ++count;
  return count;
}

// Numbers of the entities with this keyword, ascending.
inline std::vector<uint64_t> FindStepEntities(const std::map<uint64_t, std::string>& entities,
                                              const std::string& keyword) {
  std::vector<uint64_t> found;
  for (const auto& [n, text] : entities)
    if (StepKeyword(text) == keyword) found.push_back(n);
  return found;
}

// One face of a shell: its surface keyword, its sense and its bounds.
struct StepFaceInfo {
  uint64_t number = 0;
  std::string surface;  // PLANE, CYLINDRICAL_SURFACE, SURFACE_OF_LINEAR_EXTRUSION, ...
  bool sameSense = true;
  std::vector<uint64_t> bounds;  // FACE_OUTER_BOUND / FACE_BOUND entities
};

inline std::vector<StepFaceInfo> StepShellFaces(const std::map<uint64_t, std::string>& entities, uint64_t shell) {
  std::vector<StepFaceInfo> faces;
  auto it = entities.find(shell);
  if (it == entities.end()) return faces;
  for (uint64_t f : StepReferences(it->second)) {
    StepFaceInfo info;
    info.number = f;
    auto face = entities.find(f);
    if (face == entities.end()) continue;
    std::vector<uint64_t> refs = StepReferences(face->second);
    if (refs.empty()) continue;
    info.bounds.assign(refs.begin(), refs.end() - 1);
    auto surface = entities.find(refs.back());
    if (surface != entities.end()) info.surface = StepKeyword(surface->second);
    info.sameSense = face->second.size() >= 4 && face->second.compare(face->second.size() - 4, 4, ".T.)") == 0;
    faces.push_back(info);
  }
  return faces;
}

}  // namespace kovrex::test
