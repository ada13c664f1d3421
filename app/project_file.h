// Project files (".tdw"): save, save as, open, and the question before unsaved
// changes are lost.
#pragma once

#include <string>

namespace kovrex {

bool SaveProjectFile(const std::string& path);
bool SaveProject(bool saveAs);
bool OpenProjectFile(const std::string& path);
void OpenProjectRequester();
// True when the caller may go on (nothing to save, saved, or discarded).
bool ConfirmDiscardChanges();

}  // namespace kovrex
