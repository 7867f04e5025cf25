// Makes the certificates, revocation lists and detached signatures the signature tests use, the
// TLS server certificates of the download tests, and the production root certificate.
//
//   make_fixture_pki <folder>                      the whole fixture PKI into folder
//   make_fixture_pki --production-root <out.der>   a new production root; its key is never saved
//   make_fixture_pki --sign <folder> <variant> <data> <out>
//                                                  a detached DER signature of data by the
//                                                  fixture's signer-<variant>
//
// Keys are made afresh on every run; everything else (names, serial numbers, extensions,
// validity relative to now, payload bytes) is fixed, so every run yields an equivalent PKI.
#include <openssl/asn1.h>
#include <openssl/bio.h>
#include <openssl/conf.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/pkcs7.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

template <typename T, void (*Free)(T*)>
struct Deleter {
  void operator()(T* p) const { Free(p); }
};
void freeCertStack(STACK_OF(X509) * s) { sk_X509_pop_free(s, X509_free); }
void freeBio(BIO* b) { BIO_free_all(b); }

using KeyPtr = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY, EVP_PKEY_free>>;
using CertPtr = std::unique_ptr<X509, Deleter<X509, X509_free>>;
using CrlPtr = std::unique_ptr<X509_CRL, Deleter<X509_CRL, X509_CRL_free>>;
using NamePtr = std::unique_ptr<X509_NAME, Deleter<X509_NAME, X509_NAME_free>>;
using Pkcs7Ptr = std::unique_ptr<PKCS7, Deleter<PKCS7, PKCS7_free>>;
using BioPtr = std::unique_ptr<BIO, Deleter<BIO, freeBio>>;
using CertStackPtr = std::unique_ptr<STACK_OF(X509), Deleter<STACK_OF(X509), freeCertStack>>;
using ConfPtr = std::unique_ptr<CONF, Deleter<CONF, NCONF_free>>;
using ExtPtr = std::unique_ptr<X509_EXTENSION, Deleter<X509_EXTENSION, X509_EXTENSION_free>>;
using Asn1StringPtr = std::unique_ptr<ASN1_STRING, Deleter<ASN1_STRING, ASN1_STRING_free>>;

[[noreturn]] void fail(const std::string& what) {
  std::fprintf(stderr, "make_fixture_pki: %s\n", what.c_str());
  ERR_print_errors_fp(stderr);
  std::exit(1);
}

template <typename P>
P check(P pointer, const std::string& what) {
  if (!pointer) fail(what);
  return pointer;
}
void check(int result, const std::string& what) {
  if (result <= 0) fail(what);
}

constexpr long kDay = 24 * 60 * 60;
const std::string kCrlBase = "http://download.quillor.example/crl/";
const char* const kUsageIdentifier = "1.2.840.271093.1.1.12";

// Sections the extension values below refer to (distribution points, directory names).
const char* const kExtensionConfig = R"(
[root_dp]
fullname = dirName:root_dp_name
[root_dp_name]
C = US
O = Quillor Systems Incorporated
OU = Quillor Trust Services
CN = Quillor Root CA Revocation
[many_dp1]
fullname = URI:http://download.quillor.example/crl/a.crl, DNS:crl.quillor.example, URI:http://download.quillor.example/crl/b.crl
[many_dp2]
fullname = dirName:root_dp_name
[many_dp3]
relativename = relative_name
[relative_name]
CN = Relative Point
[many_dp4]
fullname = URI:http://download.quillor.example/crl/c.crl
CRLissuer = URI:http://issuer.quillor.example/issuer.crl
)";

KeyPtr makeKey() { return KeyPtr(check(EVP_RSA_gen(2048), "RSA key")); }

// One subject attribute: its NID, its text (UTF-8) and the ASN.1 string type to store it as.
struct Attribute {
  int nid;
  std::string value;
  int type = V_ASN1_UTF8STRING;
};
using Subject = std::vector<Attribute>;

