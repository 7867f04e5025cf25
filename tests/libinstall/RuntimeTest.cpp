// Runtime discovery, versions, update permission and the Application Installer hand-off, on
// real folders with the host folders redirected through the environment.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <filesystem>

#include "libinstall/LibInstall.h"
#include "tests/libinstall/PlistText.h"
#include "tests/support/EnvironmentGuard.h"
#include "tests/support/Files.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/SyslogCapture.h"

using install::RuntimeVersionInfo;
using testsupport::EnvironmentGuard;
using testsupport::plistWithStrings;
using testsupport::readFile;
using testsupport::ScratchFolder;
using testsupport::writeFile;

namespace install {
bool operator==(const RuntimeVersionInfo& a, const RuntimeVersionInfo& b) {
  return a.major == b.major && a.minor == b.minor && a.revision == b.revision && a.build == b.build;
}
std::ostream& operator<<(std::ostream& out, const RuntimeVersionInfo& v) {
  return out << v.major << "." << v.minor << "." << v.revision << "." << v.build;
}
}  // namespace install

namespace {

constexpr const char* kRuntime = "Frameworks/Quillor Zanth.framework";
constexpr const char* kInstaller = "Versions/1.0/Quillor Zanth Application Installer.app";
const RuntimeVersionInfo kUntouched{-9, -9, -9, -9};

// A machine with two machine-wide data folders, a home with its data folder, and a
// configuration folder, all in a scratch folder.
struct Machine : ::testing::Test {
  ScratchFolder scratch;
  EnvironmentGuard env;
  std::string home = scratch.makeFolder("home");
  std::string dataHome = scratch.makeFolder("home/.local/share");
  std::string localShare = scratch.makeFolder("usr/local/share");
  std::string systemShare = scratch.makeFolder("usr/share");
  std::string config = scratch.makeFolder("etc/xdg");

  void SetUp() override {
    env.set("HOME", home);
    env.set("XDG_DATA_HOME", dataHome);
    env.set("XDG_DATA_DIRS", localShare + ":" + systemShare);
    env.set("XDG_CONFIG_DIRS", config);
  }

  // A runtime folder under share with the given version text; returns its path.
  std::string installRuntime(const std::string& share, const std::string& version) {
    const std::string runtime = share + "/" + kRuntime;
    writeFile(runtime + "/Contents/Info.plist", plistWithStrings({{"CFBundleVersion", version}}));
    return runtime;
  }

  // An Application Installer in runtime whose executable runs script.
  std::string installAppInstaller(const std::string& runtime, const std::string& script,
                                  unsigned mode = 0755) {
    const std::string package = runtime + "/" + kInstaller;
    writeFile(package + "/Contents/Info.plist",
              plistWithStrings({{"CFBundleExecutable", "App Installer"}}));
    writeFile(package + "/Contents/MacOS/App Installer", "#!/bin/sh\n" + script, mode);
    return package;
  }
};

}  // namespace

TEST_F(Machine, RuntimeIsFoundInTheFirstMachineFolderThatHasIt) {
  EXPECT_EQ(install::getRuntimeLocation(), std::nullopt);

  const std::string inSystem = installRuntime(systemShare, "1.5.0.10");
  EXPECT_EQ(install::getRuntimeLocation(), inSystem) << "only in the last folder";

  const std::string inLocal = installRuntime(localShare, "2.7.1.96");
  EXPECT_EQ(install::getRuntimeLocation(), inLocal) << "in both: the first folder wins";
  EXPECT_EQ(install::getAppInstallerLocation(), inLocal + "/" + kInstaller)
      << "the installer's path is given even though the package is not there";

  RuntimeVersionInfo info = kUntouched;
  EXPECT_EQ(install::getRuntimeVersion(info), 0);
  EXPECT_EQ(info, (RuntimeVersionInfo{2, 7, 1, 96}));

  // Nothing is cached: removing the first one uncovers the second.
  std::filesystem::remove_all(localShare + "/Frameworks");
  EXPECT_EQ(install::getRuntimeLocation(), inSystem);
  EXPECT_EQ(install::platform_getRuntimeVersion(info), 0);
  EXPECT_EQ(info, (RuntimeVersionInfo{1, 5, 0, 10}));
}

