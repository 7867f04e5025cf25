#pragma once

#include <memory>

// Owners for the libcrypto objects the verifier hands out. Only the struct names are declared
// here, so that code above this folder can hold these owners without seeing libcrypto's headers.

typedef struct pkcs7_st PKCS7;
typedef struct x509_st X509;
typedef struct X509_crl_st X509_CRL;
typedef struct X509_name_st X509_NAME;
typedef struct x509_store_st X509_STORE;
typedef struct x509_store_ctx_st X509_STORE_CTX;
struct stack_st_X509;
struct bio_st;

namespace signature {

// Frees a libcrypto object with its own free function; a stack of certificates is freed with
// every certificate it holds.
struct OpenSslDeleter {
  void operator()(PKCS7* p) const;
  void operator()(X509* p) const;
  void operator()(X509_CRL* p) const;
  void operator()(X509_STORE* p) const;
  void operator()(X509_STORE_CTX* p) const;
  void operator()(stack_st_X509* p) const;
  void operator()(bio_st* p) const;
};

using Pkcs7Ptr = std::unique_ptr<PKCS7, OpenSslDeleter>;
using X509Ptr = std::unique_ptr<X509, OpenSslDeleter>;
using X509CrlPtr = std::unique_ptr<X509_CRL, OpenSslDeleter>;
using X509StorePtr = std::unique_ptr<X509_STORE, OpenSslDeleter>;
using X509StoreCtxPtr = std::unique_ptr<X509_STORE_CTX, OpenSslDeleter>;
using X509StackPtr = std::unique_ptr<stack_st_X509, OpenSslDeleter>;
using BioPtr = std::unique_ptr<bio_st, OpenSslDeleter>;

}  // namespace signature
