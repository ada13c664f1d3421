// The project file text: the reader's tolerance, the writer's layout rules, UTF-8
// repair, and the safe whole-file write.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/control_store.h"
#include "app/controls.h"
#include "app/project_bindings.h"
#include "app/project_format.h"
#include "app/atomic_file.h"
#include "geometry/arrangement_state.h"
#include "support/test_support.h"

namespace kovrex {
namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ProjectReader, LineEndsBomCaseAndBlanks) {
  const char* bodies[] = {
      "\xEF\xBB\xBF\n;  Kovrex-project\n[Tandwiel]\nversie = 1\n[Paar]\nhartafstand = 60,5\n",
      ";  Kovrex-project\r\n[Tandwiel]\r\nversie = 1\r\n[Paar]\r\nhartafstand = 60,5\r\n",
      ";  Kovrex-project\r[Tandwiel]\rversie = 1\r[Paar]\rhartafstand = 60,5\r",
      "[TANDWIEL]\n  VERSIE=1\n\n\t[paar]\nHartafstand\t =\t 60,5  \t\n",
  };
  for (const char* body : bodies) {
    ProjectDocument doc = ParseProjectText(body);
    EXPECT_EQ(ReadProjectInteger(doc, "Tandwiel", "versie", 0), 1) << body;
    EXPECT_EQ(ReadProjectText(doc, "Paar", "hartafstand", "?"), "60,5") << body;
  }
}

TEST(ProjectReader, KeysBelongToTheirGroupAndDefaultsApply) {
  ProjectDocument doc = ParseProjectText("[Paar]\nbeta = 3\n[Enkel]\nmodul = 2\nbad = x12\n");
  EXPECT_EQ(ReadProjectText(doc, "Enkel", "beta", "dflt"), "dflt");  // beta lies in Paar only
  EXPECT_EQ(ReadProjectText(doc, "Paar", "beta", "dflt"), "3");
  EXPECT_EQ(ReadProjectText(doc, "Heugel", "modul", "dflt"), "dflt");
  EXPECT_EQ(ReadProjectInteger(doc, "Enkel", "bad", 7), 7);
  EXPECT_EQ(ReadProjectInteger(doc, "Enkel", "modul", 7), 2);
  EXPECT_EQ(ReadProjectInteger(ParseProjectText(""), "Tandwiel", "versie", 0), 0);
}

