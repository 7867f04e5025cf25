#include "platform/curl/ResponseHeaders.h"

#include <sys/stat.h>

#include <glib.h>

#include <cstdio>
#include <string_view>

#include "platform/SuggestedFilename.h"
#include "platform/UrlAddress.h"
#include "platform/curl/CurlHandles.h"

// A weak reference: the program still starts with a libcurl that lacks the function (the
// loader then leaves its address null), and reads the headers from HeaderLines there.
#pragma weak curl_easy_header

namespace platform {

bool HeaderLines::needed() { return &curl_easy_header == nullptr; }

void HeaderLines::add(std::string_view line) {
  if (line.rfind("HTTP/", 0) == 0) {
    fields_.clear();
    return;
  }
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos) return;  // the blank line, or not a field
  fields_.emplace_back(std::string(trimmed(line.substr(0, colon))),
                       std::string(trimmed(line.substr(colon + 1))));
}

std::string HeaderLines::value(std::string_view name) const {
  for (const auto& [field, value] : fields_) {
    if (field.size() == name.size() &&
        g_ascii_strncasecmp(field.data(), name.data(), name.size()) == 0) {
      return value;
    }
  }
  return {};
}

namespace {

// The first value of the named header of the latest response; empty when absent.
std::string headerValue(CURL* easy, const HeaderLines& lines, const char* name) {
  if (HeaderLines::needed()) return lines.value(name);
  // Request -1 is the latest request; CURLH_HEADER leaves out 1xx answers, CONNECT and trailers.
  curl_header* header = nullptr;
  if (curl_easy_header(easy, name, 0, CURLH_HEADER, -1, &header) != CURLHE_OK) return {};
  return header->value;
}

// The first byte's position in "bytes first-last/length" (RFC 9110 14.4); none for anything else.
std::optional<std::int64_t> rangeStart(const std::string& contentRange) {
  long long first = -1, last = -1;
  char slash = 0;
  if (std::sscanf(contentRange.c_str(), "bytes %lld-%lld%c", &first, &last, &slash) != 3 ||
      slash != '/' || first < 0 || last < first) {
    return std::nullopt;
  }
  return first;
}

}  // namespace

ResponseHeaders readResponseHeaders(CURL* easy, const HeaderLines& lines) {
  ResponseHeaders headers;
  curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &headers.status);
  const std::string type = headerValue(easy, lines, "Content-Type");
  headers.mimeType.assign(trimmed(std::string_view(type).substr(0, type.find(';'))));
  headers.contentDisposition = headerValue(easy, lines, "Content-Disposition");
  headers.hasLocation = !headerValue(easy, lines, "Location").empty();
  // A redirect's body is dropped, so no length is announced for it.
  if (headers.isRedirect()) return headers;
  // A weak ETag cannot be named in If-Range; the date then serves.
  headers.validator = headerValue(easy, lines, "ETag");
  if (headers.validator.rfind("W/", 0) == 0) headers.validator.clear();
  if (headers.validator.empty()) headers.validator = headerValue(easy, lines, "Last-Modified");
  headers.refusesRanges =
      g_ascii_strcasecmp(headerValue(easy, lines, "Accept-Ranges").c_str(), "none") == 0;
  if (headers.status == 206)
    headers.rangeStart = rangeStart(headerValue(easy, lines, "Content-Range"));
  curl_off_t length = -1;
  if (curl_easy_getinfo(easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK) {
    headers.contentLength = length;
  }
  return headers;
}

ResponseHeaders readFileAnswer(const std::string& url) {
  ResponseHeaders headers;
  headers.status = 404;
  // Not asked of curl: libcurl versions differ in whether a size-only read reports the size.
  struct stat st;
  const std::optional<std::string> path = localPathOfFileUrl(url);
  if (path && ::stat(path->c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    headers.status = 200;
    headers.contentLength = st.st_size;
  }
  return headers;
}

std::optional<std::string> redirectUrl(CURL* easy, const HeaderLines& lines,
                                       const std::string& requestUrl) {
  // Resolved here rather than asked of curl: curl works the address out only for an attempt
  // that ran to its end, and a redirect's attempt is ended once its headers are in.
  const std::string location = headerValue(easy, lines, "Location");
  CurlUrlPtr url(curl_url());
  if (location.empty() || !url ||
      curl_url_set(url.get(), CURLUPART_URL, requestUrl.c_str(), 0) != CURLUE_OK ||
      curl_url_set(url.get(), CURLUPART_URL, location.c_str(),
                   CURLU_URLENCODE | CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK) {
    return std::nullopt;
  }
  char* text = nullptr;
  if (curl_url_get(url.get(), CURLUPART_URL, &text, 0) != CURLUE_OK) return std::nullopt;
  CurlStringPtr owned(text);
  return std::string(owned.get());
}

}  // namespace platform
