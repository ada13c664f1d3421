// Placeholder until project files land: nothing is saved or opened, and closing
// never asks.
#include "app/project_file.h"

namespace kovrex {

bool SaveProjectFile(const std::string&) { return false; }
bool SaveProject(bool) { return false; }
bool OpenProjectFile(const std::string&) { return false; }
void OpenProjectRequester() {}
bool ConfirmDiscardChanges() { return true; }

}  // namespace kovrex
