// libcrypto, loaded when the program first calls into it.
//
// The program links this file in place of libcrypto: every libcrypto function the verifier uses
// is defined here with libcrypto's own prototype (the compiler checks each one against
// OpenSSL's headers) and forwards to the function of the same name in libcrypto.so.3, which is
// opened on the first call. Every road but the download never verifies anything, and loading
// libcrypto (some 21,000 relocations) was a third of the start-up to the launch decision. On the
// download road libcurl brings the same libcrypto.so.3 along; the process has one copy.
//
// A function added to the verifier and missing here still links, directly against libcrypto,
// which then loads at start-up again: `readelf -d` on the program must not list libcrypto.
#include <dlfcn.h>
#include <openssl/asn1.h>
#include <openssl/bio.h>
#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/objects.h>
#include <openssl/pem.h>
#include <openssl/pkcs7.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <cstdlib>

// X(return type, name, parameters, arguments)
// clang-format off
#define ZANTH_LIBCRYPTO_FUNCTIONS(X)                                                              \
  X(const unsigned char*, ASN1_STRING_get0_data, (const ASN1_STRING* x), (x))                     \
  X(int, ASN1_STRING_length, (const ASN1_STRING* x), (x))                                         \
  X(int, ASN1_STRING_to_UTF8, (unsigned char** out, const ASN1_STRING* in), (out, in))            \
  X(long, BIO_ctrl, (BIO * bp, int cmd, long larg, void* parg), (bp, cmd, larg, parg))            \
  X(const BIO_METHOD*, BIO_f_buffer, (void), ())                                                  \
  X(long, BIO_int_ctrl, (BIO * bp, int cmd, long larg, int iarg), (bp, cmd, larg, iarg))          \
  X(BIO*, BIO_push, (BIO * b, BIO* append), (b, append))                                          \
  X(int, BIO_read, (BIO * b, void* data, int dlen), (b, data, dlen))                              \
  X(int, BIO_write, (BIO * b, const void* data, int dlen), (b, data, dlen))                       \
  X(void, BIO_free_all, (BIO * a), (a))                                                           \
  X(BIO*, BIO_new, (const BIO_METHOD* type), (type))                                              \
  X(BIO*, BIO_new_file, (const char* filename, const char* mode), (filename, mode))               \
  X(BIO*, BIO_new_mem_buf, (const void* buf, int len), (buf, len))                                \
  X(const BIO_METHOD*, BIO_s_mem, (void), ())                                                     \
  X(void, CRL_DIST_POINTS_free, (CRL_DIST_POINTS * a), (a))                                       \
  X(void, CRYPTO_free, (void* ptr, const char* file, int line), (ptr, file, line))                \
  X(void, ERR_clear_error, (void), ())                                                            \
  X(int, OBJ_obj2nid, (const ASN1_OBJECT* o), (o))                                                \
  X(int, OPENSSL_init_crypto, (uint64_t opts, const OPENSSL_INIT_SETTINGS* settings),             \
    (opts, settings))                                                                             \
  X(void, OPENSSL_sk_free, (OPENSSL_STACK * st), (st))                                            \
  X(OPENSSL_STACK*, OPENSSL_sk_new_null, (void), ())                                              \
  X(int, OPENSSL_sk_num, (const OPENSSL_STACK* st), (st))                                         \
  X(void*, OPENSSL_sk_pop, (OPENSSL_STACK * st), (st))                                            \
  X(void, OPENSSL_sk_pop_free, (OPENSSL_STACK * st, void (*func)(void*)), (st, func))             \
  X(int, OPENSSL_sk_push, (OPENSSL_STACK * st, const void* data), (st, data))                     \
  X(void*, OPENSSL_sk_value, (const OPENSSL_STACK* st, int i), (st, i))                           \
  X(X509*, PEM_read_bio_X509, (BIO * bp, X509** x, pem_password_cb* cb, void* u), (bp, x, cb, u)) \
  X(X509_CRL*, PEM_read_bio_X509_CRL, (BIO * bp, X509_CRL** x, pem_password_cb* cb, void* u),     \
    (bp, x, cb, u))                                                                               \
  X(void, PKCS7_free, (PKCS7 * a), (a))                                                           \
  X(STACK_OF(X509)*, PKCS7_get0_signers, (PKCS7 * p7, STACK_OF(X509) * certs, int flags),         \
    (p7, certs, flags))                                                                           \
  X(int, PKCS7_verify,                                                                            \
    (PKCS7 * p7, STACK_OF(X509) * certs, X509_STORE * store, BIO * indata, BIO * out, int flags), \
    (p7, certs, store, indata, out, flags))                                                       \
  X(void*, X509V3_EXT_d2i, (X509_EXTENSION * ext), (ext))                                         \
  X(int, X509V3_EXT_print, (BIO * out, X509_EXTENSION * ext, unsigned long flag, int indent),     \
    (out, ext, flag, indent))                                                                     \
  X(void, X509_CRL_free, (X509_CRL * a), (a))                                                     \
  X(ASN1_STRING*, X509_NAME_ENTRY_get_data, (const X509_NAME_ENTRY* ne), (ne))                    \
  X(X509_NAME_ENTRY*, X509_NAME_get_entry, (const X509_NAME* name, int loc), (name, loc))         \
  X(int, X509_NAME_get_index_by_NID, (const X509_NAME* name, int nid, int lastpos),               \
    (name, nid, lastpos))                                                                         \
  X(void, X509_STORE_CTX_free, (X509_STORE_CTX * ctx), (ctx))                                     \
  X(X509*, X509_STORE_CTX_get_current_cert, (const X509_STORE_CTX* ctx), (ctx))                  \
  X(int, X509_STORE_CTX_get_error, (const X509_STORE_CTX* ctx), (ctx))                            \
  X(int, X509_STORE_CTX_init,                                                                     \
    (X509_STORE_CTX * ctx, X509_STORE * store, X509 * target, STACK_OF(X509) * untrusted),        \
    (ctx, store, target, untrusted))                                                              \
  X(X509_STORE_CTX*, X509_STORE_CTX_new, (void), ())                                              \
  X(int, X509_STORE_add_cert, (X509_STORE * ctx, X509 * x), (ctx, x))                            \
  X(int, X509_STORE_add_crl, (X509_STORE * ctx, X509_CRL * x), (ctx, x))                         \
  X(void, X509_STORE_free, (X509_STORE * v), (v))                                                 \
  X(X509_STORE*, X509_STORE_new, (void), ())                                                      \
  X(int, X509_STORE_set_flags, (X509_STORE * ctx, unsigned long flags), (ctx, flags))            \
  X(int, X509_STORE_set_purpose, (X509_STORE * ctx, int purpose), (ctx, purpose))                \
  X(void, X509_STORE_set_verify_cb, (X509_STORE * ctx, X509_STORE_CTX_verify_cb verify_cb),      \
    (ctx, verify_cb))                                                                             \
  X(X509*, X509_dup, (const X509* a), (a))                                                        \
  X(void, X509_free, (X509 * a), (a))                                                             \
  X(X509_EXTENSION*, X509_get_ext, (const X509* x, int loc), (x, loc))                           \
  X(int, X509_get_ext_by_NID, (const X509* x, int nid, int lastpos), (x, nid, lastpos))          \
  X(X509_NAME*, X509_get_subject_name, (const X509* a), (a))                                      \
  X(int, X509_verify_cert, (X509_STORE_CTX * ctx), (ctx))                                         \
  X(const char*, X509_verify_cert_error_string, (long n), (n))                                    \
  X(PKCS7*, d2i_PKCS7_bio, (BIO * bp, PKCS7** p7), (bp, p7))                                      \
  X(X509_CRL*, d2i_X509_CRL_bio, (BIO * bp, X509_CRL** crl), (bp, crl))                           \
  X(X509*, d2i_X509_bio, (BIO * bp, X509** x509), (bp, x509))
