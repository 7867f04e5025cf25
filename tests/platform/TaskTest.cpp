#include "platform/Task.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <vector>

#include "platform/TerminationSignals.h"
#include "tests/support/EnvironmentGuard.h"
#include "tests/support/Files.h"
#include "tests/support/ScratchFolder.h"

using platform::Task;
using testsupport::EnvironmentGuard;
using testsupport::readFile;
using testsupport::ScratchFolder;

namespace {

int run(const std::string& path, const std::vector<std::string>& args = {}) {
  Task task(path, args);
  if (task.launch()) task.waitUntilExit();
  return task.terminationStatus();
}

}  // namespace

TEST(Task, ExitStatusComesBackUnchanged) {
  ScratchFolder scratch;
  for (int code : {0, 1, 3, 5, 7, 255}) {
    std::string script = scratch.write("exit" + std::to_string(code),
                                       "#!/bin/sh\nexit " + std::to_string(code) + "\n", 0755);
    EXPECT_EQ(run(script), code) << "child exiting with " << code;
  }
}

TEST(Task, ArgumentsArriveByteForByteWithoutAShell) {
  ScratchFolder scratch;
  const std::string out = scratch.path("argv");
  // Each argument, the program's own name first, followed by a NUL byte.
  const std::string script = scratch.write(
      "record args", "#!/bin/sh\nprintf '%s\\0' \"$0\" \"$@\" > '" + out + "'\n", 0755);
  const std::vector<std::string> args = {
      "-silent", "--",        "with  two spaces", "",         "Grüße, 日本", "$HOME",
      "*",       "a'b\"c\\d", "line\nbreak",      "; exit 9", "-location",   "/tmp/x y"};
  EXPECT_EQ(run(script, args), 0);
  std::string expected = script + '\0';
  for (const auto& arg : args) expected += arg + '\0';
  EXPECT_EQ(readFile(out), expected);
}

