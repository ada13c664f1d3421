// Which control is stored under which group and key of a project file, and the
// set of bound controls that the modified rule of the event loop asks about.
// Not for: reading or writing the file itself (project_file).
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

namespace kovrex {

struct ProjectBinding {
  std::string group;
  std::string key;
  int control = -1;
  int useState = 0;  // 1: the control's state as an integer; 0: its text
};

extern std::vector<ProjectBinding> ProjectBindingList;
// Control numbers written as decimal text: every bound control, and the profile-shift
// fields 14 and 67 (stored in the "Keuze" groups).
extern std::unordered_set<std::string> GadgetBindingMap;

void AddGadgetBinding(const std::string& group, const std::string& key, int control, int useState);
// The 93 bindings in file order, then controls 14 and 67 in the map.
void RegisterProjectBindings();
bool IsGadgetBound(int control);
void ResetProjectBindings();

}  // namespace kovrex
