// Whole runs with windows on a display (run under Xvfb): a person's clicks and key presses are
// simulated with xdotool through the X server, exactly as they would reach the program.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <future>
#include <sstream>
#include <thread>

#include "tests/e2e/DownloadRoad.h"
#include "tests/support/Files.h"

extern char** environ;

namespace e2e {
namespace {

using ::testing::Contains;
using ::testing::IsEmpty;

// Runs xdotool with args against the first visible window whose title matches titlePattern
// (waiting at most 30 s for it). False when no such window appeared.
bool onWindow(const std::string& titlePattern, const std::string& args) {
  const std::string command = "timeout 30 xdotool search --sync --onlyvisible --name '" +
                              titlePattern + "' " + args + " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

// Waits (at most 30 s) for a visible window whose title matches titlePattern, gives it the
// keyboard focus and types keys into it. False when no such window appeared.
bool typeInto(const std::string& titlePattern, const std::string& keys) {
  return onWindow(titlePattern, "windowfocus --sync key --delay 100 " + keys);
}

// Waits at most 30 s for condition; false when it never held.
bool waitFor(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

// A display server of the test's own (started with args through env, waited for until ready
// holds), which the test may end while the program uses it, as a logout does.
class OwnDisplayServer {
 public:
  ~OwnDisplayServer() { end(); }
  bool start(std::vector<std::string> args, const std::function<bool()>& ready) {
    std::vector<char*> argv{const_cast<char*>("env")};
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (::posix_spawnp(&pid_, "env", &actions, nullptr, argv.data(), environ) != 0) pid_ = 0;
    posix_spawn_file_actions_destroy(&actions);
    return pid_ > 0 && waitFor(ready);
  }
  void end() {
    if (pid_ > 0 && ::kill(pid_, SIGTERM) == 0) ::waitpid(pid_, nullptr, 0);
    pid_ = 0;
  }

 private:
  pid_t pid_ = 0;
};

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

// A session bus of its own, with the accessibility bus that D-Bus starts on demand behind it:
// what a screen reader would connect to.
class AccessibilityBus {
 public:
  AccessibilityBus() {
    FILE* daemon = ::popen("dbus-daemon --session --fork --print-address=1 --print-pid=1", "r");
    if (daemon == nullptr) return;
    char line[512];
    if (std::fgets(line, sizeof line, daemon) != nullptr) address_ = line;
    if (std::fgets(line, sizeof line, daemon) != nullptr) pid_ = std::atoi(line);
    ::pclose(daemon);
    while (!address_.empty() && (address_.back() == '\n' || address_.back() == '\r')) {
      address_.pop_back();
    }
  }
  ~AccessibilityBus() {
    if (pid_ > 0) ::kill(pid_, SIGTERM);
  }
  AccessibilityBus(const AccessibilityBus&) = delete;
  AccessibilityBus& operator=(const AccessibilityBus&) = delete;
  const std::string& address() const { return address_; }

  // What a screen reader could read, as tests/support/accessible_texts.py prints it, for at
  // most seconds or until the program's windows are gone. Returns once the reader is ready, so
  // that a program started afterwards is seen from its first window on.
  std::future<std::vector<std::string>> readTexts(int seconds) const {
    const std::string command = "DBUS_SESSION_BUS_ADDRESS='" + address_ + "' " +
                                ZANTH_ACCESSIBLE_TEXTS + " " + std::to_string(seconds) +
                                " 2>/dev/null";
    FILE* reader = ::popen(command.c_str(), "r");
    char ready[64];
    if (reader != nullptr && std::fgets(ready, sizeof ready, reader) == nullptr) {
      ::pclose(reader);
      reader = nullptr;
    }
    return std::async(std::launch::async, [reader] {
      std::vector<std::string> lines;
      if (reader == nullptr) return lines;
      char line[4096];
      while (std::fgets(line, sizeof line, reader) != nullptr) {
        std::string text = line;
        if (!text.empty() && text.back() == '\n') text.pop_back();
        lines.push_back(text);
      }
      ::pclose(reader);
      return lines;
    });
  }

 private:
  std::string address_;
  int pid_ = 0;
};

// A whole run read through the accessibility objects: the status line changes as the installer
// arrives, and the phase says "Verifying download..." while the revocation lists come.
TEST_F(DownloadRoadWithDisplay, ProgressWindowTellsTheBytesAndTheVerifyingPhase) {
  AccessibilityBus bus;
  ASSERT_FALSE(bus.address().empty()) << "no dbus-daemon";
  box.setEnv("DBUS_SESSION_BUS_ADDRESS", bus.address());
  box.unsetEnv("NO_AT_BRIDGE");
  // An installer that takes about three seconds, and a list that takes about one.
  publishInstaller(installerScript() + "# " + std::string(1'200'000, 'x') + "\n", "good");
  setSwitches(kServerFolder + "/installer", "_drip=40000,100");
  setSwitches("crl/QuillorRootCA.crl", "_drip=100,150");
  auto texts = bus.readTexts(80);
  auto result = box.run({"-eulaAccepted", "-allowDownload"}, std::chrono::seconds(90));
  const std::vector<std::string> lines = texts.get();
  EXPECT_EQ(result.exitCode, 0) << result.err;

  std::vector<std::string> statusLines;
  std::size_t firstStatus = lines.size(), verifying = lines.size(), pleaseWait = lines.size();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.rfind("status bar|Download status|", 0) == 0 && line.find(" of ") != line.npos) {
      statusLines.push_back(line.substr(line.rfind('|') + 1));
      firstStatus = std::min(firstStatus, i);
    }
    if (line.rfind("label|", 0) == 0 && line.ends_with("|Please wait.")) {
      pleaseWait = std::min(pleaseWait, i);
    }
    if (line.rfind("label|", 0) == 0 && line.ends_with("|Verifying download...")) {
      verifying = std::min(verifying, i);
    }
  }
  std::ostringstream all;
  for (const std::string& line : lines) all << "\n  " << line;
  ASSERT_GE(statusLines.size(), 2u) << "the status line did not change:" << all.str();
  EXPECT_NE(statusLines[0], statusLines[1]);
  EXPECT_NE(statusLines[0].find(" of 1.2\u00A0MB ("), std::string::npos) << statusLines[0];
  EXPECT_NE(statusLines[0].find("B/s)"), std::string::npos) << statusLines[0];
  EXPECT_LT(pleaseWait, firstStatus) << all.str();
  EXPECT_LT(firstStatus, verifying)
      << "no \"Verifying download...\" after the installer:" << all.str();
  EXPECT_THAT(received(), ::testing::HasSubstr("-eulaAccepted")) << "the installer did not run";
}

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

namespace e2e {
namespace {

TEST_F(DownloadRoadWithDisplay, WindowsClosedByAnotherClientEndTheirWait) {
  // A dialog and an alert whose X window another client destroys count as dismissed with OK.
  auto made = box.runProgram(ZANTH_MAKE_RUNTIME, {"--make-runtime", box.dataDir(), "1.5.0.0"});
  ASSERT_EQ(made.exitCode, 0);
  const std::string marker = box.dataHome() + "/Quillor/Zanth/updateDisabled";
  testsupport::writeFile(marker, "");
  auto closer =
      std::async(std::launch::async, [] { return onWindow("^Install Foo$", "windowclose"); });
  auto dialog = box.run({"-allowDownload", "-eulaAccepted"}, std::chrono::seconds(60));
  EXPECT_TRUE(closer.get()) << "the dialog never appeared";
  EXPECT_EQ(dialog.exitCode, 15) << "the dialog's wait did not end";

  std::filesystem::remove_all(box.dataDir() + "/Frameworks");
  std::filesystem::remove(marker);
  publishInstaller(installerScript(), "other-root");
  closer = std::async(std::launch::async, [] { return onWindow("^Install Foo$", "windowclose"); });
  auto alert = box.run({"-eulaAccepted", "-allowDownload"}, std::chrono::seconds(60));
  EXPECT_TRUE(closer.get()) << "the alert never appeared";
  EXPECT_EQ(alert.exitCode, 13) << "the alert's wait did not end";
}

TEST_F(DownloadRoadWithDisplay, ProgressWindowClosedByAnotherClientIsCancel) {
  setSwitches(kServerFolder + "/installer", "_drip=64,250");
  auto person = std::async(std::launch::async, [this] {
    const bool downloading = waitFor([this] { return !server.requests().empty(); });
    return downloading && onWindow("^Installing Foo$", "windowclose") &&
           typeInto("^Install Foo$", "Return");
  });
  auto result = box.run({"-eulaAccepted", "-allowDownload"}, std::chrono::seconds(90));
  EXPECT_TRUE(person.get()) << "the progress window or the alert never appeared";
  EXPECT_EQ(result.exitCode, 11) << result.err;
  const auto lines = logTexts();
  EXPECT_THAT(lines, Contains("Download cancelled"));
  EXPECT_EQ(lines.back(), "E: Bootstrapper end with exit code 11");
  EXPECT_THAT(received(), IsEmpty()) << "the installer ran after its window was gone";
  EXPECT_THAT(leftovers(), IsEmpty());
}

// The display ends under the program (a logout, a crashed server).
class DisplayGoes : public DownloadRoad {
 protected:
  OwnDisplayServer display;
};

TEST_F(DisplayGoes, XServerGoneMidDownloadEndsAsAHangUp) {
  const std::string name = ":" + std::to_string(200 + ::getpid() % 500);
  const std::string probe = "DISPLAY=" + name + " xdotool getdisplaygeometry >/dev/null 2>&1";
  ASSERT_TRUE(display.start({"Xvfb", name, "-nolisten", "tcp"}, [&] {
    return std::system(probe.c_str()) == 0;
  })) << "Xvfb did not start";
  box.setEnv("DISPLAY", name);
  box.setEnv("NO_AT_BRIDGE", "1");
  setSwitches(kServerFolder + "/installer", "_stall");
  auto ender = std::async(std::launch::async, [this] {
    const bool downloading = waitFor([this] { return !leftovers().empty(); });
    display.end();
    return downloading;
  });
  auto result = box.run({"-eulaAccepted", "-allowDownload"}, std::chrono::seconds(90));
  ASSERT_TRUE(ender.get()) << "the download never started";
  EXPECT_EQ(result.exitCode, 128 + SIGHUP) << result.err;
  EXPECT_THAT(result.err, ::testing::HasSubstr("Lost the display (DISPLAY=" + name + ")"));
  const auto lines = logTexts();
  EXPECT_THAT(lines, Contains("Stopping on signal 1"));
  EXPECT_EQ(lines.back(), "E: Bootstrapper end with exit code 129");
  EXPECT_THAT(leftovers(), IsEmpty()) << "the partial installer was left behind";
}

TEST_F(DisplayGoes, WaylandWithOnlyTheSandboxInDataDirsDrawsItsWindowsUntilTheCompositorGoes) {
  // The sandbox's XDG_DATA_DIRS names its own data folder only: the toolkit must find its
  // icons all the same (they are drawn with the progress window).
  const std::string runtimeDir = box.root() + "/run";
  std::filesystem::create_directory(runtimeDir);
  std::filesystem::permissions(runtimeDir, std::filesystem::perms::owner_all);
  ASSERT_TRUE(display.start({"XDG_RUNTIME_DIR=" + runtimeDir, "weston",
                             "--backend=headless-backend.so", "--socket=wayland-test"},
                            [&] { return std::filesystem::exists(runtimeDir + "/wayland-test"); }))
      << "weston did not start";
  box.setEnv("XDG_RUNTIME_DIR", runtimeDir);
  box.setEnv("WAYLAND_DISPLAY", "wayland-test");
  box.setEnv("NO_AT_BRIDGE", "1");
  setSwitches(kServerFolder + "/installer", "_stall");
  auto ender = std::async(std::launch::async, [this] {
    const bool downloading = waitFor([this] { return !leftovers().empty(); });
    // Time to draw the window: without its icons the toolkit aborts then.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    display.end();
    return downloading;
  });
  auto result = box.run({"-eulaAccepted", "-allowDownload"}, std::chrono::seconds(90));
  ASSERT_TRUE(ender.get()) << "the download never started: " << result.err;
  EXPECT_THAT(result.err, ::testing::Not(::testing::HasSubstr("without windows")));
  EXPECT_EQ(result.exitCode, 128 + SIGHUP) << result.err;
  EXPECT_THAT(result.err, ::testing::HasSubstr("Lost the display (WAYLAND_DISPLAY=wayland-test)"));
}

}  // namespace
}  // namespace e2e