TEST(Task, ChildInheritsEnvironmentWorkingDirectoryAndStandardOutput) {
  ScratchFolder scratch;
  EnvironmentGuard env;
  env.set("ZANTH_TASK_PROBE", "probe value");
  const std::string workdir = scratch.makeFolder("work dir");
  const std::string script =
      scratch.write("show", "#!/bin/sh\necho \"$ZANTH_TASK_PROBE\"; pwd\n", 0755);

  char previous[4096];
  ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(::chdir(workdir.c_str()), 0);
  // The child writes to our standard output: point it at a file for the run.
  fflush(stdout);
  const int savedStdout = ::dup(1);
  const int capture = ::open(scratch.path("stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(capture, 0);
  ::dup2(capture, 1);
  ::close(capture);
  const int status = run(script);
  ::dup2(savedStdout, 1);
  ::close(savedStdout);
  ASSERT_EQ(::chdir(previous), 0);

  EXPECT_EQ(status, 0);
  EXPECT_EQ(readFile(scratch.path("stdout")), "probe value\n" + workdir + "\n");
}

TEST(Task, OnlyTheStandardStreamsReachTheChild) {
  ScratchFolder scratch;
  const int fd = ::open(scratch.write("open file", "x").c_str(), O_RDONLY);  // no close-on-exec
  ASSERT_GE(fd, 0);
  const int leaked = ::dup2(fd, 57);
  ::close(fd);
  ASSERT_EQ(leaked, 57);
  const std::string script = scratch.write(
      "probe",
      "#!/bin/sh\n[ -e /proc/$$/fd/57 ] && exit 1\n[ -e /proc/$$/fd/2 ] || exit 2\nexit 0\n", 0755);
  EXPECT_EQ(run(script), 0) << "1: descriptor 57 leaked into the child; 2: stderr missing";
  ::close(57);
}

TEST(Task, ChildThatCannotStartReportsShellStatus) {
  ScratchFolder scratch;
  struct Case {
    const char* what;
    std::string path;
    int status;
  };
  const std::vector<Case> cases = {
      {"missing file", scratch.path("nothing here"), 127},
      {"missing folder on the way", scratch.path("no/such/program"), 127},
      {"file without execute permission", scratch.write("plain", "#!/bin/sh\nexit 0\n", 0644), 126},
      {"a folder", scratch.makeFolder("folder"), 126},
      // Without "#!" a shell would run it; no shell is involved here.
      {"script without interpreter line", scratch.write("bare", "exit 0\n", 0755), 126},
  };
  for (const Case& c : cases) {
    Task task(c.path, {"arg"});
    EXPECT_FALSE(task.launch()) << c.what;
    EXPECT_EQ(task.terminationStatus(), c.status) << c.what;
    EXPECT_EQ(task.processIdentifier(), 0) << c.what;
    task.waitUntilExit();  // returns at once
    EXPECT_EQ(task.terminationStatus(), c.status) << c.what;
  }
}

TEST(Task, ChildKilledBySignalReports128PlusSignal) {
  ScratchFolder scratch;
  EXPECT_EQ(run(scratch.write("term", "#!/bin/sh\nkill -TERM $$\nsleep 5\n", 0755)), 128 + 15);
  EXPECT_EQ(run(scratch.write("kill", "#!/bin/sh\nkill -KILL $$\nsleep 5\n", 0755)), 128 + 9);
}

TEST(Task, StopSignalsArePassedOnToTheChildAndRecordedForTheCaller) {
  ScratchFolder scratch;
  const std::string seen = scratch.path("seen");
  // The child asks its parent to stop (as a person would), then waits to be passed the signal;
  // it ends on its own terms, and the parent waited for it instead of dying first.
  const std::string script =
      scratch.write("patient",
                    "#!/bin/sh\ntrap 'echo TERM > \"" + seen +
                        "\"; exit 0' TERM\nkill -TERM $PPID\nwhile :; do sleep 0.05; done\n",
                    0755);
  ASSERT_EQ(platform::pendingTerminationSignal(), 0);
  // As the program does at start: from now on the signals are the main loop's to handle.
  platform::handleTerminationSignals([](int) {});
  EXPECT_EQ(run(script), 0);
  EXPECT_EQ(readFile(seen), "TERM\n") << "the child was not passed the signal";
  EXPECT_EQ(platform::pendingTerminationSignal(), SIGTERM);
}

TEST(Task, ChildGetsTheDefaultSigpipeEvenWhenThisProcessIgnoresIt) {
  ScratchFolder scratch;
  const std::string script = scratch.write("pipe", "#!/bin/sh\nkill -PIPE $$\nexit 0\n", 0755);
  auto* previous = std::signal(SIGPIPE, SIG_IGN);
  const int status = run(script);
  std::signal(SIGPIPE, previous);
  EXPECT_EQ(status, 128 + SIGPIPE);
}

TEST(Task, LaunchFromDescriptorRunsTheOpenFileWhateverItsPathNamesNow) {
  ScratchFolder scratch;
  const std::string path = scratch.write("installer", "#!/bin/sh\nexit 7\n", 0755);
  const platform::FileDescriptor opened(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  ASSERT_TRUE(opened);
  // Another script put in its place, and the folder renamed away.
  scratch.write("other", "#!/bin/sh\nexit 9\n", 0755);
  ASSERT_EQ(::rename(scratch.path("other").c_str(), path.c_str()), 0);
  ASSERT_EQ(::rename(scratch.root().c_str(), (scratch.root() + "-moved").c_str()), 0);
  Task script(path, {});
  ASSERT_TRUE(script.launchFromDescriptor(opened));
  script.waitUntilExit();
  ASSERT_EQ(::rename((scratch.root() + "-moved").c_str(), scratch.root().c_str()), 0);
  EXPECT_EQ(script.terminationStatus(), 7) << "not the script that was open";

  // A compiled program works the same; without a descriptor nothing runs.
  const platform::FileDescriptor binary(::open("/bin/false", O_RDONLY | O_CLOEXEC));
  Task compiled("/bin/false", {});
  if (compiled.launchFromDescriptor(binary)) compiled.waitUntilExit();
  EXPECT_EQ(compiled.terminationStatus(), 1);
  Task none(path, {});
  EXPECT_FALSE(none.launchFromDescriptor(platform::FileDescriptor()));
  EXPECT_EQ(none.terminationStatus(), 126);
}
