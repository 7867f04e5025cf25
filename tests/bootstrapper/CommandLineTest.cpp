// The real program, copied as "Install Foo" into a sandbox, on its command line.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <syslog.h>

#include <filesystem>

#include "tests/support/Sandbox.h"

namespace {

using testsupport::LogLine;
using testsupport::Sandbox;
using Args = std::vector<std::string>;

const std::string kUsage =
    "Available Options: -silent { -eulaAccepted ( -location <dir> ) -desktopShortcut -programMenu "
    "-allowDownload }\n";

std::string describe(const Args& args) {
  std::string text;
  for (const auto& a : args) text += "[" + a + "] ";
  return text;
}

TEST(CommandLine, VersionAlonePrintsTheVersionAndLogsNothing) {
  Sandbox box(ZANTH_BOOTSTRAPPER);
  auto result = box.run({"-version"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "3.3.0.3650\n");
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(box.logLines().empty());
}

TEST(CommandLine, RejectedCommandLinesPrintTheUsageOnceAndExitTwo) {
  Sandbox box(ZANTH_BOOTSTRAPPER);
  const std::vector<Args> rejected = {
      {"-version", "-silent"},       {"-eulaAccepted"},
      {"-silent", "-silent"},        {"-eulaAccepted", "-silent"},
      {"-silent", "-location"},      {"-Silent"},
      {"-silent", "-allowdownload"}, {"-silent", "-EulaAccepted"},
  };
  for (const Args& args : rejected) {
    auto result = box.run(args);
    EXPECT_EQ(result.exitCode, 2) << describe(args);
    EXPECT_EQ(result.out, kUsage) << describe(args);
    EXPECT_EQ(result.err, "") << describe(args);
  }
  EXPECT_TRUE(box.logLines().empty()) << "a rejected run reached the system log";
}

TEST(CommandLine, AcceptedCommandLinesWriteTheBeginLine) {
  Sandbox box(ZANTH_BOOTSTRAPPER);
  // Without its package folder every accepted run ends right after the begin line, before any
  // download could look up the download host.
  std::filesystem::remove_all(box.appPath());
  const std::vector<Args> accepted = {
      {},
      {"-psn_0_12345"},
      {"-silent", "-eulaAccepted", "-location", box.root() + "/dest", "-desktopShortcut",
       "-programMenu", "-allowDownload"},
  };
  for (const Args& args : accepted) {
    box.clearLog();
    auto result = box.run(args);
    EXPECT_EQ(result.exitCode, 12) << describe(args);
    EXPECT_EQ(result.out, "") << describe(args);
    auto lines = box.logLines();
    ASSERT_EQ(lines.size(), 3u) << describe(args);
    EXPECT_EQ(lines.front(),
              (LogLine{LOG_NOTICE, "Bootstrapper begin with version 3.3.0.3650 on Mac x86"}))
        << describe(args);
  }
}

}  // namespace
