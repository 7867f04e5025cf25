#include "platform/FileManager.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TempFolder.h"

namespace {

using platform::FileManager;

TEST(FileManager, ExistenceFollowsLinksAndReportsDirectories) {
  TempFolder t;
  auto& fm = FileManager::defaultManager();
  std::string file = t.write("f", "x");
  std::string dir = t.mkdir("d");
  ::symlink(file.c_str(), (t / "link").c_str());
  ::symlink((t / "nowhere").c_str(), (t / "dangling").c_str());

  bool isDirectory = true;
  EXPECT_TRUE(fm.fileExists(file, &isDirectory));
  EXPECT_FALSE(isDirectory);
  EXPECT_TRUE(fm.fileExists(dir, &isDirectory));
  EXPECT_TRUE(isDirectory);
  EXPECT_TRUE(fm.fileExists(t / "link"));
  EXPECT_FALSE(fm.fileExists(t / "dangling"));
  EXPECT_FALSE(fm.fileExists(t / "missing"));
  EXPECT_FALSE(fm.fileExists(""));
}

TEST(FileManager, PermissionsKeepSpecialBits) {
  TempFolder t;
  auto& fm = FileManager::defaultManager();
  std::string file = t.write("f", "x");
  ASSERT_TRUE(fm.setPosixPermissions(file, 04640));
  EXPECT_EQ(fm.posixPermissions(file), 04640u);
  ASSERT_TRUE(fm.setPosixPermissions(file, 0600));
  EXPECT_EQ(fm.posixPermissions(file), 0600u);
  EXPECT_EQ(fm.posixPermissions(t / "missing"), std::nullopt);
  EXPECT_FALSE(fm.setPosixPermissions(t / "missing", 0644));
}

TEST(FileManager, RemovesTreesWithoutFollowingLinks) {
  TempFolder t;
  TempFolder outside;
  auto& fm = FileManager::defaultManager();
  std::string kept = outside.write("keep/me", "precious");
  t.write("tree/a/b/c", "1");
  t.write("tree/top", "2");
  ::symlink(outside.path().c_str(), (t / "tree/a/escape").c_str());

  EXPECT_TRUE(fm.removeItem(t / "tree"));
  EXPECT_FALSE(fm.fileExists(t / "tree"));
  EXPECT_TRUE(fm.fileExists(kept)) << "removal followed a symbolic link out of the tree";

  std::string file = t.write("single", "x");
  EXPECT_TRUE(fm.removeItem(file));
  EXPECT_FALSE(fm.removeItem(file)) << "removing nothing reported success";
}

TEST(FileManager, ResolvesLinksOrKeepsThePath) {
  TempFolder t;
  auto& fm = FileManager::defaultManager();
  std::string file = t.write("real", "x");
  ::symlink(file.c_str(), (t / "alias").c_str());
  EXPECT_EQ(fm.resolveSymlinks(t / "alias"), fm.resolveSymlinks(file));
  EXPECT_EQ(fm.resolveSymlinks(t / "missing"), t / "missing");
}

}  // namespace