NamePtr makeName(const Subject& subject) {
  NamePtr name(check(X509_NAME_new(), "name"));
  for (const Attribute& attribute : subject) {
    // Converted to the requested string type, stored without further conversion.
    ASN1_STRING* converted = nullptr;
    unsigned long mask = ASN1_tag2bit(attribute.type);
    check(ASN1_mbstring_copy(&converted,
                             reinterpret_cast<const unsigned char*>(attribute.value.data()),
                             static_cast<int>(attribute.value.size()), MBSTRING_UTF8, mask),
          "name value " + attribute.value);
    Asn1StringPtr owner(converted);
    check(X509_NAME_add_entry_by_NID(name.get(), attribute.nid, attribute.type,
                                     ASN1_STRING_get0_data(converted),
                                     ASN1_STRING_length(converted), -1, 0),
          "name entry " + attribute.value);
  }
  return name;
}

Subject quillorName(const std::string& commonName) {
  return {{NID_countryName, "US", V_ASN1_PRINTABLESTRING},
          {NID_organizationName, "Quillor Systems Incorporated"},
          {NID_organizationalUnitName, "Quillor Trust Services"},
          {NID_commonName, commonName}};
}

// The signer's subject with the expected values, in the usual order.
Subject signerName() { return quillorName("Quillor Zanth"); }

Subject replaced(Subject subject, int nid, const std::string& value) {
  for (Attribute& attribute : subject) {
    if (attribute.nid == nid) attribute.value = value;
  }
  return subject;
}

Subject withType(Subject subject, int type) {
  for (Attribute& attribute : subject) attribute.type = type;
  return subject;
}

struct Issuer {
  X509* certificate;  // null: self-signed
  EVP_PKEY* key;
};

struct CertSpec {
  Subject subject;
  long serial;
  bool ca = false;
  long notBefore = -kDay;
  long notAfter = 3650 * kDay;
  // Extension values in OpenSSL's configuration syntax; empty means no such extension.
  std::string extendedKeyUsage;
  std::string crlDistributionPoints;
};

void addExtension(X509* certificate, X509V3_CTX* context, CONF* conf, int nid,
                  const std::string& value) {
  ExtPtr extension(
      check(X509V3_EXT_nconf_nid(conf, context, nid, value.c_str()), "extension " + value));
  check(X509_add_ext(certificate, extension.get(), -1), "adding extension " + value);
}

// subjectAltName: in OpenSSL's configuration syntax; empty means none (TLS server names).
CertPtr makeCertificate(const CertSpec& profile, EVP_PKEY* key, const Issuer& issuer, CONF* conf,
                        const std::string& subjectAltName = "") {
  CertPtr certificate(check(X509_new(), "certificate"));
  X509* cert = certificate.get();
  check(X509_set_version(cert, 2), "version");
  check(ASN1_INTEGER_set(X509_get_serialNumber(cert), profile.serial), "serial");
  NamePtr subject = makeName(profile.subject);
  check(X509_set_subject_name(cert, subject.get()), "subject");
  check(X509_set_issuer_name(
            cert, issuer.certificate ? X509_get_subject_name(issuer.certificate) : subject.get()),
        "issuer");
  check(X509_gmtime_adj(X509_getm_notBefore(cert), profile.notBefore), "not before");
  check(X509_gmtime_adj(X509_getm_notAfter(cert), profile.notAfter), "not after");
  check(X509_set_pubkey(cert, key), "public key");

  X509V3_CTX context;
  X509V3_set_ctx(&context, issuer.certificate ? issuer.certificate : cert, cert, nullptr, nullptr,
                 0);
  X509V3_set_nconf(&context, conf);
  addExtension(cert, &context, conf, NID_basic_constraints,
               profile.ca ? "critical,CA:TRUE" : "critical,CA:FALSE");
  addExtension(cert, &context, conf, NID_key_usage,
               profile.ca ? "critical,keyCertSign,cRLSign" : "critical,digitalSignature");
  addExtension(cert, &context, conf, NID_subject_key_identifier, "hash");
  addExtension(cert, &context, conf, NID_authority_key_identifier, "keyid:always");
  if (!profile.extendedKeyUsage.empty()) {
    addExtension(cert, &context, conf, NID_ext_key_usage, profile.extendedKeyUsage);
  }
  if (!profile.crlDistributionPoints.empty()) {
    addExtension(cert, &context, conf, NID_crl_distribution_points, profile.crlDistributionPoints);
  }
  if (!subjectAltName.empty()) {
    addExtension(cert, &context, conf, NID_subject_alt_name, subjectAltName);
  }
  check(X509_sign(cert, issuer.key, EVP_sha256()), "signing certificate");
  return certificate;
}

