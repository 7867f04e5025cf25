// The install log: exact text and system-log priority of every named operation, the echo on
// standard output, and the severity check.
#include "libinstall/InstallLog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <syslog.h>

#include <functional>
#include <string>
#include <vector>

#include "libinstall/InstallLogMsgs.h"
#include "tests/support/SyslogCapture.h"

namespace {

using Entry = testsupport::LogLine;

class InstallLog : public ::testing::Test {
 protected:
  void SetUp() override { install::_logToStdout = false; }
  void TearDown() override { install::_logToStdout = false; }

  // The system log of this program: the library's calls land here.
  testsupport::SyslogCapture systemLog;
};

struct NamedOperation {
  const char* label;
  std::function<int()> call;
  Entry expected;
};

TEST_F(InstallLog, EveryNamedOperationHasItsFormatAndPriority) {
  using namespace install;
  const std::vector<NamedOperation> table = {
      {"applicationBegin",
       [] { return logApplicationBegin("Bootstrapper", "3.3.0.3650", "Mac", "x86"); },
       {LOG_NOTICE, "Bootstrapper begin with version 3.3.0.3650 on Mac x86"}},
      {"applicationEnd success",
       [] { return logApplicationEnd(true, "Bootstrapper", 0); },
       {LOG_NOTICE, "Bootstrapper end with exit code 0"}},
      {"applicationEnd failure",
       [] { return logApplicationEnd(false, "Bootstrapper", 12); },
       {LOG_ERR, "Bootstrapper end with exit code 12"}},
      {"runtimeInstalled",
       [] {
         return logRuntimeInstalled(2, 7, -1, 96, "/usr/share/Frameworks/Quillor Zanth.framework");
       },
       {LOG_NOTICE,
        "Installed runtime (2.7.-1.96) located at /usr/share/Frameworks/Quillor Zanth.framework"}},
      {"runtimeNotInstalled",
       [] { return logRuntimeNotInstalled(); },
       {LOG_NOTICE, "No installed runtime detected"}},
      {"immediateUpdateDisabled",
       [] { return logImmediateUpdateDisabled(); },
       {LOG_ERR,
        "Cannot complete installation because runtime updates are disabled on this machine"}},
      {"subprocessBegin",
       [] { return logSubprocessBegin("\"Zanth Runtime Installer\" -x1 /p "); },
       {LOG_NOTICE, "Launching subprocess with commandline \"Zanth Runtime Installer\" -x1 /p "}},
      {"subprocessSuccess",
       [] { return logSubprocessSuccess("Runtime Installer"); },
       {LOG_NOTICE, "Subprocess Runtime Installer succeeded"}},
      {"subprocessFailure",
       [] { return logSubprocessFailure("Application Installer", 7); },
       {LOG_ERR, "Subprocess Application Installer failed (7)"}},
      {"downloadBegin",
       [] { return logDownloadBegin("signature", "http://h/x/installer.p7"); },
       {LOG_NOTICE, "Begin signature download from http://h/x/installer.p7"}},
      {"downloadDest",
       [] { return logDownloadDest("/tmp/zanth-1/installer"); },
       {LOG_NOTICE, "Download destination is /tmp/zanth-1/installer"}},
      {"downloadSuccess", [] { return logDownloadSuccess(); }, {LOG_NOTICE, "Download success"}},
      {"downloadFailure",
       [] { return logDownloadFailure("could not start download"); },
       {LOG_ERR, "Download failure: could not start download"}},
      {"downloadCancel", [] { return logDownloadCancel(); }, {LOG_NOTICE, "Download cancelled"}},
      {"sigValid",
       [] { return logSigValid("Detached"); },
       {LOG_NOTICE, "Detached signature verified"}},
      {"sigInvalid",
       [] { return logSigInvalid("Detached"); },
       {LOG_ERR, "Detached signature validation failed"}},
      {"couldNotLocateAppDir",
       [] { return logCouldNotLocateAppDir("/a b/Foo"); },
       {LOG_ERR, "Could not locate native install directory (\"/a b/Foo\")"}},
      {"couldNotLocateAppDir empty",
       [] { return logCouldNotLocateAppDir(""); },
       {LOG_ERR, "Could not locate native install directory (\"\")"}},
      {"missingAllowDownloadFlag",
       [] { return logMissingAllowDownloadFlag(); },
       {LOG_ERR, "Unable to download runtime installer without -allowDownload"}},
      {"certChainBegin",
       [] { return logCertChainBegin(); },
       {LOG_NOTICE, "Begin cert chain validation"}},
      {"certRevocationFound",
       [] { return logCertRevocationFound(); },
       {LOG_NOTICE, "Cert revocation found"}},
      {"certChainSuccess",
       [] { return logCertChainSuccess(); },
       {LOG_NOTICE, "Cert chain validation succeeded"}},
      {"certChainFailure",
       [] { return logCertChainFailure(); },
       {LOG_ERR, "Cert chain validation failed"}},
      {"signalReceived",
       [] { return logSignalReceived(15); },
       {LOG_WARNING, "Stopping on signal 15"}},
      {"downloadRetry",
       [] { return logDownloadRetry(2, 3, "connection lost"); },
       {LOG_NOTICE, "Download retry 2 of 3 after: connection lost"}},
      {"ignoredSetting",
       [] { return logIgnoredSetting("DownloadBase", "not an http(s) address"); },
       {LOG_WARNING, "Ignoring setting DownloadBase: not an http(s) address"}},
  };
  for (const NamedOperation& op : table) {
    systemLog.clear();
    EXPECT_EQ(op.call(), 0) << op.label;
    EXPECT_THAT(systemLog.lines(), ::testing::ElementsAre(op.expected)) << op.label;
  }
}

TEST_F(InstallLog, UserTextTravelsAsArgumentNeverAsFormat) {
  install::logDownloadFailure("100% of %s %n");
  ASSERT_EQ(systemLog.lines().size(), 1u);
  EXPECT_EQ(systemLog.lines()[0].text, "Download failure: 100% of %s %n");
}

TEST_F(InstallLog, NothingReachesStandardOutputWhileTheEchoIsOff) {
  ::testing::internal::CaptureStdout();
  install::logApplicationBegin("Bootstrapper", "3.3.0.3650", "Mac", "x86");
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(systemLog.lines().size(), 1u);
}

TEST_F(InstallLog, EchoWritesStatusLineAndStillLogs) {
  install::_logToStdout = true;
  ::testing::internal::CaptureStdout();
  install::logDownloadSuccess();
  install::logSubprocessFailure("Runtime Installer", 7);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "status Download success\nstatus Subprocess Runtime Installer failed (7)\n");
  EXPECT_THAT(systemLog.lines(),
              ::testing::ElementsAre(Entry{LOG_NOTICE, "Download success"},
                                     Entry{LOG_ERR, "Subprocess Runtime Installer failed (7)"}));
}

TEST_F(InstallLog, SeverityOutsideTheFourIsRefusedButStillEchoed) {
  EXPECT_EQ(install::installLog(install::kSeverityWarning, "w %d", 1), 0);
  EXPECT_EQ(install::installLog(install::kSeverityDebug, "d"), 0);
  EXPECT_THAT(systemLog.lines(),
              ::testing::ElementsAre(Entry{LOG_WARNING, "w 1"}, Entry{LOG_DEBUG, "d"}));
  systemLog.clear();

  EXPECT_EQ(install::installLog(static_cast<install::severity_t>(4), "four"), -3);
  EXPECT_EQ(install::installLog(static_cast<install::severity_t>(-1), "minus one"), -3);
  EXPECT_TRUE(systemLog.lines().empty());

  install::_logToStdout = true;
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(install::installLog(static_cast<install::severity_t>(4), "four %s", "x"), -3);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "status four x\n");
  EXPECT_TRUE(systemLog.lines().empty());
}

}  // namespace
