#include <gtest/gtest.h>

#include <filesystem>

#include "BuildConfig.h"
#include "libinstall/LibInstall.h"
#include "libinstall/MacSystemVersion.h"
#include "tests/libinstall/PlistText.h"
#include "tests/support/ScratchFolder.h"

using testsupport::plistWithStrings;
using testsupport::ScratchFolder;

std::ostream& operator<<(std::ostream& out, const MacSystemVersion& v) {
  return out << v.major << "." << v.minor << "." << v.patch << "." << v.reserved;
}

namespace {

const MacSystemVersion kFailure{10, 0, 0, 0};

std::string versionFile(ScratchFolder& scratch, const std::string& productVersion) {
  return scratch.write(
      "SystemVersion.plist",
      plistWithStrings({{"ProductName", "Mac OS X"}, {"ProductVersion", productVersion}}));
}

// Every test starts from the state the process starts in.
struct SystemVersion : ::testing::Test {
  void SetUp() override {
    MacSystemVersion::sCachedSystemVersion = MacSystemVersion::sMacSystemVersionUninitialized;
  }
  ScratchFolder scratch;
};

}  // namespace

TEST_F(SystemVersion, ProductVersionTexts) {
  struct Case {
    const char* text;
    MacSystemVersion expected;
  };
  const Case cases[] = {
      {"10.6.8", {10, 6, 8, 0}},
      {"10.7", {10, 7, 0, 0}},
      {"10.4.11.1", kFailure},
      {"10", kFailure},
      {"", kFailure},
      {"10.5b", {10, 5, 0, 0}},
      {"10.x.3", {10, 0, 3, 0}},
      {" 11. 2.+1", {11, 2, 1, 0}},
      {"70000.1", {4464, 1, 0, 0}},
      {"10.-1", {10, 65535, 0, 0}},
      {"10.", {10, 0, 0, 0}},
      {"0.0", {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MacSystemVersion::GetSystemVersion(versionFile(scratch, c.text)), c.expected)
        << "\"" << c.text << "\"";
  }
}

TEST_F(SystemVersion, UnreadableFilesGiveTheFailureValue) {
  EXPECT_EQ(MacSystemVersion::GetSystemVersion(scratch.path("missing.plist")), kFailure);
  EXPECT_EQ(MacSystemVersion::GetSystemVersion(scratch.write("a", "garbage")), kFailure);
  EXPECT_EQ(MacSystemVersion::GetSystemVersion(
                scratch.write("b", plistWithStrings({{"ProductName", "Mac OS X"}}))),
            kFailure)
      << "no ProductVersion";
  EXPECT_EQ(MacSystemVersion::GetSystemVersion(scratch.write(
                "c", "<plist><dict><key>ProductVersion</key><real>10.6</real></dict></plist>")),
            kFailure)
      << "ProductVersion not a string";
  EXPECT_EQ(MacSystemVersion::GetSystemVersion(scratch.makeFolder("d")), kFailure) << "a folder";
  EXPECT_EQ(MacSystemVersion::GetSystemVersion(
                scratch.write("e", "<plist><dict><key>ProductVersion</key><string>10.1" +
                                       std::string(2, '\0') + "7</string></dict></plist>")),
            kFailure)
      << "a NUL byte in the text";
}

TEST_F(SystemVersion, FailedReadIsCached) {
  const std::string path = scratch.path("SystemVersion.plist");
  EXPECT_EQ(MacSystemVersion::CurrentSystemVersion(path), kFailure);
  versionFile(scratch, "10.6.8");
  EXPECT_EQ(MacSystemVersion::CurrentSystemVersion(path), kFailure) << "read at most once";
  EXPECT_EQ(MacSystemVersion::sCachedSystemVersion, kFailure);
}

TEST_F(SystemVersion, GoodReadIsCached) {
  const std::string path = versionFile(scratch, "10.6.8");
  const MacSystemVersion& current = MacSystemVersion::CurrentSystemVersion(path);
  EXPECT_EQ(&current, &MacSystemVersion::sCachedSystemVersion);
  EXPECT_EQ(current, MacSystemVersion(10, 6, 8, 0));
  versionFile(scratch, "10.7");
  EXPECT_EQ(MacSystemVersion::CurrentSystemVersion(path), MacSystemVersion(10, 6, 8, 0));
}

TEST_F(SystemVersion, AllZeroVersionIsReadAgainOnEveryCall) {
  const std::string path = versionFile(scratch, "0.0");
  EXPECT_EQ(MacSystemVersion::CurrentSystemVersion(path), MacSystemVersion());
  EXPECT_EQ(MacSystemVersion::sCachedSystemVersion,
            MacSystemVersion::sMacSystemVersionUninitialized);
  versionFile(scratch, "10.7");
  EXPECT_EQ(MacSystemVersion::CurrentSystemVersion(path), MacSystemVersion(10, 7, 0, 0));
}

TEST_F(SystemVersion, FixedPathOnThisHost) {
  if (std::filesystem::exists(MacSystemVersion::kSystemVersionPath)) {
    GTEST_SKIP() << "this machine has a system version file";
  }
  EXPECT_EQ(MacSystemVersion::GetSystemVersion(), kFailure);
  EXPECT_EQ(MacSystemVersion::CurrentSystemVersion(), kFailure);
  EXPECT_EQ(&MacSystemVersion::CurrentSystemVersion(), &MacSystemVersion::sCachedSystemVersion);
}

TEST_F(SystemVersion, PlatformInfoCarriesTheCachedVersionAndTheBuildCodes) {
  MacSystemVersion::sCachedSystemVersion = MacSystemVersion(10, 6, 8, 9);
  install::PlatformInfo info{};
  install::platform_getPlatformInfo(info);
  EXPECT_EQ(info.os, ZANTH_PLATFORM_OS);
  EXPECT_EQ(info.architecture, ZANTH_PLATFORM_ARCH);
  EXPECT_EQ(info.majorVersion, 10);
  EXPECT_EQ(info.minorVersion, 6);
  EXPECT_EQ(info.patchVersion, 8);

  MacSystemVersion::sCachedSystemVersion = MacSystemVersion(65535, 1, 2, 0);
  install::platform_getPlatformInfo(info);
  EXPECT_EQ(info.majorVersion, 65535) << "components are zero-extended";
}
