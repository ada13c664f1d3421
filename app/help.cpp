// The user guide launcher: looks for the guide of the build's language beside the
// program, in the build-time folder and in the current folder, and hands it to
// xdg-open. Not for: showing the guide (the desktop's browser does that).
#include "app/help.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "app/services.h"
#include "text/texts.h"

namespace kovrex {
namespace {

std::string WithTrailingSlash(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

std::string RunningProgramDirectory() {
  char buffer[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
  // readlink does not terminate the text and truncates silently at the buffer size:
  // a full buffer may be a cut-off path, which must not be taken for a folder.
  if (n <= 0 || n >= static_cast<ssize_t>(sizeof buffer)) return "";
  std::string path(buffer, static_cast<size_t>(n));
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string BuildTimeHelpDirectory() {
#ifdef KOVREX_HELP_DIR
  return WithTrailingSlash(KOVREX_HELP_DIR);
#else
  return "";
#endif
}

std::string CurrentDirectory() {
  char buffer[PATH_MAX];
  if (!getcwd(buffer, sizeof buffer)) return "";
  return WithTrailingSlash(buffer);
}

// A folder reports a size of its own (4096 on most file systems), so the size
// alone would accept a folder that happens to carry the guide's name.
bool IsNonEmptyRegularFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0;
}

}  // namespace

std::string HelpFileName() { return TextSetIsDutch() ? "help_nl.html" : "help_en.html"; }

std::vector<std::string> HelpCandidateDirectories() {
  return {RunningProgramDirectory(), BuildTimeHelpDirectory(), CurrentDirectory()};
}

std::string FindHelpFile(const std::vector<std::string>& directories, const std::string& fileName) {
  for (const std::string& dir : directories) {
    if (dir.empty()) continue;
    std::string path = WithTrailingSlash(dir) + fileName;
    if (IsNonEmptyRegularFile(path)) return path;
  }
  return "";
}

void OpenHelpFromDirectories(const std::vector<std::string>& directories) {
  const std::string name = HelpFileName();
  const std::string path = FindHelpFile(directories, name);
  if (path.empty()) {
    Svc().messageBox(MessageIcon::Warning, Tx(TextId::ProductName),
                     std::string(Tx(TextId::HelpNotFoundPrefix)) + name + Tx(TextId::HelpNotFoundSuffix));
    return;
  }
  // The path goes to xdg-open as one argument of its own, never through a shell:
  // blanks, quotes or "$(...)" in a folder name then reach it as they are.
  // Whether xdg-open could start is not reported.
  Svc().startProcess({"xdg-open", path});
}

void ShowHelp() { OpenHelpFromDirectories(HelpCandidateDirectories()); }

}  // namespace kovrex
