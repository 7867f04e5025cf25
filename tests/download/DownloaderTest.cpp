#include "download/Downloader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/NotificationCenter.h"
#include "platform/SearchPaths.h"
#include "platform/ui/headless/HeadlessWidgets.h"
#include "tests/support/EnvironmentGuard.h"
#include "tests/support/Files.h"
#include "tests/support/FixtureServer.h"
#include "tests/support/MainLoop.h"
#include "tests/support/SyslogCapture.h"

namespace {

namespace fs = std::filesystem;
using testsupport::FixtureServer;
using testsupport::readFile;
using testsupport::writeFile;

// The headless backend's widgets, also keeping what the downloader set over a run.
struct RecordingWindow : platform::ui::headless::HeadlessWindow {
  RecordingWindow() : HeadlessWindow([] {}) {}
  void makeKeyAndOrderFront() override {
    ++shown;
    HeadlessWindow::makeKeyAndOrderFront();
  }
  int shown = 0;
};

struct RecordingButton : platform::ui::headless::HeadlessButton {
  void setEnabled(bool on) override {
    enabledHistory.push_back(on);
    HeadlessButton::setEnabled(on);
  }
  std::vector<bool> enabledHistory;
};

struct RecordingBar : platform::ui::headless::HeadlessProgressIndicator {
  void setDoubleValue(double value) override {
    values.push_back(value);
    HeadlessProgressIndicator::setDoubleValue(value);
  }
  std::vector<double> values;
};

// Keeps every text it was given, and the bar's indeterminate state at each change.
struct RecordingLabel : platform::ui::headless::HeadlessLabel {
  void setText(const std::string& text) override {
    texts.push_back(text);
    if (bar) pulsing.push_back(bar->isIndeterminate());
    HeadlessLabel::setText(text);
  }
  std::vector<std::string> texts;
  const platform::ui::ProgressIndicator* bar = nullptr;
  std::vector<bool> pulsing;
};

// What observers saw of one run.
struct RunResult {
  int notifications = 0;
  bool deliveredInsideStart = false;
  bool success = false;
  bool cancelled = false;
  std::vector<std::string> files;
  const void* sender = nullptr;
};

class DownloaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.start());
    base = server.root() + "/..";
    fs::create_directories(base + "/tmp");
    env.set("TMPDIR", base + "/tmp");
    env.set("http_proxy", server.proxyUrl());
    writeFile(server.root() + "/installer", std::string(100000, 'i'));
    writeFile(server.root() + "/installer.p7", std::string(3000, 's'));
    downloader.setProgressWindow(&window);
    downloader.setProgressBar(&bar);
    downloader.setCancelButton(&button);
    downloader.setPleaseWaitLabel(&label);
    downloader.setLocalizedPleaseWait("Please wait");
    downloader.setLocalizedCancel("Cancel");
    platform::UrlDownloadDurations quick;
    quick.retryPauses = {std::chrono::milliseconds(10), std::chrono::milliseconds(20),
                         std::chrono::milliseconds(40)};
    downloader.setTransferDurations(quick);
  }
  void TearDown() override {
    platform::NotificationCenter::defaultCenter().removeObserver(this);
    downloader.cleanupTempFiles();
  }

  static std::string url(const std::string& path) {
    return "http://download.quillor.example" + path;
  }

  // Starts a run and waits for its done notification, then lets the loop idle a little more
  // to catch a second one.
  RunResult run(const std::string& name, std::function<void()> during = {}) {
    RunResult result;
    auto& center = platform::NotificationCenter::defaultCenter();
    center.removeObserver(this);
    center.addObserver(this, name, [&](const platform::Notification& n) {
      ++result.notifications;
      result.sender = n.object;
      if (const bool* ok = n.value<bool>(DOWNLOADER_KEY_SUCCESS)) result.success = *ok;
      if (const bool* c = n.value<bool>(DOWNLOADER_KEY_CANCELLED)) result.cancelled = *c;
      if (auto* files = n.value<std::vector<std::string>>(DOWNLOADER_KEY_FILES)) {
        result.files = *files;
      }
    });
    downloader.startDownload(name);
    result.deliveredInsideStart = result.notifications > 0;
    if (during) during();
    EXPECT_TRUE(testsupport::runMainLoopUntil([&] { return result.notifications > 0; }));
    testsupport::runMainLoopFor(std::chrono::milliseconds(200));
    center.removeObserver(this);
    return result;
  }

  std::vector<std::string> logLines() const { return systemLog.texts(); }

  std::string tmp() const { return platform::temporaryDirectory().value(); }

  // Given back last: the next test's server makes its folder under the original TMPDIR.
  testsupport::EnvironmentGuard env;
  testsupport::SyslogCapture systemLog;
  FixtureServer server;
  std::string base;
  Downloader downloader;
  RecordingWindow window;
  RecordingButton button;
  platform::ui::headless::HeadlessLabel label;
  RecordingBar bar;
};

