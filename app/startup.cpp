// Start-up steps that need the calculation and project modules: each step calls
// what its owning module offers.
#include "app/startup.h"

#include <sys/stat.h>

#include "app/canvas.h"
#include "app/control_store.h"
#include "app/controls.h"
#include "app/pair_commands.h"
#include "app/project_bindings.h"
#include "app/project_file.h"
#include "capacity/materials.h"
#include "geometry/arrangement_state.h"

namespace kovrex {

void FillMaterialTablesAtStartUp() {
  InitMaterialTable();
  InitShaftMaterialTable();
}

void StartUpCalculations() {
  RegisterProjectBindings();
  // A first result on the default Pair inputs, so the program opens with a drawing.
  SearchPairCombinations();
  if (PairResultList.empty()) {
    RedrawCanvas();
    return;
  }
  Controls().SetState(GadgetPairResults, 0);
  SelectPairCombination(0);
}

bool IsStartUpProjectArgument(const std::string& path) {
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) != 0) return false;
  return S_ISREG(st.st_mode) && st.st_size > 0;
}

void OpenProjectAtStartUp(const std::string& path) { OpenProjectFile(path); }

}  // namespace kovrex
