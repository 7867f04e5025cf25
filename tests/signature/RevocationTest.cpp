// Revocation checking: the chain tested against list files on disk, the downloaded lists of a
// whole verification through the real Downloader and the fixture server, and the handling of
// the download's done notification.
#include <gtest/gtest.h>
#include <openssl/x509.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "download/Downloader.h"
#include "platform/NotificationCenter.h"
#include "signature/SignatureVerification.h"
#include "tests/signature/SignatureTestSupport.h"
#include "tests/support/EnvironmentGuard.h"
#include "tests/support/Files.h"
#include "tests/support/FixtureServer.h"
#include "tests/support/MainLoop.h"
#include "tests/support/ScratchFolder.h"

using sigtest::fixture;

namespace {

const char* const kRevokedText = "certificate revoked";
const std::vector<std::string> kChainSucceeded{"Begin cert chain validation",
                                               "Cert chain validation succeeded"};
const std::vector<std::string> kChainFailed{"Begin cert chain validation", "Cert revocation found",
                                            "Cert chain validation failed"};

// Collects the chain of a signature as the first pass does, on a fresh verifier.
void collectChain(SignatureVerification& verifier, const std::string& signature) {
  verifier.setDataPath(fixture("payload.bin"));
  verifier.setSignaturePath(fixture(signature));
  signature::Pkcs7Ptr pkcs7 = verifier.readPkcs7();
  ASSERT_TRUE(pkcs7);
  ASSERT_TRUE(verifier.verifyDetachedSignature(pkcs7.get())) << verifier.errorString();
  ASSERT_EQ(sk_X509_num(certChain.get()), 3);
}

}  // namespace

// The revoked signer's chain against sets of list files: only a usable list of the right issuer
// that names a certificate decides.
TEST(Revocation, ChainAgainstListFilesOnDisk) {
  testsupport::ScratchFolder scratch;
  const std::string missing = scratch.path("absent.crl");
  struct Case {
    const char* name;
    std::vector<std::string> lists;
    bool notRevoked;
    std::string message;
  };
  const std::vector<Case> cases{
      {"revoked signer", {fixture("QuillorCodeSigning-revokes-signer.crl")}, false, kRevokedText},
      {"garbage and a missing file are skipped, the rest is used",
       {fixture("garbage.crl"), missing, fixture("QuillorCodeSigning-revokes-signer.pem")},
       false,
       kRevokedText},
      {"list of another issuer only", {fixture("QuillorRootCA-empty.crl")}, true, ""},
      {"only unusable files", {fixture("garbage.crl")}, true, ""},
      {"the same list twice",
       {fixture("QuillorCodeSigning-revokes-signer.crl"),
        fixture("QuillorCodeSigning-revokes-signer.crl")},
       false,
       kRevokedText},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sigtest::clearLog();
    SignatureVerification verifier;
    collectChain(verifier, "sig-revoked.p7");
    verifier.setCrlPaths(c.lists);
    EXPECT_EQ(verifier.checkCertsAgainstCrls(), c.notRevoked);
    EXPECT_EQ(verifier.errorString(), c.message);
    EXPECT_EQ(sigtest::verifierLogLines(), c.notRevoked ? kChainSucceeded : kChainFailed);
    EXPECT_EQ(sk_X509_num(certChain.get()), 0) << "the check empties the chain";
  }
}

TEST(Revocation, NoListsMeansNothingToCheck) {
  for (const std::optional<std::vector<std::string>>& lists :
       {std::optional<std::vector<std::string>>{}, std::optional(std::vector<std::string>{})}) {
    sigtest::clearLog();
    SignatureVerification verifier;
    collectChain(verifier, "sig-revoked.p7");
    verifier.setCrlPaths(lists);
    EXPECT_TRUE(verifier.checkCertsAgainstCrls());
    EXPECT_TRUE(sigtest::verifierLogLines().empty());
    EXPECT_EQ(sk_X509_num(certChain.get()), 3) << "the chain is left untouched";
  }
}

