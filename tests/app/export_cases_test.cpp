// The export cases kept from sweeps of the four tabs (tests/cases/export/), each
// replayed from start-up as the user made it: either a file that OpenCASCADE reads
// as valid solids also without healing, or a refusal before the save requester;
// never a write error for a design, and never an export without end.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/controls.h"
#include "support/action_replay.h"
#include "support/dxf_reading.h"
#include "support/step_check.h"
#include "support/stl_check.h"
#include "support/test_support.h"
#include "text/texts.h"

namespace kovrex::test {
namespace {

struct CaseRow {
  const char* file;
  int solids;      // solids of the written STEP file, bodies of the STL; 0: refused
  TextId refusal;  // the warning shown before the requester
};

void PrintTo(const CaseRow& row, std::ostream* out) { *out << row.file; }

const CaseRow kCases[] = {
    // A pair from the search, hub and keyway on gear 1: keyway corners 3.4e-7 mm
    // off the bore cylinder with six decimals.
    {"step-unhealed-invalid-1.txt", 2, TextId::Count},
    // Keyways and hubs on both gears, gear 2 turned at its centre distance.
    {"step-unhealed-invalid-2.txt", 2, TextId::Count},
    // A module of 1e20: the triangle estimate planned the whole hub mesh (24 s,
    // 3.9 GB) before it refused.
    {"stl-hang.txt", 0, TextId::ExportNothingValid},
    // A centre distance of 1e308 and a rack 1.8e308 high were written until a
    // number overflowed, then blamed on the file.
    {"step-write-error.txt", 0, TextId::ExportNothingValid},
    {"stl-write-error.txt", 0, TextId::ExportNothingValid},
    // m 50, z 1000: a bore wall of 1.4 um at 25 m from the axis, where the file's
    // floats step by 2 um, gave 400 degenerate facets.
    {"stl-far-thin-wall.txt", 0, TextId::ExportBoreReachesRoot},
    // Diameters whose radius needs a seventh decimal that ends in 5: the circles
    // and the vertices on them were rounded two ways, 1e-6 mm apart. A bore on the
    // single gear, a hub on it, a bore on gear 1 of the start-up pair.
    {"step-tie-bore.txt", 1, TextId::Count},
    {"step-tie-hub.txt", 1, TextId::Count},
    {"step-tie-pair-bore.txt", 2, TextId::Count},
    // A ring at the finest tolerance: a top facet joined two outline points 5 um
    // apart to one 1.8 mm away on the line through them, zero area in floats.
    {"stl-zero-area-sliver.txt", 2, TextId::Count},
    // Pointed, deeply undercut helical teeth (z 30, alpha 13.2186208, beta 0.75,
    // allowance 2): between outline points that keep a neck of 1.1 um the tool's
    // rounding reaches 0.3 um across the tooth centre line, and the fillets fitted
    // through the points crossed on both end faces of a file reported as written.
    // The tooth is cut through: no gear, and nothing to export.
    {"step-thin-helical-tooth.txt", 0, TextId::ExportNothingValid},
};

class ExportCases : public KovrexTest, public ::testing::WithParamInterface<CaseRow> {
 protected:
  ScratchFolder scratch_{"kovrex_case"};
  const std::string& folder_ = scratch_.path();
};

TEST_P(ExportCases, WrittenAndValidOrRefusedBeforeTheRequester) {
  const CaseRow& row = GetParam();
  const std::string actions = ReadCaseFile(std::string("export/") + row.file);
  ASSERT_FALSE(actions.empty()) << "no case file " << row.file;
  const std::vector<ReplayedExport> exports = ReplayActions(store, services, actions, folder_);
  ASSERT_EQ(exports.size(), 1u);
  const ReplayedExport& e = exports[0];
  std::vector<RecordedMessage> shown(services.messages.begin() + static_cast<long>(e.firstMessage),
                                     services.messages.end());
  if (row.solids == 0) {
    EXPECT_TRUE(e.path.empty()) << "the requester was opened for " << e.path;
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].icon, MessageIcon::Warning);
    EXPECT_EQ(shown[0].text, Tx(row.refusal));
    return;
  }
  ASSERT_FALSE(e.path.empty());
  // At most the note of what was written.
  for (const RecordedMessage& m : shown) EXPECT_EQ(m.icon, MessageIcon::Info) << m.text;
  if (e.button == GadgetExportStl) {
    const std::string bytes = ReadBytes(e.path);
    std::remove(e.path.c_str());
    ExpectCleanStl(bytes, row.solids, "case_" + std::to_string(getpid()));
    return;
  }
  if (!StepCheckAvailable()) GTEST_SKIP() << "OpenCASCADE not found at configure time";
  const StepCheck check = RunStepCheck(e.path);
  std::remove(e.path.c_str());
  ExpectValidSolidsBothReads(check, static_cast<size_t>(row.solids));
}

std::string CaseName(const ::testing::TestParamInfo<CaseRow>& info) {
  std::string name;
  for (const char* c = info.param.file; *c && *c != '.'; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Kept, ExportCases, ::testing::ValuesIn(kCases), CaseName);

}  // namespace
}  // namespace kovrex::test