TEST_F(Machine, RuntimeInTheUsersOwnFoldersIsNotFound) {
  installRuntime(dataHome, "2.7.1.96");
  // Even when the machine list names a folder inside the user's home.
  const std::string inHome = scratch.makeFolder("home/share");
  installRuntime(inHome, "2.7.1.96");
  env.set("XDG_DATA_DIRS", inHome + ":" + dataHome + ":" + systemShare);

  EXPECT_EQ(install::getRuntimeLocation(), std::nullopt);
  EXPECT_EQ(install::getAppInstallerLocation(), std::nullopt);
  RuntimeVersionInfo info = kUntouched;
  EXPECT_EQ(install::getRuntimeVersion(info), -3);
  EXPECT_EQ(info, kUntouched);
}

TEST_F(Machine, VersionTextsAreScannedAsFourIntegers) {
  struct Case {
    const char* text;
    int result;
    RuntimeVersionInfo version;  // expected when result is 0
  };
  const Case cases[] = {
      {"2.7.1.96", 0, {2, 7, 1, 96}},
      {"2.7.1.96b", 0, {2, 7, 1, 96}},
      {"2.7.1.96.5 beta", 0, {2, 7, 1, 96}},
      {" 2 . 7 . 1 . 96", 0, {2, 7, 1, 96}},
      {"\n\t2.\n7 .1\t. 96\n", 0, {2, 7, 1, 96}},
      {"\xC2\xA0"
       "2.7.1.96",
       0,
       {2, 7, 1, 96}},  // no-break space before the first number
      {"+2.-7.+1.-96", 0, {2, -7, 1, -96}},
      {"02.007.1.0096", 0, {2, 7, 1, 96}},
      {"2.7.1.99999999999", 0, {2, 7, 1, INT_MAX}},
      {"2.7.1.-99999999999", 0, {2, 7, 1, INT_MIN}},
      {"2.7.1", -3, {}},
      {"2..7.1.5", -3, {}},
      {"2.7.1.", -3, {}},
      {"2.7.1.b", -3, {}},
      {"2,7,1,96", -3, {}},
      {"v2.7.1.96", -3, {}},
      {"2.7.1.- 96", -3, {}},
      {"2.7.1.+-96", -3, {}},
      {"2.7.1\xE3\x80\x82"
       "96",
       -3,
       {}},  // an ideographic full stop is not a point
      {"", -3, {}},
      {"   ", -3, {}},
  };
  const std::string runtime = installRuntime(localShare, "0.0.0.0");
  for (const Case& c : cases) {
    installRuntime(localShare, c.text);
    RuntimeVersionInfo info = kUntouched;
    const int result = install::platform_getFileVersion(runtime.c_str(), info);
    EXPECT_EQ(result, c.result) << "\"" << c.text << "\"";
    EXPECT_EQ(info, c.result == 0 ? c.version : kUntouched) << "\"" << c.text << "\"";
    RuntimeVersionInfo viaRuntime = kUntouched;
    EXPECT_EQ(install::getRuntimeVersion(viaRuntime), c.result) << "\"" << c.text << "\"";
    EXPECT_EQ(viaRuntime, info) << "\"" << c.text << "\"";
  }
}