struct CrlSpec {
  std::vector<long> revokedSerials;
  long lastUpdate = -kDay;
  long nextUpdate = 3650 * kDay;
};

CrlPtr makeCrl(const CrlSpec& profile, const Issuer& issuer) {
  CrlPtr crl(check(X509_CRL_new(), "CRL"));
  check(X509_CRL_set_version(crl.get(), 1), "CRL version");
  check(X509_CRL_set_issuer_name(crl.get(), X509_get_subject_name(issuer.certificate)),
        "CRL issuer");
  using TimePtr = std::unique_ptr<ASN1_TIME, Deleter<ASN1_TIME, ASN1_TIME_free>>;
  TimePtr last(check(X509_gmtime_adj(nullptr, profile.lastUpdate), "time"));
  TimePtr next(check(X509_gmtime_adj(nullptr, profile.nextUpdate), "time"));
  check(X509_CRL_set1_lastUpdate(crl.get(), last.get()), "last update");
  check(X509_CRL_set1_nextUpdate(crl.get(), next.get()), "next update");
  for (long serial : profile.revokedSerials) {
    X509_REVOKED* revoked = check(X509_REVOKED_new(), "revoked entry");
    ASN1_INTEGER* number = ASN1_INTEGER_new();
    ASN1_INTEGER_set(number, serial);
    X509_REVOKED_set_serialNumber(revoked, number);
    ASN1_INTEGER_free(number);
    X509_REVOKED_set_revocationDate(revoked, last.get());
    check(X509_CRL_add0_revoked(crl.get(), revoked), "adding revoked entry");
  }
  check(X509_CRL_sort(crl.get()), "sorting CRL");
  check(X509_CRL_sign(crl.get(), issuer.key, EVP_sha256()), "signing CRL");
  return crl;
}

BioPtr openForWriting(const std::filesystem::path& path) {
  return BioPtr(check(BIO_new_file(path.c_str(), "wb"), "opening " + path.string()));
}

void writeDer(const std::filesystem::path& path, X509* certificate) {
  check(i2d_X509_bio(openForWriting(path).get(), certificate), "writing " + path.string());
}
void writePem(const std::filesystem::path& path, X509* certificate) {
  check(PEM_write_bio_X509(openForWriting(path).get(), certificate), "writing " + path.string());
}
void writeDer(const std::filesystem::path& path, X509_CRL* crl) {
  check(i2d_X509_CRL_bio(openForWriting(path).get(), crl), "writing " + path.string());
}
void writePem(const std::filesystem::path& path, X509_CRL* crl) {
  check(PEM_write_bio_X509_CRL(openForWriting(path).get(), crl), "writing " + path.string());
}
void writeDer(const std::filesystem::path& path, PKCS7* pkcs7) {
  check(i2d_PKCS7_bio(openForWriting(path).get(), pkcs7), "writing " + path.string());
}
void writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) fail("writing " + path.string());
}

// A detached signature over the file at dataPath, carrying the signer and extraCerts.
Pkcs7Ptr sign(const std::filesystem::path& dataPath, X509* signer, EVP_PKEY* key,
              const std::vector<X509*>& extraCerts, int extraFlags = 0) {
  CertStackPtr certs(sk_X509_new_null());
  for (X509* certificate : extraCerts) {
    X509_up_ref(certificate);
    sk_X509_push(certs.get(), certificate);
  }
  BioPtr data(check(BIO_new_file(dataPath.c_str(), "rb"), "opening " + dataPath.string()));
  return Pkcs7Ptr(check(
      PKCS7_sign(signer, key, certs.get(), data.get(), PKCS7_DETACHED | PKCS7_BINARY | extraFlags),
      "signing " + dataPath.string()));
}

ConfPtr loadExtensionConfig() {
  ConfPtr conf(check(NCONF_new(nullptr), "configuration"));
  BioPtr text(BIO_new_mem_buf(kExtensionConfig, -1));
  long line = 0;
  check(NCONF_load_bio(conf.get(), text.get(), &line), "extension configuration");
  return conf;
}

