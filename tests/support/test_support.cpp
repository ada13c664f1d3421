#include "support/test_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include "app/app_state.h"
#include "text/texts.h"

namespace kovrex::test {

void ScriptedServices::Install() {
  Services& s = Svc();
  s.messageBox = [this](MessageIcon icon, const std::string& title, const std::string& text) {
    messages.push_back({icon, title, text});
  };
  auto ask = [this](Answer fallback) {
    return [this, fallback](const std::string&, const std::string& text) {
      questions.push_back(text);
      if (answers.empty()) return fallback;
      Answer a = answers.front();
      answers.pop_front();
      return a;
    };
  };
  s.askYesNo = ask(Answer::No);
  s.askYesNoCancel = ask(Answer::Cancel);
  auto request = [this](const std::string& title, const std::string& name, const std::vector<FilePattern>& patterns) {
    requesterTitles.push_back(title);
    requesterNames.push_back(name);
    requesterPatterns.push_back(patterns);
    if (files.empty()) return std::optional<std::string>();
    std::string f = files.front();
    files.pop_front();
    if (f.empty()) return std::optional<std::string>();
    return std::optional<std::string>(f);
  };
  s.saveRequester = request;
  s.openRequester = request;
  s.setClipboardText = [this](const std::string& t) { clipboard = t; };
  s.startProcess = [this](const std::vector<std::string>& argv) {
    started.push_back(argv);
    return true;
  };
  s.startTimer = [this](int t, int) { timersStarted.push_back(t); };
  s.stopTimer = [this](int t) { timersStopped.push_back(t); };
  s.requestCanvasRedraw = [this] { ++redraws; };
}

void KovrexTest::SetUp() {
  ResetAllState();
  SetTextLanguageForTest(false);
  SetActiveControlStore(&store);
  services.Install();
}

void KovrexTest::TearDown() {
  SetActiveControlStore(nullptr);
  ResetAllState();
  SetTextLanguageForTest(false);
}

ScratchFolder::ScratchFolder(const std::string& name)
    : path_(::testing::TempDir() + name + "_" + std::to_string(getpid())) {
  mkdir(path_.c_str(), 0755);
}

ScratchFolder::~ScratchFolder() { rmdir(path_.c_str()); }

}  // namespace kovrex::test