TEST(Revocation, CrlReaderTakesDerAndPem) {
  EXPECT_TRUE(SignatureVerification::readCrlFromPath(fixture("QuillorRootCA-empty.crl")));
  EXPECT_TRUE(
      SignatureVerification::readCrlFromPath(fixture("QuillorCodeSigning-revokes-signer.pem")));
  EXPECT_FALSE(SignatureVerification::readCrlFromPath(fixture("garbage.crl")));
  EXPECT_FALSE(SignatureVerification::readCrlFromPath(fixture("no-such-file.crl")));
  // An encrypted PEM block fails without asking anybody for a password.
  testsupport::ScratchFolder scratch;
  const std::string encrypted =
      scratch.write("encrypted.pem",
                    "-----BEGIN X509 CRL-----\nProc-Type: 4,ENCRYPTED\n"
                    "DEK-Info: AES-128-CBC,00112233445566778899AABBCCDDEEFF\n\n"
                    "AAAAAAAAAAAAAAAAAAAAAA==\n-----END X509 CRL-----\n");
  EXPECT_FALSE(SignatureVerification::readCrlFromPath(encrypted));

  // A list is read only up to the largest a download may bring: a readable list after that
  // much text (PEM allows text before its block) is not found.
  const std::string pem = testsupport::readFile(fixture("QuillorCodeSigning-revokes-signer.pem"));
  std::string withinLimit;
  withinLimit.reserve(DOWNLOADER_MAX_CRL_BYTES);
  const std::string line = std::string(75, 'z') + "\n";
  while (withinLimit.size() + line.size() + pem.size() <= DOWNLOADER_MAX_CRL_BYTES) {
    withinLimit += line;
  }
  EXPECT_TRUE(
      SignatureVerification::readCrlFromPath(scratch.write("within.pem", withinLimit + pem)));
  EXPECT_FALSE(
      SignatureVerification::readCrlFromPath(scratch.write("over.pem", withinLimit + line + pem)));
}

// Without a downloader the lists cannot be fetched, which passes as lists that could not be
// fetched do: even the revoked signer is accepted, once, and never inside the call.
TEST(Revocation, VerifierWithoutADownloaderCompletesWithoutLists) {
  for (const char* signature : {"sig-good.p7", "sig-revoked.p7"}) {
    SCOPED_TRACE(signature);
    sigtest::clearLog();
    sigtest::ResultRecorder recorder;
    SignatureVerification verifier;
    verifier.verifyDataAtPath(fixture("payload.bin"), fixture(signature));
    EXPECT_TRUE(verifier.startedFetchingCrls()) << "the chain names lists to fetch";
    EXPECT_TRUE(recorder.results().empty()) << "delivered inside verifyDataAtPath";
    recorder.waitForResult(std::chrono::seconds(10));
    ASSERT_EQ(recorder.results().size(), 1u) << "exactly one result";
    EXPECT_EQ(recorder.results()[0].object, &verifier);
    EXPECT_EQ(recorder.results()[0].valid, std::optional<bool>(true));
    EXPECT_EQ(verifier.errorString(), "");
    EXPECT_FALSE(verifier.crlPaths());
    EXPECT_EQ(sigtest::verifierLogLines(), std::vector<std::string>{"Detached signature verified"});
  }
}

// A whole verification with the lists fetched by the real Downloader from the fixture server,
// reached as http://download.quillor.example through http_proxy.
class RevocationDownload : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.start());
    env.set("http_proxy", server.proxyUrl());
    env.unset("no_proxy");
    env.unset("NO_PROXY");
    downloader.setSilent(true);
    sigtest::clearLog();
  }
  void TearDown() override { downloader.cleanupTempFiles(); }

  // Serves the fixture file as http://download.quillor.example/crl/<name>.
  void serve(const std::string& name, const std::string& fixtureFile) {
    std::filesystem::create_directories(server.root() + "/crl");
    std::filesystem::copy_file(fixture(fixtureFile), server.root() + "/crl/" + name,
                               std::filesystem::copy_options::overwrite_existing);
  }

  // Runs a whole verification and waits for its result and for the downloader to settle.
  void verify(const std::string& signature) {
    verifier.setDownloader(&downloader);
    verifier.verifyDataAtPath(fixture("payload.bin"), fixture(signature));
    EXPECT_TRUE(recorder.results().empty()) << "not delivered inside verifyDataAtPath";
    recorder.waitForResult();
    testsupport::runMainLoopUntil([this] { return !downloader.isDownloading(); });
    testsupport::drainLoop();
    ASSERT_EQ(recorder.results().size(), 1u) << "exactly one result";
    EXPECT_EQ(recorder.results()[0].object, &verifier);
  }

  bool valid() const { return recorder.results().at(0).valid == std::optional<bool>(true); }

  std::vector<std::string> crlRequests() const {
    std::vector<std::string> paths = server.requests();
    std::sort(paths.begin(), paths.end());
    return paths;
  }

  testsupport::EnvironmentGuard env;
  testsupport::FixtureServer server;
  Downloader downloader;
  sigtest::ResultRecorder recorder;
  SignatureVerification verifier;
};

