#include "platform/curl/ResponseHeaders.h"

#include <string_view>

#include "platform/SuggestedFilename.h"

namespace platform {

namespace {

// The first value of the named header of the latest response; empty when absent.
std::string headerValue(CURL* easy, const char* name) {
  // Request -1 is the latest request; CURLH_HEADER leaves out 1xx answers, CONNECT and trailers.
  curl_header* header = nullptr;
  if (curl_easy_header(easy, name, 0, CURLH_HEADER, -1, &header) != CURLHE_OK) return {};
  return header->value;
}

}  // namespace

ResponseHeaders readResponseHeaders(CURL* easy) {
  ResponseHeaders headers;
  curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &headers.status);
  const std::string type = headerValue(easy, "Content-Type");
  headers.mimeType.assign(trimmed(std::string_view(type).substr(0, type.find(';'))));
  headers.contentDisposition = headerValue(easy, "Content-Disposition");
  headers.hasLocation = !headerValue(easy, "Location").empty();
  // A redirect's body is dropped, so no length is announced for it.
  if (headers.isRedirect()) return headers;
  curl_off_t length = -1;
  if (curl_easy_getinfo(easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK) {
    headers.contentLength = length;
  }
  return headers;
}

std::optional<std::string> redirectUrl(CURL* easy) {
  char* location = nullptr;
  curl_easy_getinfo(easy, CURLINFO_REDIRECT_URL, &location);
  if (!location) return std::nullopt;
  return std::string(location);
}

}  // namespace platform