TEST_F(DownloaderTest, TwoUrlsFinishWithOneNotificationAndTheirFiles) {
  downloader.setUrlStrings({url("/installer"), url("/installer.p7")});
  RunResult r = run(INSTALLER_DOWNLOAD_NOTIFY_DONE);
  EXPECT_FALSE(r.deliveredInsideStart);
  EXPECT_EQ(r.notifications, 1);
  EXPECT_TRUE(r.success);
  EXPECT_EQ(r.sender, &downloader);
  EXPECT_EQ(r.files, (std::vector<std::string>{tmp() + "/installer", tmp() + "/installer.p7"}));
  EXPECT_EQ(readFile(r.files[0]), std::string(100000, 'i'));
  EXPECT_FALSE(downloader.lastError());
  EXPECT_EQ(logLines(),
            (std::vector<std::string>{
                "Begin runtime download from " + url("/installer"),
                "Download destination is " + tmp() + "/installer", "Download success",
                "Begin signature download from " + url("/installer.p7"),
                "Download destination is " + tmp() + "/installer.p7", "Download success"}));
  // The window was shown for the run and is closed at its end; Cancel followed the run.
  EXPECT_GE(window.shown, 1);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(label.text(), "Please wait");
  EXPECT_EQ(button.title(), "Cancel");
  EXPECT_TRUE(button.enabledHistory.front());
  EXPECT_FALSE(button.isEnabled());
  EXPECT_EQ(downloader.currentProgressPercent(), 0.0);
  EXPECT_EQ(bar.values.back(), 0.0);
  EXPECT_NE(std::find(bar.values.begin(), bar.values.end(), 100.0), bar.values.end());
}

TEST_F(DownloaderTest, RunResultsFollowTheFailureRule) {
  const struct {
    const char* name;
    bool ignoreFailures;
    std::vector<std::string> paths;
    bool success;
    std::vector<std::string> files;  // names in the temporary folder, in order
    long lastError;                  // 0: none
    std::vector<std::string> notRequested;
  } cases[] = {
      {"first fails, second never fetched",
       false,
       {"/_status=404/installer", "/installer.p7"},
       false,
       {},
       -1100,
       {"/installer.p7"}},
      {"second fails",
       false,
       {"/installer", "/_status=500/installer.p7"},
       false,
       {"installer"},
       -1011,
       {}},
      {"ignored, every URL fails, last error kept",
       true,
       {"/_status=404/installer", "/_status=401/installer.p7"},
       true,
       {},
       -1013,
       {}},
      {"ignored, first fails",
       true,
       {"/_status=410/installer", "/installer.p7"},
       true,
       {"installer.p7"},
       -1100,
       {}},
      {"failed transfer keeps its file",
       false,
       {"/_truncate/installer"},
       false,
       {"installer"},
       -1005,
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> urls;
    for (const auto& p : c.paths) urls.push_back(url(p));
    downloader.setUrlStrings(urls);
    downloader.setIgnoreFailures(c.ignoreFailures);
    downloader.setLastError(std::nullopt);
    const std::string folder = tmp();
    RunResult r = run(CRL_DOWNLOAD_NOTIFY_DONE);
    EXPECT_EQ(r.notifications, 1);
    EXPECT_EQ(r.success, c.success);
    std::vector<std::string> expected;
    for (const auto& f : c.files) expected.push_back(folder + "/" + f);
    EXPECT_EQ(r.files, expected);
    if (c.lastError) {
      ASSERT_TRUE(downloader.lastError());
      EXPECT_EQ(downloader.lastError()->domain, platform::kUrlErrorDomain);
      EXPECT_EQ(downloader.lastError()->code, c.lastError);
    }
    for (const auto& p : c.notRequested) {
      auto requests = server.requests();
      EXPECT_EQ(std::count(requests.begin(), requests.end(), p), 0) << p;
    }
    EXPECT_FALSE(button.isEnabled());
    downloader.cleanupTempFiles();  // every case starts with an empty folder
    EXPECT_FALSE(fs::exists(folder));
  }
  auto lines = logLines();
  EXPECT_EQ(lines.front(), "Begin crl download from " + url("/_status=404/installer"));
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "Download failure: The requested URL was not found on this server."),
            lines.end());
}

