#pragma once

// The URL errors a transfer reports for what the server answered and for what libcurl saw.

#include <curl/curl.h>

#include <string>

#include "platform/Error.h"

namespace platform {

// An error of kUrlErrorDomain with code and description, failing at url.
Error urlError(long code, std::string description, const std::string& url);

// The error for an HTTP status of 400 or above: 404 and 410 as "file does not exist", 401 and
// 407 as "authentication required", any other as "bad server response".
Error errorForHttpStatus(long status, const std::string& url);

// The error for a transfer curl ended with code (not CURLE_OK). Certificate and TLS failures
// carry curl's own words after the description, as do lost connections.
Error errorForCurlCode(CURLcode code, const std::string& url);

}  // namespace platform
