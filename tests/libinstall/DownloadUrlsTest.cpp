#include <gmock/gmock.h>
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
  const std::string ignored = "Ignoring setting DownloadBase: not an http, https or file address";
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

// A mirror's value that cannot give usable addresses is logged with its reason and the built-in
// base stays: one too long for the caller's buffers, a host name with no ASCII form. An
// international host name that has one is used in that form, as it is looked up.
TEST(DownloadUrls, MirrorThatCannotGiveUsableAddressesFallsBackWithItsReason) {
  testsupport::ScratchFolder scratch;
  testsupport::EnvironmentGuard env;
  env.set("XDG_CONFIG_DIRS", scratch.path("etc"));
  testsupport::SyslogCapture log;
  const PlatformInfo platform{2, 10, 6, 8, 1};
  const std::string path = "/zanth/3/kob/macos10.6/x86/installer";
  const std::string longBase = "https://mirror.example/" + std::string(480, 'a');
  const struct {
    std::string base;  // DownloadBase
    std::string used;
    const char* reason;  // null: nothing logged
  } cases[] = {
      {longBase, kBase, "too long for a download address"},
      // Exactly as long as still fits the signature's address with its NUL.
      {longBase.substr(0, 511 - path.size() - 3), longBase.substr(0, 511 - path.size() - 3),
       nullptr},
      {"http://bücher.example", "http://xn--bcher-kva.example", nullptr},
      {"https://b\xC3\xBC"
       "cher.example:8443/q",
       "https://xn--bcher-kva.example:8443/q", nullptr},
      // A label over 63 bytes in its ASCII form, and a no-break space inside a name.
      {"http://\xC3\xBC" + std::string(70, 'a') + ".example", kBase,
       "the host name has no ASCII form"},
      {"http://a\xC2\xA0"
       "b.example",
       kBase, "the host name has no ASCII form"},
      {"http://mirror.example\xFF", kBase, "not an http, https or file address"},
  };
  for (const auto& c : cases) {
    testsupport::writeFile(scratch.path("etc/Quillor/Zanth.conf"),
                           "[Zanth]\nDownloadBase=" + c.base + "\n");
    log.clear();
    Buffers b;
    ASSERT_TRUE(install::getDownloadUrlsForPlatform(platform, b.installer, 512, b.signature, 512))
        << c.base;
    EXPECT_EQ(std::string(b.installer), c.used + path) << c.base;
    EXPECT_EQ(std::string(b.signature), c.used + path + ".p7") << c.base;
    EXPECT_EQ(log.texts(), c.reason ? std::vector<std::string>{std::string("Ignoring setting "
                                                                           "DownloadBase: ") +
                                                               c.reason}
                                    : std::vector<std::string>{})
        << c.base;
  }
}

// A mirror folder on this machine is used only when nobody else could change its files or any
// folder on the way to them; a file that is not there yet is a download that will fail.
TEST(DownloadUrls, MirrorFolderIsUsedOnlyWhenItsFilesAreTrusted) {
  testsupport::ScratchFolder scratch;
  testsupport::EnvironmentGuard env;
  env.set("XDG_CONFIG_DIRS", scratch.path("etc"));
  testsupport::SyslogCapture log;
  const PlatformInfo platform{2, 10, 6, 8, 1};
  const std::string path = "/zanth/3/kob/macos10.6/x86/installer";
  const std::string mirror = scratch.path("my mirror");
  const std::string url = "file://" + std::string(mirror).replace(mirror.find(' '), 1, "%20");
  testsupport::writeFile(scratch.path("etc/Quillor/Zanth.conf"),
                         "[Zanth]\nDownloadBase=" + url + "/\n");
  const auto baseUsed = [&] {
    log.clear();
    Buffers b;
    EXPECT_TRUE(install::getDownloadUrlsForPlatform(platform, b.installer, 512, b.signature, 512));
    EXPECT_EQ(std::string(b.signature).substr(std::string(b.installer).size()), ".p7");
    return std::string(b.installer).substr(0, std::string(b.installer).size() - path.size());
  };

  EXPECT_EQ(baseUsed(), url) << "a folder without the files yet";
  EXPECT_THAT(log.texts(), ::testing::IsEmpty());
  testsupport::writeFile(mirror + path, "installer");
  testsupport::writeFile(mirror + path + ".p7", "signature");
  EXPECT_EQ(baseUsed(), url);
  EXPECT_THAT(log.texts(), ::testing::IsEmpty());

  const struct {
    std::string item;  // made writable by others, then put back
    std::filesystem::perms mode;
  } cases[] = {
      {mirror + path + ".p7", std::filesystem::perms(0644)},
      {mirror + path, std::filesystem::perms(0644)},
      {mirror + "/zanth/3", std::filesystem::perms(0755)},
      {mirror, std::filesystem::perms(0755)},
  };
  for (const auto& c : cases) {
    std::filesystem::permissions(c.item, c.mode | std::filesystem::perms::others_write);
    EXPECT_EQ(baseUsed(), kBase) << c.item;
    ASSERT_EQ(log.texts().size(), 1u) << c.item;
    EXPECT_THAT(log.texts()[0], ::testing::StartsWith("Ignoring setting DownloadBase: ")) << c.item;
    EXPECT_THAT(log.texts()[0], ::testing::HasSubstr(c.item)) << "the reason names the item";
    std::filesystem::permissions(c.item, c.mode);
  }
  const std::string others[] = {"file://mirror.corp.example/srv/zanth", "file:relative/zanth"};
  for (const std::string& value : others) {
    testsupport::writeFile(scratch.path("etc/Quillor/Zanth.conf"),
                           "[Zanth]\nDownloadBase=" + value + "\n");
    EXPECT_EQ(baseUsed(), kBase) << value;
    EXPECT_EQ(log.texts(), std::vector<std::string>{"Ignoring setting DownloadBase: not an http, "
                                                    "https or file address"})
        << value;
  }
}
