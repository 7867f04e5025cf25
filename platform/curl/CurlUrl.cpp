#include "platform/curl/CurlUrl.h"

#include <curl/curl.h>
#include <glib.h>

#include "platform/curl/CurlHandles.h"

namespace platform {

bool isHttpUrl(const std::string& url) {
  CurlUrlPtr handle(curl_url());
  if (!handle || curl_url_set(handle.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) {
    return false;
  }
  char* rawScheme = nullptr;
  if (curl_url_get(handle.get(), CURLUPART_SCHEME, &rawScheme, 0) != CURLUE_OK) return false;
  CurlStringPtr scheme(rawScheme);
  return g_ascii_strcasecmp(scheme.get(), "http") == 0 ||
         g_ascii_strcasecmp(scheme.get(), "https") == 0;
}

std::string urlPath(const std::string& url) {
  CurlUrlPtr handle(curl_url());
  if (!handle || curl_url_set(handle.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) return {};
  char* rawPath = nullptr;
  if (curl_url_get(handle.get(), CURLUPART_PATH, &rawPath, 0) != CURLUE_OK) return {};
  CurlStringPtr text(rawPath);
  return text.get();
}

}  // namespace platform
