#include "support/action_replay.h"

#include <fstream>
#include <sstream>

#include "app/controls.h"
#include "app/event_dispatch.h"
#include "app/services.h"
#include "support/startup_fixture.h"

namespace kovrex::test {
namespace {

// The text between the first and the last double quote of the rest of a line.
bool QuotedText(const std::string& rest, std::string& text) {
  const size_t open = rest.find('"');
  const size_t close = rest.rfind('"');
  if (open == std::string::npos || close == open) return false;
  text = rest.substr(open + 1, close - open - 1);
  return true;
}

}  // namespace

std::vector<ReplayedExport> ReplayActions(MemoryControlStore& store, ScriptedServices& services,
                                          const std::string& text, const std::string& folder) {
  std::vector<ReplayedExport> exports;
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    if (line.empty() || line[0] == ' ' || line[0] == '\t') continue;
    SCOPED_TRACE("line " + std::to_string(number) + ": " + line);
    std::istringstream words(line);
    std::string verb;
    words >> verb;
    if (verb == "restart") {
      StartProgram(store, services, false);
      continue;
    }
    if (verb == "timer") {
      int ticks = 0;
      words >> ticks;
      for (int t = 0; t < ticks; ++t) DispatchTimerEvent(TimerAnimation);
      continue;
    }
    int control = -1;
    words >> control;
    if (!words || control < 0 || control >= kGadgetCount) {
      ADD_FAILURE() << "no control number";
      continue;
    }
    if (verb == "text") {
      std::string rest, value;
      std::getline(words, rest);
      if (!QuotedText(rest, value)) {
        ADD_FAILURE() << "no quoted text";
        continue;
      }
      store.SetText(control, value);
      DispatchControlEvent({control, EventKind::Change, 0, 0, 0});
    } else if (verb == "state") {
      long long state = 0;
      words >> state;
      store.SetState(control, state);
      DispatchControlEvent({control, EventKind::Change, 0, 0, 0});
    } else if (verb == "press") {
      DispatchControlEvent({control, EventKind::Activate, 0, 0, 0});
    } else if (verb == "export") {
      std::string answer;
      words >> answer;
      ReplayedExport e;
      e.button = control;
      e.firstMessage = services.messages.size();
      Svc().saveRequester = [&](const std::string& title, const std::string& name,
                                const std::vector<FilePattern>& patterns) {
        services.requesterTitles.push_back(title);
        services.requesterNames.push_back(name);
        services.requesterPatterns.push_back(patterns);
        const size_t dot = name.rfind('.');
        const std::string extension = dot == std::string::npos ? "" : name.substr(dot);
        e.path = folder + "/" + (answer == "model" ? "model" + extension : name);
        return std::optional<std::string>(e.path);
      };
      DispatchControlEvent({control, EventKind::Activate, 0, 0, 0});
      services.Install();
      exports.push_back(e);
    } else {
      ADD_FAILURE() << "unknown action";
    }
  }
  return exports;
}

std::string ReadCaseFile(const std::string& relativePath) {
  std::ifstream in(std::string(KOVREX_SOURCE_DIR) + "/tests/cases/" + relativePath);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace kovrex::test