const CertSpec kRootSpec{
    quillorName("Quillor Root CA"), 1, true, -kDay, 7300 * kDay, "", "root_dp"};

int makeProductionRoot(const std::filesystem::path& out) {
  ConfPtr conf = loadExtensionConfig();
  KeyPtr key = makeKey();  // lives in memory only
  CertSpec profile = kRootSpec;
  profile.serial = 0x5a4e5448;
  CertPtr root = makeCertificate(profile, key.get(), {nullptr, key.get()}, conf.get());
  writeDer(out, root.get());
  return 0;
}

CertPtr readCertificate(const std::filesystem::path& path) {
  BioPtr file(check(BIO_new_file(path.c_str(), "rb"), "opening " + path.string()));
  return CertPtr(check(d2i_X509_bio(file.get(), nullptr), "reading " + path.string()));
}

// Signs data with a signer variant of a fixture PKI made before (all signers share one key);
// the signature carries the variant's intermediate.
int signWithFixture(const std::filesystem::path& folder, const std::string& variant,
                    const std::filesystem::path& data, const std::filesystem::path& out) {
  BioPtr keyFile(check(BIO_new_file((folder / "signer.key.pem").c_str(), "rb"), "signer key"));
  KeyPtr key(check(PEM_read_bio_PrivateKey(keyFile.get(), nullptr, nullptr, nullptr), "key"));
  CertPtr signer = readCertificate(folder / ("signer-" + variant + ".der"));
  CertPtr inter = readCertificate(folder / (variant == "no-cdp" ? "inter2.der" : "inter.der"));
  Pkcs7Ptr signature = sign(data, signer.get(), key.get(), {inter.get()});
  writeDer(out, signature.get());
  return 0;
}

// A DER revocation list of at most size bytes by the issuer certificate in the folder, revoking as
// many serial numbers as fit, and signed with the signers' key instead of the issuer's: a list
// that libcrypto has to parse whole before its signature fails, as a hostile list host sends.
int makeHostileCrl(const std::filesystem::path& folder, const std::string& issuerFile,
                   std::size_t size, const std::filesystem::path& out) {
  BioPtr keyFile(check(BIO_new_file((folder / "signer.key.pem").c_str(), "rb"), "signer key"));
  KeyPtr wrongKey(check(PEM_read_bio_PrivateKey(keyFile.get(), nullptr, nullptr, nullptr), "key"));
  CertPtr issuer = readCertificate(folder / issuerFile);
  CrlPtr crl = makeCrl({}, {issuer.get(), wrongKey.get()});
  using TimePtr = std::unique_ptr<ASN1_TIME, Deleter<ASN1_TIME, ASN1_TIME_free>>;
  TimePtr date(check(X509_gmtime_adj(nullptr, -kDay), "time"));
  // Adds count entries to those already there; returns the size of the list signed again.
  const auto addEntries = [&](long count) {
    for (long i = 0; i < count; ++i) {
      X509_REVOKED* revoked = check(X509_REVOKED_new(), "revoked entry");
      ASN1_INTEGER* number = ASN1_INTEGER_new();
      ASN1_INTEGER_set_int64(number, (std::int64_t{1} << 56) + i);  // all of one encoded length
      X509_REVOKED_set_serialNumber(revoked, number);
      ASN1_INTEGER_free(number);
      X509_REVOKED_set_revocationDate(revoked, date.get());
      check(X509_CRL_add0_revoked(crl.get(), revoked), "adding revoked entry");
    }
    check(X509_CRL_sign(crl.get(), wrongKey.get(), EVP_sha256()), "signing CRL");
    return static_cast<std::size_t>(i2d_X509_CRL(crl.get(), nullptr));
  };
  const std::size_t withOne = addEntries(1);
  const std::size_t entrySize = addEntries(1) - withOne;
  // The lengths of the enclosing elements grow by a few bytes as the entries are added.
  const long more = static_cast<long>((size - std::min(size, withOne + 16)) / entrySize);
  if (addEntries(more - 1) > size) fail("the list outgrew " + std::to_string(size) + " bytes");
  writeDer(out, crl.get());
  return 0;
}

// 64 KiB of fixed pseudo-random bytes.
std::string payloadBytes() {
  std::string bytes(64 * 1024, '\0');
  unsigned state = 0x2545F491u;
  for (char& byte : bytes) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<char>(state >> 24);
  }
  return bytes;
}

