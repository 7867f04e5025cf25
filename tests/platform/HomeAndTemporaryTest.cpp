#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/FileManager.h"
#include "platform/SearchPaths.h"
#include "tests/support/EnvironmentGuard.h"
#include "tests/support/Files.h"
#include "tests/support/ScratchFolder.h"

namespace {

using platform::SearchPathDirectory;
using testsupport::ScratchFolder;

class SearchPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    env.set("HOME", "/home/u");
    env.unset("XDG_DATA_HOME");
    env.unset("XDG_DATA_DIRS");
  }
  testsupport::EnvironmentGuard env;
};

using Paths = std::vector<std::string>;

TEST_F(SearchPaths, UserDomainIsTheUsersDataFolder) {
  EXPECT_EQ(
      platform::searchPaths(SearchPathDirectory::ApplicationSupport, platform::kUserDomainMask),
      (Paths{"/home/u/.local/share"}));
  env.set("XDG_DATA_HOME", "/elsewhere");
  EXPECT_EQ(
      platform::searchPaths(SearchPathDirectory::ApplicationSupport, platform::kUserDomainMask),
      (Paths{"/elsewhere"}));
  env.set("XDG_DATA_HOME", "not/absolute");
  EXPECT_EQ(
      platform::searchPaths(SearchPathDirectory::ApplicationSupport, platform::kUserDomainMask),
      (Paths{"/home/u/.local/share"}));
}

TEST_F(SearchPaths, HomeFallsBackToThePasswordDatabase) {
  EXPECT_EQ(platform::homeDirectory(), "/home/u");
  env.unset("HOME");
  EXPECT_FALSE(platform::homeDirectory().empty());
}

TEST_F(SearchPaths, TemporaryFolderIsPrivateMadeOnceAndRemovable) {
  ScratchFolder t;
  env.set("TMPDIR", t.root());
  auto folder = platform::temporaryDirectory();
  ASSERT_TRUE(folder);
  EXPECT_EQ(folder->rfind(t.root() + "/zanth-", 0), 0u) << *folder;
  struct stat st;
  ASSERT_EQ(::stat(folder->c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(platform::temporaryDirectory(), folder) << "a second folder was made";

  t.write(folder->substr(t.root().size() + 1) + "/download", "x");
  platform::removeTemporaryDirectory();
  EXPECT_FALSE(platform::FileManager::defaultManager().fileExists(*folder));
}

}  // namespace

namespace {

TEST_F(SearchPaths, TemporaryFolderIsRefusedInASharedFolderWithoutTheStickyBit) {
  ScratchFolder t;
  env.set("TMPDIR", t.root());
  ASSERT_EQ(::chmod(t.root().c_str(), 0777), 0);
  std::string problem;
  EXPECT_EQ(platform::temporaryDirectory(&problem), std::nullopt);
  EXPECT_EQ(problem, "unsafe temporary folder: " + t.root() +
                         " may be written by group or others (mode 0777)");
  EXPECT_TRUE(testsupport::listTree(t.root()).empty()) << "something was made there";

  ASSERT_EQ(::chmod(t.root().c_str(), 01777), 0);  // as /tmp is
  auto folder = platform::temporaryDirectory();
  ASSERT_TRUE(folder);
  EXPECT_EQ(folder->rfind(t.root() + "/zanth-", 0), 0u) << *folder;
  platform::removeTemporaryDirectory();
}

TEST_F(SearchPaths, TemporaryFolderFallsBackToTheCacheFolderNeverToHome) {
  ScratchFolder t;
  env.set("HOME", t.makeFolder("home"));
  env.set("TMPDIR", t.path("missing"));
  const std::string cache = t.path("cache"), homeCache = t.path("home/.cache");
  for (const auto& [cacheHome, parent] : std::vector<std::pair<std::string, std::string>>{
           {"", homeCache}, {"relative", homeCache}, {cache, cache}}) {
    env.set("XDG_CACHE_HOME", cacheHome);
    auto folder = platform::temporaryDirectory();
    ASSERT_TRUE(folder) << cacheHome;
    EXPECT_EQ(folder->rfind(parent + "/zanth-", 0), 0u) << *folder;
    platform::removeTemporaryDirectory();
  }
}

TEST_F(SearchPaths, RemovingTheTemporaryFolderFollowsItWhereverItWasRenamed) {
  ScratchFolder t;
  env.set("TMPDIR", t.root());
  auto folder = platform::temporaryDirectory();
  ASSERT_TRUE(folder);
  t.write(folder->substr(t.root().size() + 1) + "/nested/download", "x");
  std::filesystem::rename(*folder, t.path("moved"));
  t.write(folder->substr(t.root().size() + 1) + "/someone else's", "y");
  platform::removeTemporaryDirectory();
  EXPECT_EQ(testsupport::listTree(t.root()), (Paths{*folder, *folder + "/someone else's"}));
}

}  // namespace