// clang-format on

namespace {

constexpr const char* kLibcrypto = "libcrypto.so.3";

// The functions of libcrypto.so.3 this program calls.
struct Libcrypto {
#define ZANTH_POINTER(ret, name, params, args) ret(*name) params = nullptr;
  ZANTH_LIBCRYPTO_FUNCTIONS(ZANTH_POINTER)
#undef ZANTH_POINTER
};

// Ends the process as the dynamic loader would have had it been linked: without the library
// nothing can be verified, and no result could be trusted.
[[noreturn]] void missing(const char* what) {
  std::fprintf(stderr, "%s: %s\n", kLibcrypto, what);
  std::_Exit(127);
}

Libcrypto load() {
  void* handle = dlopen(kLibcrypto, RTLD_NOW | RTLD_LOCAL);
  if (!handle) missing(dlerror());
  Libcrypto functions;
#define ZANTH_RESOLVE(ret, name, params, args)                            \
  functions.name = reinterpret_cast<ret(*) params>(dlsym(handle, #name)); \
  if (!functions.name) missing(#name);
  ZANTH_LIBCRYPTO_FUNCTIONS(ZANTH_RESOLVE)
#undef ZANTH_RESOLVE
  return functions;
}

// Loaded on the first call from any of the forwarders (the program has one thread).
const Libcrypto& libcrypto() {
  static const Libcrypto sFunctions = load();
  return sFunctions;
}

}  // namespace

extern "C" {
#define ZANTH_FORWARD(ret, name, params, args) \
  ret name params { return libcrypto().name args; }
ZANTH_LIBCRYPTO_FUNCTIONS(ZANTH_FORWARD)
#undef ZANTH_FORWARD
}
