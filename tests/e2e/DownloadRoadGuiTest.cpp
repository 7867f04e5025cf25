// Whole runs with windows on a display (run under Xvfb): a person's clicks and key presses are
// simulated with xdotool through the X server, exactly as they would reach the program.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <thread>

#include "tests/e2e/DownloadRoad.h"
#include "tests/support/Files.h"

namespace e2e {
namespace {

using ::testing::Contains;
using ::testing::IsEmpty;

// Waits (at most 30 s) for a visible window whose title matches titlePattern, gives it the
// keyboard focus and types keys into it. False when no such window appeared.
bool typeInto(const std::string& titlePattern, const std::string& keys) {
  const std::string find = "timeout 30 xdotool search --sync --onlyvisible --name '" +
                           titlePattern + "' windowfocus --sync key --delay 100 " + keys +
                           " >/dev/null 2>&1";
  return std::system(find.c_str()) == 0;
}

class DownloadRoadWithDisplay : public DownloadRoad {
 protected:
  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    if (!display) GTEST_SKIP() << "no display: run under xvfb-run";
    box.setEnv("DISPLAY", display);
    if (const char* auth = std::getenv("XAUTHORITY")) box.setEnv("XAUTHORITY", auth);
    box.setEnv("NO_AT_BRIDGE", "1");
    DownloadRoad::SetUp();
  }

  // A person who presses Cancel once the server has been asked for requests files, then OK on
  // the alert that follows. True when both windows appeared.
  std::future<bool> cancelAfterRequests(std::size_t requests) {
    return std::async(std::launch::async, [this, requests] {
      auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
      while (server.requests().size() < requests && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
      bool cancelled = typeInto("^Installing Foo$", "Tab Return");
      bool dismissed = typeInto("^Install Foo$", "Return");
      return cancelled && dismissed;
    });
  }
};

TEST_F(DownloadRoadWithDisplay, CancelDuringTheSignatureEndsWithElevenAndLeavesNothing) {
  setSwitches(kServerFolder + "/installer.p7", "_drip=64,250");
  auto person = cancelAfterRequests(2);  // while the signature is on its way
  auto result = box.run({"-eulaAccepted", "-allowDownload"}, std::chrono::seconds(90));
  EXPECT_TRUE(person.get()) << "the progress window or the alert never appeared";
  EXPECT_EQ(result.exitCode, 11);
  EXPECT_THAT(result.err, ::testing::Not(::testing::HasSubstr(kRuntimeNotFound)))
      << "with a display the alert is a window, not text";
  auto lines = logTexts();
  EXPECT_THAT(lines, Contains("Download cancelled"));
  EXPECT_EQ(lines.back(), "E: Bootstrapper end with exit code 11");
  EXPECT_THAT(received(), IsEmpty());
  EXPECT_THAT(leftovers(), IsEmpty()) << "the downloaded installer was left behind";
}

TEST_F(DownloadRoadWithDisplay, CancelDuringTheRevocationListsRunsNothing) {
  setSwitches("crl/QuillorRootCA.crl", "_stall");
  setSwitches("crl/QuillorCodeSigning.crl", "_stall");
  auto person = cancelAfterRequests(3);  // while the first list is on its way
  auto result = box.run({"-eulaAccepted", "-allowDownload"}, std::chrono::seconds(90));
  EXPECT_TRUE(person.get()) << "the progress window or the alert never appeared";
  EXPECT_EQ(result.exitCode, 11);
  auto lines = logTexts();
  EXPECT_THAT(lines, Contains("Download cancelled"));
  EXPECT_THAT(lines, ::testing::Not(Contains("Detached signature verified")));
  EXPECT_EQ(lines.back(), "E: Bootstrapper end with exit code 11");
  EXPECT_THAT(received(), IsEmpty()) << "the installer ran without its revocation check";
  EXPECT_THAT(leftovers(), IsEmpty());
}

TEST_F(DownloadRoadWithDisplay, MissingFileDialogWaitsForTheUser) {
  setSwitches(kServerFolder + "/installer", "_status=410");
  auto person = std::async(std::launch::async, [] { return typeInto("^Install Foo$", "Return"); });
  auto result = box.run({"-silent", "-allowDownload"}, std::chrono::seconds(60));
  EXPECT_TRUE(person.get()) << "the error dialog never appeared";
  EXPECT_EQ(result.exitCode, 11);
  EXPECT_EQ(logTexts().back(), "E: Bootstrapper end with exit code 11");
  EXPECT_THAT(leftovers(), IsEmpty());
}

TEST_F(DownloadRoadWithDisplay, UpdateNotAllowedDialogWaitsForTheUser) {
  auto made = box.runProgram(ZANTH_MAKE_RUNTIME, {"--make-runtime", box.dataDir(), "1.5.0.0"});
  ASSERT_EQ(made.exitCode, 0);
  testsupport::writeFile(box.dataHome() + "/Quillor/Zanth/updateDisabled", "");
  auto person = std::async(std::launch::async, [] { return typeInto("^Install Foo$", "Return"); });
  auto result = box.run({"-allowDownload", "-eulaAccepted"}, std::chrono::seconds(60));
  EXPECT_TRUE(person.get()) << "the dialog never appeared";
  EXPECT_EQ(result.exitCode, 15);
  EXPECT_TRUE(server.requests().empty()) << "something was downloaded";
}

}  // namespace
}  // namespace e2e

namespace e2e {
namespace {

TEST_F(DownloadRoadWithDisplay, ProgressWindowTitleFollowsTheLanguage) {
  box.setEnv("LANG", "de_DE.UTF-8");
  box.setEnv("LANGUAGE", "de");
  setSwitches(kServerFolder + "/installer.p7", "_drip=64,250");
  auto person = std::async(std::launch::async, [] {
    bool cancelled = typeInto("^Installation von Foo$", "Tab Return");
    bool dismissed = typeInto("^Install Foo$", "Return");
    return cancelled && dismissed;
  });
  auto result = box.run({"-eulaAccepted", "-allowDownload"}, std::chrono::seconds(90));
  EXPECT_TRUE(person.get()) << "no progress window titled in German";
  EXPECT_EQ(result.exitCode, 11);
  EXPECT_THAT(leftovers(), IsEmpty());
}

}  // namespace
}  // namespace e2e