// The installer may be larger than a signature may; a list over its limit is one the run could
// not fetch, and what was saved of it is not handed on but still removed.
TEST_F(DownloaderTest, EachFileIsHeldToItsLimit) {
  const std::size_t overSignature = DOWNLOADER_MAX_SIGNATURE_BYTES + 1;
  writeFile(server.root() + "/big", std::string(overSignature, 'b'));
  downloader.setUrlStrings({url("/big"), url("/big")});
  RunResult r = run(INSTALLER_DOWNLOAD_NOTIFY_DONE);
  EXPECT_FALSE(r.success);
  EXPECT_EQ(r.files, std::vector<std::string>{tmp() + "/big"}) << "the installer was refused";
  ASSERT_TRUE(downloader.lastError());
  EXPECT_EQ(downloader.lastError()->code, platform::url_error::kDataLengthExceedsMaximum);
  downloader.cleanupTempFiles();

  writeFile(server.root() + "/list", "");
  fs::resize_file(server.root() + "/list", DOWNLOADER_MAX_CRL_BYTES + 1);
  downloader.setUrlStrings({url("/_nolength/list"), url("/installer.p7")});
  downloader.setIgnoreFailures(true);
  const std::string folder = tmp();
  r = run(CRL_DOWNLOAD_NOTIFY_DONE);
  EXPECT_TRUE(r.success);
  EXPECT_EQ(r.files, std::vector<std::string>{folder + "/installer.p7"});
  EXPECT_EQ(downloader.lastError()->code, platform::url_error::kDataLengthExceedsMaximum);
  EXPECT_TRUE(fs::exists(folder + "/list")) << "no list was cut off at the limit";
  downloader.cleanupTempFiles();
  EXPECT_FALSE(fs::exists(folder));
}

TEST_F(DownloaderTest, TransferThatCannotBeCreatedCountsAsFailed) {
  // Not ignored: the run ends at once, with one notification, never inside the call.
  downloader.setUrlStrings({"ftp://download.quillor.example/installer", url("/installer.p7")});
  RunResult r = run("OtherRun");
  EXPECT_FALSE(r.deliveredInsideStart);
  EXPECT_EQ(r.notifications, 1);
  EXPECT_FALSE(r.success);
  EXPECT_TRUE(r.files.empty());
  EXPECT_EQ(window.shown, 0) << "the window is not shown for a transfer that never started";
  EXPECT_EQ(logLines(), std::vector<std::string>{"Download failure: could not start download"})
      << "a run under another name logs no begin line";

  // Ignored: the next URL is fetched.
  downloader.setUrlStrings({"ftp://download.quillor.example/installer", url("/installer.p7")});
  downloader.setIgnoreFailures(true);
  r = run(CRL_DOWNLOAD_NOTIFY_DONE);
  EXPECT_EQ(r.notifications, 1);
  EXPECT_TRUE(r.success);
  EXPECT_EQ(r.files, std::vector<std::string>{tmp() + "/installer.p7"});
  ASSERT_TRUE(downloader.lastError());
  EXPECT_EQ(downloader.lastError()->code, platform::url_error::kUnsupportedUrl);
}

TEST_F(DownloaderTest, CancelDuringTheSecondUrl) {
  writeFile(server.root() + "/big.p7", std::string(400000, 'b'));
  downloader.setUrlStrings({url("/installer"), url("/_drip=4000,100/big.p7")});
  RunResult r = run(INSTALLER_DOWNLOAD_NOTIFY_DONE, [&] {
    ASSERT_TRUE(testsupport::runMainLoopUntil(
        [&] { return downloader.resultPaths().size() == 2 && downloader.bytesReceived() > 0; }));
    button.performClick();
    button.performClick();  // disabled now: nothing more happens
  });
  EXPECT_EQ(r.notifications, 1);
  EXPECT_FALSE(r.success);
  EXPECT_TRUE(r.cancelled);
  EXPECT_EQ(r.files, (std::vector<std::string>{tmp() + "/installer", tmp() + "/big.p7"}));
  EXPECT_LT(fs::file_size(tmp() + "/big.p7"), 400000u);
  EXPECT_EQ(downloader.currentUrlIndex(), 1);
  EXPECT_FALSE(button.isEnabled());
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(logLines().back(), "Download cancelled");
}

