#include "platform/TrustedLocation.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/ScratchFolder.h"

using platform::checkTrustedLocation;
using platform::Trust;
using testsupport::ScratchFolder;

TEST(TrustedLocation, OwnersAndWritersOfEveryFolderOnTheWayDecide) {
  ScratchFolder scratch;
  scratch.makeFolder("open/share");
  scratch.makeFolder("sticky/share");
  const std::string open = scratch.path("open"), sticky = scratch.path("sticky");
  const std::string group = scratch.makeFolder("group"), plain = scratch.makeFolder("plain");
  for (auto [folder, mode] :
       {std::pair{open, 0777}, {group, 0775}, {sticky, 01777}, {plain, 0755}}) {
    ASSERT_EQ(::chmod(folder.c_str(), mode), 0) << folder;
  }
  scratch.write("plain/Zanth.conf", "", 0644);
  scratch.write("plain/shared.conf", "", 0666);
  std::filesystem::create_symlink(open + "/share", scratch.path("plain/link"));
  struct Case {
    std::string path;
    Trust expected;
    std::string blamed;  // the item the reason names
  };
  const Case cases[] = {
      {plain, Trust::kTrusted, ""},
      {plain + "/Zanth.conf", Trust::kTrusted, ""},
      {sticky + "/share", Trust::kTrusted, ""},
      {plain + "/absent/Zanth.conf", Trust::kMissing, ""},
      {open, Trust::kUntrusted, open + " may be written by group or others (mode 0777)"},
      {group, Trust::kUntrusted, group + " may be written by group or others (mode 0775)"},
      {open + "/share", Trust::kUntrusted, open + " may be written"},
      {open + "/absent", Trust::kUntrusted, open + " may be written"},
      {plain + "/shared.conf", Trust::kUntrusted, plain + "/shared.conf may be written"},
      {plain + "/link", Trust::kUntrusted, open + " may be written"},
      {"relative/share", Trust::kUntrusted, "relative/share is not absolute"},
  };
  for (const Case& c : cases) {
    const platform::TrustCheck check = checkTrustedLocation(c.path);
    EXPECT_EQ(check.trust, c.expected) << c.path << ": " << check.reason;
    EXPECT_EQ(check.reason.rfind(c.blamed, 0), 0u) << c.path << ": " << check.reason;
  }
}

TEST(TrustedLocation, ItemsOfAnotherUserAreUntrusted) {
  if (::geteuid() != 0) GTEST_SKIP() << "giving a folder to another user needs root";
  ScratchFolder scratch;
  const std::string folder = scratch.makeFolder("theirs");
  ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
  const platform::TrustCheck check = checkTrustedLocation(folder + "/share");
  EXPECT_EQ(check.trust, Trust::kUntrusted);
  EXPECT_EQ(check.reason, folder + " belongs to user 65534");
}
