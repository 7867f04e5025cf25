#include "signature/SignatureVerification.h"

#include <openssl/asn1.h>
#include <openssl/bio.h>
#include <openssl/buffer.h>
#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/objects.h>
#include <openssl/pem.h>
#include <openssl/pkcs7.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <climits>

#include "download/Downloader.h"
#include "download/DownloaderNotifications.h"
#include "libinstall/DebugTrace.h"
#include "libinstall/InstallLogMsgs.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationQueue.h"
#include "platform/UnicodeText.h"
#include "signature/ZanthRootCert.h"

using signature::BioPtr;
using signature::Pkcs7Ptr;
using signature::X509CrlPtr;
using signature::X509Ptr;
using signature::X509StackPtr;
using signature::X509StoreCtxPtr;
using signature::X509StorePtr;

// Made by the first verifier, not by a static initializer: no libcrypto call runs before main,
// and a run that verifies nothing makes none.
signature::X509StackPtr certChain;
std::optional<std::string> callbackError;
int callbackErrorNumber = 0;

namespace {

// The publisher's signing certificate: its subject names, compared in this order, and the
// private object identifier its extended key usage must hold.
struct ExpectedName {
  int nid;
  const char* value;
};
constexpr ExpectedName kExpectedSignerNames[] = {
    {NID_commonName, "Quillor Zanth"},
    {NID_countryName, "US"},
    {NID_organizationName, "Quillor Systems Incorporated"},
    {NID_organizationalUnitName, "Quillor Trust Services"},
};
constexpr const char* kSignerUsageIdentifier = "1.2.840.271093.1.1.12";
constexpr const char* kSignatureName = "Detached";
// A detached signature is a few kilobytes. A larger file is refused before it is parsed: a DER
// reader takes in everything a header announces, so a hostile file would be held in memory whole.
constexpr int kMaxSignatureBytes = 1024 * 1024;
// Rendering flag handed to X509V3_EXT_print; it selects nothing beyond the default rendering.
constexpr unsigned long kExtensionPrintFlags = 4;
// PKCS7_verify reads the signed data 4 KiB at a time; straight from the file that is one system
// call per 4 KiB (65,536 for a 256 MiB installer). Through this buffer it is one per MiB.
constexpr int kDataReadBufferSize = 1 << 20;

struct SignerStackDeleter {
  // The stack of PKCS7_get0_signers holds borrowed certificates: free the stack alone.
  void operator()(STACK_OF(X509) * stack) const { sk_X509_free(stack); }
};
struct DistPointsDeleter {
  void operator()(CRL_DIST_POINTS* points) const { CRL_DIST_POINTS_free(points); }
};
struct OpenSslBufferDeleter {
  void operator()(unsigned char* buffer) const { OPENSSL_free(buffer); }
};

// A PEM password callback that supplies no password, so that an encrypted PEM block fails
// instead of prompting on the terminal.
int noPassword(char*, int, int, void*) { return 0; }

// A SignedData whose digestAlgorithms set is empty makes PKCS7_verify of OpenSSL 3.0 before
// 3.0.21 free the caller's content BIO (CVE-2026-45447); such a signature never reaches it.
bool hasDigestAlgorithms(PKCS7* pkcs7) {
  return PKCS7_type_is_signed(pkcs7) && pkcs7->d.sign != nullptr &&
         sk_X509_ALGOR_num(pkcs7->d.sign->md_algs) > 0;
}

BioPtr openFileForReading(const std::optional<std::string>& path) {
  if (!path) return nullptr;
  return BioPtr(BIO_new_file(path->c_str(), "rb"));
}

// The whole of file in a memory BIO; null when it cannot be read or holds more than limit bytes
// (then tooLarge is set).
BioPtr readAtMost(BIO* file, int limit, bool& tooLarge) {
  tooLarge = false;
  BioPtr memory{BIO_new(BIO_s_mem())};
  if (!memory) return nullptr;
  char buffer[16384];
  int total = 0;
  int n = 0;
  while ((n = BIO_read(file, buffer, sizeof buffer)) > 0) {
    total += n;
    if (total > limit) {
      tooLarge = true;
      return nullptr;
    }
    if (BIO_write(memory.get(), buffer, n) != n) return nullptr;
  }
  if (n < 0) return nullptr;
  return memory;
}

// The file at path behind a read buffer of kDataReadBufferSize bytes (without it when no buffer
// can be made); null when the file cannot be opened.
BioPtr openDataForReading(const std::optional<std::string>& path) {
  BioPtr file = openFileForReading(path);
  if (!file) return nullptr;
  BioPtr buffer{BIO_new(BIO_f_buffer())};
  if (!buffer || BIO_set_read_buffer_size(buffer.get(), kDataReadBufferSize) != 1) return file;
  BIO_push(buffer.get(), file.release());  // the chain is freed whole from its head
  return buffer;
}

}  // namespace

