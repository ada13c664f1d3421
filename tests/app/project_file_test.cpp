// Project files end to end on the in-memory controls: the file saved right after
// start-up, byte for byte and through a second reader; round trips between the
// language builds; the reader's cases; nothing lost on a failing disk; the
// save / open / close questions.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "app/app_state.h"
#include "app/control_store.h"
#include "app/controls.h"
#include "app/event_dispatch.h"
#include "app/project_file.h"
#include "app/startup.h"
#include "geometry/arrangement_state.h"
#include "geometry/gear_record.h"
#include "support/startup_fixture.h"
#include "text/texts.h"

namespace kovrex {
namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Spit(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

const std::string kGolden = std::string(KOVREX_SOURCE_DIR) + "/tests/golden/startup.tdw";

class ProjectFileTest : public test::StartedProgramTest {
 protected:
  void SetUp() override {
    StartedProgramTest::SetUp();
    char templ[] = "/tmp/kovrex_project_XXXXXX";
    ASSERT_NE(mkdtemp(templ), nullptr);
    dir = templ;
  }
  void TearDown() override {
    std::system(("rm -rf '" + dir + "'").c_str());
    StartedProgramTest::TearDown();
  }
  std::string dir;
};

TEST_F(ProjectFileTest, StartUpProjectMatchesTheGoldenFileByteForByte) {
  const std::string path = dir + "/startup.tdw";
  ASSERT_TRUE(SaveProjectFile(path));
  const std::string actual = Slurp(path);
  const std::string golden = Slurp(kGolden);
  if (actual != golden) Spit(kGolden + ".actual", actual);
  EXPECT_EQ(actual, golden) << "actual text written to " << kGolden << ".actual";
  EXPECT_NE(actual.find("[Keuze]\nmodul = 0.200000\nz1 = 200\nz2 = 400\nbeta = 0.000000\nx1 = 0.0000\n"),
            std::string::npos);
  EXPECT_EQ(actual.find("KeuzeBinnen"), std::string::npos);
}

TEST_F(ProjectFileTest, ASecondReaderReadsEveryGroupAndKey) {
  // configparser with utf-8-sig, no interpolation, keys kept as written; it must
  // find the groups and keys this program writes, with their values.
  const std::string script = dir + "/read.py";
  Spit(script,
       "import configparser, sys\n"
       "c = configparser.ConfigParser(interpolation=None)\n"
       "c.optionxform = str\n"
       "c.read(sys.argv[1], encoding='utf-8-sig')\n"
       "for s in c.sections():\n"
       "    for k, v in c.items(s):\n"
       "        print(s + '/' + k + '=' + v)\n");
  const std::string out = dir + "/out.txt";
  ASSERT_EQ(std::system(("python3 '" + script + "' '" + kGolden + "' > '" + out + "'").c_str()), 0);
  const std::string listing = Slurp(out);
  // 2 + 93 + 5 keys, in the order they are written.
  EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 100);
  for (const char* expected : {"Tandwiel/versie=1\n", "Tandwiel/tabblad=0\n", "Paar/hartafstand=60\n",
                               "Sterkte/KA=1.25 light shocks\n", "Weergave/stl_tolerantie=0,01\n",
                               "Keuze/modul=0.200000\n", "Keuze/x1=0.0000\n", "Naaf/naaf_L2=10\n"})
    EXPECT_NE(listing.find(expected), std::string::npos) << expected;
}

TEST_F(ProjectFileTest, OpeningTheGoldenFileAndSavingItAgainIsByteIdentical) {
  ASSERT_TRUE(OpenProjectFile(kGolden));
  EXPECT_EQ(ProjectModified, 0);
  EXPECT_EQ(ProjectPath, kGolden);
  EXPECT_EQ(store.GetWindowTitle(WindowMain), "Kovrex - startup.tdw   (ISO 53 / DIN 867 / DIN 3960)");
  const std::string path = dir + "/again.tdw";
  ASSERT_TRUE(SaveProjectFile(path));
  EXPECT_EQ(Slurp(path), Slurp(kGolden));
}

TEST_F(ProjectFileTest, FilesPassBetweenTheLanguageBuilds) {
  // A project with choices away from the defaults, saved by the English build...
  store.SetText(GadgetPairCentreDistance, "45,5");
  store.SetState(GadgetPairHand, 1);
  store.SetState(GadgetMaterial2, 7);
  store.SetText(GadgetSingleTeeth, "31");
  store.SetText(GadgetInternalCentreDistance, "41");
  store.SetState(GadgetTabPanel, 3);
  DispatchControlEvent({GadgetTabPanel, EventKind::Change, 0, 0, 0});
  ASSERT_GE(InternalSelectedRow, 0);
  DispatchControlEvent({GadgetPairSearch, EventKind::Activate, 0, 0, 0});
  store.SetState(GadgetPairResults, 2);
  DispatchControlEvent({GadgetPairResults, EventKind::Change, 0, 0, 0});
  const std::string english = dir + "/en.tdw";
  ASSERT_TRUE(SaveProjectFile(english));
  const auto pairRow = PairSelectedRow;
  const auto internalRow = InternalSelectedRow;

  // ... opens in the Dutch build with the same controls and rows, and saves the same bytes.
  test::StartProgram(store, services, /*dutch=*/true);
  ASSERT_TRUE(OpenProjectFile(english));
  EXPECT_EQ(store.GetText(GadgetPairCentreDistance), "45,5");
  EXPECT_EQ(store.GetState(GadgetPairHand), 1);
  EXPECT_EQ(store.GetState(GadgetMaterial2), 7);
  EXPECT_EQ(store.GetText(GadgetSingleTeeth), "31");
  EXPECT_EQ(store.GetState(GadgetTabPanel), 3);
  EXPECT_EQ(PairSelectedRow, pairRow);
  EXPECT_EQ(InternalSelectedRow, internalRow);
  EXPECT_EQ(DisplayMode, 4);
  const std::string dutch = dir + "/nl.tdw";
  ASSERT_TRUE(SaveProjectFile(dutch));
  EXPECT_EQ(Slurp(dutch), Slurp(english));
}

TEST_F(ProjectFileTest, ReaderCases) {
  const std::string golden = Slurp(kGolden);
  auto replaceAll = [](std::string s, const std::string& from, const std::string& to) {
    for (size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size())) s.replace(p, from.size(), to);
    return s;
  };
  std::string upper = replaceAll(replaceAll(golden, "[Tandwiel]", "[TANDWIEL]"), "versie", "VERSIE");
  upper = replaceAll(upper, "hartafstand = 60", "HartAfstand = 61");
  struct Case {
    const char* name;
    std::string bytes;
    bool opens;
    const char* centreDistance;  // control 1 afterwards
  };
  const Case cases[] = {
      {"LF", golden, true, "60"},
      {"CRLF", replaceAll(golden, "\n", "\r\n"), true, "60"},
      {"CR", replaceAll(golden, "\n", "\r"), true, "60"},
      {"no BOM", golden.substr(3), true, "60"},
      {"upper case", upper, true, "61"},
      {"no versie", replaceAll(golden, "versie = 1\n", ""), false, "60"},
      {"versie 0", replaceAll(golden, "versie = 1\n", "versie = 0\n"), false, "60"},
      {"empty", "", false, "60"},
  };
  for (const Case& c : cases) {
    test::StartProgram(store, services, false);
    services.messages.clear();
    const std::string path = dir + "/case.tdw";
    Spit(path, c.bytes);
    EXPECT_EQ(OpenProjectFile(path), c.opens) << c.name;
    EXPECT_EQ(store.GetText(GadgetPairCentreDistance), c.centreDistance) << c.name;
    if (c.opens) {
      EXPECT_TRUE(services.messages.empty()) << c.name;
      EXPECT_EQ(ProjectPath, path) << c.name;
    } else {
      ASSERT_EQ(services.messages.size(), 1u) << c.name;
      EXPECT_EQ(services.messages[0].icon, MessageIcon::Error);
      EXPECT_EQ(services.messages[0].text, "'case.tdw' is not a Kovrex project.") << c.name;
      EXPECT_EQ(ProjectPath, "") << c.name;
    }
  }
}

