// Start-up hooks. The material tables, the bindings, the first pair search and the
// project opening are owned by their own modules; they are called from here once
// those modules exist.
#include "app/startup.h"

#include <sys/stat.h>

namespace kovrex {

// HOOK: InitMaterialTable(); InitShaftMaterialTable();
void FillMaterialTablesAtStartUp() {}

// HOOK: RegisterProjectBindings(); then the pair search on the default inputs and,
// when it found rows, select row 0 in GadgetPairResults and SelectPairCombination(0);
// otherwise RedrawCanvas().
void StartUpCalculations() {}

bool IsStartUpProjectArgument(const std::string& path) {
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) != 0) return false;
  return S_ISREG(st.st_mode) && st.st_size > 0;
}

// HOOK: OpenProjectFile(path);
void OpenProjectAtStartUp(const std::string&) {}

}  // namespace kovrex
