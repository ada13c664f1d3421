// Saving and opening projects, and the question before unsaved changes are lost.
// Every failure leaves path, modified flag and title as they were.
#include "app/project_file.h"

#include <sys/stat.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "app/app_state.h"
#include "app/canvas.h"
#include "app/control_store.h"
#include "app/controls.h"
#include "app/event_dispatch.h"
#include "app/internal_commands.h"
#include "app/pair_commands.h"
#include "app/project_bindings.h"
#include "app/project_format.h"
#include "app/rack_commands.h"
#include "app/services.h"
#include "app/window_title.h"
#include "app/atomic_file.h"
#include "geometry/arrangement_state.h"
#include "numbers/number_text.h"
#include "text/texts.h"

namespace kovrex {
namespace {

constexpr off_t kMaxProjectFileSize = 1024 * 1024;

std::string BaseName(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void ShowError(const std::string& text) { Svc().messageBox(MessageIcon::Error, Tx(TextId::ProductName), text); }

std::vector<FilePattern> ProjectPatterns(bool withAllFiles) {
  std::vector<FilePattern> p = {{Tx(TextId::ProjectPatternName), "*.tdw"}};
  if (withAllFiles) p.push_back({Tx(TextId::ProjectAllFilesName), "*.*"});
  return p;
}

// A stored state goes back only where the control can take it: a combo entry that
// exists, a check box 0 or 1, the speed track bar within 1..20.
void RestoreState(int control, int64_t value) {
  switch (ControlKindOf(control)) {
    case ControlKind::Combo:
    case ControlKind::EditableCombo:
      if (value >= 0 && value < Controls().CountItems(control)) Controls().SetState(control, value);
      break;
    case ControlKind::CheckBox:
      if (value == 0 || value == 1) Controls().SetState(control, value);
      break;
    case ControlKind::TrackBar:
      Controls().SetState(control, value < 1 ? 1 : (value > 20 ? 20 : value));
      break;
    default:
      Controls().SetState(control, value);
      break;
  }
}

struct StoredPick {
  double module = 0.0;
  int64_t z1 = 0, z2 = 0;
  double beta = 0.0;
  std::string x1;
};

StoredPick ReadPick(const ProjectDocument& doc, const char* group) {
  StoredPick p;
  p.module = ParseDecimalNumber(ReadProjectText(doc, group, "modul", "0"));
  p.z1 = ReadProjectInteger(doc, group, "z1", 0);
  p.z2 = ReadProjectInteger(doc, group, "z2", 0);
  p.beta = ParseDecimalNumber(ReadProjectText(doc, group, "beta", "0"));
  p.x1 = ReadProjectText(doc, group, "x1", "");
  return p;
}

template <typename Row>
int64_t FindMatchingRow(const std::vector<Row>& rows, const StoredPick& pick) {
  for (size_t i = 0; i < rows.size(); ++i) {
    const Row& r = rows[i];
    if (std::fabs(r.module - pick.module) < 1e-9 && r.teeth1 == pick.z1 && r.teeth2 == pick.z2 &&
        std::fabs(r.helixAngleDeg - pick.beta) < 1e-5)
      return static_cast<int64_t>(i);
  }
  return -1;
}

void ShowNothing() {
  DisplayMode = static_cast<int>(DisplayKind::Nothing);
  Controls().SetText(GadgetReport, "");
  RedrawCanvas();
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxProjectFileSize) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad() && bytes.size() <= static_cast<size_t>(kMaxProjectFileSize);
}

}  // namespace

bool SaveProjectFile(const std::string& path) {
  if (!WriteFileAtomically(path, BuildProjectFileText())) {
    ShowError(std::string(Tx(TextId::ProjectFileQuotePrefix)) + path + Tx(TextId::ProjectCannotWriteSuffix));
    return false;
  }
  ProjectPath = path;
  ProjectModified = 0;
  UpdateWindowTitle();
  return true;
}

bool SaveProject(bool saveAs) {
  if (!ProjectPath.empty() && !saveAs) return SaveProjectFile(ProjectPath);
  const std::string initial = ProjectPath.empty() ? std::string("kovrex.tdw") : ProjectPath;
  std::optional<std::string> chosen = Svc().saveRequester(Tx(TextId::ProjectSaveTitle), initial, ProjectPatterns(false));
  if (!chosen || chosen->empty()) return false;
  std::string name = *chosen;
  // The extension is what follows the last '.' of the file's own name: "v1.2/proj"
  // has none, and neither has "proj." (an empty one).
  const std::string base = BaseName(name);
  const size_t dot = base.rfind('.');
  if (dot == std::string::npos || dot + 1 == base.size()) name += ".tdw";
  struct stat st;
  if (stat(name.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && name != ProjectPath) {
    std::string question = "'" + BaseName(name) + Tx(TextId::ProjectExistsSuffix);
    if (Svc().askYesNo(Tx(TextId::ProductName), question) != Answer::Yes) return false;
  }
  return SaveProjectFile(name);
}

bool ConfirmDiscardChanges() {
  if (ProjectModified == 0) return true;
  switch (Svc().askYesNoCancel(Tx(TextId::ProductName), Tx(TextId::ProjectSaveChanges))) {
    case Answer::Yes:
      return SaveProject(false);
    case Answer::No:
      return true;
    default:
      return false;
  }
}

void OpenProjectRequester() {
  if (!ConfirmDiscardChanges()) return;
  std::optional<std::string> chosen = Svc().openRequester(Tx(TextId::ProjectOpenTitle), ProjectPath, ProjectPatterns(true));
  if (chosen && !chosen->empty()) OpenProjectFile(*chosen);
}

bool OpenProjectFile(const std::string& path) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) {
    ShowError(std::string(Tx(TextId::ProjectFileQuotePrefix)) + path + Tx(TextId::ProjectCannotOpenSuffix));
    return false;
  }
  const ProjectDocument doc = ParseProjectText(bytes);
  if (ReadProjectInteger(doc, "Tandwiel", "versie", 0) < 1) {
    ShowError("'" + BaseName(path) + Tx(TextId::ProjectNotAProjectSuffix));
    return false;
  }
  int64_t tab = ReadProjectInteger(doc, "Tandwiel", "tabblad", 0);

