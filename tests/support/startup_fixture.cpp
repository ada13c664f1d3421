#include "support/startup_fixture.h"

#include <sys/resource.h>

#include <csignal>

#include "app/app_state.h"
#include "app/control_defaults.h"
#include "app/controls.h"
#include "app/startup.h"
#include "app/window_title.h"
#include "text/texts.h"

namespace kovrex::test {

void StartProgram(MemoryControlStore& store, ScriptedServices& services, bool dutch) {
  ResetAllState();
  SetTextLanguageForTest(dutch);
  store.Clear();
  SetActiveControlStore(&store);
  services.Install();
  store.SetSize(GadgetCanvas, 900, 700);
  PopulateMainWindowControls(store);
  FillMaterialTablesAtStartUp();
  PopulateStrengthWindowControls(store);
  PopulateHubWindowControls(store);
  StartUpCalculations();
  UpdateWindowTitle();
}

void WithFileSizeLimit(long bytes, const std::function<void()>& fn) {
  struct rlimit old;
  getrlimit(RLIMIT_FSIZE, &old);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit tiny = old;
  tiny.rlim_cur = static_cast<rlim_t>(bytes);
  setrlimit(RLIMIT_FSIZE, &tiny);
  fn();
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
}

}  // namespace kovrex::test
