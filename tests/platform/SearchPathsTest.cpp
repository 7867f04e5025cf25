#include "platform/SearchPaths.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/EnvironmentGuard.h"
#include "tests/support/ScratchFolder.h"

using platform::kLocalDomainMask;
using platform::kNetworkDomainMask;
using platform::kSystemDomainMask;
using platform::SearchPathDirectory;
using testsupport::EnvironmentGuard;
using testsupport::ScratchFolder;

namespace {

constexpr unsigned kMachine = kLocalDomainMask | kNetworkDomainMask | kSystemDomainMask;

struct Folders : ::testing::Test {
  ScratchFolder scratch;
  EnvironmentGuard env;
  std::string home = scratch.makeFolder("home");
  std::string dataHome = scratch.makeFolder("data home");
  std::string a = scratch.makeFolder("usr/a");
  std::string b = scratch.makeFolder("usr/b");
  void SetUp() override {
    env.set("HOME", home);
    env.set("XDG_DATA_HOME", dataHome);
  }
  std::vector<std::string> machine(const std::string& dataDirs) {
    env.set("XDG_DATA_DIRS", dataDirs);
    return platform::searchPaths(SearchPathDirectory::Library, kMachine);
  }
};

}  // namespace

TEST_F(Folders, MachineFoldersKeepTheirOrder) {
  EXPECT_EQ(machine(b + ":" + a), (std::vector<std::string>{b, a}));
  EXPECT_EQ(machine(a + "::relative:" + b), (std::vector<std::string>{a, b}));
  EXPECT_EQ(machine(""), (std::vector<std::string>{"/usr/local/share", "/usr/share"}));
}

TEST_F(Folders, UsersOwnFoldersAreNeverMachineFolders) {
  std::filesystem::create_symlink(home + "/stuff", scratch.path("usr/link to home"));
  scratch.makeFolder("home/stuff");
  const std::string spellings[] = {
      home,
      home + "/share",
      home + "/",
      home + "//share",
      a + "/../../home/share",
      scratch.root() + "/./home/x",
      dataHome,
      dataHome + "/sub",
      scratch.path("usr/link to home"),
  };
  for (const std::string& entry : spellings) {
    EXPECT_EQ(machine(a + ":" + entry + ":" + b), (std::vector<std::string>{a, b})) << entry;
  }
  // A folder that merely shares the home's name as a prefix is not inside it.
  const std::string sibling = scratch.makeFolder("home2");
  EXPECT_EQ(machine(sibling), std::vector<std::string>{sibling});
}
