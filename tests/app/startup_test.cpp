// The command-line project at start-up: only a regular file with content is opened.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/startup.h"

namespace kovrex {
namespace {

namespace fs = std::filesystem;

TEST(StartUpProjectArgument, OnlyARegularNonEmptyFileCounts) {
  fs::path dir = fs::temp_directory_path() / ("kovrex-startup-" + std::to_string(getpid()));
  fs::create_directories(dir / "folder");
  std::ofstream(dir / "empty.tdw").close();
  std::ofstream(dir / "project.tdw") << "[Tandwiel]\nversie = 1\n";
  fs::create_symlink(dir / "project.tdw", dir / "link.tdw");

  struct Case {
    fs::path path;
    bool opened;
  };
  const Case cases[] = {
      {dir / "project.tdw", true},
      {dir / "link.tdw", true},    // a link to a project is that project
      {dir / "empty.tdw", false},  // size 0
      {dir / "folder", false},     // a directory's st_size is positive on POSIX
      {dir / "missing.tdw", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsStartUpProjectArgument(c.path.string()), c.opened) << c.path;
  fs::remove_all(dir);
}

}  // namespace
}  // namespace kovrex