TEST_F(RevocationDownload, GoodSignatureWithItsLists) {
  serve("QuillorCodeSigning.crl", "QuillorCodeSigning-empty.crl");
  serve("QuillorRootCA.crl", "QuillorRootCA-empty.crl");
  verify("sig-good.p7");
  EXPECT_TRUE(valid());
  EXPECT_EQ(verifier.errorString(), "");
  EXPECT_EQ(verifier.crlPaths()->size(), 2u);
  EXPECT_EQ(crlRequests(),
            (std::vector<std::string>{"/crl/QuillorCodeSigning.crl", "/crl/QuillorRootCA.crl"}));
  EXPECT_EQ(
      sigtest::verifierLogLines(),
      (std::vector<std::string>{"Begin cert chain validation", "Cert chain validation succeeded",
                                "Detached signature verified"}));
  EXPECT_EQ(sk_X509_num(certChain.get()), 0);
}

TEST_F(RevocationDownload, RevokedSigner) {
  serve("QuillorCodeSigning.crl", "QuillorCodeSigning-revokes-signer.crl");
  serve("QuillorRootCA.crl", "QuillorRootCA-empty.crl");
  verify("sig-revoked.p7");
  EXPECT_FALSE(valid());
  EXPECT_EQ(verifier.errorString(), kRevokedText);
  EXPECT_EQ(sigtest::verifierLogLines(),
            (std::vector<std::string>{"Begin cert chain validation", "Cert revocation found",
                                      "Cert chain validation failed", "Cert revocation found"}));
}

TEST_F(RevocationDownload, RevokedIntermediateWithGoodSigner) {
  serve("QuillorCodeSigning.crl", "QuillorCodeSigning-empty.crl");
  serve("QuillorRootCA.crl", "QuillorRootCA-revokes-inter.crl");
  verify("sig-good.p7");
  EXPECT_FALSE(valid());
  EXPECT_EQ(verifier.errorString(), kRevokedText);
}

TEST_F(RevocationDownload, ExpiredListIsPassedOver) {
  serve("QuillorCodeSigning.crl", "QuillorCodeSigning-expired.crl");
  verify("sig-revoked.p7");
  EXPECT_TRUE(valid()) << "the expired list names this signer but is not used";
  EXPECT_EQ(verifier.errorString(), "");
}

TEST_F(RevocationDownload, UnreachableListsStillVerify) {
  // Nothing is served: every address answers 404 before any file is made.
  verify("sig-revoked.p7");
  EXPECT_TRUE(valid());
  EXPECT_EQ(verifier.errorString(), "");
  EXPECT_FALSE(verifier.crlPaths()) << "no files: the check is skipped";
  EXPECT_EQ(server.requests().size(), 2u);
  EXPECT_EQ(sigtest::verifierLogLines(), std::vector<std::string>{"Detached signature verified"});
}

TEST_F(RevocationDownload, PemListUsedAndGarbageSkipped) {
  // The signer names two addresses: one answers garbage, the other a PEM list revoking it.
  serve("Unusable.crl", "garbage.crl");
  serve("QuillorCodeSigning.crl", "QuillorCodeSigning-revokes-two-cdp.pem");
  verify("sig-two-cdp.p7");
  EXPECT_EQ(crlRequests(),
            (std::vector<std::string>{"/crl/QuillorCodeSigning.crl", "/crl/QuillorRootCA.crl",
                                      "/crl/Unusable.crl"}));
  ASSERT_TRUE(verifier.crlPaths());
  EXPECT_EQ(verifier.crlPaths()->size(), 2u) << "the garbage file was downloaded too";
  EXPECT_FALSE(valid());
  EXPECT_EQ(verifier.errorString(), kRevokedText);
}

TEST_F(RevocationDownload, AddressNamedTwiceIsFetchedOnce) {
  serve("QuillorRootCA.crl", "QuillorRootCA-empty.crl");
  verify("sig-same-cdp.p7");
  EXPECT_TRUE(valid());
  EXPECT_EQ(server.requests(), std::vector<std::string>{"/crl/QuillorRootCA.crl"});
  const std::vector<std::string> lines = sigtest::logLines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(),
                       "Begin crl download from "
                       "http://download.quillor.example/crl/QuillorRootCA.crl"),
            1);
}

TEST_F(RevocationDownload, ChainWithoutAddressesStartsNoDownload) {
  verify("sig-no-cdp.p7");
  EXPECT_TRUE(valid());
  EXPECT_TRUE(server.requests().empty());
  EXPECT_EQ(sigtest::verifierLogLines(), std::vector<std::string>{"Detached signature verified"});
}

