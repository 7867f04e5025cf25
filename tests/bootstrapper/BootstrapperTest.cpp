// Parts of the Bootstrapper seen from one process: its names and package folder, the execute
// bit, and launch roads that end the process (in death tests), with the headless interface.
#include "bootstrapper/Bootstrapper.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "libinstall/MacSystemVersion.h"
#include "messages/LocalizedStrings.h"
#include "platform/ProcessInfo.h"
#include "tests/support/EnvironmentGuard.h"
#include "tests/support/Files.h"
#include "tests/support/ScratchFolder.h"

namespace {

using Args = std::vector<std::string>;
using ::testing::ExitedWithCode;

unsigned modeOf(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

void startedWith(const Args& args) {
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  platform::ProcessInfo::setArguments(static_cast<int>(argv.size()), argv.data());
}

// The launch decision of a Bootstrapper made for a process started with args. Every road ends
// the process: call it inside a death test.
void launch(const Args& args) {
  startedWith(args);
  Bootstrapper bootstrapper;
  bootstrapper.applicationDidFinishLaunching();
}

class BootstrapperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A death test's child runs the test again in a new process; it works in its parent's
    // folder, named in the environment it inherits, and leaves the removal to the parent.
    if (const char* inherited = std::getenv(kFolderVariable)) {
      folder = inherited;
    } else {
      scratch.emplace("zanth-bootstrapper");
      folder = scratch->root();
      scratch->makeFolder("Foo");
      scratch->makeFolder("share");
      env.set(kFolderVariable, folder);
    }
    program = folder + "/Install Foo";
    startedWith({program});
    // No runtime of this machine is found, and the texts are the English ones.
    env.set("XDG_DATA_DIRS", (folder + "/share").c_str());
    env.set("LANGUAGE", nullptr);
    env.set("LC_ALL", "C");
    embeddedStringLocale = -1;
    GTEST_FLAG_SET(death_test_style, "threadsafe");
  }
  void TearDown() override { embeddedStringLocale = -1; }

  static constexpr const char* kFolderVariable = "ZANTH_BOOTSTRAPPER_TEST_FOLDER";
  testsupport::EnvironmentGuard env;
  std::optional<testsupport::ScratchFolder> scratch;  // made by the parent process only
  std::string folder;
  std::string program;
};

TEST_F(BootstrapperTest, NamesComeFromTheProgramsFileName) {
  env.set("LC_ALL", "fr_FR.UTF-8");
  Bootstrapper bootstrapper;
  EXPECT_EQ(bootstrapper.appName(), "Install Foo");
  EXPECT_EQ(bootstrapper.localizedWindowTitle(), "Installation de Foo");
}

TEST_F(BootstrapperTest, WithoutAProgramPathTheNamesComeFromTheFileTheSystemStarted) {
  // No argument at all, and the one empty argument the kernel hands on instead.
  for (const Args& args : {Args{}, Args{""}}) {
    startedWith(args);
    Bootstrapper bootstrapper;
    EXPECT_EQ(bootstrapper.appName(), "bootstrapper_test") << args.size() << " arguments";
    EXPECT_EQ(bootstrapper.localizedWindowTitle(), "Installing bootstrapper_test");
  }
}

TEST_F(BootstrapperTest, ShortNameThatNamesNoFolderBesideTheProgramHasNoPackage) {
  // The folder exists, but an empty name, "." or ".." would make the program's own folder or
  // its parent the package: the run ends as without a package folder.
  for (const char* name : {"Install ", "Install .", "Install .."}) {
    EXPECT_EXIT(launch({folder + "/" + name, "-silent"}), ExitedWithCode(12), "") << name;
  }
  // A real name beside the same folder gets on to the runtime check.
  EXPECT_EXIT(launch({program, "-silent"}), ExitedWithCode(10), "");
}

TEST_F(BootstrapperTest, SystemWithoutDownloadAddressesShowsTheDialogAndEndsWithEleven) {
  // A system whose version reads "0.5" has no folder on the download server, so no address
  // can be built. The version is the one input of the addresses not fixed by the build; the
  // cached value stands for such a version file.
  MacSystemVersion::sCachedSystemVersion = MacSystemVersion(0, 5, 0);
  EXPECT_EXIT(launch({program, "-silent", "-allowDownload"}), ExitedWithCode(11),
              "Install Foo\nThis application requires an update to Quillor Zanth that is not "
              "available for your system\\.");
}

TEST_F(BootstrapperTest, MarkAsExecutableAddsExecuteForEveryoneAndKeepsTheRest) {
  Bootstrapper bootstrapper;
  struct Case {
    unsigned before, after;
  };
  for (Case c : {Case{0644, 0755}, Case{0600, 0711}, Case{0755, 0755}, Case{0400, 0511},
                 Case{04644, 04755}, Case{01600, 01711}}) {
    const std::string file = folder + "/installer";
    testsupport::writeFile(file, "#!/bin/sh\n", c.before);
    ASSERT_EQ(modeOf(file), c.before);
    const platform::FileDescriptor open(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    EXPECT_TRUE(bootstrapper.markAsExecutable(open)) << std::oct << c.before;
    EXPECT_EQ(modeOf(file), c.after) << std::oct << c.before;
    std::filesystem::remove(file);
  }
}

TEST_F(BootstrapperTest, MarkAsExecutableChangesTheOpenFileNotWhatItsPathNamesNow) {
  Bootstrapper bootstrapper;
  const std::string path = folder + "/installer";
  testsupport::writeFile(path, "verified", 0640);
  const platform::FileDescriptor verified(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  testsupport::writeFile(folder + "/other", "other", 0640);
  std::filesystem::rename(folder + "/other", path);

  EXPECT_TRUE(bootstrapper.markAsExecutable(verified));
  struct stat st {};
  ASSERT_EQ(::fstat(verified.get(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0751u) << "the open file was not changed";
  EXPECT_EQ(modeOf(path), 0640u) << "the file now at the path was changed";
  EXPECT_FALSE(bootstrapper.markAsExecutable(platform::FileDescriptor()));
}

}  // namespace
