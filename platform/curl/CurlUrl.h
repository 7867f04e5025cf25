#pragma once

// URLs as libcurl's URL parser reads them.

#include <string>
#include <string_view>

namespace platform {

// Whether url names an http or https resource that curl can parse.
bool isHttpUrl(const std::string& url);

// The protocols a transfer of url may use, in curl's CURLOPT_PROTOCOLS_STR form: "http,https"
// for an http or https URL, "file" for a file: URL when allowFileUrl is set; empty when url
// may not be transferred. A file: transfer is never redirected, so its one protocol is all.
std::string_view transferProtocols(const std::string& url, bool allowFileUrl);

// The path of url as it stands (still percent-encoded); empty when url does not parse.
std::string urlPath(const std::string& url);

}  // namespace platform
