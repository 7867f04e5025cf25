#include "platform/FileManager.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/ScratchFolder.h"

namespace {

using testsupport::ScratchFolder;

using platform::FileManager;

TEST(FileManager, ExistenceFollowsLinksAndReportsDirectories) {
  ScratchFolder t;
  auto& fm = FileManager::defaultManager();
  std::string file = t.write("f", "x");
  std::string dir = t.makeFolder("d");
  ASSERT_EQ(::symlink(file.c_str(), (t.path("link")).c_str()), 0);
  ASSERT_EQ(::symlink((t.path("nowhere")).c_str(), (t.path("dangling")).c_str()), 0);

  bool isDirectory = true;
  EXPECT_TRUE(fm.fileExists(file, &isDirectory));
  EXPECT_FALSE(isDirectory);
  EXPECT_TRUE(fm.fileExists(dir, &isDirectory));
  EXPECT_TRUE(isDirectory);
  EXPECT_TRUE(fm.fileExists(t.path("link")));
  EXPECT_FALSE(fm.fileExists(t.path("dangling")));
  EXPECT_FALSE(fm.fileExists(t.path("missing")));
  EXPECT_FALSE(fm.fileExists(""));
}

TEST(FileManager, PermissionsKeepSpecialBits) {
  ScratchFolder t;
  auto& fm = FileManager::defaultManager();
  std::string file = t.write("f", "x");
  ASSERT_TRUE(fm.setPosixPermissions(file, 04640));
  EXPECT_EQ(fm.posixPermissions(file), 04640u);
  ASSERT_TRUE(fm.setPosixPermissions(file, 0600));
  EXPECT_EQ(fm.posixPermissions(file), 0600u);
  EXPECT_EQ(fm.posixPermissions(t.path("missing")), std::nullopt);
  EXPECT_FALSE(fm.setPosixPermissions(t.path("missing"), 0644));
}

TEST(FileManager, RemovesTreesWithoutFollowingLinks) {
  ScratchFolder t;
  ScratchFolder outside;
  auto& fm = FileManager::defaultManager();
  std::string kept = outside.write("keep/me", "precious");
  t.write("tree/a/b/c", "1");
  t.write("tree/top", "2");
  ASSERT_EQ(::symlink(outside.root().c_str(), (t.path("tree/a/escape")).c_str()), 0);

  EXPECT_TRUE(fm.removeItem(t.path("tree")));
  EXPECT_FALSE(fm.fileExists(t.path("tree")));
  EXPECT_TRUE(fm.fileExists(kept)) << "removal followed a symbolic link out of the tree";

  std::string file = t.write("single", "x");
  EXPECT_TRUE(fm.removeItem(file));
  EXPECT_FALSE(fm.removeItem(file)) << "removing nothing reported success";
}

TEST(FileManager, ResolvesLinksOrKeepsThePath) {
  ScratchFolder t;
  auto& fm = FileManager::defaultManager();
  std::string file = t.write("real", "x");
  ASSERT_EQ(::symlink(file.c_str(), (t.path("alias")).c_str()), 0);
  EXPECT_EQ(fm.resolveSymlinks(t.path("alias")), fm.resolveSymlinks(file));
  EXPECT_EQ(fm.resolveSymlinks(t.path("missing")), t.path("missing"));
}

}  // namespace
