// The detached signature as the verifier meets it: a file of any bytes read as one DER PKCS#7
// structure, its signer found and checked for the publisher's names and usage; a signature that
// passes is verified over the fixture payload against the (fixture) root, and the revocation-list
// addresses of the verified chain are gathered.
#include <openssl/err.h>
#include <openssl/x509.h>

#include <string>

#include "fuzz/FuzzSupport.h"
#include "signature/SignatureVerification.h"

namespace {

std::string sSignaturePath;
std::string sPayloadPath;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  sSignaturePath = fuzz::scratchFolder() + "/signature.p7";
  // The data the fixture's signatures sign.
  sPayloadPath = fuzz::scratchFolder() + "/payload.bin";
  fuzz::writeFile(sPayloadPath, fuzz::readFile(ZANTH_FIXTURE_PKI_DIR "/payload.bin"));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::writeFile(sSignaturePath, data, size);

  SignatureVerification verifier;
  verifier.setSignaturePath(sSignaturePath);
  verifier.setDataPath(sPayloadPath);
  signature::Pkcs7Ptr pkcs7 = verifier.readPkcs7();
  // A rejected signature always says why; an accepted one has nothing to say.
  FUZZ_CHECK(!pkcs7 == !verifier.errorString().empty());
  if (!pkcs7) return 0;

  const bool valid = verifier.verifyDetachedSignature(pkcs7.get());
  FUZZ_CHECK(valid == verifier.errorString().empty());
  if (valid) {
    const std::vector<std::string> addresses = SignatureVerification::gatherCrlAddresses();
    for (std::size_t i = 0; i < addresses.size(); ++i) {
      for (std::size_t j = i + 1; j < addresses.size(); ++j)
        FUZZ_CHECK(addresses[i] != addresses[j]);
    }
  }
  certChain.reset(sk_X509_new_null());
  // The verifier clears libcrypto's error queue on every path.
  FUZZ_CHECK(ERR_peek_error() == 0);
  return 0;
}