// A Cancel in the pause before a retry ends the run at once, as a Cancel during a transfer does.
TEST_F(DownloaderTest, CancelDuringTheRetryPauseEndsTheRunAtOnce) {
  downloader.setTransferDurations({});  // the program's pause of 1 s, for the click to fall in
  downloader.setUrlStrings({url("/_reset=50000/installer")});
  std::chrono::steady_clock::time_point clicked;
  RunResult r = run(INSTALLER_DOWNLOAD_NOTIFY_DONE, [&] {
    ASSERT_TRUE(testsupport::runMainLoopUntil([&] { return logLines().size() >= 3; }));
    clicked = std::chrono::steady_clock::now();
    button.performClick();
  });
  EXPECT_LT(std::chrono::steady_clock::now() - clicked, std::chrono::milliseconds(900))
      << "the run waited for the pause";
  EXPECT_TRUE(r.cancelled);
  EXPECT_EQ(server.requests().size(), 1u) << "retried after the cancel";
  const auto lines = logLines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[1], "Download destination is " + tmp() + "/installer");
  // curl's own words follow, which depend on how the reset reached it.
  EXPECT_EQ(lines[2].rfind("Download retry 1 of 3 after: The network connection was lost. (", 0),
            0u)
      << lines[2];
  EXPECT_EQ(lines[3], "Download cancelled");
}

TEST_F(DownloaderTest, ClosingTheWindowCancelsTheRun) {
  writeFile(server.root() + "/big", std::string(400000, 'b'));
  downloader.setUrlStrings({url("/_drip=4000,100/big")});
  RunResult r = run(CRL_DOWNLOAD_NOTIFY_DONE, [&] {
    ASSERT_TRUE(testsupport::runMainLoopUntil([&] { return downloader.bytesReceived() > 0; }));
    window.performClose();
  });
  EXPECT_EQ(r.notifications, 1);
  EXPECT_FALSE(r.success);
  EXPECT_TRUE(r.cancelled);
  EXPECT_FALSE(window.isVisible());
  EXPECT_FALSE(downloader.isDownloading());
  EXPECT_EQ(logLines().back(), "Download cancelled");
}

TEST_F(DownloaderTest, CleanupDuringARunStopsItAndRemovesItsFile) {
  writeFile(server.root() + "/big", std::string(400000, 'b'));
  downloader.setUrlStrings({url("/_drip=4000,100/big")});
  int notifications = 0;
  platform::NotificationCenter::defaultCenter().addObserver(
      this, CRL_DOWNLOAD_NOTIFY_DONE, [&](const platform::Notification&) { ++notifications; });
  downloader.startDownload(CRL_DOWNLOAD_NOTIFY_DONE);
  ASSERT_TRUE(testsupport::runMainLoopUntil([&] { return downloader.bytesReceived() > 0; }));
  const std::string file = downloader.resultPaths().at(0);
  const std::string folder = tmp();
  downloader.cleanupTempFiles();
  EXPECT_FALSE(downloader.isDownloading());
  EXPECT_FALSE(fs::exists(file));
  EXPECT_FALSE(fs::exists(folder));
  testsupport::runMainLoopFor(std::chrono::milliseconds(300));
  EXPECT_EQ(notifications, 0) << "a run stopped for the program's end reports nothing";
}

TEST_F(DownloaderTest, ExistingFileKeepsItsNameAndContent) {
  writeFile(tmp() + "/installer", "mine");
  downloader.setUrlStrings({url("/installer")});
  RunResult r = run(INSTALLER_DOWNLOAD_NOTIFY_DONE);
  EXPECT_TRUE(r.success);
  EXPECT_EQ(r.files, std::vector<std::string>{tmp() + "/installer-1"});
  EXPECT_EQ(readFile(tmp() + "/installer"), "mine");
  EXPECT_EQ(readFile(tmp() + "/installer-1"), std::string(100000, 'i'));
}

