#include "signature/OpenSslTypes.h"

#include <openssl/bio.h>
#include <openssl/pkcs7.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

namespace signature {

void OpenSslDeleter::operator()(PKCS7* p) const { PKCS7_free(p); }
void OpenSslDeleter::operator()(X509* p) const { X509_free(p); }
void OpenSslDeleter::operator()(X509_CRL* p) const { X509_CRL_free(p); }
void OpenSslDeleter::operator()(X509_STORE* p) const { X509_STORE_free(p); }
void OpenSslDeleter::operator()(X509_STORE_CTX* p) const { X509_STORE_CTX_free(p); }
void OpenSslDeleter::operator()(stack_st_X509* p) const { sk_X509_pop_free(p, X509_free); }
void OpenSslDeleter::operator()(bio_st* p) const { BIO_free_all(p); }

}  // namespace signature
