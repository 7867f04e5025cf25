#include "platform/curl/UrlErrors.h"

#include <utility>

namespace platform {

namespace {

// description followed by curl's own words for code, so a log shows what curl saw.
std::string withCurlDetail(const char* description, CURLcode code) {
  return std::string(description) + " (" + curl_easy_strerror(code) + ")";
}

}  // namespace

Error urlError(long code, std::string description, const std::string& url) {
  return Error{kUrlErrorDomain, code, std::move(description), url};
}

Error errorForHttpStatus(long status, const std::string& url) {
  if (status == 404 || status == 410) {
    return urlError(url_error::kFileDoesNotExist, "The requested URL was not found on this server.",
                    url);
  }
  if (status == 401 || status == 407) {
    return urlError(url_error::kUserAuthenticationRequired, "User authentication required.", url);
  }
  return urlError(url_error::kBadServerResponse,
                  "The server returned an error (HTTP status " + std::to_string(status) + ").",
                  url);
}

Error errorForCurlCode(CURLcode code, const std::string& url) {
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return urlError(url_error::kCannotFindHost,
                      "A server with the specified hostname could not be found.", url);
    case CURLE_COULDNT_CONNECT:
      return urlError(url_error::kCannotConnectToHost, "Could not connect to the server.", url);
    case CURLE_OPERATION_TIMEDOUT:
      return urlError(url_error::kTimedOut, "The request timed out.", url);
    case CURLE_UNSUPPORTED_PROTOCOL:
      return urlError(url_error::kUnsupportedUrl, "unsupported URL", url);
    case CURLE_URL_MALFORMAT:
      return urlError(url_error::kBadUrl, "bad URL", url);
    case CURLE_FILE_COULDNT_READ_FILE:
      // A local mirror without the file: as the server's 404 would be.
      return errorForHttpStatus(404, url);
    case CURLE_TOO_MANY_REDIRECTS:
      return urlError(url_error::kHttpTooManyRedirects, "too many HTTP redirects", url);
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
    case CURLE_BAD_CONTENT_ENCODING:
      return urlError(url_error::kBadServerResponse, "bad server response", url);
    case CURLE_WRITE_ERROR:
      // Our own callbacks stopped the transfer. They record why, and that reason is reported
      // first; failing that, the bytes could not be saved.
      return urlError(url_error::kCannotWriteToFile, "cannot write file", url);
    // The server's certificate was judged and refused: untrusted, expired, revoked, issued for
    // another name (OpenSSL's chain check and curl's host-name check both end here), or not
    // the key or issuer required of it.
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_INVALIDCERTSTATUS:
      return urlError(url_error::kServerCertificateUntrusted,
                      withCurlDetail("The certificate for this server is invalid.", code), url);
    // No secure connection, yet no verdict on the server's certificate: the handshake failed
    // (a server that does not speak TLS, no common cipher or version), or the local side could
    // not take part (unreadable trust store or revocation list, our own client certificate,
    // the crypto engine).
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CLIENTCERT:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_USE_SSL_FAILED:
      return urlError(url_error::kSecureConnectionFailed,
                      withCurlDetail("An SSL error has occurred and a secure connection to the "
                                     "server cannot be made.",
                                     code),
                      url);
    default:
      // Partial bodies, resets, empty replies: the connection did not deliver the resource.
      return urlError(url_error::kNetworkConnectionLost,
                      withCurlDetail("The network connection was lost.", code), url);
  }
}

}  // namespace platform
