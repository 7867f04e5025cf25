#pragma once

// The proxy of each transfer attempt: libcurl's environment variables when any is set,
// otherwise the desktop's settings through GIO's proxy resolver.

#include <curl/curl.h>

#include <string>

namespace platform {

// Whether any proxy variable libcurl reads for http and https is set and not empty:
// http_proxy, https_proxy, HTTPS_PROXY, all_proxy, ALL_PROXY, no_proxy, NO_PROXY.
bool environmentNamesProxy();

// The proxy for url as libcurl takes it, from the desktop's settings (GIO's default proxy
// resolver: the GNOME settings, or a PAC script through libproxy); "" for none. The first
// answer libcurl can use wins; no usable answer, or a failed lookup, means none. May block
// while a PAC script is fetched and run.
std::string desktopProxyFor(const std::string& url);

// For the attempt at url: when the environment names no proxy, sets easy's proxy from the
// desktop's settings (none included, which also clears a previous attempt's); otherwise leaves
// libcurl to the environment. False when curl refuses the option.
[[nodiscard]] bool setProxyForAttempt(CURL* easy, const std::string& url);

// Lets libcurl answer a proxy's 407 with whatever it has: credentials in the proxy's address,
// or the user's Kerberos ticket (Negotiate). False when curl refuses an option.
[[nodiscard]] bool setProxyAuthentication(CURL* easy);

}  // namespace platform
