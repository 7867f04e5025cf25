#include "platform/ToolkitEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/SearchPaths.h"
#include "platform/Task.h"
#include "tests/support/EnvironmentGuard.h"
#include "tests/support/Files.h"
#include "tests/support/ScratchFolder.h"

using platform::toolkitDataDirs;
using platform::withDataDirs;
using std::nullopt;
using Value = std::optional<std::string>;

TEST(ToolkitEnvironment, ToolkitGetsTheMissingSystemFoldersAndChildrenTheReceivedValue) {
  const std::pair<Value, Value> toolkit[] = {
      {nullopt, nullopt},  // unset and empty already mean the system's folders
      {"", nullopt},
      {"/opt/rt:/usr/share", "/opt/rt:/usr/share:/usr/local/share"},
      {"/usr/share/:/opt/rt:/usr/local/share//", "/usr/share/:/opt/rt:/usr/local/share//"},
      {"/usr/share/x:/usr", "/usr/share/x:/usr:/usr/local/share:/usr/share"},
  };
  for (const auto& [received, expected] : toolkit) {
    EXPECT_EQ(toolkitDataDirs(received), expected) << "received " << received.value_or("unset");
  }

  const std::vector<std::string> adjusted = {"A=1", "XDG_DATA_DIRS=/opt/rt:/usr/share", "B=2"};
  EXPECT_EQ(withDataDirs(adjusted, "/opt/rt"),
            (std::vector<std::string>{"A=1", "XDG_DATA_DIRS=/opt/rt", "B=2"}));
  EXPECT_EQ(withDataDirs(adjusted, nullopt), (std::vector<std::string>{"A=1", "B=2"}))
      << "a variable the program did not receive must not reach its children";
  EXPECT_EQ(withDataDirs({"XDG_DATA_DIRSX=y", "XDG_DATA_DIRS=a", "XDG_DATA_DIRS=b"}, ""),
            (std::vector<std::string>{"XDG_DATA_DIRSX=y", "XDG_DATA_DIRS="}))
      << "only the variable itself is replaced, once, and an empty value is kept as given";
}

// The process after start-up: the toolkit reads the adjusted value, while the runtime search
// and a child see only what the program was given.
TEST(ToolkitEnvironment, SearchAndChildrenKeepTheReceivedValue) {
  testsupport::ScratchFolder scratch;
  testsupport::EnvironmentGuard env;
  const std::string runtimeOnly = scratch.makeFolder("share");
  env.set("HOME", scratch.makeFolder("home"));
  env.set("XDG_DATA_DIRS", runtimeOnly);
  platform::prepareToolkitEnvironment();

  EXPECT_EQ(std::string(std::getenv("XDG_DATA_DIRS")),
            runtimeOnly + ":/usr/local/share:/usr/share");
  EXPECT_EQ(
      platform::searchPaths(platform::SearchPathDirectory::Library, platform::kSystemDomainMask),
      std::vector<std::string>{runtimeOnly});

  const std::string out = scratch.path("child-env");
  const std::string script = scratch.write(
      "print env", "#!/bin/sh\nprintf '%s' \"${XDG_DATA_DIRS-unset}\" >'" + out + "'\n", 0755);
  platform::Task task(script, {});
  ASSERT_TRUE(task.launch());
  task.waitUntilExit();
  EXPECT_EQ(testsupport::readFile(out), runtimeOnly);
}
