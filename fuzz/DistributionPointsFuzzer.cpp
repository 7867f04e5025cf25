// A certificate of a signature's chain, as any bytes of DER: its revocation-list addresses are
// gathered, and it is checked as a signer would be (subject names, extended key usage).
#include <openssl/err.h>
#include <openssl/objects.h>
#include <openssl/x509.h>

#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "signature/SignatureVerification.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const unsigned char* bytes = data;
  signature::X509Ptr certificate{d2i_X509(nullptr, &bytes, static_cast<long>(size))};
  ERR_clear_error();
  if (!certificate) return 0;

  const std::vector<std::string> named =
      SignatureVerification::crlDistributionPointAddresses(certificate.get());

  // Twice in the chain: every address is still gathered once.
  certChain.reset(sk_X509_new_null());
  for (int i = 0; i < 2; ++i) {
    FUZZ_CHECK(sk_X509_push(certChain.get(), X509_dup(certificate.get())) > 0);
  }
  const std::vector<std::string> gathered = SignatureVerification::gatherCrlAddresses();
  FUZZ_CHECK(gathered.size() <= named.size());
  for (std::size_t i = 0; i < gathered.size(); ++i) {
    for (std::size_t j = i + 1; j < gathered.size(); ++j) FUZZ_CHECK(gathered[i] != gathered[j]);
  }
  certChain.reset(sk_X509_new_null());

  (void)SignatureVerification::verifySignerNames(certificate.get());
  (void)SignatureVerification::containsX509v3Data(certificate.get(), "1.2.840.271093.1.1.12",
                                                  NID_ext_key_usage);
  FUZZ_CHECK(ERR_peek_error() == 0);
  return 0;
}