TEST_F(RevocationDownload, DoneNotificationIsTakenOnceAndOnlyWhileWaiting) {
  // A done notification before the verification has handed over is not this verifier's.
  platform::Notification early;
  early.name = CRL_DOWNLOAD_NOTIFY_DONE;
  early.userInfo[DOWNLOADER_KEY_SUCCESS] = true;
  early.userInfo[DOWNLOADER_KEY_FILES] =
      std::vector<std::string>{fixture("QuillorCodeSigning-revokes-signer.crl")};
  platform::NotificationCenter::defaultCenter().postNotification(early);
  EXPECT_FALSE(verifier.startedFetchingCrls());
  testsupport::drainLoop();
  EXPECT_TRUE(recorder.results().empty());

  // While the real download runs, a done notification naming files on disk starts the second
  // pass; the downloader's own notification, later, is then ignored.
  serve("QuillorCodeSigning.crl", "QuillorCodeSigning-empty.crl");
  verifier.setDownloader(&downloader);
  verifier.verifyDataAtPath(fixture("payload.bin"), fixture("sig-revoked.p7"));
  ASSERT_TRUE(verifier.startedFetchingCrls());
  ASSERT_TRUE(downloader.isDownloading());
  platform::NotificationCenter::defaultCenter().postNotification(early);
  ASSERT_TRUE(verifier.crlPaths());
  EXPECT_EQ(verifier.errorString(), kRevokedText);

  recorder.waitForResult();
  testsupport::runMainLoopUntil([this] { return !downloader.isDownloading(); });
  testsupport::drainLoop();
  ASSERT_EQ(recorder.results().size(), 1u);
  EXPECT_EQ(recorder.results()[0].valid, std::optional<bool>(false));
  EXPECT_EQ(verifier.crlPaths()->size(), 1u) << "the downloader's own files were not taken";
}

TEST_F(RevocationDownload, FailedDownloadRunsTheSecondPassWithoutLists) {
  serve("QuillorCodeSigning.crl", "QuillorCodeSigning-revokes-signer.crl");
  verifier.setDownloader(&downloader);
  verifier.verifyDataAtPath(fixture("payload.bin"), fixture("sig-revoked.p7"));
  ASSERT_TRUE(downloader.isDownloading());
  platform::Notification failed;
  failed.name = CRL_DOWNLOAD_NOTIFY_DONE;
  failed.userInfo[DOWNLOADER_KEY_SUCCESS] = false;
  failed.userInfo[DOWNLOADER_KEY_FILES] =
      std::vector<std::string>{fixture("QuillorCodeSigning-revokes-signer.crl")};
  platform::NotificationCenter::defaultCenter().postNotification(failed);
  EXPECT_FALSE(verifier.crlPaths()) << "a failed run's files are not used";

  recorder.waitForResult();
  testsupport::runMainLoopUntil([this] { return !downloader.isDownloading(); });
  testsupport::drainLoop();
  ASSERT_EQ(recorder.results().size(), 1u);
  EXPECT_EQ(recorder.results()[0].valid, std::optional<bool>(true));
}

TEST_F(RevocationDownload, CancelledListDownloadIsNeitherPassedOverNorARejection) {
  // The signer is revoked by a list that the person does not wait for: the verification must
  // not run its second pass without lists and call the signature good.
  serve("QuillorCodeSigning.crl", "QuillorCodeSigning-revokes-signer.crl");
  std::filesystem::create_directories(server.root() + "/crl");
  for (const char* list : {"QuillorRootCA.crl", "QuillorCodeSigning.crl"}) {
    testsupport::writeFile(server.root() + "/crl/" + list + ".switches", "_stall");
  }
  verifier.setDownloader(&downloader);
  verifier.verifyDataAtPath(fixture("payload.bin"), fixture("sig-revoked.p7"));
  ASSERT_TRUE(testsupport::runMainLoopUntil([this] { return !server.requests().empty(); }));
  downloader.stopDownLoad();

  recorder.waitForResult();
  ASSERT_EQ(recorder.results().size(), 1u);
  EXPECT_EQ(recorder.results()[0].valid, std::optional<bool>(false));
  EXPECT_TRUE(verifier.cancelled());
  EXPECT_FALSE(verifier.crlPaths());
  EXPECT_TRUE(sigtest::verifierLogLines().empty()) << "no verdict on the signature is logged";
}
