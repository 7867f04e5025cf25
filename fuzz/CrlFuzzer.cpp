// A revocation list as the verifier meets it after a download: a file of any bytes read as a
// DER CRL, else as PEM, added to the store of the fixture root, and the fixture's chain (signer,
// intermediate, root) checked against it.
//
// The first input byte chooses the form: even, the rest is the file as it stands (DER, or PEM
// text); odd, the rest is wrapped as a PEM block, so that mutations of the DER inside a PEM file
// reach the parser instead of breaking the Base64.
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "signature/SignatureVerification.h"

namespace {

std::string sCrlPath;
// The fixture chain, root first, as the verified chain holds it.
std::vector<signature::X509Ptr> sChain;

signature::X509Ptr readCertificate(const std::string& path) {
  const std::string der = fuzz::readFile(path);
  const auto* bytes = reinterpret_cast<const unsigned char*>(der.data());
  signature::X509Ptr certificate{d2i_X509(nullptr, &bytes, static_cast<long>(der.size()))};
  if (!certificate) std::abort();
  return certificate;
}

std::string pemBlock(const std::uint8_t* der, std::size_t size) {
  std::string pem = "-----BEGIN X509 CRL-----\n";
  // 48 bytes make one 64-character line.
  for (std::size_t offset = 0; offset < size; offset += 48) {
    const std::size_t length = std::min<std::size_t>(48, size - offset);
    unsigned char line[65];
    const int written = EVP_EncodeBlock(line, der + offset, static_cast<int>(length));
    pem.append(reinterpret_cast<const char*>(line), static_cast<std::size_t>(written));
    pem.push_back('\n');
  }
  return pem + "-----END X509 CRL-----\n";
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  sCrlPath = fuzz::scratchFolder() + "/list.crl";
  for (const char* name : {"root.der", "inter.der", "signer-good.der"}) {
    sChain.push_back(readCertificate(std::string(ZANTH_FIXTURE_PKI_DIR "/") + name));
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  if (data[0] % 2 == 0) {
    fuzz::writeFile(sCrlPath, data + 1, size - 1);
  } else {
    fuzz::writeFile(sCrlPath, pemBlock(data + 1, size - 1));
  }

  // The list on its own, as readCrlFromPath hands it out.
  signature::X509CrlPtr crl = SignatureVerification::readCrlFromPath(sCrlPath);
  FUZZ_CHECK(ERR_peek_error() == 0);
  if (!crl) return 0;

  // The second pass of a verification: the chain collected by the first, the list as fetched.
  SignatureVerification verifier;
  certChain.reset(sk_X509_new_null());
  for (const signature::X509Ptr& certificate : sChain) {
    FUZZ_CHECK(sk_X509_push(certChain.get(), X509_dup(certificate.get())) > 0);
  }
  verifier.setCrlPaths(std::vector<std::string>{sCrlPath});
  const bool passed = verifier.checkCertsAgainstCrls();
  // A list that revokes a certificate names the reason.
  FUZZ_CHECK(passed || !verifier.errorString().empty());
  FUZZ_CHECK(sk_X509_num(certChain.get()) == 0);
  FUZZ_CHECK(ERR_peek_error() == 0);
  return 0;
}