TEST_F(ProjectFileTest, FilesThatAreNotProjectsAreRefusedAndChangeNothing) {
  const std::string big = dir + "/big.tdw";
  Spit(big, Slurp(kGolden) + std::string(2 * 1024 * 1024, ';'));
  const std::string folder = dir + "/folder.tdw";
  mkdir(folder.c_str(), 0755);
  for (const std::string& path : {big, folder, dir + "/missing.tdw"}) {
    services.messages.clear();
    store.SetText(GadgetPairCentreDistance, "77");
    EXPECT_FALSE(OpenProjectFile(path)) << path;
    ASSERT_EQ(services.messages.size(), 1u) << path;
    EXPECT_EQ(services.messages[0].text, "File '" + path + "' could not be opened.");
    EXPECT_EQ(store.GetText(GadgetPairCentreDistance), "77");
  }
}

TEST_F(ProjectFileTest, AStoredModuleThatNoLongerMatchesOpensRowZeroWithItsOwnX1) {
  std::string text = Slurp(kGolden);
  text.replace(text.find("modul = 0.200000"), 16, "modul = 0.20000001");
  text.replace(text.find("x1 = 0.0000"), 11, "x1 = 0.3");
  const std::string path = dir + "/off.tdw";
  Spit(path, text);
  ASSERT_TRUE(OpenProjectFile(path));
  EXPECT_EQ(PairSelectedRow, 0);
  EXPECT_EQ(store.GetText(GadgetPairX1), "0.0000");  // the proposal, not the stored 0.3

  text = Slurp(kGolden);
  text.replace(text.find("x1 = 0.0000"), 11, "x1 = 0.3");
  Spit(path, text);
  ASSERT_TRUE(OpenProjectFile(path));
  EXPECT_EQ(store.GetText(GadgetPairX1), "0.3");
  EXPECT_DOUBLE_EQ(Gear1.profileShift, 0.3);
}