int verifyCallback(int ok, X509_STORE_CTX* context) noexcept {
  if (ok) {
    // Reported for each certificate of a verified chain, root first.
    if (X509* current = X509_STORE_CTX_get_current_cert(context)) {
      X509* copy = X509_dup(current);
      if (copy && sk_X509_push(certChain.get(), copy) <= 0) X509_free(copy);
    }
  } else {
    callbackErrorNumber = X509_STORE_CTX_get_error(context);
    callbackError = X509_verify_cert_error_string(callbackErrorNumber);
  }
  return ok;
}

SignatureVerification::SignatureVerification() {
  // Digests and ciphers, and the error texts; the configuration file is not read.
  OPENSSL_init_crypto(OPENSSL_INIT_ADD_ALL_CIPHERS | OPENSSL_INIT_ADD_ALL_DIGESTS |
                          OPENSSL_INIT_LOAD_CRYPTO_STRINGS | OPENSSL_INIT_NO_LOAD_CONFIG,
                      nullptr);
  if (!certChain) certChain.reset(sk_X509_new_null());
  platform::NotificationCenter::defaultCenter().addObserver(
      this, CRL_DOWNLOAD_NOTIFY_DONE,
      [this](const platform::Notification& notification) { notifyDownloaderDone(notification); });
}

SignatureVerification::~SignatureVerification() {
  platform::NotificationCenter::defaultCenter().removeObserver(this);
}

void SignatureVerification::setErrorString(const std::string& message) {
  if (!errorString_.empty()) return;
  errorString_ = message;
}

// --- The passes ---

void SignatureVerification::verifyDataAtPath(const std::string& dataPath,
                                             const std::string& signaturePath) {
  setDataPath(dataPath);
  setSignaturePath(signaturePath);

  Pkcs7Ptr pkcs7 = readPkcs7();
  if (!pkcs7) {
    install::logSigInvalid(kSignatureName);
    setErrorString("Failed to read pkcs7 signature");
    sendNotificationOfResult(false);
    return;
  }

  if (!startedFetchingCrls_) {
    if (!verifyDetachedSignature(pkcs7.get())) {
      install::logSigInvalid(kSignatureName);
      setErrorString("The signature was rejected");
      sendNotificationOfResult(false);
      return;
    }
    startedFetchingCrls_ = true;
    // Freed before the handover: the second pass may run inside it.
    pkcs7.reset();
    startFetchingCrlsOnSignature();
    return;
  }

  // Second pass: readPkcs7 has repeated the identity checks; the signature itself was verified
  // by the first pass and is not verified again.
  pkcs7.reset();
  if (!checkCertsAgainstCrls()) {
    install::logCertRevocationFound();
    setErrorString("At least one of the certificates in the signature has been revoked");
    sendNotificationOfResult(false);
  } else {
    install::logSigValid(kSignatureName);
    sendNotificationOfResult(true);
  }
}