TEST(ProjectReader, Utf8IsRepaired) {
  EXPECT_EQ(SanitizeUtf8("Ø 12 μm"), "Ø 12 μm");
  EXPECT_EQ(SanitizeUtf8("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(SanitizeUtf8("\xC3"), "\xEF\xBF\xBD");          // cut sequence
  EXPECT_EQ(SanitizeUtf8("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");  // overlong '/'
  EXPECT_EQ(SanitizeUtf8("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");  // surrogate
}

class ProjectWriterTest : public test::KovrexTest {};

TEST_F(ProjectWriterTest, LayoutAndSingleLineValues) {
  RegisterProjectBindings();
  store.SetText(GadgetPairCentreDistance, "60\n[Evil]\r\nversie = 9");
  store.SetState(GadgetTabPanel, 2);
  std::string text = BuildProjectFileText();
  EXPECT_EQ(text.substr(0, 4), "\xEF\xBB\xBF\n");
  EXPECT_EQ(text.substr(4, 18), ";  Kovrex-project\n");
  EXPECT_NE(text.find("[Tandwiel]\nversie = 1\ntabblad = 2\n[Paar]\nhartafstand = 60 [Evil]  versie = 9\n"),
            std::string::npos);
  EXPECT_EQ(text.find('\r'), std::string::npos);
  EXPECT_EQ(text.back(), '\n');
  EXPECT_EQ(text.find("[Keuze]"), std::string::npos);  // nothing selected
  EXPECT_EQ(text.find("[KeuzeBinnen]"), std::string::npos);
  // Every group appears once, in binding order.
  size_t paar = text.find("[Paar]"), naaf = text.find("[Naaf]"), weergave = text.find("[Weergave]");
  EXPECT_LT(paar, naaf);
  EXPECT_LT(naaf, weergave);
  EXPECT_EQ(text.find("[Paar]", paar + 1), std::string::npos);
}

TEST_F(ProjectWriterTest, SelectedRowsAreWritten) {
  RegisterProjectBindings();
  PairResultList.push_back({0.2, 200, 400, 0.0, 2.0, 0.0, 0.0, 2000.0});
  PairSelectedRow = 0;
  InternalResultList.push_back({0.12, 333, 999, 12.5, 3.0, 0.0, 0.1, 1200.0});
  InternalSelectedRow = 0;
  store.SetText(GadgetPairX1, "0.0000");
  store.SetText(GadgetInternalX1, "0,25");
  std::string text = BuildProjectFileText();
  EXPECT_NE(text.find("[Keuze]\nmodul = 0.200000\nz1 = 200\nz2 = 400\nbeta = 0.000000\nx1 = 0.0000\n"
                      "[KeuzeBinnen]\nmodul = 0.120000\nz1 = 333\nz2 = 999\nbeta = 12.500000\nx1 = 0,25\n"),
            std::string::npos);
}

class AtomicFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char templ[] = "/tmp/kovrex_atomic_XXXXXX";
    ASSERT_NE(mkdtemp(templ), nullptr);
    dir = templ;
  }
  void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }
  std::string dir;
};

TEST_F(AtomicFileTest, WritesAndReplaces) {
  std::string path = dir + "/a.tdw";
  ASSERT_TRUE(WriteFileAtomically(path, "one"));
  ASSERT_TRUE(WriteFileAtomically(path, "two"));
  EXPECT_EQ(Slurp(path), "two");
}

TEST_F(AtomicFileTest, AFolderOrAMissingFolderIsRefused) {
  std::string err;
  EXPECT_FALSE(WriteFileAtomically(dir, "x", &err));
  EXPECT_FALSE(WriteFileAtomically(dir + "/missing/a.tdw", "x", &err));
}

TEST_F(AtomicFileTest, AFullDiskKeepsTheOldFile) {
  std::string path = dir + "/a.tdw";
  ASSERT_TRUE(WriteFileAtomically(path, "old project"));
  // A file-size limit makes write() fail as a full disk does (EFBIG instead of ENOSPC).
  struct rlimit old;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string err;
  bool ok = WriteFileAtomically(path, std::string(100000, 'x'), &err);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(ok);
  EXPECT_EQ(Slurp(path), "old project");
  // No temporary file is left behind, hidden or not.
  int files = 0;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d))
      if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) ++files;
    closedir(d);
  }
  EXPECT_EQ(files, 1);
}

TEST_F(AtomicFileTest, ALinkIsWrittenThroughAndStaysALink) {
  const std::string target = dir + "/real.tdw", link = dir + "/link.tdw";
  ASSERT_TRUE(WriteFileAtomically(target, "old"));
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  ASSERT_TRUE(WriteFileAtomically(link, "new"));
  struct stat st;
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(Slurp(target), "new");
}

