// Whole runs on the download road, headless: download, verification, the runtime installer, and
// every way the road can fail. After each run nothing downloaded is left behind.
#include "tests/e2e/DownloadRoad.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/Files.h"

namespace e2e {
namespace {

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using Lines = std::vector<std::string>;

Lines endLines(const std::string& runner, int code) {
  if (code == 0)
    return {"Subprocess " + runner + " succeeded", "Bootstrapper end with exit code 0"};
  return {"E: Subprocess " + runner + " failed (" + std::to_string(code) + ")",
          "E: Bootstrapper end with exit code " + std::to_string(code)};
}

TEST_F(DownloadRoad, VerifiedInstallerRunsWithTheValidatedArguments) {
  auto result =
      box.run({"-silent", "-eulaAccepted", "-location", "/opt/dest dir", "-allowDownload"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
  // Created private (600) and made executable by everyone, nothing else changed: 711.
  EXPECT_EQ(received(),
            "711\n-silent\n-eulaAccepted\n-location\n/opt/dest dir\n" + box.appPath() + "\n");
  EXPECT_THAT(
      logTexts(),
      ElementsAreArray(downloadedBothLines() + verifiedLines() +
                       Lines{"Launching subprocess with commandline \"Zanth Runtime Installer\" "
                             "-silent -eulaAccepted -location /opt/dest dir <pkg> "} +
                       endLines("Runtime Installer", 0)));
  EXPECT_THAT(leftovers(), IsEmpty());
  EXPECT_EQ(server.requests(),
            (Lines{"/" + kServerFolder + "/installer", "/" + kServerFolder + "/installer.p7",
                   "/crl/QuillorRootCA.crl", "/crl/QuillorCodeSigning.crl"}));
}

TEST_F(DownloadRoad,
       WithoutValidatedArgumentsTheInstallerGetsTheFallbackAndItsStatusPassesThrough) {
  box.setEnv("ZANTH_E2E_EXIT", "7");
  auto result = box.run({});
  EXPECT_EQ(result.exitCode, 7);
  EXPECT_EQ(result.err, "No display: running without windows\n")
      << "the progress window was due (not silent); a failed runtime installer is not reported "
         "by a dialog";
  EXPECT_EQ(received(), "711\n-x1\n" + box.appPath() + "\n");
  auto lines = logTexts();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 3],
            "Launching subprocess with commandline \"Zanth Runtime Installer\" -x1 <pkg> ");
  EXPECT_THAT(Lines(lines.end() - 2, lines.end()),
              ElementsAreArray(endLines("Runtime Installer", 7)));
  EXPECT_THAT(leftovers(), IsEmpty());
}

TEST_F(DownloadRoad, MissingFileOnTheServerShowsTheUpdateUnavailableDialog) {
  for (const std::string file : {"installer", "installer.p7"}) {
    SCOPED_TRACE(file);
    box.clearLog();
    setSwitches(kServerFolder + "/" + file, "_status=404");
    auto result = box.run({"-silent", "-allowDownload"});
    EXPECT_EQ(result.exitCode, 11);
    EXPECT_THAT(result.err, HasSubstr(kUpdateUnavailable));
    EXPECT_THAT(result.err, HasSubstr("https://www.quillor.example/zanth/system-requirements"));
    EXPECT_THAT(received(), IsEmpty());
    auto lines = logTexts();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2],
              "E: Download failure: The requested URL was not found on this server.");
    EXPECT_EQ(lines.back(), "E: Bootstrapper end with exit code 11");
    EXPECT_THAT(leftovers(), IsEmpty());
    std::filesystem::remove(serverPath(kServerFolder + "/" + file + ".switches"));
  }
}

TEST_F(DownloadRoad, MessagesFollowTheUsersLanguage) {
  box.setEnv("LANG", "fr_FR.UTF-8");
  box.setEnv("LANGUAGE", "fr");
  setSwitches(kServerFolder + "/installer", "_status=404");
  auto result = box.run({"-silent", "-allowDownload"});
  EXPECT_EQ(result.exitCode, 11);
  EXPECT_THAT(result.err, HasSubstr("qui n’est pas disponible pour votre système"));
  EXPECT_THAT(leftovers(), IsEmpty());
}