TEST_F(ProjectFileTest, OutOfRangeStatesAreNotApplied) {
  std::string text = Slurp(kGolden);
  text.replace(text.find("materiaal1 = 3"), 14, "materiaal1 = 99");
  text.replace(text.find("snelheid = 4"), 12, "snelheid = 500");
  text.replace(text.find("beta_zoeken = 0"), 15, "beta_zoeken = 7");
  text.replace(text.find("[Tandwiel]\nversie = 1\ntabblad = 0"), 33, "[Tandwiel]\nversie = 1\ntabblad = 9");
  const std::string path = dir + "/range.tdw";
  Spit(path, text);
  ASSERT_TRUE(OpenProjectFile(path));
  EXPECT_EQ(store.GetState(GadgetMaterial1), 3);
  EXPECT_EQ(store.GetState(GadgetSpeed), 20);
  EXPECT_EQ(store.GetState(GadgetPairSearchBeta), 0);
  EXPECT_EQ(store.GetState(GadgetTabPanel), 0);
}

TEST_F(ProjectFileTest, InvalidUtf8NeverReachesAControl) {
  std::string text = Slurp(kGolden);
  text.replace(text.find("spielengte = "), 13, "spielengte = 12\xFF\xC3");
  const std::string path = dir + "/utf8.tdw";
  Spit(path, text);
  ASSERT_TRUE(OpenProjectFile(path));
  EXPECT_EQ(store.GetText(GadgetKeyLength), "12\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST_F(ProjectFileTest, OpeningAProjectWhoseSearchFindsNothingShowsNothing) {
  std::string text = Slurp(kGolden);
  text.replace(text.find("verhouding = 2"), 14, "verhouding = 2000");
  const std::string path = dir + "/none.tdw";
  Spit(path, text);
  ASSERT_EQ(DisplayMode, 1);
  ASSERT_TRUE(OpenProjectFile(path));
  EXPECT_EQ(DisplayMode, 0);
  EXPECT_EQ(store.GetText(GadgetReport), "");
  EXPECT_EQ(PairSelectedRow, -1);
}

// A project opened on the Single tab whose inputs are rejected shows nothing: not
// the pair computed on the way, nor what the previous project showed.
TEST_F(ProjectFileTest, OpeningOnATabWhoseInputsAreRejectedShowsNothing) {
  std::string text = Slurp(kGolden);
  text.replace(text.find("[Tandwiel]\nversie = 1\ntabblad = 0"), 33, "[Tandwiel]\nversie = 1\ntabblad = 1");
  const size_t single = text.find("[Enkel]");
  ASSERT_NE(single, std::string::npos);
  text.replace(text.find("breedte = 10", single), 12, "breedte = 0");
  const std::string path = dir + "/single.tdw";
  Spit(path, text);
  ASSERT_EQ(DisplayMode, 1);
  ASSERT_TRUE(OpenProjectFile(path));
  EXPECT_EQ(store.GetState(GadgetTabPanel), 1);
  EXPECT_EQ(DisplayMode, 0);
  EXPECT_EQ(store.GetText(GadgetReport), "");
  EXPECT_EQ(ProjectModified, 0);
  // Switching to the Pair tab shows the project's pair again.
  store.SetState(GadgetTabPanel, 0);
  DispatchControlEvent({GadgetTabPanel, EventKind::Change, 0, 0, 0});
  EXPECT_EQ(DisplayMode, 1);
}

TEST_F(ProjectFileTest, AFailingDiskKeepsTheOldFileAndTheModifiedMark) {
  const std::string path = dir + "/keep.tdw";
  ASSERT_TRUE(SaveProjectFile(path));
  const std::string before = Slurp(path);
  store.SetText(GadgetPairCentreDistance, "99");
  DispatchControlEvent({GadgetPairCentreDistance, EventKind::Change, 0, 0, 0});
  ASSERT_EQ(ProjectModified, 1);
  services.messages.clear();

  bool saved = true;
  test::WithFileSizeLimit(100, [&] { saved = SaveProject(false); });

  EXPECT_FALSE(saved);
  EXPECT_EQ(Slurp(path), before);
  EXPECT_EQ(ProjectModified, 1);
  EXPECT_NE(store.GetWindowTitle(WindowMain).find(" *"), std::string::npos);
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].icon, MessageIcon::Error);
  EXPECT_EQ(services.messages[0].text, "File '" + path + "' could not be written.");
}

