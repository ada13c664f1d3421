// Report figures of kept designs (tests/cases/figures/) where the path of contact
// leaves the usable involute or an undercut decides a warning: each replayed from
// start-up as the user made it, and its report held against figures worked apart
// from DIN 3960 (the path over the usable flanks only, the undercut involute from
// the exact crossing of trochoid and involute).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/control_store.h"
#include "app/controls.h"
#include "support/action_replay.h"
#include "support/report_lines.h"
#include "support/test_support.h"

namespace kovrex::test {
namespace {

struct FigureCase {
  const char* file;
  std::vector<const char*> shown;   // whole report lines
  std::vector<const char*> absent;  // whole report lines
};

void PrintTo(const FigureCase& c, std::ostream* out) { *out << c.file; }

const FigureCase kCases[] = {
    // Rack tab at start-up with a 10-tooth pinion: the rack's tip line runs 1.72 m
    // of the path below the pinion's usable involute, which is undercut.
    {"rack-z10-undercut.txt",
     {"  εα = 1.093   transverse contact ratio", "  ! contact ratio too small",
      "  ! rack tip reaches below the involute of the pinion"},
     {"  ! pinion tip reaches past the straight flank of the rack"}},
    // m 2, z 10/25, x1 -0.4: gear 2's tip circle cuts the line 2.89 mm before T1.
    {"pair-undercut.txt",
     {"  εα = 0.732   transverse contact ratio", "  ! contact ratio too small",
      "  ! gear 2 tip reaches below the involute of gear 1"},
     {"  ! gear 1 tip reaches below the involute of gear 2"}},
    // z 40 at 15 degrees: the 0.38 m tool rounding ends the involute 0.968 m below
    // the rolling line, 0.12 m of the path above the rack's tip line.
    {"rack-alpha15.txt",
     {"  εα = 2.240   transverse contact ratio", "  ! rack tip reaches below the involute of the pinion"},
     {"  ! contact ratio too small", "  ! pinion tip reaches past the straight flank of the rack"}},
    // m 2.5, z 9, x -0.2, As 0.1: r_s = 10.7562 mm, above the span's contact radius
    // (10.721) and the pin's (10.736).
    {"single-undercut.txt",
     {"  ! Wk measuring points outside the involute", "  ! pin touches outside the involute",
      "  ! undercut (x < x min)"},
     {}},
    // The shortened ring tip follows the pinion's exact r_s of 10.7555 mm.
    {"internal-ring-tip.txt",
     {"  da = 110.567   tip circle (inner)"},
     {"  ! ring tip touches the pinion root fillet (switch on 'shorten ring tip')"}},
};

class FigureCases : public KovrexTest, public ::testing::WithParamInterface<FigureCase> {};

TEST_P(FigureCases, ReportHoldsTheFiguresWorkedApart) {
  const FigureCase& c = GetParam();
  const std::string actions = ReadCaseFile(std::string("figures/") + c.file);
  ASSERT_FALSE(actions.empty()) << "no case file " << c.file;
  ReplayActions(store, services, actions, ::testing::TempDir());
  const std::string report = store.GetText(GadgetReport);
  const std::vector<std::string> lines = SplitLines(report);
  auto has = [&](const char* line) {
    for (const std::string& l : lines)
      if (l == line) return true;
    return false;
  };
  for (const char* line : c.shown) EXPECT_TRUE(has(line)) << "missing: " << line << "\n" << report;
  for (const char* line : c.absent) EXPECT_FALSE(has(line)) << "not expected: " << line << "\n" << report;
}

INSTANTIATE_TEST_SUITE_P(Kept, FigureCases, ::testing::ValuesIn(kCases), [](const auto& info) {
  std::string name = info.param.file;
  name = name.substr(0, name.find('.'));
  for (char& ch : name)
    if (ch == '-') ch = '_';
  return name;
});

}  // namespace
}  // namespace kovrex::test