TEST_F(DownloaderTest, GunzipsOnlyTheExactMimeTypes) {
  writeFile(server.root() + "/crl", std::string(5000, 'c'));
  downloader.setUrlStrings({url("/_gzip/_type=application%2Fx-gzip/crl"),
                            url("/_gzip/_type=application%2Fgzip/crl"),
                            url("/_gzip/_type=Application%2FX-Gzip/crl")});
  RunResult r = run(CRL_DOWNLOAD_NOTIFY_DONE);
  ASSERT_EQ(r.files.size(), 3u);
  EXPECT_EQ(readFile(r.files[0]), std::string(5000, 'c'));
  EXPECT_EQ(readFile(r.files[1]), std::string(5000, 'c'));
  EXPECT_EQ(readFile(r.files[2]).substr(0, 2), "\x1f\x8b") << "saved as received";
}

TEST_F(DownloaderTest, ProgressFollowsTheReceivedBytes) {
  // Over the wire: the first 16384 bytes leave the bar at 0, the rest moves it to 100.
  writeFile(server.root() + "/split", std::string(20000, 'x'));
  downloader.setUrlStrings({url("/_split=16384/split")});
  run(CRL_DOWNLOAD_NOTIFY_DONE);
  for (double v : bar.values) EXPECT_TRUE(v == 0.0 || v > 81.92) << v;
  EXPECT_NE(std::find(bar.values.begin(), bar.values.end(), 100.0), bar.values.end());

  bar.values.clear();
  downloader.setUrlStrings({url("/_nolength/installer")});
  RunResult r = run(CRL_DOWNLOAD_NOTIFY_DONE);
  EXPECT_TRUE(r.success);
  EXPECT_EQ(downloader.expectedBytes(), -1);
  for (double v : bar.values) EXPECT_EQ(v, 0.0) << "no length announced";

  // The exact rule, one callback at a time.
  auto transfer = platform::UrlDownload::create(url("/installer"), downloader);
  ASSERT_TRUE(transfer);
  transfer->cancel();
  platform::UrlResponse response;
  response.expectedContentLength = 10000;
  downloader.didReceiveResponse(*transfer, response);
  downloader.didReceiveDataOfLength(*transfer, 16384);
  EXPECT_EQ(downloader.currentProgressPercent(), 0.0);
  downloader.didReceiveDataOfLength(*transfer, 1);
  EXPECT_DOUBLE_EQ(downloader.currentProgressPercent(), 163.85) << "longer than announced";
  EXPECT_DOUBLE_EQ(bar.doubleValue(), 163.85);
  downloader.didReceiveResponse(*transfer, response);
  EXPECT_EQ(downloader.bytesReceived(), 0);
  EXPECT_EQ(downloader.currentProgressPercent(), 0.0);
}

TEST_F(DownloaderTest, StatusLineAndPhaseFollowTheRun) {
  RecordingLabel status;
  RecordingLabel phase;
  status.bar = &bar;
  downloader.setStatusLabel(&status);
  downloader.setPleaseWaitLabel(&phase);
  downloader.setLocalizedVerifyingDownload("Verifying");
  downloader.setProgressWording({[](const ProgressReport& r) {
                                   return std::to_string(r.received) + " of " +
                                          std::to_string(r.total) + " at " +
                                          std::to_string(std::lround(r.bytesPerSecond));
                                 },
                                 [](std::chrono::milliseconds pause) {
                                   return "again in " + std::to_string(pause.count());
                                 }});
  std::vector<std::string> described;
  writeFile(server.root() + "/slow", std::string(200000, 's'));

  // A moving download: lines of the bytes so far, the bar's description following them.
  downloader.setUrlStrings({url("/_drip=6000,100/slow")});
  run(INSTALLER_DOWNLOAD_NOTIFY_DONE, [&] {
    testsupport::runMainLoopUntil([&] {
      if (!status.text().empty()) described.push_back(bar.accessible().description());
      return !downloader.isDownloading();
    });
  });
  EXPECT_EQ(phase.texts, std::vector<std::string>{"Please wait"});
  std::vector<std::string> lines;
  for (const std::string& t : status.texts) {
    if (!t.empty()) lines.push_back(t);
  }
  ASSERT_GE(lines.size(), 2u);
  EXPECT_NE(lines[0], lines[1]);
  EXPECT_NE(lines[0].find(" of 200000 at "), std::string::npos) << lines[0];
  ASSERT_FALSE(described.empty());
  EXPECT_EQ(described.front(), lines[0]) << "the bar is described by the line";
  EXPECT_EQ(status.text(), "") << "emptied when the run ends";
  EXPECT_FALSE(bar.isIndeterminate());

  // Revocation lists: the verifying phase; no length: the bar pulses and the bytes show.
  status.texts.clear();
  status.pulsing.clear();
  downloader.setUrlStrings({url("/_nolength/_drip=20000,300/slow")});
  run(CRL_DOWNLOAD_NOTIFY_DONE);
  EXPECT_EQ(phase.text(), "Verifying");
  ASSERT_GE(status.texts.size(), 3u);
  const std::string& during = status.texts[status.texts.size() - 2];  // before the run's end
  EXPECT_TRUE(status.pulsing[status.texts.size() - 2]);
  EXPECT_NE(during.find(" of -1 at "), std::string::npos) << during;
  EXPECT_FALSE(bar.isIndeterminate());

  // A stall: the line goes on changing (the rate falls) while no byte comes.
  status.texts.clear();
  writeFile(server.root() + "/held", std::string(100000, 'h'));
  downloader.setUrlStrings({url("/_hold=go/held")});
  run(INSTALLER_DOWNLOAD_NOTIFY_DONE, [&] {
    ASSERT_TRUE(testsupport::runMainLoopUntil([&] { return downloader.bytesReceived() > 0; }));
    testsupport::runMainLoopFor(std::chrono::milliseconds(1200));
    const std::size_t before = status.texts.size();
    const std::int64_t bytes = downloader.bytesReceived();
    testsupport::runMainLoopFor(std::chrono::milliseconds(2500));
    EXPECT_EQ(downloader.bytesReceived(), bytes) << "the server was to hold the rest";
    EXPECT_GE(status.texts.size(), before + 2) << "the line stood still during the stall";
    writeFile(server.root() + "/go", "");
  });

  // A body that breaks off: the line tells of the retry and its pause.
  status.texts.clear();
  downloader.setUrlStrings({url("/_reset-once=50000/installer")});
  RunResult r = run(INSTALLER_DOWNLOAD_NOTIFY_DONE);
  EXPECT_TRUE(r.success);
  EXPECT_NE(std::find(status.texts.begin(), status.texts.end(), "again in 10"),
            status.texts.end());
}

