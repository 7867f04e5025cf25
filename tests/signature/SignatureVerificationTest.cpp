// The verifier's first pass: reading the signature, the identity checks, the verification
// against the built-in (fixture) root, the messages it records, the log lines and the one
// result notification.
#include "signature/SignatureVerification.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <openssl/bio.h>
#include <openssl/pkcs7.h>
#include <openssl/x509.h>

#include <string>
#include <vector>

#include "platform/FileDescriptor.h"
#include "tests/signature/SignatureTestSupport.h"
#include "tests/support/Files.h"
#include "tests/support/ScratchFolder.h"

using sigtest::fixture;

namespace {

const char* const kNameMismatch = "The signing certificate subject name did not match";
const char* const kUsageMissing = "The signing certificate did not contain the expected object ID";
const char* const kVerifyFailed = "Error verifying code signature. ";

class SignatureVerificationTest : public ::testing::Test {
 protected:
  void SetUp() override { sigtest::clearLog(); }

  // A copy of the payload with one byte changed.
  std::string tamperedPayload() {
    std::string bytes = testsupport::readFile(fixture("payload.bin"));
    bytes[bytes.size() / 2] ^= 0x01;
    std::string path = scratch.write("tampered.bin", bytes);
    return path;
  }

  std::string stringOfSubject(X509* certificate) {
    char buffer[512];
    X509_NAME_oneline(X509_get_subject_name(certificate), buffer, sizeof buffer);
    return buffer;
  }

  testsupport::ScratchFolder scratch;
  sigtest::ResultRecorder recorder;
};

}  // namespace

TEST_F(SignatureVerificationTest, RejectionsRecordTheFirstSpecificMessage) {
  const std::string payload = fixture("payload.bin");
  const std::string emptySignature = scratch.write("empty.p7", "");
  const std::string missingSignature = scratch.path("absent.p7");
  const std::string missingData = scratch.path("absent.bin");
  const std::string tampered = tamperedPayload();

  struct Case {
    std::string signature;
    std::string data;
    std::string message;
  };
  const std::vector<Case> cases{
      {missingSignature, payload, "Unable to read signature " + missingSignature},
      {emptySignature, payload, "Error reading PKCS7 code signature"},
      {fixture("sig-good.pem"), payload, "Error reading PKCS7 code signature"},
      {fixture("sig-no-certs.p7"), payload,
       "Unable to get signing certificate from PKCS7 signature"},
      {fixture("sig-cn-case.p7"), payload, kNameMismatch},
      {fixture("sig-cn-space.p7"), payload, kNameMismatch},
      {fixture("sig-cn-wrong.p7"), payload, kNameMismatch},
      {fixture("sig-wrong-first-cn.p7"), payload, kNameMismatch},
      {fixture("sig-c-wrong.p7"), payload, kNameMismatch},
      {fixture("sig-o-wrong.p7"), payload, kNameMismatch},
      {fixture("sig-ou-wrong.p7"), payload, kNameMismatch},
      {fixture("sig-no-ou.p7"), payload, kNameMismatch},
      // The name is checked before the usage.
      {fixture("sig-name-and-eku-bad.p7"), payload, kNameMismatch},
      {fixture("sig-no-eku.p7"), payload, kUsageMissing},
      {fixture("sig-eku-missing.p7"), payload, kUsageMissing},
      {fixture("sig-good.p7"), missingData, "Unable to read data " + missingData},
      // A digest mismatch reports no certificate error: nothing follows the text.
      {fixture("sig-good.p7"), tampered, kVerifyFailed},
      {fixture("sig-other-root.p7"), payload,
       std::string(kVerifyFailed) + "unable to get local issuer certificate"},
      {fixture("sig-expired.p7"), payload, std::string(kVerifyFailed) + "certificate has expired"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.signature + " over " + c.data);
    sigtest::clearLog();
    const size_t before = recorder.results().size();
    SignatureVerification verifier;
    verifier.verifyDataAtPath(c.data, c.signature);
    EXPECT_EQ(recorder.results().size(), before) << "the result is never delivered inside the call";
    EXPECT_EQ(verifier.errorString(), c.message);
    EXPECT_FALSE(verifier.startedFetchingCrls()) << "a rejected first pass starts no download";

    recorder.waitForResult();
    ASSERT_EQ(recorder.results().size(), before + 1) << "exactly one result";
    EXPECT_EQ(recorder.results().back().object, &verifier);
    EXPECT_EQ(recorder.results().back().valid, std::optional<bool>(false));
    EXPECT_EQ(sigtest::verifierLogLines(),
              std::vector<std::string>{"Detached signature validation failed"});
  }
}

