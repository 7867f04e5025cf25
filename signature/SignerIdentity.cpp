// SignatureVerification, signer identity: who signed. The signer's certificate is taken from
// the signature, its subject names are compared with the publisher's, and its extensions are
// rendered as text to find the publisher's usage identifier.
#include <openssl/asn1.h>
#include <openssl/bio.h>
#include <openssl/buffer.h>
#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/objects.h>
#include <openssl/pkcs7.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <algorithm>

#include "platform/UnicodeText.h"
#include "signature/SignatureVerification.h"

using signature::BioPtr;
using signature::X509Ptr;

namespace {

// The publisher's signing certificate: its subject names, compared in this order.
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
// Rendering flag handed to X509V3_EXT_print; it selects nothing beyond the default rendering.
constexpr unsigned long kExtensionPrintFlags = 4;

struct SignerStackDeleter {
  // The stack of PKCS7_get0_signers holds borrowed certificates: free the stack alone.
  void operator()(STACK_OF(X509) * stack) const { sk_X509_free(stack); }
};
struct OpenSslBufferDeleter {
  void operator()(unsigned char* buffer) const { OPENSSL_free(buffer); }
};

}  // namespace

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