TEST_F(DownloaderTest, SilentRunNeverShowsTheWindowButDrivesCancel) {
  downloader.setSilent(true);
  downloader.setUrlStrings({url("/installer"), url("/installer.p7")});
  RunResult r = run(INSTALLER_DOWNLOAD_NOTIFY_DONE);
  EXPECT_TRUE(r.success);
  EXPECT_EQ(window.shown, 0);
  EXPECT_EQ(button.enabledHistory, (std::vector<bool>{true, true, false}));

  // Without any outlets the downloader works the same.
  Downloader bare;
  bare.setUrlStrings({url("/installer.p7")});
  bool done = false;
  platform::NotificationCenter::defaultCenter().addObserver(
      this, "Bare",
      [&](const platform::Notification& n) { done = *n.value<bool>(DOWNLOADER_KEY_SUCCESS); });
  bare.startDownload("Bare");
  EXPECT_TRUE(testsupport::runMainLoopUntil([&] { return done; }));
  bare.cleanupTempFiles();
}

TEST_F(DownloaderTest, CleanupRemovesTheFilesOfEveryRunAndTheFolder) {
  downloader.setRuntimeArgs(nullptr);
  EXPECT_TRUE(downloader.runtimeArgs().empty());
  const std::vector<std::string> args = {"-silent", "-location", "/opt"};
  downloader.setRuntimeArgs(&args);
  EXPECT_EQ(downloader.runtimeArgs(), args);

  downloader.setUrlStrings({url("/installer"), url("/installer.p7")});
  RunResult first = run(INSTALLER_DOWNLOAD_NOTIFY_DONE);
  downloader.setUrlStrings({url("/_status=404/missing"), url("/installer")});
  EXPECT_TRUE(downloader.resultPaths().empty());
  EXPECT_EQ(downloader.currentUrlIndex(), 0);
  downloader.setIgnoreFailures(true);
  RunResult second = run(CRL_DOWNLOAD_NOTIFY_DONE);
  EXPECT_EQ(second.files, std::vector<std::string>{tmp() + "/installer-1"});
  ASSERT_EQ(downloader.cleanupPaths().size(), 3u);

  const std::string folder = tmp();
  downloader.cleanupTempFiles();
  for (const auto& f : first.files) EXPECT_FALSE(fs::exists(f)) << f;
  EXPECT_FALSE(fs::exists(second.files[0]));
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_TRUE(downloader.cleanupPaths().empty());
  EXPECT_EQ(downloader.runtimeArgs(), args) << "parked arguments outlive the runs";
}

}  // namespace