Pkcs7Ptr SignatureVerification::readPkcs7() {
  std::string message;
  Pkcs7Ptr result;
  bool tooLarge = false;
  BioPtr file = openFileForReading(signaturePath_);
  BioPtr bio = file ? readAtMost(file.get(), kMaxSignatureBytes, tooLarge) : nullptr;
  if (tooLarge) {
    message = "The signature file is larger than " + std::to_string(kMaxSignatureBytes) + " bytes";
  } else if (!bio) {
    message = "Unable to read signature " + signaturePath_.value_or("");
  } else if (Pkcs7Ptr pkcs7{d2i_PKCS7_bio(bio.get(), nullptr)}; !pkcs7) {
    message = "Error reading PKCS7 code signature";
  } else if (X509Ptr signer = getSignerCertificate(pkcs7.get()); !signer) {
    message = "Unable to get signing certificate from PKCS7 signature";
  } else if (!verifySignerNames(signer.get())) {
    message = "The signing certificate subject name did not match";
  } else if (!containsX509v3Data(signer.get(), kSignerUsageIdentifier, NID_ext_key_usage)) {
    message = "The signing certificate did not contain the expected object ID";
  } else {
    result = std::move(pkcs7);
  }
  ERR_clear_error();
  setErrorString(message);
  return result;
}

bool SignatureVerification::verifyDetachedSignature(PKCS7* pkcs7) {
  // The chain and the error that verifyCallback collects describe this verification alone.
  certChain.reset(sk_X509_new_null());
  callbackError.reset();
  callbackErrorNumber = 0;

  std::string message;
  bool valid = false;
  X509StorePtr store = makeStoreForPkcs7();
  BioPtr data;
  if (!store) {
    message = "Failed to create store pkcs7 signature";
  } else if (data = openDataForReading(dataPath_); !data) {
    message = "Unable to read data " + dataPath_.value_or("");
  } else if (!hasDigestAlgorithms(pkcs7)) {
    message = "Error verifying code signature. ";
  } else if (PKCS7_verify(pkcs7, nullptr, store.get(), data.get(), nullptr, 0) == 1) {
    // Flags 0: the signer's chain is verified, the content is binary.
    valid = true;
  } else {
    // A digest mismatch reports no certificate error, and nothing follows the text.
    message = "Error verifying code signature. " + callbackError.value_or("");
  }
  ERR_clear_error();
  setErrorString(message);
  return valid;
}

X509StorePtr SignatureVerification::makeStoreForPkcs7() {
  X509StorePtr store{X509_STORE_new()};
  if (!store) {
    setErrorString("Error creating X509_STORE object");
    return nullptr;
  }
  X509_STORE_set_verify_cb(store.get(), verifyCallback);

  std::string message;
  X509StackPtr anchors = getTrustedCerts();
  if (!anchors) {
    message = "Unable to find any trused certificates";
  } else {
    bool allAdded = true;
    while (sk_X509_num(anchors.get()) > 0) {
      // The store takes its own reference to each anchor.
      X509Ptr anchor{sk_X509_pop(anchors.get())};
      if (X509_STORE_add_cert(store.get(), anchor.get()) != 1) allAdded = false;
    }
    if (allAdded) {
      X509_STORE_set_flags(store.get(), X509_V_FLAG_IGNORE_CRITICAL);
      X509_STORE_set_purpose(store.get(), X509_PURPOSE_ANY);
    } else {
      message = "Unable to add trused certificate to store";
    }
  }
  setErrorString(message);
  return store;
}

X509StackPtr SignatureVerification::getTrustedCerts() {
  X509StackPtr anchors{sk_X509_new_null()};
  if (!anchors) return nullptr;
  if (X509Ptr root = getQuillorRoot(); root && sk_X509_push(anchors.get(), root.get()) > 0) {
    root.release();  // now owned by the stack
  }
  return anchors;
}

X509Ptr SignatureVerification::getQuillorRoot() {
  BioPtr bio{BIO_new_mem_buf(ZanthRootCert, static_cast<int>(ZanthRootCertLength))};
  if (!bio) return nullptr;
  X509Ptr root{d2i_X509_bio(bio.get(), nullptr)};
  ERR_clear_error();
  return root;
}

