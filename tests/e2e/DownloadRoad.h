#pragma once

// A sandbox for whole runs on the download road: the program trusting the fixture root, the
// fixture server behind http_proxy serving a signed runtime installer and the revocation lists
// the fixture chain names, and a runtime installer that records what it was given.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/Files.h"
#include "tests/support/FixtureServer.h"
#include "tests/support/Sandbox.h"

namespace e2e {

// The program's download folder on the server for this host (os 2, x86, system version 10.0).
inline const std::string kServerFolder = "zanth/3/kob/macos10.0/x86";
inline const std::string kInstallerUrl =
    "http://download.quillor.example/zanth/3/kob/macos10.0/x86/installer";
inline const std::string kSignatureUrl = kInstallerUrl + ".p7";
inline const std::string kRootCrlUrl = "http://download.quillor.example/crl/QuillorRootCA.crl";
inline const std::string kSignerCrlUrl =
    "http://download.quillor.example/crl/QuillorCodeSigning.crl";

// English texts the user sees.
inline const char* kRuntimeNotFound =
    "This application requires a version of Quillor Zanth which cannot be found.";
inline const char* kValidationFailed =
    "Unable to validate the downloaded version of Quillor Zanth.";
inline const char* kUpdateUnavailable = "that is not available for your system";
inline const char* kInstallFailed = "Something went wrong trying to install this application.";

class DownloadRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.start());
    box.setEnv("http_proxy", server.proxyUrl());
    box.setEnv("ZANTH_E2E_RECORD", recordFile());
    publishInstaller(installerScript(), "good");
    publishCrl("QuillorRootCA.crl", "QuillorRootCA-empty.crl");
    publishCrl("QuillorCodeSigning.crl", "QuillorCodeSigning-empty.crl");
  }

  // A runtime installer that records its mode and arguments and exits with $ZANTH_E2E_EXIT.
  // It is started from an open descriptor, so $0 is a link to its file ("-L" follows it).
  static std::string installerScript() {
    return "#!/bin/sh\n"
           "{ stat -L -c %a \"$0\"; printf '%s\\n' \"$@\"; } >\"$ZANTH_E2E_RECORD\"\n"
           "exit \"${ZANTH_E2E_EXIT:-0}\"\n";
  }

  std::string serverPath(const std::string& relative) const {
    return server.root() + "/" + relative;
  }

  // Serves payload as the installer, signed by the fixture signer of variant.
  void publishInstaller(const std::string& payload, const std::string& variant) {
    const std::string installer = serverPath(kServerFolder + "/installer");
    testsupport::writeFile(installer, payload);
    signInstaller(variant);
  }
  void signInstaller(const std::string& variant) {
    const std::string installer = serverPath(kServerFolder + "/installer");
    auto signed_ = box.runProgram(ZANTH_MAKE_FIXTURE_PKI, {"--sign", ZANTH_FIXTURE_PKI_DIR, variant,
                                                           installer, installer + ".p7"});
    ASSERT_EQ(signed_.exitCode, 0) << signed_.err;
  }
  // Serves the fixture list fixture under /crl/name.
  void publishCrl(const std::string& name, const std::string& fixture) {
    std::filesystem::create_directories(serverPath("crl"));
    std::filesystem::copy_file(std::string(ZANTH_FIXTURE_PKI_DIR) + "/" + fixture,
                               serverPath("crl/" + name),
                               std::filesystem::copy_options::overwrite_existing);
  }
  // Makes the server answer relative with the given switches (e.g. "_status=404").
  void setSwitches(const std::string& relative, const std::string& switches) {
    testsupport::writeFile(serverPath(relative) + ".switches", switches);
  }

  std::string recordFile() const { return box.root() + "/installer-received.txt"; }
  // What the runtime installer recorded: its mode, then one argument a line; "" if it never ran.
  std::string received() const {
    return std::filesystem::exists(recordFile()) ? testsupport::readFile(recordFile()) : "";
  }
  // Everything left in the sandbox's temporary folder (it must be empty after every run).
  std::vector<std::string> leftovers() const { return testsupport::listTree(box.tmp()); }

  // The log lines' texts, the private download folder shown as "<dl>" and the package as
  // "<pkg>"; error lines are marked with "E: ".
  std::vector<std::string> logTexts() const {
    const std::regex privateFolder(box.tmp() + "/zanth-[A-Za-z0-9]{6}");
    std::vector<std::string> texts;
    for (const auto& line : box.logLines()) {
      std::string text = std::regex_replace(line.text, privateFolder, "<dl>");
      for (std::size_t at; (at = text.find(box.appPath())) != std::string::npos;) {
        text.replace(at, box.appPath().size(), "<pkg>");
      }
      texts.push_back((line.priority == 3 ? "E: " : "") + text);
    }
    return texts;
  }

  testsupport::FixtureServer server;
  testsupport::Sandbox box{ZANTH_BOOTSTRAPPER_FIXTURE};
};

// Log texts (as logTexts shows them) of the steps every download run goes through.
inline std::vector<std::string> beginLines() {
  return {"Bootstrapper begin with version 3.3.0.3650 on Mac x86", "No installed runtime detected"};
}
inline std::vector<std::string> fetchedLines(const std::string& kind, const std::string& url,
                                             const std::string& name) {
  return {"Begin " + kind + " download from " + url, "Download destination is <dl>/" + name,
          "Download success"};
}
inline std::vector<std::string> operator+(std::vector<std::string> a,
                                          const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
inline std::vector<std::string> downloadedBothLines() {
  return beginLines() + fetchedLines("runtime", kInstallerUrl, "installer") +
         fetchedLines("signature", kSignatureUrl, "installer.p7");
}
inline std::vector<std::string> verifiedLines() {
  return fetchedLines("crl", kRootCrlUrl, "QuillorRootCA.crl") +
         fetchedLines("crl", kSignerCrlUrl, "QuillorCodeSigning.crl") +
         std::vector<std::string>{"Begin cert chain validation", "Cert chain validation succeeded",
                                  "Detached signature verified"};
}

}  // namespace e2e
