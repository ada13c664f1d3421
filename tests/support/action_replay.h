// Replays a list of user actions, one a line, on a headless program: the cases
// kept from sweeps of the four tabs (tests/cases/). Each export answers the save
// requester with a path in a given folder, so the written files can be read back.
//
//   restart                      start-up state
//   text C "T"                   control C's text, then its Change event
//   state C N                    control C's state, then its Change event
//   press C                      the Activate event of button C
//   export K proposed|model      export button K; the requester answers the
//                                proposed name, or "model" with the kind's extension
//   timer N                      N ticks of the animation timer
// Lines that start with a blank are ignored.
#pragma once

#include <string>
#include <vector>

#include "support/test_support.h"

namespace kovrex::test {

struct ReplayedExport {
  int button = 0;
  std::string path;  // empty when no requester was opened
  size_t firstMessage = 0;  // index into ScriptedServices::messages of its first message
};

// Applies the actions of `text`. Returns the exports in order; a line it cannot
// read fails the test that called it.
std::vector<ReplayedExport> ReplayActions(MemoryControlStore& store, ScriptedServices& services,
                                          const std::string& text, const std::string& folder);

// The text of a case file under tests/cases/.
std::string ReadCaseFile(const std::string& relativePath);

}  // namespace kovrex::test
