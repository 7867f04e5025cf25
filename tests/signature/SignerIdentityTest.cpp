// The signer identity checks: subject names, the usage identifier, extension renderings and
// the distribution-point addresses, on the certificates of the fixture PKI.
#include <gtest/gtest.h>
#include <openssl/bio.h>
#include <openssl/objects.h>
#include <openssl/pkcs7.h>
#include <openssl/x509.h>

#include <string>
#include <vector>

#include "signature/SignatureVerification.h"
#include "tests/signature/SignatureTestSupport.h"

using signature::X509Ptr;
using sigtest::fixture;

namespace {

X509Ptr loadCertificate(const std::string& name) {
  signature::BioPtr bio{BIO_new_file(fixture(name).c_str(), "rb")};
  X509Ptr certificate{bio ? d2i_X509_bio(bio.get(), nullptr) : nullptr};
  if (!certificate) ADD_FAILURE() << "cannot load fixture certificate " << name;
  return certificate;
}

signature::Pkcs7Ptr loadSignature(const std::string& name) {
  signature::BioPtr bio{BIO_new_file(fixture(name).c_str(), "rb")};
  signature::Pkcs7Ptr pkcs7{bio ? d2i_PKCS7_bio(bio.get(), nullptr) : nullptr};
  if (!pkcs7) ADD_FAILURE() << "cannot load fixture signature " << name;
  return pkcs7;
}

const char* const kUsage = "1.2.840.271093.1.1.12";

}  // namespace

TEST(SignerIdentity, NamesAndUsageOfEachSignerVariant) {
  struct Case {
    const char* variant;
    bool namesMatch;
    bool usageFound;
  };
  const Case cases[] = {
      {"good", true, true},
      {"printable", true, true},        // every value a PrintableString
      {"utf8", true, true},             // every value a UTF8String
      {"bmp", true, true},              // every value a BMPString
      {"two-cn", true, true},           // the first CN decides
      {"wrong-first-cn", false, true},  // ... also when only the second is right
      {"cn-case", false, true},
      {"cn-space", false, true},
      {"cn-wrong", false, true},
      {"c-wrong", false, true},
      {"o-wrong", false, true},
      {"ou-wrong", false, true},
      {"no-ou", false, true},
      {"eku-among", true, true},     // among other purposes, in the middle
      {"eku-first", true, true},     // first of two
      {"eku-longer", true, true},    // a plain substring search: further digits still match
      {"eku-missing", true, false},  // a neighbouring identifier only
      {"no-eku", true, false},       // no extended key usage at all
      {"name-and-eku-bad", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.variant);
    X509Ptr certificate = loadCertificate(std::string("signer-") + c.variant + ".der");
    ASSERT_TRUE(certificate);
    EXPECT_EQ(SignatureVerification::verifySignerNames(certificate.get()), c.namesMatch);
    EXPECT_EQ(
        SignatureVerification::containsX509v3Data(certificate.get(), kUsage, NID_ext_key_usage),
        c.usageFound);
  }
}

TEST(SignerIdentity, OneNameComparesWholeValueCaseAndCanonicalForm) {
  struct Case {
    const char* stored;
    int type;
    const char* expected;
    bool equal;
  };
  const Case cases[] = {
      {"Quillor Zanth", MBSTRING_UTF8, "Quillor Zanth", true},
      {"Quillor Zanth", MBSTRING_ASC, "Quillor Zanth", true},
      {"Quillor Zanth", MBSTRING_UTF8, "Quillor Zant", false},
      {"Quillor Zanth ", MBSTRING_UTF8, "Quillor Zanth", false},
      {" Quillor Zanth", MBSTRING_UTF8, "Quillor Zanth", false},
      {"QUILLOR ZANTH", MBSTRING_UTF8, "Quillor Zanth", false},
      // "Café" precomposed and with a combining acute accent are canonically equivalent.
      {"Caf\xC3\xA9", MBSTRING_UTF8, "Cafe\xCC\x81", true},
      {"Cafe\xCC\x81", MBSTRING_UTF8, "Caf\xC3\xA9", true},
      {"Caf\xC3\xA9", MBSTRING_UTF8, "Cafe", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("stored \"") + c.stored + "\" expected \"" + c.expected + "\"");
    std::unique_ptr<X509_NAME, decltype(&X509_NAME_free)> name(X509_NAME_new(), X509_NAME_free);
    ASSERT_EQ(
        X509_NAME_add_entry_by_NID(name.get(), NID_commonName, c.type,
                                   reinterpret_cast<const unsigned char*>(c.stored), -1, -1, 0),
        1);
    EXPECT_EQ(SignatureVerification::verifySignerName(name.get(), c.expected, NID_commonName),
              c.equal);
  }
}

