// Start-up steps that need the calculation and project modules. Each step calls
// what its owning module offers; the HOOK lines mark what start-up still lacks.
#include "app/startup.h"

#include <sys/stat.h>

#include "app/project_bindings.h"
#include "app/project_file.h"
#include "capacity/materials.h"

namespace kovrex {

void FillMaterialTablesAtStartUp() {
  InitMaterialTable();
  InitShaftMaterialTable();
}

void StartUpCalculations() {
  RegisterProjectBindings();
  // HOOK: the pair search on the default Pair inputs; when it found rows, select
  // row 0 in GadgetPairResults and SelectPairCombination(0), else RedrawCanvas().
}

bool IsStartUpProjectArgument(const std::string& path) {
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) != 0) return false;
  return S_ISREG(st.st_mode) && st.st_size > 0;
}

void OpenProjectAtStartUp(const std::string& path) { OpenProjectFile(path); }

}  // namespace kovrex
