#pragma once

// What the headers of a response say, as libcurl stored them.

#include <curl/curl.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// The parts of a response's headers a transfer uses.
struct ResponseHeaders {
  long status = 0;                  // the HTTP status
  std::string mimeType;             // the Content-Type without parameters, as sent; may be empty
  std::string contentDisposition;   // the Content-Disposition value as sent; empty when absent
  bool hasLocation = false;         // whether a non-empty Location came
  std::int64_t contentLength = -1;  // the announced body length; -1 when none or a redirect
  // What a later request may name to continue this body (RFC 9110 13.1.5): the ETag, else the
  // Last-Modified date when there is no ETag or a weak one (not usable in If-Range); empty when
  // neither came.
  std::string validator;
  bool refusesRanges = false;  // Accept-Ranges says "none"
  // Where the body of a 206 answer starts in the whole resource; none for a 206 answer without a
  // single byte range, and for any other status.
  std::optional<std::int64_t> rangeStart;

  // A 3xx answer that names where to go next. Its body is not the resource.
  bool isRedirect() const { return status >= 300 && hasLocation; }
};

// The header fields of the latest response, kept from the lines the header callback sees. They
// stand in for curl_easy_header where libcurl does not have it (before 7.83, as on Ubuntu
// 22.04); a newer libcurl answers from its own store and these are not kept.
class HeaderLines {
 public:
  // Whether the lines are needed: the running libcurl has no curl_easy_header.
  static bool needed();
  // One line as the header callback received it; a status line begins a new response.
  void add(std::string_view line);
  // The first value of the named field (any case), without surrounding white space; empty
  // when absent.
  std::string value(std::string_view name) const;

 private:
  std::vector<std::pair<std::string, std::string>> fields_;
};

// The headers of the latest response easy has received in full (curl has stored them once the
// blank line that ends them has arrived). Interim (1xx) answers and a proxy's CONNECT answer
// are not looked at. lines serves where curl cannot answer itself.
ResponseHeaders readResponseHeaders(CURL* easy, const HeaderLines& lines);

// The answer to a request for the file: URL url, which has no status line: a regular file
// stands as a 200 announcing its size, anything else (nothing there, a folder) as a 404.
ResponseHeaders readFileAnswer(const std::string& url);

// The absolute URL the latest response of a request for requestUrl redirects to (its Location,
// resolved against requestUrl); none when it names none or the address does not parse.
std::optional<std::string> redirectUrl(CURL* easy, const HeaderLines& lines,
                                       const std::string& requestUrl);

}  // namespace platform