TEST_F(Machine, VersionNeedsAPackageWithAVersionString) {
  const std::string runtime = localShare + "/" + kRuntime;
  RuntimeVersionInfo info = kUntouched;

  scratch.makeFolder("usr/local/share/" + std::string(kRuntime));
  EXPECT_EQ(install::getRuntimeLocation(), runtime) << "a folder without Info.plist is found";
  EXPECT_EQ(install::getRuntimeVersion(info), -3) << "but has no version";

  writeFile(runtime + "/Contents/Info.plist", "not a property list");
  EXPECT_EQ(install::getRuntimeVersion(info), -3) << "unreadable Info.plist";

  writeFile(runtime + "/Contents/Info.plist", plistWithStrings({{"CFBundleName", "Zanth"}}));
  EXPECT_EQ(install::getRuntimeVersion(info), -3) << "no CFBundleVersion";

  writeFile(runtime + "/Contents/Info.plist",
            "<plist version=\"1.0\"><dict><key>CFBundleVersion</key><integer>2</integer>"
            "</dict></plist>");
  EXPECT_EQ(install::getRuntimeVersion(info), -3) << "CFBundleVersion not a string";
  writeFile(runtime + "/Contents/Info.plist",
            "<plist version=\"1.0\"><dict><key>CFBundleVersion</key><string>2.7.1.9" +
                std::string(2, '\0') + "6</string></dict></plist>");
  EXPECT_EQ(install::getRuntimeVersion(info), -3) << "a NUL byte in CFBundleVersion";
  EXPECT_EQ(info, kUntouched);

  // The information list may also sit in Resources/ or at the top of the package.
  std::filesystem::remove_all(runtime + "/Contents");
  writeFile(runtime + "/Resources/Info.plist", plistWithStrings({{"CFBundleVersion", "3.0.0.1"}}));
  EXPECT_EQ(install::getRuntimeVersion(info), 0);
  EXPECT_EQ(info, (RuntimeVersionInfo{3, 0, 0, 1}));

  // A file where the runtime folder should be has no version either.
  std::filesystem::remove_all(runtime);
  writeFile(runtime, plistWithStrings({{"CFBundleVersion", "2.0.0.0"}}));
  info = kUntouched;
  EXPECT_EQ(install::getRuntimeVersion(info), -3);
  EXPECT_EQ(install::platform_getFileVersion(nullptr, info), -3);
  EXPECT_EQ(info, kUntouched);
}

TEST_F(Machine, UpdateDisabledMarkerAsFileOrFolder) {
  EXPECT_FALSE(install::platform_updateDisabledFileExists());
  EXPECT_TRUE(install::canUpdateRuntime());

  // Another user's marker has no effect.
  scratch.write("other/.local/share/Quillor/Zanth/updateDisabled", "");
  EXPECT_TRUE(install::canUpdateRuntime());

  scratch.write("home/.local/share/Quillor/Zanth/updateDisabled", "");
  EXPECT_TRUE(install::platform_updateDisabledFileExists()) << "empty file";
  EXPECT_FALSE(install::canUpdateRuntime()) << "empty file";

  std::filesystem::remove(dataHome + "/Quillor/Zanth/updateDisabled");
  scratch.makeFolder("home/.local/share/Quillor/Zanth/updateDisabled");
  EXPECT_TRUE(install::platform_updateDisabledFileExists()) << "folder";
  EXPECT_FALSE(install::canUpdateRuntime()) << "folder";

  // The marker follows XDG_DATA_HOME, and without it the default under the home.
  env.set("XDG_DATA_HOME", scratch.makeFolder("elsewhere"));
  EXPECT_TRUE(install::canUpdateRuntime());
  env.unset("XDG_DATA_HOME");
  EXPECT_FALSE(install::canUpdateRuntime());
}