void SignatureVerification::sendNotificationOfResult(bool valid) {
  resultSent_ = true;
  platform::Notification notification;
  notification.name = SIGNATURE_VERIFY_NOTIFY_DONE;
  notification.object = this;
  notification.userInfo[SIGNATURE_KEY_IS_VALID] = valid;
  platform::NotificationQueue::defaultQueue().enqueueNotification(
      std::move(notification), platform::NotificationQueue::PostingStyle::WhenIdle);
}

// --- Signer identity ---

X509Ptr SignatureVerification::getSignerCertificate(PKCS7* pkcs7) {
  std::unique_ptr<STACK_OF(X509), SignerStackDeleter> signers{
      PKCS7_get0_signers(pkcs7, nullptr, 0)};
  if (!signers || sk_X509_num(signers.get()) <= 0) return nullptr;
  X509* first = sk_X509_value(signers.get(), 0);
  return first ? X509Ptr{X509_dup(first)} : nullptr;
}

bool SignatureVerification::verifySignerNames(X509* certificate) {
  X509_NAME* subject = X509_get_subject_name(certificate);
  if (!subject) return false;
  return std::all_of(std::begin(kExpectedSignerNames), std::end(kExpectedSignerNames),
                     [subject](const ExpectedName& expected) {
                       return verifySignerName(subject, expected.value, expected.nid);
                     });
}

bool SignatureVerification::verifySignerName(X509_NAME* name, const std::string& expected,
                                             int nid) {
  // Only the first entry with this attribute counts.
  const int index = X509_NAME_get_index_by_NID(name, nid, -1);
  if (index < 0) return false;
  ASN1_STRING* value = X509_NAME_ENTRY_get_data(X509_NAME_get_entry(name, index));
  unsigned char* utf8 = nullptr;
  const int length = ASN1_STRING_to_UTF8(&utf8, value);
  if (length < 0) return false;
  std::unique_ptr<unsigned char, OpenSslBufferDeleter> owner{utf8};
  // A value with an embedded NUL never equals the expected text (canonicallyEqual refuses it).
  return platform::canonicallyEqual(
      expected, std::string_view(reinterpret_cast<const char*>(utf8), static_cast<size_t>(length)));
}

bool SignatureVerification::containsX509v3Data(X509* certificate, const std::string& expected,
                                               int nid) {
  std::optional<std::string> rendering = extractX509v3Data(certificate, nid);
  // An empty text is found nowhere.
  return rendering && !expected.empty() && rendering->find(expected) != std::string::npos;
}

std::optional<std::string> SignatureVerification::extractX509v3Data(X509* certificate, int nid) {
  const int index = X509_get_ext_by_NID(certificate, nid, -1);
  if (index < 0) return std::nullopt;
  X509_EXTENSION* extension = X509_get_ext(certificate, index);
  if (!extension) return std::nullopt;
  BioPtr bio{BIO_new(BIO_s_mem())};
  if (!bio) return std::nullopt;
  if (X509V3_EXT_print(bio.get(), extension, kExtensionPrintFlags, 0) <= 0) {
    ERR_clear_error();
    return std::nullopt;
  }
  BUF_MEM* buffer = nullptr;
  BIO_get_mem_ptr(bio.get(), &buffer);
  if (!buffer) return std::nullopt;
  std::string text = buffer->length ? std::string(buffer->data, buffer->length) : std::string();
  if (!platform::isValidUtf8(text)) return std::nullopt;
  return text;
}

// --- Revocation lists ---

bool SignatureVerification::startFetchingCrlsOnSignature() {
  std::vector<std::string> addresses = gatherCrlAddresses();
  setErrorString("");

  if (addresses.empty()) {
    verifyDataAtPath(dataPath_.value_or(""), signaturePath_.value_or(""));
    return true;
  }
  if (!downloader_) {
    // Without a downloader the lists cannot be fetched: that is the fetch failing.
    handleDownloaderDone(false, {});
    return true;
  }
  downloader_->setUrlStrings(std::move(addresses));
  downloader_->setIgnoreFailures(true);
  downloader_->startDownload(CRL_DOWNLOAD_NOTIFY_DONE);
  return true;
}

