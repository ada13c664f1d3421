// Helpers shared by the tests: a clean start for every test, and scripted desktop
// services that record what the program asked.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "app/control_store.h"
#include "app/services.h"

namespace kovrex::test {

struct RecordedMessage {
  MessageIcon icon;
  std::string title;
  std::string text;
};

// Installs recording services on Svc(): messages and questions are recorded,
// questions answered from `answers` (then Cancel), requesters from `files` (then
// cancelled), clipboard and started processes recorded.
struct ScriptedServices {
  std::vector<RecordedMessage> messages;
  std::vector<std::string> questions;
  std::deque<Answer> answers;
  std::deque<std::string> files;  // "" = cancel
  std::vector<std::string> requesterTitles;
  std::vector<std::string> requesterNames;                  // the proposed names
  std::vector<std::vector<FilePattern>> requesterPatterns;  // the filters offered
  std::string clipboard;
  std::vector<std::vector<std::string>> started;
  std::vector<int> timersStarted, timersStopped;
  int redraws = 0;
  void Install();
};

// Every test of the program's state derives from this: all globals reset, a fresh
// in-memory control store, English texts, recording services.
class KovrexTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  MemoryControlStore store;
  ScriptedServices services;
};

// A folder of the test's own under the test temp folder, named `name` and the
// process id, for the files an export writes; removed again once empty.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace kovrex::test
