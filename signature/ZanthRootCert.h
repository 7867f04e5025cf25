#pragma once

#include <cstddef>

// The DER encoding of the built-in root certificate, the only trust anchor of a verification.
// The bytes live in an object file of their own, assembled from a DER file at build time, so a
// program links either the product's root or a test fixture's root.
extern const unsigned char ZanthRootCert[] __asm__("zanth_root_cert_begin");
extern const std::size_t ZanthRootCertLength;