TEST_F(Machine, MachineConfigurationCanDisableUpdates) {
  const std::string second = scratch.makeFolder("etc/second");
  env.set("XDG_CONFIG_DIRS", config + ":" + second);
  struct Case {
    const char* first;   // Quillor/Zanth.conf in the first folder; null: none
    const char* second;  // the same in the second folder
    int value;
  };
  const Case cases[] = {
      {nullptr, nullptr, 0},
      {"[Zanth]\nUpdateDisabled=1\n", nullptr, 1},
      {"[Zanth]\nUpdateDisabled=0\n", nullptr, 0},
      {"[Zanth]\nUpdateDisabled=2\n", nullptr, 2},
      {"[Zanth]\nUpdateDisabled=true\n", nullptr, 0},
      {"[Other]\nUpdateDisabled=1\n", nullptr, 0},
      {nullptr, "[Zanth]\nUpdateDisabled=1\n", 1},
      {"[Zanth]\nUpdateDisabled=0\n", "[Zanth]\nUpdateDisabled=1\n", 0},
      {"[Zanth]\nUpdateDisabled=1\n", "[Zanth]\nUpdateDisabled=0\n", 1},
      {"[Zanth]\nSomethingElse=0\n", "[Zanth]\nUpdateDisabled=1\n", 1},
      {"[Zanth]\nUpdateDisabled=off\n", "[Zanth]\nUpdateDisabled=1\n", 0},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(config + "/Quillor/Zanth.conf");
    std::filesystem::remove(second + "/Quillor/Zanth.conf");
    if (c.first) writeFile(config + "/Quillor/Zanth.conf", c.first);
    if (c.second) writeFile(second + "/Quillor/Zanth.conf", c.second);
    const std::string what =
        std::string(c.first ? c.first : "-") + " | " + (c.second ? c.second : "-");
    EXPECT_EQ(install::platform_getConfigurationValue("UpdateDisabled"), c.value) << what;
    EXPECT_EQ(install::canUpdateRuntime(), c.value != 1) << what;
  }
  EXPECT_EQ(install::platform_getConfigurationValue(nullptr), 0);
}

TEST_F(Machine, NoRuntimeMeans3AndNothingStarted) {
  // A complete runtime in the user's own folder must not be run.
  const std::string ran = scratch.path("ran");
  installAppInstaller(installRuntime(dataHome, "2.7.1.96"), "touch '" + ran + "'\n");
  EXPECT_EQ(install::runAppInstaller({"-silent"}), 3);
  EXPECT_FALSE(std::filesystem::exists(ran));
}

TEST_F(Machine, MissingApplicationInstallerMeans5) {
  const std::string runtime = installRuntime(localShare, "2.7.1.96");
  EXPECT_EQ(install::runAppInstaller({}), 5) << "no package";

  const std::string package = runtime + "/" + kInstaller;
  scratch.makeFolder("usr/local/share/" + std::string(kRuntime) + "/" + kInstaller);
  EXPECT_EQ(install::runAppInstaller({}), 5) << "package without Info.plist";

  writeFile(package + "/Contents/Info.plist", plistWithStrings({{"CFBundleName", "x"}}));
  EXPECT_EQ(install::runAppInstaller({}), 5) << "no CFBundleExecutable";

  writeFile(package + "/Contents/Info.plist",
            plistWithStrings({{"CFBundleExecutable", "App Installer"}}));
  EXPECT_EQ(install::runAppInstaller({}), 5) << "executable named but missing";
}

TEST_F(Machine, InstallerExitStatusComesBack) {
  const std::string runtime = installRuntime(localShare, "2.7.1.96");
  for (int code : {0, 7, 3, 5}) {
    installAppInstaller(runtime, "exit " + std::to_string(code) + "\n");
    EXPECT_EQ(install::runAppInstaller({}), code) << "installer exiting with " << code;
  }
  installAppInstaller(runtime, "kill -TERM $$\n");
  EXPECT_EQ(install::runAppInstaller({}), 128 + 15) << "installer killed by a signal";
  installAppInstaller(runtime, "exit 0\n", 0644);
  EXPECT_EQ(install::runAppInstaller({}), 126) << "installer that cannot be executed";
}

