// The streaming safe file of the CAD export: the temporary file stands beside the
// target from Open on, and nothing but a successful Commit touches the target.
#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/atomic_file.h"

namespace kovrex {
namespace {

class AtomicFileWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char templ[] = "/tmp/kovrex_writer_XXXXXX";
    ASSERT_NE(mkdtemp(templ), nullptr);
    dir = templ;
  }
  void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
      while (dirent* e = readdir(d))
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) names.push_back(e->d_name);
      closedir(d);
    }
    return names;
  }
  static std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::string dir;
};

TEST_F(AtomicFileWriterTest, TheTemporaryFileExistsFromOpenAndOnlyCommitReplacesTheTarget) {
  const std::string path = dir + "/gear.stl";
  ASSERT_TRUE(WriteFileAtomically(path, "old"));
  AtomicFileWriter out;
  ASSERT_TRUE(out.Open(path));
  EXPECT_EQ(Entries().size(), 2u);  // the old file and the temporary one
  ASSERT_TRUE(out.Write("new ", 4));
  ASSERT_TRUE(out.Write(std::string_view("bytes")));
  EXPECT_EQ(Slurp(path), "old");
  ASSERT_TRUE(out.Commit());
  EXPECT_EQ(Slurp(path), "new bytes");
  EXPECT_EQ(Entries(), std::vector<std::string>{"gear.stl"});
}

TEST_F(AtomicFileWriterTest, AWriterDroppedOrAbandonedKeepsTheOldFileAndLeavesNoTemporaryFile) {
  const std::string path = dir + "/gear.dxf";
  ASSERT_TRUE(WriteFileAtomically(path, "old"));
  {
    AtomicFileWriter dropped;
    ASSERT_TRUE(dropped.Open(path));
    ASSERT_TRUE(dropped.Write("half", 4));
  }
  AtomicFileWriter abandoned;
  ASSERT_TRUE(abandoned.Open(path));
  abandoned.Abandon();
  EXPECT_FALSE(abandoned.Write("x", 1));
  EXPECT_FALSE(abandoned.Commit());
  EXPECT_EQ(Slurp(path), "old");
  EXPECT_EQ(Entries(), std::vector<std::string>{"gear.dxf"});
}

TEST_F(AtomicFileWriterTest, OpenFailsInAMissingFolderWithAReason) {
  AtomicFileWriter out;
  EXPECT_FALSE(out.Open(dir + "/missing/gear.stp"));
  EXPECT_NE(out.ErrorText().find("create"), std::string::npos);
  EXPECT_FALSE(out.Write("x", 1));
  EXPECT_FALSE(out.Commit());
}

}  // namespace
}  // namespace kovrex
