#include "platform/DownloadDestination.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "tests/support/Files.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestBytes.h"

namespace {

namespace fs = std::filesystem;
using platform::DownloadDestination;
using testsupport::readFile;
using testsupport::ScratchFolder;

bool write(DownloadDestination& destination, const std::string& text) {
  return destination.write(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

TEST(DownloadDestination, OverwriteRemovesALinkAtThePathInsteadOfWritingThroughIt) {
  ScratchFolder scratch;
  const std::string victim = scratch.write("victim", "keep");
  const std::string path = scratch.path("installer");
  fs::create_symlink(victim, path);

  std::optional<DownloadDestination> destination = DownloadDestination::create(path, true);
  ASSERT_TRUE(destination);
  EXPECT_EQ(destination->path(), path);
  ASSERT_TRUE(write(*destination, "new"));
  ASSERT_TRUE(destination->close());
  EXPECT_FALSE(fs::is_symlink(path));
  EXPECT_EQ(readFile(path), "new");
  EXPECT_EQ(readFile(victim), "keep");
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write)
      << "a download is private to its user";
}

// Small pieces are gathered in the buffer, a piece of the buffer's size or more goes to the file
// at once: the file holds every byte in the order written either way.
TEST(DownloadDestination, PiecesOfAnySizeArriveWholeAndInOrder) {
  ScratchFolder scratch;
  const std::size_t sizes[] = {10, 16384, 600000, 3, 524288, 524287, 2, 1 << 20, 1};
  std::size_t total = 0;
  for (std::size_t size : sizes) total += size;
  const std::string body = testsupport::pattern(total);

  std::optional<DownloadDestination> destination =
      DownloadDestination::create(scratch.path("body"), false);
  ASSERT_TRUE(destination);
  std::size_t offset = 0;
  for (std::size_t size : sizes) {
    ASSERT_TRUE(write(*destination, body.substr(offset, size))) << "piece of " << size;
    offset += size;
  }
  ASSERT_TRUE(destination->close());
  EXPECT_TRUE(readFile(scratch.path("body")) == body);
}

// A transfer that fails or is cancelled drops its destination without closing it; what it was
// given must still reach the file.
TEST(DownloadDestination, DroppedOrReplacedDestinationKeepsWhatItWasGiven) {
  ScratchFolder scratch;
  std::optional<DownloadDestination> destination =
      DownloadDestination::create(scratch.path("first"), false);
  ASSERT_TRUE(destination);
  ASSERT_TRUE(write(*destination, "first part"));
  destination = DownloadDestination::create(scratch.path("second"), false);
  ASSERT_TRUE(destination);
  ASSERT_TRUE(write(*destination, "second part"));
  destination.reset();
  EXPECT_EQ(readFile(scratch.path("first")), "first part");
  EXPECT_EQ(readFile(scratch.path("second")), "second part");
}

}  // namespace