  for (const ProjectBinding& b : ProjectBindingList) {
    if (b.useState) {
      RestoreState(b.control, ReadProjectInteger(doc, b.group, b.key, Controls().GetState(b.control)));
    } else {
      Controls().SetText(b.control, ReadProjectText(doc, b.group, b.key, Controls().GetText(b.control)));
    }
  }
  const StoredPick pairPick = ReadPick(doc, "Keuze");
  const StoredPick internalPick = ReadPick(doc, "KeuzeBinnen");

  Controls().SetText(GadgetLoadLabel,
                     Tx(Controls().GetState(GadgetLoadKind) == 0 ? TextId::LoadLabelPower : TextId::LoadLabelTorque));

  DriveAngle = 0.0;
  // Whatever the previous project showed is not a result of this one.
  DisplayMode = static_cast<int>(DisplayKind::Nothing);
  SearchPairCombinations();
  int64_t pairRow = FindMatchingRow(PairResultList, pairPick);
  std::string pairX1 = pairPick.x1;
  if (pairRow < 0 && !PairResultList.empty()) {
    pairRow = 0;
    pairX1.clear();  // the stored x1 belonged to another combination
  }
  if (pairRow >= 0) {
    Controls().SetState(GadgetPairResults, pairRow);
    SelectPairCombination(pairRow);
    if (!pairX1.empty()) {
      Controls().SetText(GadgetPairX1, pairX1);
      ComputePairFromSelection(1);
    }
  } else {
    ShowNothing();
  }

  SearchInternalCombinations(1);
  int64_t internalRow = FindMatchingRow(InternalResultList, internalPick);
  if (internalRow >= 0) {
    Controls().SetState(GadgetInternalResults, internalRow);
    InternalSelectedRow = internalRow;
    if (!internalPick.x1.empty()) Controls().SetText(GadgetInternalX1, internalPick.x1);
  }

  if (tab < 0 || tab > 3) tab = 0;
  Controls().SetState(GadgetTabPanel, tab);
  if (tab == 1) {
    ComputeSingleGearFromInputs(1);
  } else if (tab == 2) {
    ComputeRackFromInputs(1);
  } else if (tab == 3) {
    if (InternalSelectedRow < 0 && !InternalResultList.empty()) {
      Controls().SetState(GadgetInternalResults, 0);
      ApplyInternalCombinationRow(0);
    }
    if (InternalSelectedRow >= 0) ComputeInternalPairFromSelection(1);
  }
  // A rejected computation of the opened tab (a face width of 0 in its fields)
  // would leave the pair above, or nothing, under the wrong tab.
  ShowNothingUnlessSelectedTabShown();

  Svc().discardPendingEvents();
  ProjectPath = path;
  ProjectModified = 0;
  UpdateWindowTitle();
  return true;
}

}  // namespace kovrex
