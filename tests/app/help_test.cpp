// The user guide launcher on the recording services: which folder's guide is
// opened, what is skipped (empty files, folders carrying the guide's name), the
// warning when there is none, and the exact argument vector given to xdg-open.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/help.h"
#include "support/test_support.h"
#include "text/texts.h"

namespace kovrex {
namespace {

// A fresh folder under the system's temporary folder, removed with its contents.
class TempFolder {
 public:
  explicit TempFolder(const std::string& tag = "") {
    std::error_code ec;
    std::string pattern = std::filesystem::temp_directory_path(ec).string() + "/kovrex_help" + tag + "_XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (mkdtemp(buf.data())) path_ = buf.data();
  }
  ~TempFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }
  std::string slash() const { return path_ + "/"; }
  std::string File(const std::string& name, const std::string& content) const {
    std::string p = slash() + name;
    std::ofstream(p, std::ios::binary) << content;
    return p;
  }

 private:
  std::string path_;
};

std::string RealPath(const std::string& p) {
  char buf[PATH_MAX];
  return realpath(p.c_str(), buf) ? std::string(buf) : std::string();
}

class HelpTest : public test::KovrexTest {};

const std::vector<std::string> kXdgOpen = {"xdg-open"};

TEST_F(HelpTest, EmptyGuideBesideProgramIsSkippedForTheOneInTheCurrentFolder) {
  TempFolder program("prog"), current("cwd");
  ASSERT_FALSE(program.path().empty());
  program.File("help_en.html", "");
  std::string good = current.File("help_en.html", "<html></html>");

  OpenHelpFromDirectories({program.slash(), "", current.slash()});

  EXPECT_TRUE(services.messages.empty());
  ASSERT_EQ(services.started.size(), 1u);
  EXPECT_EQ(services.started[0], (std::vector<std::string>{"xdg-open", good}));
}

TEST_F(HelpTest, FolderCarryingTheGuideNameIsSkipped) {
  TempFolder program("prog"), fixed("fixed");
  ASSERT_EQ(mkdir((program.slash() + "help_en.html").c_str(), 0755), 0);
  std::string good = fixed.File("help_en.html", "x");
  EXPECT_EQ(FindHelpFile({program.slash(), fixed.slash()}, "help_en.html"), good);
  EXPECT_EQ(FindHelpFile({program.slash()}, "help_en.html"), "");
}

TEST_F(HelpTest, FirstQualifyingFolderWinsAndSlashIsAdded) {
  TempFolder a("a"), b("b");
  std::string first = a.File("help_en.html", "a");
  b.File("help_en.html", "b");
  EXPECT_EQ(FindHelpFile({a.slash(), b.slash()}, "help_en.html"), first);
  EXPECT_EQ(FindHelpFile({b.path(), a.path()}, "help_en.html"), b.slash() + "help_en.html");
}

TEST_F(HelpTest, EmptyFolderEntryIsNotTheCurrentFolder) {
  TempFolder current("cwd");
  current.File("help_en.html", "x");
  char before[PATH_MAX];
  ASSERT_NE(getcwd(before, sizeof before), nullptr);
  ASSERT_EQ(chdir(current.path().c_str()), 0);
  std::string found = FindHelpFile({""}, "help_en.html");
  ASSERT_EQ(chdir(before), 0);
  EXPECT_EQ(found, "");
}

TEST_F(HelpTest, NoGuideAnywhereWarnsOncePerRequest) {
  TempFolder a("a"), b("b");
  a.File("help_nl.html", "the other language's guide is not taken");
  const std::vector<std::string> dirs = {a.slash(), b.slash(), ""};

  OpenHelpFromDirectories(dirs);
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].icon, MessageIcon::Warning);
  EXPECT_EQ(services.messages[0].title, "Kovrex");
  EXPECT_EQ(services.messages[0].text,
            "The help file 'help_en.html' was not found. Place it next to the program.");

  OpenHelpFromDirectories(dirs);
  EXPECT_EQ(services.messages.size(), 2u);
  EXPECT_TRUE(services.started.empty());
}

TEST_F(HelpTest, DutchBuildLooksForTheDutchGuide) {
  SetTextLanguageForTest(true);
  EXPECT_EQ(HelpFileName(), "help_nl.html");
  TempFolder a("a");
  a.File("help_en.html", "x");
  OpenHelpFromDirectories({a.slash()});
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].title, "Kovrex");
  EXPECT_EQ(services.messages[0].text,
            "Het helpbestand 'help_nl.html' is niet gevonden. Zet het naast het programma.");

  std::string nl = a.File("help_nl.html", "x");
  OpenHelpFromDirectories({a.slash()});
  ASSERT_EQ(services.started.size(), 1u);
  EXPECT_EQ(services.started[0], (std::vector<std::string>{"xdg-open", nl}));
}

// Blanks, quotes and a command substitution in a folder name stay part of the one
// path argument: nothing is added around it and nothing is split off.
TEST_F(HelpTest, PathIsPassedAsOneUnquotedArgument) {
  TempFolder parent("odd");
  std::string odd = parent.slash() + "my guides \"new\" $(touch pwned) 'x'";
  ASSERT_EQ(mkdir(odd.c_str(), 0755), 0);
  std::string guide = odd + "/help_en.html";
  std::ofstream(guide) << "x";
  OpenHelpFromDirectories({odd + "/"});
  ASSERT_EQ(services.started.size(), 1u);
  ASSERT_EQ(services.started[0].size(), 2u);
  EXPECT_EQ(services.started[0][0], "xdg-open");
  EXPECT_EQ(services.started[0][1], guide);
}

TEST_F(HelpTest, CandidateFoldersAreProgramThenBuildTimeThenCurrent) {
  TempFolder current("cwd");
  char before[PATH_MAX];
  ASSERT_NE(getcwd(before, sizeof before), nullptr);
  ASSERT_EQ(chdir(current.path().c_str()), 0);
  std::vector<std::string> dirs = HelpCandidateDirectories();
  ASSERT_EQ(chdir(before), 0);

  ASSERT_EQ(dirs.size(), 3u);
  for (const std::string& d : dirs) {
    ASSERT_FALSE(d.empty());
    EXPECT_EQ(d.back(), '/') << d;
  }
  // The test program itself lives in <build>/tests.
  EXPECT_EQ(RealPath(dirs[0]), RealPath(std::string(KOVREX_BINARY_DIR) + "/tests"));
  EXPECT_EQ(RealPath(dirs[2]), RealPath(current.path()));
}

}  // namespace
}  // namespace kovrex
