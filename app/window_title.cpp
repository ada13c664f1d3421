// Title rule of the main window.
#include "app/window_title.h"

#include "app/app_state.h"
#include "app/control_store.h"
#include "app/controls.h"
#include "text/texts.h"

namespace kovrex {

std::string BuildWindowTitle() {
  std::string name;
  if (ProjectPath.empty()) {
    name = Tx(TextId::TitleNewProject);
  } else {
    size_t slash = ProjectPath.rfind('/');
    name = slash == std::string::npos ? ProjectPath : ProjectPath.substr(slash + 1);
  }
  std::string title = std::string(Tx(TextId::ProductName)) + " - " + name;
  if (ProjectModified == 1) title += " *";
  title += Tx(TextId::TitleStandards);
  return title;
}

void UpdateWindowTitle() { Controls().SetWindowTitle(WindowMain, BuildWindowTitle()); }

void MarkProjectModified() {
  if (ProjectModified != 0) return;
  ProjectModified = 1;
  UpdateWindowTitle();
}

}  // namespace kovrex