std::vector<std::string> SignatureVerification::gatherCrlAddresses() {
  std::vector<std::string> addresses;
  addresses.reserve(10);
  const int count = sk_X509_num(certChain.get());
  for (int i = 0; i < count; ++i) {
    for (std::string& address : crlDistributionPointAddresses(sk_X509_value(certChain.get(), i))) {
      // An address named by several certificates is fetched once.
      if (std::find(addresses.begin(), addresses.end(), address) == addresses.end()) {
        addresses.push_back(std::move(address));
      }
    }
  }
  return addresses;
}

std::vector<std::string> SignatureVerification::crlDistributionPointAddresses(X509* certificate) {
  std::vector<std::string> addresses;
  const int index = X509_get_ext_by_NID(certificate, NID_crl_distribution_points, -1);
  if (index < 0) return addresses;
  std::unique_ptr<CRL_DIST_POINTS, DistPointsDeleter> points{
      static_cast<CRL_DIST_POINTS*>(X509V3_EXT_d2i(X509_get_ext(certificate, index)))};
  if (!points) {
    ERR_clear_error();
    return addresses;
  }
  // RFC 5280 4.2.1.13: the places to fetch a list are the full names of each distribution
  // point; a name relative to the CRL issuer and the cRLIssuer field are no addresses.
  for (int i = 0; i < sk_DIST_POINT_num(points.get()); ++i) {
    const DIST_POINT* point = sk_DIST_POINT_value(points.get(), i);
    if (!point || !point->distpoint || point->distpoint->type != 0) continue;
    const GENERAL_NAMES* names = point->distpoint->name.fullname;
    for (int j = 0; j < sk_GENERAL_NAME_num(names); ++j) {
      const GENERAL_NAME* name = sk_GENERAL_NAME_value(names, j);
      if (!name || name->type != GEN_URI) continue;
      const ASN1_IA5STRING* uri = name->d.uniformResourceIdentifier;
      addresses.emplace_back(reinterpret_cast<const char*>(ASN1_STRING_get0_data(uri)),
                             static_cast<size_t>(ASN1_STRING_length(uri)));
    }
  }
  return addresses;
}

void SignatureVerification::notifyDownloaderDone(const platform::Notification& notification) {
  // Only a verifier that handed over to the download and has not reported yet takes the lists.
  if (!startedFetchingCrls_ || resultSent_) return;
  const bool* cancelled = notification.value<bool>(DOWNLOADER_KEY_CANCELLED);
  if (cancelled && *cancelled) {
    handleDownloaderCancelled();
    return;
  }
  const bool* success = notification.value<bool>(DOWNLOADER_KEY_SUCCESS);
  const auto* files = notification.value<std::vector<std::string>>(DOWNLOADER_KEY_FILES);
  handleDownloaderDone(success && *success, files ? *files : std::vector<std::string>{});
}

void SignatureVerification::handleDownloaderCancelled() {
  // The person stopped the installation. Passing the lists over as unreachable would run the
  // installer unchecked against the person's will; the verification ends without a result of
  // its own instead (not valid, and cancelled).
  cancelled_ = true;
  setErrorString("The download of the revocation lists was cancelled");
  sendNotificationOfResult(false);
}

void SignatureVerification::handleDownloaderDone(bool success,
                                                 const std::vector<std::string>& files) {
  if (success && !files.empty()) {
    setCrlPaths(files);
  } else {
    DebugTrace("Warning: Unable to fetch certificate revocation files");
  }
  verifyDataAtPath(dataPath_.value_or(""), signaturePath_.value_or(""));
}