TEST_F(Machine, InstallerReceivesTheArgumentsByteForByte) {
  const std::string runtime = installRuntime(localShare, "2.7.1.96");
  const std::string out = scratch.path("argv");
  const std::string package =
      installAppInstaller(runtime, "printf '%s\\0' \"$@\" > '" + out + "'\nexit 0\n");
  const std::vector<std::string> args = {
      "-silent", "-eulaAccepted", "-location", "/opt/My Apps/Ünïcødé 日本", "--",
      "",        "-x;rm -rf /",   "$(id)",     "/path with spaces/Foo"};
  EXPECT_EQ(install::runAppInstaller(args), 0);
  std::string expected;
  for (const auto& arg : args) expected += arg + '\0';
  EXPECT_EQ(readFile(out), expected);
}

TEST_F(Machine, WhatOthersMayChangeIsSkippedWithALogLine) {
  testsupport::SyslogCapture systemLog;
  const std::string ran = scratch.path("ran");
  const std::string planted = installRuntime(localShare, "2.7.1.96");
  installAppInstaller(planted, "touch '" + ran + "'\n");
  const std::string genuine = installRuntime(systemShare, "1.5.0.10");
  const std::string ignoring = "Ignoring setting ";
  const std::string mayBeWritten = " may be written by group or others (mode 0777)";

  // A data folder anybody may write, then the runtime folder in a trusted one.
  for (const std::string& open : {localShare, planted}) {
    SCOPED_TRACE(open);
    systemLog.clear();
    ASSERT_EQ(::chmod(open.c_str(), 0777), 0);
    EXPECT_EQ(install::getRuntimeLocation(), genuine);
    EXPECT_EQ(systemLog.texts(),
              std::vector<std::string>{ignoring + open + ": " + open + mayBeWritten});
    ASSERT_EQ(::chmod(open.c_str(), 0755), 0);
  }

  // The Application Installer itself.
  systemLog.clear();
  const std::string executable = planted + "/" + kInstaller + "/Contents/MacOS/App Installer";
  ASSERT_EQ(::chmod(executable.c_str(), 0777), 0);
  EXPECT_EQ(install::runAppInstaller({}), 5);
  EXPECT_FALSE(std::filesystem::exists(ran)) << "an installer anybody may change was run";
  EXPECT_EQ(systemLog.texts(),
            std::vector<std::string>{ignoring + executable + ": " + executable + mayBeWritten});

  // The property lists that say which version is installed and which executable runs.
  ASSERT_EQ(::chmod(executable.c_str(), 0755), 0);
  for (const std::string& list :
       {planted + "/Contents/Info.plist", planted + "/" + kInstaller + "/Contents/Info.plist"}) {
    SCOPED_TRACE(list);
    systemLog.clear();
    ASSERT_EQ(::chmod(list.c_str(), 0666), 0);
    RuntimeVersionInfo info = kUntouched;
    const bool versionList = list.starts_with(planted + "/Contents");
    if (versionList) {
      EXPECT_EQ(install::getRuntimeVersion(info), -3) << "a version anybody may change was read";
      EXPECT_EQ(info, kUntouched);
    } else {
      EXPECT_EQ(install::runAppInstaller({}), 5) << "an executable anybody may name was run";
      EXPECT_FALSE(std::filesystem::exists(ran));
    }
    EXPECT_EQ(systemLog.texts(),
              std::vector<std::string>{ignoring + list + ": " + list +
                                       " may be written by group or others (mode 0666)"});
    ASSERT_EQ(::chmod(list.c_str(), 0644), 0);
  }

  // A configuration file.
  systemLog.clear();
  const std::string conf = config + "/Quillor/Zanth.conf";
  writeFile(conf, "[Zanth]\nUpdateDisabled=1\n", 0666);
  EXPECT_EQ(install::platform_getConfigurationValue("UpdateDisabled"), 0);
  EXPECT_EQ(systemLog.texts(),
            std::vector<std::string>{ignoring + conf + ": " + conf +
                                     " may be written by group or others (mode 0666)"});
}