// Links are written through as a plain write would: a dangling link creates its
// target where the target's folder exists and stays a link; a missing folder or a
// loop of links fails and leaves every link as it was, with no file made.
TEST_F(AtomicFileTest, DanglingAndLoopingLinksAreWrittenThroughOrRefused) {
  auto isLinkTo = [](const std::string& link, const std::string& target) {
    struct stat st;
    if (lstat(link.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return false;
    char buf[4096];
    const ssize_t n = readlink(link.c_str(), buf, sizeof buf);
    return n >= 0 && std::string(buf, static_cast<size_t>(n)) == target;
  };
  auto entries = [](const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = opendir(folder.c_str())) {
      while (dirent* e = readdir(d))
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) names.push_back(e->d_name);
      closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
  };
  ASSERT_EQ(mkdir((dir + "/existing-folder").c_str(), 0755), 0);

  // proj.tdw -> missing-folder/x.tdw: fails, the link stays, nothing is made.
  const std::string missing = dir + "/missing.tdw";
  ASSERT_EQ(symlink("missing-folder/x.tdw", missing.c_str()), 0);
  std::string err;
  EXPECT_FALSE(WriteFileAtomically(missing, "new", &err));
  EXPECT_FALSE(err.empty());
  EXPECT_TRUE(isLinkTo(missing, "missing-folder/x.tdw"));

  // proj.tdw -> existing-folder/new.tdw (relative to the link's folder): made there.
  const std::string dangling = dir + "/dangling.tdw";
  ASSERT_EQ(symlink("existing-folder/new.tdw", dangling.c_str()), 0);
  ASSERT_TRUE(WriteFileAtomically(dangling, "made"));
  EXPECT_TRUE(isLinkTo(dangling, "existing-folder/new.tdw"));
  EXPECT_EQ(Slurp(dir + "/existing-folder/new.tdw"), "made");
  EXPECT_EQ(entries(dir + "/existing-folder"), std::vector<std::string>{"new.tdw"});

  // A chain: a relative target counts from its own link's folder, not the first's.
  const std::string chain = dir + "/chain.tdw";
  ASSERT_EQ(symlink("../real.tdw", (dir + "/existing-folder/hop.tdw").c_str()), 0);
  ASSERT_EQ(symlink("existing-folder/hop.tdw", chain.c_str()), 0);
  ASSERT_TRUE(WriteFileAtomically(chain, "chained"));
  EXPECT_TRUE(isLinkTo(chain, "existing-folder/hop.tdw"));
  EXPECT_TRUE(isLinkTo(dir + "/existing-folder/hop.tdw", "../real.tdw"));
  EXPECT_EQ(Slurp(dir + "/real.tdw"), "chained");

  // Two links pointing at each other, and a link to itself: fail, both stay links.
  const std::string a = dir + "/a.tdw", b = dir + "/b.tdw", self = dir + "/self.tdw";
  ASSERT_EQ(symlink("b.tdw", a.c_str()), 0);
  ASSERT_EQ(symlink("a.tdw", b.c_str()), 0);
  ASSERT_EQ(symlink("self.tdw", self.c_str()), 0);
  for (const std::string& path : {a, b, self}) {
    err.clear();
    EXPECT_FALSE(WriteFileAtomically(path, "x", &err)) << path;
    EXPECT_NE(err.find(std::strerror(ELOOP)), std::string::npos) << err;
  }
  EXPECT_TRUE(isLinkTo(a, "b.tdw"));
  EXPECT_TRUE(isLinkTo(b, "a.tdw"));
  EXPECT_TRUE(isLinkTo(self, "self.tdw"));
  // No temporary file is left anywhere.
  EXPECT_EQ(entries(dir), (std::vector<std::string>{"a.tdw", "b.tdw", "chain.tdw", "dangling.tdw", "existing-folder",
                                                    "missing.tdw", "real.tdw", "self.tdw"}));
}

TEST_F(AtomicFileTest, PermissionsOfANewFileFollowTheUmaskAndAnOldFileKeepsItsOwn) {
  // What open(O_CREAT, 0666) gives under each umask.
  struct RestoreUmask {
    mode_t old = umask(022);
    ~RestoreUmask() { umask(old); }
  } restore;
  for (mode_t mask : {mode_t{022}, mode_t{077}}) {
    umask(mask);
    const std::string path = dir + "/new" + std::to_string(mask) + ".tdw";
    ASSERT_TRUE(WriteFileAtomically(path, "x"));
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask) << mask;
  }
  umask(restore.old);
  const std::string kept = dir + "/kept.tdw";
  ASSERT_TRUE(WriteFileAtomically(kept, "x"));
  ASSERT_EQ(chmod(kept.c_str(), 0640), 0);
  ASSERT_TRUE(WriteFileAtomically(kept, "y"));
  struct stat st;
  ASSERT_EQ(stat(kept.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(AtomicFileTest, ATargetNameNearTheLengthLimitCanBeWritten) {
  const std::string path = dir + "/" + std::string(250, 'p') + ".tdw";  // 254 bytes, NAME_MAX 255
  ASSERT_TRUE(WriteFileAtomically(path, "x"));
  EXPECT_EQ(Slurp(path), "x");
}

}  // namespace
}  // namespace kovrex