TEST_F(DownloadRoad, DroppedConnectionShowsTheRuntimeNotFoundAlert) {
  setSwitches(kServerFolder + "/installer", "_truncate");
  auto result = box.run({"-silent", "-allowDownload"});
  EXPECT_EQ(result.exitCode, 11);
  EXPECT_THAT(result.err, HasSubstr(kRuntimeNotFound));
  EXPECT_THAT(result.err, HasSubstr("Install Foo"));
  EXPECT_THAT(received(), IsEmpty());
  // The connection drops at the same place on every attempt: three retries, then the failure.
  auto lines = logTexts();
  ASSERT_EQ(lines.size(), 9u) << ::testing::PrintToString(lines);
  EXPECT_THAT(Lines(lines.begin(), lines.begin() + 4),
              ElementsAreArray(beginLines() + Lines{"Begin runtime download from " + kInstallerUrl,
                                                    "Download destination is <dl>/installer"}));
  for (int retry = 1; retry <= 3; ++retry) {
    EXPECT_THAT(lines[3 + retry],
                ::testing::StartsWith("Download retry " + std::to_string(retry) + " of 3 after: "));
  }
  EXPECT_THAT(lines[7], HasSubstr("E: Download failure: "));
  EXPECT_EQ(lines[8], "E: Bootstrapper end with exit code 11");
  EXPECT_THAT(leftovers(), IsEmpty()) << "the partial installer was left behind";
  EXPECT_EQ(server.requests(), Lines(4, "/" + kServerFolder + "/installer"))
      << "the signature was fetched after a failure";
}

// The road when the download host sends files on to an HTTPS server, as hosts do to reach
// their content network.
class HttpsRoad : public DownloadRoad {
 protected:
  // Starts the HTTPS server with the fixture certificate and has the host send file on to it.
  void sendOnToHttps(const std::string& certificate, const std::string& file) {
    const std::string pki = ZANTH_FIXTURE_PKI_DIR;
    if (!secure.port()) {
      ASSERT_TRUE(secure.startTls(pki + "/" + certificate, pki + "/tls.key.pem"));
    }
    const std::string relative = kServerFolder + "/" + file;
    testsupport::writeFile(secure.root() + "/" + relative,
                           testsupport::readFile(serverPath(relative)));
    setSwitches(relative, "_redirect-to=" + testsupport::switchValue(secure.url("/" + relative)));
  }

  testsupport::FixtureServer secure;
};

// A certificate the program cannot trust ends the road as a failed download: exit 11 and the
// alert, nothing run. (The road over HTTPS with a good certificate is the desktop's below.)
TEST_F(HttpsRoad, RefusedCertificateEndsTheRoadWithTheAlert) {
  sendOnToHttps("tls-expired.pem", "installer");
  auto result = box.run({"-silent", "-allowDownload"});
  EXPECT_EQ(result.exitCode, 11) << result.err;
  EXPECT_THAT(result.err, HasSubstr(kRuntimeNotFound));
  EXPECT_THAT(received(), IsEmpty());
  auto lines = logTexts();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_THAT(lines[lines.size() - 2],
              HasSubstr("E: Download failure: The certificate for this server is invalid."));
  EXPECT_EQ(lines.back(), "E: Bootstrapper end with exit code 11");
  EXPECT_THAT(secure.requests(), IsEmpty());
  EXPECT_THAT(leftovers(), IsEmpty());
}

