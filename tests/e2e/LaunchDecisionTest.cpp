// The launch decision of the real program: the roads that end before any download.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <syslog.h>

#include <filesystem>

#include "tests/support/Files.h"
#include "tests/support/Sandbox.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using testsupport::LogLine;
using testsupport::readFile;
using testsupport::Sandbox;
using testsupport::writeFile;

const LogLine kBegin{LOG_NOTICE, "Bootstrapper begin with version 3.3.0.3650 on Mac x86"};

LogLine endLine(int code) {
  return {code == 0 ? LOG_NOTICE : LOG_ERR,
          "Bootstrapper end with exit code " + std::to_string(code)};
}

class LaunchDecision : public ::testing::Test {
 protected:
  // Installs the demo runtime of version into the sandbox's machine-wide data folder.
  void installRuntime(const std::string& version) {
    auto made = box.runProgram(ZANTH_MAKE_RUNTIME, {"--make-runtime", box.dataDir(), version});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    box.setEnv("ZANTH_DEMO_RECORD", recordFile());
    box.setEnv("ZANTH_DEMO_INSTALL_ROOT", box.root() + "/installed");
  }
  std::string runtimeFolder() const {
    return box.dataDir() + "/Frameworks/Quillor Zanth.framework";
  }
  std::string recordFile() const { return box.root() + "/received.txt"; }
  std::string installLine() const {
    return "Launching subprocess with commandline \"Zanth Application Installer\" ";
  }

  Sandbox box{ZANTH_BOOTSTRAPPER};
};

TEST_F(LaunchDecision, MissingPackageFolderEndsWithTwelve) {
  std::filesystem::remove_all(box.appPath());
  auto result = box.run({"-silent", "-allowDownload"});
  EXPECT_EQ(result.exitCode, 12);
  EXPECT_EQ(result.out, "");
  EXPECT_THAT(box.logLines(),
              ElementsAre(kBegin,
                          LogLine{LOG_ERR, "Could not locate native install directory (\"" +
                                               box.appPath() + "\")"},
                          endLine(12)));

  // A regular file where the folder should be is no package either.
  writeFile(box.appPath(), "not a folder");
  EXPECT_EQ(box.run({}).exitCode, 12);
}

TEST_F(LaunchDecision, InstalledRuntimeGetsThePackageWithTheValidatedArguments) {
  installRuntime("2.7.1.96");
  const std::string dest = box.root() + "/dest dir";
  auto result = box.run({"-silent", "-eulaAccepted", "-location", dest, "-allowDownload"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(readFile(recordFile()),
            "-silent\n-eulaAccepted\n-location\n" + dest + "\n" + box.appPath() + "\n");
  EXPECT_THAT(
      box.logLines(),
      ElementsAre(kBegin,
                  LogLine{LOG_NOTICE, "Installed runtime (2.7.1.96) located at " + runtimeFolder()},
                  LogLine{LOG_NOTICE, installLine() + "-silent -eulaAccepted -location " + dest +
                                          " " + box.appPath() + " "},
                  LogLine{LOG_NOTICE, "Subprocess Application Installer succeeded"}, endLine(0)));
  EXPECT_TRUE(std::filesystem::is_directory(box.root() + "/installed/Foo"));
}

TEST_F(LaunchDecision, InstalledRuntimeWithoutArgumentsGetsOnlyThePackage) {
  installRuntime("2.0.0.0");
  box.setEnv("ZANTH_DEMO_EXIT", "7");
  auto result = box.run({});
  EXPECT_EQ(result.exitCode, 7);
  EXPECT_EQ(readFile(recordFile()), box.appPath() + "\n");
  auto lines = box.logLines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[2], (LogLine{LOG_NOTICE, installLine() + box.appPath() + " "}));
  EXPECT_EQ(lines[3], (LogLine{LOG_ERR, "Subprocess Application Installer failed (7)"}));
  EXPECT_EQ(lines[4], endLine(7));
  EXPECT_EQ(result.err, "") << "a failed Application Installer is not reported by a dialog";
}

TEST_F(LaunchDecision, RuntimeWithoutApplicationInstallerEndsWithFive) {
  installRuntime("3.0.0.1");
  std::filesystem::remove_all(runtimeFolder() + "/Versions");
  auto result = box.run({"-silent", "-eulaAccepted"});
  EXPECT_EQ(result.exitCode, 5);
  auto lines = box.logLines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[3], (LogLine{LOG_ERR, "Subprocess Application Installer failed (5)"}));
  EXPECT_EQ(lines[4], endLine(5));
}

