// Whole runs stopped from outside: a termination signal during the download or while the
// runtime installer runs, and a standard error stream that nobody reads any more. Each run ends
// with its own exit code and leaves nothing behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <thread>

#include "tests/e2e/DownloadRoad.h"
#include "tests/support/Files.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::IsEmpty;

// The process running the program at path, once it has made its private download folder under
// tmp (so that it has files to lose); 0 when none showed up within 30 s.
pid_t programDownloadingInto(const std::string& path, const std::string& tmp) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < deadline) {
    const bool downloading = fs::exists(tmp) && !testsupport::listTree(tmp).empty();
    for (const auto& entry : fs::directory_iterator("/proc")) {
      std::error_code error;
      if (downloading && fs::read_symlink(entry.path() / "exe", error) == path) {
        return std::stoi(entry.path().filename());
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return 0;
}

using StopRoad = DownloadRoad;

TEST_F(StopRoad, TermDuringTheDownloadRemovesWhatWasFetched) {
  setSwitches(kServerFolder + "/installer", "_drip=64,250");
  auto stopper = std::async(std::launch::async, [&] {
    const pid_t pid = programDownloadingInto(box.programPath(), box.tmp());
    return pid > 0 && ::kill(pid, SIGTERM) == 0;
  });
  auto result = box.run({"-silent", "-allowDownload"});
  ASSERT_TRUE(stopper.get()) << "the program never started its download";
  EXPECT_EQ(result.exitCode, 128 + SIGTERM);
  const auto lines = logTexts();
  EXPECT_THAT(lines, Contains("Stopping on signal 15"));
  EXPECT_EQ(lines.back(), "E: Bootstrapper end with exit code 143");
  EXPECT_THAT(received(), IsEmpty());
  EXPECT_THAT(leftovers(), IsEmpty()) << "the half-written installer or its folder was left";
}

TEST_F(StopRoad, IntWhileTheInstallerRunsIsPassedOnAndWaitedFor) {
  // The installer asks its parent to stop, as a Ctrl-C would, and finishes its work when it is
  // passed the signal: the program must wait for it before removing the downloads.
  publishInstaller(
      "#!/bin/sh\n"
      "trap 'sleep 0.3; echo passed-on >\"$ZANTH_E2E_RECORD\"; exit 0' INT\n"
      "kill -INT $PPID\n"
      "while :; do sleep 0.05; done\n",
      "good");
  auto result = box.run({"-silent", "-allowDownload"});
  EXPECT_EQ(result.exitCode, 128 + SIGINT);
  EXPECT_EQ(received(), "passed-on\n");
  const auto lines = logTexts();
  EXPECT_THAT(lines, Contains("Subprocess Runtime Installer succeeded"));
  EXPECT_THAT(lines, Contains("Stopping on signal 2"));
  EXPECT_EQ(lines.back(), "E: Bootstrapper end with exit code 130");
  EXPECT_THAT(leftovers(), IsEmpty());
}

TEST_F(StopRoad, ClosedErrorStreamDoesNotKillTheProgramBeforeItCleansUp) {
  // The alert of a rejected installer goes to standard error, here a pipe whose reader is gone.
  publishInstaller("#!/bin/sh\nexit 0\n", "other-root");
  const std::string status = box.root() + "/status";
  box.setEnv("ZANTH_E2E_STATUS", status);
  auto result = box.runProgram(
      "/bin/sh", {"-c", "{ \"$0\" \"$@\" 2>&1 >/dev/null; echo $? >\"$ZANTH_E2E_STATUS\"; } | true",
                  box.programPath(), "-silent", "-allowDownload"});
  (void)result;
  EXPECT_EQ(testsupport::readFile(status), "13\n");
  EXPECT_EQ(logTexts().back(), "E: Bootstrapper end with exit code 13");
  EXPECT_THAT(leftovers(), IsEmpty()) << "the rejected installer was left behind";
}

}  // namespace
}  // namespace e2e