TEST_F(SignatureVerificationTest, ChainWithoutAddressesRunsTheSecondPassAtOnce) {
  SignatureVerification verifier;
  verifier.verifyDataAtPath(fixture("payload.bin"), fixture("sig-no-cdp.p7"));
  EXPECT_TRUE(recorder.results().empty()) << "not delivered inside verifyDataAtPath";
  EXPECT_TRUE(verifier.startedFetchingCrls());
  EXPECT_FALSE(verifier.crlPaths()) << "nothing was downloaded";

  recorder.waitForResult();
  ASSERT_EQ(recorder.results().size(), 1u);
  EXPECT_EQ(recorder.results()[0].object, &verifier);
  EXPECT_EQ(recorder.results()[0].valid, std::optional<bool>(true));
  EXPECT_EQ(verifier.errorString(), "");
  // No list to check: no chain lines, and the collected chain is left as it was.
  EXPECT_EQ(sigtest::verifierLogLines(), std::vector<std::string>{"Detached signature verified"});
  EXPECT_EQ(sk_X509_num(certChain.get()), 3);
}

TEST_F(SignatureVerificationTest, AcceptedSignersVerifyAndCollectTheChainRootFirst) {
  for (const char* variant : {"good", "printable", "utf8", "bmp", "two-cn", "eku-among",
                              "eku-first", "eku-longer", "revoked", "no-cdp"}) {
    SCOPED_TRACE(variant);
    SignatureVerification verifier;
    verifier.setDataPath(fixture("payload.bin"));
    verifier.setSignaturePath(fixture(std::string("sig-") + variant + ".p7"));
    signature::Pkcs7Ptr pkcs7 = verifier.readPkcs7();
    ASSERT_TRUE(pkcs7) << verifier.errorString();
    EXPECT_TRUE(verifier.verifyDetachedSignature(pkcs7.get())) << verifier.errorString();
    EXPECT_EQ(verifier.errorString(), "");

    ASSERT_EQ(sk_X509_num(certChain.get()), 3);
    EXPECT_NE(stringOfSubject(sk_X509_value(certChain.get(), 0)).find("CN=Quillor Root CA"),
              std::string::npos);
    EXPECT_NE(stringOfSubject(sk_X509_value(certChain.get(), 1)).find("CN=Quillor Code Signing CA"),
              std::string::npos);
    signature::BioPtr bio{
        BIO_new_file(fixture(std::string("signer-") + variant + ".der").c_str(), "rb")};
    signature::X509Ptr signer{d2i_X509_bio(bio.get(), nullptr)};
    ASSERT_TRUE(signer);
    EXPECT_EQ(X509_cmp(sk_X509_value(certChain.get(), 2), signer.get()), 0);
  }
}

TEST_F(SignatureVerificationTest, EmptyDigestAlgorithmSetIsRejectedBeforeVerification) {
  // Such a signature makes PKCS7_verify of this libcrypto free the data BIO, which the verifier
  // frees again: under AddressSanitizer that is a double free. PKCS7_verify also verifies the
  // signer's chain first, which would fill certChain.
  SignatureVerification verifier;
  verifier.setDataPath(fixture("payload.bin"));
  verifier.setSignaturePath(fixture("sig-empty-digests.p7"));
  signature::Pkcs7Ptr pkcs7 = verifier.readPkcs7();
  ASSERT_TRUE(pkcs7) << "the signer's identity is fine: " << verifier.errorString();
  EXPECT_FALSE(verifier.verifyDetachedSignature(pkcs7.get()));
  EXPECT_EQ(verifier.errorString(), kVerifyFailed);
  EXPECT_EQ(sk_X509_num(certChain.get()), 0) << "PKCS7_verify was not called";

  SignatureVerification whole;
  whole.verifyDataAtPath(fixture("payload.bin"), fixture("sig-empty-digests.p7"));
  recorder.waitForResult();
  ASSERT_EQ(recorder.results().size(), 1u);
  EXPECT_EQ(recorder.results()[0].valid, std::optional<bool>(false));
  EXPECT_EQ(whole.errorString(), kVerifyFailed);
}

TEST_F(SignatureVerificationTest, SignatureFileAboveOneMebibyteIsRefusedBeforeParsing) {
  // A good signature followed by padding: the reader parses the signature and ignores what
  // follows, so only the size decides.
  const std::string good = testsupport::readFile(fixture("sig-good.p7"));
  const size_t limit = 1024 * 1024;
  for (const size_t size : {limit, limit + 1}) {
    SCOPED_TRACE(size);
    const std::string path =
        scratch.write("padded.p7", good + std::string(size - good.size(), '\0'));
    SignatureVerification verifier;
    verifier.setDataPath(fixture("payload.bin"));
    verifier.setSignaturePath(path);
    signature::Pkcs7Ptr pkcs7 = verifier.readPkcs7();
    if (size == limit) {
      ASSERT_TRUE(pkcs7) << verifier.errorString();
      EXPECT_TRUE(verifier.verifyDetachedSignature(pkcs7.get())) << verifier.errorString();
    } else {
      EXPECT_FALSE(pkcs7);
      EXPECT_EQ(verifier.errorString(), "The signature file is larger than 1048576 bytes");
    }
  }
}

