#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "BuildConfig.h"
#include "libinstall/LibInstall.h"
#include "libinstall/MacSystemVersion.h"
#include "tests/support/EnvironmentGuard.h"
#include "tests/support/Files.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/SyslogCapture.h"

using install::PlatformInfo;

namespace {

const std::string kBase = ZANTH_DOWNLOAD_BASE;

struct Buffers {
  char installer[512];
  char signature[512];
  Buffers() {
    std::memset(installer, 'Z', sizeof installer);
    std::memset(signature, 'Z', sizeof signature);
  }
  bool untouched() const {
    for (std::size_t i = 0; i < sizeof installer; ++i) {
      if (installer[i] != 'Z' || signature[i] != 'Z') return false;
    }
    return true;
  }
};

}  // namespace

TEST(DownloadUrls, DefaultBuildOnThisHost) {
  if (ZANTH_PLATFORM_OS != 2 || ZANTH_PLATFORM_ARCH != 1) GTEST_SKIP() << "not the default codes";
  if (std::filesystem::exists(MacSystemVersion::kSystemVersionPath)) {
    GTEST_SKIP() << "this machine has a system version file";
  }
  MacSystemVersion::sCachedSystemVersion = MacSystemVersion::sMacSystemVersionUninitialized;
  Buffers b;
  ASSERT_TRUE(install::getBootstrapperDownloadUrls(b.installer, 512, b.signature, 512));
  // Without a system version file the version is the failure value 10.0.
  EXPECT_EQ(std::string(b.installer), kBase + "/zanth/3/kob/macos10.0/x86/installer");
  EXPECT_EQ(std::string(b.signature), kBase + "/zanth/3/kob/macos10.0/x86/installer.p7");
}

TEST(DownloadUrls, AddressesFollowTheHostDescription) {
  struct Case {
    PlatformInfo platform;  // os, major, minor, patch, architecture
    const char* path;       // between the base and the file name
  };
  const Case cases[] = {
      {{2, 10, 6, 8, 1}, "/zanth/3/kob/macos10.6/x86/"},
      {{2, 10, 0, 0, 1}, "/zanth/3/kob/macos10.0/x86/"},
      {{1, 5, 1, 0, 2}, "/zanth/3/kob/windows5.1/ppc/"},
      {{3, 10, 7, 0, 3}, "/zanth/3/kob/unknown10.7/unknown/"},
      {{-1, 4, -2, 0, 77}, "/zanth/3/kob/unknown4.-2/unknown/"},
      {{2, 65535, 65535, 65535, 1}, "/zanth/3/kob/macos65535.65535/x86/"},
  };
  for (const Case& c : cases) {
    Buffers b;
    ASSERT_TRUE(install::getDownloadUrlsForPlatform(c.platform, b.installer, 512, b.signature, 512))
        << c.path;
    EXPECT_EQ(std::string(b.installer), kBase + c.path + "installer");
    EXPECT_EQ(std::string(b.signature), kBase + c.path + "installer.p7");
  }
}

TEST(DownloadUrls, UndeterminedHostGivesNoAddresses) {
  const PlatformInfo cases[] = {
      {0, 10, 6, 8, 1},  // no os
      {2, 10, 6, 8, 0},  // no architecture
      {2, 0, 6, 8, 1},   // no major version
      {0, 0, 0, 0, 0},
  };
  for (const PlatformInfo& platform : cases) {
    Buffers b;
    EXPECT_FALSE(install::getDownloadUrlsForPlatform(platform, b.installer, 512, b.signature, 512))
        << platform.os << " " << platform.majorVersion << " " << platform.architecture;
    EXPECT_TRUE(b.untouched());
  }
}

TEST(DownloadUrls, AddressThatDoesNotFitIsRefusedWhole) {
  const PlatformInfo platform{2, 10, 6, 8, 1};
  const std::string installer = kBase + "/zanth/3/kob/macos10.6/x86/installer";
  const std::string signature = installer + ".p7";

  Buffers exact;
  EXPECT_TRUE(install::getDownloadUrlsForPlatform(platform, exact.installer, installer.size() + 1,
                                                  exact.signature, signature.size() + 1));
  EXPECT_EQ(std::string(exact.installer), installer);
  EXPECT_EQ(std::string(exact.signature), signature);
  EXPECT_EQ(exact.installer[installer.size() + 1], 'Z') << "nothing written past the size";
  EXPECT_EQ(exact.signature[signature.size() + 1], 'Z') << "nothing written past the size";

  struct Case {
    const char* what;
    unsigned long installerSize, signatureSize;
  };
  const Case cases[] = {
      {"installer one byte short", installer.size(), 512},
      {"signature one byte short", 512, signature.size()},
      {"signature fits only the installer's address", 512, installer.size() + 1},
      {"empty buffers", 0, 0},
  };
  for (const Case& c : cases) {
    Buffers b;
    EXPECT_FALSE(install::getDownloadUrlsForPlatform(platform, b.installer, c.installerSize,
                                                     b.signature, c.signatureSize))
        << c.what;
    EXPECT_TRUE(b.untouched()) << c.what;
  }
  Buffers b;
  EXPECT_FALSE(install::getDownloadUrlsForPlatform(platform, nullptr, 512, b.signature, 512));
  EXPECT_TRUE(b.untouched());
}

// An administrator's mirror replaces the built-in base for both files; a value that is not an
// http or https base address is logged and the built-in base stays.
TEST(DownloadUrls, MachineMirrorReplacesTheBase) {
  testsupport::ScratchFolder scratch;
  testsupport::EnvironmentGuard env;
  env.set("XDG_CONFIG_DIRS", scratch.path("etc"));
  testsupport::SyslogCapture log;
  const std::string ignored = "Ignoring setting DownloadBase: not an http or https address";
  const struct {
    const char* conf;  // etc/Quillor/Zanth.conf; null: no file
    std::string base;
    bool logged;
  } cases[] = {
      {"[Zanth]\nUpdateDisabled=0\n", kBase, false},
      {"[Zanth]\nDownloadBase=https://mirror.corp.example/quillor\n",
       "https://mirror.corp.example/quillor", false},
      {"[Zanth]\nDownloadBase = HTTP://10.0.0.5:8080/\n", "HTTP://10.0.0.5:8080", false},
      {"[Zanth]\nDownloadBase=ftp://mirror.corp.example\n", kBase, true},
      {"[Zanth]\nDownloadBase=mirror.corp.example\n", kBase, true},
      {"[Zanth]\nDownloadBase=https://mirror.corp.example/?x=\n", kBase, true},
      {"[Zanth]\nDownloadBase=\n", kBase, true},
  };
  const PlatformInfo platform{2, 10, 6, 8, 1};
  const std::string path = "/zanth/3/kob/macos10.6/x86/installer";
  for (const auto& c : cases) {
    const std::string what = c.conf ? c.conf : "(no file)";
    std::filesystem::remove(scratch.path("etc/Quillor/Zanth.conf"));
    if (c.conf) testsupport::writeFile(scratch.path("etc/Quillor/Zanth.conf"), c.conf);
    log.clear();
    Buffers b;
    ASSERT_TRUE(install::getDownloadUrlsForPlatform(platform, b.installer, 512, b.signature, 512))
        << what;
    EXPECT_EQ(std::string(b.installer), c.base + path) << what;
    EXPECT_EQ(std::string(b.signature), c.base + path + ".p7") << what;
    EXPECT_EQ(log.texts(),
              c.logged ? std::vector<std::string>{ignored} : std::vector<std::string>{})
        << what;
  }
}
