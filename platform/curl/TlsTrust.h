#pragma once

// Whom transfers trust for TLS: the system's store, or the certificate authorities the build
// names (ZANTH_CA_BUNDLE; fixture builds name the test CA).

#include <curl/curl.h>

namespace platform {

// The PEM file of the certificate authorities to trust instead of the system's store; empty
// for the system's store. Defined by the build: the product's definition is part of the
// platform library, and a program that links another definition (the fixture builds) uses
// that one instead.
const char* tlsCaBundle();

// Makes easy verify servers and HTTPS proxies against tlsCaBundle() when it names a file, and
// against libcurl's own store otherwise. Verification is always on: peer and host name.
// False when curl refuses an option.
[[nodiscard]] bool setTlsTrust(CURL* easy);

}  // namespace platform
