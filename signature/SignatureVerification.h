#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Notification.h"
#include "signature/OpenSslTypes.h"
#include "signature/SignatureNotifications.h"

class Downloader;

// Decides whether a downloaded file is authentic: its detached PKCS#7 signature (DER) must
// parse, name the expected publisher, verify over the file with a chain that ends at the
// built-in root, and no certificate of that chain may be listed as revoked by the revocation
// lists named in the chain that could be fetched.
//
// The work runs in two passes on the main loop, separated by the download of the revocation
// lists; the outcome arrives once per verification as SIGNATURE_VERIFY_NOTIFY_DONE, posted when
// the loop is idle. One verifier serves one verification, and a process runs one verification
// at a time (the chain collected by verifyCallback is process-wide).
class SignatureVerification {
 public:
  // Loads libcrypto's algorithms and error texts, makes certChain if there is none yet, and
  // observes CRL_DOWNLOAD_NOTIFY_DONE from any sender.
  SignatureVerification();
  // Stops observing. Owned fields are released; the downloader is not (see setDownloader).
  ~SignatureVerification();
  SignatureVerification(const SignatureVerification&) = delete;
  SignatureVerification& operator=(const SignatureVerification&) = delete;

  // Runs one pass over the data file and its detached signature: the first pass checks the
  // signer and the signature and hands over to the revocation-list download; the second pass
  // (once that download is done) checks the signer again and the chain against the lists.
  // The result is never delivered inside this call. When a data descriptor is set (see
  // setDataDescriptor), the data is read through it and dataPath only names it in messages.
  void verifyDataAtPath(const std::string& dataPath, const std::string& signaturePath);

  // The first non-empty failure message of this verification; "" while there is none.
  const std::string& errorString() const { return errorString_; }
  // Records message unless a non-empty message is already recorded.
  void setErrorString(const std::string& message);

  void setDataPath(const std::string& path) { dataPath_ = path; }
  // The file to read the data through instead of opening dataPath: both passes read it from
  // its start, whatever the path names meanwhile. Not owned: it must stay open until the result
  // has arrived. A negative descriptor reads as a file that cannot be opened.
  void setDataDescriptor(std::optional<int> descriptor) { dataDescriptor_ = descriptor; }
  void setSignaturePath(const std::string& path) { signaturePath_ = path; }
  void setCrlPaths(std::optional<std::vector<std::string>> paths) { crlPaths_ = std::move(paths); }
  // The downloader that fetches the revocation lists. Not owned: it must outlive the
  // verification (the program's one downloader lives until the process ends).
  void setDownloader(Downloader* downloader) { downloader_ = downloader; }

  const std::optional<std::string>& dataPath() const { return dataPath_; }
  const std::optional<std::string>& signaturePath() const { return signaturePath_; }
  const std::optional<std::vector<std::string>>& crlPaths() const { return crlPaths_; }
  Downloader* downloader() const { return downloader_; }
  bool startedFetchingCrls() const { return startedFetchingCrls_; }

  // --- Reading and verifying the signature ---

  // Reads signaturePath as one DER PKCS#7 structure and checks its signer's identity. Null on
  // any failure, with the reason recorded; a file above 1 MiB is refused unparsed.
  [[nodiscard]] signature::Pkcs7Ptr readPkcs7();
  // Verifies pkcs7 over the bytes of dataPath (or of the data descriptor) against the trust store,
  // the signer's chain included. Records the reason on failure. Collects the verified chain in
  // certChain.
  [[nodiscard]] bool verifyDetachedSignature(PKCS7* pkcs7);
  // A store trusting the built-in root alone, with verifyCallback, purpose "any" and unhandled
  // critical extensions ignored. Null only when no store can be made; a store without anchors
  // is returned (with the reason recorded) when the root cannot be added.
  [[nodiscard]] signature::X509StorePtr makeStoreForPkcs7();
  // The trust anchors: a new stack holding the built-in root (empty when it does not parse).
  [[nodiscard]] signature::X509StackPtr getTrustedCerts();
  // The built-in root parsed from ZanthRootCert, or null.
  [[nodiscard]] static signature::X509Ptr getQuillorRoot();
  // Enqueues SIGNATURE_VERIFY_NOTIFY_DONE with the result, to be posted when the loop is idle.
  void sendNotificationOfResult(bool valid);