TEST(SignerIdentity, OneNameFailsWhenMissingOrHoldingNul) {
  std::unique_ptr<X509_NAME, decltype(&X509_NAME_free)> name(X509_NAME_new(), X509_NAME_free);
  ASSERT_EQ(X509_NAME_add_entry_by_NID(name.get(), NID_commonName, MBSTRING_ASC,
                                       reinterpret_cast<const unsigned char*>("Quillor Zanth"), -1,
                                       -1, 0),
            1);
  EXPECT_FALSE(SignatureVerification::verifySignerName(name.get(), "US", NID_countryName))
      << "an absent attribute is a mismatch";

  // "Quillor Zanth" followed by a NUL and more text must not pass as "Quillor Zanth".
  const unsigned char withNul[] = "Quillor Zanth\0evil";
  std::unique_ptr<X509_NAME, decltype(&X509_NAME_free)> nulName(X509_NAME_new(), X509_NAME_free);
  ASSERT_EQ(X509_NAME_add_entry_by_NID(nulName.get(), NID_commonName, V_ASN1_UTF8STRING, withNul,
                                       sizeof withNul - 1, -1, 0),
            1);
  EXPECT_FALSE(
      SignatureVerification::verifySignerName(nulName.get(), "Quillor Zanth", NID_commonName));
}

TEST(SignerIdentity, ExtensionRenderings) {
  X509Ptr good = loadCertificate("signer-good.der");
  ASSERT_TRUE(good);
  EXPECT_EQ(SignatureVerification::extractX509v3Data(good.get(), NID_ext_key_usage),
            std::optional<std::string>("Code Signing, 1.2.840.271093.1.1.12"));
  EXPECT_FALSE(SignatureVerification::containsX509v3Data(good.get(), "", NID_ext_key_usage))
      << "an empty text is found nowhere";
  EXPECT_FALSE(
      SignatureVerification::containsX509v3Data(good.get(), "code signing", NID_ext_key_usage))
      << "the search is case-sensitive";

  X509Ptr noEku = loadCertificate("signer-no-eku.der");
  ASSERT_TRUE(noEku);
  EXPECT_EQ(SignatureVerification::extractX509v3Data(noEku.get(), NID_ext_key_usage), std::nullopt);

  std::optional<std::string> points =
      SignatureVerification::extractX509v3Data(good.get(), NID_crl_distribution_points);
  ASSERT_TRUE(points);
  EXPECT_NE(points->find("URI:http://download.quillor.example/crl/QuillorCodeSigning.crl"),
            std::string::npos)
      << *points;
}

TEST(SignerIdentity, DistributionPointAddressesAreTheUriFullNames) {
  struct Case {
    const char* certificate;
    std::vector<std::string> addresses;
  };
  const std::string base = "http://download.quillor.example/crl/";
  const Case cases[] = {
      // DNS, directory and relative names, and the cRLIssuer field, are no addresses.
      {"signer-many-dp.der", {base + "a.crl", base + "b.crl", base + "c.crl"}},
      {"signer-two-cdp.der", {base + "Unusable.crl", base + "QuillorCodeSigning.crl"}},
      {"signer-good.der", {base + "QuillorCodeSigning.crl"}},
      {"inter.der", {base + "QuillorRootCA.crl"}},
      {"root.der", {}},    // a directory name only
      {"inter2.der", {}},  // a directory name only
      {"signer-no-cdp.der", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.certificate);
    X509Ptr certificate = loadCertificate(c.certificate);
    ASSERT_TRUE(certificate);
    EXPECT_EQ(SignatureVerification::crlDistributionPointAddresses(certificate.get()), c.addresses);
  }
}

TEST(SignerIdentity, GatheringMergesAddressesOfTheWholeChain) {
  signature::X509StackPtr chain{sk_X509_new_null()};
  for (const char* name : {"root.der", "inter.der", "signer-many-dp.der", "signer-same-cdp.der"}) {
    X509Ptr certificate = loadCertificate(name);
    ASSERT_TRUE(certificate);
    ASSERT_GT(sk_X509_push(chain.get(), certificate.get()), 0);
    certificate.release();
  }
  std::swap(certChain, chain);
  std::vector<std::string> addresses = SignatureVerification::gatherCrlAddresses();
  std::swap(certChain, chain);

  const std::string base = "http://download.quillor.example/crl/";
  EXPECT_EQ(addresses, (std::vector<std::string>{base + "QuillorRootCA.crl", base + "a.crl",
                                                 base + "b.crl", base + "c.crl"}))
      << "the intermediate and signer-same-cdp name the same list: it is listed once";
}

TEST(SignerIdentity, SignerCertificateIsACopyOfTheFirstSigner) {
  signature::Pkcs7Ptr good = loadSignature("sig-good.p7");
  ASSERT_TRUE(good);
  X509Ptr signer = SignatureVerification::getSignerCertificate(good.get());
  ASSERT_TRUE(signer);
  X509Ptr expected = loadCertificate("signer-good.der");
  ASSERT_TRUE(expected);
  EXPECT_EQ(X509_cmp(signer.get(), expected.get()), 0);

  signature::Pkcs7Ptr noCerts = loadSignature("sig-no-certs.p7");
  ASSERT_TRUE(noCerts);
  EXPECT_FALSE(SignatureVerification::getSignerCertificate(noCerts.get()))
      << "the signer's certificate is not carried";
}
