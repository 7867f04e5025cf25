// SignatureVerification, the revocation pass: the revocation-list addresses gathered from the
// verified chain, the hand-over to the downloader and back, and the check of every certificate
// of the chain against the lists it fetched; with the readers of list and certificate files.
#include <openssl/asn1.h>
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/objects.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <optional>

#include "download/Downloader.h"
#include "download/DownloaderNotifications.h"
#include "libinstall/DebugTrace.h"
#include "libinstall/InstallLogMsgs.h"
#include "signature/SignatureVerification.h"

using signature::BioPtr;
using signature::X509CrlPtr;
using signature::X509Ptr;
using signature::X509StackPtr;
using signature::X509StoreCtxPtr;
using signature::X509StorePtr;

namespace {

struct DistPointsDeleter {
  void operator()(CRL_DIST_POINTS* points) const { CRL_DIST_POINTS_free(points); }
};

// A PEM password callback that supplies no password, so that an encrypted PEM block fails
// instead of prompting on the terminal.
int noPassword(char*, int, int, void*) { return 0; }

// The whole content of the file at path when it holds at most limit bytes; none when it holds
// more or cannot be read. Reads no further than the limit, whatever the file's size.
std::optional<std::string> readBounded(const std::string& path, std::uint64_t limit) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes;
  char buffer[64 * 1024];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    const auto count = static_cast<std::size_t>(in.gcount());
    if (bytes.size() + count > limit) return std::nullopt;
    bytes.append(buffer, count);
  }
  if (in.bad()) return std::nullopt;
  return bytes;
}

}  // namespace

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
  // A list larger than any list the downloader accepts is not read at all: the readers below
  // would take it into memory whole.
  const std::optional<std::string> bytes = readBounded(path, DOWNLOADER_MAX_CRL_BYTES);
  if (!bytes) {
    DebugTrace("Warning: Unable to read CRL at %s", path.c_str());
    return nullptr;
  }
  const auto* der = reinterpret_cast<const unsigned char*>(bytes->data());
  X509CrlPtr crl{d2i_X509_CRL(nullptr, &der, static_cast<long>(bytes->size()))};
  if (!crl) {
    BioPtr bio{BIO_new_mem_buf(bytes->data(), static_cast<int>(bytes->size()))};
    if (bio) crl.reset(PEM_read_bio_X509_CRL(bio.get(), nullptr, noPassword, nullptr));
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