void writeKey(const std::filesystem::path& path, EVP_PKEY* key) {
  check(PEM_write_bio_PrivateKey(openForWriting(path).get(), key, nullptr, nullptr, 0, nullptr,
                                 nullptr),
        "writing " + path.string());
}

// TLS server certificates for the fixture download server, sharing the key tls.key.pem, and the
// test CA (tls-ca.pem) that fixture builds trust in place of the system's store. Issued by that
// CA: tls-server names 127.0.0.1 and localhost, tls-wrong-host names another host only, and
// tls-expired names 127.0.0.1 but ran out a month ago. tls-self-signed names 127.0.0.1 and
// signs itself, so nobody trusts it.
void makeTlsServerCertificates(const std::filesystem::path& folder, CONF* conf) {
  KeyPtr caKey = makeKey();
  const CertSpec caSpec{
      {{NID_organizationName, "Zanth Fixtures"}, {NID_commonName, "Zanth Test TLS CA"}},
      300,
      true,
      -400 * kDay,
      3650 * kDay,
      "",
      ""};
  CertPtr ca = makeCertificate(caSpec, caKey.get(), {nullptr, caKey.get()}, conf);
  writePem(folder / "tls-ca.pem", ca.get());

  KeyPtr key = makeKey();
  const Issuer byCa{ca.get(), caKey.get()};
  const std::string loopback = "IP:127.0.0.1, DNS:localhost";
  struct ServerCertificate {
    const char* file;
    CertSpec profile;
    Issuer issuer;
    std::string names;
  };
  const ServerCertificate certificates[] = {
      {"tls-server.pem",
       {{{NID_commonName, "127.0.0.1"}}, 301, false, -kDay, 30 * kDay, "serverAuth", ""},
       byCa,
       loopback},
      {"tls-wrong-host.pem",
       {{{NID_commonName, "other.quillor.example"}},
        302,
        false,
        -kDay,
        30 * kDay,
        "serverAuth",
        ""},
       byCa,
       "DNS:other.quillor.example"},
      {"tls-expired.pem",
       {{{NID_commonName, "127.0.0.1"}}, 303, false, -60 * kDay, -30 * kDay, "serverAuth", ""},
       byCa,
       loopback},
      {"tls-self-signed.pem",
       {{{NID_commonName, "127.0.0.1"}}, 200, false, -kDay, 30 * kDay, "serverAuth", ""},
       {nullptr, key.get()},
       loopback},
  };
  for (const ServerCertificate& c : certificates) {
    writePem(folder / c.file, makeCertificate(c.profile, key.get(), c.issuer, conf, c.names).get());
  }
  writeKey(folder / "tls.key.pem", key.get());
}

