#pragma once

// URLs as libcurl's URL parser reads them.

#include <string>

namespace platform {

// Whether url names an http or https resource that curl can parse.
bool isHttpUrl(const std::string& url);

// The path of url as it stands (still percent-encoded); empty when url does not parse.
std::string urlPath(const std::string& url);

}  // namespace platform
