#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "TempFolder.h"
#include "platform/FileManager.h"
#include "platform/SearchPaths.h"

namespace {

using platform::SearchPathDirectory;

class SearchPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS", "TMPDIR"}) {
      const char* value = std::getenv(name);
      saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    ::setenv("HOME", "/home/u", 1);
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("XDG_DATA_DIRS");
  }
  void TearDown() override {
    for (const auto& [name, value] : saved_) {
      if (value)
        ::setenv(name.c_str(), value->c_str(), 1);
      else
        ::unsetenv(name.c_str());
    }
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

using Paths = std::vector<std::string>;

TEST_F(SearchPaths, UserDomainIsTheUsersDataFolder) {
  EXPECT_EQ(
      platform::searchPaths(SearchPathDirectory::ApplicationSupport, platform::kUserDomainMask),
      (Paths{"/home/u/.local/share"}));
  ::setenv("XDG_DATA_HOME", "/elsewhere", 1);
  EXPECT_EQ(
      platform::searchPaths(SearchPathDirectory::ApplicationSupport, platform::kUserDomainMask),
      (Paths{"/elsewhere"}));
  ::setenv("XDG_DATA_HOME", "not/absolute", 1);
  EXPECT_EQ(
      platform::searchPaths(SearchPathDirectory::ApplicationSupport, platform::kUserDomainMask),
      (Paths{"/home/u/.local/share"}));
}

TEST_F(SearchPaths, HomeFallsBackToThePasswordDatabase) {
  EXPECT_EQ(platform::homeDirectory(), "/home/u");
  ::unsetenv("HOME");
  EXPECT_FALSE(platform::homeDirectory().empty());
}

TEST_F(SearchPaths, TemporaryFolderIsPrivateMadeOnceAndRemovable) {
  TempFolder t;
  ::setenv("TMPDIR", t.path().c_str(), 1);
  auto folder = platform::temporaryDirectory();
  ASSERT_TRUE(folder);
  EXPECT_EQ(folder->rfind(t.path() + "/zanth-", 0), 0u) << *folder;
  struct stat st;
  ASSERT_EQ(::stat(folder->c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(platform::temporaryDirectory(), folder) << "a second folder was made";

  t.write(folder->substr(t.path().size() + 1) + "/download", "x");
  platform::removeTemporaryDirectory();
  EXPECT_FALSE(platform::FileManager::defaultManager().fileExists(*folder));
}

}  // namespace
