#include "platform/ConfigurationStore.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/EnvironmentGuard.h"
#include "tests/support/ScratchFolder.h"

using platform::ConfigurationStore;
using testsupport::EnvironmentGuard;
using testsupport::ScratchFolder;

namespace {

const ConfigurationStore kStore("Vendor/App.conf", "App");

struct ConfigFolders : ::testing::Test {
  ScratchFolder scratch;
  EnvironmentGuard env;
  std::string first = scratch.makeFolder("etc/first");
  std::string second = scratch.makeFolder("etc/second");
  void SetUp() override { env.set("XDG_CONFIG_DIRS", first + ":" + second); }
};

}  // namespace

TEST_F(ConfigFolders, IntegerValuesAndWhatReadsZero) {
  struct Case {
    const char* file;  // content of first/Vendor/App.conf; null: no file
    int expected;
  };
  const Case cases[] = {
      {nullptr, 0},
      {"[App]\nLimit=1\n", 1},
      {"[App]\nLimit=0\n", 0},
      {"[App]\nLimit=42\n", 42},
      {"[App]\nLimit=-2\n", -2},
      {"# comment\n[Other]\nX=1\n\n[App]\nLimit = 3\n", 3},
      {"[App]\nLimit=yes\n", 0},
      {"[App]\nLimit=1x\n", 0},
      {"[App]\nLimit=\n", 0},
      {"[App]\nOther=1\n", 0},
      {"[Other]\nLimit=1\n", 0},
      {"Limit=1\n", 0},  // not a key file: no group
  };
  for (const Case& c : cases) {
    std::remove((first + "/Vendor/App.conf").c_str());
    if (c.file) scratch.write("etc/first/Vendor/App.conf", c.file);
    EXPECT_EQ(kStore.integerValue("Limit"), c.expected) << (c.file ? c.file : "(no file)");
  }
}

TEST_F(ConfigFolders, FilesWithoutTheKeyOrUnreadablePassOn) {
  scratch.write("etc/second/Vendor/App.conf", "[App]\nLimit=1\n");
  for (const char* content : {"[App]\nOther=5\n", "[App\nbroken", "\xff\xfe[App]\nLimit=0\n"}) {
    scratch.write("etc/first/Vendor/App.conf", content);
    EXPECT_EQ(kStore.integerValue("Limit"), 1) << content;
  }
  // A folder in place of the file, and a file that cannot be opened.
  std::remove((first + "/Vendor/App.conf").c_str());
  scratch.makeFolder("etc/first/Vendor/App.conf");
  EXPECT_EQ(kStore.integerValue("Limit"), 1);
  if (::geteuid() != 0) {
    std::filesystem::remove(first + "/Vendor/App.conf");
    scratch.write("etc/first/Vendor/App.conf", "[App]\nLimit=0\n", 0);
    EXPECT_EQ(kStore.integerValue("Limit"), 1);
  }
}

TEST_F(ConfigFolders, FolderListFollowsTheEnvironment) {
  env.set("XDG_CONFIG_DIRS", "relative/dir::" + second + ":" + first + "/");
  EXPECT_EQ(ConfigurationStore::configurationFolders(),
            (std::vector<std::string>{second, first + "/"}));
  env.unset("XDG_CONFIG_DIRS");
  EXPECT_EQ(ConfigurationStore::configurationFolders(), std::vector<std::string>{"/etc/xdg"});
  env.set("XDG_CONFIG_DIRS", "");
  EXPECT_EQ(ConfigurationStore::configurationFolders(), std::vector<std::string>{"/etc/xdg"});
}

TEST_F(ConfigFolders, UsersOwnConfigurationIsNotConsulted) {
  env.set("XDG_CONFIG_HOME", scratch.makeFolder("home/.config"));
  scratch.write("home/.config/Vendor/App.conf", "[App]\nLimit=1\n");
  EXPECT_EQ(kStore.integerValue("Limit"), 0);
}