// Saving through a link that cannot be written through (its target's folder is
// missing, or the links loop) fails like a full disk: message, old path, modified
// mark and the links themselves kept. A dangling link into an existing folder
// creates its target and stays a link.
TEST_F(ProjectFileTest, SavingThroughALinkWritesItsTargetOrFailsKeepingEverything) {
  const std::string saved = dir + "/saved.tdw";
  ASSERT_TRUE(SaveProjectFile(saved));
  store.SetText(GadgetPairCentreDistance, "99");
  DispatchControlEvent({GadgetPairCentreDistance, EventKind::Change, 0, 0, 0});
  ASSERT_EQ(ProjectModified, 1);

  const std::string missing = dir + "/missing.tdw", a = dir + "/a.tdw", b = dir + "/b.tdw";
  ASSERT_EQ(symlink("missing-folder/x.tdw", missing.c_str()), 0);
  ASSERT_EQ(symlink("b.tdw", a.c_str()), 0);
  ASSERT_EQ(symlink("a.tdw", b.c_str()), 0);
  for (const std::string& path : {missing, a}) {
    services.messages.clear();
    EXPECT_FALSE(SaveProjectFile(path)) << path;
    ASSERT_EQ(services.messages.size(), 1u) << path;
    EXPECT_EQ(services.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(services.messages[0].text, "File '" + path + "' could not be written.");
    EXPECT_EQ(ProjectPath, saved);
    EXPECT_EQ(ProjectModified, 1);
    EXPECT_NE(store.GetWindowTitle(WindowMain).find(" *"), std::string::npos);
    struct stat st;
    ASSERT_EQ(lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << path;
  }

  ASSERT_EQ(mkdir((dir + "/folder").c_str(), 0755), 0);
  const std::string dangling = dir + "/dangling.tdw";
  ASSERT_EQ(symlink("folder/new.tdw", dangling.c_str()), 0);
  services.messages.clear();
  ASSERT_TRUE(SaveProjectFile(dangling));
  EXPECT_TRUE(services.messages.empty());
  struct stat st;
  ASSERT_EQ(lstat(dangling.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_NE(Slurp(dir + "/folder/new.tdw").find("[Tandwiel]"), std::string::npos);
  EXPECT_EQ(ProjectPath, dangling);
  EXPECT_EQ(ProjectModified, 0);
}

TEST_F(ProjectFileTest, SaveAsNamesExtensionsAndTheOverwriteQuestion) {
  struct Case {
    std::string typed;
    std::string saved;
  };
  const Case cases[] = {
      {dir + "/plain", dir + "/plain.tdw"},
      {dir + "/v1.2/proj", dir + "/v1.2/proj.tdw"},  // the dot is in the folder name
      {dir + "/dot.", dir + "/dot..tdw"},  // nothing after the last '.': no extension
      {dir + "/other.txt", dir + "/other.txt"},
  };
  mkdir((dir + "/v1.2").c_str(), 0755);
  for (const Case& c : cases) {
    services.files.push_back(c.typed);
    EXPECT_TRUE(SaveProject(true)) << c.typed;
    EXPECT_EQ(ProjectPath, c.saved);
    struct stat st;
    EXPECT_EQ(stat(c.saved.c_str(), &st), 0) << c.saved;
  }
  EXPECT_TRUE(services.questions.empty());
  EXPECT_EQ(services.requesterTitles.front(), "Save project");

  // The current project's own path never asks; another existing file asks once.
  services.files.push_back(ProjectPath);
  EXPECT_TRUE(SaveProject(true));
  EXPECT_TRUE(services.questions.empty());
  services.files.push_back(dir + "/plain.tdw");
  services.answers.push_back(Answer::No);
  EXPECT_FALSE(SaveProject(true));
  ASSERT_EQ(services.questions.size(), 1u);
  EXPECT_EQ(services.questions[0], "'plain.tdw' already exists. Overwrite?");
  EXPECT_EQ(ProjectPath, dir + "/other.txt");
  // A folder's name cannot be written.
  services.messages.clear();
  services.files.push_back(dir + "/v1.2");
  EXPECT_FALSE(SaveProject(true));
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "File '" + dir + "/v1.2' could not be written.");
}

TEST_F(ProjectFileTest, NewProjectProposesKovrexTdwAndCancelKeepsEverything) {
  std::string initial;
  Svc().saveRequester = [&](const std::string&, const std::string& name, const std::vector<FilePattern>& p) {
    initial = name;
    EXPECT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].pattern, "*.tdw");
    return std::optional<std::string>();
  };
  ProjectModified = 1;
  EXPECT_FALSE(SaveProject(false));
  EXPECT_EQ(initial, "kovrex.tdw");
  EXPECT_EQ(ProjectModified, 1);
  EXPECT_EQ(ProjectPath, "");
}

TEST_F(ProjectFileTest, CloseQuestionForEveryAnswer) {
  const std::string path = dir + "/q.tdw";
  ASSERT_TRUE(SaveProjectFile(path));
  auto modify = [&] {
    store.SetText(GadgetPairFaceWidth, "12");
    DispatchControlEvent({GadgetPairFaceWidth, EventKind::Change, 0, 0, 0});
  };

  modify();
  services.answers = {Answer::Cancel};
  DispatchWindowClose(WindowMain);
  EXPECT_EQ(QuitRequested, 0);

  services.answers = {Answer::No};
  DispatchWindowClose(WindowMain);
  EXPECT_EQ(QuitRequested, 1);
  EXPECT_NE(Slurp(path).find("breedte = 10\n"), std::string::npos);  // discarded

  QuitRequested = 0;
  services.answers = {Answer::Yes};
  DispatchWindowClose(WindowMain);
  EXPECT_EQ(QuitRequested, 1);
  EXPECT_NE(Slurp(path).find("[Paar]"), std::string::npos);
  EXPECT_NE(Slurp(path).find("breedte = 12\n"), std::string::npos);  // saved first

  // Yes with a save that fails keeps the program running.
  QuitRequested = 0;
  modify();
  services.answers = {Answer::Yes};
  test::WithFileSizeLimit(100, [] { DispatchWindowClose(WindowMain); });
  EXPECT_EQ(QuitRequested, 0);
  EXPECT_EQ(ProjectModified, 1);
  EXPECT_EQ(services.questions.size(), 4u);
  EXPECT_EQ(services.questions[0], "The project has been changed. Save changes?");
}

TEST_F(ProjectFileTest, OpenRequesterAsksFirstAndOpens) {
  ProjectModified = 1;
  services.answers = {Answer::Cancel};
  OpenProjectRequester();
  EXPECT_TRUE(services.requesterTitles.empty());  // the question stopped it
  services.answers = {Answer::No};
  services.files = {kGolden};
  OpenProjectRequester();
  ASSERT_EQ(services.requesterTitles.size(), 1u);
  EXPECT_EQ(services.requesterTitles[0], "Open project");
  EXPECT_EQ(ProjectPath, kGolden);
  EXPECT_EQ(ProjectModified, 0);
}

}  // namespace
}  // namespace kovrex