  // --- Signer identity ---

  // A copy of the first signer's certificate, found among the certificates the signature
  // carries; null when there is none.
  [[nodiscard]] static signature::X509Ptr getSignerCertificate(PKCS7* pkcs7);
  // True when the subject's CN, C, O and OU (checked in that order) are the publisher's.
  [[nodiscard]] static bool verifySignerNames(X509* certificate);
  // True when the first entry of name with nid equals expected exactly (case and spaces count;
  // canonically equivalent Unicode counts as equal).
  [[nodiscard]] static bool verifySignerName(X509_NAME* name, const std::string& expected, int nid);
  // True when the text rendering of the certificate's extension nid contains expected.
  [[nodiscard]] static bool containsX509v3Data(X509* certificate, const std::string& expected,
                                               int nid);
  // The text rendering of the certificate's first extension with nid, or none when it is
  // missing, cannot be printed or is not UTF-8.
  [[nodiscard]] static std::optional<std::string> extractX509v3Data(X509* certificate, int nid);

  // --- Revocation lists ---

  // Gathers the CRL addresses of certChain and starts their download, or runs the second pass
  // at once when there are none. Always true: the revocation step has taken over.
  bool startFetchingCrlsOnSignature();
  // The distinct CRL addresses named by the certificates of certChain, first certificate first.
  [[nodiscard]] static std::vector<std::string> gatherCrlAddresses();
  // Every URI-type general name of every distribution point of the certificate's first CRL
  // distribution points extension, as stored, in the extension's order.
  [[nodiscard]] static std::vector<std::string> crlDistributionPointAddresses(X509* certificate);
  // Handler of CRL_DOWNLOAD_NOTIFY_DONE. Ignored unless this verifier is waiting for its lists.
  void notifyDownloaderDone(const platform::Notification& notification);
  // Keeps files as crlPaths when success and files are non-empty, then runs the second pass.
  void handleDownloaderDone(bool success, const std::vector<std::string>& files);
  // The revocation-list download was cancelled: reports "not valid" at once, without a second
  // pass, and marks the verification cancelled.
  void handleDownloaderCancelled();
  // Whether the verification ended because its revocation-list download was cancelled.
  bool cancelled() const { return cancelled_; }
  // Tests every certificate of certChain, signer first, against the lists in crlPaths and
  // empties certChain. False only when a certificate was found revoked.
  [[nodiscard]] bool checkCertsAgainstCrls();
  // True when verifying certificate with chain as untrusted certificates fails with "revoked".
  [[nodiscard]] bool hasCertificateBeenRevoked(X509* certificate, X509_STORE* store,
                                               stack_st_X509* chain);
  // Reads a CRL file, DER or else PEM; null when it cannot be opened or parsed.
  [[nodiscard]] static signature::X509CrlPtr readCrlFromPath(const std::string& path);
  // Reads a certificate file, DER or else PEM; null (with the reason recorded) on failure.
  [[nodiscard]] signature::X509Ptr readCertificateFromPath(const std::string& path);

 private:
  std::string errorString_;
  bool startedFetchingCrls_ = false;
  std::optional<std::string> dataPath_;
  std::optional<int> dataDescriptor_;
  std::optional<std::string> signaturePath_;
  std::optional<std::vector<std::string>> crlPaths_;
  Downloader* downloader_ = nullptr;
  // Set once the result has been enqueued; a verification reports once.
  bool resultSent_ = false;
  bool cancelled_ = false;
};

// Process-wide verification state, shared by every verifier (one verification at a time).

// Copies of the certificates verifyCallback saw verified, root first. Made by the first verifier
// (null before it); never null after that.
extern signature::X509StackPtr certChain;
// libcrypto's text for the last verification error reported to verifyCallback; none before.
extern std::optional<std::string> callbackError;
// libcrypto's number for that error; 0 before the first.
extern int callbackErrorNumber;

// The verify callback of every store made by makeStoreForPkcs7: records each verified
// certificate in certChain and each error in callbackError/callbackErrorNumber, and returns ok
// unchanged, so the first error ends a verification.
int verifyCallback(int ok, X509_STORE_CTX* context) noexcept;
