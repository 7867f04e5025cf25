// SignatureVerification: the two passes over a file and its signature, the detached-signature
// check of the first pass (reading the PKCS#7, the trust store, verifying over the data), the
// report of the result, and the process-wide state that verifyCallback collects.
// The signer's identity is checked in SignerIdentity.cpp, revocation in RevocationCheck.cpp.
#include "signature/SignatureVerification.h"

#include <openssl/bio.h>
#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/objects.h>
#include <openssl/pkcs7.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>
#include <openssl/x509v3.h>

#include "download/DownloaderNotifications.h"
#include "libinstall/InstallLogMsgs.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationQueue.h"
#include "signature/ZanthRootCert.h"

using signature::BioPtr;
using signature::Pkcs7Ptr;
using signature::X509Ptr;
using signature::X509StackPtr;
using signature::X509StorePtr;

// Made by the first verifier, not by a static initializer: no libcrypto call runs before main,
// and a run that verifies nothing makes none.
signature::X509StackPtr certChain;
std::optional<std::string> callbackError;
int callbackErrorNumber = 0;

namespace {

// The private object identifier the extended key usage of the publisher's signing certificate
// must hold (its subject names are checked in SignerIdentity.cpp).
constexpr const char* kSignerUsageIdentifier = "1.2.840.271093.1.1.12";
constexpr const char* kSignatureName = "Detached";
// A detached signature is a few kilobytes. A larger file is refused before it is parsed: a DER
// reader takes in everything a header announces, so a hostile file would be held in memory whole.
constexpr int kMaxSignatureBytes = 1024 * 1024;
// PKCS7_verify reads the signed data 4 KiB at a time; straight from the file that is one system
// call per 4 KiB (65,536 for a 256 MiB installer). Through this buffer it is one per MiB.
constexpr int kDataReadBufferSize = 1 << 20;

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

// The file open as descriptor (not owned), from its start; null when it cannot be read from
// there.
BioPtr readDescriptorFromStart(int descriptor) {
  if (descriptor < 0) return nullptr;
  BioPtr file{BIO_new_fd(descriptor, BIO_NOCLOSE)};
  // A seek on a descriptor BIO is the descriptor's own: it answers the new offset.
  if (!file || BIO_seek(file.get(), 0) != 0) return nullptr;
  return file;
}

// The data, read through descriptor when there is one and else from the file at path, behind a
// read buffer of kDataReadBufferSize bytes (without it when no buffer can be made); null when
// the file cannot be opened.
BioPtr openDataForReading(const std::optional<std::string>& path,
                          const std::optional<int>& descriptor) {
  BioPtr file = descriptor ? readDescriptorFromStart(*descriptor) : openFileForReading(path);
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
  } else if (data = openDataForReading(dataPath_, dataDescriptor_); !data) {
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
    (void)root.release();  // now owned by the stack
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