bool SignatureVerification::checkCertsAgainstCrls() {
  if (!crlPaths_ || crlPaths_->empty()) return true;

  bool usable = true;
  bool revoked = false;
  X509StorePtr store = makeStoreForPkcs7();
  if (!store) {
    DebugTrace("Warning: Unable to get store for CRL");
    usable = false;
  } else {
    // Each verification consults the list of its target only (no CRL_CHECK_ALL).
    X509_STORE_set_flags(store.get(), X509_V_FLAG_CRL_CHECK | X509_V_FLAG_IGNORE_CRITICAL);
  }
  for (const std::string& path : *crlPaths_) {
    if (!usable) break;
    X509CrlPtr crl = readCrlFromPath(path);
    if (!crl) continue;
    if (X509_STORE_add_crl(store.get(), crl.get()) != 1) {
      DebugTrace("Warning: Error adding CRL to store");
      usable = false;
    }
  }

  X509StackPtr oldChain = std::move(certChain);
  certChain.reset(sk_X509_new_null());
  if (!certChain) {
    DebugTrace("Warning: Unable to recreate certChain");
    usable = false;
  }

  install::logCertChainBegin();
  while (usable && !revoked) {
    // The signer comes off the end first; what remains are its issuers, the root last.
    X509Ptr certificate{sk_X509_pop(oldChain.get())};
    if (!certificate) break;
    if (hasCertificateBeenRevoked(certificate.get(), store.get(), oldChain.get())) {
      install::logCertRevocationFound();
      setErrorString(callbackError.value_or(""));
      revoked = true;
    }
  }
  if (revoked) {
    install::logCertChainFailure();
  } else {
    install::logCertChainSuccess();
  }

  oldChain.reset();
  certChain.reset(sk_X509_new_null());
  if (!certChain) DebugTrace("Warning: Unable to recreate certChain");
  ERR_clear_error();
  return !revoked;
}

bool SignatureVerification::hasCertificateBeenRevoked(X509* certificate, X509_STORE* store,
                                                      stack_st_X509* chain) {
  X509StoreCtxPtr context{X509_STORE_CTX_new()};
  if (!context) {
    DebugTrace("Warning: Unable to create X509_STORE_CTX object for CRL checks");
    return false;
  }
  if (X509_STORE_CTX_init(context.get(), store, certificate, chain) != 1) {
    DebugTrace("Warning: Unable to initialize CRL verification context");
    ERR_clear_error();
    return false;
  }
  // The verdict is this verification's first error, as verifyCallback records it.
  callbackErrorNumber = 0;
  if (X509_verify_cert(context.get()) == 1) return false;
  ERR_clear_error();
  if (callbackErrorNumber == X509_V_ERR_CERT_REVOKED) return true;
  // No list from the issuer, a list out of its validity period, a chain error: passed over.
  DebugTrace("Warning: Ignoring failed CRL check: %s",
             callbackError ? callbackError->c_str() : "(null)");
  return false;
}

X509CrlPtr SignatureVerification::readCrlFromPath(const std::string& path) {
  BioPtr bio{BIO_new_file(path.c_str(), "rb")};
  if (!bio) {
    DebugTrace("Warning: Unable to create BIO for CRL at %s", path.c_str());
    ERR_clear_error();
    return nullptr;
  }
  X509CrlPtr crl{d2i_X509_CRL_bio(bio.get(), nullptr)};
  if (!crl && BIO_reset(bio.get()) == 0) {
    crl.reset(PEM_read_bio_X509_CRL(bio.get(), nullptr, noPassword, nullptr));
  }
  if (!crl) DebugTrace("Warning: Unable to parse CRL at %s", path.c_str());
  ERR_clear_error();
  return crl;
}

X509Ptr SignatureVerification::readCertificateFromPath(const std::string& path) {
  BioPtr bio{BIO_new_file(path.c_str(), "rb")};
  if (!bio) {
    setErrorString("Unable to create BIO for " + path);
    ERR_clear_error();
    return nullptr;
  }
  X509Ptr certificate{d2i_X509_bio(bio.get(), nullptr)};
  if (!certificate && BIO_reset(bio.get()) == 0) {
    certificate.reset(PEM_read_bio_X509(bio.get(), nullptr, noPassword, nullptr));
  }
  if (!certificate) setErrorString("Unable to parse certificate from " + path);
  ERR_clear_error();
  return certificate;
}