int makeFixturePki(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  ConfPtr conf = loadExtensionConfig();
  const std::string rootCrl = "URI:" + kCrlBase + "QuillorRootCA.crl";
  const std::string interCrl = "URI:" + kCrlBase + "QuillorCodeSigning.crl";
  const std::string usage = std::string("codeSigning, ") + kUsageIdentifier;

  // The root with the built-in root's subject, and an unrelated one.
  KeyPtr rootKey = makeKey();
  CertPtr root = makeCertificate(kRootSpec, rootKey.get(), {nullptr, rootKey.get()}, conf.get());
  KeyPtr otherRootKey = makeKey();
  CertPtr otherRoot =
      makeCertificate({{{NID_organizationName, "Other Systems"}, {NID_commonName, "Other Root CA"}},
                       2,
                       true,
                       -kDay,
                       7300 * kDay,
                       "",
                       ""},
                      otherRootKey.get(), {nullptr, otherRootKey.get()}, conf.get());

  // Intermediates: one naming the root's list by address, one naming none.
  KeyPtr interKey = makeKey();
  CertPtr inter = makeCertificate(
      {quillorName("Quillor Code Signing CA"), 10, true, -kDay, 3650 * kDay, "", rootCrl},
      interKey.get(), {root.get(), rootKey.get()}, conf.get());
  KeyPtr inter2Key = makeKey();
  CertPtr inter2 = makeCertificate(
      {quillorName("Quillor Code Signing CA 2"), 11, true, -kDay, 3650 * kDay, "", "root_dp"},
      inter2Key.get(), {root.get(), rootKey.get()}, conf.get());

  // Signers: one key, many certificates, each with a serial of its own.
  KeyPtr signerKey = makeKey();
  const Issuer byInter{inter.get(), interKey.get()};
  Subject twoCn = signerName();
  twoCn.push_back({NID_commonName, "Somebody Else"});
  Subject wrongFirstCn = replaced(signerName(), NID_commonName, "Somebody Else");
  wrongFirstCn.push_back({NID_commonName, "Quillor Zanth"});
  Subject noOu;
  for (const Attribute& attribute : signerName()) {
    if (attribute.nid != NID_organizationalUnitName) noOu.push_back(attribute);
  }

  struct SignerVariant {
    std::string name;
    CertSpec profile;
    Issuer issuer;
    std::vector<X509*> carried;  // certificates carried in the signature besides the signer
  };
  const std::vector<X509*> viaInter{inter.get()};
  long serial = 100;
  auto variant = [&](std::string name, Subject subject, std::string eku = "",
                     std::string cdp = "") {
    return SignerVariant{std::move(name),
                         {std::move(subject), serial++, false, -kDay, 3650 * kDay,
                          eku.empty() ? usage : eku, cdp.empty() ? interCrl : cdp},
                         byInter,
                         viaInter};
  };
  std::vector<SignerVariant> variants{
      variant("good", signerName()),
      variant("revoked", signerName()),
      variant("cn-case", replaced(signerName(), NID_commonName, "quillor zanth")),
      variant("cn-space", replaced(signerName(), NID_commonName, "Quillor Zanth ")),
      variant("cn-wrong", replaced(signerName(), NID_commonName, "Quillor Zanth Beta")),
      variant("c-wrong", replaced(signerName(), NID_countryName, "CA")),
      variant("o-wrong", replaced(signerName(), NID_organizationName, "Quillor Systems Inc")),
      variant("ou-wrong", replaced(signerName(), NID_organizationalUnitName, "Quillor Trust")),
      variant("no-ou", noOu),
      variant("two-cn", twoCn),
      variant("wrong-first-cn", wrongFirstCn),
      variant("printable", withType(signerName(), V_ASN1_PRINTABLESTRING)),
      variant("utf8", withType(signerName(), V_ASN1_UTF8STRING)),
      variant("bmp", withType(signerName(), V_ASN1_BMPSTRING)),
      variant("eku-among", signerName(),
              std::string("serverAuth, ") + kUsageIdentifier + ", emailProtection"),
      variant("eku-first", signerName(), std::string(kUsageIdentifier) + ", codeSigning"),
      variant("eku-longer", signerName(), std::string(kUsageIdentifier) + "34"),
      variant("eku-missing", signerName(), "codeSigning, 1.2.840.271093.1.1.11"),
      variant("name-and-eku-bad", replaced(signerName(), NID_commonName, "Other"), "codeSigning"),
      variant("same-cdp", signerName(), "", rootCrl),
      variant("two-cdp", signerName(), "", "URI:" + kCrlBase + "Unusable.crl, " + interCrl),
      variant("many-dp", signerName(), "", "many_dp1, many_dp2, many_dp3, many_dp4"),
  };
  SignerVariant noEku = variant("no-eku", signerName());
  noEku.profile.extendedKeyUsage.clear();
  variants.push_back(noEku);
  SignerVariant expired = variant("expired", signerName());
  expired.profile.notBefore = -400 * kDay;
  expired.profile.notAfter = -30 * kDay;
  variants.push_back(expired);
  SignerVariant otherChain = variant("other-root", signerName(), "", interCrl);
  otherChain.issuer = {otherRoot.get(), otherRootKey.get()};
  otherChain.carried = {};
  variants.push_back(otherChain);
  SignerVariant noCdp = variant("no-cdp", signerName());
  noCdp.profile.crlDistributionPoints.clear();
  noCdp.issuer = {inter2.get(), inter2Key.get()};
  noCdp.carried = {inter2.get()};
  variants.push_back(noCdp);

  const std::filesystem::path payload = folder / "payload.bin";
  writeFile(payload, payloadBytes());
  writeFile(folder / "garbage.crl", "This file is neither a DER nor a PEM revocation list.\n");

  std::map<std::string, CertPtr> signers;
  for (const SignerVariant& v : variants) {
    CertPtr certificate = makeCertificate(v.profile, signerKey.get(), v.issuer, conf.get());
    writeDer(folder / ("signer-" + v.name + ".der"), certificate.get());
    Pkcs7Ptr signature = sign(payload, certificate.get(), signerKey.get(), v.carried);
    writeDer(folder / ("sig-" + v.name + ".p7"), signature.get());
    signers[v.name] = std::move(certificate);
  }
  X509* good = signers.at("good").get();

  // The good signature in PEM form, one without any certificate, one with no digest algorithm.
  Pkcs7Ptr goodSignature = sign(payload, good, signerKey.get(), viaInter);
  check(PEM_write_bio_PKCS7(openForWriting(folder / "sig-good.pem").get(), goodSignature.get()),
        "writing PEM signature");
  writeDer(folder / "sig-no-certs.p7",
           sign(payload, good, signerKey.get(), viaInter, PKCS7_NOCERTS).get());
  Pkcs7Ptr noDigests = sign(payload, good, signerKey.get(), viaInter);
  sk_X509_ALGOR_pop_free(noDigests->d.sign->md_algs, X509_ALGOR_free);
  noDigests->d.sign->md_algs = sk_X509_ALGOR_new_null();
  writeDer(folder / "sig-empty-digests.p7", noDigests.get());

  // Revocation lists of the intermediate (for the signers) and of the root (for intermediates).
  const long revokedSigner = ASN1_INTEGER_get(X509_get0_serialNumber(signers.at("revoked").get()));
  const Issuer byRoot{root.get(), rootKey.get()};
  writeDer(folder / "QuillorCodeSigning-empty.crl", makeCrl({}, byInter).get());
  CrlPtr revoking = makeCrl({{revokedSigner}}, byInter);
  writeDer(folder / "QuillorCodeSigning-revokes-signer.crl", revoking.get());
  writePem(folder / "QuillorCodeSigning-revokes-signer.pem", revoking.get());
  const long revokedTwoCdp = ASN1_INTEGER_get(X509_get0_serialNumber(signers.at("two-cdp").get()));
  writePem(folder / "QuillorCodeSigning-revokes-two-cdp.pem",
           makeCrl({{revokedTwoCdp}}, byInter).get());
  writeDer(folder / "QuillorCodeSigning-expired.crl",
           makeCrl({{revokedSigner}, -60 * kDay, -30 * kDay}, byInter).get());
  writeDer(folder / "QuillorRootCA-empty.crl", makeCrl({}, byRoot).get());
  writeDer(folder / "QuillorRootCA-revokes-inter.crl", makeCrl({{10}}, byRoot).get());

  writeDer(folder / "root.der", root.get());
  writePem(folder / "root.pem", root.get());
  writeDer(folder / "other-root.der", otherRoot.get());
  writeDer(folder / "inter.der", inter.get());
  writePem(folder / "inter.pem", inter.get());
  writeDer(folder / "inter2.der", inter2.get());
  writePem(folder / "signer.pem", good);
  writeKey(folder / "signer.key.pem", signerKey.get());
  makeTlsServerCertificates(folder, conf.get());
  writeFile(folder / "stamp", "fixture PKI complete\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0].rfind("--", 0) != 0) return makeFixturePki(args[0]);
  if (args.size() == 2 && args[0] == "--production-root") return makeProductionRoot(args[1]);
  if (args.size() == 5 && args[0] == "--sign") {
    return signWithFixture(args[1], args[2], args[3], args[4]);
  }
  if (args.size() == 5 && args[0] == "--hostile-crl") {
    return makeHostileCrl(args[1], args[2], std::stoul(args[3]), args[4]);
  }
  std::fprintf(stderr,
               "usage: make_fixture_pki <folder>\n"
               "       make_fixture_pki --production-root <out.der>\n"
               "       make_fixture_pki --sign <folder> <variant> <data> <out.p7>\n"
               "       make_fixture_pki --hostile-crl <folder> <issuer.der> <bytes> <out.crl>\n");
  return 2;
}