// The decision looks at the machine once: a data folder passed over is logged once, although
// the version, the log line and the hand-off all need the runtime.
TEST_F(LaunchDecision, FolderPassedOverIsLoggedOnceARun) {
  installRuntime("2.7.1.96");
  const std::string open = box.root() + "/open share";
  std::filesystem::create_directories(open);
  std::filesystem::permissions(open, std::filesystem::perms::all);
  box.setEnv("XDG_DATA_DIRS", open + ":" + box.dataDir());
  auto result = box.run({"-silent"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_THAT(
      box.logLines(),
      ElementsAre(kBegin,
                  LogLine{LOG_WARNING, "Ignoring setting " + open + ": " + open +
                                           " may be written by group or others (mode "
                                           "0777)"},
                  LogLine{LOG_NOTICE, "Installed runtime (2.7.1.96) located at " + runtimeFolder()},
                  ::testing::Field(&LogLine::text, StartsWith(installLine())),
                  LogLine{LOG_NOTICE, "Subprocess Application Installer succeeded"}, endLine(0)));
}

TEST_F(LaunchDecision, DownloadNeededButNotAllowedEndsWithTen) {
  for (const auto& args : {std::vector<std::string>{"-silent"},
                           std::vector<std::string>{"-eulaAccepted", "-programMenu"}}) {
    box.clearLog();
    auto result = box.run(args);
    EXPECT_EQ(result.exitCode, 10);
    EXPECT_EQ(result.out, "Unable to download runtime installer without -allowDownload\n");
    EXPECT_EQ(result.err, "") << "no dialog is shown";
    EXPECT_THAT(
        box.logLines(),
        ElementsAre(kBegin, LogLine{LOG_NOTICE, "No installed runtime detected"},
                    LogLine{LOG_ERR, "Unable to download runtime installer without -allowDownload"},
                    endLine(10)));
  }
}

// Without windows, the first thing the program would have shown is preceded by one line saying
// why; a run that shows nothing writes nothing.
TEST_F(LaunchDecision, HeadlessRunSaysWhyThereAreNoWindowsBeforeItsFirstDialog) {
  box.setEnv("DISPLAY", ":4711");  // no X server answers there
  auto version = box.run({"-version"});
  EXPECT_EQ(version.out, "3.3.0.3650\n");
  EXPECT_EQ(version.err, "") << "-version shows nothing";

  installRuntime("1.5.0.0");
  writeFile(box.dataHome() + "/Quillor/Zanth/updateDisabled", "");
  auto unreachable = box.run({"-silent", "-allowDownload"});
  EXPECT_EQ(unreachable.exitCode, 15);
  EXPECT_THAT(unreachable.err,
              StartsWith("Cannot open the display (DISPLAY=:4711): running without windows\n"
                         "Install Foo\n"));

  box.unsetEnv("DISPLAY");
  auto none = box.run({"-silent", "-allowDownload"});
  EXPECT_EQ(none.exitCode, 15);
  EXPECT_THAT(none.err, StartsWith("No display: running without windows\nInstall Foo\n"));
}

TEST_F(LaunchDecision, OldRuntimeWithUpdatesDisabledShowsTheDialogAndEndsWithFifteen) {
  installRuntime("1.5.0.0");
  writeFile(box.dataHome() + "/Quillor/Zanth/updateDisabled", "");
  auto result = box.run({"-silent", "-allowDownload"});
  EXPECT_EQ(result.exitCode, 15);
  EXPECT_THAT(result.err, HasSubstr("Install Foo"));
  EXPECT_THAT(result.err, HasSubstr("not allowed by your administrator"))
      << "the update-not-allowed message was not shown";
  EXPECT_THAT(
      box.logLines(),
      ElementsAre(kBegin,
                  LogLine{LOG_NOTICE, "Installed runtime (1.5.0.0) located at " + runtimeFolder()},
                  LogLine{LOG_ERR,
                          "Cannot complete installation because runtime updates "
                          "are disabled on this machine"},
                  endLine(15)));
  EXPECT_FALSE(std::filesystem::exists(recordFile())) << "an installer was run";

  // The machine setting disables updates the same way.
  std::filesystem::remove(box.dataHome() + "/Quillor/Zanth/updateDisabled");
  writeFile(box.configDir() + "/Quillor/Zanth.conf", "[Zanth]\nUpdateDisabled=1\n");
  EXPECT_EQ(box.run({"-silent", "-allowDownload"}).exitCode, 15);
}

TEST_F(LaunchDecision, OldRuntimeWithoutDownloadPermissionEndsWithTenBeforeAskingAboutUpdates) {
  installRuntime("1.9.9.9");
  writeFile(box.dataHome() + "/Quillor/Zanth/updateDisabled", "");
  auto result = box.run({"-silent"});
  EXPECT_EQ(result.exitCode, 10);
  EXPECT_EQ(result.err, "");
}

TEST_F(LaunchDecision, StartedWithoutAnyArgumentItRunsAsStartedByItsName) {
  // execve with an empty argument vector: the program finds its own path through the system
  // and hands the installer its package, not the folder it sits in.
  installRuntime("2.0.0.0");
  auto result = box.runWithArgumentVector(box.programPath(), {});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(readFile(recordFile()), box.appPath() + "\n");

  // Without its package folder the run ends as it does when started by its name.
  std::filesystem::remove_all(box.appPath());
  box.clearLog();
  result = box.runWithArgumentVector(box.programPath(), {});
  EXPECT_EQ(result.exitCode, 12);
  EXPECT_THAT(box.logLines(),
              ElementsAre(kBegin,
                          LogLine{LOG_ERR, "Could not locate native install directory (\"" +
                                               box.appPath() + "\")"},
                          endLine(12)));
}

TEST(LaunchDecisionNames, ProgramNameDecidesThePackageFolder) {
  // "Install " alone: the short name is empty and names no package; the program's own folder
  // is never taken as one.
  Sandbox bare(ZANTH_BOOTSTRAPPER, "");
  auto result = bare.run({"-silent"});
  EXPECT_EQ(result.exitCode, 12) << "the program's folder was taken as the package";
  auto bareLines = bare.logLines();
  ASSERT_GE(bareLines.size(), 2u);
  EXPECT_EQ(bareLines[1].text,
            "Could not locate native install directory (\"" + bare.packageFolder() + "/\")");

  // Without the exact prefix the whole name is the package name.
  Sandbox plain(ZANTH_BOOTSTRAPPER, "Foo");
  std::filesystem::copy_file(plain.programPath(), plain.packageFolder() + "/install Foo");
  auto lower = plain.runProgram(plain.packageFolder() + "/install Foo", {"-silent"});
  EXPECT_EQ(lower.exitCode, 12);
  auto lines = plain.logLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[1].text, "Could not locate native install directory (\"" + plain.packageFolder() +
                               "/install Foo\")");
}

}  // namespace
