#include "platform/curl/TlsTrust.h"

namespace platform {

bool setTlsTrust(CURL* easy) {
  const bool verify = curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L) == CURLE_OK &&
                      curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L) == CURLE_OK &&
                      curl_easy_setopt(easy, CURLOPT_PROXY_SSL_VERIFYPEER, 1L) == CURLE_OK &&
                      curl_easy_setopt(easy, CURLOPT_PROXY_SSL_VERIFYHOST, 2L) == CURLE_OK;
  if (!verify) return false;
  const char* bundle = tlsCaBundle();
  if (!bundle || !*bundle) return true;
  // The named file replaces the store: libcurl would otherwise also search the folder of
  // certificates it was built with, and trust more than the build asked for.
  return curl_easy_setopt(easy, CURLOPT_CAINFO, bundle) == CURLE_OK &&
         curl_easy_setopt(easy, CURLOPT_CAPATH, nullptr) == CURLE_OK &&
         curl_easy_setopt(easy, CURLOPT_PROXY_CAINFO, bundle) == CURLE_OK &&
         curl_easy_setopt(easy, CURLOPT_PROXY_CAPATH, nullptr) == CURLE_OK;
}

}  // namespace platform
