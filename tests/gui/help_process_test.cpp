// The user guide handed to a real process by the GTK process-start service: a
// stand-in "xdg-open" first on PATH records the arguments it receives, so the test
// sees exactly one argument, the path unchanged (no shell, nothing added), and that
// the program does not wait for it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/gtk/gtk_services.h"
#include "app/help.h"
#include "app/services.h"
#include "gui/gui_test_support.h"

namespace kovrex::test {
namespace {

namespace fs = std::filesystem;

bool Exists(const std::string& p) {
  struct stat st;
  return stat(p.c_str(), &st) == 0;
}

std::string ReadAll(const std::string& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class HelpProcessTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    std::error_code ec;
    std::string pattern = fs::temp_directory_path(ec).string() + "/kovrex_xdg_XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    ASSERT_NE(mkdtemp(buf.data()), nullptr);
    root = buf.data();
    ASSERT_EQ(mkdir((root + "/bin").c_str(), 0755), 0);
    oldPath = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", (root + "/bin:" + oldPath).c_str(), 1);

    // The stand-in waits for the go file before it records, so that the program has
    // returned from starting it while it is still running. Arguments are written
    // NUL-separated after their count, so nothing in them can be misread.
    std::ofstream script(root + "/bin/xdg-open");
    script << "#!/bin/sh\n"
              "i=0\n"
              "while [ ! -e '" << root << "/go' ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done\n"
              "{ printf '%s\\n' \"$#\"; for a in \"$@\"; do printf '%s\\0' \"$a\"; done; } > '"
           << root << "/args.tmp'\n"
              "mv '" << root << "/args.tmp' '" << root << "/args'\n";
    script.close();
    ASSERT_EQ(chmod((root + "/bin/xdg-open").c_str(), 0755), 0);

    InstallGtkServices();
    // No GTK dialog may open in a test: record messages instead.
    Svc().messageBox = [this](MessageIcon, const std::string&, const std::string& text) {
      messages.push_back(text);
    };
  }
  void TearDown() override {
    setenv("PATH", oldPath.c_str(), 1);
    std::error_code ec;
    if (!root.empty()) fs::remove_all(root, ec);
    GuiTest::TearDown();
  }
  std::string root, oldPath;
  std::vector<std::string> messages;
};

TEST_F(HelpProcessTest, XdgOpenGetsThePathAsItsOneArgumentAndIsNotWaitedFor) {
  // Blanks, both kinds of quote, a command substitution and a semicolon: a shell
  // would split, unquote or run them; an argument vector passes them through.
  // A shell would run the substitution in the program's current folder.
  const std::string folder = root + "/my guides \"new\" $(touch kovrex_pwned) 'x'; echo";
  unlink("kovrex_pwned");
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  const std::string guide = folder + "/help_en.html";
  std::ofstream(guide) << "<html></html>";

  OpenHelpFromDirectories({folder + "/"});
  EXPECT_TRUE(messages.empty());
  // Returned while the stand-in still waits for the go file.
  EXPECT_FALSE(Exists(root + "/args"));

  std::ofstream(root + "/go") << "";
  ASSERT_TRUE(PumpUntil([this] { return Exists(root + "/args"); }) ||
              PumpUntil([this] { return Exists(root + "/args"); }))
      << "the stand-in xdg-open did not run";

  std::string recorded = ReadAll(root + "/args");
  EXPECT_EQ(recorded, "1\n" + guide + std::string(1, '\0'));
  EXPECT_FALSE(Exists("kovrex_pwned")) << "the path went through a shell";
  unlink("kovrex_pwned");
}

}  // namespace
}  // namespace kovrex::test
