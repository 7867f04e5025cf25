// Parts of the Bootstrapper that can be observed without ending the process.
#include "bootstrapper/Bootstrapper.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/ProcessInfo.h"
#include "tests/support/Sandbox.h"

namespace {

unsigned modeOf(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

class BootstrapperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() /
             ("zanth-bootstrapper-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder + "/Foo");
    program = folder + "/Install Foo";
    const char* argv[] = {program.c_str()};
    platform::ProcessInfo::setArguments(1, argv);
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  std::string folder;
  std::string program;
};

TEST_F(BootstrapperTest, NamesComeFromTheProgramsFileName) {
  Bootstrapper bootstrapper;
  EXPECT_EQ(bootstrapper.appName(), "Install Foo");
  EXPECT_EQ(
      bootstrapper.localizedWindowTitle().substr(bootstrapper.localizedWindowTitle().size() - 3),
      "Foo");
}

TEST_F(BootstrapperTest, MarkAsExecutableAddsExecuteForEveryoneAndKeepsTheRest) {
  Bootstrapper bootstrapper;
  struct Case {
    unsigned before, after;
  };
  for (Case c : {Case{0644, 0755}, Case{0600, 0711}, Case{0755, 0755}, Case{0400, 0511},
                 Case{04644, 04755}, Case{01600, 01711}}) {
    const std::string file = folder + "/installer";
    testsupport::Sandbox::writeFile(file, "#!/bin/sh\n", c.before);
    ASSERT_EQ(modeOf(file), c.before);
    EXPECT_TRUE(bootstrapper.markAsExecutable(file)) << std::oct << c.before;
    EXPECT_EQ(modeOf(file), c.after) << std::oct << c.before;
    std::filesystem::remove(file);
  }
}

TEST_F(BootstrapperTest, MarkAsExecutableFollowsLinksAndFailsWithoutAFile) {
  Bootstrapper bootstrapper;
  const std::string target = folder + "/real";
  testsupport::Sandbox::writeFile(target, "x", 0640);
  std::filesystem::create_symlink(target, folder + "/link");
  EXPECT_TRUE(bootstrapper.markAsExecutable(folder + "/link"));
  EXPECT_EQ(modeOf(target), 0751u);
  EXPECT_FALSE(bootstrapper.markAsExecutable(folder + "/missing"));
  std::filesystem::create_symlink(folder + "/nowhere", folder + "/dangling");
  EXPECT_FALSE(bootstrapper.markAsExecutable(folder + "/dangling"));
}

}  // namespace
