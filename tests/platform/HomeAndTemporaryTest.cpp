#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/FileManager.h"
#include "platform/SearchPaths.h"
#include "tests/support/EnvironmentGuard.h"
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
