// The service table and its harmless defaults.
#include "app/services.h"

namespace kovrex {
namespace {
Services DefaultServices() {
  Services s;
  s.messageBox = [](MessageIcon, const std::string&, const std::string&) {};
  s.askYesNo = [](const std::string&, const std::string&) { return Answer::No; };
  s.askYesNoCancel = [](const std::string&, const std::string&) { return Answer::Cancel; };
  s.saveRequester = [](const std::string&, const std::string&, const std::vector<FilePattern>&) {
    return std::optional<std::string>();
  };
  s.openRequester = s.saveRequester;
  s.setClipboardText = [](const std::string&) {};
  s.startProcess = [](const std::vector<std::string>&) { return false; };
  s.startTimer = [](int, int) {};
  s.stopTimer = [](int) {};
  s.requestCanvasRedraw = [] {};
  s.focusCanvas = [] {};
  s.discardPendingEvents = [] {};
  s.showHelpPopupMenu = [] {};
  s.showAboutWindow = [] {};
  return s;
}
Services g_services = DefaultServices();
}  // namespace

Services& Svc() { return g_services; }
void ResetServices() { g_services = DefaultServices(); }

}  // namespace kovrex