// A double-clicked program gets no proxy variables: the road goes through the proxy of the
// desktop's settings (GNOME's, held in a key file), asked again for every address, so the
// installer's move to an HTTPS server on a local address, which the settings leave direct,
// does not go through the proxy.
TEST_F(HttpsRoad, RoadGoesThroughTheDesktopsProxyAndOnToHttps) {
  box.unsetEnv("http_proxy");
  box.setEnv("GSETTINGS_BACKEND", "keyfile");
  box.setEnv("XDG_CURRENT_DESKTOP", "GNOME");
  // The sandbox's data folders do not hold the system's settings schemas.
  box.setEnv("GSETTINGS_SCHEMA_DIR", ZANTH_GSETTINGS_SCHEMA_DIR);
  testsupport::writeFile(box.home() + "/.config/glib-2.0/settings/keyfile",
                         "[system/proxy]\nmode='manual'\n\n[system/proxy/http]\n"
                         "host='127.0.0.1'\nport=" +
                             std::to_string(server.port()) + "\n");
  sendOnToHttps("tls-server.pem", "installer");
  sendOnToHttps("tls-server.pem", "installer.p7");

  auto result = box.run({"-silent", "-allowDownload"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(received(), "711\n-silent\n" + box.appPath() + "\n");
  const Lines files = {"/" + kServerFolder + "/installer", "/" + kServerFolder + "/installer.p7"};
  EXPECT_EQ(server.requests(),
            (files + Lines{"/crl/QuillorRootCA.crl", "/crl/QuillorCodeSigning.crl"}));
  EXPECT_EQ(secure.requests(), files);
  EXPECT_THAT(leftovers(), IsEmpty());
}

TEST_F(DownloadRoad, RejectedSignaturesEndWithThirteenAndNothingRuns) {
  struct Case {
    const char* label;
    std::function<void()> prepare;
  };
  const std::vector<Case> cases = {
      {"tampered installer",
       [&] {
         testsupport::writeFile(serverPath(kServerFolder + "/installer"),
                                installerScript() + "# changed\n");
       }},
      {"signer under another root", [&] { signInstaller("other-root"); }},
      {"wrong signer name", [&] { signInstaller("cn-wrong"); }},
      {"revoked signer",
       [&] {
         signInstaller("revoked");
         publishCrl("QuillorCodeSigning.crl", "QuillorCodeSigning-revokes-signer.crl");
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    publishInstaller(installerScript(), "good");
    publishCrl("QuillorCodeSigning.crl", "QuillorCodeSigning-empty.crl");
    c.prepare();
    box.clearLog();
    auto result = box.run({"-silent", "-eulaAccepted", "-allowDownload"});
    EXPECT_EQ(result.exitCode, 13);
    EXPECT_THAT(result.err, HasSubstr(kValidationFailed));
    EXPECT_THAT(received(), IsEmpty()) << "an unverified installer was run";
    auto lines = logTexts();
    // A rejected signature or a revoked chain logs its own failure line; never a success.
    EXPECT_THAT(lines,
                ::testing::AnyOf(::testing::Contains("E: Detached signature validation failed"),
                                 ::testing::Contains("E: Cert chain validation failed")));
    EXPECT_THAT(lines, ::testing::Not(::testing::Contains("Detached signature verified")));
    EXPECT_EQ(lines.back(), "E: Bootstrapper end with exit code 13");
    for (const auto& line : lines)
      EXPECT_THAT(line, ::testing::Not(HasSubstr("Launching subprocess")));
    EXPECT_THAT(leftovers(), IsEmpty());
  }
}

TEST_F(DownloadRoad, UnreachableListDoesNotFailAGoodSignatureButTurnsLaterFailuresIntoTheDialog) {
  setSwitches("crl/QuillorRootCA.crl", "_status=404");
  auto result = box.run({"-silent", "-allowDownload"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(received(), "711\n-silent\n" + box.appPath() + "\n");

  // The same unreachable list before a revoked signer: the rejection shows the dialog of a
  // missing file, not the validation alert.
  std::filesystem::remove(recordFile());
  signInstaller("revoked");
  publishCrl("QuillorCodeSigning.crl", "QuillorCodeSigning-revokes-signer.crl");
  result = box.run({"-silent", "-allowDownload"});
  EXPECT_EQ(result.exitCode, 13);
  EXPECT_THAT(result.err, HasSubstr(kUpdateUnavailable));
  EXPECT_THAT(result.err, ::testing::Not(HasSubstr(kValidationFailed)));
  EXPECT_THAT(received(), IsEmpty());
  EXPECT_THAT(leftovers(), IsEmpty());
}

TEST_F(DownloadRoad, InstallerThatCannotBeStartedIsAFailedChild) {
  // Signed and verified, but neither a script nor a program the system can start.
  publishInstaller("plain text, no interpreter line\n", "good");
  auto result = box.run({"-silent", "-allowDownload"});
  EXPECT_EQ(result.exitCode, 126);
  EXPECT_THAT(result.err, HasSubstr(kInstallFailed)) << "the user was left with nothing";
  auto lines = logTexts();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_THAT(Lines(lines.end() - 2, lines.end()),
              ElementsAreArray(endLines("Runtime Installer", 126)));
  EXPECT_THAT(leftovers(), IsEmpty());
}

// The road from a mirror folder on this machine (a share, a mounted medium) named in the
// machine configuration: the installer and its signature are read from it and verified as
// downloads are; the revocation lists keep their own addresses.
class MirrorFolderRoad : public DownloadRoad {
 protected:
  void SetUp() override {
    DownloadRoad::SetUp();
    for (const std::string file : {"installer", "installer.p7"}) {
      const std::string to = mirrorPath(file);
      std::filesystem::create_directories(std::filesystem::path(to).parent_path());
      std::filesystem::copy_file(serverPath(kServerFolder + "/" + file), to);
    }
    testsupport::writeFile(box.configDir() + "/Quillor/Zanth.conf",
                           "[Zanth]\nDownloadBase=file://" + mirror() + "\n");
  }
  std::string mirror() const { return box.root() + "/mirror"; }
  std::string mirrorPath(const std::string& file) const {
    return mirror() + "/" + kServerFolder + "/" + file;
  }
  std::string mirrorUrl(const std::string& file) const { return "file://" + mirrorPath(file); }
};

TEST_F(MirrorFolderRoad, MachineWithoutANetworkInstallsFromTheFolder) {
  // A network namespace of its own, with not even a loopback link up: the fixture server that
  // http_proxy names cannot be reached from it.
  auto result = box.runProgram(
      "/usr/bin/unshare", {"-n", box.programPath(), "-silent", "-eulaAccepted", "-allowDownload"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(received(), "711\n-silent\n-eulaAccepted\n" + box.appPath() + "\n");
  const Lines lines = logTexts();
  ASSERT_GE(lines.size(), 9u) << ::testing::PrintToString(lines);
  EXPECT_THAT(
      Lines(lines.begin(), lines.begin() + 8),
      ElementsAreArray(beginLines() + fetchedLines("runtime", mirrorUrl("installer"), "installer") +
                       fetchedLines("signature", mirrorUrl("installer.p7"), "installer.p7")));
  // The lists cannot be reached: passed over, as they are whenever they cannot be fetched.
  EXPECT_THAT(lines, ::testing::Contains("Begin crl download from " + kRootCrlUrl));
  EXPECT_THAT(lines, ::testing::Contains("Detached signature verified"));
  EXPECT_EQ(lines.back(), "Bootstrapper end with exit code 0");
  EXPECT_THAT(leftovers(), IsEmpty());
  EXPECT_THAT(server.requests(), IsEmpty());
}

TEST_F(MirrorFolderRoad, MissingFileInTheFolderShowsTheUpdateUnavailableDialog) {
  std::filesystem::remove(mirrorPath("installer.p7"));
  auto result = box.run({"-silent", "-allowDownload"});
  EXPECT_EQ(result.exitCode, 11);
  EXPECT_THAT(result.err, HasSubstr(kUpdateUnavailable));
  EXPECT_THAT(received(), IsEmpty());
  const Lines lines = logTexts();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 3], "Begin signature download from " + mirrorUrl("installer.p7"));
  EXPECT_EQ(lines[lines.size() - 2],
            "E: Download failure: The requested URL was not found on this server.");
  EXPECT_EQ(lines.back(), "E: Bootstrapper end with exit code 11");
  EXPECT_THAT(leftovers(), IsEmpty());
  EXPECT_THAT(server.requests(), IsEmpty());
}

TEST_F(MirrorFolderRoad, FolderOthersMayChangeIsIgnoredForTheBuiltInServer) {
  std::filesystem::permissions(mirror(), std::filesystem::perms::others_write,
                               std::filesystem::perm_options::add);
  auto result = box.run({"-silent", "-allowDownload"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_THAT(logTexts(), ::testing::Contains("Ignoring setting DownloadBase: " + mirror() +
                                              " may be written by group or others (mode 0757)"));
  EXPECT_THAT(logTexts(), ::testing::Contains("Begin runtime download from " + kInstallerUrl));
  EXPECT_EQ(server.requests().size(), 4u) << "installer, signature and the two lists";
}

}  // namespace
}  // namespace e2e