TEST_F(SignatureVerificationTest, ErrorsOfAnEarlierVerificationDoNotLeakIntoTheMessage) {
  SignatureVerification first;
  first.verifyDataAtPath(fixture("payload.bin"), fixture("sig-other-root.p7"));
  ASSERT_EQ(first.errorString(),
            std::string(kVerifyFailed) + "unable to get local issuer certificate");

  SignatureVerification second;
  second.verifyDataAtPath(tamperedPayload(), fixture("sig-good.p7"));
  EXPECT_EQ(second.errorString(), kVerifyFailed);
  recorder.waitForResult();
}

TEST_F(SignatureVerificationTest, FirstNonEmptyMessageWins) {
  SignatureVerification verifier;
  EXPECT_EQ(verifier.errorString(), "");
  verifier.setErrorString("");
  EXPECT_EQ(verifier.errorString(), "");
  verifier.setErrorString("first");
  verifier.setErrorString("");
  verifier.setErrorString("second");
  EXPECT_EQ(verifier.errorString(), "first");
}

TEST_F(SignatureVerificationTest, TrustStoreHoldsTheBuiltInRootAlone) {
  signature::X509Ptr root = SignatureVerification::getQuillorRoot();
  ASSERT_TRUE(root);
  signature::BioPtr bio{BIO_new_file(fixture("root.der").c_str(), "rb")};
  signature::X509Ptr fixtureRoot{d2i_X509_bio(bio.get(), nullptr)};
  ASSERT_TRUE(fixtureRoot);
  EXPECT_EQ(X509_cmp(root.get(), fixtureRoot.get()), 0) << "tests link the fixture root";
  EXPECT_EQ(stringOfSubject(root.get()),
            "/C=US/O=Quillor Systems Incorporated/OU=Quillor Trust Services/CN=Quillor Root CA");

  SignatureVerification verifier;
  signature::X509StackPtr anchors = verifier.getTrustedCerts();
  ASSERT_TRUE(anchors);
  EXPECT_EQ(sk_X509_num(anchors.get()), 1);
  signature::X509StorePtr store = verifier.makeStoreForPkcs7();
  ASSERT_TRUE(store);
  EXPECT_EQ(verifier.errorString(), "");
  EXPECT_EQ(
      X509_VERIFY_PARAM_get_flags(X509_STORE_get0_param(store.get())) & X509_V_FLAG_IGNORE_CRITICAL,
      static_cast<unsigned long>(X509_V_FLAG_IGNORE_CRITICAL));
}

TEST_F(SignatureVerificationTest, CertificateReaderTakesDerThenPemAndRecordsFailures) {
  SignatureVerification verifier;
  EXPECT_TRUE(verifier.readCertificateFromPath(fixture("root.der")));
  EXPECT_TRUE(verifier.readCertificateFromPath(fixture("root.pem")));
  EXPECT_EQ(verifier.errorString(), "");
  EXPECT_FALSE(verifier.readCertificateFromPath(fixture("garbage.crl")));
  EXPECT_EQ(verifier.errorString(), "Unable to parse certificate from " + fixture("garbage.crl"));

  SignatureVerification other;
  const std::string missing = scratch.path("absent.der");
  EXPECT_FALSE(other.readCertificateFromPath(missing));
  EXPECT_EQ(other.errorString(), "Unable to create BIO for " + missing);
}

TEST_F(SignatureVerificationTest, DataDescriptorIsReadFromItsStartInsteadOfThePath) {
  const std::string genuine = fixture("payload.bin");
  const std::string tampered = tamperedPayload();
  struct Case {
    const char* label;
    std::string openedFile;  // "" for no open file
    std::string path;
    bool valid;
  };
  for (const Case& c :
       {Case{"genuine bytes open, tampered file at the path", genuine, tampered, true},
        Case{"tampered bytes open, genuine file at the path", tampered, genuine, false},
        Case{"no open file", "", genuine, false}}) {
    SCOPED_TRACE(c.label);
    platform::FileDescriptor data(c.openedFile.empty() ? -1
                                                       : ::open(c.openedFile.c_str(), O_RDONLY));
    SignatureVerification verifier;
    verifier.setDataPath(c.path);
    verifier.setDataDescriptor(data.get());
    verifier.setSignaturePath(fixture("sig-good.p7"));
    signature::Pkcs7Ptr pkcs7 = verifier.readPkcs7();
    ASSERT_TRUE(pkcs7) << verifier.errorString();
    // Twice: each pass reads the whole file again, not from where the last one stopped.
    for (int pass = 0; pass < 2; ++pass) {
      EXPECT_EQ(verifier.verifyDetachedSignature(pkcs7.get()), c.valid) << "pass " << pass;
    }
    if (c.openedFile.empty()) {
      EXPECT_EQ(verifier.errorString(), "Unable to read data " + genuine);
    }
  }
}
