// A headless program after start-up: the three windows' controls with their
// defaults in a memory store, the material tables, the bindings and the first pair
// search with row 0 applied, exactly as the program starts.
#pragma once

#include <functional>

#include "support/test_support.h"

namespace kovrex::test {

// Resets everything and runs the start-up on `store`, in the given language.
void StartProgram(MemoryControlStore& store, ScriptedServices& services, bool dutch);

// Runs fn with writes beyond `bytes` failing, as they do on a full disk.
void WithFileSizeLimit(long bytes, const std::function<void()>& fn);

class StartedProgramTest : public KovrexTest {
 protected:
  void SetUp() override {
    KovrexTest::SetUp();
    StartProgram(store, services, false);
  }
};

}  // namespace kovrex::test
